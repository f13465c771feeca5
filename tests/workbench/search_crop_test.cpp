// The search and crop commands through the real main window and the search window.
#include <filesystem>

#include "tests/workbench/crop_reference.h"
#include "tests/workbench/tool_windows_fixture.h"
#include "toolkit/graphics/canvas.h"

namespace {

class SearchCropTest : public ToolWindowsTest {
 protected:
  // A dark 40 x 30 frame (noise of 0 to 7), with a white 5 x 5 spot at (x, y) unless x is negative.
  std::string WriteFrame(const std::string& name, uint32_t seed, int x = -1, int y = -1) {
    auto frame = NoisePicture(40, 30, seed);
    for (int row = 0; row < 30; ++row)
      for (int i = 0; i < 40 * 3; ++i) frame->ScanLine(row)[i] &= 7;
    if (x >= 0) {
      frame->Canvas().Brush.Color = clWhite;
      frame->Canvas().FillRect(Rect(x, y, x + 5, y + 5));
    }
    std::string path = Temp.File(name);
    EXPECT_TRUE(SavePicture(*frame, path, "unused.bmp", pf24bit));
    return path;
  }
  // The search window answered OK with a crop window of the given size and the save box as given.
  void AnswerParameters(int width, int height, bool save) {
    Script().AnswerShowModal("FormSearch", mrOk, [=](TCustomForm& form) {
      auto& search = static_cast<TFormSearch&>(form);
      search.UpDownCropW->SetPosition(width);
      search.UpDownCropH->SetPosition(height);
      search.CheckBoxSave->SetChecked(save);
    });
  }
  std::string Folder(const std::string& name) {
    std::filesystem::create_directory(Temp.Path() / name);
    return Temp.File(name) + "/";
  }
  static TPixelFormat FileFormat(const std::string& path) {
    TBitmap bitmap;
    TPixelFormat format = pfCustom;
    EXPECT_TRUE(LoadPicture(bitmap, path, format));
    return format;
  }
  // The report names the first failure with its reason.
  void ExpectReport(int errors, int processed, const std::string& firstFailure) {
    Script().AnswerMessageBox(IDOK, std::to_string(errors) + " File(s) in Error / " +
                                        std::to_string(processed) + " Processed\nFirst: " + firstFailure);
  }
};

TEST_F(SearchCropTest, SearchListsTheFrameWithABrightSpot) {
  const Strings frames = {WriteFrame("d1.bmp", 1), WriteFrame("spot.bmp", 2, 17, 12), Temp.File("gone.bmp"),
                          WriteFrame("d2.bmp", 3)};
  Fill(*Form->ListBox1, frames);
  AnswerParameters(100, 100, false);
  ExpectReport(1, 3, "Loading Error: " + frames[2] + ": No such file or directory");
  Form->Search2->Click();
  EXPECT_EQ(Script().Asked().back().Caption, "Processed Pictures");
  EXPECT_EQ(Paths(*Form->ListBox2), Strings({frames[1]}));
  EXPECT_EQ(Marks(*Form->ListBox2), "C");
  EXPECT_EQ(Marks(*Form->ListBox1), "CCDC");  // not found stays checked
  EXPECT_EQ(Form->FResultCount, 0);           // the search counts its pictures apart from the result
  EXPECT_EQ(Search->EditName->Text(), frames[0]);
  Script().AnswerShowModal("FormSearch", mrCancel);  // runs nothing
  Form->Search1Click(nullptr);
  EXPECT_EQ(Form->ListBox2->Count(), 1);
}

TEST_F(SearchCropTest, CropAndSaveCopiesTheWindowNearEveryEdge) {
  const Strings frames = {WriteFrame("topleft.bmp", 1, 1, 1), WriteFrame("dark.bmp", 2),
                          WriteFrame("bottomright.bmp", 3, 34, 24)};
  Fill(*Form->ListBox1, frames);
  const std::string out = Folder("out");
  Script().AnswerSaveFile(out + "crop.bmp");
  AnswerParameters(9, 7, true);
  Form->CropSave1->Click();
  EXPECT_EQ(Script().LastFileRequest().FileName, "(CurrentFileName).bmp");
  EXPECT_EQ(Search->EditName->Text(), out + "crop.bmp");
  EXPECT_EQ(Paths(*Form->ListBox2), Strings({out + "topleft.bmp", out + "bottomright.bmp"}));
  EXPECT_EQ(Marks(*Form->ListBox2), "CC");
  // Centroids (3, 3) and (36, 26): windows from (3 - 4, 3 - 3 - 1) and (36 - 4, 26 - 4).
  EXPECT_TRUE(SamePixels(*Loaded(out + "topleft.bmp"), *WindowOf(*Loaded(frames[0]), -1, -1, 9, 7)));
  EXPECT_TRUE(SamePixels(*Loaded(out + "bottomright.bmp"), *WindowOf(*Loaded(frames[2]), 32, 22, 9, 7)));
  EXPECT_FALSE(std::filesystem::exists(out + "dark.bmp"));
}

TEST_F(SearchCropTest, ShowAndSaveMarksTheObjectAndWithoutSavingOnlyLists) {
  const Strings frames = {WriteFrame("spot.bmp", 1, 20, 10), WriteFrame("dark.bmp", 2)};
  Fill(*Form->ListBox1, frames);
  const std::string out = Folder("marked");
  Script().AnswerSaveFile(out + "x.bmp");
  AnswerParameters(21, 17, true);
  Form->Crop1->Click();
  ASSERT_EQ(Paths(*Form->ListBox2), Strings({out + "spot.bmp"}));
  // The window (12, 3, 32, 19) around the centroid (22, 12): halves of 21 and 17 truncate.
  auto expected = Loaded(frames[0]);
  expected->Canvas().Pen.Color = clWhite;
  expected->Canvas().Brush.Clear = true;
  expected->Canvas().Ellipse(12, 3, 32, 19);
  EXPECT_TRUE(SamePixels(*Loaded(out + "spot.bmp"), *expected));

  // The save box cleared in the window: marked in memory only, the frame's own path listed.
  Form->ListBox2->Clear();
  Script().AnswerSaveFile(out + "y.bmp");
  AnswerParameters(21, 17, false);
  Form->Crop1->Click();
  EXPECT_EQ(Paths(*Form->ListBox2), Strings({frames[0]}));
}

TEST_F(SearchCropTest, SavingAsksAboutTheNameReallyWrittenAndCountsFailedSaves) {
  const Strings frames = {WriteFrame("a.bmp", 1, 10, 10), WriteFrame("b.bmp", 2, 12, 12),
                          WriteFrame("c.bmp", 3, 14, 14)};
  Fill(*Form->ListBox1, frames);
  // Into the frames' own folder as ".png": written as ".bmp", over the frames themselves; asked first.
  Script().AnswerSaveFile(Temp.File("out.png"));
  AnswerParameters(9, 9, true);
  Script().AnswerMessageDlg(mrNo, "OverWrite? " + frames[0]);
  Script().AnswerMessageDlg(mrNoToAll, "OverWrite? " + frames[1]);
  Form->SearchSave1->Click();
  EXPECT_EQ(Paths(*Form->ListBox2), frames);
  EXPECT_EQ(Marks(*Form->ListBox2), "DDD");  // not written, no error either
  for (const std::string& frame : frames) EXPECT_EQ(FileFormat(frame), pf24bit);  // saves are 32-bit

  // A folder that does not exist: every save fails and is counted, the first named with the system's
  // reason, in the report and in the status line.
  Form->ListBox2->Clear();
  Script().AnswerSaveFile(Temp.File("nowhere/out.bmp"));
  AnswerParameters(9, 9, true);
  const std::string cannot = "Impossible de créer le fichier " + Temp.File("nowhere/");
  ExpectReport(3, 3, cannot + "a.bmp : No such file or directory");
  Form->SearchSave1->Click();
  EXPECT_EQ(Marks(*Form->ListBox2), "DDD");
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), cannot + "c.bmp : No such file or directory");
  EXPECT_TRUE(Form->StatusBar1->Font.Italic);

  // Cancel in the question stops the run: nothing added for it or after it.
  Form->ListBox2->Clear();
  const std::string out = Folder("out");
  Script().AnswerSaveFile(out + "x.bmp");
  AnswerParameters(9, 9, true);
  WriteFrame("out/b.bmp", 9);
  Script().AnswerMessageDlg(mrCancel, "OverWrite? " + out + "b.bmp");
  Form->SearchSave1->Click();
  EXPECT_EQ(Paths(*Form->ListBox2), Strings({out + "a.bmp"}));
  EXPECT_FALSE(std::filesystem::exists(out + "c.bmp"));
}

}  // namespace
