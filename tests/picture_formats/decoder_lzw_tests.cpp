#include "picture_formats/decoder_lzw.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/picture_formats/decoder_test_support.h"
#include "tests/picture_formats/lzw_test_support.h"

namespace {

Bytes Noise(size_t size, int alphabet, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  // Runs of repeated bytes among the noise give long strings as well as short ones.
  for (size_t i = 0; i < size; ++i)
    bytes[i] = (random() % 4 == 0 && i > 0) ? bytes[i - 1] : static_cast<uint8_t>(random() % alphabet);
  return bytes;
}

TEST(TIFFLZWDecoder, WorkedStreamStopsAtItsEndCode) {
  // clear, 65, 66, 258, end; then codes that must not be read.
  const Bytes packed = TLZWTestEncoder::Pack(true, {{256, 9}, {65, 9}, {66, 9}, {258, 9}, {257, 9}, {67, 9}});
  TTIFFLZWDecoder decoder;
  const auto result = DecodeOnce(decoder, packed, 6, 6);
  EXPECT_EQ(result.Output, (Bytes{65, 66, 65, 66, 0, 0}));
  EXPECT_EQ(result.SourcePosition, 0u);
  EXPECT_EQ(result.DestPosition, 0u);
  // The first code after a clear writes one byte; one beyond the table there is skipped.
  EXPECT_EQ(
      DecodeOnce(decoder, TLZWTestEncoder::Pack(true, {{256, 9}, {300, 9}, {258, 9}, {7, 9}, {257, 9}}), 3, 3)
          .Output,
      (Bytes{7, 0, 0}));
}

TEST(LZWDecoders, EncodedNoiseComesBackAtEveryWidthAndAcrossClears) {
  // 20000 bytes of little repetition fill the table several times: widths 9 to 12 and clear codes.
  for (int size : {2, 3, 5, 8}) {
    const Bytes data = Noise(20000, 1 << size, unsigned(size));
    for (TLZWFull full : {TLZWFull::Clear, TLZWFull::NoClear}) {
      TGIFLZWDecoder gif(static_cast<uint8_t>(size));
      const Bytes packed = TLZWTestEncoder(TLZWTestDialect::GIF, size, full).Encode(data);
      EXPECT_EQ(DecodeOnce(gif, packed, data.size(), int32_t(data.size())).Output, data) << size;
    }
  }
  const Bytes data = Noise(20000, 256, 7);
  TTIFFLZWDecoder tiff;
  const Bytes packed = TLZWTestEncoder(TLZWTestDialect::TIFF, 8, TLZWFull::Clear).Encode(data);
  EXPECT_EQ(DecodeOnce(tiff, packed, data.size(), int32_t(data.size())).Output, data);
  // Less room than the data: the room is filled and nothing is written past it.
  EXPECT_EQ(DecodeOnce(tiff, packed, 777, 777).Output, Bytes(data.begin(), data.begin() + 777));
  TGIFLZWDecoder gif(8);
  const Bytes gifPacked = TLZWTestEncoder(TLZWTestDialect::GIF, 8, TLZWFull::NoClear).Encode(data);
  EXPECT_EQ(DecodeOnce(gif, gifPacked, 4321, 4321).Output, Bytes(data.begin(), data.begin() + 4321));
}

TEST(LZWDecoders, WidthsGrowOneCodeEarlyInTIFFAndOnTimeInGIF) {
  // 256 distinct pairs add the entries 258..511 (TIFF) or 258..513 (GIF); a 10-bit code follows.
  std::vector<std::pair<int, int>> tiff{{256, 9}}, gif{{256, 9}};
  Bytes expected;
  for (int i = 0; i < 254; ++i) {
    tiff.push_back({i, 9});
    gif.push_back({i, 9});
    expected.push_back(uint8_t(i));
  }
  // TIFF: the 254th literal added entry 510, so the next code is read with 10 bits.
  tiff.push_back({258, 10});
  tiff.push_back({257, 10});
  TTIFFLZWDecoder tiffDecoder;
  Bytes tiffExpected = expected;
  tiffExpected.insert(tiffExpected.end(), {0, 1});
  EXPECT_EQ(DecodeOnce(tiffDecoder, TLZWTestEncoder::Pack(true, tiff), 256, 256).Output, tiffExpected);
  // GIF: entries up to 511 still take 9-bit codes.
  gif.push_back({254, 9});
  gif.push_back({258, 10});
  gif.push_back({257, 10});
  TGIFLZWDecoder gifDecoder(8);
  Bytes gifExpected = expected;
  gifExpected.insert(gifExpected.end(), {254, 0, 1});
  EXPECT_EQ(DecodeOnce(gifDecoder, TLZWTestEncoder::Pack(false, gif), 257, 257).Output, gifExpected);
}

TEST(GIFLZWDecoder, SmallCodesEndCodesAndDamage) {
  // Minimum code size 2: clear 4, end 5, first free 6, 3-bit codes; a code equal to the next free code
  // is the previous string and its own first byte.
  TGIFLZWDecoder decoder(2);
  const Bytes packed = TLZWTestEncoder::Pack(false, {{4, 3}, {1, 3}, {6, 3}, {5, 3}, {2, 3}, {3, 3}});
  // The end code does not stop the call: the codes after it are decoded while room remains.
  EXPECT_EQ(DecodeOnce(decoder, packed, 5, 5).Output, (Bytes{1, 1, 1, 2, 3}));
  // Codes far beyond the table leave their bits behind, byte after byte: decoding stops, quietly.
  EXPECT_EQ(DecodeOnce(decoder, Bytes(64, 0xFF), 8, 8).Output, Bytes(8, 0));
  TGIFLZWDecoder tooWide(9), zero(0);
  EXPECT_THROW(DecodeOnce(tooWide, packed, 6, 6), ERangeError);
  EXPECT_THROW(DecodeOnce(zero, packed, 6, 6), ERangeError);
}

TEST(TIFFLZWDecoder, AStreamThatOverflowsTheTableRaises) {
  const Bytes data = Noise(20000, 256, 3);
  const Bytes packed = TLZWTestEncoder(TLZWTestDialect::TIFF, 8, TLZWFull::NoClear).Encode(data);
  TTIFFLZWDecoder decoder;
  EXPECT_EQ(RaisedMessage<EGraphicCompression>(
                [&] { DecodeOnce(decoder, packed, data.size(), int32_t(data.size())); }),
            "Cannot load image. The LZW data overflow their code table.");
}

TEST(LZWDecoders, TellHowFarTheDataFilledTheRoom) {
  const Bytes data = Noise(3000, 256, 5);
  for (const auto dialect : {TLZWTestDialect::TIFF, TLZWTestDialect::GIF}) {
    const Bytes packed = TLZWTestEncoder(dialect, 8, TLZWFull::Clear).Encode(data);
    TTIFFLZWDecoder tiff;
    TGIFLZWDecoder gif(8);
    TDecoder& decoder = dialect == TLZWTestDialect::TIFF ? static_cast<TDecoder&>(tiff) : gif;
    // Room to spare, room exactly filled, and data cut in half.
    const TDecodeResult spare = DecodeOnce(decoder, packed, 4000, 4000);
    EXPECT_EQ(decoder.LastUnpackedBytes(), data.size());
    EXPECT_EQ(Bytes(spare.Output.begin(), spare.Output.begin() + 3000), data);
    DecodeOnce(decoder, packed, 3000, 3000);
    EXPECT_EQ(decoder.LastUnpackedBytes(), data.size());
    const Bytes half(packed.begin(), packed.begin() + long(packed.size() / 2));
    const TDecodeResult cut = DecodeOnce(decoder, half, 3000, 3000);
    EXPECT_GT(decoder.LastUnpackedBytes(), 0u);
    EXPECT_LT(decoder.LastUnpackedBytes(), data.size());
    EXPECT_EQ(Bytes(cut.Output.begin(), cut.Output.begin() + long(decoder.LastUnpackedBytes())),
              Bytes(data.begin(), data.begin() + long(decoder.LastUnpackedBytes())));
  }
}

}  // namespace
