// "Test if files are valid pictures..." and the preview of list entries, with missing, damaged and
// wrong-sized pictures.
#include <QObject>

#include "tests/workbench/picture_list_fixture.h"
#include "toolkit/ui/system_services.h"

namespace {

class PictureTestTest : public PictureListTest {
 protected:
  void RunTest(int expectedErrors) {
    Script().AnswerMessageBox(IDOK, std::to_string(expectedErrors) + " Files in Error");
    Form->Testvalidpictures1->Click();
    const TAskedQuestion& asked = Script().Asked().back();
    EXPECT_EQ(asked.Caption, "Test Pictures");
    EXPECT_EQ(asked.Flags & MB_BUTTONS_MASK, MB_OK);
  }
};

TEST_F(PictureTestTest, MissingDamagedAndWrongSizedPicturesAreCountedAndMarked) {
  const std::string good1 = WritePicture("good1.bmp", 6, 4);
  const std::string missing = Temp.File("missing.bmp");
  const std::string damaged = WriteDamaged("damaged.bmp");
  const std::string wide = WritePicture("wide.bmp", 7, 4);
  const std::string good2 = WritePicture("good2.bmp", 6, 4);
  const std::string text = Temp.File("notes.txt");
  WriteWholeFile(text, {'h', 'i'});
  Form->ToolBar1Click(Form.get());
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {good1, missing, damaged, wide, good2, text});
  // An entry that failed before and is now fine is checked and enabled again.
  list.SetItemEnabled(4, false);
  list.SetChecked(4, false);
  RunTest(4);
  EXPECT_EQ(Marks(list), "CDDDCD");
  // The status line shows the last entry's failure.
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), "Loading Error: " + text);
  EXPECT_EQ(Form->StatusBar1->Panels(0).Text(), "5");
  EXPECT_TRUE(Form->StatusBar1->Font.Italic);
  EXPECT_FALSE(Form->FPause);
}

TEST_F(PictureTestTest, TheSizeReferenceIsTheFirstPictureThatLoads) {
  const std::string damaged = WriteDamaged("first.bmp");
  const std::string a = WritePicture("a.bmp", 3, 5);
  const std::string b = WritePicture("b.bmp", 3, 5);
  const std::string c = WritePicture("c.bmp", 5, 3);
  Form->ToolBar1Click(Form.get());
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {damaged, a, b, c});
  RunTest(2);
  EXPECT_EQ(Marks(list), "DCCD");

  // A missing first entry does not take the reference either.
  list.Items().Put(0, Temp.File("gone.bmp"));
  RunTest(2);
  EXPECT_EQ(Marks(list), "DCCD");
}

TEST_F(PictureTestTest, EmptyListAndInactiveWindow) {
  Form->ToolBar2Click(Form.get());
  RunTest(0);
  // Only while the main window is active.
  Fill(*Form->ListBox2, {Temp.File("x.bmp")});
  Screen->SetActiveForm(nullptr);
  Form->Testvalidpictures1Click(Form.get());
  EXPECT_EQ(Marks(*Form->ListBox2), "C");
}

TEST_F(PictureTestTest, ThePauseButtonStopsTheTestAtTheNextEntry) {
  const std::string a = WritePicture("a.bmp", 2, 2);
  Form->ToolBar1Click(Form.get());
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {a, a, Temp.File("missing.bmp")});
  list.SetChecked(0, false);
  // The button is pressed while the first entry is marked (pending events are processed there).
  int presses = 0;
  QMetaObject::invokeMethod(
      Form->ToolButtonAbort,
      [&] {
        ++presses;
        Form->ToolButtonAbort->Click();
      },
      Qt::QueuedConnection);
  RunTest(0);
  EXPECT_EQ(presses, 1);
  EXPECT_TRUE(Form->FPause);
  // Only the first entry was tested (and checked again); the missing third one keeps its mark.
  EXPECT_EQ(Marks(list), "CCC");
}

// ---- Preview

TEST_F(PictureTestTest, PreviewShowsTheEntryOrTheEmptyListStatus) {
  const std::string a = WritePicture("a.bmp", 9, 7);
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {a, a, Temp.File("missing.bmp")});
  Form->PreviewEntry(1, &list);
  EXPECT_EQ(Form->StatusBar1->Panels(0).Text(), "2/3");
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), a);
  EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 9);
  EXPECT_EQ(Form->Image1->ShownBitmap()->Height(), 7);

  // Entry 5 of a list of 3.
  Form->PreviewEntry(5, &list);
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), "Empty List");
  EXPECT_EQ(Form->StatusBar1->Panels(0).Text(), "");
  EXPECT_EQ(Form->StatusBar1->Font.Color, 0x0000FF);
  EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 1);
  EXPECT_EQ(Form->Image1->ShownBitmap()->Height(), 1);

  // A missing picture is marked failed and shown in red.
  Form->PreviewEntry(2, &list);
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), "Loading Error: " + Temp.File("missing.bmp"));
  EXPECT_EQ(Form->StatusBar1->Panels(0).Text(), "2");
  EXPECT_EQ(Marks(list), "CCD");
  EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 1);

  // A disabled entry is never shown, even when its file is fine.
  list.SetItemEnabled(0, false);
  Form->PreviewEntry(0, &list);
  EXPECT_EQ(Marks(list), "DCD");
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), "Loading Error: " + a);
  EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 1);

  // Clicking a list previews its highlighted entry.
  list.SetItemIndex(1);
  Form->ListBoxClick(&list);
  EXPECT_EQ(Form->StatusBar1->Panels(0).Text(), "2/3");
  EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 9);
}

}  // namespace
