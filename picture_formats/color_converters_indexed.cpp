// Palette and gray row converters: depth changes of indices and gray levels, packed 1 to 8 bits or
// 16-bit words in either byte order.
//
// Packed rows are read and written as MSB-first bit streams: for 1, 2, 4 and 8 bits this is the usual
// "first pixel in the high bits" packing, and depths that do not divide a byte (as TIFF allows) stay
// continuous instead of losing their place.

#include <cstring>

#include "picture_formats/color_manager.h"
#include "picture_formats/color_row_support.h"

using namespace color_rows;

void TColorManager::RowConvertIndexed8(const TRowJob& job) const {
  const unsigned sourceBits = FSourceBitsPerSample;
  const unsigned targetBits = FTargetBitsPerSample;
  const uint8_t* source = job.Planes[0];
  uint8_t* target = job.Target;
  if (sourceBits == targetBits && job.Mask == 0xFF) {
    const size_t bytes = PackedBytes(job.Count, sourceBits);
    if (bytes > 0) std::memcpy(target, source, bytes);
    return;
  }
  // A field wider than a byte does not fit this byte-wise packing.
  if (sourceBits > 8 || targetBits > 8) throw ERangeError(SRangeError);
  const auto maxIn = static_cast<uint16_t>((1u << sourceBits) - 1);
  const auto maxOut = static_cast<uint16_t>((1u << targetBits) - 1);
  size_t sourceBit = 0;
  ForEachSelected(job.Count, job.Mask, [&](uint32_t i) {
    const unsigned value = ReadBits(source, sourceBit, sourceBits);
    sourceBit += sourceBits;
    WriteBits(target, static_cast<size_t>(i) * targetBits, targetBits,
              MulDiv16(static_cast<uint16_t>(value), maxOut, maxIn));
  });
}

void TColorManager::RowConvertIndexedSource16(const TRowJob& job) const {
  const unsigned targetBits = FTargetBitsPerSample;
  if (targetBits > 8) throw ERangeError(SRangeError);
  const auto maxOut = static_cast<uint16_t>((1u << targetBits) - 1);
  const bool swap = (FSourceOptions & optSwap16) != 0;
  const uint8_t* source = job.Planes[0];
  uint8_t* target = job.Target;
  size_t offset = 0;
  ForEachSelected(job.Count, job.Mask, [&](uint32_t i) {
    const uint16_t word = Load16(source + offset, swap);
    offset += 2;
    WriteBits(target, static_cast<size_t>(i) * targetBits, targetBits, MulDiv16(word, maxOut, 65535));
  });
}

void TColorManager::RowConvertIndexedTarget16(const TRowJob& job) const {
  const unsigned sourceBits = FSourceBitsPerSample;
  if (sourceBits > 8) throw ERangeError(SRangeError);
  const auto maxIn = static_cast<uint16_t>((1u << sourceBits) - 1);
  const bool swap = (FSourceOptions & optSwap16) != 0;
  const uint8_t* source = job.Planes[0];
  uint8_t* target = job.Target;
  size_t sourceBit = 0;
  ForEachSelected(job.Count, job.Mask, [&](uint32_t i) {
    const unsigned value = ReadBits(source, sourceBit, sourceBits);
    sourceBit += sourceBits;
    const uint16_t word = MulDiv16(static_cast<uint16_t>(value), 65535, maxIn);
    Store16(target + static_cast<size_t>(i) * 2, swap ? Swap16(word) : word);
  });
}

void TColorManager::RowConvertIndexedBoth16(const TRowJob& job) const {
  const bool swap = (FSourceOptions & optSwap16) != 0;
  const uint8_t* source = job.Planes[0];
  uint8_t* target = job.Target;
  if (!swap && job.Mask == 0xFF) {
    if (job.Count > 0) std::memcpy(target, source, static_cast<size_t>(job.Count) * 2);
    return;
  }
  size_t offset = 0;
  ForEachSelected(job.Count, job.Mask, [&](uint32_t i) {
    Store16(target + static_cast<size_t>(i) * 2, Load16(source + offset, swap));
    offset += 2;
  });
}

void TColorManager::RowConvertGray(const TRowJob& job) const {
  const unsigned sourceBits = FSourceBitsPerSample;
  const unsigned targetBits = FTargetBitsPerSample;
  if ((sourceBits != 8 && sourceBits != 16) || (targetBits != 8 && targetBits != 16)) return;
  const bool swap = (FSourceOptions & optSwap16) != 0;
  // The alpha sample of a gray-alpha source is stepped over.
  const size_t sourceStep = sourceBits / 8 * ((FSourceOptions & optAlpha) ? 2 : 1);
  const uint8_t* source = job.Planes[0];
  uint8_t* target = job.Target;
  size_t offset = 0;
  const auto walk = [&](auto convert) {
    ForEachSelected(job.Count, job.Mask, [&](uint32_t i) {
      convert(source + offset, i);
      offset += sourceStep;
    });
  };
  if (sourceBits == 8 && targetBits == 8)
    walk([&](const uint8_t* s, uint32_t i) { target[i] = *s; });
  else if (sourceBits == 8)
    walk([&](const uint8_t* s, uint32_t i) { Store16(target + static_cast<size_t>(i) * 2, Widen8(*s)); });
  else if (targetBits == 8)
    walk([&](const uint8_t* s, uint32_t i) { target[i] = Narrow16(Load16(s, swap)); });
  else
    walk(
        [&](const uint8_t* s, uint32_t i) { Store16(target + static_cast<size_t>(i) * 2, Load16(s, swap)); });
}
