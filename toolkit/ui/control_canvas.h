#pragma once
// The drawing surface a control hands to its owner-draw handlers while it paints: brush, font
// (colour, bold, italic), rectangles and text, over the control's Qt painter.

#include <string>

#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/types.h"

class QPainter;

class TControlCanvas {
 public:
  TBrush Brush;
  TFont Font;
  TPen Pen;

  // Fills the rectangle (right and bottom excluded) with the brush colour.
  void FillRect(const TRect& rect);
  // Writes the text with its top-left corner at x, y in the font.
  void TextOut(int x, int y, const std::string& text);
  int TextWidth(const std::string& text) const;
  int TextHeight(const std::string& text) const;

  // The painter of the paint in progress (null outside a paint: drawing then does nothing).
  void SetPainter(QPainter* painter) { FPainter = painter; }

 private:
  void ApplyFont() const;
  QPainter* FPainter = nullptr;
};
