#include "picture_formats/targa_graphic.h"

#include <gtest/gtest.h>

#include "picture_formats/decoder.h"
#include "tests/picture_formats/reader_test_support.h"

namespace {

// The stored bytes of each row, top row first, without padding.
Bytes RowBytes(const TBitmap& picture, size_t bytesPerPixel) {
  return StoredRows(picture, size_t(picture.Width()) * bytesPerPixel);
}

// An 18-byte header followed by `rest`.
Bytes Targa(uint8_t imageType, uint8_t pixelSize, uint16_t width, uint16_t height, uint8_t descriptor,
            const Bytes& rest, uint8_t mapType = 0, uint16_t mapLength = 0, uint8_t mapEntrySize = 0,
            uint8_t idLength = 0) {
  Bytes file{idLength, mapType, imageType, 0, 0, uint8_t(mapLength), uint8_t(mapLength >> 8), mapEntrySize};
  file.resize(12);
  file.insert(file.end(), {uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8)});
  file.insert(file.end(), {pixelSize, descriptor});
  file.insert(file.end(), rest.begin(), rest.end());
  return file;
}

// Files written by ImageMagick against its own decoding (tests/data/targa/make.sh).
TEST(TargaFiles, EveryLayoutMatchesItsReference) {
  ExpectSamplesMatchReferences<TTargaGraphic>("targa", {{"rgb24.tga", "rgb24.rgb", pf24bit},
                                                        {"rgb24_rle.tga", "rgb24.rgb", pf24bit},
                                                        {"rgb24_top_rle.tga", "rgb24.rgb", pf24bit},
                                                        {"rgba32_rle.tga", "rgba32.rgba", pf32bit},
                                                        {"gray.tga", "gray.gray", pf8bit},
                                                        {"gray_rle.tga", "gray.gray", pf8bit},
                                                        {"mapped.tga", "mapped.rgb", pf8bit},
                                                        {"mapped_rle.tga", "mapped.rgb", pf8bit},
                                                        // Gray with alpha, 16 bits a pixel: the alpha is
                                                        // dropped, as Pillow drops it.
                                                        {"gray_alpha.tga", "gray_alpha.gray", pf8bit},
                                                        {"gray_alpha_rle.tga", "gray_alpha.gray", pf8bit},
                                                        // A colour map starting at entry 100.
                                                        {"mapped_origin.tga", "mapped.rgb", pf8bit}});
}

TEST(TargaLayouts, SixteenBitPixelsAndColourMapsOfEverySize) {
  const Bytes pixels{0x1F, 0x00, 0xE0, 0x83, 0x00, 0x7C, 0xFF, 0x7F};
  for (uint8_t depth : {15, 16}) {
    const auto picture = LoadBytes<TTargaGraphic>(Targa(2, depth, 2, 2, 0x20, pixels));
    ASSERT_EQ(picture->PixelFormat(), pf15bit);
    EXPECT_EQ(RowBytes(*picture, 2), pixels) << "copied unchanged";
  }
  // Three 16-bit map entries after an image ID of 2 bytes; the pixels follow the map directly.
  const auto mapped16 = LoadBytes<TTargaGraphic>(
      Targa(1, 8, 2, 2, 0x20, {'i', 'd', 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 1, 2, 2}, 1, 3, 16, 2));
  EXPECT_EQ(PixelColors(*mapped16), (Bytes{248, 0, 0, 0, 248, 0, 0, 0, 248, 0, 0, 248}));
  // 32-bit entries skip their fourth byte.
  const auto mapped32 =
      LoadBytes<TTargaGraphic>(Targa(1, 8, 2, 1, 0x20, {10, 20, 30, 99, 40, 50, 60, 99, 1, 0}, 1, 2, 32));
  EXPECT_EQ(PixelColors(*mapped32), (Bytes{60, 50, 40, 30, 20, 10}));
  // The colour map of a gray picture is passed over.
  const auto gray =
      LoadBytes<TTargaGraphic>(Targa(3, 8, 2, 1, 0x20, {1, 2, 3, 4, 5, 6, 7, 8, 9, 200, 100}, 1, 3, 24));
  EXPECT_EQ(RowBytes(*gray, 1), (Bytes{200, 100}));
}

TEST(TargaLayouts, RunLengthPacketsMayCrossRowsAndTheStreamStopsAfterThem) {
  // 3 x 3, bottom row first: a run of 5 fills the bottom row and two pixels of the middle one, a raw
  // packet of 4 crosses into the top row; the last two bytes belong to something else.
  const Bytes file = Targa(11, 8, 3, 3, 0x00, {0x84, 7, 0x03, 1, 2, 3, 4, 0xEE, 0xEE});
  TMemoryStream stream;
  stream.WriteBuffer(file);
  stream.SetPosition(0);
  TTargaGraphic picture;
  picture.LoadFromStream(stream);
  EXPECT_EQ(RowBytes(picture, 1), (Bytes{2, 3, 4, 7, 7, 1, 7, 7, 7}));
  EXPECT_EQ(stream.Position(), static_cast<int64_t>(file.size() - 2));
  // Image type 0 has a size and no pixels, a picture 0 pixels wide none either: neither passes for a
  // picture. Huffman-coded colour maps (types 32 and 33) are not read.
  const auto refused = [](const Bytes& file) {
    return RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TTargaGraphic>(file); });
  };
  const std::string invalid = "Cannot load image. Invalid or unexpected Targa image format.";
  EXPECT_EQ(refused(Targa(0, 24, 3, 2, 0, {})), invalid);
  EXPECT_EQ(refused(Targa(2, 24, 0, 2, 0, Bytes(6))), invalid);
  EXPECT_EQ(refused(Targa(4, 24, 1, 1, 0, Bytes(6))), invalid);
  for (const uint8_t type : {32, 33})
    EXPECT_EQ(refused(Targa(type, 8, 1, 1, 0, Bytes(6))),
              "Cannot load image. The compression scheme is not supported for Targa files.");
}

TEST(TargaLayouts, DamagedFilesRaiseCleanly) {
  // Stored rows the file cannot hold are refused before the bitmap is made.
  EXPECT_EQ(
      RaisedMessage<EInvalidGraphic>([] { LoadBytes<TTargaGraphic>(Targa(2, 24, 2, 2, 0, Bytes(11))); }),
      "Cannot load image. The Targa file ends before its picture does.");
  // Run-length packets that end early leave black, and the picture says so.
  const auto cut = LoadBytes<TTargaGraphic>(Targa(10, 24, 2, 2, 0x20, {0x83, 1, 2}));
  EXPECT_TRUE(cut->DataEndedEarly());
  EXPECT_EQ(PixelColors(*cut), Bytes(12, 0));
  const auto whole = LoadBytes<TTargaGraphic>(Targa(10, 24, 2, 2, 0x20, {0x83, 1, 2, 3}));
  EXPECT_FALSE(whole->DataEndedEarly());
  EXPECT_EQ(PixelColors(*whole), (Bytes{3, 2, 1, 3, 2, 1, 3, 2, 1, 3, 2, 1}));
}

TEST(TargaHeader, ProbeChecksTheIdentifyingFields) {
  EXPECT_TRUE(ProbeBytes<TTargaGraphic>(Targa(10, 24, 1, 1, 0, {0x80, 1, 2, 3}, 0, 0, 24)));
  EXPECT_FALSE(
      ProbeBytes<TTargaGraphic>(Targa(10, 24, 1, 1, 0, {0x80, 1, 2, 3}, 0, 0, 0)));  // map entry size 0
  EXPECT_FALSE(ProbeBytes<TTargaGraphic>(Targa(2, 24, 1, 1, 0, {}, 0, 0, 24)));  // nothing after the header
}

Bytes Saved(TTargaGraphic& picture, bool compressed = true) {
  TMemoryStream stream;
  picture.WriteTargaStream(stream, compressed);
  return {stream.Bytes().begin(), stream.Bytes().end()};
}

void Fill(TBitmap& picture, TPixelFormat format, int width, int height) {
  picture.SetPixelFormat(format);
  picture.SetSize(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < picture.RowStride(); ++x)
      picture.ScanLine(y)[x] = static_cast<uint8_t>(x / 5 + 7 * y);
}

TEST(TargaWriter, HeaderAndEveryDepthRoundTripRawAndPacked) {
  TTargaGraphic picture;
  Fill(picture, pf24bit, 5, 3);
  TMemoryStream stream;
  picture.SaveToStream(stream);
  EXPECT_EQ(Bytes(stream.Bytes().begin(), stream.Bytes().begin() + 18),
            (Bytes{0, 0, 10, 0, 0, 0x00, 0x01, 24, 0, 0, 0, 0, 5, 0, 3, 0, 24, 0x20}));
  for (TPixelFormat format : {pf8bit, pf15bit, pf24bit, pf32bit}) {
    for (bool compressed : {true, false}) {
      Fill(picture, format, 131, 4);
      const Bytes file = Saved(picture, compressed);
      EXPECT_EQ(file[2], (format == pf8bit ? 1 : 2) + (compressed ? 8 : 0));
      const auto loaded = LoadBytes<TTargaGraphic>(file);
      ASSERT_EQ(loaded->PixelFormat(), format);
      EXPECT_EQ(PixelColors(*loaded, true), PixelColors(picture, true)) << int(format);
    }
  }
}

TEST(TargaWriter, SixteenBitPicturesAreNarrowedEmptyOnesWriteNothingAndHugeOnesRaise) {
  // 5-6-5 pixels: what comes back is the picture's own 5-5-5 conversion.
  TTargaGraphic wide;
  Fill(wide, pf16bit, 6, 2);
  TBitmap expected;
  expected.Assign(wide);
  expected.SetPixelFormat(pf15bit);
  const Bytes file = Saved(wide);
  EXPECT_EQ(file[16], 16);
  EXPECT_EQ(RowBytes(*LoadBytes<TTargaGraphic>(file), 2), RowBytes(expected, 2));

  TTargaGraphic empty;
  EXPECT_TRUE(Saved(empty).empty());
  TTargaGraphic huge;
  huge.SetPixelFormat(pf8bit);
  huge.SetSize(65536, 1);
  EXPECT_THROW(Saved(huge), ERangeError);
}

}  // namespace
