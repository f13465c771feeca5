#pragma once
// Helpers for the decoder tests: exact-size heap buffers (so that AddressSanitizer sees any byte touched
// past their end) and one-call decoding.

#include <algorithm>
#include <memory>
#include <span>

#include "picture_formats/decoder.h"
#include "tests/picture_formats/picture_test_support.h"

class THeapBytes {
 public:
  explicit THeapBytes(size_t size) : FSize(size), FData(std::make_unique<uint8_t[]>(size)) {}
  explicit THeapBytes(const Bytes& bytes) : THeapBytes(bytes.size()) {
    std::copy(bytes.begin(), bytes.end(), FData.get());
  }

  std::span<uint8_t> Span() const { return {FData.get(), FSize}; }
  Bytes Vector() const { return {FData.get(), FData.get() + FSize}; }

 private:
  size_t FSize;
  std::unique_ptr<uint8_t[]> FData;
};

struct TDecodeResult {
  Bytes Output;               // the whole target room after the call
  size_t SourcePosition = 0;  // where the decoder left the cursors
  size_t DestPosition = 0;
};

// Decodes `packed` into `room` zeroed bytes with one call, cursors starting at 0.
inline TDecodeResult DecodeOnce(TDecoder& decoder, const Bytes& packed, size_t room, int32_t packedSize,
                                int32_t unpackedSize) {
  const THeapBytes source(packed), target(room);
  TSourceCursor sourceCursor(source.Span());
  TTargetCursor targetCursor(target.Span());
  decoder.Decode(sourceCursor, targetCursor, packedSize, unpackedSize);
  return {target.Vector(), sourceCursor.Position(), targetCursor.Position()};
}

// The same with PackedSize the whole input.
inline TDecodeResult DecodeOnce(TDecoder& decoder, const Bytes& packed, size_t room, int32_t unpackedSize) {
  return DecodeOnce(decoder, packed, room, static_cast<int32_t>(packed.size()), unpackedSize);
}

// The decoder's messages for packed data that end inside a packet, or unpack past their room.
inline std::string DataEndedMessage(const std::string& name) {
  return "Cannot load image. The " + name + " data end inside a packet.";
}
inline std::string RoomExceededMessage(const std::string& name) {
  return "Cannot load image. The " + name + " data unpack past the room given for them.";
}
