// A run's two roads decide alike about every JPEG file: LoadPicture, which decodes a picture whole into a
// working bitmap, and the band road, which merges it into the result as it decodes. Frames of several
// writers merge exactly as they load, every damaged frame (tests/data/jpeg/make_frames.sh and
// make_damaged.sh) fails on both and leaves the result as it was, and a run through the main window
// over good and damaged frames counts the damaged ones and gives exactly the maximum of the good ones.
#include <gtest/gtest.h>

#include "picture_formats/jpeg_image.h"
#include "tests/picture_formats/jpeg_test_support.h"
#include "tests/workbench/main_window_fixture.h"
#include "workbench/band_merge.h"

namespace {

constexpr const char* kCutOrDamaged = "the picture's data are cut short or damaged";

class JpegRoadsTest : public MainWindowTest {
 protected:
  // A copy of the sample below tests/data under a .jpg name in the temporary folder.
  std::string Frame(const std::string& sample) {
    const std::string path = Temp.File(std::to_string(FCopies++) + ".jpg");
    WriteWholeFile(path, ReadWholeFile(TestData(sample)));
    return path;
  }
  Strings Frames(const std::string& folder, std::initializer_list<const char*> names) {
    Strings paths;
    for (const char* name : names) paths.push_back(Frame(folder + name));
    return paths;
  }

 private:
  int FCopies = 0;
};

// The size the file's header gives, or 5 x 3 when it has none or claims more than a frame of the tests.
std::pair<int, int> HeaderSize(const std::string& path) {
  try {
    TJPEGImage header;
    header.LoadFromFile(path);
    if (header.Width() <= 1024 && header.Height() <= 1024) return {header.Width(), header.Height()};
    return {5, 3};
  } catch (const Exception&) {
    return {5, 3};
  }
}

TEST_F(JpegRoadsTest, LoadPictureAndTheBandRoadDecideAlikeOnEveryFrame) {
  const TRowForm maximum = RowFormOf(StackMax);
  ASSERT_TRUE(maximum);
  TBandMerger merger;
  int merged = 0, failed = 0;
  for (const std::string folder : {"jpeg/frames/whole/", "jpeg/frames/refused/", "jpeg/damaged/"}) {
    for (const std::string& name : JpegFilesIn(folder)) {
      SCOPED_TRACE(folder + name);
      const std::string path = Frame(folder + name);
      TBitmap loaded;
      const bool loads = LoadPicture(loaded, path);
      EXPECT_EQ(loads, folder.ends_with("whole/"));
      if (loads) {
        // Merged into black, the maximum is the picture itself.
        TBitmap result;
        result.SetPixelFormat(pf24bit);
        result.SetSize(loaded.Width(), loaded.Height());
        EXPECT_EQ(merger.Merge(path, result, maximum, 0), TBandMergeResult::bmMerged);
        EXPECT_TRUE(SamePixels(result, loaded));
        ++merged;
        continue;
      }
      const auto [width, height] = HeaderSize(path);
      const auto result = NoisePicture(width, height, 7);
      const auto before = CopyOf(*result);
      const TBandMergeResult outcome = merger.Merge(path, *result, maximum, 0);
      EXPECT_NE(outcome, TBandMergeResult::bmMerged);
      if (outcome == TBandMergeResult::bmFailed) {
        EXPECT_FALSE(merger.FailureReason().empty());
        ++failed;
      }
      EXPECT_TRUE(SamePixels(*result, *before));
    }
  }
  EXPECT_GE(merged, 20);
  EXPECT_GE(failed, 50);
}

TEST_F(JpegRoadsTest, ARunLeavesOutEveryDamagedFrameAndMergesTheOthersExactly) {
  struct TRun {
    Strings Good;
    Strings Damaged;
  };
  const std::string whole = "jpeg/frames/whole/", refused = "jpeg/frames/refused/";
  const TRun runs[] = {
      {Frames(whole, {"cjpeg-baseline.jpg", "cjpeg-progressive.jpg", "jpegtran-approximation-restart.jpg",
                      "cjpeg-three-scans.jpg", "imagemagick-progressive.jpg", "vips-restart.jpg"}),
       Frames(refused, {"cut-cjpeg-progressive-scan10.jpg", "scans-without-3.jpg",
                        "junk-cjpeg-progressive-scan5.jpg", "cut-jpegtran-approximation-scan14.jpg",
                        "cut-imagemagick-progressive-scan6.jpg", "scans-without-2.jpg"})},
      {Frames(whole, {"large-optimized.jpg", "large-baseline.jpg", "large-other.jpg"}),
       Frames(refused, {"badcode-large-optimized-1.jpg", "spliced-other-optimized.jpg",
                        "badcode-large-baseline-3.jpg", "spliced-optimized-other.jpg"})},
  };
  for (const TRun& run : runs) {
    // The good frames first and last, the damaged ones between them.
    Strings paths = {run.Good[0]};
    std::string marks = "C";
    for (size_t i = 0; i < run.Damaged.size(); ++i) {
      paths.push_back(run.Damaged[i]);
      marks += 'D';
      if (i + 1 < run.Good.size()) {
        paths.push_back(run.Good[i + 1]);
        marks += 'C';
      }
    }
    for (size_t i = run.Damaged.size() + 1; i < run.Good.size(); ++i) {
      paths.push_back(run.Good[i]);
      marks += 'C';
    }
    Form->ListBox1->Clear();
    Fill(*Form->ListBox1, paths);
    ExpectEndOfRun(static_cast<int>(run.Damaged.size()), true, LoadError(run.Damaged[0], kCutOrDamaged));
    Form->GetMAX1Click(nullptr);
    EXPECT_TRUE(SamePixels(*Form->FResult, *MaximumOf(run.Good)));
    EXPECT_EQ(Form->FResultCount, static_cast<int>(run.Good.size()));
    EXPECT_EQ(Marks(*Form->ListBox1), marks);
  }
}

// A PNG under a .jpg name says what libjpeg found, on either road.
TEST_F(JpegRoadsTest, AFileThatIsNoJpegSaysSoInWords) {
  const Strings paths = {Frame("jpeg/frames/whole/cjpeg-baseline.jpg"),
                         Frame("jpeg/frames/refused/png-named.jpg"),
                         Frame("jpeg/frames/refused/png-named.jpg")};
  const std::string reason = "JPEG error #53: Not a JPEG file: starts with 0x89 0x50";
  TBitmap bitmap;
  std::string loadReason;
  TPixelFormat format;
  EXPECT_FALSE(LoadPicture(bitmap, paths[1], format, loadReason));
  EXPECT_EQ(loadReason, reason);
  Fill(*Form->ListBox1, paths);
  ExpectEndOfRun(2, true, LoadError(paths[1], reason));
  Form->GetMAX1Click(nullptr);
  EXPECT_EQ(Marks(*Form->ListBox1), "CDD");
}

}  // namespace
