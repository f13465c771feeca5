#pragma once
// Inside the drawing layer: what painting a record costs, told before it is painted, in pixels of a
// solid fill that take as long to paint on the same image (the unit of TMetafileBudget's drawing
// budget). What Qt's painting takes time for, each with its own weight:
// - the pixels of a shape's bounds that lie on the picture and inside the clipping, weighted by what
//   fills them (brush, pen, text, bitmap);
// - the rows every edge of the shape crosses (a span begins and ends on each), and for every row the
//   square of the number of edges on it: Qt keeps a row's edges sorted by insertion, so that a polygon
//   of a thousand teeth takes seconds;
// - a line of one pixel, by the pixels it steps through;
// - under a clipping region, the spans of the region on every row the painting meets.

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QTransform>
#include <cstdint>
#include <optional>
#include <vector>

enum class TPaintKind {
  SolidFill,      // a solid brush or colour
  HatchedFill,    // a hatched brush
  PatternFill,    // a pattern brush
  InvertingFill,  // a fill combined with what lies there (PATINVERT, DSTINVERT and the like)
  Text,           // the box of a text
  Bitmap,         // a bitmap stretched on to the picture
  WideLine,       // the pixels a pen wider than one pixel covers
};

// What each cost weighs, in pixels of a solid fill.
struct TPaintWeights {
  double Area[7];     // a pixel of each kind, in the order of TPaintKind
  double ThinLine;    // a pixel a solid line of one pixel steps through
  double StyledLine;  // a pixel a dashed or dotted line of one pixel steps through
  double EdgeRow;     // a row an edge crosses
  double EdgePair;    // a pair of edges on one row
  double ClipSpan;    // a span of the clipping region on a row painted under it
};

// The weights on an image of the format (the 24-bit rows of large pictures cost more per span).
const TPaintWeights& PaintWeights(QImage::Format surface);

// The kind of a fill with brush in mode.
TPaintKind FillKind(const QBrush& brush,
                    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver);

// The pixels of bounds (picture pixels, any size, even no number) that lie inside box.
double PixelsWithin(const QRectF& bounds, const QRect& box);

// The pixels a logical unit spans at most, along either axis: what a pen's width scales by.
double UnitPixels(const QTransform& toPicture);

// Counts the cost of painting into a picture through the clipping in force; keeps what it needs from
// one record to the next.
class TPaintCounter {
 public:
  explicit TPaintCounter(const TPaintWeights& weights) : FWeights(weights) {}

  // The clipping painting goes through from now on (none: the whole device); returns the spans Qt
  // makes of it, one a row for every rectangle, which it works out once each time it is set.
  double SetClip(const std::optional<QRegion>& clip);

  // Filling path (logical units; toPicture takes them on to the picture) with a brush of the kind.
  double Fill(const QPainterPath& path, const QTransform& toPicture, const QRect& box, TPaintKind kind);
  // Outlining path with pen, whose width is in logical units unless it is cosmetic.
  double Outline(const QPainterPath& path, const QTransform& toPicture, const QRect& box, const QPen& pen);
  // Painting a rectangle of the picture of the kind (a fill, a bitmap, a text's box).
  double Rectangle(const QRectF& pictureRect, const QRect& box, TPaintKind kind);

 private:
  // Clipping spans on the rows from top to bottom (inclusive) of box.
  double ClipSpans(double top, double bottom, const QRect& box) const;
  // Edges on rows: adds count edges to the rows whose centres lie in [top, bottom) inside box.
  void AddEdges(double top, double bottom, double count, const QRect& box);
  // The cost of the edges added since the last call, and starts again.
  double EdgeCost(const QRect& box);

  const TPaintWeights& FWeights;
  // The clipping's spans on the rows above each row from its top row on, and that row (empty without
  // clipping).
  std::vector<double> FClipSpansAbove;
  int FClipTop = 0;
  // Edges a row, as differences from the row above, indexed from the box's top row; the rows they
  // reach, and the rows crossed by all of them.
  std::vector<double> FEdgeSteps;
  int FEdgeTop = INT32_MAX, FEdgeBottom = INT32_MIN;
  double FEdgeRows = 0;
};
