// The deflate decoder's own rules (the TIFF, PNG and Paint Shop Pro readers run it on real files): one
// stream per strip, a missing end judged by whoever feeds the stream, damaged streams, and bounds.
#include "picture_formats/decoder_lz77.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/picture_formats/decoder_test_support.h"

namespace {

const std::string kLZ77Error = "LZ77 decompression error.";

// Picture-like bytes: a gradient with some noise, so the stream holds back references and literals.
Bytes SamplePixels(size_t size) {
  Bytes pixels(size);
  uint32_t noise = 12345;
  for (size_t i = 0; i < size; ++i) {
    noise = noise * 1103515245 + 12345;
    pixels[i] = static_cast<uint8_t>(i / 7 + ((noise >> 16) & 3));
  }
  return pixels;
}

Bytes Compressed(const Bytes& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  Bytes packed(size);
  EXPECT_EQ(compress(packed.data(), &size, data.data(), static_cast<uLong>(data.size())), Z_OK);
  packed.resize(size);
  return packed;
}

std::string DecodeError(TLZ77Decoder& decoder, const Bytes& packed, size_t room) {
  return RaisedMessage<EGraphicCompression>(
      [&] { DecodeOnce(decoder, packed, room, static_cast<int32_t>(room)); });
}

TEST(LZ77Decoder, AutoResetStartsEachStripAnewAndAShortStreamLeavesTheRestUntouched) {
  const Bytes pixels = SamplePixels(5000), packed = Compressed(pixels);
  // The decoder is left initialised: its destructor ends the stream (LeakSanitizer would see it).
  TLZ77Decoder strips(Z_PARTIAL_FLUSH, true);
  strips.DecodeInit();
  const auto first = DecodeOnce(strips, packed, 5000, 5000);
  EXPECT_EQ(first.Output, pixels);
  EXPECT_EQ(first.SourcePosition + first.DestPosition, packed.size() + 5000);
  Bytes expected = pixels;
  expected.resize(6000);
  EXPECT_EQ(DecodeOnce(strips, packed, 6000, 6000).Output, expected);
}

TEST(LZ77Decoder, TruncatedStreamsRaiseOnlyWhenTheCallMustHoldTheWholeStream) {
  Bytes packed = Compressed(SamplePixels(3000));
  packed.resize(packed.size() / 2);
  for (const auto& [flush, autoReset] : {std::pair{Z_PARTIAL_FLUSH, true}, std::pair{Z_FINISH, false}}) {
    TLZ77Decoder decoder(flush, autoReset);
    decoder.DecodeInit();
    EXPECT_EQ(DecodeError(decoder, packed, 3000), kLZ77Error);
  }
  // Fed chunk by chunk, a missing end is the caller's to judge.
  TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
  decoder.DecodeInit();
  EXPECT_EQ(DecodeError(decoder, packed, 3000), "");
  EXPECT_EQ(decoder.Status(), Z_OK);
}

TEST(LZ77Decoder, CorruptStreamsRaiseAndStopADecoderWithoutAutoReset) {
  const Bytes good = Compressed(SamplePixels(3000));
  Bytes badHeader = good, badChecksum = good;
  badHeader[1] ^= 0x01;
  badChecksum.back() ^= 0xFF;
  for (const Bytes& packed : {badHeader, badChecksum}) {
    for (const bool autoReset : {true, false}) {
      TLZ77Decoder decoder(Z_PARTIAL_FLUSH, autoReset);
      decoder.DecodeInit();
      EXPECT_EQ(DecodeError(decoder, packed, 3000), kLZ77Error);
      EXPECT_EQ(decoder.Status(), Z_DATA_ERROR);
      if (autoReset) continue;
      const auto again = DecodeOnce(decoder, good, 3000, 3000);
      EXPECT_EQ(again.Output, Bytes(3000, 0));
    }
  }
}

TEST(LZ77Decoder, SizesBeyondTheBuffersAndAMissingInitRaise) {
  const Bytes packed = Compressed(SamplePixels(100));
  TLZ77Decoder decoder(Z_PARTIAL_FLUSH, true);
  decoder.DecodeInit();
  EXPECT_EQ(RaisedMessage<EGraphicCompression>(
                [&] { DecodeOnce(decoder, packed, 100, static_cast<int32_t>(packed.size() + 1), 100); }),
            DataEndedMessage("deflate"));
  EXPECT_EQ(RaisedMessage<EGraphicCompression>([&] { DecodeOnce(decoder, packed, 100, 101); }),
            RoomExceededMessage("deflate"));
  for (const bool autoReset : {false, true}) {
    TLZ77Decoder uninitialised(Z_PARTIAL_FLUSH, autoReset);
    EXPECT_EQ(DecodeError(uninitialised, packed, 100), kLZ77Error);
  }
}

}  // namespace
