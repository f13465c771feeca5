#pragma once
// The packed bytes of a TIFF picture's strips, as their decoders get them: read strip by strip, or, when
// strips share their bytes (byte counts that many strips point into one block with), read once for all,
// so that no byte of the file is read more than once whatever the strips claim. The bits of every byte
// are put in order on the way in when the fill order asks for it.

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "toolkit/core/streams.h"

struct TTIFFStrip {
  uint32_t Offset = 0;     // from the picture's start
  uint32_t ByteCount = 0;  // packed bytes, as the file counts them
  uint32_t Rows = 0;       // the picture's rows it holds
  uint32_t Packed = 0;     // the packed bytes its decoder is given: ByteCount, or what its rows can need
};

// Byte ranges [begin, end) merged where they overlap or touch, in order.
std::vector<std::pair<uint64_t, uint64_t>> MergedRanges(std::vector<std::pair<uint64_t, uint64_t>> ranges);

class TTIFFStripBytes {
 public:
  // The strips' Packed bytes must lie inside the stream (from `start` on).
  TTIFFStripBytes(TStream& stream, int64_t start, const std::vector<TTIFFStrip>& strips, bool reverseBits);

  // The strip's Packed bytes (fewer when the stream gives fewer); valid until the next call.
  std::span<const uint8_t> Of(const TTIFFStrip& strip);

 private:
  TStream& FStream;
  const int64_t FStart;
  const bool FReverseBits;
  // Shared strips: the merged ranges of all of them, read into FBytes one after another.
  std::vector<std::pair<uint64_t, uint64_t>> FBlocks;
  std::vector<size_t> FBlockPositions;
  std::vector<uint8_t> FBytes;
};
