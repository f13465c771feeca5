#include "picture_formats/decoder_pcd.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/picture_formats/decoder_test_support.h"

namespace {

// A code table: per code its bits as text and its correction.
using TTable = std::vector<std::pair<std::string, int8_t>>;

// Coded data as the decoder reads it: the tables as bytes, then `rows`, words of bits as text where
// "p:r" is a sync marker with the header of plane p, row r; padded to whole sectors and one more.
Bytes Coded(const std::vector<TTable>& tables, const std::string& rows) {
  Bytes bytes;
  for (const TTable& table : tables) {
    bytes.push_back(uint8_t(table.size() - 1));
    for (const auto& [bits, correction] : table) {
      const auto aligned = uint16_t(std::stoul(bits, nullptr, 2) << (16 - bits.size()));
      bytes.insert(bytes.end(),
                   {uint8_t(bits.size() - 1), uint8_t(aligned >> 8), uint8_t(aligned), uint8_t(correction)});
    }
  }
  std::string bits;
  std::istringstream words(rows);
  for (std::string word; words >> word;) {
    const size_t colon = word.find(':');
    if (colon == std::string::npos) {
      bits += word;
      continue;
    }
    const auto field = [](unsigned long value, int width) {
      std::string text;
      for (int i = width - 1; i >= 0; --i) text += char('0' + ((value >> i) & 1));
      return text;
    };
    bits += std::string(23, '1') + "0" + field(std::stoul(word), 2) +
            field(std::stoul(word.substr(colon + 1)), 13) + "0";
  }
  for (size_t i = 0; i < bits.size(); i += 8)
    bytes.push_back(uint8_t(std::stoul((bits.substr(i, 8) + "0000000").substr(0, 8), nullptr, 2)));
  bytes.resize((bytes.size() / 2048 + 2) * 2048);
  return bytes;
}

// Three planes of `size` bytes holding `value`, each exactly its size, decoded for a level of the
// given width and height.
struct TPlanes {
  THeapBytes Luma, Chroma1, Chroma2;
  TPlanes(size_t size, uint8_t value)
      : Luma(Bytes(size, value)), Chroma1(Bytes(size, value)), Chroma2(Bytes(size, value)) {}

  void Decode(const Bytes& data, int32_t width, int32_t height) {
    TMemoryStream stream;
    stream.WriteBuffer(data);
    stream.SetPosition(0);
    TPCDDecoder decoder(stream);
    decoder.SetPlanes({Luma.Span(), Chroma1.Span(), Chroma2.Span()});
    TSourceCursor source;
    TTargetCursor target;
    decoder.Decode(source, target, width, height);
  }
};

const TTable kLuma{{"10", -2}, {"11", 10}, {"0", 1}};

TEST(PCDDecoder, CorrectionsAreClampedAndARowEqualToTheHeightEnds) {
  TPlanes planes(8, 100);
  planes.Luma.Span()[0] = 1;
  planes.Luma.Span()[1] = 250;
  // 1 - 2 stays 0, 250 + 10 stays 255; row 2 (the height) ends the data before the last row.
  planes.Decode(Coded({kLuma}, "0:0 10 11 10 0  0:1 0 11 0  0:2  0:0 11"), 4, 2);
  EXPECT_EQ(planes.Luma.Vector(), (Bytes{0, 255, 98, 101, 101, 110, 101, 100}));
  EXPECT_EQ(planes.Chroma1.Vector(), Bytes(8, 100));
}

TEST(PCDDecoder, WideLevelsHaveATableForEachPlaneAndChromaTakesHalfTheRows) {
  const int32_t width = 1540;  // wider than 1536: three tables
  TPlanes planes(size_t(width) * 4, 50);
  planes.Decode(Coded({{{"0", 1}}, {{"0", 2}}, {{"0", 3}}}, "0:3 0  2:3 00  3:2 000  0:4"), width, 4);
  const auto at = [&](const THeapBytes& plane, size_t row, size_t x) {
    return plane.Span()[row * width + x];
  };
  EXPECT_EQ(at(planes.Luma, 3, 0), 51);
  EXPECT_EQ(at(planes.Chroma1, 1, 1), 52);
  EXPECT_EQ(at(planes.Chroma1, 1, 2), 50);
  EXPECT_EQ(at(planes.Chroma2, 1, 2), 53);
  EXPECT_EQ(at(planes.Chroma2, 1, 3), 50);
}

TEST(PCDDecoder, UnknownCodesResynchroniseAndDamageEndsCleanly) {
  // Bytes before the first marker and an unknown code are searched past; row 7 lies past the planes
  // (exactly their size: AddressSanitizer would see a write past them).
  TPlanes planes(8, 100);
  planes.Decode(Coded({{{"00", 5}}}, "00010010 0:0 00 1111  0:1 00 00  0:7 00 00 00  0:2"), 4, 2);
  EXPECT_EQ(planes.Luma.Vector(), (Bytes{105, 100, 100, 100, 105, 105, 100, 100}));

  // A code longer than 16 bits ends quietly with the planes untouched.
  Bytes longCode = Coded({{{"1", 1}, {"1", 1}}}, "0:0 11111111");
  longCode[5] = 16;
  planes.Decode(longCode, 4, 2);
  EXPECT_EQ(planes.Luma.Vector(), (Bytes{105, 100, 100, 100, 105, 105, 100, 100}));

  // Plane code 1, and chroma with only the luma table, abort silently; data without an end and a stream
  // shorter than a sector raise the read error.
  EXPECT_THROW(planes.Decode(Coded({kLuma}, "1:0"), 4, 2), EAbort);
  EXPECT_THROW(planes.Decode(Coded({kLuma}, "2:0"), 4, 2), EAbort);
  EXPECT_THROW(planes.Decode(Coded({kLuma}, "0:0 00000"), 4, 2), EReadError);
  EXPECT_THROW(planes.Decode(Bytes(2047, 0), 4, 2), EReadError);
}

}  // namespace
