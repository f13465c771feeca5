#include "picture_formats/decoder_lz77.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <string>

#include "tests/picture_formats/decoder_test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kLZ77Error = "LZ77 decompression error.";

// Picture-like bytes: rows of a gradient with some noise, so the stream has several blocks' worth of
// back references and literals.
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

std::string LZ77Message(const std::function<void()>& action) {
  try {
    action();
  } catch (const EGraphicCompression& e) {
    return e.Message();
  }
  return "";
}

TEST(LZ77Decoder, InflatesAWholeStreamAndAdvancesBothCursors) {
  const Bytes pixels = SamplePixels(5000);
  const Bytes packed = Compressed(pixels);
  TLZ77Decoder decoder(Z_PARTIAL_FLUSH, true);
  decoder.DecodeInit();
  const auto out = DecodeOnce(decoder, packed, pixels.size(), static_cast<int32_t>(pixels.size()));
  decoder.DecodeEnd();
  EXPECT_EQ(out.Output, pixels);
  EXPECT_EQ(out.SourcePosition, packed.size());
  EXPECT_EQ(out.DestPosition, pixels.size());
  EXPECT_EQ(decoder.Status(), Z_STREAM_END);
  EXPECT_EQ(decoder.GetAvailableInput(), 0u);
  EXPECT_EQ(decoder.GetAvailableOutput(), 0u);
}

TEST(LZ77Decoder, AutoResetDecodesOneStreamPerStrip) {
  const Bytes first = SamplePixels(300);
  const Bytes second(200, 0x5A);
  TLZ77Decoder decoder(Z_PARTIAL_FLUSH, true);
  decoder.DecodeInit();
  EXPECT_EQ(DecodeOnce(decoder, Compressed(first), 300, 300).Output, first);
  EXPECT_EQ(DecodeOnce(decoder, Compressed(second), 200, 200).Output, second);
  EXPECT_EQ(decoder.Status(), Z_STREAM_END);
}

TEST(LZ77Decoder, AStreamSpreadOverChunksDecodesRowByRow) {
  // As the PNG reader feeds it: the input in small chunks, the output a row at a time.
  const Bytes pixels = SamplePixels(4000);
  const THeapBytes packed(Compressed(pixels));
  THeapBytes target(pixels.size());
  TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
  decoder.DecodeInit();
  const size_t chunk = 13;
  const size_t rowSize = 100;
  TSourceCursor source(packed.Span());
  size_t chunkEnd = 0;
  for (size_t row = 0; row < pixels.size() / rowSize; ++row) {
    TTargetCursor rowCursor(target.Span().subspan(row * rowSize, rowSize));
    while (rowCursor.Remaining() > 0 && decoder.Status() == Z_OK) {
      if (source.Position() == chunkEnd) chunkEnd = std::min(chunkEnd + chunk, packed.Span().size());
      decoder.Decode(source, rowCursor, static_cast<int32_t>(chunkEnd - source.Position()),
                     static_cast<int32_t>(rowCursor.Remaining()));
    }
  }
  decoder.DecodeEnd();
  EXPECT_EQ(target.Vector(), pixels);
  EXPECT_EQ(decoder.Status(), Z_STREAM_END);
}

TEST(LZ77Decoder, AfterTheStreamsEndFurtherCallsDoNothing) {
  const Bytes pixels = SamplePixels(64);
  const Bytes packed = Joined({Compressed(pixels), Compressed(pixels)});
  const THeapBytes source(packed);
  THeapBytes target(128);
  TSourceCursor sourceCursor(source.Span());
  TTargetCursor targetCursor(target.Span());
  TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
  decoder.DecodeInit();
  decoder.Decode(sourceCursor, targetCursor, static_cast<int32_t>(packed.size()), 128);
  ASSERT_EQ(decoder.Status(), Z_STREAM_END);
  const size_t sourceAfter = sourceCursor.Position();
  EXPECT_EQ(targetCursor.Position(), 64u);
  EXPECT_GT(decoder.GetAvailableInput(), 0u);  // the second stream is surplus
  EXPECT_EQ(decoder.GetAvailableOutput(), 64u);

  decoder.Decode(sourceCursor, targetCursor, static_cast<int32_t>(sourceCursor.Remaining()), 64);
  EXPECT_EQ(sourceCursor.Position(), sourceAfter);
  EXPECT_EQ(targetCursor.Position(), 64u);
  EXPECT_EQ(target.Vector(), Joined({pixels, Bytes(64, 0)}));
}

TEST(LZ77Decoder, FinishModeInflatesAChannelInOneCall) {
  const Bytes pixels = SamplePixels(1000);
  TLZ77Decoder decoder(Z_FINISH, false);
  decoder.DecodeInit();
  EXPECT_EQ(DecodeOnce(decoder, Compressed(pixels), 1000, 1000).Output, pixels);
  EXPECT_EQ(decoder.Status(), Z_STREAM_END);
  decoder.DecodeEnd();
}

TEST(LZ77Decoder, AStreamShorterThanItsRoomLeavesTheRestUntouched) {
  // A last strip whose nominal rows reach past the picture: the stream ends, nothing is raised.
  const Bytes pixels = SamplePixels(100);
  TLZ77Decoder decoder(Z_PARTIAL_FLUSH, true);
  decoder.DecodeInit();
  const auto out = DecodeOnce(decoder, Compressed(pixels), 150, 150);
  EXPECT_EQ(out.Output, Joined({pixels, Bytes(50, 0)}));
  EXPECT_EQ(decoder.Status(), Z_STREAM_END);
}

TEST(LZ77Decoder, TruncatedStreamsRaiseWhenTheCallMustHoldTheWholeStream) {
  const Bytes pixels = SamplePixels(3000);
  Bytes packed = Compressed(pixels);
  packed.resize(packed.size() / 2);
  for (const auto& [flush, autoReset] : {std::pair{Z_PARTIAL_FLUSH, true}, std::pair{Z_FINISH, false}}) {
    TLZ77Decoder decoder(flush, autoReset);
    decoder.DecodeInit();
    EXPECT_EQ(LZ77Message([&] { DecodeOnce(decoder, packed, 3000, 3000); }), kLZ77Error);
  }
  // Fed chunk by chunk, a missing end is the caller's to judge.
  TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
  decoder.DecodeInit();
  const auto out = DecodeOnce(decoder, packed, 3000, 3000);
  EXPECT_EQ(decoder.Status(), Z_OK);
  EXPECT_GT(decoder.GetAvailableOutput(), 0u);
  EXPECT_EQ(out.SourcePosition, packed.size());
}

TEST(LZ77Decoder, CorruptStreamsRaiseAndKeepTheirStatus) {
  const Bytes pixels = SamplePixels(3000);
  Bytes badHeader = Compressed(pixels);
  badHeader[1] ^= 0x01;  // header check fails
  Bytes badBlock = Compressed(pixels);
  badBlock[2] = 0xFF;  // reserved block type
  Bytes badChecksum = Compressed(pixels);
  badChecksum.back() ^= 0xFF;
  for (const Bytes& packed : {badHeader, badBlock, badChecksum}) {
    for (const auto& [flush, autoReset] :
         {std::pair{Z_PARTIAL_FLUSH, true}, std::pair{Z_PARTIAL_FLUSH, false}, std::pair{Z_FINISH, false}}) {
      TLZ77Decoder decoder(flush, autoReset);
      decoder.DecodeInit();
      EXPECT_EQ(LZ77Message([&] { DecodeOnce(decoder, packed, 3000, 3000); }), kLZ77Error);
      EXPECT_EQ(decoder.Status(), Z_DATA_ERROR);
    }
  }
}

TEST(LZ77Decoder, AfterAnErrorADecoderWithoutAutoResetStaysStopped) {
  Bytes packed = Compressed(SamplePixels(100));
  packed[1] ^= 0x01;
  TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
  decoder.DecodeInit();
  EXPECT_THROW(DecodeOnce(decoder, packed, 100, 100), EGraphicCompression);
  const auto again = DecodeOnce(decoder, Compressed(SamplePixels(100)), 100, 100);
  EXPECT_EQ(again.Output, Bytes(100, 0));
  EXPECT_EQ(again.SourcePosition, 0u);
  EXPECT_EQ(decoder.Status(), Z_DATA_ERROR);
}

TEST(LZ77Decoder, SizesBeyondTheBuffersAndAMissingInitRaise) {
  const Bytes packed = Compressed(SamplePixels(100));
  TLZ77Decoder decoder(Z_PARTIAL_FLUSH, true);
  decoder.DecodeInit();
  EXPECT_EQ(
      LZ77Message([&] { DecodeOnce(decoder, packed, 100, static_cast<int32_t>(packed.size() + 1), 100); }),
      "Cannot load image. The deflate data end inside a packet.");
  EXPECT_EQ(LZ77Message([&] { DecodeOnce(decoder, packed, 100, 101); }),
            "Cannot load image. The deflate data unpack past the room given for them.");

  TLZ77Decoder uninitialised(Z_PARTIAL_FLUSH, false);
  EXPECT_EQ(LZ77Message([&] { DecodeOnce(uninitialised, packed, 100, 100); }), kLZ77Error);
  TLZ77Decoder uninitialisedReset(Z_PARTIAL_FLUSH, true);
  EXPECT_EQ(LZ77Message([&] { DecodeOnce(uninitialisedReset, packed, 100, 100); }), kLZ77Error);
}

TEST(LZ77Decoder, InitAndEndCanRepeatAndTheDestructorCleansUp) {
  const Bytes pixels = SamplePixels(500);
  TLZ77Decoder decoder(Z_FINISH, false);
  for (int pass = 0; pass < 2; ++pass) {
    decoder.DecodeInit();
    EXPECT_EQ(DecodeOnce(decoder, Compressed(pixels), 500, 500).Output, pixels);
    decoder.DecodeEnd();
  }
  // Left initialised: the destructor ends the stream (LeakSanitizer would see zlib's state otherwise).
  TLZ77Decoder abandoned(Z_FINISH, false);
  abandoned.DecodeInit();
}

}  // namespace
