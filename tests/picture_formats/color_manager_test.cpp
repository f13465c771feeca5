// Colour manager set-up: setters and their checks, converter choice, gamma and YCbCr tables, pixel
// formats and palette builders.

#include "picture_formats/color_manager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "picture_formats/format_messages.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Runs f and returns the message of the EColorConversionError it raises ("" when it raises none).
template <class F>
std::string ConversionError(F f) {
  try {
    f();
  } catch (const EColorConversionError& e) {
    return e.Message();
  }
  return "";
}

std::vector<TPaletteEntry> Entries(const HPALETTE& palette) {
  std::vector<TPaletteEntry> entries(GetPaletteEntries(palette, 0, 0, nullptr));
  GetPaletteEntries(palette, 0, static_cast<uint32_t>(entries.size()), entries.data());
  return entries;
}

TPaletteEntry Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return TPaletteEntry{r, g, b, 0};
}

TEST(ColorManagerSetup, DefaultsConvertRGBToBGRWithoutSetUp) {
  TColorManager manager;
  EXPECT_EQ(manager.SourceBitsPerSample(), 8);
  EXPECT_EQ(manager.TargetSamplesPerPixel(), 3);
  EXPECT_EQ(manager.SourceColorScheme(), scRGB);
  EXPECT_EQ(manager.TargetColorScheme(), scBGR);
  EXPECT_FLOAT_EQ(manager.FileGamma(), 1.0f);
  EXPECT_FLOAT_EQ(manager.DisplayGamma(), 2.2f);
  EXPECT_FLOAT_EQ(manager.YCbCrCoefficients()[1], 0.587f);
  EXPECT_TRUE(manager.Changed());

  const Bytes source{10, 20, 30, 40, 50, 60};
  Bytes target(6);
  manager.ConvertRow({source}, target, 2, 0xFF);
  EXPECT_EQ(target, (Bytes{30, 20, 10, 60, 50, 40}));
  EXPECT_FALSE(manager.Changed());
}

TEST(ColorManagerSetup, SettersCheckTheirRanges) {
  TColorManager manager;
  manager.SetSourceBitsPerSample(5);
  EXPECT_EQ(manager.SourceBitsPerSample(), 5);
  EXPECT_EQ(ConversionError([&] { manager.SetSourceBitsPerSample(0); }), gesInvalidColorDepth);
  EXPECT_EQ(ConversionError([&] { manager.SetTargetBitsPerSample(17); }), gesInvalidColorDepth);
  EXPECT_EQ(manager.SourceBitsPerSample(), 5);
  EXPECT_EQ(manager.TargetBitsPerSample(), 8);
  EXPECT_EQ(ConversionError([&] { manager.SetSourceSamplesPerPixel(0); }), gesInvalidSampleCount);
  EXPECT_EQ(ConversionError([&] { manager.SetTargetSamplesPerPixel(5); }), gesInvalidSampleCount);
  EXPECT_EQ(manager.TargetSamplesPerPixel(), 3);
}

TEST(ColorManagerSetup, OnlyNewValuesMarkTheManagerChanged) {
  TColorManager manager;
  manager.RowFootprint(1, 1, 0xFF);
  ASSERT_FALSE(manager.Changed());
  manager.SetSourceColorScheme(scRGB);
  manager.SetSourceBitsPerSample(8);
  manager.SetTargetSamplesPerPixel(3);
  manager.SetSourceOptions(optSwap16);
  manager.SetTargetOptions(optGamma);
  EXPECT_FALSE(manager.Changed());
  manager.SetSourceColorScheme(scBGR);
  EXPECT_TRUE(manager.Changed());
}

TEST(ColorManagerSetup, WritingOptionsKeepsTheAlphaTheSchemeImplies) {
  TColorManager manager;
  manager.SetSourceColorScheme(scRGBA);
  manager.SetTargetColorScheme(scBGRA);
  manager.RowFootprint(1, 1, 0xFF);
  EXPECT_EQ(manager.SourceOptions(), optAlpha);
  // A reader that loads again writes "exactly optSwap16"; the schemes did not change, so no new choice
  // runs, and the alpha samples must still be stepped over.
  manager.SetSourceOptions(optSwap16);
  EXPECT_EQ(manager.SourceOptions(), optSwap16 | optAlpha);
  const Bytes source{1, 2, 3, 4};
  Bytes target(4);
  manager.ConvertRow({source}, target, 1, 0xFF);
  EXPECT_EQ(target, (Bytes{3, 2, 1, 4}));
}

TEST(ColorManagerSetup, IndexedAndColourSchemesDoNotMix) {
  TColorManager manager;
  manager.SetSourceColorScheme(scGray);
  manager.SetTargetColorScheme(scRGB);
  const Bytes source{1, 2, 3};
  Bytes target(3, 0x55);
  EXPECT_EQ(ConversionError([&] { manager.ConvertRow({source}, target, 1, 0xFF); }), gesIndexedNotSupported);
  EXPECT_EQ(ConversionError([&] { manager.ConvertRow({source}, target, 1, 0xFF); }), gesIndexedNotSupported);
  EXPECT_EQ(target, Bytes(3, 0x55));
  manager.SetSourceColorScheme(scRGB);
  manager.SetTargetColorScheme(scGray);
  EXPECT_EQ(ConversionError([&] { manager.ConvertRow({source}, target, 1, 0xFF); }), gesIndexedNotSupported);
}

TEST(ColorManagerSetup, MissingConverterIsReportedUntilASetterChanges) {
  TColorManager manager;
  manager.SetSourceColorScheme(scGray);
  manager.SetTargetColorScheme(scGray);
  manager.SetSourceSamplesPerPixel(1);
  manager.SetTargetSamplesPerPixel(1);
  manager.SetSourceBitsPerSample(16);
  manager.SetTargetBitsPerSample(4);
  const Bytes source(2);
  Bytes target(1);
  EXPECT_EQ(ConversionError([&] { manager.ConvertRow({source}, target, 1, 0xFF); }), gesColorConversion);
  EXPECT_FALSE(manager.Changed());
  EXPECT_EQ(ConversionError([&] { manager.ConvertRow({source}, target, 1, 0xFF); }), gesColorConversion);
  manager.SetTargetBitsPerSample(8);
  EXPECT_EQ(ConversionError([&] { manager.ConvertRow({source}, target, 1, 0xFF); }), "");

  for (TColorScheme scheme : {scUnknown, static_cast<TColorScheme>(8), static_cast<TColorScheme>(13)}) {
    manager.SetSourceColorScheme(scheme);
    manager.SetTargetColorScheme(scBGR);
    EXPECT_EQ(ConversionError([&] { manager.RowFootprint(1, 1, 0xFF); }), gesColorConversion) << int(scheme);
  }
  manager.SetSourceColorScheme(scCMYK);
  manager.SetTargetColorScheme(scCMYK);
  EXPECT_EQ(ConversionError([&] { manager.RowFootprint(1, 1, 0xFF); }), gesColorConversion);
  manager.SetSourceColorScheme(scGrayAlpha);
  manager.SetTargetColorScheme(scIndexed);
  manager.SetSourceBitsPerSample(4);
  EXPECT_EQ(ConversionError([&] { manager.RowFootprint(1, 1, 0xFF); }), gesColorConversion);
}

TEST(ColorManagerSetup, PixelFormatsFollowSamplesAndBits) {
  TColorManager manager;
  const auto format = [&](uint8_t samples, uint8_t bits) {
    manager.SetTargetSamplesPerPixel(samples);
    manager.SetTargetBitsPerSample(bits);
    return manager.GetPixelFormat(1);
  };
  EXPECT_EQ(format(1, 1), pf1bit);
  EXPECT_EQ(format(1, 2), pf4bit);
  EXPECT_EQ(format(1, 4), pf4bit);
  EXPECT_EQ(format(1, 5), pfCustom);
  EXPECT_EQ(format(1, 8), pf8bit);
  EXPECT_EQ(format(1, 16), pf8bit);
  EXPECT_EQ(format(3, 5), pf15bit);
  EXPECT_EQ(format(3, 8), pf24bit);
  EXPECT_EQ(format(4, 8), pf32bit);
  EXPECT_EQ(format(4, 7), pfCustom);
  EXPECT_EQ(format(2, 8), pfCustom);
  // Index 0 describes the source.
  manager.SetSourceSamplesPerPixel(4);
  EXPECT_EQ(manager.GetPixelFormat(0), pf32bit);
}

TEST(ColorManagerTables, GammaTableFollowsGammasAndDepths) {
  TColorManager manager;
  const auto table = manager.GammaTable();
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table[1], 21);
  EXPECT_EQ(table[64], 136);
  EXPECT_EQ(table[128], 186);
  EXPECT_EQ(table[255], 255);

  manager.SetGamma(0, -1);
  EXPECT_FLOAT_EQ(manager.FileGamma(), 1.0f);
  EXPECT_FLOAT_EQ(manager.DisplayGamma(), 2.2f);
  manager.SetGamma(NAN, 1.0f);
  EXPECT_FLOAT_EQ(manager.FileGamma(), 1.0f);

  TColorManager oneBit;
  oneBit.SetSourceBitsPerSample(1);
  oneBit.SetGamma(1.0f, 1.0f);
  EXPECT_EQ(oneBit.GammaTable()[0], 0);
  EXPECT_EQ(oneBit.GammaTable()[1], 255);
  EXPECT_EQ(oneBit.GammaTable()[64], 136);  // beyond the 1-bit range: kept from before

  manager.SetSourceBitsPerSample(8);
  manager.SetTargetBitsPerSample(4);
  manager.SetGamma(1.0f, 1.0f);
  EXPECT_EQ(manager.GammaTable()[255], 15);
  EXPECT_EQ(manager.GammaTable()[17], 1);
}

TEST(ColorManagerTables, YCbCrParametersAreCheckedAfterStoringTheCoefficients) {
  TColorManager manager;
  manager.SetYCbCrParameters({0.5f, 0.4f, 0.1f}, 4, 2);
  EXPECT_EQ(manager.HorizontalSubsampling(), 4);
  EXPECT_EQ(manager.VerticalSubsampling(), 2);

  EXPECT_EQ(ConversionError([&] { manager.SetYCbCrParameters({0.299f}, 2, 4); }),
            gesVerticalSubSamplingError);
  EXPECT_EQ(manager.YCbCrCoefficients(), (std::array<float, 3>{0.299f, 0.4f, 0.1f}));
  EXPECT_EQ(manager.VerticalSubsampling(), 2);
  EXPECT_EQ(ConversionError([&] { manager.SetYCbCrParameters({0.299f}, 3, 1); }), gesInvalidSubSampling);
  EXPECT_EQ(ConversionError([&] { manager.SetYCbCrParameters({0.299f}, 1, 0); }), gesInvalidSubSampling);
  EXPECT_EQ(manager.HorizontalSubsampling(), 4);
  EXPECT_THROW(manager.SetYCbCrParameters(std::span<const float>(), 1, 1), ERangeError);
}

TEST(ColorManagerTables, YCbCrLookupTablesOfBothSchemes) {
  TColorManager manager;
  EXPECT_TRUE(manager.CrToRedTable().empty());
  manager.SetSourceColorScheme(scYCbCr);
  manager.RowFootprint(1, 1, 0xFF);
  ASSERT_EQ(manager.CrToRedTable().size(), 256u);
  EXPECT_EQ(manager.CrToRedTable()[255], 178);
  EXPECT_EQ(manager.CbToBlueTable()[0], -227);
  EXPECT_EQ(manager.CrToGreenTable()[255], -91);
  EXPECT_EQ(manager.CbToGreenTable()[0], 44);
  EXPECT_EQ(manager.CbToGreenTable()[255], -44);
  EXPECT_EQ(manager.CrToRedTable()[128], 0);

  manager.SetSourceColorScheme(scPhotoYCC);
  manager.RowFootprint(1, 1, 0xFF);
  EXPECT_EQ(manager.CrToRedTable()[137], 0);
  EXPECT_EQ(manager.CbToBlueTable()[156], 0);
  EXPECT_EQ(manager.CrToRedTable()[138], 1);  // round(1.402)

  // A zero green weight gives saturated entries, not undefined conversions.
  manager.SetYCbCrParameters({0.299f, 0.0f, 0.114f}, 1, 1);
  manager.SetSourceColorScheme(scYCbCr);
  manager.RowFootprint(1, 1, 0xFF);
  EXPECT_EQ(manager.CrToGreenTable()[128], 0);
}

TEST(ColorManagerPalettes, GrayscalePaletteForTheTargetDepth) {
  TColorManager manager;
  manager.SetTargetSamplesPerPixel(1);
  manager.SetTargetBitsPerSample(1);
  EXPECT_EQ(Entries(manager.CreateGrayscalePalette(true)), (std::vector{Rgb(255, 255, 255), Rgb(0, 0, 0)}));
  EXPECT_EQ(Entries(manager.CreateGrayscalePalette(false)), (std::vector{Rgb(0, 0, 0), Rgb(255, 255, 255)}));

  manager.SetTargetBitsPerSample(4);
  auto entries = Entries(manager.CreateGrayscalePalette(false));
  ASSERT_EQ(entries.size(), 16u);
  EXPECT_EQ(entries[3], Rgb(51, 51, 51));

  manager.SetTargetBitsPerSample(16);
  EXPECT_EQ(Entries(manager.CreateGrayscalePalette(false)).size(), 256u);

  manager.SetTargetBitsPerSample(8);
  manager.SetGamma(1.0f, 2.2f);
  manager.SetTargetOptions(optGamma);
  entries = Entries(manager.CreateGrayscalePalette(false));
  EXPECT_EQ(entries[128], Rgb(186, 186, 186));
  EXPECT_EQ(entries[0xFF], Rgb(255, 255, 255));
}

TEST(ColorManagerPalettes, ColourPaletteSpreadsOverTheTargetDepth) {
  TColorManager manager;
  manager.SetSourceBitsPerSample(4);
  Bytes data;
  for (int k = 0; k < 16; ++k) data.insert(data.end(), {uint8_t(k), uint8_t(2 * k), uint8_t(3 * k)});
  const auto entries = Entries(manager.CreateColorPalette({data}, plInterleaved8Triples, 16, false));
  ASSERT_EQ(entries.size(), 256u);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(entries[17 * k], Rgb(k, 2 * k, 3 * k)) << k;
  EXPECT_EQ(entries[33], Rgb(1, 2, 3));  // 33 x 15 div 255 = 1

  // Fewer target entries: a 2-bit target takes source entries 0, 5, 10 and 15.
  manager.SetTargetBitsPerSample(2);
  const auto narrow = Entries(manager.CreateColorPalette({data}, plInterleaved8Triples, 16, false));
  EXPECT_EQ(narrow, (std::vector{Rgb(0, 0, 0), Rgb(5, 10, 15), Rgb(10, 20, 30), Rgb(15, 30, 45)}));

  // A 2-bit source with a palette of two entries: indices the palette lacks read as black.
  manager.SetSourceBitsPerSample(2);
  manager.SetTargetBitsPerSample(4);
  const Bytes two{9, 9, 9, 7, 7, 7};
  const auto spread = Entries(manager.CreateColorPalette({two}, plInterleaved8Triples, 2, false));
  ASSERT_EQ(spread.size(), 16u);
  EXPECT_EQ(spread[5], Rgb(7, 7, 7));
  EXPECT_EQ(spread[15], Rgb(0, 0, 0));
}

TEST(ColorManagerPalettes, LayoutsAndByteOrders) {
  TColorManager manager;
  const Bytes triples{1, 2, 3, 4, 5, 6};
  EXPECT_EQ(Entries(manager.CreateColorPalette({triples}, plInterleaved8Triples, 2, true)),
            (std::vector{Rgb(3, 2, 1), Rgb(6, 5, 4)}));
  const Bytes quads{1, 2, 3, 99, 4, 5, 6, 99};
  EXPECT_EQ(Entries(manager.CreateColorPalette({quads}, plInterleaved8Quads, 2, false)),
            (std::vector{Rgb(1, 2, 3), Rgb(4, 5, 6)}));
  const Bytes red{10, 11}, green{20, 21}, blue{30, 31};
  EXPECT_EQ(Entries(manager.CreateColorPalette({red, green, blue}, plPlanar8, 2, true)),
            (std::vector{Rgb(10, 20, 30), Rgb(11, 21, 31)}));

  // 16-bit values are scaled to 8 bits; here a set flag means red first.
  manager.SetSourceBitsPerSample(16);
  manager.SetTargetBitsPerSample(16);
  const uint16_t words[] = {0xFFFF, 0x8080, 0x0101, 0};
  const std::span<const uint8_t> wordBytes(reinterpret_cast<const uint8_t*>(words), sizeof(words));
  EXPECT_EQ(Entries(manager.CreateColorPalette({wordBytes}, plInterleaved16Triples, 1, true)),
            (std::vector{Rgb(255, 128, 1)}));
  EXPECT_EQ(Entries(manager.CreateColorPalette({wordBytes}, plInterleaved16Triples, 1, false)),
            (std::vector{Rgb(1, 128, 255)}));
  // Planar 16-bit values stored high byte first.
  manager.SetSourceOptions(optSwap16);
  const Bytes r16{0xFF, 0x00}, g16{0x80, 0x00}, b16{0x00, 0xFF};
  EXPECT_EQ(Entries(manager.CreateColorPalette({r16, g16, b16}, plPlanar16, 1, false)),
            (std::vector{Rgb(254, 127, 0)}));
  // Layouts from 8 read nothing.
  EXPECT_EQ(Entries(manager.CreateColorPalette({triples}, static_cast<TPaletteLayout>(8), 2, false)),
            (std::vector{Rgb(0, 0, 0), Rgb(0, 0, 0)}));
}

TEST(ColorManagerPalettes, ShortDataIsNeverReadPast) {
  TColorManager manager;
  const Bytes four{1, 2, 3, 4};
  // 300 colours asked: 256 entries, of which only the one the data holds is read.
  const auto entries = Entries(manager.CreateColorPalette({four}, plInterleaved8Triples, 300, false));
  ASSERT_EQ(entries.size(), 256u);
  EXPECT_EQ(entries[0], Rgb(1, 2, 3));
  EXPECT_EQ(entries[1], Rgb(0, 0, 0));
  const Bytes red{1, 2, 3}, green{4}, blue{5, 6};
  const auto planar = Entries(manager.CreateColorPalette({red, green, blue}, plPlanar8, 3, false));
  EXPECT_EQ(planar, (std::vector{Rgb(1, 4, 5), Rgb(0, 0, 0), Rgb(0, 0, 0)}));
  EXPECT_EQ(Entries(manager.CreateColorPalette({red}, plPlanar8, 1, false)), (std::vector{Rgb(0, 0, 0)}));
}

}  // namespace
