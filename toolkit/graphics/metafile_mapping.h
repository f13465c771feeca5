#pragma once
// Inside the drawing layer: the mapping of a metafile's device context, from the logical units its
// records use to the pixels of the picture (world transform, then the page: map mode, window and
// viewport), and the one rule that keeps it drawable.
//
// The rule. A record that changes the mapping (the map mode, a window or viewport origin or extent set,
// offset or scaled, the world transform set or multiplied) is carried out only when the mapping it
// leaves is usable; otherwise it is passed over and drawing goes on with the mapping before it, as the
// GDI itself refuses an extent of 0. Usable means:
// - origins and extents are finite and no larger than 2^31 (the GDI's own 32-bit range), extents not
//   0; the world transform's coefficients are finite;
// - the transform from logical units to picture pixels it makes takes one unit to no more than 2^24
//   pixels (a thousand times the largest picture) and one pixel to no more than 2^32 units (the whole
//   32-bit logical plane): its four scale and shear coefficients are no larger than 2^24, and those of
//   its inverse no larger than 2^32, so that it has one;
// - its translation is no larger than 2^60 pixels.
// So every point a record can give (coordinates below 2^32) lands within 2^61 pixels of the picture:
// finite, and far from overflowing when two are subtracted or a length is multiplied by a pen's width.
// The records' numbers can reach nothing beyond, however many times a file scales or multiplies them.

#include <QPointF>
#include <QSizeF>
#include <QTransform>
#include <cstdint>

struct TMetafileMapping {
  uint32_t MapMode = 1;  // MM_TEXT .. MM_ANISOTROPIC = 1 .. 8
  QPointF WindowOrg, ViewportOrg;
  QSizeF WindowExt{1, 1}, ViewportExt{1, 1};
  QTransform World;

  // Logical units to device units: the world transform, then the page's. pixelsPerMm is the device's
  // resolution, which the metric map modes need.
  QTransform LogicalToDevice(QPointF pixelsPerMm) const;
};

// Whether the mapping is usable (the rule above), deviceToPicture taking device units on to the
// picture's pixels.
bool UsableMapping(const TMetafileMapping& mapping, QPointF pixelsPerMm, const QTransform& deviceToPicture);

// The transform's scale and shear coefficients are finite and at most limit in size, and so is its
// translation when translationLimit is given.
bool TransformWithin(const QTransform& transform, double limit, double translationLimit);
