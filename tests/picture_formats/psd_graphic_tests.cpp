#include "picture_formats/psd_graphic.h"

#include <gtest/gtest.h>

#include "picture_formats/decoder.h"
#include "tests/picture_formats/reader_test_support.h"

namespace {

// A file with the given colour-mode data and image data (compression value first); the image resources
// and layer sections are empty, or `layers` long.
Bytes Psd(uint16_t mode, uint16_t channels, uint16_t depth, uint32_t width, uint32_t height,
          const Bytes& colorData, const Bytes& imageData, uint32_t layers = 0,
          const char* signature = "8BPS") {
  return Bytes(signature, signature + 4) + Be(1, 2) + Bytes(6) + Be(channels, 2) + Be(height, 4) +
         Be(width, 4) + Be(depth, 2) + Be(mode, 2) + Be(uint32_t(colorData.size()), 4) + colorData +
         Be(0, 4) + Be(layers, 4) + Bytes(layers, 0xEE) + imageData;
}

// Files written by ImageMagick, and L*a*b* files by a script (tests/data/psd/make.sh).
TEST(PSDFiles, EveryModeMatchesItsReference) {
  const TReaderSample samples[] = {{"rgb_raw.psd", "source.rgb", pf24bit},
                                   {"rgb_rle.psd", "source.rgb", pf24bit},
                                   {"rgb16_rle.psd", "source16.rgb", pf24bit},
                                   {"rgba_rle.psd", "alpha.rgba", pf32bit},
                                   {"rgba16_raw.psd", "alpha16.rgba", pf32bit},
                                   {"gray_raw.psd", "gray.gray", pf8bit},
                                   {"gray16_raw.psd", "gray16.gray", pf8bit},
                                   {"gray16_rle.psd", "gray16.gray", pf8bit},
                                   {"grayalpha_rle.psd", "gray.gray", pf8bit},
                                   {"indexed_rle.psd", "sixteen.rgb", pf8bit},
                                   {"indexedalpha_raw.psd", "indexedalpha.rgb", pf8bit},
                                   {"bitmap_raw.psd", "two.gray", pf1bit},
                                   {"bitmap_rle.psd", "two.gray", pf1bit},
                                   {"cmyk_rle.psd", "cmyk.rgb", pf24bit},
                                   {"cmyk16_raw.psd", "cmyk16.rgb", pf24bit},
                                   {"cmykalpha_rle.psd", "cmykalpha.rgb", pf24bit},
                                   {"lab_alpha_rle.psd", "lab_alpha.rgb", pf24bit},
                                   {"lab16_raw.psd", "lab16.rgb", pf24bit}};
  ExpectSamplesMatchReferences<TPSDGraphic>("psd", samples);
}

TEST(PSDHeader, ProbeAndLoaderTestSignatureAndVersion) {
  const Bytes rgb = Psd(3, 3, 8, 1, 1, {}, {0, 0, 10, 20, 30});
  EXPECT_TRUE(ProbeBytes<TPSDGraphic>(rgb));
  EXPECT_FALSE(ProbeBytes<TPSDGraphic>(Bytes(rgb.begin(), rgb.begin() + 26)));
  Bytes version2 = rgb;
  version2[5] = 2;
  EXPECT_FALSE(ProbeBytes<TPSDGraphic>(version2));
  const Bytes lower = Psd(3, 3, 8, 1, 1, {}, {0, 0, 10, 20, 30}, 0, "8bps");
  EXPECT_TRUE(ProbeBytes<TPSDGraphic>(lower));
  // A picture 0 pixels wide is refused the same way.
  for (const Bytes& refused : {lower, version2, Psd(1, 1, 8, 0, 2, {}, {0, 0})})
    EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TPSDGraphic>(refused); }),
              "Cannot load image. Invalid or unexpected PSD or PDD image format.");
}

TEST(PSDModes, ChannelCountsDepthsAndColorData) {
  // RGB with five channels: the fourth is alpha, the fifth is not read.
  const auto five = LoadBytes<TPSDGraphic>(Psd(3, 5, 8, 1, 1, {}, {0, 0, 1, 2, 3, 4}));
  ASSERT_EQ(five->PixelFormat(), pf32bit);
  EXPECT_EQ(PixelColors(*five, true), (Bytes{1, 2, 3, 4}));
  // Channel counts below the mode's, and depths the mode does not have, are refused.
  for (const Bytes& file : {Psd(3, 2, 8, 1, 1, {}, Bytes(4)), Psd(4, 3, 8, 1, 1, {}, Bytes(5)),
                            Psd(9, 2, 8, 1, 1, {}, Bytes(4)), Psd(3, 3, 1, 8, 1, {}, Bytes(5)),
                            Psd(2, 1, 16, 1, 1, Bytes(768), Bytes(4)), Psd(1, 1, 4, 2, 1, {}, Bytes(3))})
    EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TPSDGraphic>(file); }),
              "Invalid color format in PSD file.");
  // A colour mode without a scheme has no picture to give: no black one stands in for it.
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([] {
              LoadBytes<TPSDGraphic>(Psd(6, 3, 8, 2, 1, {}, {0, 0}));
            }),
            "Invalid color format in PSD file.");

  // Indexed colour data longer than 768 bytes: the first 768 make the palette, the rest is passed over.
  Bytes table(800, 0);
  table[5] = 50;        // red of entry 5
  table[256 + 5] = 60;  // green
  table[512 + 5] = 70;  // blue
  EXPECT_EQ(PixelColors(*LoadBytes<TPSDGraphic>(Psd(2, 1, 8, 1, 1, table, {0, 0, 5}))), (Bytes{50, 60, 70}));
  // A duotone picture is gray; its colour data, and a layer section, are passed over.
  EXPECT_EQ(PixelColors(*LoadBytes<TPSDGraphic>(Psd(8, 1, 8, 1, 1, {1, 2, 3, 4}, {0, 0, 77}, 5))),
            (Bytes{77, 77, 77}));
}

TEST(PSDFiles, DamagedAndTruncatedFilesRaise) {
  // PackBits counts that reach past the packed data or cannot fill the picture, and a file cut inside
  // its image data.
  // All are refused before the bitmap is made.
  const std::string ended = "Cannot load image. The PSD file ends before its picture does.";
  Bytes cut = Sample("psd/gray16_rle.psd");
  cut.resize(cut.size() - 1);
  for (const Bytes& file :
       {Psd(1, 1, 8, 2, 1, {}, {0, 1, 0, 9, 1, 5}), Psd(1, 1, 8, 200, 1, {}, {0, 1, 0, 2, 0x81, 7}), cut})
    EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TPSDGraphic>(file); }), ended);
}

}  // namespace
