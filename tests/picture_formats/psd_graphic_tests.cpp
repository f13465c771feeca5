#include "picture_formats/psd_graphic.h"

#include <gtest/gtest.h>

#include "picture_formats/color_types.h"
#include "picture_formats/decoder.h"
#include "tests/picture_formats/picture_test_support.h"
#include "tests/picture_formats/reader_test_support.h"
#include "tests/support/test_files.h"

namespace {

Bytes PsdData(const std::string& name) {
  return ReadWholeFile(TestData("psd/" + name));
}

// The stored bytes of each row, top row first, without padding.
Bytes RowBytes(const TBitmap& picture, size_t rowBytes) {
  Bytes bytes;
  for (int y = 0; y < picture.Height(); ++y)
    bytes.insert(bytes.end(), picture.ScanLine(y), picture.ScanLine(y) + rowBytes);
  return bytes;
}

void Put(Bytes& bytes, uint32_t value, int size) {
  for (int i = size - 1; i >= 0; --i) bytes.push_back(uint8_t(value >> (8 * i)));
}

// A file with the given colour-mode data and image data (compression value first); the image resources
// and layer sections are empty, or `layers` long.
Bytes Psd(uint16_t mode, uint16_t channels, uint16_t depth, uint32_t width, uint32_t height,
          const Bytes& colorData, const Bytes& imageData, uint32_t layers = 0,
          const char* signature = "8BPS") {
  Bytes file(signature, signature + 4);
  Put(file, 1, 2);
  file.resize(12);
  Put(file, channels, 2);
  Put(file, height, 4);
  Put(file, width, 4);
  Put(file, depth, 2);
  Put(file, mode, 2);
  Put(file, static_cast<uint32_t>(colorData.size()), 4);
  file.insert(file.end(), colorData.begin(), colorData.end());
  Put(file, 0, 4);
  Put(file, layers, 4);
  file.resize(file.size() + layers, 0xEE);
  file.insert(file.end(), imageData.begin(), imageData.end());
  return file;
}

// Files written by ImageMagick, and L*a*b* files by a script (tests/data/psd/make.sh).
TEST(PSDFiles, EveryModeMatchesItsReference) {
  const TReaderSample samples[] = {{"rgb_raw.psd", "source.rgb", pf24bit},
                                   {"rgb_rle.psd", "source.rgb", pf24bit},
                                   {"rgb16_rle.psd", "source16.rgb", pf24bit},
                                   {"rgba_rle.psd", "alpha.rgba", pf32bit},
                                   {"rgba16_raw.psd", "alpha16.rgba", pf32bit},
                                   {"gray_raw.psd", "gray.gray", pf8bit},
                                   {"gray16_raw.psd", "gray16.gray", pf8bit},
                                   {"gray16_rle.psd", "gray16.gray", pf8bit},
                                   {"grayalpha_rle.psd", "gray.gray", pf8bit},
                                   {"indexed_rle.psd", "sixteen.rgb", pf8bit},
                                   {"indexedalpha_raw.psd", "indexedalpha.rgb", pf8bit},
                                   {"bitmap_raw.psd", "two.gray", pf1bit},
                                   {"bitmap_rle.psd", "two.gray", pf1bit},
                                   {"cmyk_rle.psd", "cmyk.rgb", pf24bit},
                                   {"cmyk16_raw.psd", "cmyk16.rgb", pf24bit},
                                   {"cmykalpha_rle.psd", "cmykalpha.rgb", pf24bit},
                                   {"lab_alpha_rle.psd", "lab_alpha.rgb", pf24bit},
                                   {"lab16_raw.psd", "lab16.rgb", pf24bit}};
  ExpectSamplesMatchReferences<TPSDGraphic>("psd", samples);
}

TEST(PSDHeader, ProbeAndHeaderReaderTestSignatureAndVersion) {
  const Bytes rgb = Psd(3, 3, 8, 1, 1, {}, {0, 0, 10, 20, 30});
  EXPECT_TRUE(ProbeBytes<TPSDGraphic>(rgb));
  EXPECT_FALSE(ProbeBytes<TPSDGraphic>(Bytes(rgb.begin(), rgb.begin() + 26)));
  Bytes version2 = rgb;
  version2[5] = 2;
  EXPECT_FALSE(ProbeBytes<TPSDGraphic>(version2));
  const Bytes lower = Psd(3, 3, 8, 1, 1, {}, {0, 0, 10, 20, 30}, 0, "8bps");
  EXPECT_TRUE(ProbeBytes<TPSDGraphic>(lower));
  for (const Bytes& refused : {lower, version2})
    EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TPSDGraphic>(refused); }),
              "Cannot load image. Invalid or unexpected PSD or PDD image format.");

  // The sections before the image data are passed over; the header reader stops at the image data.
  const Bytes layered = Psd(3, 3, 8, 1, 1, {9, 9, 9}, {0, 0, 10, 20, 30}, 5);
  TMemoryStream stream;
  stream.WriteBuffer(layered);
  stream.SetPosition(0);
  TPSDGraphic picture;
  ASSERT_TRUE(picture.ReadImageProperties(stream, 0));
  EXPECT_EQ(stream.Position(), static_cast<int64_t>(layered.size() - 3));
  EXPECT_EQ(picture.ImageProperties().ColorScheme, scRGB);
  EXPECT_EQ(picture.ImageProperties().Compression, ctNone);
  EXPECT_EQ(PixelColors(*LoadBytes<TPSDGraphic>(layered)), (Bytes{10, 20, 30}));
}

TEST(PSDModes, ChannelCountsDepthsAndColorData) {
  // RGB with five channels: the fourth is alpha, the fifth is not read.
  const auto five = LoadBytes<TPSDGraphic>(Psd(3, 5, 8, 1, 1, {}, {0, 0, 1, 2, 3, 4}));
  ASSERT_EQ(five->PixelFormat(), pf32bit);
  EXPECT_EQ(PixelColors(*five, true), (Bytes{1, 2, 3, 4}));
  // CMYK stored bytes of 255 (no ink) are white.
  EXPECT_EQ(PixelColors(*LoadBytes<TPSDGraphic>(Psd(4, 4, 8, 1, 1, {}, {0, 0, 255, 255, 255, 255}))),
            (Bytes{255, 255, 255}));
  // Channel counts below the mode's, and depths the mode does not have, are refused.
  for (const Bytes& file : {Psd(3, 2, 8, 1, 1, {}, Bytes(4)), Psd(4, 3, 8, 1, 1, {}, Bytes(5)),
                            Psd(9, 2, 8, 1, 1, {}, Bytes(4)), Psd(3, 3, 1, 8, 1, {}, Bytes(5)),
                            Psd(2, 1, 16, 1, 1, Bytes(768), Bytes(4)), Psd(1, 1, 4, 2, 1, {}, Bytes(3))})
    EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TPSDGraphic>(file); }),
              "Invalid color format in PSD file.");
  // A colour mode without a scheme: a picture of the right size, nothing decoded.
  const auto unknown = LoadBytes<TPSDGraphic>(Psd(6, 3, 8, 2, 1, {}, {0, 0}));
  EXPECT_EQ(PixelColors(*unknown), Bytes(6, 0));

  // Indexed colour data longer than 768 bytes: the first 768 make the palette, the rest is passed over.
  Bytes table(800, 0);
  table[5] = 50;        // red of entry 5
  table[256 + 5] = 60;  // green
  table[512 + 5] = 70;  // blue
  EXPECT_EQ(PixelColors(*LoadBytes<TPSDGraphic>(Psd(2, 1, 8, 1, 1, table, {0, 0, 5}))), (Bytes{50, 60, 70}));
  // A duotone picture is gray; its colour data are passed over.
  EXPECT_EQ(PixelColors(*LoadBytes<TPSDGraphic>(Psd(8, 1, 8, 1, 1, {1, 2, 3, 4}, {0, 0, 77}))),
            (Bytes{77, 77, 77}));
  // Bitmap mode: white first, rows of (width + 7) / 8 bytes.
  const auto bitmap = LoadBytes<TPSDGraphic>(Psd(0, 1, 1, 9, 2, {}, {0, 0, 0x80, 0x80, 0x7F, 0x00}));
  ASSERT_EQ(bitmap->PixelFormat(), pf1bit);
  EXPECT_EQ(bitmap->ColorTable()[0], (TPaletteEntry{255, 255, 255, 0}));
  EXPECT_EQ(RowBytes(*bitmap, 2), (Bytes{0x80, 0x80, 0x7F, 0x00}));
}

TEST(PSDFiles, DamagedAndTruncatedFilesLoadOrRaiseCleanly) {
  // PackBits counts that reach past the packed data or cannot fill the picture, and a file cut inside
  // its image data.
  EXPECT_THROW(LoadBytes<TPSDGraphic>(Psd(1, 1, 8, 2, 1, {}, {0, 1, 0, 9, 1, 5})), EReadError);
  EXPECT_THROW(LoadBytes<TPSDGraphic>(Psd(1, 1, 8, 200, 1, {}, {0, 1, 0, 2, 0x81, 7})), EGraphicCompression);
  Bytes cut = PsdData("gray16_rle.psd");
  cut.resize(cut.size() - 1);
  EXPECT_THROW(LoadBytes<TPSDGraphic>(cut), EReadError);

  ExpectDamagedSamplesLoadOrRaise<TPSDGraphic>({PsdData("gray16_rle.psd"), PsdData("indexed_rle.psd"),
                                                PsdData("rgba_rle.psd"), PsdData("lab_alpha_rle.psd")},
                                               64, 17);
}

}  // namespace
