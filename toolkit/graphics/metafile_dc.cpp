#include "toolkit/graphics/metafile_dc.h"

#include <uemf.h>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLineF>

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/bmp_format.h"
#include "toolkit/graphics/metafile_budget.h"
#include "toolkit/graphics/metafile_numbers.h"
#include "toolkit/graphics/metafile_paint_cost.h"
#include "toolkit/graphics/metafile_records.h"
#include "toolkit/graphics/metafile_region.h"
#include "toolkit/graphics/pixel_rows.h"

namespace {

// Raster operations of the blits, as the GDI numbers them.
constexpr uint32_t kSrcCopy = 0x00CC0020;
constexpr uint32_t kSrcAnd = 0x008800C6;
constexpr uint32_t kSrcPaint = 0x00EE0086;
constexpr uint32_t kSrcInvert = 0x00660046;
constexpr uint32_t kSrcErase = 0x00440328;
constexpr uint32_t kNotSrcCopy = 0x00330008;
constexpr uint32_t kMergePaint = 0x00BB0226;
constexpr uint32_t kPatCopy = 0x00F00021;
constexpr uint32_t kPatInvert = 0x005A0049;
constexpr uint32_t kDstInvert = 0x00550009;
constexpr uint32_t kBlackness = 0x00000042;
constexpr uint32_t kWhiteness = 0x00FF0062;

// DIBs larger than this are not drawn: a few bytes of run-length data could otherwise ask for
// gigabytes.
constexpr int64_t kMaxDibPixels = int64_t{1} << 25;

QPainter::CompositionMode BlitMode(uint32_t rop) {
  switch (rop) {
    case kSrcAnd:
      return QPainter::RasterOp_SourceAndDestination;
    case kSrcPaint:
      return QPainter::RasterOp_SourceOrDestination;
    case kSrcInvert:
      return QPainter::RasterOp_SourceXorDestination;
    case kSrcErase:
      return QPainter::RasterOp_SourceAndNotDestination;
    case kNotSrcCopy:
      return QPainter::RasterOp_NotSource;
    case kMergePaint:
      return QPainter::RasterOp_NotSourceOrDestination;
    default:
      return QPainter::CompositionMode_SourceOver;
  }
}

Qt::BrushStyle HatchStyle(uint32_t hatch) {
  switch (hatch) {
    case 0:
      return Qt::HorPattern;
    case 1:
      return Qt::VerPattern;
    case 2:
      return Qt::FDiagPattern;
    case 3:
      return Qt::BDiagPattern;
    case 4:
      return Qt::CrossPattern;
    case 5:
      return Qt::DiagCrossPattern;
    default:
      return Qt::SolidPattern;
  }
}

// How far from the picture Qt is handed places to draw at: its fixed-point numbers (of text layout and
// of bitmap scaling) hold no more than 2^25 pixels. Text placed further off is left out (no glyph
// reaches the picture from there), bitmaps placed further off are cut to what lands on it.
constexpr double kDrawReach = 1 << 24;

}  // namespace

QImage DecodeDib(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize, TDibUse use,
                 TMetafileBudget& budget) {
  if (!info || infoSize < 12 || infoSize > (1u << 20) || bitsSize > (1u << 30)) return {};
  if (DibPixels(info, infoSize) > kMaxDibPixels) return {};
  TBitmap bitmap;
  try {
    // The DIB as a BMP file, so that the bitmap reader checks and decodes it.
    std::vector<uint8_t> file(kBmpFileHeaderSize + infoSize + bitsSize);
    WriteLE16(file.data(), kBmpSignature);
    WriteLE32(file.data() + 2, static_cast<uint32_t>(file.size()));
    WriteLE32(file.data() + 10, static_cast<uint32_t>(kBmpFileHeaderSize + infoSize));
    std::copy(info, info + infoSize, file.begin() + kBmpFileHeaderSize);
    if (bitsSize != 0)
      std::copy(bits, bits + bitsSize, file.begin() + kBmpFileHeaderSize + static_cast<ptrdiff_t>(infoSize));
    TMemoryStream stream;
    stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
    stream.SetPosition(0);
    bitmap.LoadFromStream(stream);
  } catch (const std::bad_alloc&) {
    RefuseTooLarge(static_cast<int>(std::min<uint64_t>(bitsSize, INT32_MAX)), 1);
  } catch (const EOutOfResources&) {
    RefuseTooLarge(bitmap.Width(), bitmap.Height());
  } catch (const Exception&) {
    return {};
  }
  if (bitmap.Empty()) return {};
  const int width = bitmap.Width(), height = bitmap.Height();
  budget.SpendBitmapPixels(uint64_t(width) * uint64_t(height));
  if (use == TDibUse::Pattern) budget.SpendBrushPixels(uint64_t(width) * uint64_t(height));
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) RefuseTooLarge(width, height);
  for (int y = 0; y < height; ++y)
    DecodeRow(bitmap.PixelFormat(), bitmap.ScanLine(y), 0, width, bitmap.ColorTable(),
              reinterpret_cast<TQuad*>(image.scanLine(y)));
  return image;
}

// A DIB packed in one block (header, colour table, pixels), as WMF records and pattern brushes hold it.
QImage DecodePackedDib(const uint8_t* dib, size_t size, TDibUse use, TMetafileBudget& budget) {
  const size_t infoSize = DibInfoSize(dib, size);
  if (infoSize == 0) return {};
  return DecodeDib(dib, infoSize, dib + infoSize, size - infoSize, use, budget);
}

bool DibBottomUp(const uint8_t* dib, size_t size) {
  if (size >= kBmpInfoHeaderSize && ReadLE32(dib) >= kBmpInfoHeaderSize)
    return static_cast<int32_t>(ReadLE32(dib + 8)) > 0;
  return true;
}

TMetafileDC::TMetafileDC(QPainter& painter, const QTransform& deviceToPicture, QPointF pixelsPerMm,
                         TMetafileBudget& budget)
    : FPainter(painter),
      FBudget(budget),
      FDeviceToPicture(deviceToPicture),
      FPixelsPerMm(pixelsPerMm),
      FCounter(PaintWeights(SurfaceFormat(painter))) {
  FPainter.setRenderHint(QPainter::Antialiasing, false);
}

// What painting costs depends on the image painted on.
QImage::Format TMetafileDC::SurfaceFormat(const QPainter& painter) {
  return painter.device()->devType() == QInternal::Image
             ? static_cast<const QImage*>(painter.device())->format()
             : QImage::Format_RGB32;
}

void TMetafileDC::Select(const TGdiObject& object) {
  if (const auto* pen = std::get_if<TGdiPen>(&object)) FState.Pen = *pen;
  if (const auto* brush = std::get_if<TGdiBrush>(&object)) FState.Brush = *brush;
  if (const auto* font = std::get_if<TGdiFont>(&object)) FState.Font = *font;
}

void TMetafileDC::Map(const TMetafileMapping& mapping) {
  if (UsableMapping(mapping, FPixelsPerMm, FDeviceToPicture)) FState.Mapping = mapping;
}

template <class T>
void TMetafileDC::MapWith(T TMetafileMapping::*field, const T& value) {
  TMetafileMapping mapping = FState.Mapping;
  mapping.*field = value;
  Map(mapping);
}

void TMetafileDC::SetMapMode(uint32_t mode) {
  if (mode >= 1 && mode <= 8) MapWith(&TMetafileMapping::MapMode, mode);
}

void TMetafileDC::SetWindowOrg(QPointF origin) {
  MapWith(&TMetafileMapping::WindowOrg, origin);
}

void TMetafileDC::SetWindowExt(QSizeF extent) {
  MapWith(&TMetafileMapping::WindowExt, extent);
}

void TMetafileDC::SetViewportOrg(QPointF origin) {
  MapWith(&TMetafileMapping::ViewportOrg, origin);
}

void TMetafileDC::SetViewportExt(QSizeF extent) {
  MapWith(&TMetafileMapping::ViewportExt, extent);
}

void TMetafileDC::OffsetWindowOrg(QPointF by) {
  SetWindowOrg(FState.Mapping.WindowOrg + by);
}

void TMetafileDC::OffsetViewportOrg(QPointF by) {
  SetViewportOrg(FState.Mapping.ViewportOrg + by);
}

void TMetafileDC::ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom) {
  if (xDenom == 0 || yDenom == 0) return;
  const QSizeF& e = FState.Mapping.WindowExt;
  SetWindowExt(QSizeF(e.width() * xNum / xDenom, e.height() * yNum / yDenom));
}

void TMetafileDC::ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom) {
  if (xDenom == 0 || yDenom == 0) return;
  const QSizeF& e = FState.Mapping.ViewportExt;
  SetViewportExt(QSizeF(e.width() * xNum / xDenom, e.height() * yNum / yDenom));
}

void TMetafileDC::SetWorldTransform(const QTransform& transform) {
  MapWith(&TMetafileMapping::World, transform);
}

void TMetafileDC::ModifyWorldTransform(const QTransform& transform, uint32_t mode) {
  const QTransform& world = FState.Mapping.World;
  if (mode == 1)
    SetWorldTransform(QTransform());
  else if (mode == 2)
    SetWorldTransform(transform * world);
  else if (mode == 3)
    SetWorldTransform(world * transform);
}

void TMetafileDC::SaveDC() {
  // Thousands of nested saves are no drawing a reader needs; the oldest state stays reachable.
  if (FSaved.size() < 4096) FSaved.push_back(FState);
}

void TMetafileDC::RestoreDC(int which) {
  const auto count = static_cast<int64_t>(FSaved.size());
  const int64_t index = which < 0 ? count + which : int64_t{which} - 1;
  if (index < 0 || index >= count) return;
  FState = FSaved[static_cast<size_t>(index)];
  FSaved.resize(static_cast<size_t>(index));
}

QRegion TMetafileDC::PictureRegion(const QRectF& logical) {
  const QTransform toPicture = LogicalToPicture();
  if (toPicture.type() > QTransform::TxScale) {
    const QPolygonF corners = toPicture.map(QPolygonF(logical.normalized()));
    if (corners != FTurnedCorners) {
      FTurnedRegion = PolygonsRegion({corners}, Qt::OddEvenFill, DeviceBox(), FBudget);
      FTurnedCorners = corners;
    }
    return FTurnedRegion;
  }
  // Pixels whose centres lie inside, as the shapes drawn with the same transform cover them; the
  // clipping reaches no further than the device box.
  const QRectF r = toPicture.mapRect(logical.normalized());
  const QRect box = DeviceBox();
  const auto edge = [](double v, int low, int high) { return RoundedWithin(v, low, high, low); };
  return QRegion(
      QRect(QPoint(edge(r.left(), box.left(), box.right() + 1), edge(r.top(), box.top(), box.bottom() + 1)),
            QPoint(edge(r.right(), box.left(), box.right() + 1) - 1,
                   edge(r.bottom(), box.top(), box.bottom() + 1) - 1)));
}

QRect TMetafileDC::DeviceBox() const {
  return QRect(-1, -1, FPainter.device()->width() + 2, FPainter.device()->height() + 2);
}

QRect TMetafileDC::PaintBox() const {
  const QRect device(0, 0, FPainter.device()->width(), FPainter.device()->height());
  return FState.Clip ? device.intersected(FState.Clip->boundingRect()) : device;
}

void TMetafileDC::SetClip(std::optional<QRegion> clip) {
  FState.Clip = std::move(clip);
  FState.ClipId = FNextClipId++;
}

void TMetafileDC::CountClip() {
  if (FState.ClipId == FCountedClipId) return;
  FCountedClipSpans = FCounter.SetClip(FState.Clip);
  FCountedClipId = FState.ClipId;
}

void TMetafileDC::SpendRectangle(const QRectF& pictureRect, TPaintKind kind) {
  CountClip();
  FBudget.SpendDrawing(FCounter.Rectangle(pictureRect, PaintBox(), kind));
}

void TMetafileDC::SpendShape(const QPainterPath& path, bool withPen, bool withBrush) {
  CountClip();
  const QTransform toPicture = LogicalToPicture();
  const QRect box = PaintBox();
  double cost = 0;
  if (withBrush && FState.Brush.Style != U_BS_NULL) {
    cost += FCounter.Fill(path, toPicture, box, FillKind(MakeBrush()));
    // A hatched brush on an opaque background lays the background first.
    if (FState.Brush.Style == U_BS_HATCHED && FState.OpaqueBackground)
      cost += FCounter.Fill(path, toPicture, box, TPaintKind::SolidFill);
  }
  if (withPen) cost += FCounter.Outline(path, toPicture, box, MakePen());
  FBudget.SpendDrawing(cost);
}

void TMetafileDC::IntersectClipRect(const QRectF& rect) {
  CombineClip(PictureRegion(rect), U_RGN_AND);
}

void TMetafileDC::ExcludeClipRect(const QRectF& rect) {
  if (!FState.Clip) SetClip(QRegion(DeviceBox()));
  CombineClip(PictureRegion(rect), U_RGN_DIFF);
}

void TMetafileDC::SelectClipPath(uint32_t mode) {
  const QList<QPolygonF> figures = FPath.toSubpathPolygons(LogicalToPicture());
  const Qt::FillRule rule = FPath.fillRule();
  FPath = QPainterPath();  // the path becomes the clipping and is gone, as after filling it
  for (const QPolygonF& figure : figures) FBudget.SpendClipWork(static_cast<uint64_t>(figure.size()));
  CombineClip(PolygonsRegion(figures, rule, DeviceBox(), FBudget), mode);
}

void TMetafileDC::CombineClip(const QRegion& region, uint32_t mode) {
  if (mode == U_RGN_COPY || !FState.Clip) {
    SetClip(region);
    return;
  }
  FBudget.SpendClipWork(static_cast<uint64_t>(FState.Clip->rectCount()) +
                        static_cast<uint64_t>(region.rectCount()));
  switch (mode) {
    case U_RGN_AND:
      SetClip(FState.Clip->intersected(region));
      break;
    case U_RGN_OR:
      SetClip(FState.Clip->united(region));
      break;
    case U_RGN_XOR:
      SetClip(FState.Clip->xored(region));
      break;
    case U_RGN_DIFF:
      SetClip(FState.Clip->subtracted(region));
      break;
  }
}

QPen TMetafileDC::MakePen() const {
  const TGdiPen& p = FState.Pen;
  const uint32_t style = p.Style & 0xF;
  if (style == 5) return Qt::NoPen;
  QPen pen(p.Color);
  // Qt refuses pens of 32768 logical units or more (drawing them one unit wide): wider ones are drawn
  // as wide as it takes them.
  const double width = std::min(std::abs(p.Width), 32767.0);
  const bool cosmetic = width <= 1 && (p.Style & 0x10000) == 0;
  pen.setWidthF(cosmetic ? 0 : width);
  pen.setCosmetic(cosmetic);
  switch (style) {
    case 1:
      pen.setStyle(Qt::DashLine);
      break;
    case 2:
    case 8:
      pen.setStyle(Qt::DotLine);
      break;
    case 3:
      pen.setStyle(Qt::DashDotLine);
      break;
    case 4:
      pen.setStyle(Qt::DashDotDotLine);
      break;
  }
  if (cosmetic) {
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
  } else {
    const uint32_t cap = p.Style & 0xF00;
    pen.setCapStyle(cap == 0x100 ? Qt::SquareCap : cap == 0x200 ? Qt::FlatCap : Qt::RoundCap);
    const uint32_t join = p.Style & 0xF000;
    pen.setJoinStyle(join == 0x1000 ? Qt::BevelJoin : join == 0x2000 ? Qt::MiterJoin : Qt::RoundJoin);
  }
  return pen;
}

QBrush TMetafileDC::MakeBrush() const {
  const TGdiBrush& b = FState.Brush;
  QBrush brush;
  switch (b.Style) {
    case 1:
      return Qt::NoBrush;
    case 2:
      brush = QBrush(b.Color, HatchStyle(b.Hatch));
      break;
    case 3:
    case 5:
    case 6:
      brush = b.Pattern.isNull() ? QBrush(b.Color) : QBrush(b.Pattern);
      break;
    default:
      return QBrush(b.Color);
  }
  // Patterns keep their size in pixels, whatever the mapping.
  brush.setTransform(LogicalToPicture().inverted());
  return brush;
}

void TMetafileDC::Prepare(bool withPen, bool withBrush) {
  FPainter.resetTransform();
  // The painter is handed the clipping only when it changes: Qt works out its spans row by row each
  // time it is handed a region.
  if (FPainterClipId != FState.ClipId) {
    if (FState.Clip) {
      CountClip();
      FBudget.SpendClipWork(CountWithin(FCountedClipSpans, UINT64_MAX));
      FPainter.setClipRegion(*FState.Clip);
    } else {
      FPainter.setClipping(false);
    }
    FPainterClipId = FState.ClipId;
  }
  FPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  FPainter.setTransform(LogicalToPicture());
  FPainter.setPen(withPen ? MakePen() : QPen(Qt::NoPen));
  FPainter.setBrush(withBrush ? MakeBrush() : QBrush(Qt::NoBrush));
  FPainter.setBackgroundMode(Qt::TransparentMode);
}

void TMetafileDC::Paint(const QPainterPath& path, bool withPen, bool withBrush) {
  const QPen pen = withPen ? MakePen() : QPen(Qt::NoPen);
  if (pen.style() == Qt::SolidLine || pen.style() == Qt::NoPen || pen.isCosmetic()) {
    Prepare(withPen, withBrush);
    FPainter.drawPath(path);
    return;
  }
  // Qt lays the dashes of a wide pen out in logical units, each with its caps: under a mapping that
  // squeezes one axis far more than the other, thousands of them land on a few pixels, and take
  // seconds and hundreds of megabytes. Such a pen draws on the picture itself, as wide as the mapping's
  // longer unit makes it, its dashes laid out in pixels (as they come out under any mapping that keeps
  // shapes).
  if (withBrush) {
    Prepare(false, true);
    FPainter.drawPath(path);
  }
  Prepare(false, false);
  const QTransform toPicture = LogicalToPicture();
  QPen onPicture = pen;
  onPicture.setWidthF(std::min(pen.widthF() * UnitPixels(toPicture), 32767.0));
  FPainter.resetTransform();
  FPainter.setPen(onPicture);
  FPainter.drawPath(toPicture.map(path));
}

void TMetafileDC::Shape(const QPainterPath& shape, bool fill) {
  QPainterPath path = shape;
  path.setFillRule(FState.FillRule);
  if (FOpenPath) {
    FOpenPath->addPath(path);
    return;
  }
  SpendShape(path, true, fill);
  // A hatched brush on an opaque background first lays the background colour.
  if (fill && FState.Brush.Style == U_BS_HATCHED && FState.OpaqueBackground) {
    Prepare(false, false);
    FPainter.fillPath(path, FState.BkColor);
  }
  Paint(path, true, fill);
}

void TMetafileDC::Line(const QPainterPath& path) {
  if (FOpenPath) {
    FOpenPath->addPath(path);
    return;
  }
  SpendShape(path, true, false);
  Paint(path, true, false);
}

void TMetafileDC::MoveTo(QPointF point) {
  FState.Position = point;
  if (FOpenPath) FOpenPath->moveTo(point);
}

QPainterPath& TMetafileDC::Figure() {
  // A figure just closed, or a path just begun, starts again at the current position.
  if (FOpenPath->elementCount() == 0 || FOpenPath->currentPosition() != FState.Position)
    FOpenPath->moveTo(FState.Position);
  return *FOpenPath;
}

void TMetafileDC::LineTo(QPointF point) {
  if (FOpenPath) {
    Figure().lineTo(point);
  } else {
    QPainterPath line(FState.Position);
    line.lineTo(point);
    SpendShape(line, true, false);
    Paint(line, true, false);
  }
  FState.Position = point;
}

void TMetafileDC::Polyline(const QPolygonF& points) {
  if (points.size() < 2) return;
  QPainterPath path;
  path.addPolygon(points);
  Line(path);
}

void TMetafileDC::PolylineTo(const QPolygonF& points) {
  if (points.isEmpty()) return;
  if (FOpenPath) {
    QPainterPath& figure = Figure();
    for (const QPointF& point : points) figure.lineTo(point);
  } else {
    QPolygonF all = points;
    all.prepend(FState.Position);
    Polyline(all);
  }
  FState.Position = points.back();
}

void TMetafileDC::Polygon(const QPolygonF& points) {
  if (points.size() < 2) return;
  QPainterPath path;
  path.addPolygon(points);
  path.closeSubpath();
  Shape(path, true);
}

void TMetafileDC::PolyPolygon(const std::vector<QPolygonF>& polygons) {
  QPainterPath path;
  for (const QPolygonF& polygon : polygons) {
    if (polygon.size() < 2) continue;
    path.addPolygon(polygon);
    path.closeSubpath();
  }
  Shape(path, true);
}

void TMetafileDC::PolyPolyline(const std::vector<QPolygonF>& polylines) {
  QPainterPath path;
  for (const QPolygonF& line : polylines)
    if (line.size() >= 2) path.addPolygon(line);
  Line(path);
}

void TMetafileDC::PolyBezier(const QPolygonF& points) {
  if (points.size() < 4) return;
  QPainterPath path(points[0]);
  for (qsizetype i = 1; i + 2 < points.size(); i += 3) path.cubicTo(points[i], points[i + 1], points[i + 2]);
  Line(path);
}

void TMetafileDC::PolyBezierTo(const QPolygonF& points) {
  if (points.size() < 3) return;
  if (FOpenPath) {
    QPainterPath& figure = Figure();
    for (qsizetype i = 0; i + 2 < points.size(); i += 3)
      figure.cubicTo(points[i], points[i + 1], points[i + 2]);
  } else {
    QPolygonF all = points;
    all.prepend(FState.Position);
    PolyBezier(all);
  }
  FState.Position = points[points.size() - 1 - points.size() % 3];
}

void TMetafileDC::Rectangle(const QRectF& box) {
  QPainterPath path;
  path.addRect(box.normalized());
  Shape(path, true);
}

void TMetafileDC::RoundRect(const QRectF& box, QSizeF corner) {
  QPainterPath path;
  path.addRoundedRect(box.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
  Shape(path, true);
}

void TMetafileDC::Ellipse(const QRectF& box) {
  QPainterPath path;
  path.addEllipse(box.normalized());
  Shape(path, true);
}

QPainterPath TMetafileDC::ArcPath(TArcKind kind, const QRectF& box, QPointF start, QPointF end,
                                  bool fromPosition) {
  const QRectF b = box.normalized();
  const QPointF c = b.center();
  const double a = std::max(b.width() / 2, 1e-9);
  const double h = std::max(b.height() / 2, 1e-9);
  // The GDI aims rays from the centre; Qt takes angles of the ellipse's parametric form.
  const auto angle = [&](QPointF p) {
    return std::atan2(-(p.y() - c.y()) / h, (p.x() - c.x()) / a) * 180 / std::numbers::pi;
  };
  const double from = angle(start);
  double sweep = std::fmod(angle(end) - from + 720, 360.0);
  if (sweep == 0) sweep = 360;
  if (FState.Clockwise) sweep -= 360;
  QPainterPath path;
  if (kind == TArcKind::Pie) {
    path.moveTo(c);
    path.arcTo(b, from, sweep);
    path.closeSubpath();
    return path;
  }
  if (fromPosition) {
    path.moveTo(FState.Position);
  } else {
    path.arcMoveTo(b, from);
  }
  path.arcTo(b, from, sweep);
  if (kind == TArcKind::Chord) path.closeSubpath();
  return path;
}

void TMetafileDC::Arc(TArcKind kind, const QRectF& box, QPointF start, QPointF end) {
  const QPainterPath path = ArcPath(kind, box, start, end, kind == TArcKind::ArcTo);
  if (kind == TArcKind::Arc || kind == TArcKind::ArcTo)
    Line(path);
  else
    Shape(path, true);
  if (kind == TArcKind::ArcTo) FState.Position = path.currentPosition();
}

void TMetafileDC::AngleArc(QPointF centre, double radius, double startAngle, double sweepAngle) {
  const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
  QPainterPath path(FState.Position);
  path.arcTo(box, startAngle, sweepAngle);
  Line(path);
  FState.Position = path.currentPosition();
}

void TMetafileDC::SetPixel(QPointF point, QColor color) {
  const QPointF at = LogicalToPicture().map(point);
  const QRect box = PaintBox();
  // A pixel off the picture, or outside the clipping's bounds, paints nothing.
  if (!(at.x() >= box.left() && at.x() < box.right() + 1 && at.y() >= box.top() && at.y() < box.bottom() + 1))
    return;
  SpendRectangle(QRectF(std::floor(at.x()), std::floor(at.y()), 1, 1), TPaintKind::SolidFill);
  Prepare(false, false);
  FPainter.resetTransform();
  FPainter.fillRect(QRectF(std::floor(at.x()), std::floor(at.y()), 1, 1), color);
}

void TMetafileDC::FillLogical(const QRectF& rect, const QBrush& brush, QPainter::CompositionMode mode) {
  SpendRectangle(LogicalToPicture().mapRect(rect.normalized()), FillKind(brush, mode));
  Prepare(false, false);
  FPainter.setCompositionMode(mode);
  QPainterPath path;
  path.addRect(rect.normalized());
  FPainter.fillPath(path, brush);
  FPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TMetafileDC::PatBlt(const QRectF& rect, uint32_t rop) {
  switch (rop) {
    case kBlackness:
      FillLogical(rect, Qt::black, QPainter::CompositionMode_SourceOver);
      break;
    case kWhiteness:
      FillLogical(rect, Qt::white, QPainter::CompositionMode_SourceOver);
      break;
    case kDstInvert:
      FillLogical(rect, Qt::white, QPainter::RasterOp_SourceXorDestination);
      break;
    case kPatInvert:
      FillLogical(rect, MakeBrush(), QPainter::RasterOp_SourceXorDestination);
      break;
    default:
      if (rop == kPatCopy || FState.Brush.Style != 1)
        FillLogical(rect, MakeBrush(), QPainter::CompositionMode_SourceOver);
      break;
  }
}

void TMetafileDC::StretchBlt(const QRectF& dest, const QImage& source, const QRectF& sourceRect,
                             uint32_t rop) {
  if (source.isNull() || sourceRect.width() == 0 || sourceRect.height() == 0) {
    if (rop == kBlackness || rop == kWhiteness || rop == kPatCopy || rop == kDstInvert) PatBlt(dest, rop);
    return;
  }
  const QRectF wanted = sourceRect.normalized();
  const QTransform toPicture = LogicalToPicture();
  const QPointF a = toPicture.map(dest.topLeft());
  const QPointF b = toPicture.map(dest.bottomRight());
  // Source pixels to picture pixels: x goes to a.x + (x - wanted.left) * fx, y likewise.
  const double fx = (b.x() - a.x()) / wanted.width();
  const double fy = (b.y() - a.y()) / wanted.height();
  if (!(fx != 0 && fy != 0 && std::isfinite(fx) && std::isfinite(fy))) return;  // no place to draw on
  const auto fromSource = [&](double x, double y) {
    return QPointF(a.x() + (x - wanted.left()) * fx, a.y() + (y - wanted.top()) * fy);
  };
  const auto toSource = [&](double x, double y) {
    return QPointF(wanted.left() + (x - a.x()) / fx, wanted.top() + (y - a.y()) / fy);
  };
  const auto placeOf = [&](const QRectF& part) {
    return QRectF(fromSource(part.left(), part.top()), fromSource(part.right(), part.bottom())).normalized();
  };
  // Only the part of the source rectangle that lies on the bitmap is drawn, at its place. A place
  // reaching far off the picture is cut down to the bitmap's pixels that land on the paint box, so that
  // Qt is handed numbers it holds (and a bitmap stretched far beyond the picture costs only what shows).
  const QRect box = PaintBox();
  const QRectF near = QRectF(box).adjusted(-kDrawReach, -kDrawReach, kDrawReach, kDrawReach);
  QRectF shown = wanted.intersected(QRectF(source.rect()));
  if (shown.isEmpty()) return;
  if (!near.contains(placeOf(shown))) {
    shown &=
        QRectF(toSource(box.left(), box.top()), toSource(box.right() + 1.0, box.bottom() + 1.0)).normalized();
    if (shown.isEmpty()) return;
  }
  const QRect pixels = shown.toAlignedRect().intersected(source.rect());
  const QRectF target = placeOf(QRectF(pixels));
  const QRectF visible = target.intersected(QRectF(box));
  if (visible.isEmpty()) return;
  SpendRectangle(visible, TPaintKind::Bitmap);
  // The whole bitmap is drawn as it is: a copy of a large one would double what it costs.
  const QImage piece = (pixels == source.rect() ? source : source.copy(pixels)).mirrored(fx < 0, fy < 0);
  Prepare(false, false);
  FPainter.resetTransform();
  FPainter.setCompositionMode(rop == kSrcCopy ? QPainter::CompositionMode_SourceOver : BlitMode(rop));
  if (near.contains(target)) {
    FPainter.drawImage(target, piece);
  } else {
    // One pixel of the piece spans more than the picture and more: the part under the box alone.
    const QRectF from((visible.left() - target.left()) / std::abs(fx),
                      (visible.top() - target.top()) / std::abs(fy), visible.width() / std::abs(fx),
                      visible.height() / std::abs(fy));
    FPainter.drawImage(visible, piece, from);
  }
  FPainter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

QFont TMetafileDC::MakeFont(double pixelHeight) const {
  const TGdiFont& f = FState.Font;
  QFont font(f.Face.isEmpty() ? QStringLiteral("Sans Serif") : f.Face);
  font.setPixelSize(RoundedWithin(pixelHeight, 1, 4096, 16));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(f.Weight == 0 ? 400 : f.Weight, 100, 900)));
  font.setItalic(f.Italic);
  font.setUnderline(f.Underline);
  font.setStrikeOut(f.StrikeOut);
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

void TMetafileDC::TextOut(QPointF at, const QString& text, const std::optional<QRectF>& rect,
                          uint32_t options, const std::vector<double>& dx) {
  if (FOpenPath) return;
  const bool opaqueRect = rect && (options & 2) != 0;
  if (opaqueRect) FillLogical(*rect, FState.BkColor, QPainter::CompositionMode_SourceOver);
  // Fonts need a graphical application; without one the text is left out. Glyph indices name glyphs
  // of the font the file was made with, which no font here matches: that text is left out too.
  if (text.isEmpty() || (options & U_ETO_GLYPH_INDEX) != 0 ||
      !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    return;

  const bool updatePosition = (FState.TextAlign & 1) != 0;
  const QPointF origin = updatePosition ? FState.Position : at;
  const QTransform toPicture = LogicalToPicture();
  const QPointF zero = toPicture.map(QPointF(0, 0));
  const double xScale = QLineF(zero, toPicture.map(QPointF(1, 0))).length();
  const double yScale = QLineF(zero, toPicture.map(QPointF(0, 1))).length();
  const double deviceScale =
      QLineF(FDeviceToPicture.map(QPointF(0, 0)), FDeviceToPicture.map(QPointF(0, 1))).length();
  double height = std::abs(FState.Font.Height) * yScale;
  if (height < 0.5) height = 16 * deviceScale;  // a height of 0 takes the device's default size
  QFont font = MakeFont(height);
  if (FState.Font.Height > 0) {  // the cell height: the character height is what is left
    const double cell = QFontMetricsF(font).height();
    if (cell > 0) font = MakeFont(height * height / cell);
  }
  const QFontMetricsF metrics(font);
  double width = 0;
  if (!dx.empty()) {
    for (double step : dx) width += step * xScale;
  } else {
    width = metrics.horizontalAdvance(text);
  }
  double x = 0;
  if ((FState.TextAlign & 6) == 6)
    x = -width / 2;
  else if ((FState.TextAlign & 6) == 2)
    x = -width;
  double y = metrics.ascent();
  if ((FState.TextAlign & 24) == 24)
    y = 0;
  else if ((FState.TextAlign & 24) == 8)
    y = -metrics.descent();

  if (updatePosition && xScale > 0) FState.Position = origin + QPointF(width / xScale, 0);
  // The text's place and turn on the picture; text placed far off it, or reaching far along its line,
  // is left out.
  const QPointF place = toPicture.map(origin);
  if (!(std::abs(place.x()) <= kDrawReach && std::abs(place.y()) <= kDrawReach && std::abs(x) <= kDrawReach &&
        std::abs(x + width) <= kDrawReach))
    return;
  QTransform placed;
  placed.translate(place.x(), place.y());
  placed.rotate(-FState.Font.Escapement / 10.0);
  const QRectF cell(x, y - metrics.ascent(), width, metrics.height());
  SpendRectangle(placed.mapRect(cell.normalized()), TPaintKind::Text);

  Prepare(false, false);
  FPainter.resetTransform();
  if (rect && (options & 4) != 0) {
    const QRegion clip = FState.Clip ? FState.Clip->intersected(PictureRegion(*rect)) : PictureRegion(*rect);
    double spans = 0;
    for (const QRect& r : clip) spans += r.height();
    FBudget.SpendClipWork(CountWithin(spans, UINT64_MAX));
    FPainter.setClipRegion(clip);
    FPainterClipId = kUnknownClip;
  }
  FPainter.setTransform(placed);
  if (FState.OpaqueBackground && !opaqueRect) FPainter.fillRect(cell, FState.BkColor);
  FPainter.setFont(font);
  FPainter.setPen(FState.TextColor);
  if (!dx.empty()) {
    double advance = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
      if (std::abs(x + advance) <= kDrawReach) FPainter.drawText(QPointF(x + advance, y), QString(text[i]));
      if (static_cast<size_t>(i) < dx.size()) advance += dx[static_cast<size_t>(i)] * xScale;
    }
  } else {
    FPainter.drawText(QPointF(x, y), text);
  }
}

void TMetafileDC::BeginPath() {
  FOpenPath = QPainterPath();
  FOpenPath->moveTo(FState.Position);
}

void TMetafileDC::EndPath() {
  if (!FOpenPath) return;
  FPath = *FOpenPath;
  FPath.setFillRule(FState.FillRule);
  FOpenPath.reset();
}

void TMetafileDC::CloseFigure() {
  if (FOpenPath) FOpenPath->closeSubpath();
}

void TMetafileDC::AbortPath() {
  FOpenPath.reset();
  FPath = QPainterPath();
}

void TMetafileDC::FillPath() {
  DrawPath(false, true);
}

void TMetafileDC::StrokePath() {
  DrawPath(true, false);
}

void TMetafileDC::StrokeAndFillPath() {
  DrawPath(true, true);
}

void TMetafileDC::DrawPath(bool withPen, bool withBrush) {
  FPath.setFillRule(FState.FillRule);
  SpendShape(FPath, withPen, withBrush);
  Paint(FPath, withPen, withBrush);
  FPath = QPainterPath();
}
