#pragma once
// Helpers for the decoder tests: exact-size heap buffers (so that AddressSanitizer sees any byte touched
// past their end) and one-call decoding.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "picture_formats/decoder.h"

class THeapBytes {
 public:
  explicit THeapBytes(size_t size) : FSize(size), FData(std::make_unique<uint8_t[]>(size)) {}
  explicit THeapBytes(const std::vector<uint8_t>& bytes) : THeapBytes(bytes.size()) {
    std::copy(bytes.begin(), bytes.end(), FData.get());
  }

  std::span<uint8_t> Span() { return {FData.get(), FSize}; }
  std::span<const uint8_t> Span() const { return {FData.get(), FSize}; }
  std::vector<uint8_t> Vector() const { return {FData.get(), FData.get() + FSize}; }

 private:
  size_t FSize;
  std::unique_ptr<uint8_t[]> FData;
};

struct TDecodeResult {
  std::vector<uint8_t> Output;  // the whole target room after the call
  size_t SourcePosition = 0;    // where the decoder left the cursors
  size_t DestPosition = 0;
};

// Decodes `packed` into `room` zeroed bytes with one call, cursors starting at 0.
inline TDecodeResult DecodeOnce(TDecoder& decoder, const std::vector<uint8_t>& packed, size_t room,
                                int32_t packedSize, int32_t unpackedSize) {
  const THeapBytes source(packed);
  THeapBytes target(room);
  TSourceCursor sourceCursor(source.Span());
  TTargetCursor targetCursor(target.Span());
  decoder.Decode(sourceCursor, targetCursor, packedSize, unpackedSize);
  return {target.Vector(), sourceCursor.Position(), targetCursor.Position()};
}

// The same with PackedSize the whole input.
inline TDecodeResult DecodeOnce(TDecoder& decoder, const std::vector<uint8_t>& packed, size_t room,
                                int32_t unpackedSize) {
  return DecodeOnce(decoder, packed, room, static_cast<int32_t>(packed.size()), unpackedSize);
}

inline std::vector<uint8_t> Repeated(uint8_t value, size_t count) {
  return std::vector<uint8_t>(count, value);
}

inline std::vector<uint8_t> Joined(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}
