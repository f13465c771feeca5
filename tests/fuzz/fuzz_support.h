#pragma once
// Helpers shared by the fuzz targets of the decoders and readers.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "picture_formats/decoder.h"

// Decodes `packed` with one call into exactly `room` bytes (heap buffers of exactly those sizes, so
// that AddressSanitizer sees any byte touched past them); a decoder that moves a cursor aborts.
inline void DecodeInto(TDecoder& decoder, const std::vector<uint8_t>& packed, size_t room) {
  const auto source = std::make_unique<uint8_t[]>(packed.size());
  std::copy(packed.begin(), packed.end(), source.get());
  const auto target = std::make_unique<uint8_t[]>(room);
  TSourceCursor sourceCursor(std::span<const uint8_t>(source.get(), packed.size()));
  TTargetCursor targetCursor(std::span<uint8_t>(target.get(), room));
  decoder.Decode(sourceCursor, targetCursor, static_cast<int32_t>(packed.size()), static_cast<int32_t>(room));
  if (sourceCursor.Position() != 0 || targetCursor.Position() != 0) std::abort();
}
