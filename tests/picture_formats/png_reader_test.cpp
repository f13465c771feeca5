// The PNG reader on files built byte by byte: probe and header, alpha, gamma and transparency from one
// file to the next, chunk handling, colours of tRNS and bKGD.

#include <gtest/gtest.h>

#include "tests/picture_formats/png_test_support.h"

namespace {

const Bytes kGamma1{0, 1, 0x86, 0xA0};  // 100000: gamma 1.0
const std::string kInvalid = "Cannot load image. Invalid or unexpected PNG image format.";

TEST(PngReader, ProbeAndHeader) {
  TMemoryStream stream;
  stream.WriteBuffer(PNGSignature);
  stream.SetPosition(0);
  EXPECT_FALSE(TPNGGraphic::CanLoad(stream));  // not more than the signature
  // IHDR must come first, 13 bytes long, with a width and height from 1 to 2^31 - 1.
  const Bytes rest = Chunk("IDAT", Deflate({0, 0}));
  for (const Bytes& header :
       {Chunk("gAMA", kGamma1), IHDR(0, 1, 8, 0), IHDR(0x80000000u, 1, 8, 0), Chunk("IHDR", Bytes(12, 1))})
    EXPECT_EQ(LoadError(Png({header, IHDR(1, 1, 8, 0), rest})), kInvalid);
}

// Depths, colour types, filters, split image data and Adam7 are PngSuite's (png_suite_test.cpp); here
// what it does not show.
TEST(PngReader, AlphaCopiesAndOtherInterlaceMethods) {
  // RGBA keeps its alpha in the fourth byte.
  EXPECT_EQ(PixelColors(*LoadBytes<TPNGGraphic>(SimplePng(1, 1, 8, 6, {0, 10, 20, 30, 40})), true),
            (Bytes{10, 20, 30, 40}));
  // A reader's copy takes the image properties along with the bitmap.
  const auto graphic = LoadBytes<TPNGGraphic>(SimplePng(1, 1, 16, 0, {0, 0x80, 0}));
  TPNGGraphic copy;
  copy.Assign(*graphic);
  EXPECT_EQ(copy.ImageProperties().BitsPerSample, 16);
  EXPECT_EQ(PixelColors(copy), (Bytes{127, 127, 127}));
  // Interlace methods other than 1 are read as plain rows.
  EXPECT_EQ(PixelColors(*LoadBytes<TPNGGraphic>(SimplePng(2, 1, 8, 2, {0, 1, 2, 3, 4, 5, 6}, 2))),
            (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST(PngReader, GammaAndTransparencyBelongToTheirFile) {
  const Bytes withGamma =
      Png({IHDR(1, 1, 8, 2), Chunk("gAMA", kGamma1), Chunk("tRNS", {0, 0, 0, 128, 0, 255}),
           Chunk("IDAT", Deflate({0, 0, 128, 255})), Chunk("IEND", {})});
  TPNGGraphic graphic;
  LoadInto(graphic, withGamma);
  EXPECT_EQ(PixelColors(graphic), (Bytes{0, 186, 255}));  // 255 x (128 / 255)^(1 / 2.2)
  EXPECT_TRUE(graphic.Transparent());
  EXPECT_EQ(graphic.TransparentColor(), RGB(0, 128, 255));
  // The next file of the same reader has neither; a 2-bit picture leaves no depths in the table.
  LoadInto(graphic, SimplePng(1, 1, 8, 2, {0, 0, 128, 255}));
  EXPECT_EQ(PixelColors(graphic), (Bytes{0, 128, 255}));
  EXPECT_FALSE(graphic.Transparent());
  EXPECT_EQ(graphic.TransparentColor(), NoTransparentColor);
  LoadInto(graphic, SimplePng(4, 1, 2, 0, {0, 0x1B}));
  LoadInto(graphic, withGamma);
  EXPECT_EQ(PixelColors(graphic), (Bytes{0, 186, 255}));
}

TEST(PngReader, ChunkTypesAncillaryAndCritical) {
  const Bytes idat = Chunk("IDAT", Deflate({0, 1, 2, 3})), iend = Chunk("IEND", {});
  Bytes ancillary = Chunk("abCD", {1, 2, 3});
  ancillary.back() ^= 0xFF;  // passed over unread: its CRC is not checked
  EXPECT_EQ(PixelColors(*LoadBytes<TPNGGraphic>(Png({IHDR(1, 1, 8, 2), ancillary, idat, iend}))),
            (Bytes{1, 2, 3}));
  // Types compare without regard to case: "gama" is gAMA.
  EXPECT_TRUE(LoadBytes<TPNGGraphic>(Png({IHDR(1, 1, 8, 2), Chunk("gama", kGamma1), idat, iend}))
                  ->ImageProperties()
                  .HeaderFlags &
              hfGammaApplied);
  const std::string critical = "Cannot load PNG image. Unexpected but critical chunk detected.";
  EXPECT_EQ(LoadError(Png({IHDR(1, 1, 8, 2), Chunk("ABCD", {}), idat, iend})), critical);
  EXPECT_EQ(LoadError(Png({IHDR(1, 1, 8, 2), idat, Chunk("PLTE", {1, 2, 3}), iend})), critical);
}

TEST(PngReader, TransparentAndBackgroundColours) {
  const auto load = [](uint8_t depth, uint8_t type, const Bytes& chunk) {
    return LoadBytes<TPNGGraphic>(
        Png({IHDR(1, 1, depth, type), chunk, Chunk("IDAT", Deflate(Bytes(7, 0))), Chunk("IEND", {})}));
  };
  EXPECT_EQ(load(8, 2, Chunk("bKGD", {1, 10, 2, 20, 3, 30}))->BackgroundColor(), RGB(10, 20, 30));
  EXPECT_EQ(load(16, 2, Chunk("bKGD", {0xFF, 0xFF, 0x80, 0, 0, 0xFF}))->BackgroundColor(), RGB(255, 127, 0));
  EXPECT_EQ(load(8, 0, Chunk("bKGD", {0, 77}))->BackgroundColor(), 77);  // the grey level as the number
  EXPECT_EQ(load(2, 0, Chunk("tRNS", {0, 2}))->TransparentColor(), RGB(10, 10, 10));  // 4-bit index 10
  // tRNS of alpha pictures has no effect; chunks too short for their values are ignored.
  EXPECT_EQ(load(8, 6, Chunk("tRNS", {0, 1, 0, 2, 0, 3}))->TransparentColor(), NoTransparentColor);
  EXPECT_EQ(load(8, 2, Chunk("bKGD", {1, 10}))->BackgroundColor(), clWhite);
  EXPECT_EQ(load(8, 2, Chunk("tRNS", {}))->TransparentColor(), NoTransparentColor);
}

}  // namespace
