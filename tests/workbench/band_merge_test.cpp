// Merging a picture file band by band: the row form's start check decides, before any row, what
// becomes of the picture; a picture found garbled after its first bands leaves the result as it was;
// merged results keep their layout, padding and palette, whatever their size.
#include "workbench/band_merge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "picture_formats/format_list.h"
#include "tests/support/test_files.h"
#include "tests/workbench/main_window_fixture.h"
#include "tests/workbench/pixel_test_support.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/graphics/palette.h"
#include "workbench/reference_ops.h"
#include "workbench/stack_ops.h"
#include "workbench/working_bitmap.h"

namespace {

TRowStart StartDecision = TRowStart::rsMerge;
bool StartRaises = false;
int RowsMerged = 0;

TRowStart DecidingStart(TBitmap&, intptr_t) {
  if (StartRaises) throw EIntOverflow("overflow");
  return StartDecision;
}

void CopyingRows(uint8_t* out, const uint8_t*, const uint8_t* pictureRow, int width, int, intptr_t) {
  ++RowsMerged;
  std::copy_n(pictureRow, width * 3, out);
}

class BandMergeTest : public testing::Test {
 protected:
  void SetUp() override { InitializePictureFormats(); }
  void TearDown() override {
    StackThreshold = 0;
    FinalizePictureFormats();
  }
  TempDir Temp;
};

TEST_F(BandMergeTest, TheStartCheckDecidesBeforeAnyRow) {
  std::string file = Temp.File("frame.jpg");
  ASSERT_TRUE(SavePicture(*NoisePicture(21, 19, 1), file, "unused.bmp", pf24bit));
  TBitmap decoded;
  ASSERT_TRUE(LoadPicture(decoded, file));
  const TRowForm form{CopyingRows, DecidingStart};
  TBandMerger merger;
  auto result = NoisePicture(21, 19, 2);
  const auto before = CopyOf(*result);

  StartDecision = TRowStart::rsWhole;
  EXPECT_EQ(merger.Merge(file, *result, form, 0), TBandMergeResult::bmLoadWhole);
  // An exception of the operation's own reaches the caller, not taken for a picture that failed.
  StartRaises = true;
  EXPECT_THROW(merger.Merge(file, *result, form, 0), EIntOverflow);
  StartRaises = false;
  EXPECT_EQ(RowsMerged, 0);
  EXPECT_TRUE(SamePixels(*result, *before));
  // A result of another size is left to the whole road (which says why it does not fit) before the
  // start check is asked.
  StartRaises = true;
  auto other = NoisePicture(21, 18, 3);
  EXPECT_EQ(merger.Merge(file, *other, form, 0), TBandMergeResult::bmLoadWhole);
  StartRaises = false;
  // A file the decoder refuses fails here, with the decoder's reason.
  const std::string damaged = Temp.File("damaged.jpg");
  WriteWholeFile(damaged, {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x02, 0xFF, 0xC0, 0x00, 0x03, 0x08});
  EXPECT_EQ(merger.Merge(damaged, *result, form, 0), TBandMergeResult::bmFailed);
  EXPECT_FALSE(merger.FailureReason().empty());

  StartDecision = TRowStart::rsMerge;
  EXPECT_EQ(merger.Merge(file, *result, form, 0), TBandMergeResult::bmMerged);
  EXPECT_EQ(RowsMerged, 19);
  EXPECT_TRUE(SamePixels(*result, decoded));
}

// An operation's own row form, counting the rows it merges.
TRowOp CountedRows = nullptr;
int RowsCounted = 0;
void CountingRows(uint8_t* out, const uint8_t* acc, const uint8_t* pic, int width, int row, intptr_t param) {
  ++RowsCounted;
  CountedRows(out, acc, pic, width, row, param);
}

// Whether the bytes past the pixels of every row are zero, as a saved file needs them.
bool PaddingClear(TBitmap& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int i = bitmap.Width() * 3; i < bitmap.RowStride(); ++i)
      if (bitmap.ScanLine(y)[i] != 0) return false;
  return true;
}

std::unique_ptr<TBitmap> LoadedSample(const std::string& name) {
  auto bitmap = std::make_unique<TBitmap>();
  EXPECT_TRUE(LoadPicture(*bitmap, TestData("jpeg/" + name))) << name;
  return bitmap;
}

// resync-restart.jpg is found garbled at its last row of blocks, after two bands were merged: every
// operation with a row form leaves the result as it was, padding included, and the same merger then
// merges the next frames (single scan and progressive) exactly as the operation merges them whole.
TEST_F(BandMergeTest, AFrameFoundGarbledAfterItsFirstBandsLeavesTheResultAsItWas) {
  TProcessRec dark;
  dark.Reference = NoisePicture(64, 40, 7);
  dark.Factor = -128;
  dark.Offset = 3;
  const struct {
    const char* Name;
    TImageOp Op;
    intptr_t Param;
  } operations[] = {
      {"max", StackMax, 0},
      {"max above a threshold", StackMaxThreshold, 0},
      {"min", StackMin, 0},
      {"max by luminance", StackMaxLum, 0},
      {"min by luminance", StackMinLum, 0},
      {"sum", StackAdd, 0},
      {"difference", StackSub, 0},
      {"dark subtraction", SubImage, reinterpret_cast<intptr_t>(&dark)},
  };
  StackThreshold = 120;  // below it the picture's byte wins even when darker
  for (const auto& o : operations) {
    SCOPED_TRACE(o.Name);
    const TRowForm own = RowFormOf(o.Op);
    ASSERT_TRUE(own);
    CountedRows = own.Rows;
    const TRowForm counting{CountingRows, own.Start};
    TBandMerger merger;
    auto result = LoadedSample("baseline.jpg");
    auto expected = CopyOf(*result);
    for (const char* frame : {"damaged/resync-restart.jpg", "restart.jpg", "damaged/resync-restart.jpg",
                              "progressive.jpg", "damaged/resync-restart.jpg"}) {
      SCOPED_TRACE(frame);
      const auto before = CopyOf(*result);
      RowsCounted = 0;
      const TBandMergeResult merged =
          merger.Merge(TestData(std::string("jpeg/") + frame), *result, counting, o.Param);
      if (std::string(frame).starts_with("damaged/")) {
        EXPECT_EQ(merged, TBandMergeResult::bmFailed);
        EXPECT_EQ(merger.FailureReason(), kDataEndedEarlyReason);
        EXPECT_GT(RowsCounted, 0);  // its first bands went through the operation
        EXPECT_TRUE(SamePixels(*result, *before));
      } else {
        EXPECT_EQ(merged, TBandMergeResult::bmMerged);
        EXPECT_EQ(RowsCounted, 40);
        ASSERT_TRUE(o.Op(*LoadedSample(frame), *expected, o.Param));
        EXPECT_TRUE(SamePixels(*result, *expected));
      }
      EXPECT_TRUE(PaddingClear(*result));
    }
  }
}

// The result takes the merged pixels picture after picture: rows of every width (padded or not, one row
// alone), a second buffer kept from a result of another layout but as many bytes (4 x 4 and 5 x 3 both
// hold 48), and a palette set on the result for display, which stays.
TEST_F(BandMergeTest, MergedResultsKeepTheirSizePaddingAndPalette) {
  const struct { int Width, Height; } sizes[] = {{21, 19}, {33, 1}, {16, 16}, {4, 4}, {5, 3}, {1, 17}};
  TBandMerger merger;  // one for all, as a run's merger serves picture after picture
  const TRowForm max = RowFormOf(StackMax);
  TLogPalette shades;
  shades.palPalEntry = {{10, 20, 30, 0}, {40, 50, 60, 0}};
  uint32_t seed = 1;
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.Width) + " x " + std::to_string(size.Height));
    std::vector<std::string> frames;
    for (int i = 0; i < 4; ++i) {
      frames.push_back(Temp.File("frame" + std::to_string(seed) + ".jpg"));
      ASSERT_TRUE(
          SavePicture(*NoisePicture(size.Width, size.Height, seed++), frames.back(), "unused.bmp", pf24bit));
    }
    TBitmap result;
    ASSERT_TRUE(LoadPicture(result, frames[0]));
    const HPALETTE palette = CreatePalette(shades);
    result.SetPalette(palette);
    TBitmap expected;
    ASSERT_TRUE(LoadPicture(expected, frames[0]));
    for (size_t i = 1; i < frames.size(); ++i) {
      ASSERT_EQ(merger.Merge(frames[i], result, max, 0), TBandMergeResult::bmMerged);
      TBitmap picture;
      ASSERT_TRUE(LoadPicture(picture, frames[i]));
      ReferenceBytes(expected, picture, MaxByte);
      EXPECT_TRUE(SamePixels(result, expected)) << "after frame " << i;
      EXPECT_TRUE(PaddingClear(result)) << "after frame " << i;
    }
    EXPECT_EQ(result.PixelFormat(), pf24bit);
    EXPECT_EQ(result.Palette(), palette);
  }
}

// Runs through the main window over good frames and frames found garbled late or early: each stacking
// command's result is exactly its operation over the good frames, and the window shows that result.
class BandMergeRunTest : public MainWindowTest {};

TEST_F(BandMergeRunTest, RunsOverGoodAndGarbledFramesGiveTheGoodFramesResult) {
  const Strings frames = {TestData("jpeg/baseline.jpg"),    TestData("jpeg/damaged/resync-restart.jpg"),
                          TestData("jpeg/progressive.jpg"), TestData("jpeg/damaged/flipped-baseline.jpg"),
                          TestData("jpeg/restart.jpg"),     TestData("jpeg/extraneous.jpg")};
  const Strings good = {frames[0], frames[2], frames[4], frames[5]};
  const struct {
    const char* Caption;
    void (TFormMain::*Command)(TObject*);
    TImageOp Op;
  } commands[] = {
      {"Zentor..", &TFormMain::GetMAX1Click, StackMax},
      {"AddMin..", &TFormMain::Getmin1Click, StackMin},
      {"ZentorLum..", &TFormMain::GetMaxGray1Click, StackMaxLum},
      {"SubMinLum..", &TFormMain::GetMinGray1Click, StackMinLum},
      {"Add", &TFormMain::Add1Click, StackAdd},
      {"Sub", &TFormMain::Sub1Click, StackSub},
  };
  for (const auto& c : commands) {
    SCOPED_TRACE(c.Caption);
    Form->ListBox1->Clear();
    Fill(*Form->ListBox1, frames);
    ExpectEndOfRun(2, true, LoadError(frames[1], kDataEndedEarlyReason));
    (Form.get()->*c.Command)(nullptr);
    auto expected = Loaded(good[0]);
    for (size_t i = 1; i < good.size(); ++i) ASSERT_TRUE(c.Op(*Loaded(good[i]), *expected, 0));
    EXPECT_TRUE(SamePixels(*Form->FResult, *expected));
    EXPECT_TRUE(PaddingClear(*Form->FResult));
    EXPECT_EQ(Form->FResultCount, 4);
    EXPECT_EQ(Marks(*Form->ListBox1), "CDCDCC");
    EXPECT_EQ(Form->Image1->ShownBitmap(), Form->FResult.get());
  }
}

}  // namespace
