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

TEST(LZ77Decoder, WholeStreamsAdvanceBothCursorsAndAutoResetStartsEachStripAnew) {
  const Bytes pixels = SamplePixels(5000), packed = Compressed(pixels);
  for (const auto& [flush, autoReset] : {std::pair{Z_PARTIAL_FLUSH, true}, std::pair{Z_FINISH, false}}) {
    TLZ77Decoder decoder(flush, autoReset);
    decoder.DecodeInit();
    decoder.DecodeInit();  // starts afresh
    const auto out = DecodeOnce(decoder, packed, 5000, 5000);
    EXPECT_EQ(out.Output, pixels);
    EXPECT_EQ(out.SourcePosition, packed.size());
    EXPECT_EQ(out.DestPosition, 5000u);
    EXPECT_EQ(decoder.Status(), Z_STREAM_END);
    decoder.DecodeEnd();
  }
  // One stream per strip; a stream shorter than its room (a last strip) leaves the rest untouched. The
  // decoder is left initialised: its destructor ends the stream (LeakSanitizer would see it otherwise).
  TLZ77Decoder strips(Z_PARTIAL_FLUSH, true);
  strips.DecodeInit();
  EXPECT_EQ(DecodeOnce(strips, packed, 5000, 5000).Output, pixels);
  Bytes expected = pixels;
  expected.resize(6000);
  EXPECT_EQ(DecodeOnce(strips, packed, 6000, 6000).Output, expected);
}

TEST(LZ77Decoder, AfterTheStreamsEndFurtherCallsDoNothing) {
  const Bytes pixels = SamplePixels(64), stream = Compressed(pixels);
  Bytes twoStreams = stream;
  twoStreams.insert(twoStreams.end(), stream.begin(), stream.end());
  TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
  decoder.DecodeInit();
  const auto first = DecodeOnce(decoder, twoStreams, 128, 128);  // the second stream is surplus
  ASSERT_EQ(decoder.Status(), Z_STREAM_END);
  EXPECT_EQ(first.SourcePosition, stream.size());
  EXPECT_EQ(first.DestPosition, 64u);
  EXPECT_EQ(decoder.GetAvailableOutput(), 64u);
  const auto again = DecodeOnce(decoder, stream, 64, 64);
  EXPECT_EQ(again.Output, Bytes(64, 0));
  EXPECT_EQ(again.SourcePosition + again.DestPosition, 0u);
}

TEST(LZ77Decoder, TruncatedStreamsRaiseWhenTheCallMustHoldTheWholeStream) {
  Bytes packed = Compressed(SamplePixels(3000));
  packed.resize(packed.size() / 2);
  for (const auto& [flush, autoReset] : {std::pair{Z_PARTIAL_FLUSH, true}, std::pair{Z_FINISH, false}}) {
    TLZ77Decoder decoder(flush, autoReset);
    decoder.DecodeInit();
    EXPECT_EQ(RaisedMessage<EGraphicCompression>([&] { DecodeOnce(decoder, packed, 3000, 3000); }),
              kLZ77Error);
  }
  // Fed chunk by chunk, a missing end is the caller's to judge.
  TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
  decoder.DecodeInit();
  const auto out = DecodeOnce(decoder, packed, 3000, 3000);
  EXPECT_EQ(decoder.Status(), Z_OK);
  EXPECT_GT(decoder.GetAvailableOutput(), 0u);
  EXPECT_EQ(out.SourcePosition, packed.size());
}

TEST(LZ77Decoder, CorruptStreamsRaiseKeepTheirStatusAndStopTheDecoder) {
  const Bytes good = Compressed(SamplePixels(3000));
  Bytes badHeader = good, badChecksum = good;
  badHeader[1] ^= 0x01;  // header check fails
  badChecksum.back() ^= 0xFF;
  for (const Bytes& packed : {badHeader, badChecksum}) {
    for (const auto& [flush, autoReset] :
         {std::pair{Z_PARTIAL_FLUSH, true}, std::pair{Z_PARTIAL_FLUSH, false}, std::pair{Z_FINISH, false}}) {
      TLZ77Decoder decoder(flush, autoReset);
      decoder.DecodeInit();
      EXPECT_EQ(RaisedMessage<EGraphicCompression>([&] { DecodeOnce(decoder, packed, 3000, 3000); }),
                kLZ77Error);
      EXPECT_EQ(decoder.Status(), Z_DATA_ERROR);
      if (autoReset) continue;
      // Without AutoReset the decoder stays stopped, even for a sound stream.
      const auto again = DecodeOnce(decoder, good, 3000, 3000);
      EXPECT_EQ(again.Output, Bytes(3000, 0));
      EXPECT_EQ(again.SourcePosition, 0u);
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
    EXPECT_EQ(RaisedMessage<EGraphicCompression>([&] { DecodeOnce(uninitialised, packed, 100, 100); }),
              kLZ77Error);
  }
}

}  // namespace
