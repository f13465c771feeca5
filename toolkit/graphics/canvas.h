#pragma once
// The drawing surface of a bitmap: pixels, rectangles, pictures, stretched copies, ellipses and text.

#include <string>

#include "toolkit/graphics/types.h"

class TBitmap;
class TGraphic;

struct TBrush {
  TColor Color = clWhite;
  bool Clear = false;  // bsClear: shapes are not filled
};

struct TPen {
  TColor Color = clBlack;
  int Width = 1;
};

struct TFont {
  std::string Name = "MS Sans Serif";
  int Height = -11;  // negative: character height in pixels
  TColor Color = clBlack;
  bool Bold = false;
  bool Italic = false;
};

class TCanvas {
 public:
  explicit TCanvas(TBitmap& owner) : FOwner(owner) {}

  TBrush Brush;
  TPen Pen;
  TFont Font;

  // Pixels[x, y]: a point outside the picture reads with every colour byte 255 (0xFFFFFF... as
  // clWhite) and writing it does nothing. On indexed bitmaps writing picks the nearest palette entry.
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

  // Fills the rectangle (right and bottom excluded, clipped to the bitmap) with the brush colour.
  void FillRect(const TRect& rect);
  // Outline in the pen colour, inside in the brush colour (unless the brush is clear).
  void Rectangle(int x1, int y1, int x2, int y2);
  void Ellipse(int x1, int y1, int x2, int y2);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void TextOut(int x, int y, const std::string& text);
  int TextWidth(const std::string& text) const;
  int TextHeight(const std::string& text) const;

  // Draws the picture with its top-left corner at x, y, unscaled.
  void Draw(int x, int y, TGraphic& graphic);
  // Draws the picture scaled into rect (nearest pixel).
  void StretchDraw(const TRect& rect, TGraphic& graphic);
  // Copies sourceRect of the source canvas into destRect of this one, scaled when the sizes differ.
  void CopyRect(const TRect& destRect, TCanvas& source, const TRect& sourceRect);

  TBitmap& Bitmap() { return FOwner; }

 private:
  TBitmap& FOwner;
  TPoint FPenPos;
};
