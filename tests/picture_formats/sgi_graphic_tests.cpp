#include "picture_formats/sgi_graphic.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "picture_formats/color_types.h"
#include "picture_formats/decoder.h"
#include "tests/picture_formats/picture_test_support.h"
#include "tests/picture_formats/reader_test_support.h"
#include "tests/support/test_files.h"

namespace {

Bytes SgiData(const std::string& name) {
  return ReadWholeFile(TestData("sgi/" + name));
}

// The stored bytes of each row, top row first, without padding.
Bytes RowBytes(const TBitmap& picture) {
  Bytes bytes;
  for (int y = 0; y < picture.Height(); ++y)
    bytes.insert(bytes.end(), picture.ScanLine(y), picture.ScanLine(y) + picture.Width());
  return bytes;
}

void PutBigEndian(Bytes& bytes, size_t at, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + i] = uint8_t(value >> (8 * (size - 1 - i)));
}

// A 512-byte header followed by `rest`.
Bytes Sgi(uint8_t storage, uint8_t bytesPerChannel, uint16_t width, uint16_t height, uint16_t channels,
          const Bytes& rest) {
  // Built in place: GCC 12 misreads an insertion after a fixed-size start in optimised builds.
  Bytes file(512 + rest.size());
  std::copy(rest.begin(), rest.end(), file.begin() + 512);
  PutBigEndian(file, 0, 474, 2);
  file[2] = storage;
  file[3] = bytesPerChannel;
  PutBigEndian(file, 4, 3, 2);
  PutBigEndian(file, 6, width, 2);
  PutBigEndian(file, 8, height, 2);
  PutBigEndian(file, 10, channels, 2);
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
    PutBigEndian(tables, 4 * i, offset, 4);
    PutBigEndian(tables, 4 * (rows.size() + i), static_cast<uint32_t>(rows[i].size()), 4);
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

TEST(SGIHeader, ProbeTestsMagicDepthAndDimension) {
  EXPECT_TRUE(ProbeBytes<TSGIGraphic>(Sgi(0, 1, 1, 1, 1, {7})));
  EXPECT_FALSE(ProbeBytes<TSGIGraphic>(Sgi(0, 1, 1, 1, 1, {})));  // exactly the header
  EXPECT_FALSE(ProbeBytes<TSGIGraphic>(Sgi(0, 3, 1, 1, 1, {7})));
  Bytes dimension = Sgi(0, 1, 1, 1, 1, {7});
  dimension[5] = 4;
  EXPECT_FALSE(ProbeBytes<TSGIGraphic>(dimension));
  Bytes magic = Sgi(0, 1, 1, 1, 1, {7});
  magic[1] = 0xDB;
  EXPECT_FALSE(ProbeBytes<TSGIGraphic>(magic));
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TSGIGraphic>(magic); }),
            "Cannot load image. Invalid or unexpected sgi, bw or rgb(a) image format.");
}

TEST(SGIMends, SixteenBitRowsGrayAlphaAndShortFiles) {
  // 16-bit run-length rows: the table gives bytes; a copy packet of two samples, a run of one.
  // Bottom row first: the picture's top row is file row 1.
  const Bytes packed16 = SgiPacked(2, 3, 2, 1,
                                   {{0x00, 0x82, 0x12, 0x34, 0xFF, 0xFF, 0x00, 0x01, 0x80, 0x00, 0x00, 0x00},
                                    {0x00, 0x03, 0x7F, 0xFF, 0x00, 0x00}});
  const auto gray16 = LoadBytes<TSGIGraphic>(packed16);
  ASSERT_EQ(gray16->PixelFormat(), pf8bit);
  EXPECT_EQ(RowBytes(*gray16), (Bytes{127, 127, 127, 0x12, 255, 127}));

  // Gray with alpha shows the gray channel; the alpha rows are not even looked at.
  const auto grayAlpha = LoadBytes<TSGIGraphic>(Sgi(0, 1, 2, 2, 2, {1, 2, 3, 4, 99, 99}));
  ASSERT_EQ(grayAlpha->PixelFormat(), pf8bit);
  EXPECT_EQ(RowBytes(*grayAlpha), (Bytes{3, 4, 1, 2}));
  const auto grayAlphaPacked =
      LoadBytes<TSGIGraphic>(SgiPacked(1, 2, 1, 2, {{0x02, 9, 0}, {0xFF, 0xFF, 0xFF}}));
  EXPECT_EQ(RowBytes(*grayAlphaPacked), (Bytes{9, 9}));

  // Short files: rows and packed data the file does not hold come out zero.
  const auto shortRaw = LoadBytes<TSGIGraphic>(Sgi(0, 1, 2, 2, 3, {10, 20, 30, 40, 50}));
  EXPECT_EQ(PixelColors(*shortRaw), (Bytes{30, 0, 0, 40, 0, 0, 10, 50, 0, 20, 0, 0}));
  Bytes cut = SgiPacked(1, 4, 1, 1, {{0x04, 5, 0}});
  cut.resize(cut.size() - 2);  // the run's value and the row's end
  EXPECT_EQ(RowBytes(*LoadBytes<TSGIGraphic>(cut)), (Bytes{0, 0, 0, 0}));
  Bytes tablesCut = SgiPacked(1, 2, 2, 1, {{0x02, 5, 0}, {0x02, 6, 0}});
  tablesCut.resize(512 + 4);
  EXPECT_EQ(RowBytes(*LoadBytes<TSGIGraphic>(tablesCut)), (Bytes{0, 0, 0, 0}));

  // A packed row that unpacks past its row, and channel counts no bitmap holds.
  EXPECT_THROW(LoadBytes<TSGIGraphic>(SgiPacked(1, 2, 1, 1, {{0x03, 5, 0}})), EGraphicCompression);
  EXPECT_THROW(LoadBytes<TSGIGraphic>(Sgi(0, 1, 1, 1, 5, Bytes(5))), EColorConversionError);
  EXPECT_THROW(LoadBytes<TSGIGraphic>(Sgi(0, 3, 1, 1, 3, Bytes(9))), EColorConversionError);
}

TEST(SGIFiles, DamagedAndTruncatedFilesLoadOrRaiseCleanly) {
  ExpectDamagedSamplesLoadOrRaise<TSGIGraphic>(
      {SgiData("rgb16_rle.sgi"), SgiData("im_rgba_rle.sgi"), SgiData("gray_rle.bw")}, 16, 13);
}

}  // namespace
