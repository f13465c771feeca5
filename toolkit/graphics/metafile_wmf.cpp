// The records of a Windows metafile (WMF), read with libUEMF and played on the device context.

#include <uwmf.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <queue>
#include <vector>

#include "toolkit/graphics/bmp_format.h"
#include "toolkit/graphics/metafile_dc.h"
#include "toolkit/graphics/metafile_format.h"
#include "toolkit/graphics/metafile_records.h"

namespace {

// One record of the file: a padded copy of its bytes (already checked to lie inside the file).
struct TRecord {
  const uint8_t* Bytes;
  size_t Size;

  const char* Chars() const { return reinterpret_cast<const char*>(Bytes); }
  // Whether count bytes starting at p lie inside the record.
  bool Holds(const void* p, size_t count) const {
    const auto* at = static_cast<const uint8_t*>(p);
    return p && at >= Bytes && at <= Bytes + Size && count <= static_cast<size_t>(Bytes + Size - at);
  }
  size_t BytesFrom(const void* p) const {
    return static_cast<size_t>(Bytes + Size - static_cast<const uint8_t*>(p));
  }
};

QColor Color(const U_COLORREF& c) {
  return QColor(c.Red, c.Green, c.Blue);
}

QPointF Point(const U_POINT16& p) {
  return QPointF(p.x, p.y);
}

QRectF Box(const U_RECT16& r) {
  return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom));
}

// count points of two 16-bit numbers each, x first.
QPolygonF Points(const uint8_t* p, size_t count) {
  QPolygonF points;
  points.reserve(static_cast<qsizetype>(count));
  for (size_t i = 0; i < count; ++i, p += 4)
    points.append(QPointF(static_cast<int16_t>(ReadLE16(p)), static_cast<int16_t>(ReadLE16(p + 2))));
  return points;
}

// Text of the file's 8-bit code page; Latin-1 stands in for it.
QString Text(const char* p, int16_t length) {
  return QString::fromLatin1(p, length);
}

// The object table: a new object takes the lowest free slot, as the GDI hands them out. Slots freed
// are kept in order, so that a file creating a million objects costs no more than a million steps.
class TObjectTable {
 public:
  void Add(TGdiObject object) {
    if (!FFreed.empty()) {
      FSlots[FFreed.top()] = std::move(object);
      FFreed.pop();
    } else if (FSlots.size() < kMaxSlots) {  // 16-bit indices reach no further
      FSlots.emplace_back(std::move(object));
    }
  }
  void Delete(size_t index) {
    if (index >= FSlots.size() || !FSlots[index]) return;
    FSlots[index].reset();
    FFreed.push(index);
  }
  const TGdiObject* Find(size_t index) const {
    return index < FSlots.size() && FSlots[index] ? &*FSlots[index] : nullptr;
  }

 private:
  static constexpr size_t kMaxSlots = 0xFFFF;
  std::vector<std::optional<TGdiObject>> FSlots;                            // every slot an object has taken
  std::priority_queue<size_t, std::vector<size_t>, std::greater<>> FFreed;  // the empty ones among them
};

class TWmfPlayer {
 public:
  explicit TWmfPlayer(TMetafileDC& dc) : FDC(dc) {}

  // False at the end-of-file record.
  bool Play(const TRecord& r);

 private:
  void Add(TGdiObject object) { FObjects.Add(std::move(object)); }
  void Blit(const TRecord& r, const char* dib, QPointF dest, QPointF destSize, QPointF src, QPointF srcSize,
            uint32_t rop, bool dibCoordinates);

  TMetafileDC& FDC;
  TObjectTable FObjects;
};

void TWmfPlayer::Blit(const TRecord& r, const char* dib, QPointF dest, QPointF destSize, QPointF src,
                      QPointF srcSize, uint32_t rop, bool dibCoordinates) {
  const QRectF target(dest, QSizeF(destSize.x(), destSize.y()));
  if (!r.Holds(dib, 4)) {
    FDC.PatBlt(target, rop);
    return;
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(dib);
  const QImage image = DecodePackedDib(bytes, r.BytesFrom(dib), TDibUse::Blit, FDC.Budget());
  if (image.isNull()) return;
  QRectF source(src, QSizeF(srcSize.x(), srcSize.y()));
  if (dibCoordinates && DibBottomUp(bytes, r.BytesFrom(dib)))
    source.moveTop(image.height() - src.y() - srcSize.y());
  FDC.StretchBlt(target, image, source, rop);
}

bool TWmfPlayer::Play(const TRecord& r) {
  const char* c = r.Chars();
  U_COLORREF color{};
  U_POINT16 p1{}, p2{}, p3{}, p4{};
  U_RECT16 rect{};
  uint16_t mode = 0;
  // Objects are counted even when their record is damaged, so later indices still match. Past this
  // check every field the record announces lies inside it; only what it may leave out is looked for.
  if (!WmfRecordFits(std::span(r.Bytes, r.Size))) {
    const uint8_t type = r.Bytes[4];
    if (type >= 0xF7 || type == (U_WMR_DIBCREATEPATTERNBRUSH & 0xFF)) Add(std::monostate{});
    return type != U_WMR_EOF;
  }
  switch (r.Bytes[4]) {
    case U_WMR_EOF:
      return false;
    case U_WMR_SETBKCOLOR:
      if (U_WMRSETBKCOLOR_get(c, &color)) FDC.SetBkColor(Color(color));
      break;
    case U_WMR_SETTEXTCOLOR & 0xFF:
      if (U_WMRSETTEXTCOLOR_get(c, &color)) FDC.SetTextColor(Color(color));
      break;
    case U_WMR_SETBKMODE:
      if (U_WMRSETBKMODE_get(c, &mode)) FDC.SetBkMode(mode);
      break;
    case U_WMR_SETMAPMODE:
      if (U_WMRSETMAPMODE_get(c, &mode)) FDC.SetMapMode(mode);
      break;
    case U_WMR_SETPOLYFILLMODE:
      if (U_WMRSETPOLYFILLMODE_get(c, &mode)) FDC.SetPolyFillMode(mode);
      break;
    case U_WMR_SETTEXTALIGN:
      if (U_WMRSETTEXTALIGN_get(c, &mode)) FDC.SetTextAlign(mode);
      break;
    case U_WMR_SETWINDOWORG:
      if (U_WMRSETWINDOWORG_get(c, &p1)) FDC.SetWindowOrg(Point(p1));
      break;
    case U_WMR_SETWINDOWEXT:
      if (U_WMRSETWINDOWEXT_get(c, &p1)) FDC.SetWindowExt(QSizeF(p1.x, p1.y));
      break;
    case U_WMR_SETVIEWPORTORG:
      if (U_WMRSETVIEWPORTORG_get(c, &p1)) FDC.SetViewportOrg(Point(p1));
      break;
    case U_WMR_SETVIEWPORTEXT:
      if (U_WMRSETVIEWPORTEXT_get(c, &p1)) FDC.SetViewportExt(QSizeF(p1.x, p1.y));
      break;
    case U_WMR_OFFSETWINDOWORG:
      if (U_WMROFFSETWINDOWORG_get(c, &p1)) FDC.OffsetWindowOrg(Point(p1));
      break;
    case U_WMR_OFFSETVIEWPORTORG:
      if (U_WMROFFSETVIEWPORTORG_get(c, &p1)) FDC.OffsetViewportOrg(Point(p1));
      break;
    case U_WMR_SCALEWINDOWEXT:
      if (U_WMRSCALEWINDOWEXT_get(c, &p1, &p2)) FDC.ScaleWindowExt(p2.x, p1.x, p2.y, p1.y);
      break;
    case U_WMR_SCALEVIEWPORTEXT:
      if (U_WMRSCALEVIEWPORTEXT_get(c, &p1, &p2)) FDC.ScaleViewportExt(p2.x, p1.x, p2.y, p1.y);
      break;
    case U_WMR_LINETO:
      if (U_WMRLINETO_get(c, &p1)) FDC.LineTo(Point(p1));
      break;
    case U_WMR_MOVETO:
      if (U_WMRMOVETO_get(c, &p1)) FDC.MoveTo(Point(p1));
      break;
    case U_WMR_EXCLUDECLIPRECT:
      if (U_WMREXCLUDECLIPRECT_get(c, &rect)) FDC.ExcludeClipRect(Box(rect));
      break;
    case U_WMR_INTERSECTCLIPRECT:
      if (U_WMRINTERSECTCLIPRECT_get(c, &rect)) FDC.IntersectClipRect(Box(rect));
      break;
    case U_WMR_ARC:
      if (U_WMRARC_get(c, &p1, &p2, &rect))
        FDC.Arc(TMetafileDC::TArcKind::Arc, Box(rect), Point(p1), Point(p2));
      break;
    case U_WMR_CHORD:
      if (U_WMRCHORD_get(c, &p1, &p2, &rect))
        FDC.Arc(TMetafileDC::TArcKind::Chord, Box(rect), Point(p1), Point(p2));
      break;
    case U_WMR_PIE:
      if (U_WMRPIE_get(c, &p1, &p2, &rect))
        FDC.Arc(TMetafileDC::TArcKind::Pie, Box(rect), Point(p1), Point(p2));
      break;
    case U_WMR_ELLIPSE:
      if (U_WMRELLIPSE_get(c, &rect)) FDC.Ellipse(Box(rect));
      break;
    case U_WMR_RECTANGLE:
      if (U_WMRRECTANGLE_get(c, &rect)) FDC.Rectangle(Box(rect));
      break;
    case U_WMR_ROUNDRECT: {
      int16_t width = 0, height = 0;
      if (U_WMRROUNDRECT_get(c, &width, &height, &rect)) FDC.RoundRect(Box(rect), QSizeF(width, height));
      break;
    }
    case U_WMR_SETPIXEL:
      if (U_WMRSETPIXEL_get(c, &color, &p1)) FDC.SetPixel(Point(p1), Color(color));
      break;
    case U_WMR_PATBLT: {
      uint32_t rop = 0;
      if (U_WMRPATBLT_get(c, &p1, &p2, &rop)) FDC.PatBlt(QRectF(Point(p1), QSizeF(p2.x, p2.y)), rop);
      break;
    }
    case U_WMR_SAVEDC:
      FDC.SaveDC();
      break;
    case U_WMR_RESTOREDC: {
      int16_t which = 0;
      if (U_WMRRESTOREDC_get(c, &which)) FDC.RestoreDC(which);
      break;
    }
    case U_WMR_POLYGON:
    case U_WMR_POLYLINE: {
      uint16_t count = 0;
      const char* points = nullptr;
      const bool polygon = r.Bytes[4] == U_WMR_POLYGON;
      const int got = polygon ? U_WMRPOLYGON_get(c, &count, &points) : U_WMRPOLYLINE_get(c, &count, &points);
      if (!got) break;
      const QPolygonF line = Points(reinterpret_cast<const uint8_t*>(points), count);
      polygon ? FDC.Polygon(line) : FDC.Polyline(line);
      break;
    }
    case U_WMR_POLYPOLYGON: {
      uint16_t polygons = 0;
      const uint16_t* counts = nullptr;
      const char* points = nullptr;
      if (!U_WMRPOLYPOLYGON_get(c, &polygons, &counts, &points)) break;
      std::vector<QPolygonF> shapes;
      const auto* at = reinterpret_cast<const uint8_t*>(points);
      const auto* countBytes = reinterpret_cast<const uint8_t*>(counts);
      for (uint16_t i = 0; i < polygons; ++i) {
        const uint16_t count = ReadLE16(countBytes + 2 * i);
        shapes.push_back(Points(at, count));
        at += 4 * size_t{count};
      }
      FDC.PolyPolygon(shapes);
      break;
    }
    case U_WMR_TEXTOUT: {
      int16_t length = 0;
      const char* string = nullptr;
      if (U_WMRTEXTOUT_get(c, &p1, &length, &string) && length > 0)
        FDC.TextOut(Point(p1), Text(string, length), std::nullopt, 0, {});
      break;
    }
    case U_WMR_EXTTEXTOUT: {
      int16_t length = 0;
      uint16_t options = 0;
      const char* string = nullptr;
      const int16_t* dx = nullptr;
      if (!U_WMREXTTEXTOUT_get(c, &p1, &length, &options, &string, &dx, &rect)) break;
      std::vector<double> advances;
      if (length > 0 && r.Holds(dx, 2 * size_t(length))) {
        const auto* d = reinterpret_cast<const uint8_t*>(dx);
        for (int16_t i = 0; i < length; ++i) advances.push_back(static_cast<int16_t>(ReadLE16(d + 2 * i)));
      }
      std::optional<QRectF> box;
      if ((options & (U_ETO_OPAQUE | U_ETO_CLIPPED)) != 0) box = Box(rect);
      FDC.TextOut(Point(p1), length > 0 ? Text(string, length) : QString(), box, options, advances);
      break;
    }
    case U_WMR_DIBBITBLT: {
      uint32_t rop = 0;
      const char* dib = nullptr;
      if (U_WMRDIBBITBLT_get(c, &p1, &p2, &p3, &rop, &dib))
        Blit(r, dib, Point(p1), Point(p2), Point(p3), Point(p2), rop, false);
      break;
    }
    case U_WMR_DIBSTRETCHBLT: {
      uint32_t rop = 0;
      const char* dib = nullptr;
      if (U_WMRDIBSTRETCHBLT_get(c, &p1, &p2, &p3, &p4, &rop, &dib))
        Blit(r, dib, Point(p1), Point(p2), Point(p3), Point(p4), rop, false);
      break;
    }
    case U_WMR_STRETCHDIB: {
      uint32_t rop = 0;
      uint16_t usage = 0;
      const char* dib = nullptr;
      if (U_WMRSTRETCHDIB_get(c, &p1, &p2, &p3, &p4, &usage, &rop, &dib) && usage == U_DIB_RGB_COLORS)
        Blit(r, dib, Point(p1), Point(p2), Point(p3), Point(p4), rop, true);
      break;
    }
    case U_WMR_SETDIBTODEV: {
      uint16_t usage = 0, scans = 0, start = 0;
      const char* dib = nullptr;
      if (U_WMRSETDIBTODEV_get(c, &p1, &p2, &p3, &usage, &scans, &start, &dib) && usage == U_DIB_RGB_COLORS)
        Blit(r, dib, Point(p1), Point(p2), Point(p3), Point(p2), 0x00CC0020, true);
      break;
    }
    case U_WMR_SELECTOBJECT:
      if (U_WMRSELECTOBJECT_get(c, &mode))
        if (const TGdiObject* object = FObjects.Find(mode)) FDC.Select(*object);
      break;
    case U_WMR_DELETEOBJECT & 0xFF:
      if (U_WMRDELETEOBJECT_get(c, &mode)) FObjects.Delete(mode);
      break;
    case U_WMR_CREATEPENINDIRECT & 0xFF: {
      U_PEN pen{};
      if (!U_WMRCREATEPENINDIRECT_get(c, &pen)) break;
      Add(TGdiPen{pen.Style, static_cast<double>(static_cast<int16_t>(pen.Widthw[0])), Color(pen.Color)});
      break;
    }
    case U_WMR_CREATEBRUSHINDIRECT & 0xFF: {
      const char* brush = nullptr;
      if (!U_WMRCREATEBRUSHINDIRECT_get(c, &brush)) break;
      const auto* b = reinterpret_cast<const uint8_t*>(brush);
      Add(TGdiBrush{ReadLE16(b), QColor(b[2], b[3], b[4]), ReadLE16(b + 6), {}});
      break;
    }
    case U_WMR_DIBCREATEPATTERNBRUSH & 0xFF: {
      uint16_t style = 0, usage = 0;
      const char* bitmap16 = nullptr;
      const char* dib = nullptr;
      TGdiBrush brush{5, Qt::black, 0, {}};
      // A pattern of palette indices fills black, as in an EMF.
      if (U_WMRDIBCREATEPATTERNBRUSH_get(c, &style, &usage, &bitmap16, &dib) && usage == U_DIB_RGB_COLORS &&
          r.Holds(dib, 4))
        brush.Pattern = DecodePackedDib(reinterpret_cast<const uint8_t*>(dib), r.BytesFrom(dib),
                                        TDibUse::Pattern, FDC.Budget());
      Add(brush);
      break;
    }
    case U_WMR_CREATEFONTINDIRECT & 0xFF: {
      const char* font = nullptr;
      if (!U_WMRCREATEFONTINDIRECT_get(c, &font)) {
        Add(std::monostate{});
        break;
      }
      const auto* f = reinterpret_cast<const uint8_t*>(font);
      TGdiFont made;
      made.Height = static_cast<int16_t>(ReadLE16(f));
      made.Escapement = static_cast<int16_t>(ReadLE16(f + 4));
      made.Weight = static_cast<int16_t>(ReadLE16(f + 8));
      made.Italic = f[10] != 0;
      made.Underline = f[11] != 0;
      made.StrikeOut = f[12] != 0;
      const size_t room = std::min<size_t>(32, r.BytesFrom(f + U_SIZE_FONT_CORE));
      const char* face = font + U_SIZE_FONT_CORE;
      made.Face = QString::fromLatin1(face, static_cast<qsizetype>(strnlen(face, room)));
      Add(made);
      break;
    }
    // Objects that draw nothing here still take their slot in the table.
    case U_WMR_CREATEPALETTE & 0xFF:
    case U_WMR_CREATEPATTERNBRUSH & 0xFF:
    case U_WMR_CREATEREGION & 0xFF:
    case U_WMR_CREATEBITMAP & 0xFF:
    case U_WMR_CREATEBITMAPINDIRECT & 0xFF:
      Add(std::monostate{});
      break;
    default:
      break;
  }
  return true;
}

}  // namespace

void PlayWmfRecords(std::span<const uint8_t> file, const TMetafileLayout& layout, TMetafileDC& dc) {
  TWmfPlayer player(dc);
  TPaddedRecord copy;
  for (size_t at = layout.FirstRecord; file.size() - at >= 6;) {
    const size_t size = size_t{ReadLE32(file.data() + at)} * 2;
    if (size < 6 || size > file.size() - at) break;  // the layout check has refused such files
    if (!player.Play(TRecord{copy.Hold(file.subspan(at, size)), size})) break;
    at += size;
  }
}
