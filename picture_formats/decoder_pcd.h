#pragma once
// Photo-CD Huffman corrections: the higher resolution levels of a Photo-CD pack (1536 x 1024 and up)
// store, for planes already filled by enlarging the level below, one signed correction per sample,
// Huffman-coded. The decoder reads its code tables and the coded rows from the stream itself, in
// sectors of 2048 bytes.
//
// Stream layout at the position the caller sets: one code table (row length 1536 or less: luma only) or
// three (luma, first chroma, second chroma), each a byte holding the entry count - 1 and per entry the
// code length - 1, the code's 16 bits left-aligned and the correction as a signed byte; then rows, each
// opened by the sync marker 0xFFFFFE (found by searching) and 16 bits: the plane (2 bits: 0 luma, 2 first
// chroma, 3 second chroma), the row number (13 bits, the luma row; chroma planes take half of it) and
// one spare bit; then the row's codes. A row number equal to the level's height ends the data.

#include <cstdint>
#include <span>

#include "picture_formats/decoder.h"
#include "toolkit/core/streams.h"

// The three planes the corrections go to, one byte per sample, rows the level's width apart (the chroma
// planes use half the rows).
struct TPCDPlanes {
  std::span<uint8_t> Luma;
  std::span<uint8_t> Chroma1;
  std::span<uint8_t> Chroma2;
};

class TPCDDecoder : public TDecoder {
 public:
  explicit TPCDDecoder(TStream& Stream) : FStream(Stream) {}

  void SetPlanes(const TPCDPlanes& planes) { FPlanes = planes; }

  // Applies the corrections to the planes of SetPlanes, each sample clamped to 0..255. PackedSize is the
  // row length in samples (the level's width), UnpackedSize the number of rows (its height); Source and
  // Dest are not used and no cursor moves. A code length above 16 in a table ends the call quietly,
  // leaving the planes as they were; a plane the tables do not cover raises the silent abort (EAbort);
  // a stream that ends raises its read error. Corrections that fall outside their plane are dropped.
  void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize) override;
  void Encode(TSourceCursor, TTargetCursor, uint32_t, uint32_t&) override {}

 private:
  TStream& FStream;
  TPCDPlanes FPlanes;
};
