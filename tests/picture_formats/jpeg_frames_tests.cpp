// Frames of several writers and frames damaged from them (tests/data/jpeg/make_frames.sh): every road that
// decodes a JPEG file (the picture class, the working bitmap from memory and from a file, the band road)
// loads each whole frame exactly as djpeg decodes it, refuses each damaged one, and decides alike on any
// damage; a file that is no JPEG says what libjpeg found.
#include <gtest/gtest.h>

#include <jerror.h>

#include <string>
#include <vector>

#include "picture_formats/jpeg_stream_managers.h"
#include "tests/picture_formats/jpeg_test_support.h"
#include "tests/picture_formats/reader_test_support.h"

namespace {

const std::string kWhole = "jpeg/frames/whole/";
const std::string kRefused = "jpeg/frames/refused/";

std::string Stem(const std::string& name) {
  return name.substr(0, name.rfind('.'));
}

TEST(JpegFrames, EveryWritersFrameLoadsAsDjpegDecodesItOnEveryRoad) {
  const std::vector<std::string> names = JpegFilesIn(kWhole);
  ASSERT_GE(names.size(), 20u);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const TRgbPicture reference =
        ReadPnmBytes(Sample(kWhole + Stem(name) + ".ppm.gz"), Stem(name) + ".ppm.gz");
    int decoded = 0;
    for (const TRoadOutcome& outcome : EveryRoad(Sample(kWhole + name), [&](const TBitmap& bitmap) {
           ++decoded;
           EXPECT_EQ(MaxDifference(BitmapPixels(bitmap), reference), 0);
         })) {
      EXPECT_TRUE(outcome.Whole);
      EXPECT_EQ(outcome.Message, "");
    }
    // Every one of these goes the band road too: one whole scan, or several read before the first row.
    EXPECT_EQ(decoded, 4);
  }
}

// Progressive frames cut where a later scan starts and closed, sequential frames without one of their
// scans, codes no table holds, junk before a later scan's marker, the header of one frame over the data
// of another, and a PNG.
TEST(JpegFrames, EveryDamagedFrameIsRefusedOnEveryRoad) {
  const std::vector<std::string> names = JpegFilesIn(kRefused);
  ASSERT_GE(names.size(), 50u);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::vector<TRoadOutcome> outcomes = EveryRoad(Sample(kRefused + name));
    for (size_t road = 0; road < outcomes.size(); ++road)
      EXPECT_FALSE(outcomes[road].Whole) << "road " << road;
  }
}

// Shown scan by scan (progressive display), a frame is judged as on the other roads.
TEST(JpegFrames, FramesShownScanByScanAreJudgedAlike) {
  for (const std::string& folder : {kWhole, kRefused}) {
    for (const std::string& name : JpegFilesIn(folder)) {
      SCOPED_TRACE(name);
      const TRoadOutcome outcome = Outcome([&] {
        auto picture = LoadBytes<TJPEGImage>(Sample(folder + name));
        picture->ProgressiveDisplay = true;
        picture->GetBitmap();
        return !picture->DataEndedEarly();
      });
      EXPECT_EQ(outcome.Whole, folder == kWhole);
    }
  }
}

// Whatever the damage, the roads come to one decision, and those that decode give the same picture.
TEST(JpegFrames, EveryRoadDecidesAlikeOnAnyDamage) {
  struct TDamage {
    const char* Frame;
    size_t Step;  // every Step-th byte after the header is damaged in turn
  };
  int refused = 0, loaded = 0;
  for (const TDamage& damage :
       {TDamage{"large-optimized.jpg", 617}, TDamage{"cjpeg-progressive.jpg", 271},
        TDamage{"cjpeg-three-scans.jpg", 379}, TDamage{"jpegtran-approximation-restart.jpg", 313}}) {
    const Bytes good = Sample(kWhole + damage.Frame);
    const size_t start = static_cast<size_t>(SegmentEnd(good, 0xDA));
    for (size_t at = start; at + 2 < good.size(); at += damage.Step) {
      for (int kind = 0; kind < 3; ++kind) {
        Bytes bytes = good;
        const auto place = bytes.begin() + static_cast<long>(at);
        if (kind == 0) bytes[at] ^= 0x10;  // a flipped bit
        if (kind == 1) bytes.insert(place, {0x5A, 0xA5, 0x3C});
        if (kind == 2) bytes.erase(place, place + 2);
        SCOPED_TRACE(std::string(damage.Frame) + " at " + std::to_string(at) + " kind " +
                     std::to_string(kind));
        std::vector<TRgbPicture> pictures;
        const std::vector<TRoadOutcome> outcomes =
            EveryRoad(bytes, [&](const TBitmap& bitmap) { pictures.push_back(BitmapPixels(bitmap)); });
        for (const TRoadOutcome& outcome : outcomes) EXPECT_EQ(outcome.Whole, outcomes[0].Whole);
        if (!outcomes[0].Whole) {
          ++refused;
          continue;
        }
        ++loaded;
        for (const TRgbPicture& picture : pictures) EXPECT_EQ(MaxDifference(picture, pictures[0]), 0);
      }
    }
  }
  // Both decisions were put to the test.
  EXPECT_GT(refused, 20);
  EXPECT_GT(loaded, 3);
}

// A file larger than one read of the file road: 80 stuffed FF bytes (a run of ones no Huffman table
// holds a code for) put in anywhere, near the end of the first read too, are refused on every road.
TEST(JpegFrames, ALargeFileIsRefusedAlikeWhereverACodeNoTableHoldsLies) {
  TBitmap source;
  FillBitmap(source, SyntheticPicture(1024, 768, 3));
  TJPEGImage jpeg;
  jpeg.Assign(source);
  TMemoryStream saved;
  jpeg.SaveToStream(saved);
  const Bytes good(saved.Bytes().begin(), saved.Bytes().end());
  ASSERT_GT(good.size(), JPEGSourceBufferSize + 8192);
  for (const size_t at : {size_t{2000}, JPEGSourceBufferSize - 3500, JPEGSourceBufferSize - 2100,
                          JPEGSourceBufferSize - 700, JPEGSourceBufferSize + 1000, good.size() - 5000}) {
    SCOPED_TRACE(at);
    Bytes bytes = good;
    for (int k = 0; k < 80; ++k) bytes.insert(bytes.begin() + static_cast<long>(at), {0xFF, 0x00});
    const std::vector<TRoadOutcome> outcomes = EveryRoad(bytes);
    for (size_t road = 0; road < outcomes.size(); ++road)
      EXPECT_FALSE(outcomes[road].Whole) << "road " << road;
  }
}

// libjpeg's own words follow its message code.
TEST(JpegFrames, AFileThatIsNoJpegSaysWhatLibjpegFound) {
  const Bytes png = Sample(kRefused + "png-named.jpg");
  const std::string notJpeg =
      "JPEG error #" + std::to_string(JERR_NO_SOI) + ": Not a JPEG file: starts with 0x89 0x50";
  EXPECT_EQ(notJpeg, "JPEG error #53: Not a JPEG file: starts with 0x89 0x50");
  for (const TRoadOutcome& outcome : EveryRoad(png)) EXPECT_EQ(outcome.Message, notJpeg);

  Bytes twelveBit = Sample(kWhole + "cjpeg-baseline.jpg");
  twelveBit[FindMarker(twelveBit, 0xC0) + 4] = 12;  // sample precision
  for (const TRoadOutcome& outcome : EveryRoad(twelveBit))
    EXPECT_EQ(outcome.Message,
              "JPEG error #" + std::to_string(JERR_BAD_PRECISION) + ": Unsupported JPEG data precision 12");
}

}  // namespace
