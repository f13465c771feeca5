#pragma once
// Multi-byte fields of a header read from its bytes, in the file's byte order. The caller has read the
// whole header first, so every offset lies inside it.

#include <cstddef>
#include <cstdint>
#include <span>

inline uint16_t LittleEndian16(std::span<const uint8_t> bytes, size_t offset) {
  return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}
inline uint32_t LittleEndian32(std::span<const uint8_t> bytes, size_t offset) {
  return uint32_t{bytes[offset]} | uint32_t{bytes[offset + 1]} << 8 | uint32_t{bytes[offset + 2]} << 16 |
         uint32_t{bytes[offset + 3]} << 24;
}
inline uint16_t BigEndian16(std::span<const uint8_t> bytes, size_t offset) {
  return static_cast<uint16_t>(bytes[offset] << 8 | bytes[offset + 1]);
}
inline uint32_t BigEndian32(std::span<const uint8_t> bytes, size_t offset) {
  return uint32_t{bytes[offset]} << 24 | uint32_t{bytes[offset + 1]} << 16 |
         uint32_t{bytes[offset + 2]} << 8 | uint32_t{bytes[offset + 3]};
}
