#include "picture_formats/decoder_pcd.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/picture_formats/decoder_test_support.h"

namespace {

// A code of the tables: `Length` bits, right-aligned in Bits.
struct TTestCode {
  uint8_t Length;
  uint16_t Bits;
  int8_t Correction;
};

// Coded data as the decoder reads it: tables as bytes, then rows of bits, most significant bit first.
class TPCDStream {
 public:
  TPCDStream& Table(const std::vector<TTestCode>& codes) {
    FBytes.push_back(uint8_t(codes.size() - 1));
    for (const TTestCode& code : codes) {
      const uint16_t aligned = uint16_t(code.Bits << (16 - code.Length));
      FBytes.insert(FBytes.end(), {uint8_t(code.Length - 1), uint8_t(aligned >> 8), uint8_t(aligned),
                                   uint8_t(code.Correction)});
    }
    return *this;
  }
  TPCDStream& Bytes_(const Bytes& bytes) {
    FBytes.insert(FBytes.end(), bytes.begin(), bytes.end());
    return *this;
  }
  // The sync marker and a row header: plane (2 bits), row (13 bits), a spare bit.
  TPCDStream& Row(uint32_t plane, uint32_t row) {
    Bits(0xFFFFFE, 24);
    Bits(plane, 2);
    Bits(row, 13);
    return Bits(0, 1);
  }
  TPCDStream& Bits(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
      FPending = uint8_t(FPending << 1 | ((value >> i) & 1));
      if (++FPendingBits == 8) {
        FBytes.push_back(FPending);
        FPending = 0;
        FPendingBits = 0;
      }
    }
    return *this;
  }
  // The bytes, padded with zero bits to whole sectors (and one sector more for the decoder's lookahead).
  Bytes Sectors() {
    while (FPendingBits != 0) Bits(0, 1);
    Bytes bytes = FBytes;
    bytes.resize((bytes.size() / 2048 + 2) * 2048);
    return bytes;
  }

 private:
  Bytes FBytes;
  uint8_t FPending = 0;
  int FPendingBits = 0;
};

struct TPlanes {
  THeapBytes Luma, Chroma1, Chroma2;
  TPlanes(size_t size, uint8_t value) : Luma(size), Chroma1(size), Chroma2(size) {
    for (const THeapBytes* plane : {&Luma, &Chroma1, &Chroma2})
      std::fill_n(plane->Span().data(), size, value);
  }
};

// Decodes the stream into the planes for a level of the given width and height.
void Decode(const Bytes& data, TPlanes& planes, int32_t width, int32_t height) {
  TMemoryStream stream;
  stream.WriteBuffer(data);
  stream.SetPosition(0);
  TPCDDecoder decoder(stream);
  decoder.SetPlanes({planes.Luma.Span(), planes.Chroma1.Span(), planes.Chroma2.Span()});
  TSourceCursor source;
  TTargetCursor target;
  decoder.DecodeInit();
  decoder.Decode(source, target, width, height);
  decoder.DecodeEnd();
}

// Luma only: codes 10 (-2), 11 (+10) and 0 (+1).
const std::vector<TTestCode> kLumaCodes{{2, 0b10, -2}, {2, 0b11, 10}, {1, 0b0, 1}};

TEST(PCDDecoder, CorrectionsAreClampedAndARowEqualToTheHeightEnds) {
  TPlanes planes(8, 100);
  planes.Luma.Span()[0] = 1;
  planes.Luma.Span()[1] = 250;
  const Bytes data = TPCDStream()
                         .Table(kLumaCodes)
                         .Row(0, 0)
                         .Bits(0b10, 2)  // 1 - 2 stays 0
                         .Bits(0b11, 2)  // 250 + 10 stays 255
                         .Bits(0b10, 2)
                         .Bits(0b0, 1)
                         .Row(0, 1)
                         .Bits(0b0110, 4)  // +1, +10, +1 from the second row's start
                         .Row(0, 2)        // the height: done
                         .Row(0, 0)
                         .Bits(0b11, 2)
                         .Sectors();
  Decode(data, planes, 4, 2);
  EXPECT_EQ(planes.Luma.Vector(), (Bytes{0, 255, 98, 101, 101, 110, 101, 100}));
  EXPECT_EQ(planes.Chroma1.Vector(), Bytes(8, 100));
  EXPECT_EQ(planes.Chroma2.Vector(), Bytes(8, 100));
}

TEST(PCDDecoder, WideLevelsHaveATableForEachPlaneAndChromaTakesHalfTheRows) {
  const int32_t width = 1540;  // wider than 1536: three tables
  TPlanes planes(size_t(width) * 4, 50);
  const Bytes data = TPCDStream()
                         .Table({{1, 0, 1}})
                         .Table({{1, 0, 2}})
                         .Table({{1, 0, 3}})
                         .Row(0, 3)
                         .Bits(0, 1)
                         .Row(2, 3)  // chroma row 1
                         .Bits(0, 2)
                         .Row(3, 2)  // chroma row 1
                         .Bits(0, 3)
                         .Row(0, 4)
                         .Sectors();
  Decode(data, planes, width, 4);
  const auto at = [&](const THeapBytes& plane, size_t row, size_t x) {
    return plane.Span()[row * width + x];
  };
  EXPECT_EQ(at(planes.Luma, 3, 0), 51);
  EXPECT_EQ(at(planes.Luma, 3, 1), 50);
  EXPECT_EQ(at(planes.Chroma1, 1, 0), 52);
  EXPECT_EQ(at(planes.Chroma1, 1, 1), 52);
  EXPECT_EQ(at(planes.Chroma1, 1, 2), 50);
  EXPECT_EQ(at(planes.Chroma2, 1, 2), 53);
  EXPECT_EQ(at(planes.Chroma2, 1, 3), 50);
}

TEST(PCDDecoder, UnknownCodesResynchroniseAndDamageEndsCleanly) {
  // An unknown code skips to the next sync marker; a row past the planes writes nothing (the planes
  // are exactly their size, so AddressSanitizer would see a write past them).
  TPlanes planes(8, 100);
  const Bytes data = TPCDStream()
                         .Table({{2, 0b00, 5}})
                         .Bytes_({0x12, 0x34})  // not a sync marker: searched past
                         .Row(0, 0)
                         .Bits(0b00, 2)
                         .Bits(0b1111, 4)  // no such code
                         .Row(0, 1)
                         .Bits(0b0000, 4)
                         .Row(0, 7)
                         .Bits(0b000000, 6)
                         .Row(0, 2)
                         .Sectors();
  Decode(data, planes, 4, 2);
  EXPECT_EQ(planes.Luma.Vector(), (Bytes{105, 100, 100, 100, 105, 105, 100, 100}));

  // A code longer than 16 bits ends quietly with the planes untouched.
  TPlanes untouched(8, 100);
  Decode(TPCDStream().Bytes_({1, 0, 0x80, 0, 1, 16, 0x80, 0, 1}).Row(0, 0).Bits(0, 8).Sectors(), untouched, 4,
         2);
  EXPECT_EQ(untouched.Luma.Vector(), Bytes(8, 100));

  // Plane code 1, and chroma with only the luma table, abort silently.
  TPlanes aborted(8, 100);
  EXPECT_THROW(Decode(TPCDStream().Table(kLumaCodes).Row(1, 0).Sectors(), aborted, 4, 2), EAbort);
  EXPECT_THROW(Decode(TPCDStream().Table(kLumaCodes).Row(2, 0).Sectors(), aborted, 4, 2), EAbort);
  // Data without an end, and a stream shorter than a sector.
  EXPECT_THROW(Decode(TPCDStream().Table(kLumaCodes).Row(0, 0).Bits(0, 5).Sectors(), aborted, 4, 2),
               EReadError);
  EXPECT_THROW(Decode(Bytes(2047, 0), aborted, 4, 2), EReadError);
}

}  // namespace
