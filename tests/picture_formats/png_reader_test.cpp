// The PNG reader on files built byte by byte: probe and header, depths, filters, image data over many
// chunks, Adam7, gamma, chunk handling, colours of tRNS and bKGD, progress.

#include <gtest/gtest.h>

#include "tests/picture_formats/png_test_support.h"

namespace {

const Bytes kGamma1{0, 1, 0x86, 0xA0};  // 100000: gamma 1.0
const std::string kInvalid = "Cannot load image. Invalid or unexpected PNG image format.";

// A w x h 8-bit RGB pattern as plain rows or as Adam7 passes (filter byte 0 each).
Bytes Pattern(uint32_t w, uint32_t h) {
  Bytes p;
  for (uint32_t i = 0; i < w * h; ++i)
    p.insert(p.end(), {uint8_t(i * 19), uint8_t(i / w * 23 + 5), uint8_t(i * 7 + 1)});
  return p;
}
Bytes Rows(const Bytes& pixels, uint32_t w, uint32_t h, bool adam7) {
  const std::vector<std::array<uint32_t, 4>> passes =
      adam7 ? std::vector<std::array<uint32_t, 4>>{{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                                                   {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}}
            : std::vector<std::array<uint32_t, 4>>{{0, 0, 1, 1}};
  Bytes raw;
  for (const auto& [row, column, rowStep, columnStep] : passes) {
    if (w <= column) continue;
    for (uint32_t y = row; y < h; y += rowStep) {
      raw.push_back(0);
      for (uint32_t x = column; x < w; x += columnStep)
        raw.insert(raw.end(), pixels.begin() + (y * w + x) * 3, pixels.begin() + (y * w + x) * 3 + 3);
    }
  }
  return raw;
}

TEST(PngReader, ProbeAndHeader) {
  TMemoryStream stream;
  stream.WriteBuffer(PNGSignature);
  stream.SetPosition(0);
  EXPECT_FALSE(TPNGGraphic::CanLoad(stream));  // not more than the signature
  stream.WriteBuffer(Png({IHDR(300, 20, 16, 2, 1), Chunk("tEXt", {'a'}), Chunk("gAMA", {0, 0, 0xB1, 0x8F})}));
  stream.SetPosition(0);
  EXPECT_TRUE(TPNGGraphic::CanLoad(stream));
  EXPECT_EQ(stream.Position(), 0);
  TPNGGraphic graphic;
  ASSERT_TRUE(graphic.ReadImageProperties(stream, 0));
  const TImageProperties& p = graphic.ImageProperties();
  EXPECT_EQ(p.Width, 300u);
  EXPECT_EQ(p.ColorScheme, scRGB);
  EXPECT_EQ(p.BitsPerPixel, 48);
  EXPECT_TRUE(p.Interlaced);
  EXPECT_FLOAT_EQ(p.FileGamma, 0.45455f);
  // IHDR must come first, 13 bytes long, with a width and height from 1 to 2^31 - 1.
  const Bytes rest = Chunk("IDAT", Deflate({0, 0}));
  for (const Bytes& header :
       {Chunk("gAMA", kGamma1), IHDR(0, 1, 8, 0), IHDR(0x80000000u, 1, 8, 0), Chunk("IHDR", Bytes(12, 1))})
    EXPECT_EQ(LoadError(Png({header, IHDR(1, 1, 8, 0), rest})), kInvalid);
}

TEST(PngReader, DepthsAndColourTypesReachTheirBitmaps) {
  // 2-bit grey 0..3: 4-bit indexes 0, 5, 10, 15 of a 16-level grey palette.
  auto graphic = LoadBytes<TPNGGraphic>(SimplePng(4, 1, 2, 0, {0, 0x1B}));
  EXPECT_EQ(graphic->PixelFormat(), pf4bit);
  EXPECT_EQ(graphic->ScanLine(0)[0], 0x05);
  EXPECT_EQ(graphic->ScanLine(0)[1], 0xAF);
  EXPECT_EQ(PixelColors(*graphic), (Bytes{0, 0, 0, 85, 85, 85, 170, 170, 170, 255, 255, 255}));
  // 16-bit samples: x 255 div 65535.
  graphic =
      LoadBytes<TPNGGraphic>(SimplePng(2, 1, 16, 2, {0, 0xFF, 0xFF, 0x80, 0, 1, 1, 1, 0xFF, 0, 0, 0, 0xFF}));
  EXPECT_EQ(PixelColors(*graphic), (Bytes{255, 127, 1, 1, 0, 0}));
  TPNGGraphic copy;  // a reader's copy takes the image properties along with the bitmap
  copy.Assign(*graphic);
  EXPECT_EQ(copy.ImageProperties().BitsPerSample, 16);
  EXPECT_EQ(PixelColors(copy), PixelColors(*graphic));
  // Grey with alpha drops the alpha; RGBA keeps it in the fourth byte.
  EXPECT_EQ(LoadBytes<TPNGGraphic>(SimplePng(1, 1, 16, 4, {0, 0x12, 0x34, 0xFF, 0xFF}))->ScanLine(0)[0],
            0x1234 * 255 / 65535);
  EXPECT_EQ(PixelColors(*LoadBytes<TPNGGraphic>(SimplePng(1, 1, 8, 6, {0, 10, 20, 30, 40})), true),
            (Bytes{10, 20, 30, 40}));
}

TEST(PngReader, FiltersAreUndoneAgainstThePreviousRow) {
  // Sub, Up, Average, Paeth, then type 5, which leaves its row as read (8-bit grey, 3 x 5).
  const auto graphic = LoadBytes<TPNGGraphic>(
      SimplePng(3, 5, 8, 0, {1, 10, 5, 5, 2, 1, 1, 1, 3, 2, 2, 2, 4, 1, 0, 0, 5, 7, 8, 9}));
  const Bytes expected{10, 15, 20, 11, 16, 21, 7, 13, 19, 8, 13, 19, 7, 8, 9};
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(graphic->ScanLine(int(i / 3))[i % 3], expected[i]) << i;
}

TEST(PngReader, ImageDataSplitOrInterlacedGivesThePlainPicture) {
  // Chunks of 3 bytes, some of length 0.
  const Bytes pixels = Pattern(9, 7), packed = Deflate(Rows(pixels, 9, 7, false));
  std::vector<Bytes> chunks{IHDR(9, 7, 8, 2), Chunk("IDAT", {})};
  for (size_t at = 0; at < packed.size(); at += 3) {
    chunks.push_back(
        Chunk("IDAT", Bytes(packed.begin() + at, packed.begin() + std::min(at + 3, packed.size()))));
    if (at % 2 == 0) chunks.push_back(Chunk("IDAT", {}));
  }
  chunks.push_back(Chunk("IEND", {}));
  EXPECT_EQ(PixelColors(*LoadBytes<TPNGGraphic>(Png(chunks))), pixels);
  // 1 x 1 runs pass 1 alone; narrow and low pictures skip passes.
  for (const auto& [w, h] : {std::pair{13u, 11u}, {1u, 1u}, {2u, 9u}, {9u, 2u}}) {
    const Bytes picture = Pattern(w, h);
    EXPECT_EQ(PixelColors(*LoadBytes<TPNGGraphic>(SimplePng(w, h, 8, 2, Rows(picture, w, h, true), 1))),
              picture)
        << w << " x " << h;
  }
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
  // Grey palettes take the gamma too.
  EXPECT_EQ(PixelColors(*LoadBytes<TPNGGraphic>(Png({IHDR(1, 1, 8, 0), Chunk("gAMA", kGamma1),
                                                     Chunk("IDAT", Deflate({0, 128})), Chunk("IEND", {})}))),
            (Bytes{186, 186, 186}));
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

TEST(PngReader, ProgressReportsStagesAndRows) {
  const auto report = [](const Bytes& file) {
    std::vector<std::string> out;
    TPNGGraphic graphic;
    graphic.OnProgress = [&](TGraphic&, TProgressStage stage, uint8_t percent, bool, const TRect& rect,
                             const std::string& text) {
      out.push_back(std::to_string(int(stage)) + ":" + std::to_string(percent) + ":" +
                    std::to_string(rect.Top) + text);
    };
    LoadInto(graphic, file);
    return out;
  };
  EXPECT_EQ(report(SimplePng(1, 4, 8, 0, {0, 1, 0, 2, 0, 3, 0, 4})),
            (std::vector<std::string>{"0:0:0Preparing...", "2:0:0", "0:0:0Transfering...", "1:0:0", "1:25:1",
                                      "1:50:2", "1:75:3", "2:0:4"}));
  // Interlaced: only the rows of pass 7, with the percentage of the next row to read.
  EXPECT_EQ(report(SimplePng(2, 4, 8, 2, Rows(Pattern(2, 4), 2, 4, true), 1)),
            (std::vector<std::string>{"0:0:0Preparing...", "2:0:0", "0:0:0Transfering...", "1:75:0",
                                      "1:100:1", "2:0:2"}));
}

}  // namespace
