#pragma once
// Inside the drawing layer: the device context that plays metafile records, GDI style, onto a QPainter.
// The record readers (WMF, EMF) turn each record into one call here in logical coordinates; this class
// keeps the GDI state (objects selected, colours, modes, mapping, current position, path bracket,
// clipping, saved states) and draws through the transform logical -> device -> picture pixels.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QRegion>
#include <QString>
#include <QTransform>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "toolkit/graphics/metafile_mapping.h"
#include "toolkit/graphics/metafile_paint_cost.h"

struct TGdiPen {
  uint32_t Style = 0;  // PS_ style, end cap, join and type bits
  double Width = 0;    // logical units; 0 (or a cosmetic pen) draws one device pixel
  QColor Color = Qt::black;
};

struct TGdiBrush {
  uint32_t Style = 0;  // BS_SOLID, BS_NULL, BS_HATCHED, BS_PATTERN / BS_DIBPATTERN(PT)
  QColor Color = Qt::white;
  uint32_t Hatch = 0;
  QImage Pattern;  // the pattern of a pattern brush
};

struct TGdiFont {
  double Height = 0;   // logical units: negative the character height, positive the cell height
  int Escapement = 0;  // tenths of a degree, counter-clockwise
  int Weight = 400;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  QString Face;
};

// What an object-table slot holds; std::monostate stands for objects that draw nothing here
// (palettes, regions, colour spaces), which may still be selected and deleted.
using TGdiObject = std::variant<std::monostate, TGdiPen, TGdiBrush, TGdiFont>;

class TMetafileBudget;

// What a DIB is decoded for: drawn once by a blit, or kept by a pattern brush.
enum class TDibUse { Blit, Pattern };

// A device-independent bitmap decoded for drawing; null when the bytes were unusable or it is too large
// to be drawn. Its pixels are spent from the budget.
QImage DecodeDib(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize, TDibUse use,
                 TMetafileBudget& budget);
// The same for a DIB packed in one block: header, colour table, then the pixels.
QImage DecodePackedDib(const uint8_t* dib, size_t size, TDibUse use, TMetafileBudget& budget);
// Whether a DIB's rows run bottom-up (a BITMAPCOREHEADER, or a positive height), so that source y counts
// from the bottom line as the GDI's DIB calls measure it.
bool DibBottomUp(const uint8_t* dib, size_t size);

class TMetafileDC {
 public:
  // deviceToPicture maps device units onto the picture's pixels; pixelsPerMm is the device's
  // resolution, which the metric mapping modes need. The work of clipping is spent from the budget.
  TMetafileDC(QPainter& painter, const QTransform& deviceToPicture, QPointF pixelsPerMm,
              TMetafileBudget& budget);

  TMetafileBudget& Budget() { return FBudget; }

  // Attributes.
  void Select(const TGdiObject& object);
  void SetTextColor(QColor color) { FState.TextColor = color; }
  void SetBkColor(QColor color) { FState.BkColor = color; }
  void SetBkMode(uint32_t mode) { FState.OpaqueBackground = mode == 2; }
  void SetPolyFillMode(uint32_t mode) { FState.FillRule = mode == 2 ? Qt::WindingFill : Qt::OddEvenFill; }
  void SetTextAlign(uint32_t align) { FState.TextAlign = align; }
  void SetArcDirection(uint32_t direction) { FState.Clockwise = direction == 2; }

  // Mapping. A change that would leave a mapping the drawing cannot use (an extent of 0 among them) is
  // passed over: the rule is in metafile_mapping.h.
  void SetMapMode(uint32_t mode);
  void SetWindowOrg(QPointF origin);
  void SetWindowExt(QSizeF extent);
  void SetViewportOrg(QPointF origin);
  void SetViewportExt(QSizeF extent);
  void OffsetWindowOrg(QPointF by);
  void OffsetViewportOrg(QPointF by);
  // Scalings with a denominator of 0 are passed over.
  void ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
  void ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
  void SetWorldTransform(const QTransform& transform);
  // mode 1: identity, 2: transform applied before the current one, 3: after it.
  void ModifyWorldTransform(const QTransform& transform, uint32_t mode);

  // States. RestoreDC takes a negative count back from the latest state or a positive state number;
  // a number that names no saved state is ignored.
  void SaveDC();
  void RestoreDC(int which);

  // Clipping, in logical coordinates.
  void IntersectClipRect(const QRectF& rect);
  void ExcludeClipRect(const QRectF& rect);
  void ResetClip() { SetClip(std::nullopt); }
  // Combines the closed path with the clipping area (RGN_AND, OR, XOR, DIFF, COPY = 1..5); the path is
  // used up.
  void SelectClipPath(uint32_t mode);

  // Drawing, in logical coordinates.
  void MoveTo(QPointF point);
  void LineTo(QPointF point);
  void Polyline(const QPolygonF& points);
  void PolylineTo(const QPolygonF& points);
  void Polygon(const QPolygonF& points);
  void PolyPolygon(const std::vector<QPolygonF>& polygons);
  void PolyPolyline(const std::vector<QPolygonF>& polylines);
  // Cubic Bezier curves: start, then three points per curve. PolyBezierTo and PolylineTo start at the
  // position and, inside a path bracket, go on with the figure there, as LineTo does.
  void PolyBezier(const QPolygonF& points);
  void PolyBezierTo(const QPolygonF& points);
  void Rectangle(const QRectF& box);
  void RoundRect(const QRectF& box, QSizeF corner);
  void Ellipse(const QRectF& box);
  enum class TArcKind { Arc, ArcTo, Chord, Pie };
  // The part of the ellipse inscribed in box from the ray towards start to the ray towards end,
  // counter-clockwise unless the arc direction says otherwise.
  void Arc(TArcKind kind, const QRectF& box, QPointF start, QPointF end);
  void AngleArc(QPointF centre, double radius, double startAngle, double sweepAngle);
  void SetPixel(QPointF point, QColor color);
  // Fills a rectangle: with the brush (PATCOPY), black (BLACKNESS), white (WHITENESS) or inverting.
  void PatBlt(const QRectF& rect, uint32_t rop);
  // Draws source (its sourceRect, in pixels) into the logical rectangle; a negative size mirrors.
  void StretchBlt(const QRectF& dest, const QImage& source, const QRectF& sourceRect, uint32_t rop);
  // Text at a logical point; with a rectangle, ETO_OPAQUE (2) fills it with the background colour and
  // ETO_CLIPPED (4) clips the text to it; ETO_GLYPH_INDEX (16) leaves the text out. dx gives each
  // character's advance in logical units.
  void TextOut(QPointF at, const QString& text, const std::optional<QRectF>& rect, uint32_t options,
               const std::vector<double>& dx);

  // Path bracket: between BeginPath and EndPath the drawing calls above add to the path.
  void BeginPath();
  void EndPath();
  void CloseFigure();
  void AbortPath();
  void FillPath();
  void StrokePath();
  void StrokeAndFillPath();

 private:
  struct TState {
    TGdiPen Pen;
    TGdiBrush Brush;
    TGdiFont Font;
    QColor TextColor = Qt::black;
    QColor BkColor = Qt::white;
    bool OpaqueBackground = true;
    Qt::FillRule FillRule = Qt::OddEvenFill;
    uint32_t TextAlign = 0;
    bool Clockwise = false;
    TMetafileMapping Mapping;
    QPointF Position;
    std::optional<QRegion> Clip;  // picture pixels
    uint64_t ClipId = 0;          // tells one clipping from another
  };

  // Carries out a change of the mapping when the mapping it leaves is usable.
  void Map(const TMetafileMapping& mapping);
  // The same for a change of one of its fields.
  template <class T>
  void MapWith(T TMetafileMapping::*field, const T& value);
  QTransform LogicalToPicture() const {
    return FState.Mapping.LogicalToDevice(FPixelsPerMm) * FDeviceToPicture;
  }
  // The painter's device with a pixel to spare all round: clipping reaches no further.
  QRect DeviceBox() const;
  // The pixels painting can reach: the device's, within the clipping's bounds.
  QRect PaintBox() const;
  static QImage::Format SurfaceFormat(const QPainter& painter);
  // Changes the clipping (none: the whole device).
  void SetClip(std::optional<QRegion> clip);
  // Has the counter follow the clipping.
  void CountClip();
  // Spend the drawing budget before painting: a rectangle of the picture of the kind, or a shape
  // (logical units) outlined with the pen and filled with the brush.
  void SpendRectangle(const QRectF& pictureRect, TPaintKind kind);
  void SpendShape(const QPainterPath& path, bool withPen, bool withBrush);
  // The picture pixels a logical rectangle covers.
  QRegion PictureRegion(const QRectF& logical);
  // The open path, its current point moved to the current position unless it is already there.
  QPainterPath& Figure();
  // Sets the painter for a shape: transform, clip, pen and brush (either may be left out).
  void Prepare(bool withPen, bool withBrush);
  QPen MakePen() const;
  QBrush MakeBrush() const;
  // Paints a path (logical units) with the pen, the brush or both.
  void Paint(const QPainterPath& path, bool withPen, bool withBrush);
  // Draws the outline and the inside of a closed shape, or adds it to the open path.
  void Shape(const QPainterPath& path, bool fill);
  // Draws an open line, or adds it to the open path.
  void Line(const QPainterPath& path);
  // Draws the path of the last closed bracket with the pen, the brush or both, and forgets it.
  void DrawPath(bool withPen, bool withBrush);
  QPainterPath ArcPath(TArcKind kind, const QRectF& box, QPointF start, QPointF end, bool fromPosition);
  QFont MakeFont(double pixelHeight) const;
  // Fills a logical rectangle (picture clip applied) with a colour or the brush.
  void FillLogical(const QRectF& rect, const QBrush& brush, QPainter::CompositionMode mode);

  // Combines the clipping with region (RGN_AND, OR, XOR, DIFF, COPY = 1..5), its work spent first.
  void CombineClip(const QRegion& region, uint32_t mode);

  QPainter& FPainter;
  TMetafileBudget& FBudget;
  QTransform FDeviceToPicture;
  QPointF FPixelsPerMm;
  TPaintCounter FCounter;
  TState FState;
  // Clippings: the next one's number, the one the counter follows and the one the painter holds.
  static constexpr uint64_t kUnknownClip = UINT64_MAX;
  uint64_t FNextClipId = 1;
  uint64_t FCountedClipId = 0;
  double FCountedClipSpans = 0;  // the spans Qt makes of the clipping the counter follows
  uint64_t FPainterClipId = kUnknownClip;
  std::vector<TState> FSaved;
  // The last rectangle PictureRegion turned under a rotation or shear, and its pixels: clipping records
  // come in runs of one rectangle.
  QPolygonF FTurnedCorners;
  QRegion FTurnedRegion;
  std::optional<QPainterPath> FOpenPath;  // the bracket being recorded (logical units)
  QPainterPath FPath;                     // the path of the last closed bracket
};
