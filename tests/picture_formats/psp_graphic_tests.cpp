#include "picture_formats/psp_graphic.h"

#include <gtest/gtest.h>

#include <cstring>

#include "picture_formats/decoder.h"
#include "tests/picture_formats/reader_test_support.h"
#include "tests/support/peak_memory.h"

namespace {

// Pieces of a major-version-5 file, little-endian.
Bytes Block(uint16_t id, const Bytes& body) {
  return Bytes{'~', 'B', 'K', 0} + Le(id, 2) + Le(static_cast<uint32_t>(body.size()), 4) + body;
}

Bytes Chunk(const Bytes& fields) {
  return Le(static_cast<uint32_t>(fields.size() + 4), 4) + fields;
}

Bytes Psp(uint32_t width, uint32_t height, uint16_t compression, uint16_t depth, const Bytes& blocks,
          const char* signature = "Paint Shop Pro Image File\n\x1a", uint16_t version = 5) {
  Bytes file(32);
  std::memcpy(file.data(), signature, std::strlen(signature));
  Bytes attributes = Le(width, 4) + Le(height, 4) + Bytes(8) + Bytes{1} + Le(compression, 2) + Le(depth, 2);
  attributes.resize(42);
  return file + Le(version, 2) + Le(0, 2) + Block(0, Chunk(attributes)) + blocks;
}

Bytes Channel(uint16_t type, const Bytes& data, uint32_t unpacked) {
  return Block(
      5, Chunk(Le(static_cast<uint32_t>(data.size()), 4) + Le(unpacked, 4) + Le(0, 2) + Le(type, 2)) + data);
}

Bytes LayerBank(const std::vector<Bytes>& channels, uint8_t layerType = 1) {
  Bytes attributes(115);
  attributes[0] = layerType;
  Bytes layer =
      Chunk(Le(0, 2) + attributes) + Chunk(Le(1, 2) + Le(static_cast<uint32_t>(channels.size()), 2));
  for (const Bytes& channel : channels) layer += channel;
  return Block(3, Block(4, layer));
}

Bytes Palette(uint32_t count, const Bytes& entries) {
  return Block(2, Chunk(Le(count, 4)) + entries);
}

// Files written by a script from the format's published description (tests/data/psp/make.sh).
TEST(PSPFiles, EveryLayoutMatchesItsReference) {
  const TReaderSample samples[] = {
      {"rgb_rle_v5.psp", "source.rgb", pf24bit},    {"rgb_lz77_v3.psp", "source.rgb", pf24bit},
      {"rgba_raw_v4.psp", "alpha.rgba", pf32bit},   {"index8_lz77_v5.psp", "many.rgb", pf8bit},
      {"index4_rle_v3.psp", "sixteen.rgb", pf4bit}, {"index4_even_v5.psp", "sixteen36.rgb", pf4bit},
      {"mono_rle_v5.psp", "two.rgb", pf1bit},       {"gray_raw_v4.psp", "gray.rgb", pf8bit},
      {"gray_nopalette_v5.psp", "gray.rgb", pf8bit}};
  ExpectSamplesMatchReferences<TPSPGraphic>("psp", samples);
}

TEST(PSPHeader, ProbeAndHeaderReaderTestSignatureAndVersion) {
  const Bytes file = Psp(1, 1, 0, 8, LayerBank({Channel(0, {9}, 1)}));
  EXPECT_TRUE(ProbeBytes<TPSPGraphic>(file));
  EXPECT_FALSE(ProbeBytes<TPSPGraphic>(Bytes(file.begin(), file.begin() + 36)));
  // The signature is compared without regard to case.
  const Bytes lower = Psp(1, 1, 0, 8, LayerBank({Channel(0, {9}, 1)}), "paint shop pro image file");
  EXPECT_TRUE(ProbeBytes<TPSPGraphic>(lower));
  EXPECT_EQ(LoadBytes<TPSPGraphic>(lower)->ScanLine(0)[0], 9);
  const Bytes version2 = Psp(1, 1, 0, 8, {}, "Paint Shop Pro Image File", 2);
  EXPECT_FALSE(ProbeBytes<TPSPGraphic>(version2));
  // A picture 0 pixels wide is refused the same way.
  for (const Bytes& refused : {version2, Psp(0, 2, 0, 8, LayerBank({Channel(0, {}, 0)}))})
    EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TPSPGraphic>(refused); }),
              "Cannot load image. Invalid or unexpected PSP image format.");
  // Without a layer bank there is no picture: no black one stands in for it.
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([] { LoadBytes<TPSPGraphic>(Psp(2, 1, 0, 24, {})); }),
            "Cannot load image. Invalid or unexpected PSP image format.");
}

TEST(PSPMends, DamagedChannelsAndPalettesAreRefused) {
  const auto refused = [](const Bytes& file) {
    return RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TPSPGraphic>(file); });
  };
  const std::string invalid = "Invalid color format in PSP file.";
  const Bytes red = Channel(1, {1, 2}, 2), green = Channel(2, {3, 4}, 2), blue = Channel(3, {5, 6}, 2);
  EXPECT_EQ(PixelColors(*LoadBytes<TPSPGraphic>(Psp(2, 1, 0, 24, LayerBank({red, green, blue})))),
            (Bytes{1, 3, 5, 2, 4, 6}));
  // JPEG and unknown channel compressions, a stored channel longer than it unpacks, a missing colour.
  EXPECT_EQ(refused(Psp(2, 1, 3, 24, LayerBank({red, green, blue}))), invalid);
  EXPECT_EQ(refused(Psp(2, 1, 7, 24, LayerBank({red, green, blue}))), invalid);
  EXPECT_EQ(refused(Psp(2, 1, 0, 24, LayerBank({red, Channel(2, {3, 4, 9}, 2), blue}))), invalid);
  EXPECT_EQ(refused(Psp(2, 1, 0, 24, LayerBank({red, blue}))), invalid);
  EXPECT_EQ(refused(Psp(2, 1, 0, 8, LayerBank({red}))), invalid);
  // A layer without the channels its rows need is refused before the picture takes its size.
  const Bytes huge = Psp(20000, 20000, 0, 24, LayerBank({}));
  EXPECT_EQ(refused(huge), invalid);
  EXPECT_LT(PeakMemoryGrowthKiB([&] { refused(huge); }), kMostGrowthKiB);
  // Palettes of more than 256 entries, and depths without a row layout.
  EXPECT_EQ(refused(Psp(2, 1, 0, 8, Palette(257, Bytes(257 * 4)))), invalid);
  EXPECT_EQ(refused(Psp(2, 1, 0, 2, {})), invalid);

  // Channel types beyond blue are passed over whole; a stored channel too short for the rows is
  // refused before the bitmap is made.
  const std::string ended = "Cannot load image. The PSP file ends before its picture does.";
  EXPECT_EQ(
      refused(Psp(2, 2, 0, 24, LayerBank({Channel(7, {0x7E, 0x7E}, 2), red, green, Channel(3, {5}, 1)}))),
      ended);
  const auto passedOver =
      LoadBytes<TPSPGraphic>(Psp(2, 1, 0, 24, LayerBank({Channel(7, {0x7E, 0x7E}, 2), red, green, blue})));
  EXPECT_EQ(PixelColors(*passedOver), (Bytes{1, 3, 5, 2, 4, 6}));
  // Run-length channels that end before the rows do leave black, and the picture says so.
  const auto shortPacked = LoadBytes<TPSPGraphic>(Psp(2, 2, 1, 8, LayerBank({Channel(0, {0x83, 7}, 4)})));
  EXPECT_TRUE(shortPacked->DataEndedEarly());
  EXPECT_EQ(StoredRows(*shortPacked, 2), (Bytes{7, 7, 7, 0}));
  // A palette block after the layers still gives the palette.
  const auto lateLayer = LoadBytes<TPSPGraphic>(
      Psp(1, 1, 0, 8, LayerBank({Channel(0, {1}, 1)}) + Palette(2, {1, 2, 3, 0, 40, 50, 60, 0})));
  EXPECT_EQ(PixelColors(*lateLayer), (Bytes{60, 50, 40}));
  // Hidden layers are skipped: with no other, there is no picture.
  EXPECT_EQ(refused(Psp(2, 1, 0, 24, LayerBank({red, green, blue}, 3))),
            "Cannot load image. Invalid or unexpected PSP image format.");
  // A file cut short, and damaged run-length and deflated channels.
  const Bytes good = Sample("psp/rgb_rle_v5.psp");
  EXPECT_EQ(RefusalMessage<TPSPGraphic>(Bytes(good.begin(), good.begin() + 60)),
            "Stream read error in PSP file.");
  EXPECT_EQ(RefusalMessage<TPSPGraphic>(Bytes(good.begin(), good.end() - 1)), ended);
  EXPECT_THROW(LoadBytes<TPSPGraphic>(Psp(2, 1, 1, 8, LayerBank({Channel(0, {0x83, 7}, 2)}))),
               EGraphicCompression);
  EXPECT_THROW(LoadBytes<TPSPGraphic>(Psp(2, 1, 2, 8, LayerBank({Channel(0, {0x78, 0x9C, 1}, 2)}))),
               EGraphicCompression);
}

}  // namespace
