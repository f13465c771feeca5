// The maximum search at the chosen point, through the real main window.
#include "tests/workbench/tool_windows_fixture.h"
#include "toolkit/graphics/canvas.h"

namespace {

class MaximumSearchTest : public ToolWindowsTest {
 protected:
  // A noise frame whose pixel (2, 1) is the grey level given.
  std::string WriteFrame(const std::string& name, uint32_t seed, int level) {
    auto frame = NoisePicture(6, 4, seed);
    frame->Canvas().SetPixel(2, 1, RGB(level, level, level));
    std::string path = Temp.File(name);
    EXPECT_TRUE(SavePicture(*frame, path, "unused.bmp", pf24bit));
    return path;
  }
  // The run, ending with the winner named.
  void Search(const std::string& winner) {
    Script().AnswerMessageBox(IDOK, winner);
    Form->MaximumSearch1->Click();
    EXPECT_EQ(Script().Asked().back().Caption, "Image with Maximum");
    EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), winner);
  }
};

TEST_F(MaximumSearchTest, EveryNewMaximumStaysCheckedAndTheBrightestEndsInTheResult) {
  const Strings frames = {WriteFrame("a.bmp", 1, 10), WriteFrame("b.bmp", 2, 30), WriteFrame("c.bmp", 3, 20),
                          WriteFrame("d.bmp", 4, 40)};
  Fill(*Form->ListBox1, frames);
  Form->FPointX = 2;
  Form->FPointY = 1;
  Search(frames[3]);
  EXPECT_EQ(Marks(*Form->ListBox1), "CCUC");
  EXPECT_TRUE(SamePixels(*Form->FResult, *Loaded(frames[3])));
  EXPECT_EQ(Form->FResultCount, 3);
  EXPECT_TRUE(Form->FDirty);

  // A frame that fails to load after the winner leaves the winner in the result.
  SetMarks(*Form->ListBox1, "CCCC");
  Form->ListBox1->Items().Put(2, Temp.File("gone.bmp"));
  Form->ListBox1->Items().Put(3, WriteFrame("e.bmp", 5, 20));
  Search(frames[1]);
  EXPECT_EQ(Marks(*Form->ListBox1), "CCDU");
  EXPECT_TRUE(SamePixels(*Form->FResult, *Loaded(frames[1])));
}

TEST_F(MaximumSearchTest, APointOutsideThePicturesNeverWinsAndTiesKeepTheEarlierFrame) {
  const Strings frames = {WriteFrame("a.bmp", 1, 10), WriteFrame("b.bmp", 2, 10), WriteFrame("c.bmp", 3, 50)};
  Fill(*Form->ListBox1, frames);
  Form->FPointX = 2;
  Form->FPointY = 1;
  Search(frames[2]);
  EXPECT_EQ(Marks(*Form->ListBox1), "CUC");  // the same level as the first: not brighter
  Form->FDirty = false;

  // A point outside every picture finds nothing: it is said, and no mark nor the result changes.
  for (const auto& [x, y] : {std::pair{6, 1}, {5000, 5000}, {-1, 1}}) {
    Form->FPointX = x;
    Form->FPointY = y;
    Script().AnswerMessageBox(IDOK, "The point " + std::to_string(x) + ", " + std::to_string(y) +
                                        " lies outside every checked picture; no mark was changed.");
    Form->MaximumSearch1->Click();
    EXPECT_EQ(Script().Asked().back().Caption, "Maximum Search");
    EXPECT_EQ(Marks(*Form->ListBox1), "CUC");
    EXPECT_TRUE(SamePixels(*Form->FResult, *Loaded(frames[2])));
    EXPECT_FALSE(Form->FDirty);
  }

  // A frame too small for the point is no maximum; the first that holds it starts the search.
  SetMarks(*Form->ListBox1, "CCC");
  Form->ListBox1->Items().Put(0, WritePicture("small.bmp", 6, 2, 2));
  Form->FPointX = 2;
  Form->FPointY = 1;
  Search(frames[2]);
  EXPECT_EQ(Marks(*Form->ListBox1), "UCC");
  EXPECT_EQ(Form->FResultCount, 2);
}

// Checked pictures none of which loads find nothing: the result stays as it was, unsaved or not, the
// failures are marked and the first is named with its reason.
TEST_F(MaximumSearchTest, PicturesThatDoNotLoadKeepTheResult) {
  const Strings frames = {WriteFrame("a.bmp", 1, 10), WriteFrame("b.bmp", 2, 30)};
  Fill(*Form->ListBox1, frames);
  Form->FPointX = 2;
  Form->FPointY = 1;
  Search(frames[1]);
  Form->FDirty = false;
  const std::string gone = Temp.File("gone.bmp");
  Form->ListBox1->Clear();
  Fill(*Form->ListBox1, {gone, WriteDamaged("bad.bmp"), frames[0]});
  SetMarks(*Form->ListBox1, "CCU");
  Script().AnswerMessageBox(IDOK,
                            "None of the checked pictures could be loaded; the result is kept.\nFirst: " +
                                LoadError(gone, "No such file or directory"));
  Form->MaximumSearch1Click(nullptr);
  EXPECT_EQ(Script().Asked().back().Caption, "Maximum Search");
  EXPECT_TRUE(SamePixels(*Form->FResult, *Loaded(frames[1])));
  EXPECT_EQ(Form->FResultCount, 2);
  EXPECT_FALSE(Form->FDirty);
  EXPECT_EQ(Marks(*Form->ListBox1), "DDU");
}

TEST_F(MaximumSearchTest, WithoutAPointNothingRuns) {
  Fill(*Form->ListBox1, {WriteFrame("a.bmp", 1, 10), WriteFrame("b.bmp", 2, 99)});
  Script().AnswerMessageBox(
      IDOK, "No point chosen: choose one in the \"Info Image\" window (\"Create Mask...\", then \"Apply\").");
  Form->MaximumSearch1Click(nullptr);
  EXPECT_EQ(Script().Asked().back().Caption, "Maximum Search");
  EXPECT_EQ(Marks(*Form->ListBox1), "CC");
  EXPECT_EQ(Form->FResult->Width(), 1);
  EXPECT_FALSE(Form->FDirty);
}

}  // namespace
