// A frame whose band merge cannot have the memory it needs fails as a picture too large for the
// machine, in words, and leaves the result as it was; the merge goes on once memory is there again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "picture_formats/jpeg_image.h"
#include "tests/support/address_space_limit.h"
#include "tests/workbench/main_window_fixture.h"
#include "tests/workbench_memory/failing_allocations.h"
#include "workbench/band_merge.h"

namespace {

constexpr const char* kTooLarge = "Cannot load image. The JPEG picture is too large.";

class BandMergeMemoryTest : public MainWindowTest {
 protected:
  // Frames of 300 x 200 pixels: results of 180,000 bytes, more than anything else a band merge asks
  // operator new for (the file's bytes, a band of sixteen rows, one row).
  static constexpr int kWidth = 300, kHeight = 200;
  static constexpr size_t kResultBytes = size_t{kWidth} * 3 * kHeight;
  Strings Frames(int count) {
    Strings frames;
    for (int i = 0; i < count; ++i)
      frames.push_back(WritePicture("frame" + std::to_string(i) + ".jpg", 40 + i, kWidth, kHeight));
    return frames;
  }
};

TEST_F(BandMergeMemoryTest, NoMemoryForTheSecondResultFailsTheFrameAsTooLarge) {
  const Strings frames = Frames(2);
  TBitmap result;
  ASSERT_TRUE(LoadPicture(result, frames[0]));
  const auto before = CopyOf(result);
  TBandMerger merger;
  {
    TFailingAllocations failing(kResultBytes);
    EXPECT_EQ(merger.Merge(frames[1], result, RowFormOf(StackMax), 0), TBandMergeResult::bmFailed);
    EXPECT_GT(failing.Refused(), 0);
  }
  EXPECT_EQ(merger.FailureReason(), kTooLarge);
  EXPECT_TRUE(SamePixels(result, *before));
  EXPECT_EQ(merger.Merge(frames[1], result, RowFormOf(StackMax), 0), TBandMergeResult::bmMerged);
  EXPECT_TRUE(SamePixels(result, *MaximumOf(frames)));
}

// Through the main window: the first frame is loaded into the result; every later one finds no memory
// for its merge, is counted and marked, and the report says why in words.
TEST_F(BandMergeMemoryTest, ARunSaysTheFramesWithoutMemoryAreTooLarge) {
  const Strings frames = Frames(3);
  Fill(*Form->ListBox1, frames);
  ExpectEndOfRun(2, true, LoadError(frames[1], kTooLarge));
  {
    TFailingAllocations failing(kResultBytes, 1);  // the first frame's own pixels are had
    Form->GetMAX1Click(nullptr);
  }
  EXPECT_TRUE(SamePixels(*Form->FResult, *Loaded(frames[0])));
  EXPECT_EQ(Form->FResultCount, 1);
  EXPECT_EQ(Marks(*Form->ListBox1), "CDD");
}

// A progressive frame is read whole before its first row, into buffers of the library's own: when they
// cannot be had, the frame is too large as well. Tried in a child process whose address space ends a few
// MiB beyond what it holds once the result and the file are ready.
class LibraryMemoryTest : public AddressSpaceLimitTest {
 protected:
  void SetUp() override {
    AddressSpaceLimitTest::SetUp();
    InitializePictureFormats();
  }
  void TearDown() override {
    FinalizePictureFormats();
    AddressSpaceLimitTest::TearDown();
  }
  TempDir Temp;
};

[[noreturn]] void MergeWithinAddressSpace(const std::string& file, TBitmap& result, int64_t extraMiB) {
  LimitAddressSpace(extraMiB);
  TBandMerger merger;
  const TBandMergeResult merged = merger.Merge(file, result, RowFormOf(StackMax), 0);
  std::fprintf(stderr, "merged %d: %s\n", static_cast<int>(merged), merger.FailureReason().c_str());
  _exit(0);
}

TEST_F(LibraryMemoryTest, NoMemoryForAProgressiveFramesScansIsTooLarge) {
  // 2000 x 2000 black pixels: a file of a few KB whose scans need 12 MB of coefficients.
  TBitmap black;
  black.SetPixelFormat(pf24bit);
  black.SetSize(2000, 2000);
  const std::string file = Temp.File("progressive.jpg");
  {
    TJPEGImage jpeg;
    jpeg.Assign(black);
    jpeg.ProgressiveEncoding = true;
    jpeg.SaveToFile(file);
  }
  TBitmap result;
  ASSERT_TRUE(LoadPicture(result, file));
  EXPECT_EXIT(MergeWithinAddressSpace(file, result, 4), testing::ExitedWithCode(0),
              "merged " + std::to_string(static_cast<int>(TBandMergeResult::bmFailed)) + ": " + kTooLarge);
  TBandMerger merger;  // with memory
  EXPECT_EQ(merger.Merge(file, result, RowFormOf(StackMax), 0), TBandMergeResult::bmMerged);
}

}  // namespace
