#pragma once
// Bilevel TIFF strips in the one-dimensional run-length codes of ITU-T T.4: group 3 data with
// end-of-line codes (TIFF compression 3) and modified Huffman rows without them (compression 2, and
// 32771 with rows on 16-bit boundaries). Output is one bit per pixel, first pixel in the highest bit,
// black 1 and white 0, each row starting on a byte boundary ((Width + 7) div 8 bytes per row).
//
// Decode reads PackedSize bytes at Source and fills the UnpackedSize bytes at Dest with whole rows,
// cleared to white first; it moves neither cursor. Damaged data are not reported: a code outside the
// tables ends the run where it stands, runs longer than their row are cut at its end, and the rows the
// data do not reach stay white (LastUnpackedBytes counts the rows the data reached whole). Decoding
// stops as soon as the rows are full. Two-dimensional coding is not decoded.

#include <cstdint>
#include <vector>

#include "picture_formats/decoder.h"

// The most bytes of rows one packed byte gives, for readers that check a header's size against the data
// before sizing the picture: rows of 1 bit per pixel, and the longest run per bit is the extended
// make-up code of 2560 pixels in 12 bits: 2560 x 8 / 12 pixels, 214 bytes per packed byte. (A row whose
// runs fall short of its width is damaged data, not a picture.)
inline constexpr uint64_t kCCITTMaxExpansion = 214;

class TCCITTDecoder : public TDecoder {
 public:
  // Options: the TIFF T4Options value (kept, not consulted); SwapBits: the packed bytes hold their
  // pixels lowest bit first (TIFF fill order 2); WordAligned: modified Huffman rows begin at even byte
  // offsets of the strip; Width: pixels per row.
  TCCITTDecoder(uint32_t Options, bool SwapBits, bool WordAligned, uint32_t Width);

  uint32_t Options() const { return FOptions; }

  void Encode(TSourceCursor, TTargetCursor, uint32_t, uint32_t&) override {}

 protected:
  // Results of FindRun besides run lengths.
  static constexpr int64_t kEndOfLine = -1;
  static constexpr int64_t kInvalidCode = -2;

  // Sets up one strip: the target cleared, the bit reader at the first packed byte.
  void StartStrip(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize);
  // Rows the target holds.
  size_t RowCount() const { return FRowBytes == 0 ? 0 : FRoom / FRowBytes; }
  // Reports the rows the strip's data filled (LastUnpackedBytes).
  void FinishStrip(size_t wholeRows);
  // Starts row `row`: white, first pixel.
  void StartRow(size_t row);
  // Reads one run of the current colour: make-up codes and the terminating code that ends them, or
  // kEndOfLine, or kInvalidCode. A code cut off by the end of the data counts for what it had reached.
  int64_t FindRun();
  // Writes `run` pixels of the current colour (cut at the row's end); true when the row is complete.
  bool WriteRun(int64_t run);
  void ChangeColor() { FIsWhite = !FIsWhite; }
  // Reads past fill bits to the end of the next end-of-line code.
  void Synchronize();
  // Drops the rest of the current packed byte, and with WordAligned the byte that would leave the next
  // row at an odd offset.
  void AlignSource();
  bool DataEnded() const { return FDataEnded; }

 private:
  struct TCodeNode {
    int32_t Child[2] = {0, 0};  // 0: no child (the root is nobody's child)
    int32_t Value = 0;          // the run, kEndOfLine or kInvalidCode of a code ending here
    bool Leaf() const { return Child[0] == 0 && Child[1] == 0; }
  };
  using TCodeTree = std::vector<TCodeNode>;

  static void AddCode(TCodeTree& tree, uint32_t bits, uint8_t length, int32_t value);
  static TCodeTree BuildTree(bool white);
  // The next bit (0 or 1), or -1 when the data have ended; PeekBit does not consume it.
  int PeekBit();
  int ReadBit();

  const uint32_t FOptions;
  const bool FSwapBits;
  const bool FWordAligned;
  const uint32_t FWidth;
  const TCodeTree FWhiteTree;
  const TCodeTree FBlackTree;
  const size_t FRowBytes;

  // Bit reader.
  const uint8_t* FSource = nullptr;
  size_t FPacked = 0;
  size_t FLoaded = 0;     // packed bytes taken so far
  uint8_t FByte = 0;      // the current byte, first pixel in bit 7
  uint8_t FBitsLeft = 0;  // its bits not read yet
  bool FDataEnded = false;
  // Run writer.
  uint8_t* FTarget = nullptr;
  size_t FRoom = 0;
  uint8_t* FRow = nullptr;
  uint32_t FColumn = 0;
  bool FIsWhite = true;
};

// Group 3 data: every row follows an end-of-line code (with fill bits before it where the encoder
// aligned it). A row whose runs fall short ends at its end-of-line code; the next row follows it.
class TCCITTFax3Decoder : public TCCITTDecoder {
 public:
  using TCCITTDecoder::TCCITTDecoder;
  void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize) override;
};

// Modified Huffman rows: each row's codes begin on a fresh byte (or 16-bit word); a row ends when its
// runs fill it.
class TCCITTMHDecoder : public TCCITTDecoder {
 public:
  using TCCITTDecoder::TCCITTDecoder;
  void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize) override;
};
