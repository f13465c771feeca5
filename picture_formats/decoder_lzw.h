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
