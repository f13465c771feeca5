#include "toolkit/graphics/metafile_records.h"

#include <uemf.h>
#include <uwmf.h>

#include <algorithm>
#include <cstring>

#include "toolkit/graphics/bmp_format.h"

#if defined(__SANITIZE_ADDRESS__)
#define ORVANTA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVANTA_ASAN 1
#endif
#endif
#ifdef ORVANTA_ASAN
#include <sanitizer/asan_interface.h>
#endif
#if __has_include(<valgrind/memcheck.h>)
#include <valgrind/memcheck.h>
#endif

namespace {

uint32_t Le32(std::span<const uint8_t> r, size_t at) {
  return ReadLE32(r.data() + at);
}
uint16_t Le16(std::span<const uint8_t> r, size_t at) {
  return ReadLE16(r.data() + at);
}

// Whether fixed + count items of itemSize bytes fit in size, without overflow.
bool Holds(size_t size, uint64_t fixed, uint64_t count, uint64_t itemSize) {
  return fixed <= size && count <= (size - fixed) / itemSize;
}

// Bytes of the pixel rows of an uncompressed DIB, or 0 when its header does not say.
uint64_t RowBytes(const uint8_t* dib, int64_t rows, int64_t& lines) {
  const uint32_t headerSize = ReadLE32(dib);
  int64_t width = 0, height = 0;
  int bits = 0;
  uint32_t compression = BI_RGB;
  if (headerSize == kBmpCoreHeaderSize) {
    width = ReadLE16(dib + 4);
    height = ReadLE16(dib + 6);
    bits = ReadLE16(dib + 10);
  } else {
    width = static_cast<int32_t>(ReadLE32(dib + 4));
    height = static_cast<int32_t>(ReadLE32(dib + 8));
    bits = ReadLE16(dib + 14);
    compression = ReadLE32(dib + 16);
  }
  if (compression != BI_RGB && compression != BI_BITFIELDS && compression != BI_ALPHABITFIELDS) return 0;
  lines = std::abs(height);
  if (rows >= 0) lines = std::min(lines, rows);
  return (static_cast<uint64_t>(std::abs(width)) * static_cast<uint64_t>(bits) + 31) / 32 * 4;
}

// A bitmap an EMF record places by offsets: header and colour table inside their block, the block and
// the pixels inside the record. A record without one (no header bytes) fits.
bool EmfDibFits(std::span<const uint8_t> r, size_t offBmiAt) {
  const uint32_t offBmi = Le32(r, offBmiAt), cbBmi = Le32(r, offBmiAt + 4);
  const uint32_t offBits = Le32(r, offBmiAt + 8), cbBits = Le32(r, offBmiAt + 12);
  if (cbBmi == 0) return true;
  if (!Holds(r.size(), offBmi, cbBmi, 1) || !Holds(r.size(), offBits, cbBits, 1)) return false;
  // libUEMF reads a whole BITMAPINFOHEADER wherever the block starts, unless it is a BITMAPCOREHEADER,
  // which it is not given (see EmfLibraryChecks).
  const size_t header =
      cbBmi >= 4 && Le32(r, offBmi) == kBmpCoreHeaderSize ? kBmpCoreHeaderSize : kBmpInfoHeaderSize;
  return Holds(r.size(), offBmi, header, 1) && DibInfoSize(r.data() + offBmi, cbBmi) != 0;
}

// Whether the bitmap an EMF record places by the offsets at offBmiAt (the record measured) has a
// BITMAPCOREHEADER.
bool CoreDib(std::span<const uint8_t> r, size_t offBmiAt) {
  const uint32_t offBmi = Le32(r, offBmiAt);
  return Le32(r, offBmiAt + 4) >= 4 && Holds(r.size(), offBmi, 4, 1) && Le32(r, offBmi) == kBmpCoreHeaderSize;
}

// A region's data: its 32-byte header, then the rectangles it counts.
bool RegionFits(std::span<const uint8_t> r, size_t cbAt, size_t dataAt, bool mayBeEmpty) {
  const uint32_t cb = Le32(r, cbAt);
  if (cb == 0) return mayBeEmpty;
  constexpr size_t kHeader = 32, kRect = 16;
  if (cb < kHeader || !Holds(r.size(), dataAt, cb, 1)) return false;
  return Holds(cb, kHeader, Le32(r, dataAt + 8), kRect);
}

}  // namespace

size_t DibInfoSize(const uint8_t* dib, size_t size) {
  if (size < 4) return 0;
  const uint32_t headerSize = ReadLE32(dib);
  if (headerSize == kBmpCoreHeaderSize) {
    if (size < kBmpCoreHeaderSize) return 0;
    const int bits = ReadLE16(dib + 10);
    const size_t entries = bits <= 8 ? size_t{1} << bits : 0;
    const size_t total = kBmpCoreHeaderSize + 3 * entries;
    return total <= size ? total : 0;
  }
  if (headerSize < kBmpInfoHeaderSize || headerSize > kBmpV5HeaderSize || size < headerSize) return 0;
  const int bits = ReadLE16(dib + 14);
  const uint32_t compression = ReadLE32(dib + 16);
  const uint32_t used = ReadLE32(dib + 32);
  if (used > 256 && bits <= 8) return 0;
  const size_t entries = used != 0 ? used : (bits <= 8 ? size_t{1} << bits : 0);
  size_t masks = 0;
  if (headerSize == kBmpInfoHeaderSize && compression == BI_BITFIELDS) masks = 12;
  if (headerSize == kBmpInfoHeaderSize && compression == BI_ALPHABITFIELDS) masks = 16;
  if (entries > (size - headerSize) / 4) return 0;
  const size_t total = headerSize + masks + 4 * entries;
  return total <= size ? total : 0;
}

bool PackedDibFits(const uint8_t* dib, size_t available, int64_t rows) {
  if (available < kBmpInfoHeaderSize) return false;
  const size_t info = DibInfoSize(dib, available);
  if (info == 0) return false;
  int64_t lines = 0;
  const uint64_t stride = RowBytes(dib, rows, lines);
  return stride == 0 || Holds(available, info, static_cast<uint64_t>(lines), stride);
}

uint64_t DibPixels(const uint8_t* dib, size_t size) {
  if (size >= kBmpCoreHeaderSize && ReadLE32(dib) == kBmpCoreHeaderSize)
    return uint64_t{ReadLE16(dib + 4)} * ReadLE16(dib + 6);
  if (size < kBmpInfoHeaderSize) return 0;
  const auto side = [&](size_t at) {
    return static_cast<uint64_t>(std::abs(int64_t{static_cast<int32_t>(ReadLE32(dib + at))}));
  };
  return side(4) * side(8);
}

size_t WmfFixedSize(uint16_t function) {
  switch (function & 0xFF) {
    case U_WMR_SETBKMODE:
    case U_WMR_SETMAPMODE:
    case U_WMR_SETROP2:
    case U_WMR_SETPOLYFILLMODE:
    case U_WMR_SETSTRETCHBLTMODE:
    case U_WMR_SETTEXTCHAREXTRA:
    case U_WMR_RESTOREDC:
    case U_WMR_INVERTREGION:
    case U_WMR_PAINTREGION:
    case U_WMR_SELECTCLIPREGION:
    case U_WMR_SELECTOBJECT:
    case U_WMR_SETTEXTALIGN:
    case U_WMR_SELECTPALETTE:
    case U_WMR_RESIZEPALETTE:
    case U_WMR_DELETEOBJECT:
    case U_WMR_POLYGON:  // the count, then the points
    case U_WMR_POLYLINE:
    case U_WMR_POLYPOLYGON:
    case U_WMR_TEXTOUT:  // the length, then the string, y and x
      return 8;
    case U_WMR_SETBKCOLOR:
    case U_WMR_SETTEXTCOLOR:
    case U_WMR_SETTEXTJUSTIFICATION:
    case U_WMR_SETWINDOWORG:
    case U_WMR_SETWINDOWEXT:
    case U_WMR_SETVIEWPORTORG:
    case U_WMR_SETVIEWPORTEXT:
    case U_WMR_OFFSETWINDOWORG:
    case U_WMR_OFFSETVIEWPORTORG:
    case U_WMR_LINETO:
    case U_WMR_MOVETO:
    case U_WMR_OFFSETCLIPRGN:
    case U_WMR_FILLREGION:
    case U_WMR_SETMAPPERFLAGS:
    case U_WMR_SETPALENTRIES:
    case U_WMR_CREATEPALETTE:
    case U_WMR_DIBCREATEPATTERNBRUSH:  // style and colour usage, then the bitmap
    case U_WMR_49:                     // SETLAYOUT, which libUEMF leaves unnamed
    case U_WMR_ESCAPE:
    case U_WMR_ANIMATEPALETTE:
      return 10;
    case U_WMR_CREATEBRUSHINDIRECT:
    case U_WMR_SCALEWINDOWEXT:
    case U_WMR_SCALEVIEWPORTEXT:
    case U_WMR_EXCLUDECLIPRECT:
    case U_WMR_INTERSECTCLIPRECT:
    case U_WMR_ELLIPSE:
    case U_WMR_RECTANGLE:
    case U_WMR_SETPIXEL:
    case U_WMR_FRAMEREGION:
    case U_WMR_EXTTEXTOUT:  // y, x, length and options
      return 14;
    case U_WMR_CREATEPENINDIRECT:
    case U_WMR_FLOODFILL:
    case U_WMR_EXTFLOODFILL:
      return 16;
    case U_WMR_ROUNDRECT:
    case U_WMR_PATBLT:
      return 18;
    case U_WMR_ARC:
    case U_WMR_PIE:
    case U_WMR_CHORD:
    case U_WMR_DIBBITBLT:  // with a bitmap (without one, 24)
      return 22;
    case U_WMR_CREATEFONTINDIRECT:  // the font's 18 fixed bytes
    case U_WMR_SETDIBTODEV:         // nine words, then the bitmap
      return 24;
    case U_WMR_DIBSTRETCHBLT:  // with a bitmap (without one, 28)
      return 26;
    case U_WMR_STRETCHDIB:
      return 28;
    default:
      return 6;
  }
}

bool WmfRecordFits(std::span<const uint8_t> r) {
  const size_t size = r.size();
  if (size < 6 || size < WmfFixedSize(Le16(r, 4))) return false;
  const auto word = [&](size_t at) { return static_cast<int16_t>(Le16(r, at)); };
  // The blits carry no bitmap when the record is exactly as long as its function's high byte says.
  const bool noBitmap = size / 2 == size_t{r[5]} + 3u;
  switch (r[4]) {
    case U_WMR_POLYGON:
    case U_WMR_POLYLINE:
      return Holds(size, 8, Le16(r, 6), 4);
    case U_WMR_POLYPOLYGON: {
      const size_t polygons = Le16(r, 6);
      if (!Holds(size, 8, polygons, 2)) return false;
      uint64_t points = 0;
      for (size_t i = 0; i < polygons; ++i) points += Le16(r, 8 + 2 * i);
      return Holds(size, 8 + 2 * polygons, points, 4);
    }
    case U_WMR_TEXTOUT:
      return word(6) >= 0 && Holds(size, 8 + (size_t(word(6)) + 1) / 2 * 2, 4, 1);
    case U_WMR_EXTTEXTOUT: {
      const size_t rect = (Le16(r, 12) & (U_ETO_OPAQUE | U_ETO_CLIPPED)) ? 8 : 0;
      return word(10) >= 0 && Holds(size, 14 + rect, size_t(word(10)), 1);
    }
    case U_WMR_DIBBITBLT:
      return noBitmap ? size >= 24 : PackedDibFits(r.data() + 22, size - 22);
    case U_WMR_DIBSTRETCHBLT:
      return noBitmap ? size >= 28 : PackedDibFits(r.data() + 26, size - 26);
    case U_WMR_STRETCHDIB:
      return PackedDibFits(r.data() + 28, size - 28);
    case U_WMR_SETDIBTODEV:  // only the scan lines the record says it carries
      return PackedDibFits(r.data() + 24, size - 24, Le16(r, 8));
    case U_WMR_DIBCREATEPATTERNBRUSH:
      // A pattern brush of style BS_PATTERN starts with a 10-byte BITMAP16 that libUEMF reads; it
      // reads a DIB instead when that header makes no sense.
      if (Le16(r, 6) == U_BS_PATTERN && size >= 20 && word(12) > 0 && word(14) > 0 && r[18] == 1 &&
          r[19] != 0)
        return true;
      return PackedDibFits(r.data() + 10, size - 10);
    default:
      return true;
  }
}

// The record types are grouped by the layout they share.
size_t EmfFixedSize(uint32_t type) {
  switch (type) {
    case U_EMR_HEADER:  // as the oldest files have it
      return 88;
    case U_EMR_POLYBEZIER:  // bounds, count
    case U_EMR_POLYGON:
    case U_EMR_POLYLINE:
    case U_EMR_POLYBEZIERTO:
    case U_EMR_POLYLINETO:
    case U_EMR_POLYBEZIER16:
    case U_EMR_POLYGON16:
    case U_EMR_POLYLINE16:
    case U_EMR_POLYBEZIERTO16:
    case U_EMR_POLYLINETO16:
    case U_EMR_POLYDRAW:
    case U_EMR_POLYDRAW16:
    case U_EMR_CREATEPEN:
    case U_EMR_ANGLEARC:
    case U_EMR_INVERTRGN:  // bounds, region size
    case U_EMR_PAINTRGN:
      return 28;
    case U_EMR_POLYPOLYLINE:
    case U_EMR_POLYPOLYGON:
    case U_EMR_POLYPOLYLINE16:
    case U_EMR_POLYPOLYGON16:
    case U_EMR_SETCOLORADJUSTMENT:
    case U_EMR_SETWORLDTRANSFORM:
    case U_EMR_ROUNDRECT:
    case U_EMR_FILLRGN:  // bounds, region size, brush
    case U_EMR_CREATEMONOBRUSH:
    case U_EMR_CREATEDIBPATTERNBRUSHPT:
      return 32;
    case U_EMR_SETWINDOWEXTEX:
    case U_EMR_SETWINDOWORGEX:
    case U_EMR_SETVIEWPORTEXTEX:
    case U_EMR_SETVIEWPORTORGEX:
    case U_EMR_SETBRUSHORGEX:
    case U_EMR_OFFSETCLIPRGN:
    case U_EMR_MOVETOEX:
    case U_EMR_LINETO:
    case U_EMR_CREATEPALETTE:
    case U_EMR_RESIZEPALETTE:
    case U_EMR_EXTSELECTCLIPRGN:  // region size, mode
    case U_EMR_EOF:               // the palette's count and offset (its last field is read by no one)
      return 16;
    case U_EMR_SETPIXELV:
    case U_EMR_SETPALETTEENTRIES:
      return 20;
    case U_EMR_SETMAPPERFLAGS:  // one value: a mode, a colour or an index
    case U_EMR_SETMAPMODE:
    case U_EMR_SETBKMODE:
    case U_EMR_SETPOLYFILLMODE:
    case U_EMR_SETROP2:
    case U_EMR_SETSTRETCHBLTMODE:
    case U_EMR_SETTEXTALIGN:
    case U_EMR_SETTEXTCOLOR:
    case U_EMR_SETBKCOLOR:
    case U_EMR_RESTOREDC:
    case U_EMR_SELECTOBJECT:
    case U_EMR_DELETEOBJECT:
    case U_EMR_SELECTPALETTE:
    case U_EMR_SETMITERLIMIT:
    case U_EMR_SETARCDIRECTION:
    case U_EMR_SELECTCLIPPATH:
    case U_EMR_COMMENT:  // its data's size
    case U_EMR_SETICMMODE:
    case U_EMR_SETCOLORSPACE:
    case U_EMR_DELETECOLORSPACE:
    case U_EMR_SETLAYOUT:
      return 12;
    case U_EMR_EXCLUDECLIPRECT:
    case U_EMR_INTERSECTCLIPRECT:
    case U_EMR_SCALEVIEWPORTEXTEX:
    case U_EMR_SCALEWINDOWEXTEX:
    case U_EMR_CREATEBRUSHINDIRECT:
    case U_EMR_ELLIPSE:
    case U_EMR_RECTANGLE:
    case U_EMR_EXTFLOODFILL:
    case U_EMR_FILLPATH:
    case U_EMR_STROKEANDFILLPATH:
    case U_EMR_STROKEPATH:
    case U_EMR_COLORMATCHTOTARGETW:
      return 24;
    case U_EMR_MODIFYWORLDTRANSFORM:
    case U_EMR_SMALLTEXTOUT:
    case U_EMR_GRADIENTFILL:
      return 36;
    case U_EMR_ARC:
    case U_EMR_CHORD:
    case U_EMR_PIE:
    case U_EMR_ARCTO:
    case U_EMR_FRAMERGN:
      return 40;
    case U_EMR_PIXELFORMAT:
      return 48;
    case U_EMR_EXTCREATEPEN:  // the bitmap's fields, then the pen up to its style count
      return 52;
    case U_EMR_EXTTEXTOUTA:  // up to the text's options; what follows depends on them
    case U_EMR_EXTTEXTOUTW:
      return 56;
    case U_EMR_SETDIBITSTODEVICE:
      return 76;
    case U_EMR_STRETCHDIBITS:
      return 80;
    case U_EMR_BITBLT:
      return 100;
    case U_EMR_EXTCREATEFONTINDIRECTW:  // the index and a LOGFONTW
      return 104;
    case U_EMR_STRETCHBLT:
    case U_EMR_ALPHABLEND:
    case U_EMR_TRANSPARENTBLT:
      return 108;
    case U_EMR_MASKBLT:
      return 128;
    case U_EMR_PLGBLT:
      return 140;
    case U_EMR_CREATECOLORSPACE:  // the index and a LOGCOLORSPACEA
      return 340;
    case U_EMR_CREATECOLORSPACEW:  // the index, a LOGCOLORSPACEW, flags and the data's size
      return 608;
    default:
      return 8;
  }
}

bool EmfRecordFits(std::span<const uint8_t> r) {
  const size_t size = r.size();
  if (size < 8) return false;
  const uint32_t type = Le32(r, 0);
  if (size < EmfFixedSize(type)) return false;
  switch (type) {
    case U_EMR_POLYBEZIER:
    case U_EMR_POLYGON:
    case U_EMR_POLYLINE:
    case U_EMR_POLYBEZIERTO:
    case U_EMR_POLYLINETO:
      return Holds(size, 28, Le32(r, 24), 8);
    case U_EMR_POLYBEZIER16:
    case U_EMR_POLYGON16:
    case U_EMR_POLYLINE16:
    case U_EMR_POLYBEZIERTO16:
    case U_EMR_POLYLINETO16:
      return Holds(size, 28, Le32(r, 24), 4);
    case U_EMR_POLYDRAW:  // the points, then a type byte for each
      return Holds(size, 28, Le32(r, 24), 9);
    case U_EMR_POLYDRAW16:
      return Holds(size, 28, Le32(r, 24), 5);
    case U_EMR_POLYPOLYLINE:
    case U_EMR_POLYPOLYGON:
    case U_EMR_POLYPOLYLINE16:
    case U_EMR_POLYPOLYGON16: {
      const uint32_t polys = Le32(r, 24);
      const size_t pointSize = type == U_EMR_POLYPOLYLINE || type == U_EMR_POLYPOLYGON ? 8 : 4;
      return Holds(size, 32, polys, 4) && Holds(size, 32 + size_t{4} * polys, Le32(r, 28), pointSize);
    }
    case U_EMR_EOF:
      return Le32(r, 8) == 0 || Holds(size, Le32(r, 12), Le32(r, 8), 4);
    case U_EMR_CREATEPALETTE:
      return Holds(size, 16, Le16(r, 14), 4);
    case U_EMR_SETPALETTEENTRIES:
      return Holds(size, 20, Le32(r, 16), 4);
    case U_EMR_COMMENT:
      return Holds(size, 12, Le32(r, 8), 1);
    case U_EMR_FILLRGN:
      return RegionFits(r, 24, 32, false);
    case U_EMR_FRAMERGN:
      return RegionFits(r, 24, 40, false);
    case U_EMR_INVERTRGN:
    case U_EMR_PAINTRGN:
      return RegionFits(r, 24, 28, false);
    case U_EMR_EXTSELECTCLIPRGN:  // no region data resets the clipping, in the copy mode only
      return RegionFits(r, 8, 16, Le32(r, 12) == U_RGN_COPY);
    case U_EMR_BITBLT:
    case U_EMR_STRETCHBLT:
    case U_EMR_ALPHABLEND:
    case U_EMR_TRANSPARENTBLT:
      return EmfDibFits(r, 84);
    case U_EMR_MASKBLT:
      return EmfDibFits(r, 84) && EmfDibFits(r, 112);
    case U_EMR_PLGBLT:
      return EmfDibFits(r, 96) && EmfDibFits(r, 124);
    case U_EMR_SETDIBITSTODEVICE:
    case U_EMR_STRETCHDIBITS:
      return EmfDibFits(r, 48);
    case U_EMR_CREATEMONOBRUSH:
    case U_EMR_CREATEDIBPATTERNBRUSHPT:
      return EmfDibFits(r, 16);
    case U_EMR_EXTCREATEPEN:
      return EmfDibFits(r, 12) && Holds(size, 52, Le32(r, 48), 4);
    case U_EMR_EXTTEXTOUTA:  // the text's rectangle unless ETO_NO_RECT, then the offset of the advances
    case U_EMR_EXTTEXTOUTW:
      return size >= 56 + ((Le32(r, 52) & U_ETO_NO_RECT) ? 0u : 16u) + 4u;
    case U_EMR_SMALLTEXTOUT: {  // the rectangle unless ETO_NO_RECT, then 8-bit or 16-bit characters
      const uint32_t options = Le32(r, 20);
      return Holds(size, 36 + ((options & U_ETO_NO_RECT) ? 0u : 16u), Le32(r, 16),
                   (options & U_ETO_SMALL_CHARS) ? 1 : 2);
    }
    case U_EMR_GRADIENTFILL:  // vertices, then rectangles or triangles
      return Holds(size, 36, Le32(r, 24), 16) && Holds(size, 36 + size_t{16} * Le32(r, 24), Le32(r, 28),
                                                       Le32(r, 32) == U_GRADIENT_FILL_TRIANGLE ? 12 : 8);
    default:
      return true;
  }
}

bool EmfLibraryChecks(std::span<const uint8_t> r) {
  const uint32_t type = Le32(r, 0);
  switch (type) {
    // libUEMF does not know these, or cannot check them (it says so on the standard error); it takes
    // the colour spaces for far larger than their layout; and it reads a SMALLTEXTOUT's rectangle even
    // when the flags say there is none.
    case U_EMR_UNDEF69:
    case U_EMR_POLYTEXTOUTA:
    case U_EMR_POLYTEXTOUTW:
    case U_EMR_CREATECOLORSPACE:
    case U_EMR_GLSRECORD:
    case U_EMR_GLSBOUNDEDRECORD:
    case U_EMR_DRAWESCAPE:
    case U_EMR_EXTESCAPE:
    case U_EMR_UNDEF107:
    case U_EMR_FORCEUFIMAPPING:
    case U_EMR_NAMEDESCAPE:
    case U_EMR_COLORCORRECTPALETTE:
    case U_EMR_SETICMPROFILEA:
    case U_EMR_SETICMPROFILEW:
    case U_EMR_UNDEF117:
    case U_EMR_SETLINKEDUFIS:
    case U_EMR_SETTEXTJUSTIFICATION:
    case U_EMR_COLORMATCHTOTARGETW:
    case U_EMR_CREATECOLORSPACEW:
    case U_EMR_SMALLTEXTOUT:
      return false;
    // It reads a BITMAPINFOHEADER wherever a bitmap starts: a BITMAPCOREHEADER is measured here only.
    case U_EMR_BITBLT:
    case U_EMR_STRETCHBLT:
    case U_EMR_ALPHABLEND:
    case U_EMR_TRANSPARENTBLT:
      return !CoreDib(r, 84);
    case U_EMR_MASKBLT:
      return !CoreDib(r, 84) && !CoreDib(r, 112);
    case U_EMR_PLGBLT:
      return !CoreDib(r, 96) && !CoreDib(r, 124);
    case U_EMR_SETDIBITSTODEVICE:
    case U_EMR_STRETCHDIBITS:
      return !CoreDib(r, 48);
    case U_EMR_CREATEMONOBRUSH:
    case U_EMR_CREATEDIBPATTERNBRUSHPT:
      return !CoreDib(r, 16);
    case U_EMR_EXTCREATEPEN:
      return !CoreDib(r, 12);
    default:
      return type >= U_EMR_MIN && type <= U_EMR_MAX;
  }
}

TPaddedRecord::~TPaddedRecord() {
  Mark(FSize, FCapacity, true);
}

void TPaddedRecord::Mark(size_t from, size_t to, bool readable) {
  if (from >= to) return;
  uint8_t* bytes = FBuffer.get() + from;
  const size_t length = to - from;
#ifdef ORVANTA_ASAN
  readable ? ASAN_UNPOISON_MEMORY_REGION(bytes, length) : ASAN_POISON_MEMORY_REGION(bytes, length);
#endif
#ifdef VALGRIND_MAKE_MEM_NOACCESS
  readable ? VALGRIND_MAKE_MEM_DEFINED(bytes, length) : VALGRIND_MAKE_MEM_NOACCESS(bytes, length);
#endif
  (void)bytes;
  (void)length;
}

// Everything past the held record is zero and unreadable. Only the bytes between the last record's end
// and this one's change, so a record costs its own size and the last one's, not the largest so far.
const uint8_t* TPaddedRecord::Hold(std::span<const uint8_t> record) {
  const size_t size = record.size();
  if (size + kPadding > FCapacity) {
    Mark(FSize, FCapacity, true);
    FCapacity = std::max(size + kPadding, 2 * FCapacity);
    FBuffer = std::make_unique<uint8_t[]>(FCapacity);
    FSize = 0;
    Mark(0, FCapacity, false);
  }
  Mark(FSize, size, true);
  if (size != 0) std::memcpy(FBuffer.get(), record.data(), size);
  std::fill(FBuffer.get() + std::min(size, FSize), FBuffer.get() + FSize, uint8_t{0});
  Mark(size, FSize, false);
  FSize = size;
  return FBuffer.get();
}
