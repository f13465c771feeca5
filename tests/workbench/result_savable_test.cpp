// The result of a night stays savable whatever the search window did in between, and "Clear Result"
// leaves nothing to save: through the real main window and its search window.
#include <functional>

#include "tests/workbench/tool_windows_fixture.h"
#include "workbench/ulngstrings.h"

namespace {

class ResultSavableTest : public ToolWindowsTest {
 protected:
  // Stacks three pictures with "Zentor..", the save offer at its end cancelled.
  void StackANight() {
    Form->ListBox1->Clear();
    Fill(*Form->ListBox1, Frames);
    ExpectEndOfRun(0);
    Form->GetMAX1->Click();
    ASSERT_TRUE(SamePixels(*Form->FResult, *MaximumOf(Frames)));
  }
  bool Saved(const std::string& path) const {
    return std::filesystem::exists(path) && SamePixels(*Loaded(path), *MaximumOf(Frames));
  }

  Strings Frames = {WritePicture("a.bmp", 1), WritePicture("b.bmp", 2), WritePicture("c.bmp", 3)};
};

struct TSearchAction {
  const char* What;
  std::function<void()> Run;
};

TEST_F(ResultSavableTest, TheResultIsSavedAfterTheSearchWindowWhateverItDid) {
  const TSearchAction actions[] = {
      {"search window cancelled",
       [this] {
         Script().AnswerShowModal("FormSearch", mrCancel);
         Form->Search2->Click();
       }},
      {"crop named, then its search window cancelled",
       [this] {
         Script().AnswerSaveFile(Temp.File("crop.bmp"));
         Script().AnswerShowModal("FormSearch", mrCancel);
         Form->CropSave1->Click();
       }},
      {"search and save, its name dialog cancelled",
       [this] {
         Script().AnswerSaveFile("");
         Form->SearchSave1->Click();
       }},
      {"search run over every picture",
       [this] {
         Script().AnswerShowModal("FormSearch", mrOk, [](TCustomForm& search) {
           static_cast<TFormSearch&>(search).CheckBoxSave->SetChecked(false);
         });
         Form->Search2->Click();
       }},
  };
  Form->Show();
  int saves = 0;
  for (const TSearchAction& action : actions) {
    StackANight();
    action.Run();

    // "Show Result..." counts the pictures merged into the result, not those the search went over.
    Form->ToolButton1->Click();
    EXPECT_EQ(Form->StatusBar1->Panels(0).Text() + " " + Form->StatusBar1->Panels(2).Text(), "3/3 " + kstproc)
        << action.What;
    Form->ToolButton1->Click();

    // Quitting asks; Yes saves the result and keeps the window (a second close then asks nothing).
    const std::string atQuit = Temp.File("quit" + std::to_string(++saves) + ".bmp");
    Script().AnswerMessageBox(IDYES, "Save Processed Image?");
    Script().AnswerSaveFile(atQuit);
    Form->Quit1->Click();
    EXPECT_TRUE(Form->Visible()) << action.What;
    EXPECT_TRUE(Saved(atQuit)) << action.What;
    EXPECT_FALSE(Form->FDirty) << action.What;

    // "Save Result as..." saves it again.
    const std::string asked = Temp.File("saved" + std::to_string(saves) + ".bmp");
    Script().AnswerSaveFile(asked);
    Form->SaveResult1->Click();
    EXPECT_TRUE(Saved(asked)) << action.What;
  }
  Form->Quit1->Click();
  EXPECT_FALSE(Form->Visible());
}

// After "Clear Result" there is nothing to save: quitting asks nothing and "Save Result as..." says
// there is no result. The next run that merges a picture arms the question again.
TEST_F(ResultSavableTest, AfterClearResultQuittingAsksNothing) {
  Form->Show();
  StackANight();
  ASSERT_TRUE(Form->FDirty);
  Form->ClearResult1->Click();
  Script().AnswerMessageBox(IDOK, "There is no result to save: no picture has been merged into it.");
  Form->SaveResult1->Click();
  Form->Quit1->Click();
  EXPECT_FALSE(Form->Visible());

  Form->Show();
  StackANight();
  Script().AnswerMessageBox(IDCANCEL, "Save Processed Image?");
  Form->Quit1->Click();
  EXPECT_TRUE(Form->Visible());
  // A run that merges nothing leaves the cleared result as it was: nothing to save still.
  Form->ClearResult1->Click();
  Form->ListBox1->Clear();
  Fill(*Form->ListBox1, {Temp.File("gone.bmp")});
  ExpectEndOfRun(1, false, LoadError(Temp.File("gone.bmp"), "No such file or directory"));
  Form->GetMAX1->Click();
  Form->Quit1->Click();
  EXPECT_FALSE(Form->Visible());
}

}  // namespace
