#include "picture_formats/targa_graphic.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "picture_formats/decoder.h"
#include "tests/support/test_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::unique_ptr<TTargaGraphic> LoadBytes(const Bytes& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  auto picture = std::make_unique<TTargaGraphic>();
  picture->LoadFromStream(stream);
  return picture;
}

std::unique_ptr<TTargaGraphic> LoadSample(const std::string& name) {
  return LoadBytes(ReadWholeFile(TestData("targa/" + name)));
}

// The picture's pixels top row first: R G B (A for 32-bit) from true-colour rows or the palette.
Bytes Colors(const TBitmap& picture) {
  Bytes colors;
  for (int y = 0; y < picture.Height(); ++y) {
    const uint8_t* row = picture.ScanLine(y);
    for (int x = 0; x < picture.Width(); ++x) {
      switch (picture.PixelFormat()) {
        case pf8bit: {
          const TPaletteEntry& entry = picture.ColorTable()[row[x]];
          colors.insert(colors.end(), {entry.peRed, entry.peGreen, entry.peBlue});
          break;
        }
        case pf24bit:
          colors.insert(colors.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
          break;
        case pf32bit:
          colors.insert(colors.end(), {row[4 * x + 2], row[4 * x + 1], row[4 * x], row[4 * x + 3]});
          break;
        default:
          ADD_FAILURE() << "unexpected pixel format";
          return colors;
      }
    }
  }
  return colors;
}

// The stored bytes of each row, top row first, without padding.
Bytes RowBytes(const TBitmap& picture, size_t bytesPerPixel) {
  Bytes bytes;
  for (int y = 0; y < picture.Height(); ++y)
    bytes.insert(bytes.end(), picture.ScanLine(y), picture.ScanLine(y) + picture.Width() * bytesPerPixel);
  return bytes;
}

// An 18-byte header followed by `rest`.
Bytes Targa(uint8_t imageType, uint8_t pixelSize, uint16_t width, uint16_t height, uint8_t descriptor,
            const Bytes& rest, uint8_t mapType = 0, uint16_t mapLength = 0, uint8_t mapEntrySize = 0,
            uint8_t idLength = 0) {
  Bytes file{idLength,
             mapType,
             imageType,
             0,
             0,
             static_cast<uint8_t>(mapLength),
             static_cast<uint8_t>(mapLength >> 8),
             mapEntrySize,
             0,
             0,
             0,
             0,
             static_cast<uint8_t>(width),
             static_cast<uint8_t>(width >> 8),
             static_cast<uint8_t>(height),
             static_cast<uint8_t>(height >> 8),
             pixelSize,
             descriptor};
  file.reserve(file.size() + rest.size());
  file.insert(file.end(), rest.begin(), rest.end());
  return file;
}

// ---- Files made by ImageMagick ----

TEST(TargaFiles, TrueColourRawAndRunLengthBothOrigins) {
  const Bytes reference = ReadWholeFile(TestData("targa/rgb24.rgb"));
  for (const char* name : {"rgb24.tga", "rgb24_rle.tga", "rgb24_top_rle.tga"}) {
    const auto picture = LoadSample(name);
    ASSERT_EQ(picture->PixelFormat(), pf24bit) << name;
    EXPECT_EQ(picture->Width(), 37);
    EXPECT_EQ(picture->Height(), 23);
    EXPECT_EQ(Colors(*picture), reference) << name;
  }
}

TEST(TargaFiles, ThirtyTwoBitWithAlpha) {
  const auto picture = LoadSample("rgba32_rle.tga");
  ASSERT_EQ(picture->PixelFormat(), pf32bit);
  EXPECT_EQ(Colors(*picture), ReadWholeFile(TestData("targa/rgba32.rgba")));
  EXPECT_EQ(picture->ImageProperties().ColorScheme, scRGBA);
}

TEST(TargaFiles, GrayPicturesGetAnAscendingGrayPalette) {
  const Bytes reference = ReadWholeFile(TestData("targa/gray.gray"));
  for (const char* name : {"gray.tga", "gray_rle.tga"}) {
    const auto picture = LoadSample(name);
    ASSERT_EQ(picture->PixelFormat(), pf8bit) << name;
    const auto table = picture->ColorTable();
    ASSERT_EQ(table.size(), 256u);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(table[i], (TPaletteEntry{uint8_t(i), uint8_t(i), uint8_t(i), 0}));
    EXPECT_EQ(RowBytes(*picture, 1), reference) << name;
  }
}

TEST(TargaFiles, ColourMappedPicturesTakeTheirMap) {
  const Bytes reference = ReadWholeFile(TestData("targa/mapped.rgb"));
  for (const char* name : {"mapped.tga", "mapped_rle.tga"}) {
    const auto picture = LoadSample(name);
    ASSERT_EQ(picture->PixelFormat(), pf8bit) << name;
    EXPECT_EQ(Colors(*picture), reference) << name;
    EXPECT_EQ(picture->ImageProperties().Compression,
              std::string(name) == "mapped.tga" ? ctNone : ctRunLength);
  }
}

// ---- Made-up files ----

TEST(TargaLayouts, FifteenAndSixteenBitPixelsAreCopiedUnchanged) {
  const Bytes pixels{0x1F, 0x00, 0xE0, 0x83, 0x00, 0x7C, 0xFF, 0x7F};
  for (uint8_t depth : {15, 16}) {
    const auto picture = LoadBytes(Targa(2, depth, 2, 2, 0x20, pixels));
    ASSERT_EQ(picture->PixelFormat(), pf15bit);
    EXPECT_EQ(RowBytes(*picture, 2), pixels);
    const auto& properties = picture->ImageProperties();
    EXPECT_EQ(properties.BitsPerSample, 5);
    EXPECT_EQ(properties.SamplesPerPixel, 3);
    EXPECT_EQ(properties.BitsPerPixel, 15);
  }
}

TEST(TargaLayouts, SixteenBitColourMapAndPixelsRightAfterIt) {
  // Three map entries (6 bytes), an image ID of 2 bytes before them.
  const Bytes rest{'i', 'd', 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 1, 2, 2};
  const auto picture = LoadBytes(Targa(1, 8, 2, 2, 0x20, rest, 1, 3, 16, 2));
  ASSERT_EQ(picture->PixelFormat(), pf8bit);
  EXPECT_EQ(picture->ColorTable()[0], (TPaletteEntry{248, 0, 0, 0}));
  EXPECT_EQ(picture->ColorTable()[1], (TPaletteEntry{0, 248, 0, 0}));
  EXPECT_EQ(picture->ColorTable()[2], (TPaletteEntry{0, 0, 248, 0}));
  EXPECT_EQ(RowBytes(*picture, 1), (Bytes{0, 1, 2, 2}));
}

TEST(TargaLayouts, ThirtyTwoBitColourMapSkipsItsFourthByte) {
  const Bytes rest{10, 20, 30, 99, 40, 50, 60, 99, 1, 0};
  const auto picture = LoadBytes(Targa(1, 8, 2, 1, 0x20, rest, 1, 2, 32));
  EXPECT_EQ(Colors(*picture), (Bytes{60, 50, 40, 30, 20, 10}));
}

TEST(TargaLayouts, AColourMapOfAGrayPictureIsPassedOver) {
  const Bytes rest{1, 2, 3, 4, 5, 6, 7, 8, 9, 200, 100};
  const auto picture = LoadBytes(Targa(3, 8, 2, 1, 0x20, rest, 1, 3, 24));
  EXPECT_EQ(RowBytes(*picture, 1), (Bytes{200, 100}));
  EXPECT_EQ(picture->ColorTable()[200], (TPaletteEntry{200, 200, 200, 0}));
}

TEST(TargaLayouts, RunLengthPacketsMayCrossRowsAndTheStreamStopsAfterThem) {
  // 3 x 3, bottom row first: a run of 5 fills the bottom row and two pixels of the middle one, a raw
  // packet of 4 crosses into the top row; the last two bytes belong to something else.
  const Bytes rest{0x84, 7, 0x03, 1, 2, 3, 4, 0xEE, 0xEE};
  TMemoryStream stream;
  const Bytes file = Targa(11, 8, 3, 3, 0x00, rest);
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(0);
  TTargaGraphic picture;
  picture.LoadFromStream(stream);
  EXPECT_EQ(RowBytes(picture, 1), (Bytes{2, 3, 4, 7, 7, 1, 7, 7, 7}));
  EXPECT_EQ(stream.Position(), static_cast<int64_t>(file.size() - 2));
}

TEST(TargaLayouts, ImageTypeZeroHasASizeAndNoPixels) {
  const auto picture = LoadBytes(Targa(0, 24, 3, 2, 0, {}));
  EXPECT_EQ(picture->Width(), 3);
  EXPECT_EQ(Colors(*picture), Bytes(18, 0));
}

TEST(TargaLayouts, ShortDataRaise) {
  EXPECT_THROW(LoadBytes(Targa(2, 24, 2, 2, 0, Bytes(11))), EReadError);
  EXPECT_THROW(LoadBytes(Targa(10, 24, 2, 2, 0, {0x83, 1, 2})), EGraphicCompression);
  EXPECT_THROW(LoadBytes(Bytes{0, 0, 2, 0}), EReadError);
}

// ---- Probe and header ----

TEST(TargaHeader, ProbeChecksTheIdentifyingFieldsAndRestoresThePosition) {
  TMemoryStream stream;
  const Bytes good = Targa(10, 24, 1, 1, 0, {0x80, 1, 2, 3}, 0, 0, 24);
  stream.WriteBuffer(good.data(), static_cast<int64_t>(good.size()));
  stream.SetPosition(0);
  EXPECT_TRUE(TTargaGraphic::CanLoad(stream));
  EXPECT_EQ(stream.Position(), 0);

  auto probe = [](const Bytes& bytes) {
    TMemoryStream s;
    s.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    s.SetPosition(0);
    return TTargaGraphic::CanLoad(s);
  };
  EXPECT_FALSE(probe(Targa(10, 24, 1, 1, 0, {0x80, 1, 2, 3}, 0, 0, 0)));  // map entry size 0
  EXPECT_FALSE(probe(Targa(4, 24, 1, 1, 0, {1, 2, 3}, 0, 0, 24)));
  EXPECT_FALSE(probe(Targa(2, 24, 1, 1, 0, {1, 2, 3}, 2, 0, 24)));
  EXPECT_FALSE(probe(Targa(2, 12, 1, 1, 0, {1, 2, 3}, 0, 0, 24)));
  EXPECT_FALSE(probe(Targa(2, 24, 1, 1, 0, {}, 0, 0, 24)));           // nothing after the header
  EXPECT_FALSE(TTargaGraphic::CanLoad(TestData("targa/rgb24.tga")));  // ImageMagick writes entry size 0
}

TEST(TargaHeader, PropertiesFollowThePixelSize) {
  TTargaGraphic picture;
  TMemoryStream stream;
  const Bytes file = Targa(11, 8, 5, 4, 0, {});
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(0);
  EXPECT_TRUE(picture.ReadImageProperties(stream, 0));
  const auto& p = picture.ImageProperties();
  EXPECT_EQ(p.ColorScheme, scGray);
  EXPECT_EQ(p.Width, 5u);
  EXPECT_EQ(p.Height, 4u);
  EXPECT_EQ(p.Compression, ctRunLength);
  EXPECT_EQ(p.FileGamma, 1.0f);
}

// ---- Writing ----

Bytes Saved(TTargaGraphic& picture, bool compressed = true) {
  TMemoryStream stream;
  if (compressed)
    picture.SaveToStream(stream);
  else
    picture.WriteTargaStream(stream, false);
  return {stream.Bytes().begin(), stream.Bytes().end()};
}

void Fill(TBitmap& picture, TPixelFormat format, int width, int height) {
  picture.SetPixelFormat(format);
  picture.SetSize(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < picture.RowStride(); ++x)
      picture.ScanLine(y)[x] = static_cast<uint8_t>(x / 5 + 7 * y);
}

TEST(TargaWriter, TwentyFourBitHeaderAndPackedRows) {
  TTargaGraphic picture;
  Fill(picture, pf24bit, 5, 3);
  const Bytes file = Saved(picture);
  ASSERT_GE(file.size(), 18u);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 18),
            (Bytes{0, 0, 10, 0, 0, 0x00, 0x01, 24, 0, 0, 0, 0, 5, 0, 3, 0, 24, 0x20}));
  const auto loaded = LoadBytes(file);
  EXPECT_EQ(RowBytes(*loaded, 3), RowBytes(picture, 3));
}

TEST(TargaWriter, EveryDepthRoundTripsRawAndPacked) {
  for (TPixelFormat format : {pf8bit, pf15bit, pf24bit, pf32bit}) {
    for (bool compressed : {true, false}) {
      TTargaGraphic picture;
      Fill(picture, format, 131, 4);
      const size_t bytesPerPixel = format == pf8bit ? 1 : format == pf15bit ? 2 : format == pf24bit ? 3 : 4;
      const Bytes file = Saved(picture, compressed);
      EXPECT_EQ(file[2], (format == pf8bit ? 1 : 2) + (compressed ? 8 : 0));
      const auto loaded = LoadBytes(file);
      ASSERT_EQ(loaded->PixelFormat(), format);
      EXPECT_EQ(RowBytes(*loaded, bytesPerPixel), RowBytes(picture, bytesPerPixel)) << int(format);
      if (format == pf8bit) {
        EXPECT_EQ(Colors(*loaded), Colors(picture));
      }
    }
  }
}

TEST(TargaWriter, SmallerFormatsAreWidenedFirst) {
  TTargaGraphic bits;
  bits.SetPixelFormat(pf1bit);
  bits.SetSize(9, 2);
  bits.ScanLine(0)[0] = 0xA5;
  const auto fromBits = LoadBytes(Saved(bits));
  EXPECT_EQ(fromBits->PixelFormat(), pf8bit);
  EXPECT_EQ(Colors(*fromBits), Colors(bits));

  // 5-6-5 pixels: what comes back is the picture's own 5-5-5 conversion.
  TTargaGraphic wide;
  Fill(wide, pf16bit, 6, 2);
  TBitmap expected;
  expected.Assign(wide);
  expected.SetPixelFormat(pf15bit);
  const Bytes file = Saved(wide);
  EXPECT_EQ(file[16], 16);
  EXPECT_EQ(RowBytes(*LoadBytes(file), 2), RowBytes(expected, 2));
}

TEST(TargaWriter, EmptyPicturesWriteNothingAndHugeOnesRaise) {
  TTargaGraphic empty;
  EXPECT_TRUE(Saved(empty).empty());
  TTargaGraphic huge;
  huge.SetPixelFormat(pf8bit);
  huge.SetSize(65536, 1);
  EXPECT_THROW(Saved(huge), ERangeError);
}

}  // namespace
