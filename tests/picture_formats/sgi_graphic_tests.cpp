#include "picture_formats/sgi_graphic.h"

#include <gtest/gtest.h>

#include "picture_formats/color_types.h"
#include "picture_formats/decoder.h"
#include "tests/picture_formats/reader_test_support.h"

namespace {

// The stored bytes of each 8-bit row, top row first.
Bytes RowBytes(const TBitmap& picture) {
  return StoredRows(picture, size_t(picture.Width()));
}

// A 512-byte header followed by `rest`.
Bytes Sgi(uint8_t storage, uint8_t bytesPerChannel, uint16_t width, uint16_t height, uint16_t channels,
          const Bytes& rest) {
  // Built in place: GCC 12 misreads an insertion after a fixed-size start in optimised builds.
  Bytes file(512 + rest.size());
  Poke(file, 512, rest);
  Poke(file, 0,
       Be(474, 2) + Bytes{storage, bytesPerChannel} + Be(3, 2) + Be(width, 2) + Be(height, 2) +
           Be(channels, 2));
  return file;
}

// A run-length file whose rows (file row y of channel c at rows[y + c x height]) are stored in order
// after the two tables.
Bytes SgiPacked(uint8_t bytesPerChannel, uint16_t width, uint16_t height, uint16_t channels,
                const std::vector<Bytes>& rows) {
  Bytes tables(rows.size() * 8);
  Bytes data;
  uint32_t offset = 512 + static_cast<uint32_t>(tables.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    Poke(tables, 4 * i, Be(offset, 4));
    Poke(tables, 4 * (rows.size() + i), Be(static_cast<uint32_t>(rows[i].size()), 4));
    data.insert(data.end(), rows[i].begin(), rows[i].end());
    offset += static_cast<uint32_t>(rows[i].size());
  }
  tables.insert(tables.end(), data.begin(), data.end());
  return Sgi(1, bytesPerChannel, width, height, channels, tables);
}

// Files written by netpbm and ImageMagick against their sources (tests/data/sgi/make.sh).
TEST(SGIFiles, EveryLayoutMatchesItsReference) {
  const TReaderSample samples[] = {
      {"rgb_rle.sgi", "source.rgb", pf24bit},         {"rgb_raw.sgi", "source.rgb", pf24bit},
      {"rgb16_rle.sgi", "source16.rgb", pf24bit},     {"im_rgba_rle.sgi", "alpha.rgba", pf32bit},
      {"im_rgba16_raw.sgi", "alpha16.rgba", pf32bit}, {"gray_rle.bw", "gray.gray", pf8bit},
      {"im_gray_raw.bw", "gray.gray", pf8bit},        {"gray16_rle.bw", "gray16.gray", pf8bit},
      {"im_gray16_raw.sgi", "gray16.gray", pf8bit}};
  ExpectSamplesMatchReferences<TSGIGraphic>("sgi", samples);
}

TEST(SGIHeader, ProbeAndAForeignMagicNumber) {
  EXPECT_TRUE(ProbeBytes<TSGIGraphic>(Sgi(0, 1, 1, 1, 1, {7})));
  EXPECT_FALSE(ProbeBytes<TSGIGraphic>(Sgi(0, 1, 1, 1, 1, {})));  // exactly the header
  Bytes magic = Sgi(0, 1, 1, 1, 1, {7});
  magic[1] = 0xDB;
  EXPECT_FALSE(ProbeBytes<TSGIGraphic>(magic));
  // A picture 0 pixels wide is no picture either.
  for (const Bytes& file : {magic, Sgi(0, 1, 0, 2, 1, {7})})
    EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TSGIGraphic>(file); }),
              "Cannot load image. Invalid or unexpected sgi, bw or rgb(a) image format.");
}

TEST(SGIMends, GrayAlphaAndShortFiles) {
  // Gray with alpha shows the gray channel; the alpha rows are not even looked at.
  const auto grayAlpha = LoadBytes<TSGIGraphic>(Sgi(0, 1, 2, 2, 2, {1, 2, 3, 4, 99, 99}));
  ASSERT_EQ(grayAlpha->PixelFormat(), pf8bit);
  EXPECT_EQ(RowBytes(*grayAlpha), (Bytes{3, 4, 1, 2}));
  const auto grayAlphaPacked =
      LoadBytes<TSGIGraphic>(SgiPacked(1, 2, 1, 2, {{0x02, 9, 0}, {0xFF, 0xFF, 0xFF}}));
  EXPECT_EQ(RowBytes(*grayAlphaPacked), (Bytes{9, 9}));

  // Short files: stored rows and tables the file does not hold are refused before the bitmap is
  // made; packed rows the file does not hold in full come out black from where their data stop, and
  // the picture says so.
  const std::string ended = "Cannot load image. The SGI file ends before its picture does.";
  Bytes tablesCut = SgiPacked(1, 2, 2, 1, {{0x02, 5, 0}, {0x02, 6, 0}});
  tablesCut.resize(512 + 4);
  for (const Bytes& file : {Sgi(0, 1, 2, 2, 3, {10, 20, 30, 40, 50}), tablesCut})
    EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TSGIGraphic>(file); }), ended);
  Bytes cut = SgiPacked(1, 4, 1, 1, {{0x04, 5, 0}});
  cut.resize(cut.size() - 2);  // the run's value and the row's end
  const auto cutPicture = LoadBytes<TSGIGraphic>(cut);
  EXPECT_TRUE(cutPicture->DataEndedEarly());
  EXPECT_EQ(RowBytes(*cutPicture), (Bytes{0, 0, 0, 0}));
  EXPECT_FALSE(LoadBytes<TSGIGraphic>(SgiPacked(1, 4, 1, 1, {{0x04, 5, 0}}))->DataEndedEarly());

  // A packed row that unpacks past its row, and channel counts no bitmap holds.
  EXPECT_THROW(LoadBytes<TSGIGraphic>(SgiPacked(1, 2, 1, 1, {{0x03, 5, 0}})), EGraphicCompression);
  EXPECT_THROW(LoadBytes<TSGIGraphic>(Sgi(0, 1, 1, 1, 5, Bytes(5))), EColorConversionError);
  EXPECT_THROW(LoadBytes<TSGIGraphic>(Sgi(0, 3, 1, 1, 3, Bytes(9))), EColorConversionError);
}

}  // namespace
