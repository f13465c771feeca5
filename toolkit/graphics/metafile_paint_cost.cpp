#include "toolkit/graphics/metafile_paint_cost.h"

#include <QLineF>
#include <algorithm>
#include <cmath>

double PaintWeight(TPaintKind kind) {
  // Measured WEIGHTS_PENDING
  switch (kind) {
    case TPaintKind::SolidFill:
      return 1;
    case TPaintKind::HatchedFill:
      return 1;
    case TPaintKind::PatternFill:
      return 1;
    case TPaintKind::InvertingFill:
      return 1;
    case TPaintKind::ThinLine:
      return 1;
    case TPaintKind::WideLine:
      return 1;
    case TPaintKind::StyledLine:
      return 1;
    case TPaintKind::Text:
      return 1;
    case TPaintKind::Bitmap:
      return 1;
  }
  return 1;
}

TPaintKind FillKind(const QBrush& brush, QPainter::CompositionMode mode) {
  if (mode != QPainter::CompositionMode_SourceOver) return TPaintKind::InvertingFill;
  switch (brush.style()) {
    case Qt::SolidPattern:
    case Qt::NoBrush:
      return TPaintKind::SolidFill;
    case Qt::TexturePattern:
      return TPaintKind::PatternFill;
    default:
      return TPaintKind::HatchedFill;
  }
}

double PixelsWithin(const QRectF& bounds, const QRect& box) {
  const QRectF b = bounds.normalized();
  for (double v : {b.left(), b.top(), b.right(), b.bottom()})
    if (std::isnan(v)) return static_cast<double>(box.width()) * box.height();
  // Every pixel the bounds touch, however little.
  const double left = std::floor(std::max(b.left(), static_cast<double>(box.left())));
  const double top = std::floor(std::max(b.top(), static_cast<double>(box.top())));
  const double right = std::ceil(std::min(b.right(), static_cast<double>(box.right()) + 1));
  const double bottom = std::ceil(std::min(b.bottom(), static_cast<double>(box.bottom()) + 1));
  return right > left && bottom > top ? (right - left) * (bottom - top) : 0;
}

double OutlinePixels(const QPainterPath& path, const QTransform& toPicture, double width, const QRect& box) {
  // Joins and caps reach no further than the width from the line (Qt's miter limit is twice the
  // half-width).
  const double w = std::max(width, 1.0);
  const double reach = PixelsWithin(toPicture.mapRect(path.controlPointRect()).adjusted(-w, -w, w, w), box);
  if (reach == 0) return 0;
  // The length of the control polygon, which no curve it bounds is longer than.
  double length = 0;
  int figures = 0;
  QPointF last;
  for (int i = 0; i < path.elementCount() && length * w < reach; ++i) {
    const QPainterPath::Element e = path.elementAt(i);
    const QPointF point = toPicture.map(QPointF(e.x, e.y));
    if (e.isMoveTo())
      ++figures;
    else
      length += QLineF(last, point).length();
    last = point;
  }
  // Each figure's two ends take a cap.
  const double painted = (length + 2 * w * figures) * w;
  return painted < reach ? painted : reach;
}

double UnitPixels(const QTransform& toPicture) {
  return std::max(std::hypot(toPicture.m11(), toPicture.m12()), std::hypot(toPicture.m21(), toPicture.m22()));
}
