// The records of an enhanced metafile (EMF), laid out as libUEMF declares them, played on the device
// context. Each record was measured when the file was loaded (EmfRecordFits, then libUEMF's checks): its
// fixed part, points, polygon counts, rectangles and bitmap blocks lie inside it.

#include <uemf.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <optional>
#include <vector>

#include "toolkit/graphics/bmp_format.h"
#include "toolkit/graphics/metafile_dc.h"
#include "toolkit/graphics/metafile_format.h"

namespace {

constexpr uint32_t kStockObject = 0x80000000;
constexpr uint32_t kSrcCopy = 0x00CC0020;

struct TRecord {
  const uint8_t* Bytes;
  size_t Size;

  // The fixed part of record type T, or nothing when the record is shorter.
  template <class T>
  std::optional<T> Fixed(size_t bytes = sizeof(T)) const {
    if (bytes > Size || bytes > sizeof(T)) return std::nullopt;
    T value{};
    std::memcpy(&value, Bytes, bytes);
    return value;
  }
  // Whether count items of itemSize bytes at offset lie inside the record.
  bool Holds(uint64_t offset, uint64_t count, uint64_t itemSize) const {
    return offset <= Size && count <= (Size - offset) / itemSize;
  }
  int32_t I32(size_t at) const { return static_cast<int32_t>(ReadLE32(Bytes + at)); }
};

QColor Color(const U_COLORREF& c) {
  return QColor(c.Red, c.Green, c.Blue);
}

QPointF Point(const U_POINTL& p) {
  return QPointF(p.x, p.y);
}

QRectF Box(const U_RECTL& r) {
  return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom));
}

bool Sane(double v) {
  return std::isfinite(v) && std::abs(v) < 1e7;
}

// Whether it can be drawn with is the device context's to judge, by the one rule of mappings.
QTransform Transform(const U_XFORM& x) {
  return QTransform(x.eM11, x.eM12, x.eM21, x.eM22, x.eDx, x.eDy);
}

// count points at offset, of 32-bit or 16-bit coordinates.
QPolygonF Points(const TRecord& r, size_t offset, size_t count, bool wide) {
  QPolygonF points;
  points.reserve(static_cast<qsizetype>(count));
  const uint8_t* p = r.Bytes + offset;
  for (size_t i = 0; i < count; ++i) {
    if (wide) {
      points.append(QPointF(static_cast<int32_t>(ReadLE32(p)), static_cast<int32_t>(ReadLE32(p + 4))));
      p += 8;
    } else {
      points.append(QPointF(static_cast<int16_t>(ReadLE16(p)), static_cast<int16_t>(ReadLE16(p + 2))));
      p += 4;
    }
  }
  return points;
}

// The stock objects the GDI keeps (index without the stock bit); monostate for those drawing nothing.
const TGdiObject& StockObject(uint32_t index) {
  static const TGdiObject kNothing = std::monostate{};
  static const TGdiObject kObjects[] = {
      TGdiBrush{0, Qt::white, 0, {}},                 // WHITE_BRUSH
      TGdiBrush{0, QColor(0xC0, 0xC0, 0xC0), 0, {}},  // LTGRAY_BRUSH
      TGdiBrush{0, QColor(0x80, 0x80, 0x80), 0, {}},  // GRAY_BRUSH
      TGdiBrush{0, QColor(0x40, 0x40, 0x40), 0, {}},  // DKGRAY_BRUSH
      TGdiBrush{0, Qt::black, 0, {}},                 // BLACK_BRUSH
      TGdiBrush{1, Qt::black, 0, {}},                 // NULL_BRUSH
      TGdiPen{0, 0, Qt::white},                       // WHITE_PEN
      TGdiPen{0, 0, Qt::black},                       // BLACK_PEN
      TGdiPen{5, 0, Qt::black},                       // NULL_PEN
      std::monostate{},                               // (none)
      TGdiFont{},
      TGdiFont{},
      TGdiFont{},
      TGdiFont{},
      TGdiFont{},        // the fixed, variable and system fonts
      std::monostate{},  // DEFAULT_PALETTE
      TGdiFont{},
      TGdiFont{},                      // SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT
      TGdiBrush{0, Qt::white, 0, {}},  // DC_BRUSH
      TGdiPen{0, 0, Qt::black},        // DC_PEN
  };
  const uint32_t i = index & ~kStockObject;
  return i < std::size(kObjects) ? kObjects[i] : kNothing;
}

class TEmfPlayer {
 public:
  TEmfPlayer(TMetafileDC& dc, uint32_t objects) : FDC(dc) { FObjects.resize(std::max<uint32_t>(objects, 1)); }

  // False at the end-of-file record.
  bool Play(const TRecord& r);

 private:
  template <class T>
  void Put(uint32_t index, T object) {
    if (index < FObjects.size()) FObjects[index].emplace(std::in_place_type<T>, std::move(object));
  }
  QImage Dib(const TRecord& r, uint32_t offBmi, uint32_t cbBmi, uint32_t offBits, uint32_t cbBits,
             TDibUse use = TDibUse::Blit) const {
    if (cbBmi == 0) return {};
    return DecodeDib(r.Bytes + offBmi, cbBmi, r.Bytes + offBits, cbBits, use, FDC.Budget());
  }
  // Source y of the DIB calls counts from the bottom line of a bottom-up DIB.
  static QRectF DibSource(const TRecord& r, uint32_t offBmi, uint32_t cbBmi, const QImage& image, QPointF src,
                          QPointF size) {
    QRectF source(src, QSizeF(size.x(), size.y()));
    if (DibBottomUp(r.Bytes + offBmi, cbBmi)) source.moveTop(image.height() - src.y() - size.y());
    return source;
  }
  void Polys(const TRecord& r, bool wide, bool closed);
  void Text(const TRecord& r, bool wide);
  void SmallText(const TRecord& r);

  TMetafileDC& FDC;
  std::vector<std::optional<TGdiObject>> FObjects;
};

void TEmfPlayer::Polys(const TRecord& r, bool wide, bool closed) {
  const auto head = r.Fixed<U_EMRPOLYPOLYLINE>(offsetof(U_EMRPOLYPOLYLINE, aPolyCounts));
  if (!head) return;
  size_t at = offsetof(U_EMRPOLYPOLYLINE, aPolyCounts) + 4 * size_t{head->nPolys};
  std::vector<QPolygonF> shapes;
  for (uint32_t i = 0; i < head->nPolys; ++i) {
    const uint32_t count = ReadLE32(r.Bytes + offsetof(U_EMRPOLYPOLYLINE, aPolyCounts) + 4 * size_t{i});
    if (!r.Holds(at, count, wide ? 8 : 4)) return;
    shapes.push_back(Points(r, at, count, wide));
    at += size_t{count} * (wide ? 8 : 4);
  }
  closed ? FDC.PolyPolygon(shapes) : FDC.PolyPolyline(shapes);
}

// count characters at offset, of 16 bits (UTF-16) or 8 (Latin-1 standing in for the file's code page);
// nothing when they do not lie inside the record.
std::optional<QString> Characters(const TRecord& r, size_t offset, uint32_t count, bool wide) {
  if (!r.Holds(offset, count, wide ? 2 : 1) || count > 65536) return std::nullopt;
  const auto length = static_cast<qsizetype>(count);
  return wide ? QString::fromUtf16(reinterpret_cast<const char16_t*>(r.Bytes + offset), length)
              : QString::fromLatin1(reinterpret_cast<const char*>(r.Bytes + offset), length);
}

void TEmfPlayer::Text(const TRecord& r, bool wide) {
  const auto head = r.Fixed<U_EMREXTTEXTOUTW>();
  if (!head) return;
  const U_EMRTEXT& t = head->emrtext;
  const std::optional<QString> text = Characters(r, t.offString, t.nChars, wide);
  if (!text) return;
  size_t at = offsetof(U_EMREXTTEXTOUTW, emrtext) + sizeof(U_EMRTEXT);
  std::optional<QRectF> rect;
  if ((t.fOptions & U_ETO_NO_RECT) == 0) {
    rect = QRectF(QPointF(r.I32(at), r.I32(at + 4)), QPointF(r.I32(at + 8), r.I32(at + 12)));
    at += sizeof(U_RECTL);
  }
  std::vector<double> dx;
  const size_t perChar = (t.fOptions & U_ETO_PDY) != 0 ? 2 : 1;
  const uint32_t offDx = ReadLE32(r.Bytes + at);
  if (offDx != 0 && r.Holds(offDx, uint64_t{t.nChars} * perChar, 4))
    for (uint32_t i = 0; i < t.nChars; ++i) dx.push_back(r.I32(offDx + 4 * perChar * i));
  FDC.TextOut(Point(t.ptlReference), *text, rect, t.fOptions, dx);
}

void TEmfPlayer::SmallText(const TRecord& r) {
  const auto head = r.Fixed<U_EMRSMALLTEXTOUT>();
  if (!head) return;
  // The rectangle is there unless the options say it is not; the characters follow it.
  size_t at = sizeof(U_EMRSMALLTEXTOUT);
  std::optional<QRectF> rect;
  if ((head->fuOptions & U_ETO_NO_RECT) == 0) {
    rect = QRectF(QPointF(r.I32(at), r.I32(at + 4)), QPointF(r.I32(at + 8), r.I32(at + 12)));
    at += sizeof(U_RECTL);
  }
  const std::optional<QString> text =
      Characters(r, at, head->cChars, (head->fuOptions & U_ETO_SMALL_CHARS) == 0);
  if (text) FDC.TextOut(Point(head->Dest), *text, rect, head->fuOptions, {});
}

bool TEmfPlayer::Play(const TRecord& r) {
  using Kind = TMetafileDC::TArcKind;
  const uint32_t type = ReadLE32(r.Bytes);
  switch (type) {
    case U_EMR_EOF:
      return false;
    case U_EMR_POLYGON:
    case U_EMR_POLYLINE:
    case U_EMR_POLYBEZIER:
    case U_EMR_POLYBEZIERTO:
    case U_EMR_POLYLINETO:
    case U_EMR_POLYGON16:
    case U_EMR_POLYLINE16:
    case U_EMR_POLYBEZIER16:
    case U_EMR_POLYBEZIERTO16:
    case U_EMR_POLYLINETO16: {
      const bool wide = type < U_EMR_POLYBEZIER16;
      const size_t offset = offsetof(U_EMRPOLYLINE, aptl);  // the 16-bit kinds have the same layout
      const uint32_t count = ReadLE32(r.Bytes + offset - 4);
      const QPolygonF points = Points(r, offset, count, wide);
      switch (wide ? type : type - (U_EMR_POLYBEZIER16 - U_EMR_POLYBEZIER)) {
        case U_EMR_POLYGON:
          FDC.Polygon(points);
          break;
        case U_EMR_POLYLINE:
          FDC.Polyline(points);
          break;
        case U_EMR_POLYBEZIER:
          FDC.PolyBezier(points);
          break;
        case U_EMR_POLYBEZIERTO:
          FDC.PolyBezierTo(points);
          break;
        default:
          FDC.PolylineTo(points);
          break;
      }
      break;
    }
    case U_EMR_POLYPOLYLINE:
    case U_EMR_POLYPOLYGON:
      Polys(r, true, type == U_EMR_POLYPOLYGON);
      break;
    case U_EMR_POLYPOLYLINE16:
    case U_EMR_POLYPOLYGON16:
      Polys(r, false, type == U_EMR_POLYPOLYGON16);
      break;
    case U_EMR_SETWINDOWEXTEX:
      if (auto e = r.Fixed<U_EMRSETWINDOWEXTEX>()) FDC.SetWindowExt(QSizeF(e->szlExtent.cx, e->szlExtent.cy));
      break;
    case U_EMR_SETVIEWPORTEXTEX:
      if (auto e = r.Fixed<U_EMRSETVIEWPORTEXTEX>())
        FDC.SetViewportExt(QSizeF(e->szlExtent.cx, e->szlExtent.cy));
      break;
    case U_EMR_SETWINDOWORGEX:
      if (auto e = r.Fixed<U_EMRSETWINDOWORGEX>()) FDC.SetWindowOrg(Point(e->ptlOrigin));
      break;
    case U_EMR_SETVIEWPORTORGEX:
      if (auto e = r.Fixed<U_EMRSETVIEWPORTORGEX>()) FDC.SetViewportOrg(Point(e->ptlOrigin));
      break;
    case U_EMR_SCALEVIEWPORTEXTEX:
    case U_EMR_SCALEWINDOWEXTEX: {
      const double xNum = r.I32(8), xDenom = r.I32(12), yNum = r.I32(16), yDenom = r.I32(20);
      type == U_EMR_SCALEWINDOWEXTEX ? FDC.ScaleWindowExt(xNum, xDenom, yNum, yDenom)
                                     : FDC.ScaleViewportExt(xNum, xDenom, yNum, yDenom);
      break;
    }
    case U_EMR_SETPIXELV:
      if (auto e = r.Fixed<U_EMRSETPIXELV>()) FDC.SetPixel(Point(e->ptlPixel), Color(e->crColor));
      break;
    case U_EMR_SETMAPMODE:
    case U_EMR_SETBKMODE:
    case U_EMR_SETPOLYFILLMODE:
    case U_EMR_SETTEXTALIGN:
    case U_EMR_SETARCDIRECTION:
    case U_EMR_SELECTCLIPPATH:
      if (auto e = r.Fixed<U_EMRSETMAPMODE>()) {
        if (type == U_EMR_SETMAPMODE) FDC.SetMapMode(e->iMode);
        if (type == U_EMR_SETBKMODE) FDC.SetBkMode(e->iMode);
        if (type == U_EMR_SETPOLYFILLMODE) FDC.SetPolyFillMode(e->iMode);
        if (type == U_EMR_SETTEXTALIGN) FDC.SetTextAlign(e->iMode);
        if (type == U_EMR_SETARCDIRECTION) FDC.SetArcDirection(e->iMode);
        if (type == U_EMR_SELECTCLIPPATH) FDC.SelectClipPath(e->iMode);
      }
      break;
    case U_EMR_SETTEXTCOLOR:
    case U_EMR_SETBKCOLOR:
      if (auto e = r.Fixed<U_EMRSETTEXTCOLOR>())
        type == U_EMR_SETTEXTCOLOR ? FDC.SetTextColor(Color(e->crColor)) : FDC.SetBkColor(Color(e->crColor));
      break;
    case U_EMR_MOVETOEX:
      if (auto e = r.Fixed<U_EMRMOVETOEX>()) FDC.MoveTo(Point(e->ptl));
      break;
    case U_EMR_LINETO:
      if (auto e = r.Fixed<U_EMRLINETO>()) FDC.LineTo(Point(e->ptl));
      break;
    case U_EMR_EXCLUDECLIPRECT:
      if (auto e = r.Fixed<U_EMREXCLUDECLIPRECT>()) FDC.ExcludeClipRect(Box(e->rclClip));
      break;
    case U_EMR_INTERSECTCLIPRECT:
      if (auto e = r.Fixed<U_EMRINTERSECTCLIPRECT>()) FDC.IntersectClipRect(Box(e->rclClip));
      break;
    case U_EMR_EXTSELECTCLIPRGN:
      // Only the reset to no clipping is followed; other regions are passed over.
      if (auto e = r.Fixed<U_EMREXTSELECTCLIPRGN>(offsetof(U_EMREXTSELECTCLIPRGN, RgnData)))
        if (e->iMode == U_RGN_COPY && e->cbRgnData == 0) FDC.ResetClip();
      break;
    case U_EMR_SAVEDC:
      FDC.SaveDC();
      break;
    case U_EMR_RESTOREDC:
      if (auto e = r.Fixed<U_EMRRESTOREDC>()) FDC.RestoreDC(e->iRelative);
      break;
    case U_EMR_SETWORLDTRANSFORM:
      if (auto e = r.Fixed<U_EMRSETWORLDTRANSFORM>()) FDC.SetWorldTransform(Transform(e->xform));
      break;
    case U_EMR_MODIFYWORLDTRANSFORM:
      if (auto e = r.Fixed<U_EMRMODIFYWORLDTRANSFORM>())
        FDC.ModifyWorldTransform(Transform(e->xform), e->iMode);
      break;
    case U_EMR_SELECTOBJECT:
      if (auto e = r.Fixed<U_EMRSELECTOBJECT>()) {
        if (e->ihObject & kStockObject)
          FDC.Select(StockObject(e->ihObject));
        else if (e->ihObject < FObjects.size() && FObjects[e->ihObject])
          FDC.Select(*FObjects[e->ihObject]);
      }
      break;
    case U_EMR_DELETEOBJECT:
      if (auto e = r.Fixed<U_EMRDELETEOBJECT>())
        if (e->ihObject < FObjects.size()) FObjects[e->ihObject].reset();
      break;
    case U_EMR_CREATEPEN:
      if (auto e = r.Fixed<U_EMRCREATEPEN>())
        Put(e->ihPen,
            TGdiPen{e->lopn.lopnStyle, static_cast<double>(e->lopn.lopnWidth.x), Color(e->lopn.lopnColor)});
      break;
    case U_EMR_EXTCREATEPEN:
      if (auto e = r.Fixed<U_EMREXTCREATEPEN>(offsetof(U_EMREXTCREATEPEN, elp) + U_SIZE_EXTLOGPEN)) {
        const U_EXTLOGPEN& p = e->elp;
        const bool geometric = (p.elpPenStyle & U_PS_GEOMETRIC) != 0;
        TGdiPen pen{p.elpPenStyle, geometric ? static_cast<double>(p.elpWidth) : 0, Color(p.elpColor)};
        if (p.elpBrushStyle == U_BS_NULL) pen.Style = (pen.Style & ~0xFu) | U_PS_NULL;
        Put(e->ihPen, pen);
      }
      break;
    case U_EMR_CREATEBRUSHINDIRECT:
      if (auto e = r.Fixed<U_EMRCREATEBRUSHINDIRECT>())
        Put(e->ihBrush, TGdiBrush{e->lb.lbStyle, Color(e->lb.lbColor), e->lb.lbHatch, {}});
      break;
    case U_EMR_CREATEMONOBRUSH:
    case U_EMR_CREATEDIBPATTERNBRUSHPT:
      if (auto e = r.Fixed<U_EMRCREATEDIBPATTERNBRUSHPT>()) {
        TGdiBrush brush{6, Qt::black, 0, {}};
        if (e->iUsage == U_DIB_RGB_COLORS)
          brush.Pattern = Dib(r, e->offBmi, e->cbBmi, e->offBits, e->cbBits, TDibUse::Pattern);
        Put(e->ihBrush, brush);
      }
      break;
    case U_EMR_EXTCREATEFONTINDIRECTW:
      if (auto e = r.Fixed<U_EMREXTCREATEFONTINDIRECTW>(offsetof(U_EMREXTCREATEFONTINDIRECTW, elfw) +
                                                        sizeof(U_LOGFONT))) {
        const U_LOGFONT& f = e->elfw.elfLogFont;
        TGdiFont font;
        font.Height = f.lfHeight;
        font.Escapement = static_cast<int>(std::clamp(f.lfEscapement, -36000, 36000));
        font.Weight = f.lfWeight;
        font.Italic = f.lfItalic != 0;
        font.Underline = f.lfUnderline != 0;
        font.StrikeOut = f.lfStrikeOut != 0;
        qsizetype length = 0;
        while (length < U_LF_FACESIZE && f.lfFaceName[length] != 0) ++length;
        font.Face = QString::fromUtf16(reinterpret_cast<const char16_t*>(f.lfFaceName), length);
        Put(e->ihFont, font);
      }
      break;
    case U_EMR_CREATEPALETTE:
    case U_EMR_CREATECOLORSPACE:
    case U_EMR_CREATECOLORSPACEW:
      // Objects that draw nothing here still take their slot.
      Put(ReadLE32(r.Bytes + 8), std::monostate{});
      break;
    case U_EMR_ANGLEARC:
      if (auto e = r.Fixed<U_EMRANGLEARC>())
        if (Sane(e->eStartAngle) && Sane(e->eSweepAngle))
          FDC.AngleArc(Point(e->ptlCenter), e->nRadius, e->eStartAngle, e->eSweepAngle);
      break;
    case U_EMR_ELLIPSE:
      if (auto e = r.Fixed<U_EMRELLIPSE>()) FDC.Ellipse(Box(e->rclBox));
      break;
    case U_EMR_RECTANGLE:
      if (auto e = r.Fixed<U_EMRRECTANGLE>()) FDC.Rectangle(Box(e->rclBox));
      break;
    case U_EMR_ROUNDRECT:
      if (auto e = r.Fixed<U_EMRROUNDRECT>())
        FDC.RoundRect(Box(e->rclBox), QSizeF(e->szlCorner.cx, e->szlCorner.cy));
      break;
    case U_EMR_ARC:
    case U_EMR_ARCTO:
    case U_EMR_CHORD:
    case U_EMR_PIE:
      if (auto e = r.Fixed<U_EMRARC>()) {
        const Kind kind = type == U_EMR_ARC     ? Kind::Arc
                          : type == U_EMR_ARCTO ? Kind::ArcTo
                          : type == U_EMR_CHORD ? Kind::Chord
                                                : Kind::Pie;
        FDC.Arc(kind, Box(e->rclBox), Point(e->ptlStart), Point(e->ptlEnd));
      }
      break;
    case U_EMR_BEGINPATH:
      FDC.BeginPath();
      break;
    case U_EMR_ENDPATH:
      FDC.EndPath();
      break;
    case U_EMR_CLOSEFIGURE:
      FDC.CloseFigure();
      break;
    case U_EMR_ABORTPATH:
      FDC.AbortPath();
      break;
    case U_EMR_FILLPATH:
      FDC.FillPath();
      break;
    case U_EMR_STROKEPATH:
      FDC.StrokePath();
      break;
    case U_EMR_STROKEANDFILLPATH:
      FDC.StrokeAndFillPath();
      break;
    case U_EMR_BITBLT:
      if (auto e = r.Fixed<U_EMRBITBLT>()) {
        const QRectF dest(Point(e->Dest), QSizeF(e->cDest.x, e->cDest.y));
        const QImage image = Dib(r, e->offBmiSrc, e->cbBmiSrc, e->offBitsSrc, e->cbBitsSrc);
        FDC.StretchBlt(dest, image, QRectF(Point(e->Src), QSizeF(e->cDest.x, e->cDest.y)), e->dwRop);
      }
      break;
    case U_EMR_STRETCHBLT:
      if (auto e = r.Fixed<U_EMRSTRETCHBLT>()) {
        const QRectF dest(Point(e->Dest), QSizeF(e->cDest.x, e->cDest.y));
        const QImage image = Dib(r, e->offBmiSrc, e->cbBmiSrc, e->offBitsSrc, e->cbBitsSrc);
        FDC.StretchBlt(dest, image, QRectF(Point(e->Src), QSizeF(e->cSrc.x, e->cSrc.y)), e->dwRop);
      }
      break;
    case U_EMR_STRETCHDIBITS:
      if (auto e = r.Fixed<U_EMRSTRETCHDIBITS>()) {
        if (e->iUsageSrc != U_DIB_RGB_COLORS) break;
        const QImage image = Dib(r, e->offBmiSrc, e->cbBmiSrc, e->offBitsSrc, e->cbBitsSrc);
        const QRectF dest(Point(e->Dest), QSizeF(e->cDest.x, e->cDest.y));
        FDC.StretchBlt(dest, image,
                       DibSource(r, e->offBmiSrc, e->cbBmiSrc, image, Point(e->Src), Point(e->cSrc)),
                       e->dwRop);
      }
      break;
    case U_EMR_SETDIBITSTODEVICE:
      if (auto e = r.Fixed<U_EMRSETDIBITSTODEVICE>()) {
        if (e->iUsageSrc != U_DIB_RGB_COLORS) break;
        const QImage image = Dib(r, e->offBmiSrc, e->cbBmiSrc, e->offBitsSrc, e->cbBitsSrc);
        const QRectF dest(Point(e->Dest), QSizeF(e->cSrc.x, e->cSrc.y));
        FDC.StretchBlt(dest, image,
                       DibSource(r, e->offBmiSrc, e->cbBmiSrc, image, Point(e->Src), Point(e->cSrc)),
                       kSrcCopy);
      }
      break;
    case U_EMR_EXTTEXTOUTW:
    case U_EMR_EXTTEXTOUTA:
      Text(r, type == U_EMR_EXTTEXTOUTW);
      break;
    case U_EMR_SMALLTEXTOUT:
      SmallText(r);
      break;
    default:
      break;
  }
  return true;
}

}  // namespace

void PlayEmfRecords(std::span<const uint8_t> file, const TMetafileLayout& layout, TMetafileDC& dc) {
  TEmfPlayer player(dc, layout.Objects);
  for (size_t at = layout.FirstRecord; file.size() - at >= 8;) {
    const uint32_t size = ReadLE32(file.data() + at + 4);
    if (size < 8 || size > file.size() - at) break;  // the layout check has refused such files
    if (!player.Play(TRecord{file.data() + at, size})) break;
    at += size;
  }
}
