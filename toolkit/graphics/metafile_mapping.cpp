#include "toolkit/graphics/metafile_mapping.h"

#include <algorithm>
#include <cmath>

namespace {

// The bounds of the rule (see the header).
constexpr double kMaxMappingNumber = 2147483648.0;         // 2^31
constexpr double kMaxPixelsPerUnit = 16777216.0;           // 2^24
constexpr double kMaxUnitsPerPixel = 4294967296.0;         // 2^32
constexpr double kMaxTranslation = 1152921504606846976.0;  // 2^60

bool NumberWithin(double v, double limit) {
  return std::isfinite(v) && std::abs(v) <= limit;
}

}  // namespace

QTransform TMetafileMapping::LogicalToDevice(QPointF pixelsPerMm) const {
  double mm = 0;  // millimetres per logical unit of the metric modes
  switch (MapMode) {
    case 2:
      mm = 0.1;
      break;
    case 3:
      mm = 0.01;
      break;
    case 4:
      mm = 0.254;
      break;
    case 5:
      mm = 0.0254;
      break;
    case 6:
      mm = 25.4 / 1440;
      break;
  }
  double sx = 1, sy = 1;
  if (mm != 0) {
    sx = mm * pixelsPerMm.x();
    sy = -mm * pixelsPerMm.y();  // y grows upwards
  } else if (MapMode == 7 || MapMode == 8) {
    sx = ViewportExt.width() / WindowExt.width();
    sy = ViewportExt.height() / WindowExt.height();
    if (MapMode == 7) {  // one unit is as long in x as in y
      const double unit = std::min(std::abs(sx), std::abs(sy));
      sx = std::copysign(unit, sx);
      sy = std::copysign(unit, sy);
    }
  }
  return World *
         QTransform(sx, 0, 0, sy, ViewportOrg.x() - WindowOrg.x() * sx, ViewportOrg.y() - WindowOrg.y() * sy);
}

bool TransformWithin(const QTransform& transform, double limit, double translationLimit) {
  for (double v : {transform.m11(), transform.m12(), transform.m21(), transform.m22()})
    if (!NumberWithin(v, limit)) return false;
  return NumberWithin(transform.dx(), translationLimit) && NumberWithin(transform.dy(), translationLimit);
}

bool UsableMapping(const TMetafileMapping& mapping, QPointF pixelsPerMm, const QTransform& deviceToPicture) {
  for (double v : {mapping.WindowOrg.x(), mapping.WindowOrg.y(), mapping.ViewportOrg.x(),
                   mapping.ViewportOrg.y(), mapping.WindowExt.width(), mapping.WindowExt.height(),
                   mapping.ViewportExt.width(), mapping.ViewportExt.height()})
    if (!NumberWithin(v, kMaxMappingNumber)) return false;
  if (mapping.WindowExt.width() == 0 || mapping.WindowExt.height() == 0 || mapping.ViewportExt.width() == 0 ||
      mapping.ViewportExt.height() == 0)
    return false;
  const QTransform& w = mapping.World;
  for (double v : {w.m11(), w.m12(), w.m21(), w.m22(), w.dx(), w.dy()})
    if (!std::isfinite(v)) return false;
  const QTransform toPicture = mapping.LogicalToDevice(pixelsPerMm) * deviceToPicture;
  if (!TransformWithin(toPicture, kMaxPixelsPerUnit, kMaxTranslation)) return false;
  // The inverse's scale and shear coefficients are the transform's own over its determinant.
  const double determinant = toPicture.m11() * toPicture.m22() - toPicture.m12() * toPicture.m21();
  if (!std::isfinite(determinant) || determinant == 0) return false;
  const double largest = std::max({std::abs(toPicture.m11()), std::abs(toPicture.m12()),
                                   std::abs(toPicture.m21()), std::abs(toPicture.m22())});
  return largest / std::abs(determinant) <= kMaxUnitsPerPixel;
}
