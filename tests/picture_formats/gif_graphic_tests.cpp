#include "picture_formats/gif_graphic.h"

#include <gtest/gtest.h>

#include "picture_formats/decoder.h"
#include "tests/picture_formats/lzw_test_support.h"
#include "tests/picture_formats/reader_test_support.h"

namespace {

// Header and logical screen descriptor; `table` (a whole number of triples) is the global colour table.
Bytes Screen(uint16_t width, uint16_t height, const Bytes& table = {},
             const std::string& signature = "GIF89a") {
  Bytes file(signature.begin(), signature.end());
  uint8_t flags = 0;
  if (!table.empty()) {
    while ((6u << flags) < table.size()) ++flags;
    flags |= 0x80;
  }
  return file + Le(width, 2) + Le(height, 2) + Bytes{flags, 0, 0} + table;
}

// An image descriptor without a local table, and its data: `indices` LZW-coded with minimum code size
// 2, in sub-blocks.
Bytes Image(uint16_t width, uint16_t height, const Bytes& indices) {
  const Bytes packed = TLZWTestEncoder(TLZWTestDialect::GIF, 2, TLZWFull::Clear).Encode(indices);
  Bytes image = Bytes{0x2C} + Le(0, 4) + Le(width, 2) + Le(height, 2) + Bytes{0, 2};
  for (size_t at = 0; at < packed.size(); at += 255) {
    const size_t size = std::min<size_t>(255, packed.size() - at);
    image.push_back(uint8_t(size));
    image.insert(image.end(), packed.begin() + long(at), packed.begin() + long(at + size));
  }
  return image + Bytes{0};
}

const Bytes kFourColors{0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
const std::string kInvalidGIF = "Cannot load image. Invalid or unexpected GIF image format.";

// Palette indices of an 8-bit picture, rows top first.
Bytes Indices(const TBitmap& picture) {
  return StoredRows(picture, size_t(picture.Width()));
}

TEST(GIFFiles, FirstImagesMatchNetpbm) {
  ExpectSamplesMatchReferences<TGIFGraphic>("gif", {{"p87.gif", "p87.ppm", pf8bit},
                                                    {"interlaced.gif", "p87.ppm", pf8bit},
                                                    {"nolzw.gif", "p87.ppm", pf8bit},
                                                    {"four.gif", "four.ppm", pf8bit},
                                                    {"local.gif", "four.ppm", pf8bit},
                                                    {"noclear.gif", "noclear.ppm", pf8bit},
                                                    {"m89.gif", "m89.ppm", pf8bit},
                                                    {"offset.gif", "offset.ppm", pf8bit}});
}

TEST(GIFLayouts, ScreenSizesAndExtensions) {
  // A width of 0 in the image descriptor takes the screen's; every extension kind is passed over, and
  // bytes between blocks too; "gif" in lower case is a signature.
  const Bytes extensions = Bytes{0x21, 0x01, 12} + Bytes(12, 1) + Bytes{3, 1, 2, 3, 0} +    // plain text
                           Bytes{0x21, 0xF9, 4, 1, 0, 0, 2, 0} +                            // graphic control
                           Bytes{0x21, 0xFE, 2, 'h', 'i', 0} +                              // comment
                           Bytes{0x21, 0xFF, 11} + Bytes(11, 'N') + Bytes{3, 1, 0, 0, 0} +  // application
                           Bytes{0x21, 0x77} + Bytes{0x00, 0x99};                           // unknown, strays
  const Bytes pixels{1, 2, 3, 0, 1, 2};
  Bytes file = Screen(3, 2, kFourColors, "gif87a") + extensions + Image(0, 2, pixels) + Bytes{0x3B};
  const auto picture = LoadBytes<TGIFGraphic>(file);
  EXPECT_EQ(picture->Width(), 3);
  EXPECT_EQ(Indices(*picture), pixels);
  EXPECT_EQ(PixelColors(*picture), (Bytes{255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0}));

  // No image before the trailer: no pixels at all, no picture.
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] {
              LoadBytes<TGIFGraphic>(Screen(3, 2, kFourColors) + extensions + Bytes{0x3B} + Bytes(20, 0));
            }),
            kInvalidGIF);

  // An extension of a label no GIF version knows is passed over by its sub-blocks, whatever they hold;
  // so is one whose label is an image separator.
  const Bytes unknown =
      Bytes{0x21, 0x42, 3, 0x2C, 0x3B, 0x2C, 2, 0x21, 0x2C, 0} + Bytes{0x21, 0x2C, 1, 0x3B, 0};
  const auto skipped = LoadBytes<TGIFGraphic>(Screen(3, 2, kFourColors) + unknown + Image(3, 2, pixels));
  EXPECT_EQ(Indices(*skipped), pixels);
  EXPECT_FALSE(skipped->DataEndedEarly());
}

TEST(GIFLayouts, DamagedAndHostileFilesFailCleanlyOrShowIndexZero) {
  // Noise, so that the packed data grow with the picture.
  Bytes pixels(40 * 30);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t((i * 7 + i / 13) % 4);
  const Bytes good = Screen(40, 30, kFourColors) + Image(40, 30, pixels) + Bytes{0x3B};
  const auto whole = LoadBytes<TGIFGraphic>(good);
  EXPECT_EQ(Indices(*whole), pixels);
  EXPECT_FALSE(whole->DataEndedEarly());
  // Without its trailer, or with bytes after it, the picture is whole all the same.
  EXPECT_FALSE(LoadBytes<TGIFGraphic>(Bytes(good.begin(), good.end() - 1))->DataEndedEarly());
  EXPECT_FALSE(LoadBytes<TGIFGraphic>(good + Bytes(100, 0x55))->DataEndedEarly());
  // Image data cut short: what was decoded, then index 0 (never old memory), and the picture says so.
  const Bytes cut(good.begin(), good.begin() + long(good.size() / 2));
  const auto truncated = LoadBytes<TGIFGraphic>(cut);
  EXPECT_EQ(truncated->Height(), 30);
  EXPECT_TRUE(truncated->DataEndedEarly());
  EXPECT_EQ(Indices(*truncated).back(), 0);
  const Bytes decoded = Indices(*truncated);
  EXPECT_EQ(Bytes(decoded.begin(), decoded.begin() + 100), Bytes(pixels.begin(), pixels.begin() + 100));
  // Cut anywhere before its first data byte, or ending inside its header or extensions, a file has no
  // pixels at all; so has a foreign signature, a bad version (never shown as the bytes it holds), or a
  // minimum code size beyond 8.
  const size_t firstData = 13 + kFourColors.size() + 10 + 2;
  for (size_t size : {size_t(0), size_t(5), size_t(12), size_t(20), firstData - 1, firstData})
    EXPECT_EQ(RaisedMessage<EInvalidGraphic>(
                  [&] { LoadBytes<TGIFGraphic>(Bytes(good.begin(), good.begin() + long(size))); }),
              kInvalidGIF)
        << size;
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] {
              LoadBytes<TGIFGraphic>(Bytes{'P', 'N', 'G'} + Bytes(good.begin() + 3, good.end()));
            }),
            kInvalidGIF);
  Bytes badVersion = good;
  badVersion[4] = 0x01;
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TGIFGraphic>(badVersion); }), kInvalidGIF);
  Bytes wide = good;
  wide[13 + kFourColors.size() + 10] = 9;
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TGIFGraphic>(wide); }), kInvalidGIF);
}

TEST(GIFLayouts, AHeaderPromisingMoreThanItsDataCanHoldIsRefusedBeforeAnyRoomIsMade) {
  // 65535 x 65535 is more than the decoder can count; 40000 x 40000 (1.6 GB) is more than a few
  // hundred bytes of LZW data can unpack to (at most 2731 bytes per byte). Neither picture is sized.
  for (const uint16_t side : {uint16_t(65535), uint16_t(40000)}) {
    const Bytes file = Screen(side, side, kFourColors) + Image(side, side, Bytes(1500, 1)) + Bytes{0x3B};
    ASSERT_LT(file.size(), 900u);
    TMemoryStream stream;
    stream.WriteBuffer(file);
    stream.SetPosition(0);
    TGIFGraphic picture;
    EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { picture.LoadFromStream(stream); }), kInvalidGIF);
    EXPECT_TRUE(picture.Empty());
    ExpectRefusedCheaply<TGIFGraphic>(file, kInvalidGIF);
  }
  // The bound leaves real pictures alone: 512 x 512 of one index in a kilobyte or so.
  const Bytes flat = Screen(512, 512, kFourColors) + Image(512, 512, Bytes(512 * 512, 2));
  EXPECT_LT(flat.size(), 2000u);
  const auto picture = LoadBytes<TGIFGraphic>(flat);
  EXPECT_EQ(Indices(*picture), Bytes(512 * 512, 2));
  EXPECT_FALSE(picture->DataEndedEarly());
}

TEST(GIFFiles, DamagedAndUnusualFiles) {
  // An extension of an unknown label with separator and trailer bytes in its blocks, and a file
  // without its trailer: both the whole picture as ImageMagick reads it.
  ExpectSamplesMatchReferences<TGIFGraphic>(
      "gif", {{"extension.gif", "p87.ppm", pf8bit}, {"notrailer.gif", "p87.ppm", pf8bit}});
  EXPECT_FALSE(LoadBytes<TGIFGraphic>(Sample("gif/notrailer.gif"))->DataEndedEarly());
  // Cut in its image data: flagged; no image at all: refused.
  EXPECT_TRUE(LoadBytes<TGIFGraphic>(Sample("gif/cut.gif"))->DataEndedEarly());
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([] { LoadBytes<TGIFGraphic>(Sample("gif/noimage.gif")); }),
            kInvalidGIF);
}

TEST(GIFHeader, ProbeNeedsMoreThan22BytesAndTheSignature) {
  const Bytes file = Screen(3, 2, kFourColors, "gIf89a");
  EXPECT_TRUE(ProbeBytes<TGIFGraphic>(Bytes(file.begin(), file.begin() + 23)));
  EXPECT_FALSE(ProbeBytes<TGIFGraphic>(Bytes(file.begin(), file.begin() + 22)));
  EXPECT_FALSE(ProbeBytes<TGIFGraphic>(Bytes{'G', 'I', 'X'} + Bytes(30, 0)));
}

}  // namespace
