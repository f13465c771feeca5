#pragma once
// The decoder family: one object per compression scheme, shared by every picture reader.
//
// Calling order: a reader creates one decoder per picture, calls DecodeInit once, Decode once per row,
// strip, tile or channel, DecodeEnd once, and frees it.
//
// Decode receives the packed bytes and the room for the unpacked bytes as bounded cursors (a span and
// a position) passed by reference. A decoder advances only the cursors its class says it advances; the
// others are left exactly where the caller put them. Every decoder stops with EGraphicCompression rather
// than read past the packed bytes or write past the room it was given.
//
// Callers hand decoders zero-filled target buffers: a decoder that stops early (a stream that ends
// before its room is full, a last strip holding fewer rows than nominal) leaves the rest of the room
// untouched, so a damaged file shows black rather than stale memory.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"

ORVANTA_EXCEPTION(EGraphicCompression, Exception)
// The packed data end inside a packet, or before the data's end marker: a reader can tell data cut
// short (a file that ends early) from data that are wrong.
ORVANTA_EXCEPTION(EPackedDataEnded, EGraphicCompression)

// Raises EGraphicCompression with the given text.
[[noreturn]] void CompressionError(const std::string& message);

// A read or write position inside a bounded byte buffer. Moving it outside the buffer raises
// ERangeError; decoders check their packets before they move it.
template <typename Byte>
class TBoundedCursor {
 public:
  TBoundedCursor() = default;
  explicit TBoundedCursor(std::span<Byte> data, size_t position = 0) : FData(data) { SetPosition(position); }

  std::span<Byte> Data() const { return FData; }
  size_t Size() const { return FData.size(); }
  size_t Position() const { return FPosition; }
  size_t Remaining() const { return FData.size() - FPosition; }
  Byte* Current() const { return FData.data() + FPosition; }

  void SetPosition(size_t position) {
    if (position > FData.size()) throw ERangeError(SRangeError);
    FPosition = position;
  }
  void Advance(size_t count) {
    if (count > Remaining()) throw ERangeError(SRangeError);
    FPosition += count;
  }

 private:
  std::span<Byte> FData;
  size_t FPosition = 0;
};

// Packed bytes being read, and the room unpacked bytes are written to.
using TSourceCursor = TBoundedCursor<const uint8_t>;
using TTargetCursor = TBoundedCursor<uint8_t>;

class TDecoder {
 public:
  virtual ~TDecoder() = default;

  // Unpacks from Source into Dest. PackedSize is the number of packed bytes available, UnpackedSize the
  // number of bytes (Targa: pixels) wanted; each decoder says which of them it uses. Negative sizes
  // count as 0.
  virtual void Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize,
                      int32_t UnpackedSize) = 0;
  virtual void DecodeEnd() {}
  virtual void DecodeInit() {}
  // Packs Count pixels from Source into Dest and returns the number of bytes written in BytesStored.
  // Only the Targa run-length decoder packs; the others do nothing.
  virtual void Encode(TSourceCursor Source, TTargetCursor Dest, uint32_t Count, uint32_t& BytesStored) = 0;
  virtual void EncodeEnd() {}
  virtual void EncodeInit() {}

  // Bytes of whole output the last Decode call delivered, counted from where Dest stood: a reader that
  // compares it with the room it gave tells data that ended early from data that filled their room.
  // Counted by the LZW, PackBits, Paint Shop Pro and RLA run-length, deflate, CCITT fax, ThunderScan and
  // TIFF-JPEG decoders (the fax and ThunderScan decoders count whole rows only); 0 for the others and
  // before the first call.
  size_t LastUnpackedBytes() const { return FLastUnpackedBytes; }

 protected:
  void SetLastUnpackedBytes(size_t value) { FLastUnpackedBytes = value; }

 private:
  size_t FLastUnpackedBytes = 0;
};

// Helpers for decoders. `decoderName` names the kind of data in the messages ("PackBits", "PCX
// run-length", ...).

// The packed bytes a decoder may read: PackedSize (0 when negative). A PackedSize beyond the source's
// remaining bytes raises EGraphicCompression.
size_t PackedBytesAvailable(const TSourceCursor& Source, int32_t PackedSize, const char* decoderName);
// The room a decoder may fill: UnpackedSize x unitSize bytes (0 when negative). More than the target's
// remaining room raises EGraphicCompression.
size_t UnpackedRoomAvailable(const TTargetCursor& Dest, int32_t UnpackedSize, size_t unitSize,
                             const char* decoderName);
// The packed data end inside a packet (or before the data's end marker): raises EPackedDataEnded.
[[noreturn]] void PackedDataEnded(const char* decoderName);
// The packed data unpack to more bytes than the room given for them.
[[noreturn]] void UnpackedRoomExceeded(const char* decoderName);
