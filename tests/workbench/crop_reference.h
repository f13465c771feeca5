#pragma once
// What a crop must hold: the source's window at (left, top), pixel for pixel, black where it lies
// outside the source.

#include <memory>

#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"

inline std::unique_ptr<TBitmap> WindowOf(TBitmap& source, int left, int top, int width, int height) {
  auto window = std::make_unique<TBitmap>();
  window->SetPixelFormat(pf24bit);
  window->SetSize(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int sx = left + x, sy = top + y;
      const bool inside = sx >= 0 && sy >= 0 && sx < source.Width() && sy < source.Height();
      window->Canvas().SetPixel(x, y, inside ? source.Canvas().Pixel(sx, sy) : clBlack);
    }
  return window;
}
