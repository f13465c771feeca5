#pragma once
// Inside the drawing layer: the layout of a Windows metafile (WMF, placeable or plain) or an enhanced
// metafile (EMF) as the picture class needs it, and the players that draw their records.

#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <cstddef>
#include <cstdint>
#include <span>

struct TMetafileLayout {
  bool Enhanced = false;
  int Width = 0;  // the picture's size in pixels
  int Height = 0;
  // What the picture shows: for a WMF the logical rectangle (the placeable bounding box, or the window
  // a plain file sets), for an EMF its frame in the reference device's pixels.
  QRectF Bounds;
  QPointF PixelsPerMm;  // the resolution of the device the records address
  size_t FirstRecord = 0;
  uint32_t Objects = 0;  // object-table size the header declares
  // The file stops after a whole record but before its end: no end-of-file record, or less than its
  // header counts.
  bool EndedEarly = false;
};

// The resolution pictures are measured in: a placeable WMF's inches and an EMF's millimetres become
// pixels of a 96 dpi screen.
inline constexpr double kScreenPixelsPerInch = 96;

// Checks the header and every record's size and fields, and works out the picture's size. A damaged
// file, or one cut inside a record, raises EInvalidGraphic with what is wrong; one cut after a record
// is read as far as it goes and said to have ended early.
TMetafileLayout ReadMetafileLayout(std::span<const uint8_t> file);

// Draws the records into target (picture pixels of the painter's device).
void PlayMetafile(std::span<const uint8_t> file, const TMetafileLayout& layout, QPainter& painter,
                  const QRectF& target);
void PlayWmfRecords(std::span<const uint8_t> file, const TMetafileLayout& layout, class TMetafileDC& dc);
void PlayEmfRecords(std::span<const uint8_t> file, const TMetafileLayout& layout, class TMetafileDC& dc);
