// The bound of what a JPEG frame's data must hold: the bound of any layout is at least that of every
// header, and the densest real frame, flat and progressive with sampling factors (4,1), (1,4), (1,1),
// is within it and loads on every road.
#include "picture_formats/jpeg_data_bound.h"

#include <gtest/gtest.h>

#include "picture_formats/decoder_tiff_jpeg.h"
#include "tests/picture_formats/jpeg_test_support.h"
#include "tests/support/gray_jpeg.h"

namespace {

// Every layout of `components` components, sampling factors 1 to 4 each way, progressive: the header's
// bound never passes the bound of any layout, and one layout reaches it.
TEST(JpegDataBound, NoSamplingLayoutPassesTheBoundOfAnyLayout) {
  for (int components = 1; components <= 4; ++components) {
    SCOPED_TRACE(components);
    jpeg_component_info layout[4]{};
    jpeg_decompress_struct info{};
    info.comp_info = layout;
    info.num_components = components;
    info.progressive_mode = TRUE;
    const uint64_t bound = JPEGMostExpansion(static_cast<uint64_t>(components), 3);
    uint64_t most = 0;
    for (int choice = 0; choice < 1 << (4 * components); ++choice) {
      for (int c = 0; c < components; ++c) {
        layout[c].h_samp_factor = 1 + (choice >> (4 * c) & 3);
        layout[c].v_samp_factor = 1 + (choice >> (4 * c + 2) & 3);
      }
      most = std::max(most, JPEGMaxExpansion(info, 3));
    }
    EXPECT_EQ(most, bound);
    // A TIFF strip's rows hold a byte for each component of a pixel.
    EXPECT_LE(JPEGMostExpansion(static_cast<uint64_t>(components), static_cast<uint64_t>(components)),
              kTIFFJPEGMaxExpansion);
  }
}

// A black frame of sampling factors (4,1), (1,4), (1,1), progressive: twice the pixels a block of 4 x 4
// chroma subsampling covers, each block at the fewest bits (its DC coefficients in one scan, to their
// last bit, then one scan of AC coefficients per component).
Bytes FlatDensestFrame(JDIMENSION width, JDIMENSION height) {
  return PlainJpeg(
      width, height, 3, JCS_RGB,
      [](jpeg_compress_struct& info) {
        info.comp_info[0].h_samp_factor = 4;
        info.comp_info[0].v_samp_factor = 1;
        info.comp_info[1].h_samp_factor = 1;
        info.comp_info[1].v_samp_factor = 4;
        info.comp_info[2].h_samp_factor = 1;
        info.comp_info[2].v_samp_factor = 1;
        static const jpeg_scan_info kScans[] = {{3, {0, 1, 2, 0}, 0, 0, 0, 0},
                                                {1, {0}, 1, 63, 0, 0},
                                                {1, {1}, 1, 63, 0, 0},
                                                {1, {2}, 1, 63, 0, 0}};
        info.scan_info = kScans;
        info.num_scans = 4;
      },
      [](uint32_t, std::vector<JSAMPLE>&) {});
}

TEST(JpegDataBound, TheDensestFlatFrameIsWithinTheBoundAndLoadsOnEveryRoad) {
  const Bytes frame = FlatDensestFrame(1024, 1024);
  const uint64_t dataBytes = frame.size() - static_cast<uint64_t>(SegmentEnd(frame, 0xDA));
  const uint64_t rowBytes = 1024ull * 1024 * 3;
  {
    TPlainDecoder header(frame);
    EXPECT_EQ(header.Info.comp_info[1].v_samp_factor, 4);
    EXPECT_GE(dataBytes * JPEGMaxExpansion(header.Info, 3), rowBytes);
    // Without its margin the bound is about what this frame holds: it is the densest.
    EXPECT_LT(dataBytes * JPEGMaxExpansion(header.Info, 3) / kJPEGDataMargin, rowBytes * 5 / 4) << dataBytes;
  }
  // So does a TIFF strip so written.
  EXPECT_GE(dataBytes * kTIFFJPEGMaxExpansion, rowBytes);
  int decoded = 0;
  for (const TRoadOutcome& outcome : EveryRoad(frame, [&](const TBitmap& bitmap) {
         ++decoded;
         EXPECT_EQ(bitmap.Width(), 1024);
         const Bytes colors = PixelColors(bitmap);
         EXPECT_EQ(*std::max_element(colors.begin(), colors.end()), 0);
       })) {
    EXPECT_TRUE(outcome.Whole);
    EXPECT_EQ(outcome.Message, "");
  }
  EXPECT_EQ(decoded, 4);
}

}  // namespace
