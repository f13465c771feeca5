#pragma once
// Lempel-Ziv-Welch data: TIFF strips (compression 5) and the image data of GIF files. Both decoders
// share one string table of up to 4096 codes and differ in bit order, clear and end codes, the moment
// the code width grows and what a full table means:
//
// |                    | TIFF                                  | GIF                                      |
// |--------------------|---------------------------------------|------------------------------------------|
// | clear, end code    | 256, 257                              | 2^InitialCodeSize, that + 1              |
// | first code width   | 9 bits, most significant bit first    | InitialCodeSize + 1, least significant   |
// | width grows        | one code early (10 bits after 510)    | after the entry for 511 (1023, 2047)     |
// | table full         | another entry: EGraphicCompression    | no more entries: the table stays frozen  |
// | end code           | ends the call                         | skips the rest of the byte's codes       |
//
// Decode unpacks PackedSize bytes from Source into at most UnpackedSize bytes at Dest and moves neither
// cursor; it stops quietly when the room is full or the data run out, and LastUnpackedBytes tells how
// far it got. Beyond a TIFF stream that overflows its table, damaged data are not reported: codes
// beyond the table (a first code after a clear included) are skipped, and pending bits that would
// overflow the bit buffer end the data. Nothing carries over between calls.

#include <cstdint>

#include "picture_formats/decoder.h"

// The most bytes of rows one packed byte gives, for readers that check a header's size against the data
// before sizing the picture.
// TIFF: the k-th code after a clear code gives at most k bytes (each string is one byte longer than an
// older one at most), and a TIFF stream must clear its table before it holds more than 4096 codes (the
// decoder refuses it otherwise). One table's worth, 3839 codes of 9 to 12 bits and the clear code, is
// 43270 bits for at most 3839 x 3840 / 2 = 7370880 bytes: 1363 bytes per packed byte.
inline constexpr uint64_t kTIFFLZWMaxExpansion = 1363;
// GIF: every code is at least 2 bits wide (minimum code size 1) and a code of w bits names a string of
// at most 2^w bytes (a string is at most one byte longer than the one before it entered the table), so
// the most per bit is 4096 pixels for a 12-bit code: 4096 x 8 / 12 per byte.
inline constexpr uint64_t kGIFLZWMaxExpansion = 2731;

class TTIFFLZWDecoder : public TDecoder {
 public:
  void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize) override;
  void Encode(TSourceCursor, TTargetCursor, uint32_t, uint32_t&) override {}
};

class TGIFLZWDecoder : public TDecoder {
 public:
  // InitialCodeSize: the GIF file's LZW minimum code size; Decode raises ERangeError unless it is 1..8.
  explicit TGIFLZWDecoder(uint8_t InitialCodeSize) : FInitialCodeSize(InitialCodeSize) {}

  void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize) override;
  void Encode(TSourceCursor, TTargetCursor, uint32_t, uint32_t&) override {}

 private:
  const uint8_t FInitialCodeSize;
};
