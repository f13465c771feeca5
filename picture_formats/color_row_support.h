#pragma once
// Building blocks of the colour manager's row converters: interlace-mask walking, packed bit fields,
// 16-bit samples in either byte order, and the addressing of interleaved or planar colour samples.
// Internal to the colour manager's sources.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace color_rows {

// Pixels of a row of `count` pixels that `mask` selects (bit 7 = first pixel, repeating every 8).
inline size_t SelectedPixels(uint32_t count, uint8_t mask) {
  const size_t perGroup = static_cast<size_t>(std::popcount(mask));
  const unsigned rest = count % 8;
  const auto restMask = static_cast<uint8_t>(mask & ~(0xFFu >> rest));
  return static_cast<size_t>(count / 8) * perGroup + static_cast<size_t>(std::popcount(restMask));
}

// Calls fn(i) for every selected pixel index i, in order.
template <class Fn>
inline void ForEachSelected(uint32_t count, uint8_t mask, Fn&& fn) {
  if (mask == 0xFF) {
    for (uint32_t i = 0; i < count; ++i) fn(i);
    return;
  }
  uint8_t bit = 0x80;
  for (uint32_t i = 0; i < count; ++i) {
    if (mask & bit) fn(i);
    bit = bit == 1 ? 0x80 : static_cast<uint8_t>(bit >> 1);
  }
}

// Bytes of `pixels` packed fields of `bits` bits each.
inline size_t PackedBytes(size_t pixels, size_t bits) {
  return (pixels * bits + 7) / 8;
}

// The field of `bits` (1..8) bits at bit offset `bitPos` of an MSB-first bit stream. A field reaches
// into the following byte only when it really crosses it.
inline unsigned ReadBits(const uint8_t* data, size_t bitPos, unsigned bits) {
  const size_t byte = bitPos >> 3;
  const unsigned end = static_cast<unsigned>(bitPos & 7) + bits;
  unsigned word = static_cast<unsigned>(data[byte]) << 8;
  if (end > 8) word |= data[byte + 1];
  return (word >> (16 - end)) & ((1u << bits) - 1);
}

// Stores `value` into that field, keeping every other bit.
inline void WriteBits(uint8_t* data, size_t bitPos, unsigned bits, unsigned value) {
  const size_t byte = bitPos >> 3;
  const unsigned end = static_cast<unsigned>(bitPos & 7) + bits;
  const unsigned fieldMask = ((1u << bits) - 1) << (16 - end);
  unsigned word = static_cast<unsigned>(data[byte]) << 8;
  if (end > 8) word |= data[byte + 1];
  word = (word & ~fieldMask) | ((value << (16 - end)) & fieldMask);
  data[byte] = static_cast<uint8_t>(word >> 8);
  if (end > 8) data[byte + 1] = static_cast<uint8_t>(word);
}

inline uint16_t Load16(const uint8_t* p) {
  uint16_t value;
  std::memcpy(&value, p, 2);
  return value;
}
inline uint16_t Swap16(uint16_t value) {
  return static_cast<uint16_t>((value << 8) | (value >> 8));
}
inline uint16_t Load16(const uint8_t* p, bool swap) {
  return swap ? Swap16(Load16(p)) : Load16(p);
}
inline void Store16(uint8_t* p, uint16_t value) {
  std::memcpy(p, &value, 2);
}
inline void Store8(uint8_t* p, unsigned value) {
  *p = static_cast<uint8_t>(value);
}

// 8-bit level to 16-bit level (x 65535 div 255, that is x 257) and back (x 255 div 65535, truncated).
inline uint16_t Widen8(unsigned value) {
  return static_cast<uint16_t>(value * 257u);
}
inline uint8_t Narrow16(unsigned value) {
  return static_cast<uint8_t>(value * 255u / 65535u);
}

// Where the samples of the current pixel lie: sample k at Base[k] + Position + Offset[k]. Interleaved
// rows have one base and offsets k x sample bytes; planar rows one base per plane. Addresses are formed
// only for samples that are read, so nothing points outside a buffer.
struct TPixelSamples {
  const uint8_t* Base[4] = {};
  size_t Offset[4] = {};
  size_t Position = 0;
  const uint8_t* operator[](int k) const { return Base[k] + Position + Offset[k]; }
};

inline TPixelSamples InterleavedSamples(const uint8_t* row, size_t sampleBytes) {
  TPixelSamples samples;
  for (int k = 0; k < 4; ++k) {
    samples.Base[k] = row;
    samples.Offset[k] = static_cast<size_t>(k) * sampleBytes;
  }
  return samples;
}

inline TPixelSamples PlanarSamples(const uint8_t* const* planes, size_t planeCount) {
  TPixelSamples samples;
  for (size_t k = 0; k < planeCount && k < 4; ++k) samples.Base[k] = planes[k];
  return samples;
}

// Calls fn(samples, targetPixel) for each selected pixel; the source moves by sourceStep bytes per
// converted pixel, the target by targetStep bytes per pixel of the row.
template <class Fn>
inline void WalkColorRow(uint32_t count, uint8_t mask, TPixelSamples samples, size_t sourceStep,
                         uint8_t* target, size_t targetStep, Fn&& fn) {
  ForEachSelected(count, mask, [&](uint32_t i) {
    fn(static_cast<const TPixelSamples&>(samples), target + static_cast<size_t>(i) * targetStep);
    samples.Position += sourceStep;
  });
}

// Writes the three colour results of a pixel, in blue-green-red or red-green-blue order, as bytes or
// native 16-bit words.
inline void StoreColor(uint8_t* target, bool words, bool bgr, unsigned red, unsigned green, unsigned blue) {
  const unsigned first = bgr ? blue : red;
  const unsigned last = bgr ? red : blue;
  if (words) {
    Store16(target, static_cast<uint16_t>(first));
    Store16(target + 2, static_cast<uint16_t>(green));
    Store16(target + 4, static_cast<uint16_t>(last));
  } else {
    target[0] = static_cast<uint8_t>(first);
    target[1] = static_cast<uint8_t>(green);
    target[2] = static_cast<uint8_t>(last);
  }
}

}  // namespace color_rows
