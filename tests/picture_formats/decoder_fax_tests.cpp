// The CCITT fax decoders against streams written from the T.4 tables here (real files from libtiff are
// in the TIFF tests), and the ThunderScan decoder.

#include <gtest/gtest.h>

#include <random>

#include "picture_formats/ccitt_codes.h"
#include "picture_formats/decoder_ccitt.h"
#include "picture_formats/decoder_thunder.h"
#include "tests/picture_formats/decoder_test_support.h"

namespace {

class TBitWriter {
 public:
  void Put(uint32_t bits, int length) {
    for (int shift = length - 1; shift >= 0; --shift) {
      if (FBits % 8 == 0) FBytes.push_back(0);
      if ((bits >> shift) & 1) FBytes.back() |= uint8_t(0x80 >> (FBits % 8));
      ++FBits;
    }
  }
  void Put(const TFaxCode& code) { Put(code.Bits, code.Length); }
  void EndOfLine(int fillBits = 0) { Put(1, 12 + fillBits); }
  // Fill bits up to the next multiple of `bytes` bytes.
  void Align(size_t bytes) {
    while (FBits % 8 != 0) Put(0, 1);
    while (FBytes.size() % bytes != 0) Put(0, 8);
  }
  const Bytes& Data() const { return FBytes; }

 private:
  Bytes FBytes;
  size_t FBits = 0;
};

void PutRun(TBitWriter& out, bool white, uint32_t run) {
  const auto& codes = white ? WhiteRunCodes : BlackRunCodes;
  while (run >= 64) {
    const uint32_t makeUp = std::min<uint32_t>(run / 64 * 64, 2560);
    out.Put(makeUp <= 1728 ? codes[63 + makeUp / 64] : ExtendedMakeUpCodes[(makeUp - 1792) / 64]);
    run -= makeUp;
  }
  out.Put(codes[run]);
}

// Rows of pixels (1 = black) packed as the decoders write them.
Bytes PackRows(const std::vector<std::vector<int>>& rows, size_t width) {
  Bytes packed;
  for (const auto& row : rows) {
    Bytes bytes((width + 7) / 8);
    for (size_t x = 0; x < width; ++x)
      if (row[x]) bytes[x / 8] |= uint8_t(0x80 >> (x % 8));
    packed.insert(packed.end(), bytes.begin(), bytes.end());
  }
  return packed;
}

void PutRow(TBitWriter& out, const std::vector<int>& row) {
  bool white = true;
  size_t x = 0;
  do {
    uint32_t run = 0;
    while (x < row.size() && row[x] == (white ? 0 : 1)) ++run, ++x;
    PutRun(out, white, run);
    white = !white;
  } while (x < row.size());
}

std::vector<std::vector<int>> RandomRows(size_t count, size_t width, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::vector<int>> rows(count, std::vector<int>(width));
  for (auto& row : rows) {
    int color = int(random() % 2);
    for (size_t x = 0; x < width;) {
      // Short runs and long ones, so that make-up and extended make-up codes occur.
      const size_t run = random() % 3 == 0 ? random() % 3000 + 1 : random() % 70 + 1;
      for (size_t end = std::min(width, x + run); x < end; ++x) row[x] = color;
      color ^= 1;
    }
  }
  return rows;
}

TEST(CCITTDecoders, RowsOfEveryRunLengthComeBack) {
  const size_t width = 3001;
  const auto rows = RandomRows(40, width, 5);
  const Bytes expected = PackRows(rows, width);
  TBitWriter g3, mh, words;
  for (const auto& row : rows) {
    g3.EndOfLine();
    PutRow(g3, row);
    PutRow(mh, row);
    mh.Align(1);
    PutRow(words, row);
    words.Align(2);
  }
  TCCITTFax3Decoder fax3(0, false, false, width);
  TCCITTMHDecoder huffman(0, false, false, width), wordAligned(0, false, true, width);
  EXPECT_EQ(DecodeOnce(fax3, g3.Data(), expected.size(), int32_t(expected.size())).Output, expected);
  EXPECT_EQ(DecodeOnce(huffman, mh.Data(), expected.size(), int32_t(expected.size())).Output, expected);
  const auto result = DecodeOnce(wordAligned, words.Data(), expected.size(), int32_t(expected.size()));
  EXPECT_EQ(result.Output, expected);
  EXPECT_EQ(result.SourcePosition, 0u);
  EXPECT_EQ(result.DestPosition, 0u);
}

TEST(CCITTDecoders, WorkedRowsAndFillBits) {
  // Fill bits, then the end-of-line code: the row starts after its 1. A white run of 1728 is its make-up
  // code and a terminating 0.
  TBitWriter wide;
  wide.Put(0, 4);
  wide.EndOfLine(3);
  PutRun(wide, true, 1728);
  PutRun(wide, false, 2);
  TCCITTFax3Decoder fax3Wide(0, false, false, 1730);
  Bytes wideRow(217, 0);
  wideRow[216] = 0xC0;
  EXPECT_EQ(DecodeOnce(fax3Wide, wide.Data(), 217, 217).Output, wideRow);
  // Ten pixels take two bytes; the second row starts at the third.
  TBitWriter ten;
  for (const std::vector<int>& row :
       {std::vector<int>{1, 1, 0, 0, 0, 0, 0, 0, 0, 1}, std::vector<int>(10, 1)}) {
    ten.EndOfLine();
    PutRow(ten, row);
  }
  TCCITTFax3Decoder fax3(0, false, false, 10);
  EXPECT_EQ(DecodeOnce(fax3, ten.Data(), 4, 4).Output, (Bytes{0xC0, 0x40, 0xFF, 0xC0}));
  // No packed bytes: white rows.
  TCCITTMHDecoder huffman(0, false, false, 10);
  const THeapBytes none(0);
  TSourceCursor source(none.Span());
  const THeapBytes target(Bytes(4, 0xEE));
  TTargetCursor cursor(target.Span());
  huffman.Decode(source, cursor, 0, 4);
  EXPECT_EQ(target.Vector(), Bytes(4, 0));
}

TEST(CCITTDecoders, ShortRowsAndLongRunsStayInsideTheirRows) {
  // Group 3: a row whose runs end early at an end-of-line code (here after fill bits) leaves the rest
  // white, and the next row follows that code at the start of its own bytes. A run longer than the row
  // is cut.
  TBitWriter g3;
  g3.EndOfLine();
  PutRun(g3, true, 2);
  PutRun(g3, false, 3);
  g3.EndOfLine(5);
  PutRun(g3, true, 0);
  PutRun(g3, false, 40);
  g3.EndOfLine();
  PutRun(g3, true, 16);
  TCCITTFax3Decoder fax3(0, false, false, 16);
  EXPECT_EQ(DecodeOnce(fax3, g3.Data(), 6, 6).Output, (Bytes{0x38, 0x00, 0xFF, 0xFF, 0, 0}));
  // Modified Huffman: the bits after a row in its last byte are dropped, whatever they hold.
  TBitWriter mh;
  PutRow(mh, std::vector<int>(5, 1));
  mh.Put(0b101, 3);
  mh.Align(1);
  PutRow(mh, {1, 0, 1, 0, 1});
  TCCITTMHDecoder huffman(0, false, false, 5);
  EXPECT_EQ(DecodeOnce(huffman, mh.Data(), 2, 2).Output, (Bytes{0xF8, 0xA8}));
}

TEST(CCITTDecoders, CountTheRowsTheirDataFilledAndStopWhenTheRoomIsFull) {
  const size_t width = 300;
  const auto rows = RandomRows(6, width, 9);
  const size_t rowBytes = (width + 7) / 8;
  TBitWriter g3, mh;
  for (const auto& row : rows) {
    g3.EndOfLine();
    PutRow(g3, row);
    PutRow(mh, row);
    mh.Align(1);
  }
  TCCITTFax3Decoder fax3(0, false, false, width);
  TCCITTMHDecoder huffman(0, false, false, width);
  for (TCCITTDecoder* decoder : {static_cast<TCCITTDecoder*>(&fax3), static_cast<TCCITTDecoder*>(&huffman)}) {
    const Bytes& data = decoder == &fax3 ? g3.Data() : mh.Data();
    // All six rows; room for four (the rest of the data is never read); the data cut in the fifth row.
    DecodeOnce(*decoder, data, 6 * rowBytes, int32_t(6 * rowBytes));
    EXPECT_EQ(decoder->LastUnpackedBytes(), 6 * rowBytes);
    DecodeOnce(*decoder, data, 4 * rowBytes, int32_t(4 * rowBytes));
    EXPECT_EQ(decoder->LastUnpackedBytes(), 4 * rowBytes);
    const Bytes cut(data.begin(), data.begin() + long(data.size() * 3 / 4));
    DecodeOnce(*decoder, cut, 6 * rowBytes, int32_t(6 * rowBytes));
    EXPECT_EQ(decoder->LastUnpackedBytes() % rowBytes, 0u);
    EXPECT_LT(decoder->LastUnpackedBytes(), 6 * rowBytes);
    EXPECT_GE(decoder->LastUnpackedBytes(), 3 * rowBytes);
  }
}

TEST(ThunderDecoder, RunsDeltasAndRawPixelsRowByRow) {
  // A raw 7, deltas 0 0 +1, a run of 3 of the last pixel (8), a 2-bit delta code 2 writing nothing,
  // 3-bit deltas -3 and +2.
  TThunderDecoder decoder(10);
  const Bytes packed{0xC7, 0x41, 0x03, 0x60, 0xAA};
  EXPECT_EQ(DecodeOnce(decoder, packed, 5, 5).Output, (Bytes{0x77, 0x78, 0x88, 0x88, 0x85}));
  // Odd widths: every row starts at a fresh packed byte, at a full target byte, with a last pixel of
  // 0; a run is cut at the row's end.
  TThunderDecoder odd(3);
  EXPECT_EQ(DecodeOnce(odd, {0xC5, 0x3F, 0x41, 0xC9}, 4, 4).Output, (Bytes{0x55, 0x50, 0x00, 0x10}));
  EXPECT_EQ(RaisedMessage<EGraphicCompression>([&] { DecodeOnce(odd, {0xC5}, 4, 1, 5); }),
            RoomExceededMessage("ThunderScan"));
  // Only rows the data fill count: two whole rows, then one the data leave at its first pixel.
  DecodeOnce(odd, {0xC5, 0x3F, 0x41, 0xC9}, 4, 4);
  EXPECT_EQ(odd.LastUnpackedBytes(), 4u);
  DecodeOnce(odd, {0xC5, 0x3F, 0x41, 0xC1}, 6, 6);
  EXPECT_EQ(odd.LastUnpackedBytes(), 4u);
}

}  // namespace
