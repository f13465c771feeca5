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

  // No image before the trailer: an empty 8-bit picture.
  const auto empty =
      LoadBytes<TGIFGraphic>(Screen(3, 2, kFourColors) + extensions + Bytes{0x3B} + Bytes(20, 0));
  EXPECT_TRUE(empty->Empty());
  EXPECT_EQ(empty->PixelFormat(), pf8bit);
}

TEST(GIFLayouts, DamagedAndHostileFilesFailCleanlyOrShowIndexZero) {
  const Bytes pixels(40 * 30, 3);
  const Bytes good = Screen(40, 30, kFourColors) + Image(40, 30, pixels) + Bytes{0x3B};
  EXPECT_EQ(Indices(*LoadBytes<TGIFGraphic>(good)), pixels);
  // Image data cut short: what was decoded, then index 0 (never old memory).
  const Bytes cut(good.begin(), good.begin() + 40);
  const auto truncated = LoadBytes<TGIFGraphic>(cut);
  EXPECT_EQ(truncated->Height(), 30);
  EXPECT_EQ(Indices(*truncated).back(), 0);
  // A file ending inside its header or extensions, a foreign signature, a bad version.
  EXPECT_THROW(LoadBytes<TGIFGraphic>(Bytes(good.begin(), good.begin() + 20)), EReadError);
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] {
              LoadBytes<TGIFGraphic>(Bytes{'P', 'N', 'G'} + Bytes(good.begin() + 3, good.end()));
            }),
            "Cannot load image. Invalid or unexpected GIF image format.");
  Bytes badVersion = good;
  badVersion[4] = 'z';
  EXPECT_THROW(LoadBytes<TGIFGraphic>(badVersion), EConvertError);
  // A minimum code size beyond 8, and a picture larger than the decoder can count.
  Bytes wide = good;
  wide[13 + kFourColors.size() + 10] = 9;
  EXPECT_THROW(LoadBytes<TGIFGraphic>(wide), ERangeError);
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] {
              LoadBytes<TGIFGraphic>(Screen(65535, 65535) + Image(65535, 65535, {1, 2}));
            }),
            "Cannot load image. Invalid or unexpected GIF image format.");
}

TEST(GIFHeader, ProbeNeedsMoreThan22BytesAndTheSignature) {
  const Bytes file = Screen(3, 2, kFourColors, "gIf89a");
  EXPECT_TRUE(ProbeBytes<TGIFGraphic>(Bytes(file.begin(), file.begin() + 23)));
  EXPECT_FALSE(ProbeBytes<TGIFGraphic>(Bytes(file.begin(), file.begin() + 22)));
  EXPECT_FALSE(ProbeBytes<TGIFGraphic>(Bytes{'G', 'I', 'X'} + Bytes(30, 0)));
}

}  // namespace
