#pragma once
// ThunderScan 4-bit gray TIFF strips (TIFF compression 32809). Each packed byte is, by its top two bits:
// a run of the last pixel (00, count in the low six bits), three 2-bit deltas (01), two 3-bit deltas
// (10) or a raw pixel (11). Deltas add to the last pixel modulo 16; the delta codes 2 (2-bit) and 4
// (3-bit) write nothing.
//
// Decode unpacks PackedSize bytes at Source into the rows of the UnpackedSize bytes at Dest, each row
// (Width + 1) div 2 bytes, first pixel in the high nibble; it moves neither cursor. Every row starts at
// a fresh packed byte with a last pixel of 0; pixels beyond the row's width are dropped, and rows the
// data do not reach keep what Dest held (LastUnpackedBytes counts the rows the data filled).

#include <cstdint>

#include "picture_formats/decoder.h"

// The most bytes of rows one packed byte gives (for the check of a header's size against the data): a
// run byte repeats the last 4-bit pixel up to 63 times, 32 bytes.
inline constexpr uint64_t kThunderMaxExpansion = 32;

class TThunderDecoder : public TDecoder {
 public:
  explicit TThunderDecoder(uint32_t Width) : FWidth(Width) {}

  void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize) override;
  void Encode(TSourceCursor, TTargetCursor, uint32_t, uint32_t&) override {}

 private:
  const uint32_t FWidth;
};
