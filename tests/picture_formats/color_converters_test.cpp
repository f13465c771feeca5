// Colour manager row converters on small byte arrays: every family, packed and 16-bit samples in both
// byte orders, planar and interleaved rows, interlace masks, alpha, and the bounds of every buffer.

#include <gtest/gtest.h>

#include <bit>

#include "picture_formats/color_manager.h"
#include "picture_formats/format_messages.h"
#include "tests/picture_formats/picture_test_support.h"

namespace {

struct TSetUp {
  TColorScheme Source;
  TColorScheme Target;
  uint8_t SourceBits;
  uint8_t TargetBits;
  TConvertFlags SourceOptions = 0;
  TConvertFlags TargetOptions = 0;
};

void Configure(TColorManager& manager, const TSetUp& setUp) {
  manager.SetSourceColorScheme(setUp.Source);
  manager.SetTargetColorScheme(setUp.Target);
  manager.SetSourceBitsPerSample(setUp.SourceBits);
  manager.SetTargetBitsPerSample(setUp.TargetBits);
  manager.SetSourceOptions(setUp.SourceOptions);
  manager.SetTargetOptions(setUp.TargetOptions);
}

// Converts one row (one interleaved buffer, or one buffer per plane) into a target prefilled with `fill`.
Bytes Convert(const TSetUp& setUp, std::initializer_list<TSourcePlane> source, uint32_t count,
              size_t targetSize, uint8_t mask = 0xFF, uint8_t fill = 0) {
  TColorManager manager;
  Configure(manager, setUp);
  Bytes target(targetSize, fill);
  manager.ConvertRow(source, target, count, mask);
  return target;
}
Bytes Convert(const TSetUp& setUp, const Bytes& source, uint32_t count, size_t targetSize,
              uint8_t mask = 0xFF, uint8_t fill = 0) {
  return Convert(setUp, {source}, count, targetSize, mask, fill);
}

// 16-bit words as a little-endian machine stores them, or high byte first.
static_assert(std::endian::native == std::endian::little);
Bytes Words(std::initializer_list<uint16_t> words, bool highFirst = false) {
  Bytes bytes;
  for (uint16_t w : words)
    bytes.insert(bytes.end(), {uint8_t(highFirst ? w >> 8 : w), uint8_t(highFirst ? w : w >> 8)});
  return bytes;
}

TEST(IndexedConverters, DepthsMasksAndSixteenBitIndices) {
  EXPECT_EQ(Convert({scGray, scGray, 1, 8}, {0b10110000}, 4, 4), (Bytes{255, 0, 255, 255}));
  EXPECT_EQ(Convert({scIndexed, scIndexed, 4, 8}, {0x3F, 0xA0}, 3, 3), (Bytes{51, 255, 170}));
  // Truncation on the way down; two pixels per byte, high nibble first.
  EXPECT_EQ(Convert({scGray, scGray, 8, 4}, {255, 254, 0, 17, 34}, 5, 3), (Bytes{0xFE, 0x01, 0x20}));
  // Mask 0x80 over eight pixels: one source pixel, written to pixel 0 only.
  EXPECT_EQ(Convert({scIndexed, scIndexed, 8, 8}, {7}, 8, 8, 0x80, 0xAA),
            (Bytes{7, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}));
  // Three 16-bit indices into a 4-bit target: high and low nibble of byte 0, high nibble of byte 1.
  EXPECT_EQ(Convert({scIndexed, scIndexed, 16, 4, optSwap16}, Words({0xFFFF, 0x1111, 0x8888}, true), 3, 2,
                    0xFF, 0x0A),
            (Bytes{0xF1, 0x8A}));
  EXPECT_EQ(Convert({scIndexed, scIndexed, 3, 16, optSwap16}, {0b00100000}, 1, 2), Words({9362}, true));
  EXPECT_THROW(Convert({scIndexed, scIndexed, 12, 8}, Bytes(2), 1, 1), ERangeError);
  // 16-bit gray stored high byte first; with alpha, the alpha samples are stepped over.
  EXPECT_EQ(Convert({scGray, scGray, 16, 8, optSwap16}, Words({0xFF00}, true), 1, 1), (Bytes{254}));
  EXPECT_EQ(Convert({scGrayAlpha, scIndexed, 16, 8, optSwap16}, Words({0xFFFF, 1, 0x8080, 1}, true), 2, 2),
            (Bytes{255, 128}));
}

TEST(RGBConverters, OrderAlphaPlanesMasksAndSixteenBitSamples) {
  EXPECT_EQ(Convert({scRGB, scBGR, 8, 8}, {10, 20, 30}, 1, 3), (Bytes{30, 20, 10}));
  // RGBA into BGR drops alpha; RGB into BGRA leaves the alpha byte; planar RGBA into BGRA carries it.
  EXPECT_EQ(Convert({scRGBA, scBGR, 8, 8}, {1, 2, 3, 4, 5, 6, 7, 8}, 2, 6), (Bytes{3, 2, 1, 7, 6, 5}));
  EXPECT_EQ(Convert({scRGB, scBGRA, 8, 8}, {1, 2, 3}, 1, 4, 0xFF, 0x77), (Bytes{3, 2, 1, 0x77}));
  const Bytes red{1, 2}, green{3, 4}, blue{5, 6}, alpha{7, 8};
  EXPECT_EQ(Convert({scRGBA, scBGRA, 8, 8}, {red, green, blue, alpha}, 2, 8),
            (Bytes{5, 3, 1, 7, 6, 4, 2, 8}));
  // Mask 0xAA selects pixels 0 and 2 of four; the source holds just those two.
  EXPECT_EQ(Convert({scRGB, scBGR, 8, 8}, {1, 2, 3, 4, 5, 6}, 4, 12, 0xAA, 9),
            (Bytes{3, 2, 1, 9, 9, 9, 6, 5, 4, 9, 9, 9}));
  // 16 to 8 bits: scaled by 255 div 65535, high-byte-first samples swapped first; 8 to 16: x 257.
  const Bytes big = Words({0x1234, 0xFFFF, 0}, true);
  EXPECT_EQ(Convert({scRGB, scBGR, 16, 8, optSwap16}, big, 1, 3), (Bytes{0, 255, 18}));
  EXPECT_EQ(Convert({scRGB, scBGR, 16, 8}, big, 1, 3), (Bytes{0, 255, 51}));
  EXPECT_EQ(Convert({scRGB, scBGR, 8, 16}, {0x10, 0x20, 0x30}, 1, 6), Words({0x3030, 0x2020, 0x1010}));
  // Gamma applies to colour samples only, never to alpha.
  EXPECT_EQ(Convert({scRGBA, scBGRA, 8, 8, 0, optGamma}, {128, 64, 1, 128}, 1, 4),
            (Bytes{21, 136, 186, 128}));
}

TEST(FormulaConverters, CMYKInkCoverageInBothByteOrders) {
  EXPECT_EQ(Convert({scCMYK, scBGR, 8, 8}, {0, 0, 0, 0}, 1, 3), (Bytes{255, 255, 255}));
  EXPECT_EQ(Convert({scCMYK, scBGR, 8, 8}, {0, 0, 0, 255}, 1, 3), (Bytes{0, 0, 0}));
  EXPECT_EQ(Convert({scCMYK, scRGB, 8, 8}, {128, 0, 0, 128}, 1, 3), (Bytes{63, 127, 127}));  // 255 - 192
  // Four planes into a 32-bit target, whose alpha byte stays.
  EXPECT_EQ(Convert({scCMYK, scBGRA, 8, 8}, {Bytes{255}, Bytes{0}, Bytes{0}, Bytes{0}}, 1, 4, 0xFF, 0x42),
            (Bytes{255, 255, 0, 0x42}));
  // 0x00FF stored high byte first: almost no ink once swapped, nearly full ink if read as 0xFF00.
  const Bytes big = Words({0x00FF, 0, 0, 0}, true);
  EXPECT_EQ(Convert({scCMYK, scRGB, 16, 8, optSwap16}, big, 1, 3), (Bytes{255, 255, 255}));
  EXPECT_EQ(Convert({scCMYK, scRGB, 16, 8}, big, 1, 3), (Bytes{1, 255, 255}));
}

TEST(FormulaConverters, CIELabInBothByteOrders) {
  EXPECT_EQ(Convert({scCIELab, scRGB, 8, 8}, {100, 0, 0}, 1, 3), (Bytes{255, 255, 255}));
  EXPECT_EQ(Convert({scCIELab, scBGR, 8, 8}, {50, 0x80, 0}, 1, 3), (Bytes{43, 84, 0}));  // a* read as -128
  EXPECT_EQ(Convert({scCIELab, scRGB, 8, 8}, {5, 20, 0xF6}, 1, 3),
            (Bytes{4, 0, 3}));  // below the cube's range
  EXPECT_EQ(Convert({scCIELab, scRGB, 8, 8, optLScaled | optChromaOffset}, {255, 128, 128}, 1, 3),
            (Bytes{255, 255, 255}));
  const Bytes big = Words({50, 0, 0}, true);
  EXPECT_EQ(Convert({scCIELab, scRGB, 16, 8, optSwap16}, big, 1, 3), (Bytes{47, 47, 47}));
  EXPECT_EQ(Convert({scCIELab, scRGB, 16, 8}, big, 1, 3), (Bytes{255, 255, 255}));
  // a* of a 16-bit sample is its low byte read signed.
  EXPECT_EQ(Convert({scCIELab, scBGR, 16, 8, optSwap16}, Words({50, 0x0180, 0}, true), 1, 3),
            (Bytes{43, 84, 0}));
}

TEST(FormulaConverters, YCbCrAndPhotoYCCInBothByteOrders) {
  EXPECT_EQ(Convert({scYCbCr, scBGR, 8, 8}, {100, 128, 128}, 1, 3), (Bytes{100, 100, 100}));
  EXPECT_EQ(Convert({scYCbCr, scBGR, 8, 8}, {200, 255, 128}, 1, 3), (Bytes{255, 156, 200}));
  EXPECT_EQ(Convert({scYCbCr, scBGR, 8, 8}, {Bytes{100, 50}, Bytes{128, 128}, Bytes{128, 128}}, 2, 6),
            (Bytes{100, 100, 100, 50, 50, 50}));
  const Bytes big = Words({0xFF00, 0x8080, 0x8080}, true);
  EXPECT_EQ(Convert({scYCbCr, scRGB, 16, 8, optSwap16}, big, 1, 3), (Bytes{254, 254, 254}));
  EXPECT_EQ(Convert({scYCbCr, scRGB, 16, 8}, big, 1, 3), (Bytes{0, 0, 0}));
  // PhotoYCC: chroma offsets 156 (Cb) and 137 (Cr) give gray; 16 to 16 bits by the float formula,
  // whose results below 0 stop with the range error.
  EXPECT_EQ(Convert({scPhotoYCC, scBGR, 8, 8}, {100, 156, 137}, 1, 3), (Bytes{100, 100, 100}));
  EXPECT_EQ(Convert({scPhotoYCC, scRGB, 16, 16}, Words({1000, 40092, 35210}), 1, 6),
            Words({1360, 1357, 1358}));
  EXPECT_THROW(Convert({scPhotoYCC, scBGR, 16, 16}, Words({0, 0, 35209}), 1, 6), ERangeError);
}

TEST(ConverterBounds, ShortBuffersAreRefusedUntouched) {
  TColorManager manager;
  Configure(manager, {scCMYK, scBGRA, 8, 8});
  const TRowFootprint footprint = manager.RowFootprint(3, 2, 0xFF);  // three buffers are no CMYK planes
  EXPECT_EQ(footprint.PlanesUsed, 1u);
  EXPECT_EQ(footprint.SourceBytesPerPlane, 8u);
  EXPECT_EQ(footprint.TargetBytes, 8u);

  Configure(manager, {scRGB, scBGR, 8, 8});
  const auto refused = [&](std::initializer_list<TSourcePlane> source, std::span<uint8_t> target,
                           uint32_t count, uint8_t mask) {
    return RaisedMessage<EColorConversionError>([&] { manager.ConvertRow(source, target, count, mask); }) ==
           gesRowBufferTooSmall;
  };
  const Bytes six{1, 2, 3, 4, 5, 6};
  Bytes target(6, 0xCC);
  EXPECT_TRUE(refused({six}, std::span(target).first(5), 2, 0xFF));
  EXPECT_TRUE(refused({Bytes{1, 2, 3, 4, 5}}, target, 2, 0xFF));
  EXPECT_TRUE(refused({six, six}, target, 2, 0xFF));  // two buffers are planes, and a colour row needs three
  EXPECT_EQ(target, Bytes(6, 0xCC));
  // With a mask the source needs only the selected pixels, the target the whole row.
  Bytes row(24);
  EXPECT_FALSE(refused({Bytes{1, 2, 3}}, row, 8, 0x80));
  EXPECT_TRUE(refused({Bytes{1, 2, 3}}, std::span(row).first(23), 8, 0x80));
  Configure(manager, {scIndexed, scIndexed, 4, 8});
  EXPECT_TRUE(refused({Bytes{0x12}}, std::span(row).first(3), 3, 0xFF));
}

}  // namespace
