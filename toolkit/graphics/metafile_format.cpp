#include "toolkit/graphics/metafile_format.h"

#include <uemf.h>
#include <uemf_endian.h>
#include <uemf_safe.h>
#include <uwmf.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"
#include "toolkit/graphics/bmp_format.h"
#include "toolkit/graphics/graphics_messages.h"
#include "toolkit/graphics/metafile_budget.h"
#include "toolkit/graphics/metafile_dc.h"
#include "toolkit/graphics/metafile_records.h"

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr size_t kPlaceableSize = 22;
constexpr size_t kWmfHeaderSize = 18;
constexpr size_t kEmfHeaderMinSize = 88;
// A plain WMF names no units; the convention for such files is 1440 logical units per inch.
constexpr double kPlainWmfUnitsPerInch = 1440;
// Larger pictures are refused rather than drawn into gigabytes of pixels.
constexpr int kMaxSide = 16384;

[[noreturn]] void Fail(const std::string& detail) {
  throw EInvalidGraphic(std::string(SInvalidMetafile) + " : " + detail);
}

int CheckedSide(double pixels) {
  return std::isfinite(pixels) && pixels >= 0.5 && pixels <= kMaxSide ? static_cast<int>(std::lround(pixels))
                                                                      : 0;
}

void SetSize(TMetafileLayout& layout, double width, double height) {
  layout.Width = CheckedSide(width);
  layout.Height = CheckedSide(height);
  // Sizes shown in the message are held to what an integer holds.
  const auto shown = [](double v) {
    return static_cast<int64_t>(std::isfinite(v) ? std::clamp(v, -1.0, 1e15) : -1);
  };
  if (layout.Width == 0 || layout.Height == 0) Fail(Format(SMetafileSize, {shown(width), shown(height)}));
}

// Walks the WMF records after the header: every one must lie inside the file. Returns the first
// window origin and extent the records set, if any, and whether the records end before their
// end-of-file record.
bool CheckWmfRecords(std::span<const uint8_t> file, size_t at, QPointF& windowOrg, QSizeF& windowExt) {
  bool haveExtent = false;
  bool ended = false;
  for (int index = 0; at < file.size() && !ended; ++index) {
    if (file.size() - at < 6) Fail(Format(SMetafileTruncated, {index, static_cast<int64_t>(at)}));
    const uint64_t size = uint64_t{ReadLE32(file.data() + at)} * 2;
    if (size > file.size() - at) Fail(Format(SMetafileTruncated, {index, static_cast<int64_t>(at)}));
    if (size < 6) Fail(Format(SMetafileRecord, {index, static_cast<int64_t>(at)}));
    const uint8_t type = file[at + 4];
    ended = type == U_WMR_EOF;
    // Both records hold y then x, once they are long enough to hold them.
    const auto point = [&] {
      return QPointF(static_cast<int16_t>(ReadLE16(file.data() + at + 8)),
                     static_cast<int16_t>(ReadLE16(file.data() + at + 6)));
    };
    if (!haveExtent && size >= WmfFixedSize(U_WMR_SETWINDOWORG) && type == U_WMR_SETWINDOWORG)
      windowOrg = point();
    if (!haveExtent && size >= WmfFixedSize(U_WMR_SETWINDOWEXT) && type == U_WMR_SETWINDOWEXT) {
      const QPointF extent = point();
      windowExt = QSizeF(extent.x(), extent.y());
      haveExtent = extent.x() != 0 && extent.y() != 0;
    }
    at += size;
  }
  if (!haveExtent) windowExt = QSizeF(0, 0);
  return !ended;
}

TMetafileLayout ReadWmfLayout(std::span<const uint8_t> file) {
  TMetafileLayout layout;
  const bool placeable = file.size() >= 4 && ReadLE32(file.data()) == kPlaceableKey;
  const size_t headerAt = placeable ? kPlaceableSize : 0;
  if (file.size() < headerAt + kWmfHeaderSize) Fail(SMetafileHeader);
  // The header: type 1 (in memory) or 2 (on disk), its own size (nine words), the version, the
  // file's size in words, the object count. Nothing more is asked of it: the smallest lawful file is
  // no more than the headers and an end-of-file record.
  const uint8_t* h = file.data() + headerAt;
  const uint16_t type = ReadLE16(h);
  if ((type != 1 && type != 2) || ReadLE16(h + 2) != kWmfHeaderSize / 2) Fail(SMetafileHeader);
  layout.FirstRecord = headerAt + kWmfHeaderSize;
  layout.Objects = ReadLE16(h + 10);
  layout.PixelsPerMm = QPointF(kScreenPixelsPerInch / 25.4, kScreenPixelsPerInch / 25.4);

  QPointF windowOrg;
  QSizeF windowExt(0, 0);
  const bool noEnd = CheckWmfRecords(file, layout.FirstRecord, windowOrg, windowExt);
  // A copy stopped at a record boundary: no end-of-file record, or fewer words than the header counts.
  // The count leaves out the placeable header, but Inkscape counts it in: the whole file is measured.
  layout.EndedEarly = noEnd || uint64_t{ReadLE32(h + 6)} * 2 > file.size();
  if (placeable) {
    const auto left = static_cast<int16_t>(ReadLE16(file.data() + 6));
    const auto top = static_cast<int16_t>(ReadLE16(file.data() + 8));
    const auto right = static_cast<int16_t>(ReadLE16(file.data() + 10));
    const auto bottom = static_cast<int16_t>(ReadLE16(file.data() + 12));
    const uint16_t inch = ReadLE16(file.data() + 14);
    if (inch == 0) Fail(SMetafileInch);
    layout.Bounds = QRectF(QPointF(left, top), QPointF(right, bottom));
    SetSize(layout, std::abs(right - left) * kScreenPixelsPerInch / inch,
            std::abs(bottom - top) * kScreenPixelsPerInch / inch);
  } else {
    if (windowExt.width() == 0 || windowExt.height() == 0) Fail(SMetafileNoWindow);
    layout.Bounds = QRectF(windowOrg, windowExt);
    SetSize(layout, std::abs(windowExt.width()) * kScreenPixelsPerInch / kPlainWmfUnitsPerInch,
            std::abs(windowExt.height()) * kScreenPixelsPerInch / kPlainWmfUnitsPerInch);
  }
  return layout;
}

// Checks one EMF record at `at`: inside the file, a size that is a multiple of 4, holding what its
// fields announce, and found consistent by the library. Returns its size and type.
uint32_t CheckEmfRecord(std::span<const uint8_t> file, size_t at, int index, uint32_t& type,
                        TPaddedRecord& copy) {
  if (file.size() - at < 8) Fail(Format(SMetafileTruncated, {index, static_cast<int64_t>(at)}));
  const uint32_t size = ReadLE32(file.data() + at + 4);
  type = ReadLE32(file.data() + at);
  if (size > file.size() - at) Fail(Format(SMetafileTruncated, {index, static_cast<int64_t>(at)}));
  uint32_t checkedSize = 0;
  uint32_t checkedType = 0;
  if (size < 8 || size % 4 != 0 || !EmfRecordFits(file.subspan(at, size)))
    Fail(Format(SMetafileRecord, {index, static_cast<int64_t>(at)}));
  // libUEMF checks, on a copy, the record kinds it knows and reads as published; the others are
  // measured above only.
  if (!EmfLibraryChecks(file.subspan(at, size))) return size;
  const char* record = reinterpret_cast<const char*>(copy.Hold(file.subspan(at, size)));
  if (!U_emf_record_sizeok(record, record + size, &checkedSize, &checkedType, U_LE) ||
      !U_emf_record_safe(record))
    Fail(Format(SMetafileRecord, {index, static_cast<int64_t>(at)}));
  return size;
}

TMetafileLayout ReadEmfLayout(std::span<const uint8_t> file) {
  TMetafileLayout layout;
  layout.Enhanced = true;
  uint32_t type = 0;
  TPaddedRecord copy;
  if (file.size() < kEmfHeaderMinSize || ReadLE32(file.data()) != U_EMR_HEADER) Fail(SMetafileHeader);
  const uint32_t headerSize = CheckEmfRecord(file, 0, 0, type, copy);
  if (headerSize < kEmfHeaderMinSize) Fail(SMetafileHeader);
  const auto field = [&](size_t at) { return static_cast<int32_t>(ReadLE32(file.data() + at)); };
  layout.Objects = ReadLE16(file.data() + 56);
  const double deviceX = field(72), deviceY = field(76), mmX = field(80), mmY = field(84);
  if (deviceX > 0 && deviceY > 0 && mmX > 0 && mmY > 0)
    layout.PixelsPerMm = QPointF(deviceX / mmX, deviceY / mmY);
  else
    layout.PixelsPerMm = QPointF(kScreenPixelsPerInch / 25.4, kScreenPixelsPerInch / 25.4);
  // The frame, in hundredths of a millimetre, shown in the reference device's pixels; files without
  // one fall back on the bounds of what they draw.
  const QRectF frame(QPointF(field(24), field(28)), QPointF(field(32), field(36)));
  double width = 0, height = 0;
  if (frame.width() > 0 && frame.height() > 0) {
    layout.Bounds =
        QRectF(frame.left() * layout.PixelsPerMm.x() / 100, frame.top() * layout.PixelsPerMm.y() / 100,
               frame.width() * layout.PixelsPerMm.x() / 100, frame.height() * layout.PixelsPerMm.y() / 100);
    width = frame.width() / 100 * kScreenPixelsPerInch / 25.4;
    height = frame.height() / 100 * kScreenPixelsPerInch / 25.4;
  } else {
    layout.Bounds = QRectF(QPointF(field(8), field(12)),
                           QPointF(static_cast<double>(field(16)) + 1, static_cast<double>(field(20)) + 1));
    width = layout.Bounds.width() * kScreenPixelsPerInch / 25.4 / layout.PixelsPerMm.x();
    height = layout.Bounds.height() * kScreenPixelsPerInch / 25.4 / layout.PixelsPerMm.y();
  }
  SetSize(layout, width, height);
  layout.FirstRecord = headerSize;
  size_t at = headerSize;
  uint32_t records = 1;
  bool ended = false;
  for (int index = 1; at < file.size() && !ended; ++index, ++records) {
    at += CheckEmfRecord(file, at, index, type, copy);
    ended = type == U_EMR_EOF;
  }
  // A copy stopped at a record boundary: no end-of-file record, or fewer bytes or records than the
  // header counts.
  layout.EndedEarly =
      !ended || ReadLE32(file.data() + 48) > file.size() || ReadLE32(file.data() + 52) > records;
  return layout;
}

}  // namespace

TMetafileLayout ReadMetafileLayout(std::span<const uint8_t> file) {
  if (file.size() >= 44 && ReadLE32(file.data()) == U_EMR_HEADER &&
      ReadLE32(file.data() + 40) == kEmfSignature)
    return ReadEmfLayout(file);
  if (file.size() >= 4 &&
      (ReadLE32(file.data()) == kPlaceableKey || ReadLE16(file.data()) == 1 || ReadLE16(file.data()) == 2))
    return ReadWmfLayout(file);
  Fail(SMetafileKind);
}

void PlayMetafile(std::span<const uint8_t> file, const TMetafileLayout& layout, QPainter& painter,
                  const QRectF& target) {
  if (layout.Bounds.width() == 0 || layout.Bounds.height() == 0) return;
  TMetafileBudget budget(file.size());
  if (layout.Enhanced) {
    // Device pixels of the frame onto the target.
    QTransform toTarget;
    toTarget.translate(target.left(), target.top());
    toTarget.scale(target.width() / layout.Bounds.width(), target.height() / layout.Bounds.height());
    toTarget.translate(-layout.Bounds.left(), -layout.Bounds.top());
    TMetafileDC dc(painter, toTarget, layout.PixelsPerMm, budget);
    PlayEmfRecords(file, layout, dc);
    return;
  }
  // A WMF is played as a placeable file is: its bounds mapped onto the picture, anisotropically.
  QTransform toTarget;
  toTarget.translate(target.left(), target.top());
  toTarget.scale(target.width() / layout.Width, target.height() / layout.Height);
  TMetafileDC dc(painter, toTarget, layout.PixelsPerMm, budget);
  dc.SetMapMode(U_MM_ANISOTROPIC);
  dc.SetWindowOrg(layout.Bounds.topLeft());
  dc.SetWindowExt(layout.Bounds.size());
  dc.SetViewportOrg(QPointF(0, 0));
  dc.SetViewportExt(QSizeF(layout.Width, layout.Height));
  PlayWmfRecords(file, layout, dc);
}
