// The bitmap itself: formats, rows, sizes, conversions, palettes.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/toolkit/graphics/graphics_helpers.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"

TEST(Bitmap, RowsAreBottomUpAndPadded) {
  const struct {
    TPixelFormat format;
    int stride;  // for width 5
  } cases[] = {{pf1bit, 4},   {pf4bit, 4},   {pf8bit, 8},  {pf15bit, 12},
               {pf16bit, 12}, {pf24bit, 16}, {pf32bit, 20}};
  for (const auto& c : cases) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(c.format);
    bitmap.SetSize(5, 3);
    EXPECT_EQ(bitmap.RowStride(), c.stride) << c.format;
    EXPECT_EQ(bitmap.ScanLine(1) - bitmap.ScanLine(0), -c.stride) << c.format;
    EXPECT_EQ(bitmap.ScanLine(2) - bitmap.ScanLine(0), -2 * c.stride) << c.format;
    for (int bad : {-1, 3, 1000}) EXPECT_THROW(bitmap.ScanLine(bad), EInvalidGraphicOperation) << bad;
  }
}

TEST(Bitmap, SizeChangesKeepWhatFitsAndBlackenTheRest) {
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf16bit, pf24bit, pf32bit}) {
    TBitmap original;
    FillPattern(original, format, 7, 5);
    TBitmap bitmap;
    bitmap.Assign(original);
    bitmap.SetSize(11, 3);  // wider, lower
    bitmap.SetHeight(6);    // higher again: rows 3..5 are new
    TCanvas& after = bitmap.Canvas();
    TCanvas& before = original.Canvas();
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 11; ++x) {
        const TColor expected = (x < 7 && y < 3) ? before.Pixel(x, y) : clBlack;
        ASSERT_EQ(after.Pixel(x, y), expected) << "format " << format << " at " << x << "," << y;
      }
    bitmap.SetWidth(2);  // narrower: the bits past the new width are cleared
    TBitmap wider;
    wider.Assign(bitmap);
    wider.SetWidth(7);
    for (int x = 2; x < 7; ++x) EXPECT_EQ(wider.Canvas().Pixel(x, 0), clBlack) << format;
    EXPECT_THROW(bitmap.SetWidth(-1), ERangeError);
  }
  TBitmap huge;
  huge.SetPixelFormat(pf32bit);
  EXPECT_THROW(huge.SetSize(100000, 100000), EOutOfResources);
  EXPECT_TRUE(huge.Empty());
}

TEST(Bitmap, PaletteSetAndRead) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf4bit);
  TLogPalette log;
  for (int i = 0; i < 20; ++i) log.palPalEntry.push_back({static_cast<uint8_t>(i), 0, 0, 0});
  HPALETTE palette = CreatePalette(log);
  bitmap.SetPalette(palette);
  EXPECT_EQ(bitmap.Palette(), palette);
  EXPECT_EQ(bitmap.ColorTable().size(), 16u) << "entries past 2^bits are dropped";
  EXPECT_TRUE(bitmap.PaletteModified());
  TPaletteEntry entries[4];
  EXPECT_EQ(GetPaletteEntries(CopyPalette(palette), 18, 4, entries), 2u);
  EXPECT_EQ(entries[1].peRed, 19);
  DeleteObject(palette);
  EXPECT_EQ(palette, nullptr);
  EXPECT_EQ(CreatePalette(TLogPalette{}), nullptr);
}

TEST(Bitmap, ConversionUpGoesThroughThePalette) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(3, 1);
  TLogPalette log;
  log.palPalEntry = {{10, 20, 30, 0}, {200, 100, 50, 0}, {1, 2, 3, 0}};
  bitmap.SetPalette(CreatePalette(log));
  uint8_t* row = bitmap.ScanLine(0);
  row[0] = 1, row[1] = 2, row[2] = 0;
  bitmap.SetPixelFormat(pf24bit);
  const uint8_t expected[] = {50, 100, 200, 3, 2, 1, 30, 20, 10};
  EXPECT_TRUE(std::equal(expected, expected + 9, bitmap.ScanLine(0)));
}

TEST(Bitmap, ConversionDownTakesTheNearestEntryFirstOnTies) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(4, 1);
  TCanvas& canvas = bitmap.Canvas();
  canvas.SetPixel(0, 0, RGB(250, 5, 5));      // nearest: red (9)
  canvas.SetPixel(1, 0, RGB(100, 100, 100));  // gray 128 is nearer than black
  canvas.SetPixel(2, 0, RGB(64, 0, 0));       // as far from black (0) as from maroon (1): first wins
  canvas.SetPixel(3, 0, RGB(0, 0, 200));      // blue (12)
  bitmap.SetPixelFormat(pf4bit);
  const uint8_t* row = bitmap.ScanLine(0);
  EXPECT_EQ(row[0], 0x98);
  EXPECT_EQ(row[1], 0x0C);
  EXPECT_EQ(bitmap.Canvas().Pixel(1, 0), clGray);
}

TEST(Bitmap, SixteenBitLayoutsReplicateBits) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf16bit);
  bitmap.SetSize(2, 1);
  // 5-6-5: red 10001, green 100001, blue 00011 / white.
  const uint16_t v = (0x11 << 11) | (0x21 << 5) | 0x03;
  bitmap.ScanLine(0)[0] = static_cast<uint8_t>(v), bitmap.ScanLine(0)[1] = static_cast<uint8_t>(v >> 8);
  bitmap.ScanLine(0)[2] = 0xFF, bitmap.ScanLine(0)[3] = 0xFF;
  EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), RGB(0x8C, 0x86, 0x18));
  EXPECT_EQ(bitmap.Canvas().Pixel(1, 0), clWhite);
  bitmap.SetPixelFormat(pf15bit);  // 5-5-5, green keeps its high 5 bits
  const uint16_t w = bitmap.ScanLine(0)[0] | (bitmap.ScanLine(0)[1] << 8);
  EXPECT_EQ(w, (0x11 << 10) | (0x10 << 5) | 0x03);
  EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), RGB(0x8C, 0x84, 0x18));
  bitmap.SetPixelFormat(pf24bit);
  EXPECT_EQ(bitmap.Canvas().Pixel(1, 0), clWhite);
}

TEST(Bitmap, IndexedFormatsGoingUpKeepIndices) {
  TBitmap bitmap;
  FillPattern(bitmap, pf1bit, 13, 3);
  TBitmap copy;
  copy.Assign(bitmap);
  copy.SetPixelFormat(pf8bit);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 13; ++x)
      ASSERT_EQ(copy.ScanLine(y)[x], (bitmap.ScanLine(y)[x / 8] >> (7 - x % 8)) & 1);
}

TEST(Bitmap, AssignCopiesDeeplyAndTakeOverMoves) {
  TBitmap source;
  FillPattern(source, pf24bit, 4, 3);
  TBitmap copy;
  copy.Assign(source);
  EXPECT_TRUE(SamePixels(copy, source));
  copy.ScanLine(0)[0] ^= 0xFF;
  EXPECT_FALSE(SamePixels(copy, source));
  TBitmap taker;
  const uint8_t* memory = source.ScanLine(0);
  taker.TakeOver(source);
  EXPECT_EQ(taker.ScanLine(0), memory);
  EXPECT_EQ(taker.Width(), 4);
  EXPECT_TRUE(source.Empty());
}

// Pixels made beside a bitmap, in its layout, come in without a copy; anything but a buffer of the
// bitmap's own byte count is refused, the bitmap untouched.
TEST(Bitmap, ExchangePixelsTakesABufferOfItsOwnLayoutOnly) {
  TBitmap bitmap;
  FillPattern(bitmap, pf8bit, 5, 3);  // rows of 8 bytes
  const auto table = std::vector<TPaletteEntry>(bitmap.ColorTable().begin(), bitmap.ColorTable().end());
  TBitmap original;
  original.Assign(bitmap);
  for (const size_t wrong : {size_t{0}, size_t{23}, size_t{25}}) {
    TPixelMemory other(wrong);
    EXPECT_THROW(bitmap.ExchangePixels(other), ERangeError) << wrong;
    EXPECT_EQ(other.size(), wrong);
    EXPECT_TRUE(SamePixels(bitmap, original));
  }
  TPixelMemory made(24);
  std::fill_n(made.get(), 24, uint8_t{7});
  uint8_t* const madeBytes = made.get();
  const uint8_t* const oldBytes = bitmap.ScanLine(2);
  bitmap.ExchangePixels(made);
  EXPECT_EQ(bitmap.ScanLine(2), madeBytes);
  EXPECT_EQ(bitmap.ScanLine(0)[4], 7);
  EXPECT_EQ(made.get(), oldBytes) << "the buffer holds the bitmap's old pixels";
  EXPECT_EQ(bitmap.Width(), 5);
  EXPECT_EQ(bitmap.Height(), 3);
  EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
  EXPECT_TRUE(std::equal(table.begin(), table.end(), bitmap.ColorTable().begin(), bitmap.ColorTable().end()));
  TBitmap empty;
  TPixelMemory none;
  EXPECT_THROW(empty.ExchangePixels(none), ERangeError);
}

TEST(Bitmap, SizeForOverwriteKeepsTheRowsOfTheSameSizeAndClearsOnlyPadding) {
  TBitmap bitmap;
  bitmap.SetSizeForOverwrite(5, 3, pf24bit);  // 15 bytes of pixels in rows of 16
  uint8_t* const rows = bitmap.ScanLine(2);
  for (int y = 0; y < 3; ++y) std::fill_n(bitmap.ScanLine(y), 16, 0xAB);
  bitmap.SetSizeForOverwrite(5, 3, pf24bit);
  EXPECT_EQ(bitmap.ScanLine(2), rows) << "the same rows, not a new buffer";
  EXPECT_EQ(bitmap.ScanLine(1)[14], 0xAB) << "pixels are left for the writer";
  EXPECT_EQ(bitmap.ScanLine(1)[15], 0) << "padding is cleared";
  bitmap.SetSizeForOverwrite(3, 5, pf24bit);  // another shape of the same byte count is a new layout
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(bitmap.RowStride(), 12);
  bitmap.SetSizeForOverwrite(7, 2, pf8bit);
  EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
  EXPECT_EQ(bitmap.ColorTable().size(), 256u) << "an indexed format takes its default palette";
  EXPECT_EQ(bitmap.ScanLine(0)[7], 0);
  EXPECT_THROW(bitmap.SetSizeForOverwrite(-1, 2, pf24bit), ERangeError);
}

TEST(Bitmap, TheMemoryOfABigBitmapGivenUpServesTheNextOfItsSize) {
  const uint8_t* memory = nullptr;
  {
    TBitmap picture;  // 1500 x 1000 at 24 bits: big enough to be kept
    picture.SetSizeForOverwrite(1500, 1000, pf24bit);
    std::fill_n(picture.ScanLine(999), 4500, 0xAB);
    memory = picture.ScanLine(999);
  }
  TBitmap next;
  next.SetPixelFormat(pf24bit);
  next.SetSize(1500, 1000);
  EXPECT_EQ(next.ScanLine(999), memory);
  EXPECT_EQ(next.ScanLine(999)[0], 0) << "a new bitmap starts black, whatever its memory held";
  EXPECT_EQ(next.ScanLine(0)[4499], 0);
}
