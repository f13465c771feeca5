#pragma once
// Inside the drawing layer: copying a rectangle of one bitmap into a rectangle of another, scaled by
// nearest pixel (as the GDI's COLORONCOLOR stretch mode), clipped to both bitmaps.

#include <vector>

#include "toolkit/graphics/types.h"

class TBitmap;

// Which source pixel each target pixel takes. Target pixel (Left + i, Top + j) takes source pixel
// (SourceX[i], SourceY[j]); only target pixels inside the target bitmap whose source pixel lies inside
// the source bitmap are listed (the others stay as they are).
struct TStretchMap {
  int Left = 0;
  int Top = 0;
  std::vector<int> SourceX;
  std::vector<int> SourceY;
  int Width() const { return static_cast<int>(SourceX.size()); }
  int Height() const { return static_cast<int>(SourceY.size()); }
};

// Builds the map for destRect of a targetWidth x targetHeight bitmap from sourceRect of a
// sourceWidth x sourceHeight one. Rectangles with no positive width or height give an empty map.
// The source column of target column x is sourceRect.Left + floor((x - destRect.Left + 0.5) *
// sourceWidth / destWidth), the centre of the target pixel carried into the source rectangle.
TStretchMap BuildStretchMap(int targetWidth, int targetHeight, const TRect& destRect, int sourceWidth,
                            int sourceHeight, const TRect& sourceRect);

// Copies sourceRect of source into destRect of target, converting each pixel to the target's format
// (through the source palette, to the nearest target palette entry). The source may be the target.
void StretchBlit(TBitmap& target, const TRect& destRect, const TBitmap& source, const TRect& sourceRect);
