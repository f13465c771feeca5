// BMP reading and writing: round trips, files of other programs, damaged files.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "tests/support/test_files.h"
#include "tests/toolkit/graphics/graphics_helpers.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"

namespace {

const std::string kGoImages = "/usr/share/gocode/src/golang.org/x/image/testdata/";
const std::string kSixelImages = "/usr/share/doc/libsixel-examples/examples/images/";

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> Rle8File(int width, int height, const std::vector<uint8_t>& data) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(1, 1);
  std::vector<uint8_t> bytes = BmpBytes(bitmap);  // header and 256-entry table of an 8-bit file
  bytes.resize(14 + 40 + 1024);
  Put32(bytes, 18, static_cast<uint32_t>(width));
  Put32(bytes, 22, static_cast<uint32_t>(height));
  Put32(bytes, 30, 1);  // BI_RLE8
  Put32(bytes, 34, static_cast<uint32_t>(data.size()));
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

// Loads the bytes and expects a toolkit exception (with the bitmap left as it was).
void ExpectRejected(const std::vector<uint8_t>& bytes, const char* what) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(2, 2);
  EXPECT_THROW(LoadBmpBytes(bitmap, bytes), Exception) << what;
  EXPECT_EQ(bitmap.Width(), 2) << what;
  EXPECT_EQ(bitmap.PixelFormat(), pf24bit) << what;
}

std::string RejectionMessage(const std::vector<uint8_t>& bytes) {
  TBitmap bitmap;
  try {
    LoadBmpBytes(bitmap, bytes);
  } catch (const EInvalidGraphic& e) {
    return e.Message();
  }
  return "(accepted)";
}

}  // namespace

TEST(BmpFile, EveryPixelFormatSurvivesARoundTrip) {
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfDevice})
    for (int width : {1, 5, 13})
      for (int height : {1, 3}) {
        TBitmap original;
        if (format == pfDevice) {
          original.SetSize(width, height);
          for (int y = 0; y < height; ++y)
            for (int i = 0; i < 4 * width; ++i) original.ScanLine(y)[i] = static_cast<uint8_t>(i * 5 + y);
        } else {
          FillPattern(original, format, width, height);
        }
        if (format == pf4bit || format == pf8bit) {
          TLogPalette log;
          for (int i = 0; i < (format == pf4bit ? 16 : 200); ++i)
            log.palPalEntry.push_back({static_cast<uint8_t>(i * 3), static_cast<uint8_t>(255 - i), 77, 0});
          original.SetPalette(CreatePalette(log));
        }
        TBitmap loaded;
        LoadBmpBytes(loaded, BmpBytes(original));
        const TPixelFormat expected = format == pfDevice ? pf32bit : format;
        ASSERT_EQ(loaded.PixelFormat(), expected) << format;
        original.SetPixelFormat(expected);
        EXPECT_TRUE(SamePixels(loaded, original)) << format << " " << width << "x" << height;
        EXPECT_TRUE(std::ranges::equal(loaded.ColorTable(), original.ColorTable())) << format;
      }
}

TEST(BmpFile, FilesOfImageMagickMatchTheirReferences) {
  const struct {
    const char* file;
    const char* reference;
    TPixelFormat format;
    int tolerance;
  } cases[] = {
      {"rle8.bmp", "src16.ppm", pf8bit, 0},
      {"pal4.bmp", "src16.ppm", pf4bit, 0},
      {"pal1.bmp", "pal1.ppm", pf1bit, 0},
      {"os2-8.bmp", "src16.ppm", pf4bit, 0},
      {"os2-24.bmp", "src16.ppm", pf24bit, 0},
      {"bf565.bmp", "bf565.ppm", pf16bit, 1},
      {"bf555.bmp", "bf555.ppm", pf15bit, 1},
      {"bf4444.bmp", "src16.ppm", pf24bit, 9},
      {"bf8888.bmp", "src16.ppm", pf32bit, 0},
      {"rle8-delta.bmp", "rle8-delta.ppm", pf8bit, 0},
      {"rle4-delta.bmp", "rle4-delta.ppm", pf4bit, 0},
  };
  for (const auto& c : cases) {
    TBitmap bitmap;
    bitmap.LoadFromFile(TestData(std::string("bmp/") + c.file));
    EXPECT_EQ(bitmap.PixelFormat(), c.format) << c.file;
    const QImage reference = Reference(TestData(std::string("bmp/") + c.reference));
    ASSERT_FALSE(reference.isNull()) << c.reference;
    EXPECT_LE(MaxDifference(bitmap, reference), c.tolerance) << c.file;
  }
}

TEST(BmpFile, Os2SecondVersionHeader) {
  // pal4.bmp with its 40-byte header grown to the 64 bytes of OS/2 2.x (the extra fields zero).
  std::vector<uint8_t> bytes = ReadWholeFile(TestData("bmp/pal4.bmp"));
  bytes.insert(bytes.begin() + 54, 24, 0);
  Put32(bytes, 10, bytes[10] + 24u);
  Put32(bytes, 14, 64);
  TBitmap bitmap;
  LoadBmpBytes(bitmap, bytes);
  EXPECT_EQ(MaxDifference(bitmap, Reference(TestData("bmp/src16.ppm"))), 0);
  Put32(bytes, 30, 3);  // Huffman 1D in OS/2 2.x, not bitfields
  EXPECT_NE(RejectionMessage(bytes).find("compression 3"), std::string::npos);
}

TEST(BmpFile, FilesOfOtherProgramsMatchTheirReferences) {
  const struct {
    std::string file;
    std::string reference;
    TPixelFormat format;
  } cases[] = {
      {kGoImages + "video-001.bmp", kGoImages + "video-001.png", pf24bit},
      {kGoImages + "colormap.bmp", kGoImages + "colormap.png", pf8bit},
      {kGoImages + "yellow_rose-small.bmp", kGoImages + "yellow_rose-small.png", pf32bit},  // top-down
      {kGoImages + "yellow_rose-small-v5.bmp", kGoImages + "yellow_rose-small-v5.png", pf32bit},
      {kSixelImages + "snake.bmp", kSixelImages + "snake.ppm", pf24bit},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(std::filesystem::exists(c.file)) << c.file << " (installed by scripts/deps)";
    TBitmap bitmap;
    bitmap.LoadFromFile(c.file);
    EXPECT_EQ(bitmap.PixelFormat(), c.format) << c.file;
    EXPECT_EQ(MaxDifference(bitmap, Reference(c.reference)), 0) << c.file;
  }
}

TEST(BmpFile, RleEscapes) {
  // 4 x 3: a run, end of line, a delta over one row and two columns, an absolute run, end of bitmap.
  TBitmap bitmap;
  LoadBmpBytes(bitmap, Rle8File(4, 3, {2, 7, 0, 0, 0, 2, 2, 1, 0, 1}));
  EXPECT_EQ(bitmap.ScanLine(2)[0], 7);
  EXPECT_EQ(bitmap.ScanLine(2)[1], 7);
  EXPECT_EQ(bitmap.ScanLine(2)[2], 0) << "not reached by the data: index 0";
  for (int x = 0; x < 4; ++x) EXPECT_EQ(bitmap.ScanLine(1)[x], 0) << "skipped by the delta";
  // Data ending in the middle of an absolute run keeps what came.
  LoadBmpBytes(bitmap, Rle8File(4, 1, {0, 4, 9, 8}));
  EXPECT_EQ(bitmap.ScanLine(0)[1], 8);
  EXPECT_EQ(bitmap.ScanLine(0)[2], 0);

  // A run may reach into the row's padding (ImageMagick encodes it); what falls there is dropped.
  LoadBmpBytes(bitmap, Rle8File(5, 1, {8, 3, 0, 1}));
  EXPECT_EQ(bitmap.ScanLine(0)[4], 3);
  EXPECT_EQ(bitmap.ScanLine(0)[5], 0);
  EXPECT_NE(RejectionMessage(Rle8File(5, 1, {9, 3})).find("ligne"), std::string::npos) << "run past the row";
  EXPECT_NE(RejectionMessage(Rle8File(4, 2, {5, 1})).find("ligne"), std::string::npos);
  EXPECT_NE(RejectionMessage(Rle8File(4, 2, {0, 3, 1, 2, 3, 0, 2, 1})).find("ligne"), std::string::npos);
  EXPECT_NE(RejectionMessage(Rle8File(4, 1, {4, 1, 0, 0, 1, 1})).find("image"), std::string::npos)
      << "run past the picture";
  EXPECT_NE(RejectionMessage(Rle8File(4, 1, {0, 2, 0, 5, 1, 1})).find("image"), std::string::npos)
      << "delta past the picture";
  EXPECT_NE(RejectionMessage(Rle8File(4, 2, {0, 2, 9, 0, 1, 1})).find("ligne"), std::string::npos)
      << "delta past the row";
}

TEST(BmpFile, LyingHeadersAreRejectedWithAClearMessage) {
  TBitmap small;
  FillPattern(small, pf24bit, 4, 3);  // rows of exactly 12 bytes: no padding to lose
  const std::vector<uint8_t> good = BmpBytes(small);
  const auto patched = [&](size_t at, uint32_t value, std::vector<uint8_t> bytes) {
    Put32(bytes, at, value);
    return bytes;
  };
  const auto messageOf = [&](size_t at, uint32_t value) {
    return RejectionMessage(patched(at, value, good));
  };
  const std::string prefix = std::string(SInvalidBitmap) + " : ";
  EXPECT_EQ(messageOf(10, 5000), prefix + "début des pixels (5000) après la fin du fichier");
  EXPECT_EQ(messageOf(18, 100000),
            prefix + "données de pixels tronquées (900000 octets attendus, 36 présents)");
  EXPECT_EQ(messageOf(46, 100000), prefix + "table de 100000 couleurs trop grande");
  EXPECT_EQ(messageOf(14, 99), prefix + "taille d'en-tête 99 inconnue");
  EXPECT_EQ(messageOf(18, static_cast<uint32_t>(-4)), prefix + "largeur -4 incorrecte");
  EXPECT_EQ(messageOf(22, 0x80000000u), prefix + "hauteur -2147483648 incorrecte");
  EXPECT_EQ(messageOf(26, 0x00180002), prefix + "nombre de plans 2 incorrect");
  EXPECT_EQ(messageOf(26, 0x00070001), prefix + "profondeur de 7 bits non prise en charge");
  EXPECT_EQ(messageOf(30, 4), prefix + "compression 4 non prise en charge");
  EXPECT_EQ(messageOf(30, 2), prefix + "compression 2 impossible avec 24 bits par pixel");
  EXPECT_EQ(messageOf(0, 0x4D41), prefix + "signature BM absente");
  // A huge RLE picture is refused before any memory is taken.
  EXPECT_NE(RejectionMessage(Rle8File(100000, 100000, {0, 1})).find("trop grande"), std::string::npos);
  // Bitfields whose masks overlap.
  TBitmap fields;
  fields.SetPixelFormat(pf16bit);
  fields.SetSize(2, 2);
  std::vector<uint8_t> bytes = BmpBytes(fields);
  Put32(bytes, 54 + 4, 0xFC00);
  EXPECT_EQ(RejectionMessage(bytes), prefix + "masques de couleurs incorrects");
}

TEST(BmpFile, TruncatedFilesRaiseAndLeaveTheBitmap) {
  TBitmap small;
  FillPattern(small, pf8bit, 4, 3);
  const std::vector<uint8_t> good = BmpBytes(small);
  for (size_t length = 0; length < good.size(); ++length)
    ExpectRejected(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length)),
                   "cut");
  // Only the padding of the last row may be missing.
  TBitmap padded;
  FillPattern(padded, pf24bit, 3, 2);
  std::vector<uint8_t> bytes = BmpBytes(padded);
  bytes.resize(bytes.size() - 3);
  TBitmap loaded;
  LoadBmpBytes(loaded, bytes);
  EXPECT_TRUE(SamePixels(loaded, padded));
}

TEST(BmpFile, RunLengthDataEndingEarlyAreFlaggedAndTooShortDataRefused) {
  // Data that end before the last row: what came is kept, and the bitmap says its data ended early.
  TBitmap bitmap;
  LoadBmpBytes(bitmap, Rle8File(4, 3, {4, 7, 0, 0, 2, 5}));
  EXPECT_TRUE(bitmap.DataEndedEarly());
  EXPECT_EQ(bitmap.ScanLine(2)[3], 7);
  EXPECT_EQ(bitmap.ScanLine(1)[1], 5);
  EXPECT_EQ(bitmap.ScanLine(0)[0], 0);
  // Whole pictures: an end-of-bitmap escape, or every row ended without one (a missing trailer only).
  for (const std::vector<uint8_t>& data :
       {std::vector<uint8_t>{4, 7, 0, 0, 4, 5, 0, 1}, std::vector<uint8_t>{4, 7, 0, 0, 4, 5, 0, 0},
        std::vector<uint8_t>{4, 7, 0, 0, 4, 5}, std::vector<uint8_t>{4, 7, 0, 1}}) {
    LoadBmpBytes(bitmap, Rle8File(4, 2, data));
    EXPECT_FALSE(bitmap.DataEndedEarly()) << data.size();
    EXPECT_EQ(bitmap.ScanLine(1)[3], 7);
  }
  // The 4-bit kind likewise.
  std::vector<uint8_t> rle4 = Rle8File(4, 2, {4, 0x12, 0, 0});
  Put32(rle4, 28, 4);  // 4 bits per pixel
  Put32(rle4, 30, 2);  // BI_RLE4
  Put32(rle4, 46, 16);
  rle4.erase(rle4.begin() + 14 + 40 + 64, rle4.end() - 4);
  Put32(rle4, 10, 14 + 40 + 64);
  LoadBmpBytes(bitmap, rle4);
  EXPECT_TRUE(bitmap.DataEndedEarly());
  // A size the data could never give, even in runs of 255 pixels, is refused before any memory is
  // taken when the data end early; a sparse picture (an early end of bitmap) is held to 16 million pixels.
  const std::string prefix = std::string(SInvalidBitmap) + " : ";
  EXPECT_EQ(RejectionMessage(Rle8File(10000, 10000, {0xFF, 1, 0xFF, 2})),
            prefix + "données de pixels tronquées (781250 octets attendus, 4 présents)");
  EXPECT_NE(RejectionMessage(Rle8File(10000, 10000, {0, 1})).find("trop grande"), std::string::npos);
  LoadBmpBytes(bitmap, Rle8File(2000, 2000, {0, 1}));
  EXPECT_FALSE(bitmap.DataEndedEarly());
  EXPECT_EQ(bitmap.Width(), 2000);
  // A file cut inside its headers names the bitmap, never the bare stream error.
  TBitmap small;
  FillPattern(small, pf8bit, 4, 3);
  const std::vector<uint8_t> good = BmpBytes(small);
  for (const size_t length : {size_t{5}, size_t{20}, size_t{40}})
    EXPECT_EQ(RejectionMessage(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(length))),
              prefix + "fichier tronqué")
        << length;
}
