// What the PackBits, Paint Shop Pro run-length and deflate decoders report of the room their data filled (the
// LZW, fax, ThunderScan and TIFF-JPEG decoders' tests say it for theirs): readers tell strips whose data end
// early by it.

#include <gtest/gtest.h>
#include <zlib.h>

#include "picture_formats/decoder_lz77.h"
#include "picture_formats/decoders_rle.h"
#include "tests/picture_formats/decoder_test_support.h"

namespace {

TEST(UnpackedBytes, PackBitsCountsWhatItWroteAndStopsWhenTheRoomIsFull) {
  TPackbitsRLEDecoder packBits;
  const Bytes packed{0xFE, 7, 0x01, 1, 2, 0x80, 0x80, 0xFD, 9};
  EXPECT_EQ(DecodeOnce(packBits, packed, 9, 9).Output, (Bytes{7, 7, 7, 1, 2, 9, 9, 9, 9}));
  EXPECT_EQ(packBits.LastUnpackedBytes(), 9u);
  // Data that end before the room does (the no-operation headers write nothing).
  DecodeOnce(packBits, Bytes(packed.begin(), packed.begin() + 7), 9, 9);
  EXPECT_EQ(packBits.LastUnpackedBytes(), 5u);
  // Room for four: the decoder stops there and reads nothing more.
  EXPECT_EQ(DecodeOnce(packBits, packed, 4, 4).Output, (Bytes{7, 7, 7, 1}));
  EXPECT_EQ(packBits.LastUnpackedBytes(), 4u);
}

TEST(UnpackedBytes, PaintShopProRunLengthCountsWhatItWrote) {
  // A repeat of 3, a copy of 2: 5 bytes, whatever room is left after them.
  TPSPRLEDecoder psp;
  const Bytes packed{0x83, 7, 0x02, 1, 2};
  EXPECT_EQ(DecodeOnce(psp, packed, 8, 8).Output, (Bytes{7, 7, 7, 1, 2, 0, 0, 0}));
  EXPECT_EQ(psp.LastUnpackedBytes(), 5u);
  DecodeOnce(psp, Bytes(packed.begin(), packed.begin() + 2), 8, 8);
  EXPECT_EQ(psp.LastUnpackedBytes(), 3u);
}

TEST(UnpackedBytes, DeflateCountsWhatZlibProduced) {
  Bytes pixels(700);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * i / 7);
  uLongf size = compressBound(uLong(pixels.size()));
  Bytes packed(size);
  ASSERT_EQ(compress(packed.data(), &size, pixels.data(), uLong(pixels.size())), Z_OK);
  packed.resize(size);
  TLZ77Decoder strips(Z_PARTIAL_FLUSH, true);
  strips.DecodeInit();
  // A whole stream of fewer bytes than the room: the room is not filled, and the count says so.
  const Bytes out = DecodeOnce(strips, packed, 900, 900).Output;
  EXPECT_EQ(strips.LastUnpackedBytes(), 700u);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 700), pixels);
  DecodeOnce(strips, packed, 300, 300);
  EXPECT_EQ(strips.LastUnpackedBytes(), 300u);
}

}  // namespace
