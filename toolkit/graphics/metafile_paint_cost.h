#pragma once
// Inside the drawing layer: what painting a record costs, told before it is painted, in pixels of a
// solid fill that take as long to paint (the unit of TMetafileBudget's drawing budget). A fill costs the
// pixels of its bounds that lie on the picture and inside the clipping; an outline no more than its
// length times the pen's width, nor more than its bounds widened by that width; text its box; a bitmap
// the pixels it is stretched on to. Each is weighted by what painting one of its pixels costs.

#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QRect>
#include <QRectF>
#include <QTransform>

enum class TPaintKind {
  SolidFill,      // a solid brush or colour
  HatchedFill,    // a hatched brush
  PatternFill,    // a pattern brush
  InvertingFill,  // a fill that combines with what lies there (PATINVERT, DSTINVERT)
  ThinLine,       // a pen of one pixel, solid
  WideLine,       // a pen wider than a pixel, solid
  StyledLine,     // a dashed or dotted pen, of any width
  Text,
  Bitmap,  // a bitmap stretched on to the picture
};

// What painting one pixel of the kind costs, in pixels of a solid fill.
double PaintWeight(TPaintKind kind);

// The kind of a fill with brush in mode.
TPaintKind FillKind(const QBrush& brush, QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver);

// The pixels of bounds (picture pixels, any size, even no number) that lie inside box.
double PixelsWithin(const QRectF& bounds, const QRect& box);

// The pixels inside box that an outline of path (logical units, toPicture taking them on to the
// picture) with a pen width pixels wide may paint: its length times the width, and no more than its
// bounds widened by the width.
double OutlinePixels(const QPainterPath& path, const QTransform& toPicture, double width, const QRect& box);

// The pixels a logical unit spans at most, along either axis: what a pen's width scales by.
double UnitPixels(const QTransform& toPicture);
