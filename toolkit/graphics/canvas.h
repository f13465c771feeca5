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

  // Pixels[x, y]: a point outside the picture reads CLR_INVALID (-1, every byte 255, so red, green and
  // blue each read 255) and writing it does nothing. On indexed bitmaps writing picks the nearest
  // palette entry.
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

  // Shapes take GDI bounding boxes: right and bottom excluded, corners in either order; everything is
  // clipped to the bitmap. A pen of width w draws its outline w pixels thick inside the box.
  // Fills the rectangle with the brush colour (nothing with a clear brush).
  void FillRect(const TRect& rect);
  // Outline in the pen colour, inside in the brush colour (unless the brush is clear).
  void Rectangle(int x1, int y1, int x2, int y2);
  // The ellipse inscribed in the box: every pixel it sets lies inside the box and it touches all
  // four sides; outline in the pen colour, inside in the brush colour (unless the brush is clear).
  void Ellipse(int x1, int y1, int x2, int y2);
  void MoveTo(int x, int y);
  // A line from the pen position to x, y in the pen colour, the end point excluded; the pen moves there.
  void LineTo(int x, int y);
  // Writes the text with its cell's top-left corner at x, y in the font colour, on the brush colour
  // unless the brush is clear (drawn by Qt without antialiasing; needs a QGuiApplication, else
  // EInvalidGraphicOperation). The pen position moves to the end of the text.
  void TextOut(int x, int y, const std::string& text);
  int TextWidth(const std::string& text) const;
  int TextHeight(const std::string& text) const;

  // Draws the picture with its top-left corner at x, y, unscaled.
  void Draw(int x, int y, TGraphic& graphic);
  // Draws the picture scaled into rect (nearest pixel, as the GDI's COLORONCOLOR mode).
  void StretchDraw(const TRect& rect, TGraphic& graphic);
  // Copies sourceRect of the source canvas into destRect of this one (always a plain copy, SRCCOPY),
  // scaled by nearest pixel when the sizes differ. Target pixels whose source pixel lies outside the
  // source bitmap stay as they are. The source may be this canvas.
  void CopyRect(const TRect& destRect, TCanvas& source, const TRect& sourceRect);

  TBitmap& Bitmap() { return FOwner; }
  const TPoint& PenPos() const { return FPenPos; }

 private:
  void Changed();

  TBitmap& FOwner;
  TPoint FPenPos;
};
