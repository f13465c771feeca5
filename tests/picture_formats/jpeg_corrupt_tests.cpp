// JPEG files whose data libjpeg finds lost or garbled, and headers that claim more than their bytes can
// code: neither passes for a whole picture, on any road that decodes a JPEG (the picture class from
// memory, the working-bitmap road from memory and from a file, the band road, TIFF strips), while warnings
// that lose no pixel and the most compressible real frames still load exact. The samples are made by
// tests/data/jpeg/make_damaged.sh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "picture_formats/format_list.h"
#include "picture_formats/tiff_graphic.h"
#include "tests/picture_formats/jpeg_test_support.h"
#include "tests/picture_formats/reader_test_support.h"
#include "tests/support/test_files.h"
#include "toolkit/core/streams.h"

namespace {

bool AllBlack(const TBitmap& bitmap) {
  const Bytes black(static_cast<size_t>(bitmap.Width()) * 3);
  for (int y = 0; y < bitmap.Height(); ++y)
    if (std::memcmp(bitmap.ScanLine(y), black.data(), black.size()) != 0) return false;
  return true;
}

TEST(JpegCorrupt, LostOrGarbledDataIsNeverAWholePicture) {
  for (const char* name :
       {"half-closed-baseline.jpg", "half-closed-progressive.jpg", "half-closed-restart.jpg",
        "half-closed-arithmetic.jpg", "flipped-baseline.jpg", "flipped-progressive.jpg",
        "flipped-restart.jpg", "resync-restart.jpg", "progression.jpg"}) {
    SCOPED_TRACE(name);
    const std::vector<TRoadOutcome> outcomes = EveryRoad(JpegSampleBytes(std::string("damaged/") + name));
    for (size_t road = 0; road < outcomes.size(); ++road)
      EXPECT_FALSE(outcomes[road].Whole) << "road " << road;
  }
}

// Bytes some cameras leave before the end marker, and the file that lacks no more than its end marker,
// lose no pixel.
TEST(JpegCorrupt, ExtraneousBytesBeforeTheEndMarkerLoadExactly) {
  std::vector<TRgbPicture> pictures;
  for (const TRoadOutcome& outcome : EveryRoad(JpegSampleBytes("extraneous.jpg"), [&](const TBitmap& bitmap) {
         pictures.push_back(BitmapPixels(bitmap));
       })) {
    EXPECT_TRUE(outcome.Whole);
    EXPECT_EQ(outcome.Message, "");
  }
  ASSERT_EQ(pictures.size(), 4u);
  for (const TRgbPicture& picture : pictures)
    EXPECT_EQ(MaxDifference(picture, ReadPnm(JpegSample("extraneous.ppm"))), 0);
}

// A header that claims more pixels than the bytes after it can code is refused before the picture is
// sized: with the bound's message, not that of an allocation that failed.
TEST(JpegCorrupt, HeadersClaimingMoreThanTheirBytesCodeAreRefusedBeforeSizing) {
  const std::string endsEarly = "Cannot load image. The JPEG file ends before its picture does.";
  for (const auto& [name, message] : {std::pair{"claims-37000x37000.jpg", endsEarly},
                                      {"claims-640x480.jpg", endsEarly},
                                      {"claims-20000x20000-progressive.jpg", endsEarly},
                                      {"claims-37000x37000-arithmetic.jpg",
                                       std::string("Cannot load image. The JPEG picture is too large.")}}) {
    SCOPED_TRACE(name);
    const Bytes bytes = JpegSampleBytes(std::string("damaged/") + name);
    for (const TRoadOutcome& outcome : EveryRoad(bytes)) {
      EXPECT_FALSE(outcome.Whole);
      if (!outcome.Message.empty()) {
        EXPECT_EQ(outcome.Message, message);
      }
    }
    // The header alone still reads.
    EXPECT_GE(LoadBytes<TJPEGImage>(bytes)->Width(), 640);
  }
}

// 6000 x 4000 black frames are the most compressible real frames a camera gives (an arithmetic-coded one
// holds 7 bytes of data): each writer's loads, to zeros, on every road.
TEST(JpegCorrupt, BlackFramesOfEveryWriterLoadExactly) {
  for (const char* name : {"black-baseline.jpg.gz", "black-progressive.jpg.gz", "black-arithmetic.jpg.gz",
                           "black-imagemagick.jpg.gz"}) {
    SCOPED_TRACE(name);
    int decoded = 0;
    for (const TRoadOutcome& outcome :
         EveryRoad(Sample(std::string("jpeg/") + name), [&](const TBitmap& bitmap) {
           ++decoded;
           EXPECT_EQ(bitmap.Width(), 6000);
           EXPECT_EQ(bitmap.Height(), 4000);
           EXPECT_TRUE(AllBlack(bitmap));
         })) {
      EXPECT_TRUE(outcome.Whole);
      EXPECT_EQ(outcome.Message, "");
    }
    EXPECT_GE(decoded, 3);
  }
}

// A TIFF strip whose scan meets an end marker halfway: the rows after it are libjpeg's filling.
TEST(JpegCorrupt, ATIFFStripCutInsideItsScanFlagsThePicture) {
  InitializePictureFormats();
  auto whole = LoadBytes<TTIFFGraphic>(ReadWholeFile(TestData("tiffjpeg/ycbcr.tif")));
  EXPECT_FALSE(whole->DataEndedEarly());
  auto cut = LoadBytes<TTIFFGraphic>(ReadWholeFile(TestData("tiffjpeg/strip2-eoi.tif")));
  EXPECT_TRUE(cut->DataEndedEarly());
  FinalizePictureFormats();
}

}  // namespace
