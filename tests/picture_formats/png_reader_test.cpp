// The PNG reader on files built byte by byte: probe and header, depths, filters, image data over many
// chunks, Adam7, gamma, chunk handling, colours of tRNS and bKGD, progress.

#include <gtest/gtest.h>

#include "tests/picture_formats/png_test_support.h"

namespace {

using namespace png_test;

const Bytes kGamma1{0, 1, 0x86, 0xA0};  // 100000: gamma 1.0

// A w x h 8-bit RGB pattern, and the same as plain rows or as Adam7 passes (filter byte 0 each).
Bytes Pattern(uint32_t w, uint32_t h) {
  Bytes p;
  for (uint32_t i = 0; i < w * h; ++i)
    p.insert(p.end(), {uint8_t(i * 19), uint8_t(i / w * 23 + 5), uint8_t(i * 7 + 1)});
  return p;
}
Bytes Rows(const Bytes& pixels, uint32_t w, uint32_t h, bool adam7) {
  const uint32_t passes[7][4] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                                 {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}};
  const uint32_t plain[1][4] = {{0, 0, 1, 1}};
  Bytes raw;
  using TPasses = std::span<const uint32_t[4]>;
  for (const auto& pass : adam7 ? TPasses(passes) : TPasses(plain)) {
    if (w <= pass[1]) continue;
    for (uint32_t y = pass[0]; y < h; y += pass[2]) {
      raw.push_back(0);
      for (uint32_t x = pass[1]; x < w; x += pass[3])
        raw.insert(raw.end(), pixels.data() + (y * w + x) * 3, pixels.data() + (y * w + x) * 3 + 3);
    }
  }
  return raw;
}

TEST(PngReader, ProbeAndHeader) {
  TMemoryStream stream;
  stream.Write(PNGSignature.data(), 8);
  stream.SetPosition(0);
  EXPECT_FALSE(TPNGGraphic::CanLoad(stream));  // not more than the signature
  const Bytes file = Png(
      {IHDR(300, 20, 16, 2, 1), Chunk("tEXt", {'a'}), Chunk("gAMA", {0, 0, 0xB1, 0x8F}), Chunk("IEND", {})});
  stream.Write(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(0);
  EXPECT_TRUE(TPNGGraphic::CanLoad(stream));
  EXPECT_EQ(stream.Position(), 0);
  TPNGGraphic graphic;
  ASSERT_TRUE(graphic.ReadImageProperties(stream, 0));
  const TImageProperties& p = graphic.ImageProperties();
  EXPECT_EQ(p.Width, 300u);
  EXPECT_EQ(p.ColorScheme, scRGB);
  EXPECT_EQ(p.SamplesPerPixel, 3);
  EXPECT_EQ(p.BitsPerPixel, 48);
  EXPECT_EQ(p.Compression, ctDeflate);
  EXPECT_TRUE(p.Interlaced);
  EXPECT_EQ(p.HeaderFlags, hfBigEndian);
  EXPECT_FLOAT_EQ(p.FileGamma, 0.45455f);
  // IHDR must come first, 13 bytes long, with a width and height from 1 to 2^31 - 1.
  const std::string invalid = "Cannot load image. Invalid or unexpected PNG image format.";
  const Bytes rest = Chunk("IDAT", Deflate({0, 0}));
  EXPECT_EQ(LoadError(Png({Chunk("gAMA", kGamma1), IHDR(1, 1, 8, 0), rest})), invalid);
  for (const Bytes& header : {IHDR(0, 1, 8, 0), IHDR(1, 0, 8, 0), IHDR(0x80000000u, 1, 8, 0),
                              Chunk("IHDR", Bytes(12, 1)), Chunk("IHDR", Bytes(14, 1))})
    EXPECT_EQ(LoadError(Png({header, rest})), invalid);
}

TEST(PngReader, DepthsAndColourTypesReachTheirBitmaps) {
  // 2-bit grey 0..3: 4-bit indexes 0, 5, 10, 15 of a 16-level grey palette.
  auto graphic = Load(SimplePng(4, 1, 2, 0, {0, 0x1B}));
  EXPECT_EQ(graphic->PixelFormat(), pf4bit);
  EXPECT_EQ(graphic->ScanLine(0)[0], 0x05);
  EXPECT_EQ(graphic->ScanLine(0)[1], 0xAF);
  EXPECT_EQ(RGBPixels(*graphic), (Bytes{0, 0, 0, 85, 85, 85, 170, 170, 170, 255, 255, 255}));
  // 16-bit samples: x 255 div 65535.
  graphic = Load(SimplePng(2, 1, 16, 2, {0, 0xFF, 0xFF, 0x80, 0, 1, 1, 1, 0xFF, 0, 0, 0, 0xFF}));
  EXPECT_EQ(RGBPixels(*graphic), (Bytes{255, 127, 1, 1, 0, 0}));
  // Grey with alpha drops the alpha; RGBA keeps it in the fourth byte.
  graphic = Load(SimplePng(1, 1, 16, 4, {0, 0x12, 0x34, 0xFF, 0xFF}));
  EXPECT_EQ(graphic->ScanLine(0)[0], 0x1234 * 255 / 65535);
  graphic = Load(SimplePng(1, 1, 8, 6, {0, 10, 20, 30, 40}));
  EXPECT_EQ(Bytes(graphic->ScanLine(0), graphic->ScanLine(0) + 4), (Bytes{30, 20, 10, 40}));
}

TEST(PngReader, FiltersAreUndoneAgainstThePreviousRow) {
  // Sub, Up, Average, Paeth, then type 5, which leaves its row as read (8-bit grey, 3 x 5).
  const auto graphic =
      Load(SimplePng(3, 5, 8, 0, {1, 10, 5, 5, 2, 1, 1, 1, 3, 2, 2, 2, 4, 1, 0, 0, 5, 7, 8, 9}));
  const Bytes expected{10, 15, 20, 11, 16, 21, 7, 13, 19, 8, 13, 19, 7, 8, 9};
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(graphic->ScanLine(int(i / 3))[i % 3], expected[i]) << i;
  // Paeth: left when not farther than both, then upper, then upper left; the estimate is not clipped.
  EXPECT_EQ(PaethPredictor(5, 5, 0), 5);
  EXPECT_EQ(PaethPredictor(8, 11, 10), 8);
  EXPECT_EQ(PaethPredictor(11, 8, 10), 8);
  EXPECT_EQ(PaethPredictor(4, 8, 6), 6);
  EXPECT_EQ(PaethPredictor(0, 0, 255), 0);
}

TEST(PngReader, ImageDataSplitOrInterlacedGivesThePlainPicture) {
  const Bytes pixels = Pattern(9, 7), packed = Deflate(Rows(pixels, 9, 7, false));
  std::vector<Bytes> chunks{IHDR(9, 7, 8, 2), Chunk("IDAT", {})};
  for (size_t at = 0; at < packed.size(); at += 3) {
    chunks.push_back(Chunk(
        "IDAT", Bytes(packed.begin() + long(at), packed.begin() + long(std::min(at + 3, packed.size())))));
    if (at % 2 == 0) chunks.push_back(Chunk("IDAT", {}));
  }
  chunks.push_back(Chunk("IEND", {}));
  EXPECT_EQ(RGBPixels(*Load(Png(chunks))), pixels);
  for (const auto& [w, h] : {std::pair{13u, 11u}, {1u, 1u}, {2u, 9u}, {9u, 2u}, {16u, 16u}}) {
    const Bytes picture = Pattern(w, h);
    EXPECT_EQ(RGBPixels(*Load(SimplePng(w, h, 8, 2, Rows(picture, w, h, true), 1))), picture)
        << w << " x " << h;
  }
  // 1 x 1 runs pass 1 alone; interlace methods other than 1 are read as plain rows.
  EXPECT_EQ(RGBPixels(*Load(SimplePng(1, 1, 8, 2, {0, 1, 2, 3}, 1))), (Bytes{1, 2, 3}));
  EXPECT_EQ(RGBPixels(*Load(SimplePng(2, 1, 8, 2, {0, 1, 2, 3, 4, 5, 6}, 2))), (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST(PngReader, GammaBelongsToItsFile) {
  const Bytes withGamma = Png({IHDR(1, 1, 8, 2), Chunk("gAMA", kGamma1),
                               Chunk("IDAT", Deflate({0, 0, 128, 255})), Chunk("IEND", {})});
  TPNGGraphic graphic;
  LoadInto(graphic, withGamma);
  EXPECT_EQ(RGBPixels(graphic), (Bytes{0, 186, 255}));  // 255 x (128 / 255)^(1 / 2.2)
  EXPECT_TRUE(graphic.ImageProperties().HeaderFlags & hfGammaApplied);
  // The next file of the same reader has no gamma; a 2-bit picture leaves no depths in the table.
  LoadInto(graphic, SimplePng(1, 1, 8, 2, {0, 0, 128, 255}));
  EXPECT_EQ(RGBPixels(graphic), (Bytes{0, 128, 255}));
  LoadInto(graphic, SimplePng(4, 1, 2, 0, {0, 0x1B}));
  LoadInto(graphic, withGamma);
  EXPECT_EQ(RGBPixels(graphic), (Bytes{0, 186, 255}));
  // Grey palettes take the gamma too.
  EXPECT_EQ(RGBPixels(*Load(Png({IHDR(1, 1, 8, 0), Chunk("gAMA", kGamma1), Chunk("IDAT", Deflate({0, 128})),
                                 Chunk("IEND", {})}))),
            (Bytes{186, 186, 186}));
}

TEST(PngReader, ChunkTypesAncillaryAndCritical) {
  const Bytes idat = Chunk("IDAT", Deflate({0, 1, 2, 3})), iend = Chunk("IEND", {});
  Bytes ancillary = Chunk("abCD", {1, 2, 3});
  ancillary.back() ^= 0xFF;  // passed over unread: its CRC is not checked
  EXPECT_EQ(RGBPixels(*Load(Png({IHDR(1, 1, 8, 2), ancillary, idat, iend}))), (Bytes{1, 2, 3}));
  // Types compare without regard to case: "gama" is gAMA.
  EXPECT_TRUE(
      Load(Png({IHDR(1, 1, 8, 2), Chunk("gama", kGamma1), idat, iend}))->ImageProperties().HeaderFlags &
      hfGammaApplied);
  const std::string critical = "Cannot load PNG image. Unexpected but critical chunk detected.";
  EXPECT_EQ(LoadError(Png({IHDR(1, 1, 8, 2), Chunk("ABCD", {}), idat, iend})), critical);
  EXPECT_EQ(LoadError(Png({IHDR(1, 1, 8, 2), idat, Chunk("PLTE", {1, 2, 3}), iend})), critical);
  EXPECT_EQ(LoadError(Png({IHDR(1, 1, 8, 2), IHDR(1, 1, 8, 2), idat, iend})), critical);
}

TEST(PngReader, TransparentAndBackgroundColours) {
  const auto load = [](uint8_t depth, uint8_t type, const Bytes& chunk) {
    return Load(
        Png({IHDR(1, 1, depth, type), chunk, Chunk("IDAT", Deflate(Bytes(7, 0))), Chunk("IEND", {})}));
  };
  EXPECT_EQ(load(8, 2, Chunk("bKGD", {1, 10, 2, 20, 3, 30}))->BackgroundColor(), RGB(10, 20, 30));
  EXPECT_EQ(load(16, 2, Chunk("bKGD", {0xFF, 0xFF, 0x80, 0, 0, 0xFF}))->BackgroundColor(), RGB(255, 127, 0));
  EXPECT_EQ(load(8, 0, Chunk("bKGD", {0, 77}))->BackgroundColor(), 77);  // the grey level as the number
  EXPECT_EQ(load(8, 2, Chunk("tRNS", {0, 10, 0, 20, 0, 30}))->TransparentColor(), RGB(10, 20, 30));
  // Transparency belongs to the file: a reader loading a file without tRNS after one with it.
  TPNGGraphic reader;
  LoadInto(reader, Png({IHDR(1, 1, 8, 0), Chunk("tRNS", {0, 77}), Chunk("IDAT", Deflate({0, 0})),
                        Chunk("IEND", {})}));
  EXPECT_TRUE(reader.Transparent());
  LoadInto(reader, SimplePng(1, 1, 8, 0, {0, 0}));
  EXPECT_FALSE(reader.Transparent());
  EXPECT_EQ(reader.TransparentColor(), NoTransparentColor);
  EXPECT_EQ(load(2, 0, Chunk("tRNS", {0, 2}))->TransparentColor(), RGB(10, 10, 10));  // 4-bit index 10
  for (const uint8_t type : {3, 4, 6})  // tRNS of indexed and alpha pictures has no effect
    EXPECT_EQ(load(8, type, Chunk("tRNS", {0, 1, 0, 2, 0, 3}))->TransparentColor(), NoTransparentColor);
  // Chunks too short for their values are ignored.
  EXPECT_EQ(load(8, 2, Chunk("bKGD", {1, 10}))->BackgroundColor(), clWhite);
  EXPECT_EQ(load(8, 2, Chunk("tRNS", {}))->TransparentColor(), NoTransparentColor);
  EXPECT_FALSE(load(8, 2, Chunk("gAMA", {1, 2}))->ImageProperties().HeaderFlags & hfGammaApplied);
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
