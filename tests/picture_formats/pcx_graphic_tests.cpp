#include "picture_formats/pcx_graphic.h"

#include <gtest/gtest.h>

#include "picture_formats/decoder.h"
#include "tests/picture_formats/reader_test_support.h"
#include "toolkit/graphics/palette.h"

namespace {

struct TPcxLayout {
  uint8_t Version = 5;
  uint8_t Encoding = 0;
  uint8_t Bits = 8;
  uint8_t Planes = 1;
  uint16_t Width = 2;
  uint16_t Height = 1;
  uint16_t BytesPerLine = 2;
  uint16_t PaletteInfo = 1;
  uint8_t Manufacturer = 10;
};

// A 128-byte header (colour map entry i = (16 i, 16 i + 1, 16 i + 2)) followed by `rest`.
Bytes Pcx(const TPcxLayout& layout, const Bytes& rest) {
  Bytes file(128);
  file[0] = layout.Manufacturer;
  file[1] = layout.Version;
  file[2] = layout.Encoding;
  file[3] = layout.Bits;
  Poke(file, 8, Le(layout.Width - 1u, 2) + Le(layout.Height - 1u, 2));
  for (size_t i = 0; i < 48; ++i) file[16 + i] = uint8_t(16 * (i / 3) + i % 3);
  file[65] = layout.Planes;
  Poke(file, 66, Le(layout.BytesPerLine, 2) + Le(layout.PaletteInfo, 2));
  return file + rest;
}

// Files written by netpbm and ImageMagick against their source pictures (tests/data/pcx/make.sh).
TEST(PCXFiles, EveryLayoutMatchesItsReference) {
  const TReaderSample samples[] = {{"mono.pcx", "two.rgb", pf1bit},
                                   {"packed2.pcx", "four.rgb", pf4bit},
                                   {"packed4.pcx", "sixteen.rgb", pf4bit},
                                   {"planes2.pcx", "four.rgb", pf4bit},
                                   {"planes3.pcx", "eight.rgb", pf4bit},
                                   {"planes4.pcx", "sixteen.rgb", pf4bit},
                                   {"index8.pcx", "many.rgb", pf8bit},
                                   {"im_index8.pcx", "many.rgb", pf8bit},
                                   {"rgb24.pcx", "source.rgb", pf24bit},
                                   {"im_rgb24.pcx", "source.rgb", pf24bit},
                                   {"im_rgb24_raw.pcx", "source.rgb", pf24bit},
                                   {"im_rgba32.pcx", "alpha.rgba", pf32bit}};
  ExpectSamplesMatchReferences<TPCXGraphic>("pcx", samples);
}

TEST(PCXHeader, ProbeAndHeaderReaderTestTheIdentifyingBytes) {
  EXPECT_TRUE(ProbeBytes<TPCXGraphic>(Pcx({}, {1, 2})));
  EXPECT_FALSE(ProbeBytes<TPCXGraphic>(Bytes(Pcx({}, {}))));  // exactly the header
  EXPECT_FALSE(ProbeBytes<TPCXGraphic>(Pcx({.Version = 4}, {1, 2})));

  // A foreign header leaves an empty picture and raises nothing; manufacturer 205 loads like 10.
  EXPECT_TRUE(LoadBytes<TPCXGraphic>(Pcx({.Manufacturer = 12}, {1, 2}))->Empty());
  Bytes packed{0xC2, 0};
  packed.resize(2 + 769);
  const auto picture = LoadBytes<TPCXGraphic>(Pcx({.Encoding = 1, .Manufacturer = 205}, packed));
  EXPECT_EQ(PixelColors(*picture), (Bytes{0, 0, 0, 0, 0, 0}));  // no trailing palette: halftone black
}

TEST(PCXPalettes, ComeFromTheHeaderTheTrailingBlockOrTheLayout) {
  // The header's colour map is the real samples'; here what they do not show. 16 colours as four 1-bit
  // planes: pixel 0 has bits 0 and 3 set (index 9), pixel 1 bit 1 (index 2).
  const Bytes planes{0x80, 0x40, 0x00, 0x80};
  const auto grayInfo =
      LoadBytes<TPCXGraphic>(Pcx({.Bits = 1, .Planes = 4, .BytesPerLine = 1, .PaletteInfo = 2}, planes));
  EXPECT_EQ(PixelColors(*grayInfo), (Bytes{153, 153, 153, 34, 34, 34}));
  // Version 3 takes the standard 16 colours whatever the file holds.
  const auto standard =
      LoadBytes<TPCXGraphic>(Pcx({.Version = 3, .Bits = 1, .Planes = 4, .BytesPerLine = 1}, planes));
  const auto& vga = StandardPalette16();
  EXPECT_EQ(PixelColors(*standard), (Bytes{vga[9].peRed, vga[9].peGreen, vga[9].peBlue, vga[2].peRed,
                                           vga[2].peGreen, vga[2].peBlue}));
  // Two colours are black and white whatever the colour map says.
  const auto mono = LoadBytes<TPCXGraphic>(Pcx({.Bits = 1, .BytesPerLine = 1}, {0x40}));
  EXPECT_EQ(PixelColors(*mono), (Bytes{0, 0, 0, 255, 255, 255}));

  // 256 colours without the trailing block's mark: a gray ramp for palette info 2.
  Bytes unmarked{3, 250};
  unmarked.resize(2 + 769);
  EXPECT_EQ(PixelColors(*LoadBytes<TPCXGraphic>(Pcx({.PaletteInfo = 2}, unmarked))),
            (Bytes{3, 3, 3, 250, 250, 250}));
}

TEST(PCXMends, ShortRowsOddLayoutsAndShortFilesAreHandledSafely) {
  // Rows shorter than the width needs are refused rather than read past.
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>(
                [] { LoadBytes<TPCXGraphic>(Pcx({.Width = 9, .BytesPerLine = 8}, Bytes(800))); }),
            "Cannot load image. Invalid or unexpected PCX or SCR image format.");
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([] {
              LoadBytes<TPCXGraphic>(Pcx({.Bits = 1, .Width = 17, .BytesPerLine = 2}, {1, 2, 3}));
            }),
            "Cannot load image. Invalid or unexpected PCX or SCR image format.");
  // Plane layouts no bitmap holds.
  for (const TPcxLayout layout : {TPcxLayout{.Bits = 8, .Planes = 2}, TPcxLayout{.Bits = 4, .Planes = 3},
                                  TPcxLayout{.Bits = 2, .Planes = 4}, TPcxLayout{.Bits = 16}})
    EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TPCXGraphic>(Pcx(layout, Bytes(900))); }),
              "Invalid color format in PCX file.");
  // A short stored true-colour file is refused before its bitmap is made.
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([] {
              LoadBytes<TPCXGraphic>(
                  Pcx({.Planes = 3, .Width = 2, .Height = 2, .BytesPerLine = 2}, {10, 20, 30, 40}));
            }),
            "Cannot load image. The PCX file ends before its picture does.");
  // Run-length data that end early leave black, and the picture says so.
  const auto shortPacked = LoadBytes<TPCXGraphic>(Pcx({.Encoding = 1, .Planes = 3}, {0xC5, 1}));
  EXPECT_TRUE(shortPacked->DataEndedEarly());
  EXPECT_EQ(PixelColors(*shortPacked), (Bytes{1, 1, 1, 1, 1, 0}));
  // A 256-colour file too short for a palette block has none: its bytes are all pixels.
  const auto noBlock = LoadBytes<TPCXGraphic>(Pcx({.PaletteInfo = 2}, Bytes{7, 9} + Bytes(766)));
  EXPECT_EQ(PixelColors(*noBlock), (Bytes{7, 7, 7, 9, 9, 9}));
  // A bytes-per-line far beyond what the width needs is a damaged header.
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>(
                [] { LoadBytes<TPCXGraphic>(Pcx({.Width = 9, .BytesPerLine = 26}, Bytes(800))); }),
            "Cannot load image. Invalid or unexpected PCX or SCR image format.");
  EXPECT_FALSE(LoadBytes<TPCXGraphic>(Pcx({.Width = 9, .BytesPerLine = 25}, Bytes(800)))->Empty());
  // A maximum more than one below its minimum; one below is a picture 0 pixels wide, which no bitmap
  // holds.
  Bytes inverted = Pcx({}, Bytes(800));
  inverted[4] = 5;
  EXPECT_THROW(LoadBytes<TPCXGraphic>(inverted), ERangeError);
  inverted[4] = 1;
  Poke(inverted, 8, Le(0, 2));
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TPCXGraphic>(inverted); }),
            "Cannot load image. Invalid or unexpected PCX or SCR image format.");
}

}  // namespace
