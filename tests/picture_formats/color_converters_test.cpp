// Colour manager row converters on small byte arrays: every family, packed and 16-bit samples in both
// byte orders, planar and interleaved rows, interlace masks, alpha, and the bounds of every buffer.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "picture_formats/color_manager.h"
#include "picture_formats/format_messages.h"

namespace {

using Bytes = std::vector<uint8_t>;

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

// Converts one interleaved row into a target prefilled with `fill`.
Bytes Convert(const TSetUp& setUp, const Bytes& source, uint32_t count, size_t targetSize,
              uint8_t mask = 0xFF, uint8_t fill = 0) {
  TColorManager manager;
  Configure(manager, setUp);
  Bytes target(targetSize, fill);
  manager.ConvertRow({source}, target, count, mask);
  return target;
}

// 16-bit words as stored in memory in native order, or high byte first.
Bytes Words(std::initializer_list<uint16_t> words, bool highFirst = false) {
  Bytes bytes;
  for (uint16_t w : words) {
    if (highFirst) {
      bytes.push_back(static_cast<uint8_t>(w >> 8));
      bytes.push_back(static_cast<uint8_t>(w));
    } else {
      bytes.resize(bytes.size() + 2);
      std::memcpy(bytes.data() + bytes.size() - 2, &w, 2);
    }
  }
  return bytes;
}

TEST(IndexedConverters, PackedDepthsScaleLikeLevels) {
  EXPECT_EQ(Convert({scGray, scGray, 1, 8}, {0b10110000}, 4, 4), (Bytes{255, 0, 255, 255}));
  EXPECT_EQ(Convert({scIndexed, scIndexed, 4, 8}, {0x3F, 0xA0}, 3, 3), (Bytes{51, 255, 170}));
  // Truncation on the way down; two pixels per byte, high nibble first.
  EXPECT_EQ(Convert({scGray, scGray, 8, 4}, {255, 254, 0, 17, 34}, 5, 3), (Bytes{0xFE, 0x01, 0x20}));
  EXPECT_EQ(Convert({scIndexed, scIndexed, 2, 4}, {0b11100100}, 4, 2), (Bytes{0xFA, 0x50}));
  // Equal depths and every pixel: the row is copied, bits of the last byte included.
  EXPECT_EQ(Convert({scIndexed, scIndexed, 1, 1}, {0xA5, 0xFF}, 9, 2), (Bytes{0xA5, 0xFF}));
}

TEST(IndexedConverters, InterlaceMaskPlacesOnlySelectedPixels) {
  // Eight pixels, mask 0x80: one source pixel, written to pixel 0 only.
  EXPECT_EQ(Convert({scIndexed, scIndexed, 8, 8}, {7}, 8, 8, 0x80, 0xAA),
            (Bytes{7, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}));
  // The mask repeats every eight pixels; packed target bits of skipped pixels are kept.
  EXPECT_EQ(Convert({scIndexed, scIndexed, 8, 1}, {255, 255}, 10, 2, 0x40, 0x00), (Bytes{0x40, 0x40}));
  EXPECT_EQ(Convert({scGray, scGray, 1, 4}, {0b10000000}, 3, 2, 0x20, 0x33), (Bytes{0x33, 0xF3}));
}

TEST(IndexedConverters, SixteenBitIndicesEitherWay) {
  // Three 16-bit indices into a 4-bit target: high and low nibble of byte 0, high nibble of byte 1.
  const Bytes big = Words({0xFFFF, 0x1111, 0x8888}, true);
  EXPECT_EQ(Convert({scIndexed, scIndexed, 16, 4, optSwap16}, big, 3, 2, 0xFF, 0x0A), (Bytes{0xF1, 0x8A}));
  EXPECT_EQ(Convert({scIndexed, scIndexed, 16, 4}, Words({0xFFFF, 0x1111, 0x8888}), 3, 2),
            (Bytes{0xF1, 0x80}));
  // 2-bit indices widened to 16-bit words, stored high byte first under optSwap16.
  EXPECT_EQ(Convert({scIndexed, scIndexed, 2, 16}, {0b11010000}, 2, 4), Words({65535, 21845}));
  EXPECT_EQ(Convert({scIndexed, scIndexed, 3, 16, optSwap16}, {0b00100000}, 1, 2), Words({9362}, true));
  EXPECT_EQ(Convert({scIndexed, scIndexed, 3, 16}, {0b00100000}, 1, 2), Words({9362}));
  // 16 to 16: copied, byte-swapped, or word by word under a mask.
  EXPECT_EQ(Convert({scIndexed, scIndexed, 16, 16}, Words({1, 2}), 2, 4), Words({1, 2}));
  EXPECT_EQ(Convert({scIndexed, scIndexed, 16, 16, optSwap16}, Words({0x0102}, true), 1, 2), Words({0x0102}));
  EXPECT_EQ(Convert({scIndexed, scIndexed, 16, 16}, Words({9}), 2, 4, 0x40, 0xEE), (Bytes{0xEE, 0xEE, 9, 0}));
}

TEST(IndexedConverters, FieldsWiderThanAByteStopWithTheRangeError) {
  EXPECT_THROW(Convert({scIndexed, scIndexed, 12, 8}, Bytes(2), 1, 1), ERangeError);
  EXPECT_THROW(Convert({scIndexed, scIndexed, 16, 12}, Bytes(2), 1, 2), ERangeError);
  // Equal depths over every pixel are a plain copy.
  EXPECT_EQ(Convert({scIndexed, scIndexed, 12, 12}, {1, 2, 3}, 2, 3), (Bytes{1, 2, 3}));
}

TEST(GrayConverters, DepthChangesAndAlphaSkipping) {
  EXPECT_EQ(Convert({scGray, scGray, 8, 16}, {0x80, 0xFF}, 2, 4), Words({0x8080, 0xFFFF}));
  EXPECT_EQ(Convert({scGray, scGray, 16, 8}, Words({0xFFFF, 0x8000}), 2, 2), (Bytes{255, 127}));
  EXPECT_EQ(Convert({scGray, scGray, 16, 8, optSwap16}, Words({0xFF00}, true), 1, 1), (Bytes{254}));
  EXPECT_EQ(Convert({scGray, scGray, 16, 16, optSwap16}, Words({0x1234}, true), 1, 2), Words({0x1234}));
  // Gray with alpha into an indexed bitmap: the alpha samples are stepped over.
  EXPECT_EQ(Convert({scGrayAlpha, scIndexed, 8, 8}, {10, 99, 20, 99}, 2, 2), (Bytes{10, 20}));
  EXPECT_EQ(Convert({scGrayAlpha, scIndexed, 16, 8, optSwap16}, Words({0xFFFF, 1, 0x8080, 1}, true), 2, 2),
            (Bytes{255, 128}));
}

TEST(RGBConverters, ReorderingAndAlpha) {
  EXPECT_EQ(Convert({scRGB, scBGR, 8, 8}, {10, 20, 30}, 1, 3), (Bytes{30, 20, 10}));
  EXPECT_EQ(Convert({scBGR, scRGB, 8, 8}, {10, 20, 30}, 1, 3), (Bytes{30, 20, 10}));
  EXPECT_EQ(Convert({scBGR, scBGR, 8, 8}, {10, 20, 30}, 1, 3), (Bytes{10, 20, 30}));
  EXPECT_EQ(Convert({scRGB, scRGB, 8, 8}, {10, 20, 30}, 1, 3), (Bytes{10, 20, 30}));
  // RGBA into BGR drops alpha; RGB into BGRA leaves the alpha byte; RGBA into BGRA carries it.
  EXPECT_EQ(Convert({scRGBA, scBGR, 8, 8}, {1, 2, 3, 4, 5, 6, 7, 8}, 2, 6), (Bytes{3, 2, 1, 7, 6, 5}));
  EXPECT_EQ(Convert({scRGB, scBGRA, 8, 8}, {1, 2, 3}, 1, 4, 0xFF, 0x77), (Bytes{3, 2, 1, 0x77}));
  EXPECT_EQ(Convert({scRGBA, scBGRA, 8, 8}, {1, 2, 3, 4}, 1, 4), (Bytes{3, 2, 1, 4}));
  EXPECT_EQ(Convert({scBGRA, scRGBA, 8, 8}, {1, 2, 3, 4}, 1, 4), (Bytes{3, 2, 1, 4}));
}

TEST(RGBConverters, PlanarRows) {
  TColorManager manager;
  Configure(manager, {scRGB, scBGR, 8, 8});
  const Bytes red{1, 2}, green{3, 4}, blue{5, 6}, alpha{7, 8};
  Bytes target(6);
  manager.ConvertRow({red, green, blue}, target, 2, 0xFF);
  EXPECT_EQ(target, (Bytes{5, 3, 1, 6, 4, 2}));

  Configure(manager, {scRGBA, scBGRA, 8, 8});
  Bytes withAlpha(8);
  manager.ConvertRow({red, green, blue, alpha}, withAlpha, 2, 0xFF);
  EXPECT_EQ(withAlpha, (Bytes{5, 3, 1, 7, 6, 4, 2, 8}));
  // Planar alpha needs its plane.
  try {
    manager.ConvertRow({red, green, blue}, withAlpha, 2, 0xFF);
    FAIL() << "a missing alpha plane was accepted";
  } catch (const EColorConversionError& e) {
    EXPECT_EQ(e.Message(), gesRowBufferTooSmall);
  }
}

TEST(RGBConverters, SixteenBitSamplesAndGamma) {
  // 16 to 8: scaled by 255 div 65535; high-byte-first samples swapped first.
  EXPECT_EQ(Convert({scRGB, scBGR, 16, 8, optSwap16}, Words({0x1234, 0xFFFF, 0}, true), 1, 3),
            (Bytes{0, 255, 18}));
  EXPECT_EQ(Convert({scRGB, scBGR, 16, 8}, Words({0x1234, 0xFFFF, 0}, true), 1, 3), (Bytes{0, 255, 51}));
  // 16 to 16: words put in native order, alpha included.
  EXPECT_EQ(Convert({scRGBA, scRGBA, 16, 16, optSwap16}, Words({1, 2, 3, 4}, true), 1, 8),
            Words({1, 2, 3, 4}));
  // 8 to 16: widened by 257.
  EXPECT_EQ(Convert({scRGB, scBGR, 8, 16}, {0x10, 0x20, 0x30}, 1, 6), Words({0x3030, 0x2020, 0x1010}));

  // Gamma applies to colour samples only, never to alpha.
  TColorManager manager;
  Configure(manager, {scRGBA, scBGRA, 8, 8, 0, optGamma});
  Bytes target(4);
  manager.ConvertRow({Bytes{128, 64, 1, 128}}, target, 1, 0xFF);
  EXPECT_EQ(target, (Bytes{21, 136, 186, 128}));
  Configure(manager, {scRGBA, scBGRA, 16, 8, optSwap16, optGamma});
  manager.ConvertRow({Words({0x8080, 0x4040, 0x0101, 0x8080}, true)}, target, 1, 0xFF);
  EXPECT_EQ(target, (Bytes{21, 136, 186, 128}));
}

TEST(RGBConverters, InterlacedPassAndUnhandledDepths) {
  // Mask 0xAA selects pixels 0 and 2 of four; the source holds just those two.
  EXPECT_EQ(Convert({scRGB, scBGR, 8, 8}, {1, 2, 3, 4, 5, 6}, 4, 12, 0xAA, 9),
            (Bytes{3, 2, 1, 9, 9, 9, 6, 5, 4, 9, 9, 9}));
  // 12-bit colour samples are not converted: the row stays as it was.
  EXPECT_EQ(Convert({scRGB, scBGR, 12, 8}, {}, 2, 6, 0xFF, 4), Bytes(6, 4));
}

TEST(CMYKConverters, InkCoverage) {
  EXPECT_EQ(Convert({scCMYK, scBGR, 8, 8}, {0, 0, 0, 0}, 1, 3), (Bytes{255, 255, 255}));
  EXPECT_EQ(Convert({scCMYK, scBGR, 8, 8}, {0, 0, 0, 255}, 1, 3), (Bytes{0, 0, 0}));
  EXPECT_EQ(Convert({scCMYK, scBGR, 8, 8}, {255, 0, 0, 0}, 1, 3), (Bytes{255, 255, 0}));
  EXPECT_EQ(Convert({scCMYK, scRGB, 8, 8}, {255, 0, 0, 0}, 1, 3), (Bytes{0, 255, 255}));
  // 255 - (128 + 128 - 64) = 63.
  EXPECT_EQ(Convert({scCMYK, scRGB, 8, 8}, {128, 0, 0, 128}, 1, 3), (Bytes{63, 127, 127}));
  EXPECT_EQ(Convert({scCMYK, scRGB, 8, 16}, {0, 0, 0, 0}, 1, 6), Words({0xFFFF, 0xFFFF, 0xFFFF}));

  TColorManager manager;
  Configure(manager, {scCMYK, scBGRA, 8, 8});
  const Bytes c{255}, m{0}, y{0}, k{0};
  Bytes target(4, 0x42);
  manager.ConvertRow({c, m, y, k}, target, 1, 0xFF);
  EXPECT_EQ(target, (Bytes{255, 255, 0, 0x42}));
}

TEST(CMYKConverters, SixteenBitSamplesHonourTheByteOrder) {
  // 0x00FF stored high byte first: almost no ink once swapped, nearly full ink if read as 0xFF00.
  const Bytes big = Words({0x00FF, 0, 0, 0}, true);
  EXPECT_EQ(Convert({scCMYK, scRGB, 16, 8, optSwap16}, big, 1, 3), (Bytes{255, 255, 255}));
  EXPECT_EQ(Convert({scCMYK, scRGB, 16, 8}, big, 1, 3), (Bytes{1, 255, 255}));
  EXPECT_EQ(Convert({scCMYK, scRGB, 16, 16, optSwap16}, Words({0x1000, 0, 0, 0xFFFF}, true), 1, 6),
            Words({0, 0, 0}));
  EXPECT_EQ(Convert({scCMYK, scRGB, 16, 16, optSwap16}, big, 1, 6), Words({0xFF00, 0xFFFF, 0xFFFF}));
}

TEST(CIELabConverters, WorkedValues) {
  EXPECT_EQ(Convert({scCIELab, scRGB, 8, 8}, {100, 0, 0}, 1, 3), (Bytes{255, 255, 255}));
  EXPECT_EQ(Convert({scCIELab, scRGB, 8, 8}, {0, 0, 0}, 1, 3), (Bytes{0, 0, 0}));
  EXPECT_EQ(Convert({scCIELab, scRGB, 8, 8}, {50, 0, 0}, 1, 3), (Bytes{47, 47, 47}));
  // a* = 0x80 read as -128: greenish.
  EXPECT_EQ(Convert({scCIELab, scBGR, 8, 8}, {50, 0x80, 0}, 1, 3), (Bytes{43, 84, 0}));
  // Below the linear threshold, with b* = -10.
  EXPECT_EQ(Convert({scCIELab, scRGB, 8, 8}, {5, 20, 0xF6}, 1, 3), (Bytes{4, 0, 3}));
  // L stored as 0..255 and chroma with 128 added.
  EXPECT_EQ(Convert({scCIELab, scRGB, 8, 8, optLScaled | optChromaOffset}, {255, 128, 128}, 1, 3),
            (Bytes{255, 255, 255}));
  EXPECT_EQ(Convert({scCIELab, scRGB, 8, 16}, {100, 0, 0}, 1, 6), Words({0xFFFF, 0xFFFF, 0xFFFF}));

  TColorManager manager;
  Configure(manager, {scCIELab, scBGR, 8, 8});
  Bytes target(3);
  manager.ConvertRow({Bytes{50}, Bytes{0x80}, Bytes{0}}, target, 1, 0xFF);
  EXPECT_EQ(target, (Bytes{43, 84, 0}));
}

TEST(CIELabConverters, SixteenBitSamplesHonourTheByteOrder) {
  const Bytes big = Words({50, 0, 0}, true);
  EXPECT_EQ(Convert({scCIELab, scRGB, 16, 8, optSwap16}, big, 1, 3), (Bytes{47, 47, 47}));
  EXPECT_EQ(Convert({scCIELab, scRGB, 16, 8}, big, 1, 3), (Bytes{255, 255, 255}));
  // a* of a 16-bit sample is its low byte read signed.
  EXPECT_EQ(Convert({scCIELab, scBGR, 16, 8, optSwap16}, Words({50, 0x0180, 0}, true), 1, 3),
            (Bytes{43, 84, 0}));
}

TEST(YCbCrConverters, TableFormula) {
  EXPECT_EQ(Convert({scYCbCr, scBGR, 8, 8}, {100, 128, 128}, 1, 3), (Bytes{100, 100, 100}));
  EXPECT_EQ(Convert({scYCbCr, scRGB, 8, 8}, {0, 128, 255}, 1, 3), (Bytes{178, 0, 0}));
  EXPECT_EQ(Convert({scYCbCr, scBGR, 8, 8}, {200, 255, 128}, 1, 3), (Bytes{255, 156, 200}));
  EXPECT_EQ(Convert({scYCbCr, scRGB, 8, 16}, {255, 128, 128}, 1, 6), Words({0xFFFF, 0xFFFF, 0xFFFF}));
  // 16 to 16 goes through the same tables.
  EXPECT_EQ(Convert({scYCbCr, scRGB, 16, 16}, Words({0xFFFF, 0x8080, 0x8080}), 1, 6),
            Words({0xFFFF, 0xFFFF, 0xFFFF}));

  TColorManager manager;
  Configure(manager, {scYCbCr, scBGR, 8, 8});
  Bytes target(6);
  manager.ConvertRow({Bytes{100, 50}, Bytes{128, 128}, Bytes{128, 128}}, target, 2, 0xFF);
  EXPECT_EQ(target, (Bytes{100, 100, 100, 50, 50, 50}));
}

TEST(YCbCrConverters, SixteenBitSamplesHonourTheByteOrder) {
  const Bytes big = Words({0xFF00, 0x8080, 0x8080}, true);
  EXPECT_EQ(Convert({scYCbCr, scRGB, 16, 8, optSwap16}, big, 1, 3), (Bytes{254, 254, 254}));
  EXPECT_EQ(Convert({scYCbCr, scRGB, 16, 8}, big, 1, 3), (Bytes{0, 0, 0}));
}

TEST(PhotoYCCConverters, TablesAndFloatFormula) {
  // Chroma offsets 156 (Cb) and 137 (Cr) give gray.
  EXPECT_EQ(Convert({scPhotoYCC, scBGR, 8, 8}, {100, 156, 137}, 1, 3), (Bytes{100, 100, 100}));
  EXPECT_EQ(Convert({scPhotoYCC, scBGR, 16, 16}, Words({1000, 40092, 35209}), 1, 6),
            Words({1358, 1358, 1358}));
  EXPECT_EQ(Convert({scPhotoYCC, scRGB, 16, 16}, Words({1000, 40092, 35210}), 1, 6),
            Words({1360, 1357, 1358}));
  // A 16-bit result below 0 stops with the range error.
  EXPECT_THROW(Convert({scPhotoYCC, scBGR, 16, 16}, Words({0, 0, 35209}), 1, 6), ERangeError);
}

TEST(ConverterBounds, FootprintsOfEachFamily) {
  TColorManager manager;
  Configure(manager, {scRGBA, scBGR, 16, 8});
  TRowFootprint footprint = manager.RowFootprint(1, 4, 0xFF);
  EXPECT_EQ(footprint.PlanesUsed, 1u);
  EXPECT_EQ(footprint.SourceBytesPerPlane, 32u);
  EXPECT_EQ(footprint.TargetBytes, 12u);
  footprint = manager.RowFootprint(4, 9, 0x88);  // pixels 0, 4, 8 of nine
  EXPECT_EQ(footprint.PlanesUsed, 4u);
  EXPECT_EQ(footprint.SourceBytesPerPlane, 6u);
  EXPECT_EQ(footprint.TargetBytes, 27u);

  Configure(manager, {scGray, scGray, 1, 8});
  footprint = manager.RowFootprint(1, 9, 0xFF);
  EXPECT_EQ(footprint.SourceBytesPerPlane, 2u);
  EXPECT_EQ(footprint.TargetBytes, 9u);

  Configure(manager, {scCMYK, scBGRA, 8, 8});
  EXPECT_EQ(manager.RowFootprint(3, 2, 0xFF).PlanesUsed, 1u);  // not four planes: interleaved
  EXPECT_EQ(manager.RowFootprint(3, 2, 0xFF).SourceBytesPerPlane, 8u);
  EXPECT_EQ(manager.RowFootprint(3, 2, 0xFF).TargetBytes, 8u);
}

TEST(ConverterBounds, ShortBuffersAreRefusedUntouched) {
  TColorManager manager;
  const Bytes source{1, 2, 3, 4, 5, 6};
  Bytes target(5, 0xCC);
  const auto refused = [&](auto convert) {
    try {
      convert();
    } catch (const EColorConversionError& e) {
      return e.Message() == gesRowBufferTooSmall;
    }
    return false;
  };
  EXPECT_TRUE(refused([&] { manager.ConvertRow({source}, target, 2, 0xFF); }));
  EXPECT_EQ(target, Bytes(5, 0xCC));
  Bytes roomy(6);
  EXPECT_TRUE(refused([&] { manager.ConvertRow({Bytes{1, 2, 3, 4, 5}}, roomy, 2, 0xFF); }));
  EXPECT_TRUE(refused([&] { manager.ConvertRow(TSourcePlanes(), roomy, 2, 0xFF); }));
  // Two buffers mean planes, and a colour row needs three.
  EXPECT_TRUE(refused([&] { manager.ConvertRow({source, source}, roomy, 2, 0xFF); }));
  EXPECT_EQ(roomy, Bytes(6));
  // With a mask the source needs only the selected pixels, the target the whole row.
  Bytes row(24);
  manager.ConvertRow({Bytes{1, 2, 3}}, row, 8, 0x80);
  EXPECT_EQ(row[0], 3);
  EXPECT_TRUE(refused([&] { manager.ConvertRow({Bytes{1, 2, 3}}, std::span(row).first(23), 8, 0x80); }));

  Configure(manager, {scIndexed, scIndexed, 4, 8});
  Bytes indices(3);
  EXPECT_TRUE(refused([&] { manager.ConvertRow({Bytes{0x12}}, indices, 3, 0xFF); }));
  EXPECT_TRUE(refused([&] {
    manager.ConvertRow({Bytes{0x12, 0x30}}, std::span(indices).first(2), 3, 0xFF);
  }));
}

}  // namespace
