// The five PNG row filters, undone in place (ISO/IEC 15948, section 9).

#include <algorithm>
#include <cstdlib>

#include "picture_formats/png_graphic.h"
#include "toolkit/core/exceptions.h"

uint8_t PaethPredictor(uint8_t a, uint8_t b, uint8_t c) {
  const int estimate = a + b - c;
  const int toA = std::abs(estimate - a);
  const int toB = std::abs(estimate - b);
  const int toC = std::abs(estimate - c);
  if (toA <= toB && toA <= toC) return a;
  if (toB <= toC) return b;
  return c;
}

void TPNGGraphic::ApplyFilter(uint8_t filterType, std::span<uint8_t> row, std::span<const uint8_t> previous,
                              size_t bytesPerPixel) {
  if (previous.size() < row.size()) throw ERangeError("previous PNG row shorter than the current one");
  const size_t count = row.size();
  if (count == 0) return;
  // Bytes of the first pixel have no left neighbour (it counts as 0); the distance is at least 1.
  const size_t b = std::clamp<size_t>(bytesPerPixel, 1, count);
  uint8_t* r = row.data();
  const uint8_t* p = previous.data();
  switch (filterType) {
    case 1:  // Sub
      for (size_t i = b; i < count; ++i) r[i] = static_cast<uint8_t>(r[i] + r[i - b]);
      break;
    case 2:  // Up
      for (size_t i = 0; i < count; ++i) r[i] = static_cast<uint8_t>(r[i] + p[i]);
      break;
    case 3:  // Average
      for (size_t i = 0; i < b; ++i) r[i] = static_cast<uint8_t>(r[i] + p[i] / 2);
      for (size_t i = b; i < count; ++i) r[i] = static_cast<uint8_t>(r[i] + (r[i - b] + p[i]) / 2);
      break;
    case 4:  // Paeth
      for (size_t i = 0; i < b; ++i) r[i] = static_cast<uint8_t>(r[i] + PaethPredictor(0, p[i], 0));
      for (size_t i = b; i < count; ++i)
        r[i] = static_cast<uint8_t>(r[i] + PaethPredictor(r[i - b], p[i], p[i - b]));
      break;
    default:  // 0 None; unknown types leave the row as read
      break;
  }
}
