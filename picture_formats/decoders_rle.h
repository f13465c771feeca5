#pragma once
// The run-length decoders: Targa (which also packs), PackBits, PCX, SGI, Dr. Halo CUT, Paint Shop Pro
// and Wavefront RLA. None needs DecodeInit or DecodeEnd.
//
// What each one reads and moves (see decoder.h for the cursors):
//
// | decoder          | stops when                            | sizes used          | cursors advanced |
// |------------------|---------------------------------------|---------------------|------------------|
// | Targa            | UnpackedSize pixels written           | UnpackedSize        | Source           |
// | PackBits         | UnpackedSize or PackedSize used up    | both                | none             |
// | PCX              | UnpackedSize bytes written            | UnpackedSize        | none             |
// | SGI (8, 16 bit)  | a packet header with count 0          | none                | none             |
// | Dr. Halo CUT     | a header byte 0 (consumed)            | none                | Source           |
// | Paint Shop Pro   | PackedSize bytes read                 | PackedSize          | none             |
// | RLA              | PackedSize bytes read                 | PackedSize          | none             |
//
// A size a decoder does not use is ignored; then the cursor alone bounds the data, so callers make the
// source cursor end where the packed bytes end and the target cursor where the row (or channel) ends.
// Data that need more packed bytes than there are, or unpack past the room, raise EGraphicCompression.

#include <array>
#include <cstdint>

#include "picture_formats/decoder.h"

// The most bytes one packed byte gives in PackBits and the schemes built like it (SGI, Dr. Halo CUT,
// Paint Shop Pro, RLA), for readers that check a header's size against the data before sizing the
// picture: their best packet is a header and one value repeated at most 128 times (a 16-bit SGI
// header and sample, 4 bytes, give 127 samples of 2 bytes), so 2 packed bytes give at most 128.
inline constexpr uint64_t kByteRunMaxExpansion = 64;
// The Targa scheme repeats whole pixels: a packet of 1 + n bytes (n the pixel's bytes, 1 to 4) gives at
// most 128 pixels, 128 n bytes, less than 128 bytes per packed byte.
inline constexpr uint64_t kTargaRLEMaxExpansion = 128;
// A PCX run is a count byte (at most 63) and the byte it repeats: 2 packed bytes give at most 63.
inline constexpr uint64_t kPCXRLEMaxExpansion = 32;

class TTargaRLEDecoder : public TDecoder {
 public:
  // ColorDepth: bits per pixel, 8, 15, 16, 24 or 32; any other depth decodes and packs nothing.
  explicit TTargaRLEDecoder(uint32_t ColorDepth) : FColorDepth(ColorDepth) {}

  uint32_t ColorDepth() const { return FColorDepth; }

  // A packet that reaches past the UnpackedSize pixels wanted carries over: the next call first writes
  // its remaining pixels (a run from the kept pixel value, a raw packet from the new source position),
  // so rows whose packets cross row ends decode one row per call. DecodeInit forgets such a rest.
  void DecodeInit() override;
  void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize) override;
  // Packs Count pixels: raw packets for pixels that differ from their successor, run packets for equal
  // neighbours, at most 128 pixels per packet. Dest needs room for Count pixels plus one header byte per
  // 128 pixels at worst (twice the pixel bytes always suffice); less room raises ERangeError.
  void Encode(TSourceCursor Source, TTargetCursor Dest, uint32_t Count, uint32_t& BytesStored) override;

 private:
  template <size_t PixelSize>
  size_t DecodePixels(const uint8_t* source, size_t available, uint8_t* target, size_t pixels);
  template <size_t PixelSize>
  uint32_t EncodePixels(const uint8_t* source, uint32_t count, uint8_t* target, size_t room);

  const uint32_t FColorDepth;
  // The rest of a packet cut off at the end of the previous call.
  uint32_t FPendingCount = 0;
  bool FPendingRun = false;
  std::array<uint8_t, 4> FPendingPixel{};
};

// n = header as signed byte: 0..127 copy n + 1 bytes; -1..-127 repeat the next byte 1 - n times; -128
// nothing. A copy is cut at the remaining packed and unpacked counts, a repeat at the unpacked count.
class TPackbitsRLEDecoder : public TDecoder {
 public:
  void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize) override;
  void Encode(TSourceCursor, TTargetCursor, uint32_t, uint32_t&) override {}
};

// b and 0xC0 = 0xC0: repeat the next byte b and 0x3F times (cut at the unpacked count); else b itself.
class TPCXRLEDecoder : public TDecoder {
 public:
  void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize) override;
  void Encode(TSourceCursor, TTargetCursor, uint32_t, uint32_t&) override {}
};

// Header (a byte, or a 16-bit big-endian word for 16-bit samples): count = header and 0x7F; bit 7 set:
// copy count samples; clear: repeat the next sample count times. Samples keep the file's byte order.
class TSGIRLEDecoder : public TDecoder {
 public:
  // SampleSize: bits per sample, 8 or 16 (anything but 16 reads 8-bit samples).
  explicit TSGIRLEDecoder(uint8_t SampleSize) : FSampleSize(SampleSize) {}

  uint8_t SampleSize() const { return FSampleSize; }

  void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize) override;
  void Encode(TSourceCursor, TTargetCursor, uint32_t, uint32_t&) override {}

 private:
  const uint8_t FSampleSize;
};

// Skips the row's 2-byte length, then per header b: count = b and 0x7F; bit 7 clear: copy count bytes;
// set: repeat the next byte count times; b = 0 ends the row. Source is left just past that 0.
class TCUTRLEDecoder : public TDecoder {
 public:
  void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize) override;
  void Encode(TSourceCursor, TTargetCursor, uint32_t, uint32_t&) override {}
};

// b below 0x80: copy b bytes; else repeat the next byte b - 0x80 times.
class TPSPRLEDecoder : public TDecoder {
 public:
  void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize) override;
  void Encode(TSourceCursor, TTargetCursor, uint32_t, uint32_t&) override {}
};

// n = header as signed byte: below 0 copy -n bytes; else repeat the next byte n + 1 times.
class TRLADecoder : public TDecoder {
 public:
  void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize, int32_t UnpackedSize) override;
  void Encode(TSourceCursor, TTargetCursor, uint32_t, uint32_t&) override {}
};
