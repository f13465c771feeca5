#include "picture_formats/gif_graphic.h"

#include <gtest/gtest.h>

#include "picture_formats/decoder.h"
#include "tests/picture_formats/damage_test_support.h"
#include "tests/picture_formats/lzw_test_support.h"
#include "tests/picture_formats/pnm_reference.h"

namespace {

Bytes Word(uint16_t value) {
  return {uint8_t(value), uint8_t(value >> 8)};
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Header and logical screen descriptor; `table` (a whole number of triples) is the global colour table.
Bytes Screen(uint16_t width, uint16_t height, const Bytes& table = {},
             const std::string& signature = "GIF89a") {
  Bytes file(signature.begin(), signature.end());
  uint8_t flags = 0;
  if (!table.empty()) {
    while ((6u << flags) < table.size()) ++flags;
    flags |= 0x80;
  }
  return file + Word(width) + Word(height) + Bytes{flags, 0, 0} + table;
}

// An image descriptor with its data: `indices` LZW-coded with the minimum code size, in sub-blocks.
Bytes Image(uint16_t width, uint16_t height, const Bytes& indices, uint8_t flags = 0,
            int minimumCodeSize = 2) {
  const Bytes packed =
      TLZWTestEncoder(TLZWTestDialect::GIF, minimumCodeSize, TLZWFull::Clear).Encode(indices);
  Bytes image = Bytes{0x2C} + Word(0) + Word(0) + Word(width) + Word(height) + Bytes{flags};
  image.push_back(uint8_t(minimumCodeSize));
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
  Bytes indices;
  for (int y = 0; y < picture.Height(); ++y)
    indices.insert(indices.end(), picture.ScanLine(y), picture.ScanLine(y) + picture.Width());
  return indices;
}

TEST(GIFFiles, FirstImagesMatchNetpbm) {
  const struct {
    const char* File;
    const char* Reference;
  } samples[] = {{"p87", "p87"},    {"interlaced", "p87"},  {"nolzw", "p87"}, {"four", "four"},
                 {"local", "four"}, {"noclear", "noclear"}, {"m89", "m89"},   {"offset", "offset"}};
  for (const auto& sample : samples) {
    SCOPED_TRACE(sample.File);
    const auto picture =
        LoadBytes<TGIFGraphic>(ReadWholeFile(TestData(std::string("gif/") + sample.File + ".gif")));
    const TPNMReference reference = ReadPNMReference(std::string("gif/") + sample.Reference + ".ppm");
    ASSERT_EQ(picture->PixelFormat(), pf8bit);
    ASSERT_EQ(picture->Width(), reference.Width);
    ASSERT_EQ(picture->Height(), reference.Height);
    EXPECT_EQ(PixelColors(*picture), reference.Colors);
  }
}

TEST(GIFFiles, HeaderFactsOfTheFirstImage) {
  TGIFGraphic picture;
  const auto properties = [&](const char* name) {
    TMemoryStream stream;
    stream.WriteBuffer(ReadWholeFile(TestData(std::string("gif/") + name + ".gif")));
    stream.SetPosition(0);
    EXPECT_TRUE(picture.ReadImageProperties(stream, 0)) << name;
    return picture.ImageProperties();
  };
  EXPECT_EQ(properties("p87").Version, 87u);
  EXPECT_EQ(properties("p87").BitsPerSample, 7);  // a 128-entry global table
  EXPECT_EQ(properties("m89").Version, 89u);
  EXPECT_TRUE(properties("interlaced").Interlaced);
  EXPECT_EQ(properties("four").BitsPerPixel, 2);
  const TImageProperties local = properties("local");
  EXPECT_EQ(local.BitsPerSample, 3);
  EXPECT_EQ(local.GIFLocalColorTable, 1);
  EXPECT_EQ(local.Compression, ctLZW);
  EXPECT_EQ(properties("offset").Width, 31u);  // the image, not the logical screen
}

TEST(GIFLayouts, InterlacedRowsScreenSizesAndExtensions) {
  // Ten rows of one pixel whose index is its row in the data: the passes put them at rows
  // 0, 8, 4, 2, 6, 1, 3, 5, 7, 9.
  const Bytes table(3 * 16, 7);
  const auto interlaced = LoadBytes<TGIFGraphic>(
      Screen(1, 10, table) + Image(1, 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 0x40, 4) + Bytes{0x3B});
  EXPECT_EQ(Indices(*interlaced), (Bytes{0, 5, 3, 6, 2, 7, 4, 8, 1, 9}));

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

  // Every sample cut and changed at (nearly) every byte: a picture or a clean exception.
  std::vector<Bytes> samples;
  for (const char* name : {"four.gif", "local.gif", "m89.gif"})
    samples.push_back(ReadWholeFile(TestData(std::string("gif/") + name)));
  const auto [loaded, failed] = LoadDamagedVariants<EReadError, EInvalidGraphic, EConvertError, ERangeError>(
      samples, 3, [](const Bytes& bytes) { LoadBytes<TGIFGraphic>(bytes); });
  EXPECT_GT(loaded, 0);
  EXPECT_GT(failed, 0);
}

TEST(GIFHeader, ProbeNeedsMoreThan22BytesAndTheSignature) {
  const auto probe = [](const Bytes& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes);
    stream.SetPosition(0);
    const bool result = TGIFGraphic::CanLoad(stream);
    EXPECT_EQ(stream.Position(), 0);
    return result;
  };
  const Bytes file = Screen(3, 2, kFourColors, "gIf89a");
  EXPECT_TRUE(probe(Bytes(file.begin(), file.begin() + 23)));
  EXPECT_FALSE(probe(Bytes(file.begin(), file.begin() + 22)));
  EXPECT_FALSE(probe(Bytes{'G', 'I', 'X'} + Bytes(30, 0)));
}

}  // namespace
