// "Test if files are valid pictures..." and the preview of list entries, with missing, damaged and
// wrong-sized pictures.
#include <QObject>

#include "tests/workbench/main_window_fixture.h"
#include "toolkit/ui/system_services.h"

namespace {

class PictureTestTest : public MainWindowTest {
 protected:
  // The report names the first failure with its reason.
  void RunTest(int expectedErrors, const std::string& firstFailure = {}) {
    Script().AnswerMessageBox(IDOK, std::to_string(expectedErrors) + " Files in Error" +
                                        (firstFailure.empty() ? "" : "\nFirst: " + firstFailure));
    Form->Testvalidpictures1->Click();
    EXPECT_EQ(Script().Asked().back().Caption, "Test Pictures");
  }
};

TEST_F(PictureTestTest, MissingDamagedAndWrongSizedPicturesAreCountedAndMarked) {
  const std::string text = Temp.File("notes.txt");
  WriteWholeFile(text, {'h', 'i'});
  Form->ToolBar1Click(Form.get());
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {WritePicture("good1.bmp", 1, 6, 4), Temp.File("missing.bmp"), WriteDamaged("damaged.bmp"),
              WritePicture("wide.bmp", 2, 7, 4), WritePicture("good2.bmp", 3, 6, 4), text});
  SetMarks(list, "CCCCDC");  // an entry that failed before and is now fine is checked again
  RunTest(4, LoadError(Temp.File("missing.bmp"), "No such file or directory"));
  EXPECT_EQ(Marks(list), "CDDDCD");
  // The last entry's failure, with its reason.
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(),
            LoadError(text, "no picture type is read from \".txt\" files"));
  EXPECT_FALSE(Form->FPause);
}

TEST_F(PictureTestTest, TheSizeReferenceIsTheFirstPictureThatLoads) {
  Form->ToolBar1Click(Form.get());
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {WriteDamaged("first.bmp"), WritePicture("a.bmp", 1, 3, 5), WritePicture("b.bmp", 2, 3, 5),
              WritePicture("c.bmp", 3, 5, 3)});
  RunTest(2, LoadError(Temp.File("first.bmp"), DamagedReason()));
  EXPECT_EQ(Marks(list), "DCCD");
  // A picture of another size says both sizes.
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), SizeError(Temp.File("c.bmp"), 5, 3, 3, 5));
  // A missing first entry does not take the reference either.
  list.Items().Put(0, Temp.File("gone.bmp"));
  RunTest(2, LoadError(Temp.File("gone.bmp"), "No such file or directory"));
  EXPECT_EQ(Marks(list), "DCCD");
}

TEST_F(PictureTestTest, ThePauseButtonStopsTheTestAtTheNextEntry) {
  const std::string a = WritePicture("a.bmp", 1, 2, 2);
  Form->ToolBar1Click(Form.get());
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {a, a, Temp.File("missing.bmp")});
  SetMarks(list, "U");
  // Pressed while the first entry is marked (pending events are processed there).
  QMetaObject::invokeMethod(
      Form->ToolButtonAbort, [&] { Form->ToolButtonAbort->Click(); }, Qt::QueuedConnection);
  RunTest(0);
  EXPECT_TRUE(Form->FPause);
  // Only the first entry was tested (and checked again); the missing third one keeps its mark.
  EXPECT_EQ(Marks(list), "CCC");
}

// A preview marks a picture that fails, never shows a disabled entry even when its file is fine, and
// follows a click on the list.
TEST_F(PictureTestTest, PreviewShowsTheEntryOrMarksItFailed) {
  const std::string a = WritePicture("a.bmp", 1, 9, 7);
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {a, a, Temp.File("missing.bmp")});
  Form->PreviewEntry(1, &list);
  EXPECT_EQ(Form->StatusBar1->Panels(0).Text() + " " + Form->StatusBar1->Panels(2).Text(), "2/3 " + a);
  Form->PreviewEntry(2, &list);
  list.SetItemEnabled(0, false);
  Form->PreviewEntry(0, &list);
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(),
            "Loading Error: " + a + ": it failed earlier and is not read again");
  EXPECT_EQ(Marks(list), "DCD");
  EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 1);
  list.SetItemIndex(1);
  Form->ListBoxClick(&list);
  EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 9);
}

}  // namespace
