// The TIFF and EPS readers on sample depths and fill orders beyond the common ones: files written by
// libtiff's tools and ImageMagick (tests/data/tiff/make_odd_and_damaged.sh) against the pixels ImageMagick
// or libtiff decode, and hand-made palettes of every depth.

#include <gtest/gtest.h>

#include "picture_formats/tiff_graphic.h"
#include "tests/picture_formats/tiff_test_support.h"

namespace {

TEST(TIFFDepths, PalettesOfThreeToSevenBitsShowEachIndexInItsOwnColour) {
  ExpectSamplesMatchReferences<TTIFFGraphic>("tiff", {{"pal3-lzw.tif", "pal3.ppm", pf4bit},
                                                      {"pal5-packbits.tif", "pal5.ppm", pf8bit},
                                                      {"pal6-zip.tif", "pal6.ppm", pf8bit},
                                                      {"pal7-none.tif", "pal7.ppm", pf8bit}});
  // EPS previews take the same road.
  ExpectSamplesMatchReferences<TEPSGraphic>("tiff", {{"pal3.eps", "pal3.ppm", pf4bit}});
}

TEST(TIFFDepths, EveryPaletteDepthFromOneToEightBits) {
  // 2^bits pixels holding every index once, each index its own colour (index v: red 8 v + 1, green
  // 255 - v, blue v x 37 mod 256).
  for (uint32_t bits = 1; bits <= 8; ++bits) {
    SCOPED_TRACE(bits);
    const uint32_t count = 1u << bits;
    Bytes row((count * bits + 7) / 8);
    for (uint32_t v = 0; v < count; ++v)
      for (uint32_t b = 0; b < bits; ++b)
        if ((v >> (bits - 1 - b)) & 1) row[(v * bits + b) / 8] |= uint8_t(0x80 >> ((v * bits + b) % 8));
    std::vector<uint32_t> colormap(3 * count);
    Bytes expected;
    for (uint32_t v = 0; v < count; ++v) {
      const uint8_t red = uint8_t(8 * v + 1), green = uint8_t(255 - v), blue = uint8_t(v * 37);
      colormap[v] = red * 257u;
      colormap[count + v] = green * 257u;
      colormap[2 * count + v] = blue * 257u;
      expected.insert(expected.end(), {red, green, blue});
    }
    TTIFFBuilder builder;
    builder.Picture(count, 1, 1, bits, 3, 1, row).Short(320, colormap);
    EXPECT_EQ(PixelColors(*LoadBytes<TTIFFGraphic>(builder.Build())), expected);
  }
}

TEST(TIFFDepths, GrayAndColourOfOtherDepthsConvertAsImageMagickReadsThem) {
  ExpectSamplesMatchReferences<TTIFFGraphic>("tiff", {{"gray3-lzw.tif", "gray3.pgm", pf8bit},
                                                      {"gray12-zip.tif", "gray12.pgm", pf8bit},
                                                      {"rgb2-zip.tif", "rgb2.ppm", pf24bit},
                                                      {"rgb4-lzw.tif", "rgb4.ppm", pf24bit},
                                                      {"rgb12-none.tif", "rgb12.ppm", pf24bit}});
  // CMYK: the library's formula truncates in 8-bit steps, ImageMagick's reference rounds.
  ExpectSamplesMatchReferences<TTIFFGraphic>("tiff", {{"cmyk4-lzw.tif", "cmyk4.ppm", pf24bit}}, 2);

  // Levels of 12 bits spread as 16-bit samples narrow: 4095 is 255, 4094 is 254, 2048 is 127, 17 is 1;
  // the samples run on across byte ends, and an RGBA pixel keeps its alpha.
  TTIFFBuilder rgba;
  rgba.Picture(1, 2, 4, 12, 2, 1, {0xFF, 0xF0, 0x00, 0x80, 0x0F, 0xFE, 0xFF, 0xE0, 0x11, 0x00, 0x08, 0x00})
      .Short(338, {2});
  const auto picture = LoadBytes<TTIFFGraphic>(rgba.Build());
  ASSERT_EQ(picture->PixelFormat(), pf32bit);
  EXPECT_EQ(PixelColors(*picture, true), (Bytes{255, 0, 127, 254, 254, 1, 0, 127}));
}

TEST(TIFFDepths, DepthsWithoutAMeaningAsLevelsAreRefusedByName) {
  const auto unsupported = [](const std::string& feature) {
    return "Cannot load image. " + feature + " not supported for TIF/TIFF files.";
  };
  TTIFFBuilder ycbcr;
  ycbcr.Picture(2, 1, 3, 4, 6, 1, {0x12, 0x34, 0x56}).Short(530, {1, 1});
  EXPECT_EQ(LoadMessage(ycbcr.Build()), unsupported("4-bit YCbCr samples are"));
  TTIFFBuilder lab;
  lab.Picture(2, 1, 3, 4, 8, 1, {0x12, 0x34, 0x56});
  EXPECT_EQ(LoadMessage(lab.Build()), unsupported("4-bit CIE L*a*b* samples are"));
  TTIFFBuilder deepPalette;
  deepPalette.Picture(2, 1, 1, 12, 3, 1, {0x12, 0x34, 0x56});
  EXPECT_EQ(LoadMessage(deepPalette.Build()), unsupported("12-bit palette indices are"));
  TTIFFBuilder paletteAlpha;
  paletteAlpha.Picture(2, 1, 2, 4, 3, 1, {0x12, 0x34});
  EXPECT_EQ(LoadMessage(paletteAlpha.Build()), unsupported("4-bit palette indices with an extra sample are"));
  TTIFFBuilder wide;
  wide.Picture(1, 1, 1, 32, 1, 1, {0, 0, 0, 0});
  EXPECT_EQ(LoadMessage(wide.Build()), unsupported("32-bit samples are"));
  TTIFFBuilder many;
  many.Picture(1, 1, 5, 8, 2, 1, {1, 2, 3, 4, 5});
  EXPECT_EQ(LoadMessage(many.Build()), unsupported("5 samples per pixel are"));
}

TEST(TIFFDepths, FillOrderTwoForEveryCompression) {
  // Written by tiffcp -f lsb2msb, raw2tiff (its default) and fax2tiff -z: the bits of every byte
  // reversed before the compression's own decoding, as libtiff reads them.
  ExpectSamplesMatchReferences<TTIFFGraphic>("tiff", {{"rgb-lsb-none.tif", "rgb.ppm", pf24bit},
                                                      {"rgb-lsb-lzw.tif", "rgb.ppm", pf24bit},
                                                      {"rgb-lsb-packbits.tif", "rgb.ppm", pf24bit},
                                                      {"rgb-lsb-zip.tif", "rgb.ppm", pf24bit},
                                                      {"rgb-raw2tiff.tif", "rgb.ppm", pf24bit},
                                                      {"bw-lsb-packbits.tif", "bw.pbm", pf1bit},
                                                      {"fax-lzw-lsb.tif", "fax.pbm", pf1bit},
                                                      {"fax-g3-lsb.tif", "fax.pbm", pf1bit}});
}

}  // namespace
