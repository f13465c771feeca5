#include "picture_formats/decoders_rle.h"

#include <gtest/gtest.h>

#include "tests/picture_formats/decoder_test_support.h"

namespace {

// A damaged input: packed bytes, room, sizes, and whether they end inside a packet (else they unpack
// past the room).
struct TDamage {
  Bytes Packed;
  size_t Room;
  int32_t PackedSize;
  int32_t UnpackedSize;
  bool Ended;
};

void ExpectDamageRaises(TDecoder& decoder, const std::string& name, const std::vector<TDamage>& cases) {
  for (const TDamage& c : cases)
    EXPECT_EQ(RaisedMessage<EGraphicCompression>(
                  [&] { DecodeOnce(decoder, c.Packed, c.Room, c.PackedSize, c.UnpackedSize); }),
              c.Ended ? DataEndedMessage(name) : RoomExceededMessage(name))
        << name << ", " << c.Packed.size() << " packed bytes";
}

TEST(TargaRLEDecoder, WorkedValuesOfEveryPixelSizeAndDamage) {
  TTargaRLEDecoder depth24(24), depth15(15), depth32(32), depth12(12);
  const auto run = DecodeOnce(depth24, {0x82, 1, 2, 3, 0xEE}, 9, 0, 3);
  EXPECT_EQ(run.Output, (Bytes{1, 2, 3, 1, 2, 3, 1, 2, 3}));
  EXPECT_EQ(run.SourcePosition, 4u);
  EXPECT_EQ(run.DestPosition, 0u);
  const auto raw = DecodeOnce(depth24, {0x01, 9, 8, 7, 6, 5, 4, 0xEE}, 6, 0, 2);
  EXPECT_EQ(raw.Output, (Bytes{9, 8, 7, 6, 5, 4}));
  EXPECT_EQ(raw.SourcePosition, 7u);
  EXPECT_EQ(DecodeOnce(depth15, {0x81, 0x34, 0x12, 0x00, 9, 8}, 6, 0, 3).Output,
            (Bytes{0x34, 0x12, 0x34, 0x12, 9, 8}));
  EXPECT_EQ(DecodeOnce(depth32, {0x81, 1, 2, 3, 4}, 8, 0, 2).Output, (Bytes{1, 2, 3, 4, 1, 2, 3, 4}));
  EXPECT_EQ(DecodeOnce(depth12, {0x82, 1, 2, 3}, 4, 0, 4).SourcePosition, 0u);  // other depths: nothing
  // A run cut short, a raw packet claiming more pixels than follow, more pixels than room.
  ExpectDamageRaises(depth24, "Targa run-length",
                     {{{0x82, 1, 2}, 9, 0, 3, true},
                      {{0x09, 1, 2, 3, 4, 5, 6}, 30, 0, 10, true},
                      {{0x82, 1, 2, 3}, 8, 0, 3, false}});
}

TEST(TargaRLEDecoder, PacketsCrossingRowsCarryOverIntoTheNextRow) {
  // A run of 5 and a raw packet of 5 pixels (8-bit) over rows of 3, 4 and 3 pixels; the third row ends
  // with its packet, so the source stops at the next row's first packet.
  const THeapBytes packed(Bytes{0x84, 7, 0x04, 1, 2, 3, 4, 5, 0x81, 9});
  TSourceCursor source(packed.Span());
  TTargaRLEDecoder decoder(8);
  for (const Bytes& row : {Bytes{7, 7, 7}, Bytes{7, 7, 1, 2}, Bytes{3, 4, 5}}) {
    const THeapBytes target(row.size());
    TTargetCursor cursor(target.Span());
    decoder.Decode(source, cursor, 0, static_cast<int32_t>(row.size()));
    EXPECT_EQ(target.Vector(), row);
  }
  EXPECT_EQ(source.Position(), 8u);
  // DecodeInit forgets a packet carried over.
  DecodeOnce(decoder, {0x84, 7}, 2, 0, 2);
  decoder.DecodeInit();
  EXPECT_EQ(DecodeOnce(decoder, {0x81, 3}, 2, 0, 2).Output, (Bytes{3, 3}));
}

// Packs the pixels of the given depth and returns the packed bytes.
Bytes Encode(uint32_t depth, const Bytes& pixels, size_t room) {
  TTargaRLEDecoder encoder(depth);
  const THeapBytes source(pixels), target(room);
  uint32_t stored = 0;
  encoder.Encode(TSourceCursor(source.Span()), TTargetCursor(target.Span()),
                 static_cast<uint32_t>(pixels.size() / ((depth + 1) / 8)), stored);
  Bytes packed = target.Vector();
  packed.resize(stored);
  return packed;
}

TEST(TargaRLEEncoder, WorkedValuesAndPacketLimits) {
  EXPECT_EQ(Encode(8, {5, 5, 5, 7, 8}, 10), (Bytes{0x82, 5, 0x01, 7, 8}));
  EXPECT_EQ(Encode(8, {9}, 2), (Bytes{0x00, 9}));
  EXPECT_EQ(Encode(8, Bytes(200, 4), 400), (Bytes{0xFF, 4, 0xC7, 4}));
  Bytes ramp(130);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(Encode(8, ramp, 260)[129], 0x01);             // raw packets stop at 128 pixels
  EXPECT_THROW(Encode(8, {1, 2, 3, 4}, 4), ERangeError);  // too little room

  // Round trips at every depth are the fuzz target's (tests/fuzz/rle_decoders.cpp).
}

TEST(PackbitsAndPCXRLEDecoders, WorkedValuesCutsAndDamage) {
  TPackbitsRLEDecoder packBits;
  const auto out = DecodeOnce(
      packBits, {0xFE, 0xAA, 0x02, 0x80, 0x00, 0x2A, 0xFD, 0xAA, 0x03, 0x80, 0x00, 0x2A, 0x22, 0xF7, 0xAA},
      24, 24);
  Bytes expected{0xAA, 0xAA, 0xAA, 0x80, 0x00, 0x2A, 0xAA, 0xAA, 0xAA, 0xAA, 0x80, 0x00, 0x2A, 0x22};
  expected.resize(24, 0xAA);
  EXPECT_EQ(out.Output, expected);
  EXPECT_EQ(out.SourcePosition + out.DestPosition, 0u);  // neither cursor moves
  // -128 consumes its header alone; a copy is cut at the packed bytes left (the header counts), a
  // repeat at UnpackedSize.
  EXPECT_EQ(DecodeOnce(packBits, {0x80, 0x00, 0x41}, 1, 1).Output, (Bytes{0x41}));
  EXPECT_EQ(DecodeOnce(packBits, {0x02, 1, 2, 3}, 3, 3, 3).Output, (Bytes{1, 2, 0}));
  EXPECT_EQ(DecodeOnce(packBits, {0xF9, 9}, 4, 2).Output, (Bytes{9, 9, 0, 0}));
  ExpectDamageRaises(packBits, "PackBits", {{{0xFE}, 3, 1, 3, true}, {{0xFE, 1}, 3, 2, 4, false}});

  TPCXRLEDecoder pcx;
  // 0xC0 and the byte after it write nothing; runs are cut at UnpackedSize.
  EXPECT_EQ(DecodeOnce(pcx, {0xC3, 7, 0x05, 0xBF, 0xC0, 0x55, 0xC1, 0xC2}, 6, 0, 6).Output,
            (Bytes{7, 7, 7, 0x05, 0xBF, 0xC2}));
  EXPECT_EQ(DecodeOnce(pcx, {0xFF, 1}, 4, 0, 3).Output, (Bytes{1, 1, 1, 0}));
  ExpectDamageRaises(pcx, "PCX run-length", {{{0xC2, 1, 3}, 5, 0, 5, true}, {{0xC2, 1}, 1, 0, 2, false}});
}

TEST(SGIRLEDecoder, CopiesRepeatsEndMarkersAndDamage) {
  TSGIRLEDecoder eight(8), sixteen(16);
  const auto out = DecodeOnce(eight, {0x83, 1, 2, 3, 0x02, 9, 0x00, 0x85}, 5, 0, 0);
  EXPECT_EQ(out.Output, (Bytes{1, 2, 3, 9, 9}));
  EXPECT_EQ(out.SourcePosition + out.DestPosition, 0u);
  EXPECT_EQ(DecodeOnce(eight, {0x80, 0x81, 1}, 1, 0, 1).Output, (Bytes{0}));  // count 0 ends the row
  // 16-bit samples keep their byte order; only the header's low byte counts.
  EXPECT_EQ(DecodeOnce(sixteen, {0x00, 0x03, 0x12, 0x34, 0x00, 0x00}, 6, 0, 3).Output,
            (Bytes{0x12, 0x34, 0x12, 0x34, 0x12, 0x34}));
  EXPECT_EQ(DecodeOnce(sixteen, {0xFF, 0x82, 1, 2, 3, 4, 0x7F, 0x00}, 4, 0, 2).Output, (Bytes{1, 2, 3, 4}));
  // A missing end marker, and rows longer than their room.
  ExpectDamageRaises(eight, "SGI run-length",
                     {{{0x81, 1}, 4, 0, 4, true}, {{0x05, 1, 0x00}, 4, 0, 4, false}});
  ExpectDamageRaises(
      sixteen, "SGI run-length",
      {{{0x00, 0x02, 1}, 4, 0, 2, true}, {{0x00, 0x83, 1, 2, 3, 4, 5, 6, 0, 0}, 4, 0, 2, false}});
}

TEST(CUTRLEDecoder, SkipsTheRowLengthCarriesTheSourceOnAndRefusesDamage) {
  const THeapBytes packed(Bytes{0xFF, 0xFF, 0x03, 1, 2, 3, 0x82, 9, 0x00,  // row 1
                                0x12, 0x34, 0x80, 7, 0x84, 4, 0x00});      // row 2: 0x80 7 writes nothing
  TSourceCursor source(packed.Span());
  TCUTRLEDecoder decoder;
  for (const Bytes& expected : {Bytes{1, 2, 3, 9, 9}, Bytes{4, 4, 4, 4}}) {
    const THeapBytes row(expected.size());
    TTargetCursor target(row.Span());
    decoder.Decode(source, target, 0, static_cast<int32_t>(expected.size()));
    EXPECT_EQ(row.Vector(), expected);
    EXPECT_EQ(source.Position(), expected.size() == 5 ? 9u : packed.Span().size());
  }
  ExpectDamageRaises(decoder, "Dr. Halo run-length",
                     {{{0, 0, 0x02, 1, 2}, 4, 0, 4, true}, {{0, 0, 0x85, 1, 0x00}, 4, 0, 4, false}});
}

TEST(PSPAndRLADecoders, CopiesRepeatsAndDamage) {
  TPSPRLEDecoder psp;
  EXPECT_EQ(DecodeOnce(psp, {0x03, 1, 2, 3, 0x84, 9, 0x80, 5, 0x00}, 8, 0).Output,
            (Bytes{1, 2, 3, 9, 9, 9, 9, 0}));
  EXPECT_EQ(DecodeOnce(psp, {0x84, 9}, 4, 0, 4).Output, Bytes(4, 0));  // PackedSize 0
  ExpectDamageRaises(
      psp, "Paint Shop Pro run-length",
      {{{0x03, 1, 2}, 8, 3, 0, true}, {{0x84, 1}, 8, 3, 0, true}, {{0x85, 1}, 4, 2, 0, false}});
  TRLADecoder rla;
  EXPECT_EQ(DecodeOnce(rla, {0xFD, 1, 2, 3, 0x02, 9, 0x00, 4}, 8, 0).Output, (Bytes{1, 2, 3, 9, 9, 9, 4, 0}));
  EXPECT_EQ(DecodeOnce(rla, {0x02, 9}, 4, 0, 4).Output, Bytes(4, 0));  // PackedSize 0
  ExpectDamageRaises(rla, "RLA run-length", {{{0xFC, 1, 2}, 8, 3, 0, true}, {{0x7F, 1}, 127, 2, 0, false}});
}

}  // namespace
