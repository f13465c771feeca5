#pragma once
// Small pictures for the stacking tests: reproducible noise, and per-pixel references written the
// plain way (one ScanLine call per row, no shared row walking).

#include <cstdint>
#include <functional>
#include <memory>

#include "toolkit/graphics/bitmap.h"

// A 24-bit picture of the given size filled with noise from the seed.
inline std::unique_ptr<TBitmap> NoisePicture(int width, int height, uint32_t seed) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(width, height);
  uint32_t state = seed * 2654435761u + 1u;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width * 3; ++x) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      bitmap->ScanLine(y)[x] = static_cast<uint8_t>(state >> 8);
    }
  return bitmap;
}

inline std::unique_ptr<TBitmap> CopyOf(const TBitmap& bitmap) {
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(bitmap);
  return copy;
}

// acc := op(acc, picture) byte by byte.
inline void ReferenceBytes(TBitmap& acc, TBitmap& picture,
                           const std::function<uint8_t(uint8_t, uint8_t)>& op) {
  for (int y = 0; y < acc.Height(); ++y)
    for (int x = 0; x < acc.Width() * 3; ++x)
      acc.ScanLine(y)[x] = op(acc.ScanLine(y)[x], picture.ScanLine(y)[x]);
}

inline bool SamePixels(TBitmap& a, TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width() * 3; ++x)
      if (a.ScanLine(y)[x] != b.ScanLine(y)[x]) return false;
  return true;
}
