#include "picture_formats/decoders_rle.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "tests/picture_formats/decoder_test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The message of the EGraphicCompression that `action` raises ("" when it raises nothing).
std::string CompressionMessage(const std::function<void()>& action) {
  try {
    action();
  } catch (const EGraphicCompression& e) {
    return e.Message();
  }
  return "";
}

const std::string kTargaEnded = "Cannot load image. The Targa run-length data end inside a packet.";
const std::string kTargaFull =
    "Cannot load image. The Targa run-length data unpack past the room given for them.";

// ---- Targa decoding ----

TEST(TargaRLEDecoder, WorkedValuesOf24BitPackets) {
  TTargaRLEDecoder decoder(24);
  const auto run = DecodeOnce(decoder, {0x82, 1, 2, 3, 0xEE}, 9, 0, 3);
  EXPECT_EQ(run.Output, (Bytes{1, 2, 3, 1, 2, 3, 1, 2, 3}));
  EXPECT_EQ(run.SourcePosition, 4u);
  EXPECT_EQ(run.DestPosition, 0u);

  const auto raw = DecodeOnce(decoder, {0x01, 9, 8, 7, 6, 5, 4, 0xEE}, 6, 0, 2);
  EXPECT_EQ(raw.Output, (Bytes{9, 8, 7, 6, 5, 4}));
  EXPECT_EQ(raw.SourcePosition, 7u);
}

TEST(TargaRLEDecoder, EveryPixelSize) {
  TTargaRLEDecoder depth8(8);
  EXPECT_EQ(DecodeOnce(depth8, {0x83, 7, 0x01, 1, 2}, 6, 0, 6).Output, (Bytes{7, 7, 7, 7, 1, 2}));
  for (uint32_t depth : {15u, 16u}) {
    TTargaRLEDecoder decoder(depth);
    EXPECT_EQ(DecodeOnce(decoder, {0x81, 0x34, 0x12, 0x00, 9, 8}, 6, 0, 3).Output,
              (Bytes{0x34, 0x12, 0x34, 0x12, 9, 8}));
  }
  TTargaRLEDecoder depth32(32);
  const auto out = DecodeOnce(depth32, {0x82, 1, 2, 3, 4}, 12, 0, 3);
  EXPECT_EQ(out.Output, (Bytes{1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4}));
  EXPECT_EQ(out.SourcePosition, 5u);
}

TEST(TargaRLEDecoder, UnsupportedDepthDecodesNothingAndMovesNothing) {
  TTargaRLEDecoder decoder(12);
  const auto out = DecodeOnce(decoder, {0x82, 1, 2, 3}, 4, 0, 4);
  EXPECT_EQ(out.Output, Bytes(4, 0));
  EXPECT_EQ(out.SourcePosition, 0u);
}

TEST(TargaRLEDecoder, PacketsCrossingRowsCarryOverIntoTheNextRow) {
  // One run of 5 and one raw packet of 5 pixels, decoded as rows of 3 and 4 pixels (8-bit).
  const THeapBytes packed(Bytes{0x84, 7, 0x04, 1, 2, 3, 4, 5});
  TSourceCursor source(packed.Span());
  TTargaRLEDecoder decoder(8);
  std::vector<Bytes> rows;
  for (size_t width : {3u, 4u, 3u}) {
    THeapBytes row(width);
    TTargetCursor target(row.Span());
    decoder.Decode(source, target, 0, static_cast<int32_t>(width));
    EXPECT_EQ(target.Position(), 0u);
    rows.push_back(row.Vector());
  }
  EXPECT_EQ(rows[0], (Bytes{7, 7, 7}));
  EXPECT_EQ(rows[1], (Bytes{7, 7, 1, 2}));
  EXPECT_EQ(rows[2], (Bytes{3, 4, 5}));
  EXPECT_EQ(source.Position(), packed.Span().size());
}

TEST(TargaRLEDecoder, SourceStopsRightAfterARowThatEndsWithItsPacket) {
  const THeapBytes packed(Bytes{0x81, 5, 0x01, 6, 7, 0x83, 9});
  TSourceCursor source(packed.Span());
  TTargaRLEDecoder decoder(8);
  THeapBytes row(4);
  TTargetCursor target(row.Span());
  decoder.Decode(source, target, 0, 4);
  EXPECT_EQ(row.Vector(), (Bytes{5, 5, 6, 7}));
  EXPECT_EQ(source.Position(), 5u);  // at the next row's first packet
}

TEST(TargaRLEDecoder, DecodeInitForgetsACarriedPacket) {
  TTargaRLEDecoder decoder(8);
  const THeapBytes first(Bytes{0x84, 7});
  TSourceCursor source(first.Span());
  THeapBytes row(2);
  TTargetCursor target(row.Span());
  decoder.Decode(source, target, 0, 2);
  decoder.DecodeInit();
  EXPECT_EQ(DecodeOnce(decoder, {0x81, 3}, 2, 0, 2).Output, (Bytes{3, 3}));
}

TEST(TargaRLEDecoder, DamagedDataRaiseAndLeaveTheSourceWhereItWas) {
  TTargaRLEDecoder decoder(24);
  // A run whose pixel is cut short, a raw packet that claims more pixels than follow, no packets at all.
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {0x82, 1, 2}, 9, 0, 3); }), kTargaEnded);
  EXPECT_EQ(CompressionMessage([&] {
              DecodeOnce(decoder, {0x09, 1, 2, 3, 4, 5, 6}, 30, 0, 10);
            }),
            kTargaEnded);
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {}, 3, 0, 1); }), kTargaEnded);
  // More pixels wanted than the target holds.
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {0x82, 1, 2, 3}, 8, 0, 3); }), kTargaFull);

  const THeapBytes packed(Bytes{0x81, 1, 2, 3, 0x05, 1});
  TSourceCursor source(packed.Span());
  THeapBytes row(12);
  TTargetCursor target(row.Span());
  EXPECT_THROW(decoder.Decode(source, target, 0, 4), EGraphicCompression);
  EXPECT_EQ(source.Position(), 0u);
}

TEST(TargaRLEDecoder, ZeroOrNegativePixelCountsDecodeNothing) {
  TTargaRLEDecoder decoder(8);
  EXPECT_EQ(DecodeOnce(decoder, {0x81, 3}, 2, 0, 0).SourcePosition, 0u);
  EXPECT_EQ(DecodeOnce(decoder, {0x81, 3}, 2, 0, -5).Output, (Bytes{0, 0}));
}

// ---- Targa encoding ----

struct TEncoded {
  Bytes Packed;
  uint32_t Stored = 0;
};

TEncoded Encode(uint32_t depth, const Bytes& pixels, size_t room) {
  TTargaRLEDecoder encoder(depth);
  const THeapBytes source(pixels);
  THeapBytes target(room);
  TEncoded result;
  const uint32_t pixelSize = (depth + 1) / 8;
  encoder.Encode(TSourceCursor(source.Span()), TTargetCursor(target.Span()),
                 static_cast<uint32_t>(pixels.size() / pixelSize), result.Stored);
  result.Packed = target.Vector();
  result.Packed.resize(result.Stored);
  return result;
}

TEST(TargaRLEEncoder, WorkedValues) {
  EXPECT_EQ(Encode(8, {5, 5, 5, 7, 8}, 10).Packed, (Bytes{0x82, 5, 0x01, 7, 8}));
  EXPECT_EQ(Encode(8, {5, 5, 5, 7, 8}, 10).Stored, 5u);
  EXPECT_EQ(Encode(8, {7, 8}, 4).Packed, (Bytes{0x01, 7, 8}));
  EXPECT_EQ(Encode(8, {9}, 2).Packed, (Bytes{0x00, 9}));
  EXPECT_EQ(Encode(8, Repeated(4, 200), 400).Packed, (Bytes{0xFF, 4, 0xC7, 4}));
  EXPECT_EQ(Encode(8, {}, 2).Stored, 0u);
}

TEST(TargaRLEEncoder, RawPacketsStopBeforeARunAndAt128Pixels) {
  EXPECT_EQ(Encode(8, {1, 2, 2, 3}, 8).Packed, (Bytes{0x00, 1, 0x81, 2, 0x00, 3}));
  Bytes ramp(130);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<uint8_t>(i);
  const auto packed = Encode(8, ramp, 260).Packed;
  ASSERT_EQ(packed.size(), 132u);
  EXPECT_EQ(packed[0], 0x7F);
  EXPECT_EQ(packed[129], 0x01);
  EXPECT_EQ(packed[131], 129);
}

TEST(TargaRLEEncoder, PixelsCompareByAllTheirBytes) {
  // 24-bit pixels that share their first byte are not equal.
  EXPECT_EQ(Encode(24, {1, 2, 3, 1, 2, 4}, 12).Packed, (Bytes{0x01, 1, 2, 3, 1, 2, 4}));
  EXPECT_EQ(Encode(16, {1, 2, 1, 2, 1, 2}, 12).Packed, (Bytes{0x82, 1, 2}));
  EXPECT_EQ(Encode(15, {1, 2, 1, 2}, 12).Packed, (Bytes{0x81, 1, 2}));
}

TEST(TargaRLEEncoder, RoundTripsThroughTheDecoderForEveryDepth) {
  std::mt19937 random(7);
  for (uint32_t depth : {8u, 16u, 24u, 32u}) {
    const size_t pixelSize = depth / 8;
    Bytes pixels;
    while (pixels.size() < 700 * pixelSize) {
      // Stretches of equal and of differing pixels, some longer than one packet.
      const size_t length = 1 + random() % 300;
      const bool equal = random() % 2 == 0;
      Bytes pixel(pixelSize);
      for (size_t i = 0; i < length; ++i) {
        if (!equal || i == 0)
          for (auto& b : pixel) b = static_cast<uint8_t>(random() % 3);
        pixels.insert(pixels.end(), pixel.begin(), pixel.end());
      }
    }
    pixels.resize(700 * pixelSize);
    const auto encoded = Encode(depth, pixels, 2 * pixels.size());
    TTargaRLEDecoder decoder(depth);
    const auto decoded = DecodeOnce(decoder, encoded.Packed, pixels.size(), 0, 700);
    EXPECT_EQ(decoded.Output, pixels) << "depth " << depth;
    EXPECT_EQ(decoded.SourcePosition, encoded.Packed.size());
  }
}

TEST(TargaRLEEncoder, TooLittleRoomOrTooFewPixelsRaise) {
  EXPECT_THROW(Encode(8, {1, 2, 3, 4}, 4), ERangeError);
  TTargaRLEDecoder encoder(24);
  const THeapBytes source(Bytes{1, 2, 3});
  THeapBytes target(16);
  uint32_t stored = 0;
  EXPECT_THROW(encoder.Encode(TSourceCursor(source.Span()), TTargetCursor(target.Span()), 2, stored),
               ERangeError);
}

// ---- PackBits ----

const std::string kPackBitsEnded = "Cannot load image. The PackBits data end inside a packet.";
const std::string kPackBitsFull = "Cannot load image. The PackBits data unpack past the room given for them.";

TEST(PackbitsRLEDecoder, DecodesTheClassicExampleAndMovesNoCursor) {
  const Bytes packed{0xFE, 0xAA, 0x02, 0x80, 0x00, 0x2A, 0xFD, 0xAA,
                     0x03, 0x80, 0x00, 0x2A, 0x22, 0xF7, 0xAA};
  TPackbitsRLEDecoder decoder;
  const auto out = DecodeOnce(decoder, packed, 24, 24);
  EXPECT_EQ(out.Output, Joined({Repeated(0xAA, 3),
                                {0x80, 0x00, 0x2A},
                                Repeated(0xAA, 4),
                                {0x80, 0x00, 0x2A, 0x22},
                                Repeated(0xAA, 10)}));
  EXPECT_EQ(out.SourcePosition, 0u);
  EXPECT_EQ(out.DestPosition, 0u);
}

TEST(PackbitsRLEDecoder, MinusOneTwentyEightConsumesOnlyItsHeader) {
  TPackbitsRLEDecoder decoder;
  EXPECT_EQ(DecodeOnce(decoder, {0x80}, 3, 3).Output, (Bytes{0, 0, 0}));
  EXPECT_EQ(DecodeOnce(decoder, {0x80, 0x00, 0x41}, 1, 1).Output, (Bytes{0x41}));
}

TEST(PackbitsRLEDecoder, CopiesAndRepeatsAreCutAtTheRemainingCounts) {
  TPackbitsRLEDecoder decoder;
  // A copy of 6 with two packed bytes left copies those two.
  EXPECT_EQ(DecodeOnce(decoder, {0x05, 1, 2}, 6, 6).Output, (Bytes{1, 2, 0, 0, 0, 0}));
  // PackedSize counts the header: 3 bytes give the header and two of the copy.
  EXPECT_EQ(DecodeOnce(decoder, {0x02, 1, 2, 3}, 3, 3, 3).Output, (Bytes{1, 2, 0}));
  // A repeat of 8 and a copy of 4 into 3 bytes of room.
  EXPECT_EQ(DecodeOnce(decoder, {0xF9, 9}, 3, 3).Output, (Bytes{9, 9, 9}));
  EXPECT_EQ(DecodeOnce(decoder, {0x03, 1, 2, 3, 4}, 3, 3).Output, (Bytes{1, 2, 3}));
  // Room beyond UnpackedSize stays untouched.
  EXPECT_EQ(DecodeOnce(decoder, {0xF9, 9}, 4, 2).Output, (Bytes{9, 9, 0, 0}));
}

TEST(PackbitsRLEDecoder, NoDataOrNoRoomDecodeNothing) {
  TPackbitsRLEDecoder decoder;
  EXPECT_EQ(DecodeOnce(decoder, {0xF9, 9}, 2, 0, 2).Output, (Bytes{0, 0}));
  EXPECT_EQ(DecodeOnce(decoder, {0xF9, 9}, 2, -1, 2).Output, (Bytes{0, 0}));
  EXPECT_EQ(DecodeOnce(decoder, {0xF9, 9}, 2, 2, -1).Output, (Bytes{0, 0}));
}

TEST(PackbitsRLEDecoder, LyingSizesAndACutRepeatRaise) {
  TPackbitsRLEDecoder decoder;
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {0xFE}, 3, 3); }), kPackBitsEnded);
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {0xFE, 1}, 3, 5, 3); }), kPackBitsEnded);
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {0xFE, 1}, 3, 2, 4); }), kPackBitsFull);
}

// ---- PCX ----

TEST(PCXRLEDecoder, RunsAndLiteralBytes) {
  TPCXRLEDecoder decoder;
  const auto out = DecodeOnce(decoder, {0xC3, 7, 0x05, 0xBF, 0xC1, 0xC2}, 6, 0, 6);
  EXPECT_EQ(out.Output, (Bytes{7, 7, 7, 0x05, 0xBF, 0xC2}));
  EXPECT_EQ(out.SourcePosition, 0u);
  EXPECT_EQ(out.DestPosition, 0u);
}

TEST(PCXRLEDecoder, C0WritesNothingAndConsumesBothBytes) {
  TPCXRLEDecoder decoder;
  EXPECT_EQ(DecodeOnce(decoder, {0xC0, 0x55, 0x01}, 1, 0, 1).Output, (Bytes{0x01}));
}

TEST(PCXRLEDecoder, RunsAreCutAtTheUnpackedCount) {
  TPCXRLEDecoder decoder;
  EXPECT_EQ(DecodeOnce(decoder, {0xFF, 1}, 10, 0, 10).Output, Repeated(1, 10));
  EXPECT_EQ(DecodeOnce(decoder, {0xFF, 1}, 12, 0, 10).Output, Joined({Repeated(1, 10), {0, 0}}));
}

TEST(PCXRLEDecoder, DataEndingBeforeTheRowsAreFullRaise) {
  TPCXRLEDecoder decoder;
  const std::string ended = "Cannot load image. The PCX run-length data end inside a packet.";
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {0xC5}, 5, 0, 5); }), ended);
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {0xC2, 1, 3}, 5, 0, 5); }), ended);
  EXPECT_EQ(CompressionMessage([&] {
              DecodeOnce(decoder, {0xC2, 1}, 1, 0, 2);
            }),
            "Cannot load image. The PCX run-length data unpack past the room given for them.");
}

// ---- SGI ----

TEST(SGIRLEDecoder, EightBitCopiesRepeatsAndEnd) {
  TSGIRLEDecoder decoder(8);
  const auto out = DecodeOnce(decoder, {0x83, 1, 2, 3, 0x02, 9, 0x00, 0x85}, 5, 0, 0);
  EXPECT_EQ(out.Output, (Bytes{1, 2, 3, 9, 9}));
  EXPECT_EQ(out.SourcePosition, 0u);
  EXPECT_EQ(out.DestPosition, 0u);
}

TEST(SGIRLEDecoder, CountZeroEndsTheRowAtOnce) {
  TSGIRLEDecoder decoder(8);
  EXPECT_EQ(DecodeOnce(decoder, {0x00, 0x83, 1, 2, 3}, 3, 0, 3).Output, (Bytes{0, 0, 0}));
  EXPECT_EQ(DecodeOnce(decoder, {0x80, 0x81, 1}, 1, 0, 1).Output, (Bytes{0}));
}

TEST(SGIRLEDecoder, SixteenBitSamplesKeepTheirByteOrder) {
  TSGIRLEDecoder decoder(16);
  EXPECT_EQ(DecodeOnce(decoder, {0x00, 0x03, 0x12, 0x34, 0x00, 0x00}, 6, 0, 3).Output,
            (Bytes{0x12, 0x34, 0x12, 0x34, 0x12, 0x34}));
  EXPECT_EQ(DecodeOnce(decoder, {0x00, 0x82, 1, 2, 3, 4, 0x00, 0x00}, 4, 0, 2).Output, (Bytes{1, 2, 3, 4}));
  // Only the low byte's bits count, as in the 8-bit form.
  EXPECT_EQ(DecodeOnce(decoder, {0xFF, 0x01, 5, 6, 0x7F, 0x00}, 2, 0, 1).Output, (Bytes{5, 6}));
}

TEST(SGIRLEDecoder, MissingEndMarkersCutPacketsAndOverlongRowsRaise) {
  const std::string ended = "Cannot load image. The SGI run-length data end inside a packet.";
  const std::string full = "Cannot load image. The SGI run-length data unpack past the room given for them.";
  TSGIRLEDecoder eight(8);
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(eight, {0x81, 1}, 4, 0, 4); }), ended);
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(eight, {0x84, 1, 2}, 4, 0, 4); }), ended);
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(eight, {0x05, 1, 0x00}, 4, 0, 4); }), full);
  TSGIRLEDecoder sixteen(16);
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(sixteen, {0x00, 0x02, 1}, 4, 0, 2); }), ended);
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(sixteen, {0x00}, 4, 0, 2); }), ended);
  EXPECT_EQ(CompressionMessage([&] {
              DecodeOnce(sixteen, {0x00, 0x83, 1, 2, 3, 4, 5, 6, 0, 0}, 4, 0, 2);
            }),
            full);
}

// ---- Dr. Halo CUT ----

TEST(CUTRLEDecoder, SkipsTheRowLengthAndCarriesTheSourceFromRowToRow) {
  const THeapBytes packed(Bytes{0xFF, 0xFF, 0x03, 1, 2, 3, 0x82, 9, 0x00,  // row 1
                                0x12, 0x34, 0x80, 7, 0x84, 4, 0x00});      // row 2
  TSourceCursor source(packed.Span());
  TCUTRLEDecoder decoder;
  THeapBytes row(5);
  TTargetCursor target(row.Span());
  decoder.Decode(source, target, 0, 5);
  EXPECT_EQ(row.Vector(), (Bytes{1, 2, 3, 9, 9}));
  EXPECT_EQ(source.Position(), 9u);
  EXPECT_EQ(target.Position(), 0u);

  THeapBytes second(4);
  TTargetCursor secondTarget(second.Span());
  decoder.Decode(source, secondTarget, 0, 4);
  EXPECT_EQ(second.Vector(), (Bytes{4, 4, 4, 4}));  // 0x80 7 wrote nothing
  EXPECT_EQ(source.Position(), packed.Span().size());
}

TEST(CUTRLEDecoder, DamagedRowsRaiseAndLeaveTheSourceWhereItWas) {
  TCUTRLEDecoder decoder;
  const std::string ended = "Cannot load image. The Dr. Halo run-length data end inside a packet.";
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {0x00}, 4, 0, 4); }), ended);
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {0, 0, 0x02, 1, 2}, 4, 0, 4); }), ended);
  EXPECT_EQ(CompressionMessage([&] {
              DecodeOnce(decoder, {0, 0, 0x85, 1, 0x00}, 4, 0, 4);
            }),
            "Cannot load image. The Dr. Halo run-length data unpack past the room given for them.");

  const THeapBytes packed(Bytes{0, 0, 0x81, 1});
  TSourceCursor source(packed.Span());
  THeapBytes row(4);
  TTargetCursor target(row.Span());
  EXPECT_THROW(decoder.Decode(source, target, 0, 4), EGraphicCompression);
  EXPECT_EQ(source.Position(), 0u);
}

// ---- Paint Shop Pro and RLA ----

TEST(PSPRLEDecoder, CopiesRepeatsAndEmptyPackets) {
  TPSPRLEDecoder decoder;
  const auto out = DecodeOnce(decoder, {0x03, 1, 2, 3, 0x84, 9, 0x80, 5, 0x00}, 8, 0);
  EXPECT_EQ(out.Output, (Bytes{1, 2, 3, 9, 9, 9, 9, 0}));
  EXPECT_EQ(out.SourcePosition, 0u);
  EXPECT_EQ(out.DestPosition, 0u);
  EXPECT_EQ(DecodeOnce(decoder, {0x84, 9}, 4, 0, 4).Output, (Bytes{0, 0, 0, 0}));
}

TEST(PSPRLEDecoder, CutPacketsLyingSizesAndOverlongChannelsRaise) {
  TPSPRLEDecoder decoder;
  const std::string ended = "Cannot load image. The Paint Shop Pro run-length data end inside a packet.";
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {0x03, 1, 2}, 8, 0); }), ended);
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {0x84}, 8, 0); }), ended);
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {0x84, 1}, 8, 3, 0); }), ended);
  EXPECT_EQ(CompressionMessage([&] {
              DecodeOnce(decoder, {0x85, 1}, 4, 0);
            }),
            "Cannot load image. The Paint Shop Pro run-length data unpack past the room given for them.");
}

TEST(RLADecoder, CopiesAndRepeats) {
  TRLADecoder decoder;
  const auto out = DecodeOnce(decoder, {0xFD, 1, 2, 3, 0x02, 9, 0x00, 4}, 8, 0);
  EXPECT_EQ(out.Output, (Bytes{1, 2, 3, 9, 9, 9, 4, 0}));
  EXPECT_EQ(out.SourcePosition, 0u);
  EXPECT_EQ(out.DestPosition, 0u);
  EXPECT_EQ(DecodeOnce(decoder, {0x02, 9}, 4, 0, 4).Output, (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(DecodeOnce(decoder, {0x00, 5}, 3, 0).Output, (Bytes{5, 0, 0}));
}

TEST(RLADecoder, CutPacketsLyingSizesAndOverlongChannelsRaise) {
  TRLADecoder decoder;
  const std::string ended = "Cannot load image. The RLA run-length data end inside a packet.";
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {0xFC, 1, 2}, 8, 0); }), ended);
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {0x05}, 8, 0); }), ended);
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, {0x01, 1}, 8, 4, 0); }), ended);
  EXPECT_EQ(CompressionMessage([&] {
              DecodeOnce(decoder, {0x7F, 1}, 127, 0);
            }),
            "Cannot load image. The RLA run-length data unpack past the room given for them.");
}

// ---- Every decoder on random data ----

TEST(RunLengthDecoders, RandomDataNeverReachOutsideTheirBuffers) {
  std::mt19937 random(1234);
  std::vector<std::unique_ptr<TDecoder>> decoders;
  for (uint32_t depth : {8u, 16u, 24u, 32u}) decoders.push_back(std::make_unique<TTargaRLEDecoder>(depth));
  decoders.push_back(std::make_unique<TPackbitsRLEDecoder>());
  decoders.push_back(std::make_unique<TPCXRLEDecoder>());
  decoders.push_back(std::make_unique<TSGIRLEDecoder>(8));
  decoders.push_back(std::make_unique<TSGIRLEDecoder>(16));
  decoders.push_back(std::make_unique<TCUTRLEDecoder>());
  decoders.push_back(std::make_unique<TPSPRLEDecoder>());
  decoders.push_back(std::make_unique<TRLADecoder>());
  int completed = 0;
  int raised = 0;
  for (int round = 0; round < 3000; ++round) {
    Bytes packed(random() % 40);
    for (auto& b : packed) b = static_cast<uint8_t>(random());
    const size_t room = random() % 64;
    for (auto& decoder : decoders) {
      try {
        DecodeOnce(*decoder, packed, room, static_cast<int32_t>(packed.size()),
                   static_cast<int32_t>(room / 4));
        ++completed;
      } catch (const EGraphicCompression&) {
        ++raised;
      }
    }
  }
  // Both outcomes occur; anything else (a crash, another exception) fails the test.
  EXPECT_GT(completed, 1000);
  EXPECT_GT(raised, 1000);
}

}  // namespace
