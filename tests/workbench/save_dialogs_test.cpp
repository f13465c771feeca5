// The picture save dialogs (result, steps, search and crop outputs, masks) offer only the types that
// are written as such: a name of any type they list is written under that name, in that type.
#include "tests/workbench/tool_windows_fixture.h"
#include "toolkit/ui/file_filter.h"

namespace {

class SaveDialogsTest : public ToolWindowsTest {
 protected:
  // The filter of the dialog the command opened (answered with Cancel).
  template <class Command>
  std::string FilterOf(Command command) {
    Script().AnswerSaveFile("");
    command();
    return Script().LastFileRequest().Filter;
  }
};

TEST_F(SaveDialogsTest, EveryPictureSaveDialogOffersTheTypesWrittenUnderTheirName) {
  const std::string offered = FilterOf([&] { Form->GetMaxandSave1Click(nullptr); });
  EXPECT_EQ(offered,
            "Tous (*.bmp;*.jpg;*.jpe;*.jpeg;*.jps)|*.bmp;*.jpg;*.jpe;*.jpeg;*.jps|"
            "Windows bitmaps (*.bmp)|*.bmp|JPG images (*.jpg)|*.jpg|JPE images (*.jpe)|*.jpe|"
            "JPEG images (*.jpeg)|*.jpeg|JPEG images (*.jps)|*.jps");
  // Each type listed is written under its own name, the JPEG ones as JPEG.
  for (const TFilterEntry& entry : ParseFilter(offered))
    for (const std::string& pattern : entry.Patterns) {
      const std::string name = "night" + pattern.substr(1);
      EXPECT_EQ(SavedPictureName(name), name);
      EXPECT_EQ(IsJpegSaveName(name), pattern != "*.bmp") << pattern;
    }

  Form->FResult = NoisePicture(4, 3, 1);
  Form->FResultMerged = true;
  EXPECT_EQ(FilterOf([&] { Form->SaveResult1->Click(); }), offered);
  Fill(*Form->ListBox1, {Temp.File("frame.jpg")});  // the crop asks for its names only over a list
  EXPECT_EQ(FilterOf([&] { Form->CropSave1->Click(); }), offered);
  EXPECT_EQ(FilterOf([&] { Search->SpeedButton1Click(nullptr); }), offered);
  Info->EditW->SetText("4");
  Info->EditH->SetText("3");
  EXPECT_EQ(FilterOf([&] { Info->BitBtnCreate->Click(); }), offered);
}

}  // namespace
