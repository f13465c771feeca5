#pragma once
// Multi-byte fields in the file's byte order: read from bytes the caller has read whole first (so every
// offset lies inside them), or straight from a stream (a short read raises EReadError).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "toolkit/core/streams.h"

inline uint16_t LittleEndian16(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}
inline uint32_t LittleEndian32(const uint8_t* bytes) {
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}
inline uint16_t BigEndian16(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
}
inline uint32_t BigEndian32(const uint8_t* bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | uint32_t{bytes[3]};
}

inline uint16_t LittleEndian16(std::span<const uint8_t> bytes, size_t offset) {
  return LittleEndian16(bytes.data() + offset);
}
inline uint32_t LittleEndian32(std::span<const uint8_t> bytes, size_t offset) {
  return LittleEndian32(bytes.data() + offset);
}
inline uint16_t BigEndian16(std::span<const uint8_t> bytes, size_t offset) {
  return BigEndian16(bytes.data() + offset);
}
inline uint32_t BigEndian32(std::span<const uint8_t> bytes, size_t offset) {
  return BigEndian32(bytes.data() + offset);
}

// The next field of the stream.
template <size_t Size, class Field>
Field ReadField(TStream& stream, Field (*decode)(const uint8_t*)) {
  std::array<uint8_t, Size> bytes{};
  stream.ReadBuffer(bytes.data(), Size);
  return decode(bytes.data());
}
inline uint16_t ReadLittleEndian16(TStream& stream) {
  return ReadField<2>(stream, LittleEndian16);
}
inline uint32_t ReadLittleEndian32(TStream& stream) {
  return ReadField<4>(stream, LittleEndian32);
}
inline uint16_t ReadBigEndian16(TStream& stream) {
  return ReadField<2>(stream, BigEndian16);
}
inline uint32_t ReadBigEndian32(TStream& stream) {
  return ReadField<4>(stream, BigEndian32);
}
