// Colour manager set-up: setters and their checks, converter choice, gamma and YCbCr tables and
// palette builders.

#include "picture_formats/color_manager.h"

#include <gtest/gtest.h>

#include <cmath>

#include "picture_formats/format_messages.h"
#include "tests/picture_formats/picture_test_support.h"

namespace {

std::vector<TPaletteEntry> Entries(const HPALETTE& palette) {
  std::vector<TPaletteEntry> entries(GetPaletteEntries(palette, 0, 0, nullptr));
  GetPaletteEntries(palette, 0, static_cast<uint32_t>(entries.size()), entries.data());
  return entries;
}

TPaletteEntry Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return TPaletteEntry{r, g, b, 0};
}

template <class F>
std::string ConversionError(F f) {
  return RaisedMessage<EColorConversionError>(f);
}

TEST(ColorManagerSetup, OnlyNewValuesMarkTheManagerChangedAndOptionsKeepTheAlpha) {
  TColorManager manager;
  manager.SetSourceColorScheme(scRGBA);
  manager.SetTargetColorScheme(scBGRA);
  manager.RowFootprint(1, 1, 0xFF);
  manager.SetSourceColorScheme(scRGBA);
  manager.SetSourceBitsPerSample(8);
  // A reader that loads again writes "exactly optSwap16": no new choice runs, and the alpha samples
  // must still be stepped over.
  manager.SetSourceOptions(optSwap16);
  EXPECT_FALSE(manager.Changed());
  EXPECT_EQ(manager.SourceOptions(), optSwap16 | optAlpha);
  Bytes target(4);
  manager.ConvertRow({Bytes{1, 2, 3, 4}}, target, 1, 0xFF);
  EXPECT_EQ(target, (Bytes{3, 2, 1, 4}));
  manager.SetSourceColorScheme(scBGR);
  EXPECT_TRUE(manager.Changed());
}

TEST(ColorManagerSetup, UnsupportedPairsAreReportedUntilASetterChanges) {
  TColorManager manager;
  manager.SetSourceColorScheme(scGray);
  manager.SetTargetColorScheme(scRGB);
  const Bytes source{1, 2, 3};
  Bytes target(3, 0x55);
  EXPECT_EQ(ConversionError([&] { manager.ConvertRow({source}, target, 1, 0xFF); }), gesIndexedNotSupported);
  EXPECT_EQ(target, Bytes(3, 0x55));

  manager.SetSourceSamplesPerPixel(1);
  manager.SetTargetSamplesPerPixel(1);
  manager.SetTargetColorScheme(scGray);
  manager.SetSourceBitsPerSample(16);
  manager.SetTargetBitsPerSample(4);
  for (int call = 0; call < 2; ++call)
    EXPECT_EQ(ConversionError([&] { manager.ConvertRow({source}, target, 1, 0xFF); }), gesColorConversion);
  manager.SetTargetBitsPerSample(8);
  EXPECT_EQ(ConversionError([&] { manager.ConvertRow({source}, target, 1, 0xFF); }), "");
}

TEST(ColorManagerTables, GammaAndYCbCrTables) {
  TColorManager manager;
  EXPECT_EQ(manager.GammaTable()[128], 186);  // 255 x (128 / 255)^(1 / 2.2)
  manager.SetGamma(NAN, 0);
  EXPECT_FLOAT_EQ(manager.FileGamma(), 1.0f);
  EXPECT_FLOAT_EQ(manager.DisplayGamma(), 2.2f);
  manager.SetSourceBitsPerSample(1);
  manager.SetGamma(1.0f, 1.0f);
  EXPECT_EQ(manager.GammaTable()[1], 255);
  EXPECT_EQ(manager.GammaTable()[64], 136);  // beyond the 1-bit range: kept from before
  manager.SetSourceBitsPerSample(8);
  manager.SetTargetBitsPerSample(4);
  manager.SetGamma(1.0f, 1.0f);
  EXPECT_EQ(manager.GammaTable()[255], 15);

  // The coefficients are stored before the subsampling is checked.
  EXPECT_EQ(ConversionError([&] {
              manager.SetYCbCrParameters({0.5f, 0.4f, 0.1f}, 2, 4);
            }),
            gesVerticalSubSamplingError);
  EXPECT_EQ(manager.YCbCrCoefficients(), (std::array<float, 3>{0.5f, 0.4f, 0.1f}));
  EXPECT_EQ(ConversionError([&] { manager.SetYCbCrParameters({0.299f}, 3, 1); }), gesInvalidSubSampling);
  EXPECT_EQ(manager.YCbCrCoefficients()[0], 0.299f);
  EXPECT_THROW(manager.SetYCbCrParameters(std::span<const float>(), 1, 1), ERangeError);
  // A zero green weight gives saturated entries, not undefined conversions.
  TColorManager noGreen;
  noGreen.SetYCbCrParameters({0.299f, 0.0f, 0.114f}, 1, 1);
  noGreen.SetSourceColorScheme(scYCbCr);
  noGreen.RowFootprint(1, 1, 0xFF);
  EXPECT_EQ(noGreen.CrToGreenTable()[128], 0);
}

TEST(ColorManagerPalettes, GrayscalePaletteForTheTargetDepth) {
  TColorManager manager;
  manager.SetTargetSamplesPerPixel(1);
  manager.SetTargetBitsPerSample(1);
  EXPECT_EQ(Entries(manager.CreateGrayscalePalette(true)), (std::vector{Rgb(255, 255, 255), Rgb(0, 0, 0)}));
  manager.SetTargetBitsPerSample(4);
  const auto sixteen = Entries(manager.CreateGrayscalePalette(false));
  ASSERT_EQ(sixteen.size(), 16u);
  EXPECT_EQ(sixteen[3], Rgb(51, 51, 51));
}

TEST(ColorManagerPalettes, ColourPalettesSpreadOverTheTargetDepthWithinTheirData) {
  TColorManager manager;
  manager.SetSourceBitsPerSample(4);
  Bytes data;
  for (int k = 0; k < 16; ++k) data.insert(data.end(), {uint8_t(k), uint8_t(2 * k), uint8_t(3 * k)});
  const auto entries = Entries(manager.CreateColorPalette({data}, plInterleaved8Triples, 16, false));
  ASSERT_EQ(entries.size(), 256u);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(entries[17 * k], Rgb(k, 2 * k, 3 * k)) << k;
  EXPECT_EQ(entries[33], Rgb(1, 2, 3));  // 33 x 15 div 255 = 1
  // A 2-bit target takes source entries 0, 5, 10 and 15.
  manager.SetTargetBitsPerSample(2);
  EXPECT_EQ(Entries(manager.CreateColorPalette({data}, plInterleaved8Triples, 16, false)),
            (std::vector{Rgb(0, 0, 0), Rgb(5, 10, 15), Rgb(10, 20, 30), Rgb(15, 30, 45)}));

  TColorManager layouts;
  const auto palette = [&](std::initializer_list<std::span<const uint8_t>> planes, TPaletteLayout layout,
                           uint32_t count, bool bgr) {
    return Entries(layouts.CreateColorPalette(planes, layout, count, bgr));
  };
  const Bytes red{10, 11}, green{20, 21}, blue{30, 31};
  EXPECT_EQ(palette({Bytes{1, 2, 3, 99, 4, 5, 6, 99}}, plInterleaved8Quads, 2, true),
            (std::vector{Rgb(3, 2, 1), Rgb(6, 5, 4)}));
  EXPECT_EQ(palette({red, green, blue}, plPlanar8, 2, true), (std::vector{Rgb(10, 20, 30), Rgb(11, 21, 31)}));
  // Entries the data do not hold in full stay black.
  const auto many = palette({Bytes{1, 2, 3, 4}}, plInterleaved8Triples, 300, false);
  ASSERT_EQ(many.size(), 256u);
  EXPECT_EQ(many[0], Rgb(1, 2, 3));
  EXPECT_EQ(many[1], Rgb(0, 0, 0));
  EXPECT_EQ(palette({red, Bytes{20}, blue}, plPlanar8, 2, false),
            (std::vector{Rgb(10, 20, 30), Rgb(0, 0, 0)}));
  // 16-bit values are scaled to 8 bits (here a set flag means red first), high byte first under optSwap16.
  layouts.SetSourceBitsPerSample(16);
  layouts.SetTargetBitsPerSample(16);
  EXPECT_EQ(palette({Bytes{0xFF, 0xFF, 0x80, 0x80, 1, 1}}, plInterleaved16Triples, 1, true),
            (std::vector{Rgb(255, 128, 1)}));
  layouts.SetSourceOptions(optSwap16);
  EXPECT_EQ(palette({Bytes{0xFF, 0x00}, Bytes{0x80, 0x00}, Bytes{0x00, 0xFF}}, plPlanar16, 1, false),
            (std::vector{Rgb(254, 127, 0)}));
}

TEST(ColorManagerPalettes, ThePaletteShowsEveryIndexInItsOwnColourAtEveryDepthPair) {
  // The indexed converter sends a source index v to v x maxTarget div maxSource; the palette must hold
  // colour v there, for every source depth from 1 to 8 bits and every target depth at least as deep.
  for (uint8_t sourceBits = 1; sourceBits <= 8; ++sourceBits)
    for (uint8_t targetBits = sourceBits; targetBits <= 8; ++targetBits) {
      SCOPED_TRACE(std::to_string(sourceBits) + " to " + std::to_string(targetBits));
      TColorManager manager;
      manager.SetSourceColorScheme(scIndexed);
      manager.SetTargetColorScheme(scIndexed);
      manager.SetSourceSamplesPerPixel(1);
      manager.SetTargetSamplesPerPixel(1);
      manager.SetSourceBitsPerSample(sourceBits);
      manager.SetTargetBitsPerSample(targetBits);
      const uint32_t count = 1u << sourceBits;
      Bytes colors;
      for (uint32_t v = 0; v < count; ++v)
        colors.insert(colors.end(), {uint8_t(v), uint8_t(255 - v), uint8_t(v ^ 0x5A)});
      const auto entries = Entries(manager.CreateColorPalette({colors}, plInterleaved8Triples, count, false));
      // One row holding every index, packed at the source depth.
      Bytes row((count * sourceBits + 7) / 8);
      for (uint32_t v = 0; v < count; ++v)
        for (uint32_t b = 0; b < sourceBits; ++b)
          if ((v >> (sourceBits - 1 - b)) & 1)
            row[(v * sourceBits + b) / 8] |= uint8_t(0x80 >> ((v * sourceBits + b) % 8));
      Bytes target((count * targetBits + 7) / 8);
      manager.ConvertRow({row}, target, count, 0xFF);
      for (uint32_t v = 0; v < count; ++v) {
        uint32_t index = 0;
        for (uint32_t b = 0; b < targetBits; ++b)
          index = index << 1 | ((target[(v * targetBits + b) / 8] >> (7 - (v * targetBits + b) % 8)) & 1);
        ASSERT_LT(index, entries.size());
        EXPECT_EQ(entries[index], Rgb(uint8_t(v), uint8_t(255 - v), uint8_t(v ^ 0x5A))) << v;
      }
    }
}

}  // namespace
