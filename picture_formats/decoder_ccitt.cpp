#include "picture_formats/decoder_ccitt.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "picture_formats/bit_order.h"
#include "picture_formats/ccitt_codes.h"

namespace {

constexpr const char* kFaxName = "CCITT fax";

// Sets `count` bits of a row from bit `first` on (bit 0 is the highest bit of byte 0).
void SetBits(uint8_t* row, size_t first, size_t count) {
  size_t bit = first;
  const size_t end = first + count;
  for (; bit < end && (bit & 7) != 0; ++bit) row[bit >> 3] |= static_cast<uint8_t>(0x80u >> (bit & 7));
  const size_t wholeBytes = (end - bit) / 8;
  std::memset(row + (bit >> 3), 0xFF, wholeBytes);
  bit += 8 * wholeBytes;
  for (; bit < end; ++bit) row[bit >> 3] |= static_cast<uint8_t>(0x80u >> (bit & 7));
}

}  // namespace

TCCITTDecoder::TCCITTDecoder(uint32_t Options, bool SwapBits, bool WordAligned, uint32_t Width)
    : FOptions(Options),
      FSwapBits(SwapBits),
      FWordAligned(WordAligned),
      FWidth(Width),
      FWhiteTree(BuildTree(true)),
      FBlackTree(BuildTree(false)),
      FRowBytes((size_t{Width} + 7) / 8) {}

void TCCITTDecoder::AddCode(TCodeTree& tree, uint32_t bits, uint8_t length, int32_t value) {
  int32_t node = 0;
  for (int shift = length - 1; shift >= 0; --shift) {
    const unsigned bit = (bits >> shift) & 1;
    if (tree[static_cast<size_t>(node)].Child[bit] == 0) {
      tree.push_back({});
      tree[static_cast<size_t>(node)].Child[bit] = static_cast<int32_t>(tree.size() - 1);
    }
    node = tree[static_cast<size_t>(node)].Child[bit];
  }
  tree[static_cast<size_t>(node)].Value = value;
}

TCCITTDecoder::TCodeTree TCCITTDecoder::BuildTree(bool white) {
  TCodeTree tree(1);
  const auto& codes = white ? WhiteRunCodes : BlackRunCodes;
  for (size_t i = 0; i < codes.size(); ++i)
    AddCode(tree, codes[i].Bits, codes[i].Length, static_cast<int32_t>(FaxCodeRun(i)));
  for (size_t i = 0; i < ExtendedMakeUpCodes.size(); ++i)
    AddCode(tree, ExtendedMakeUpCodes[i].Bits, ExtendedMakeUpCodes[i].Length,
            static_cast<int32_t>(ExtendedMakeUpRun(i)));
  // Eight, nine and ten 0 bits before a 1 are no code.
  for (uint8_t length : {9, 10, 11}) AddCode(tree, 1, length, kInvalidCode);
  // The end-of-line code, eleven 0 bits and a 1; fill bits may add more 0 bits before the 1, so the
  // node of eleven 0 bits is its own child for a 0.
  AddCode(tree, 1, 12, kEndOfLine);
  int32_t elevenZeros = 0;
  for (int i = 0; i < 11; ++i) elevenZeros = tree[static_cast<size_t>(elevenZeros)].Child[0];
  tree[static_cast<size_t>(elevenZeros)].Child[0] = elevenZeros;
  return tree;
}

void TCCITTDecoder::StartStrip(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize,
                               int32_t UnpackedSize) {
  FPacked = PackedBytesAvailable(Source, PackedSize, kFaxName);
  FRoom = UnpackedRoomAvailable(Dest, UnpackedSize, 1, kFaxName);
  FSource = Source.Current();
  FLoaded = 0;
  FBitsLeft = 0;
  FDataEnded = false;
  FTarget = Dest.Current();
  SetLastUnpackedBytes(0);
  if (FRoom > 0) std::memset(FTarget, 0, FRoom);
}

void TCCITTDecoder::FinishStrip(size_t wholeRows) {
  SetLastUnpackedBytes(wholeRows * FRowBytes);
}

void TCCITTDecoder::StartRow(size_t row) {
  FRow = FTarget + row * FRowBytes;
  FColumn = 0;
  FIsWhite = true;
}

int TCCITTDecoder::PeekBit() {
  if (FBitsLeft == 0) {
    if (FLoaded == FPacked) {
      FDataEnded = true;
      return -1;
    }
    const uint8_t byte = FSource[FLoaded++];
    FByte = FSwapBits ? kReversedBits[byte] : byte;
    FBitsLeft = 8;
  }
  return (FByte >> (FBitsLeft - 1)) & 1;
}

int TCCITTDecoder::ReadBit() {
  const int bit = PeekBit();
  if (bit >= 0) --FBitsLeft;
  return bit;
}

int64_t TCCITTDecoder::FindRun() {
  const TCodeTree& tree = FIsWhite ? FWhiteTree : FBlackTree;
  int64_t run = 0;
  int32_t node = 0;
  for (;;) {
    const int bit = PeekBit();
    if (bit < 0) return run;
    const int32_t child = tree[static_cast<size_t>(node)].Child[bit];
    // A pattern outside the tables: the code ends where it stands, and the bit is left for the next.
    if (child == 0) return run + tree[static_cast<size_t>(node)].Value;
    ReadBit();
    node = child;
    const TCodeNode& reached = tree[static_cast<size_t>(node)];
    if (!reached.Leaf()) continue;
    if (reached.Value < 0) return reached.Value;
    run += reached.Value;
    if (reached.Value < 64) return run;
    node = 0;  // a make-up code: its terminating code follows
  }
}

bool TCCITTDecoder::WriteRun(int64_t run) {
  const uint32_t left = FWidth - FColumn;
  const auto count = static_cast<uint32_t>(std::clamp<int64_t>(run, 0, left));
  if (!FIsWhite) SetBits(FRow, FColumn, count);
  FColumn += count;
  return FColumn == FWidth;
}

void TCCITTDecoder::Synchronize() {
  for (int zeros = 0; zeros < 11;) {
    const int bit = ReadBit();
    if (bit < 0) return;
    zeros = bit == 0 ? zeros + 1 : 0;
  }
  while (ReadBit() == 0) {
  }
}

void TCCITTDecoder::AlignSource() {
  FBitsLeft = 0;
  if (FWordAligned && (FLoaded & 1) != 0 && FLoaded < FPacked) ++FLoaded;
}

void TCCITTFax3Decoder::Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize,
                               int32_t UnpackedSize) {
  StartStrip(Source, Dest, PackedSize, UnpackedSize);
  bool endOfLine = false;
  size_t wholeRows = 0;
  for (size_t row = 0; row < RowCount() && !DataEnded(); ++row) {
    if (!endOfLine) Synchronize();
    endOfLine = false;
    StartRow(row);
    // A row ends whole at its end-of-line code, at an invalid code or when its runs fill it; one that
    // the end of the data cuts off is not whole.
    bool whole = true;
    for (;;) {
      const int64_t run = FindRun();
      if (run == kEndOfLine) {
        endOfLine = true;
        break;
      }
      if (run < 0 || WriteRun(run)) break;
      if (DataEnded()) {
        whole = false;
        break;
      }
      ChangeColor();
    }
    if (whole) ++wholeRows;
  }
  FinishStrip(wholeRows);
}

void TCCITTMHDecoder::Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize,
                             int32_t UnpackedSize) {
  StartStrip(Source, Dest, PackedSize, UnpackedSize);
  size_t wholeRows = 0;
  for (size_t row = 0; row < RowCount() && !DataEnded(); ++row) {
    StartRow(row);
    for (;;) {
      const int64_t run = FindRun();
      if (run > 0 && WriteRun(run)) {
        ++wholeRows;
        break;
      }
      if (DataEnded()) break;
      ChangeColor();
    }
    AlignSource();
  }
  FinishStrip(wholeRows);
}
