#include "toolkit/graphics/metafile_records.h"

#include <uemf.h>

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
  // libUEMF reads a whole BITMAPINFOHEADER wherever the block starts.
  return Holds(r.size(), offBmi, kBmpInfoHeaderSize, 1) && DibInfoSize(r.data() + offBmi, cbBmi) != 0;
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

size_t WmfFixedSize(uint16_t function) {
  switch (function & 0xFF) {
    case 0x02:  // SETBKMODE
    case 0x03:  // SETMAPMODE
    case 0x04:  // SETROP2
    case 0x06:  // SETPOLYFILLMODE
    case 0x07:  // SETSTRETCHBLTMODE
    case 0x08:  // SETTEXTCHAREXTRA
    case 0x27:  // RESTOREDC
    case 0x2A:  // INVERTREGION
    case 0x2B:  // PAINTREGION
    case 0x2C:  // SELECTCLIPREGION
    case 0x2D:  // SELECTOBJECT
    case 0x2E:  // SETTEXTALIGN
    case 0x34:  // SELECTPALETTE
    case 0x39:  // RESIZEPALETTE
    case 0xF0:  // DELETEOBJECT
    case 0x24:  // POLYGON: the count, then the points
    case 0x25:  // POLYLINE
    case 0x38:  // POLYPOLYGON
    case 0x21:  // TEXTOUT: the length, then the string, y and x
      return 8;
    case 0x01:  // SETBKCOLOR
    case 0x09:  // SETTEXTCOLOR
    case 0x0A:  // SETTEXTJUSTIFICATION
    case 0x0B:  // SETWINDOWORG
    case 0x0C:  // SETWINDOWEXT
    case 0x0D:  // SETVIEWPORTORG
    case 0x0E:  // SETVIEWPORTEXT
    case 0x0F:  // OFFSETWINDOWORG
    case 0x11:  // OFFSETVIEWPORTORG
    case 0x13:  // LINETO
    case 0x14:  // MOVETO
    case 0x20:  // OFFSETCLIPRGN
    case 0x28:  // FILLREGION
    case 0x31:  // SETMAPPERFLAGS
    case 0x37:  // SETPALENTRIES
    case 0xF7:  // CREATEPALETTE
    case 0x42:  // DIBCREATEPATTERNBRUSH: style and colour usage, then the bitmap
    case 0x49:  // SETLAYOUT
    case 0x26:  // ESCAPE
    case 0x36:  // ANIMATEPALETTE
      return 10;
    case 0xFC:  // CREATEBRUSHINDIRECT
    case 0x10:  // SCALEWINDOWEXT
    case 0x12:  // SCALEVIEWPORTEXT
    case 0x15:  // EXCLUDECLIPRECT
    case 0x16:  // INTERSECTCLIPRECT
    case 0x18:  // ELLIPSE
    case 0x1B:  // RECTANGLE
    case 0x1F:  // SETPIXEL
    case 0x29:  // FRAMEREGION
    case 0x32:  // EXTTEXTOUT: y, x, length and options
      return 14;
    case 0xFA:  // CREATEPENINDIRECT
    case 0x19:  // FLOODFILL
    case 0x48:  // EXTFLOODFILL
      return 16;
    case 0x1C:  // ROUNDRECT
    case 0x1D:  // PATBLT
      return 18;
    case 0x17:  // ARC
    case 0x1A:  // PIE
    case 0x30:  // CHORD
    case 0x40:  // DIBBITBLT: with a bitmap (without one, 24)
      return 22;
    case 0xFB:  // CREATEFONTINDIRECT: the font's 18 fixed bytes
    case 0x33:  // SETDIBTODEV: nine words, then the bitmap
      return 24;
    case 0x41:  // DIBSTRETCHBLT: with a bitmap (without one, 28)
      return 26;
    case 0x43:  // STRETCHDIB
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
    case 0x24:
    case 0x25:
      return Holds(size, 8, Le16(r, 6), 4);
    case 0x38: {
      const size_t polygons = Le16(r, 6);
      if (!Holds(size, 8, polygons, 2)) return false;
      uint64_t points = 0;
      for (size_t i = 0; i < polygons; ++i) points += Le16(r, 8 + 2 * i);
      return Holds(size, 8 + 2 * polygons, points, 4);
    }
    case 0x21:
      return word(6) >= 0 && Holds(size, 8 + (size_t(word(6)) + 1) / 2 * 2, 4, 1);
    case 0x32: {
      const size_t rect = (Le16(r, 12) & (U_ETO_OPAQUE | U_ETO_CLIPPED)) ? 8 : 0;
      return word(10) >= 0 && Holds(size, 14 + rect, size_t(word(10)), 1);
    }
    case 0x40:
      return noBitmap ? size >= 24 : PackedDibFits(r.data() + 22, size - 22);
    case 0x41:
      return noBitmap ? size >= 28 : PackedDibFits(r.data() + 26, size - 26);
    case 0x43:
      return PackedDibFits(r.data() + 28, size - 28);
    case 0x33:  // only the scan lines the record says it carries
      return PackedDibFits(r.data() + 24, size - 24, Le16(r, 8));
    case 0x42:
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
// clang-format off
size_t EmfFixedSize(uint32_t type) {
  switch (type) {
    case 1:  // HEADER, as the oldest files have it
      return 88;
    case 2: case 3: case 4: case 5: case 6:       // POLYBEZIER .. POLYLINETO: bounds, count
    case 85: case 86: case 87: case 88: case 89:  // their 16-bit twins
    case 56: case 92:                             // POLYDRAW, POLYDRAW16
    case 38:                                      // CREATEPEN
    case 41:                                      // ANGLEARC
    case 73: case 74:                             // INVERTRGN, PAINTRGN: bounds, region size
      return 28;
    case 7: case 8: case 90: case 91:  // POLYPOLYLINE, POLYPOLYGON and their 16-bit twins
    case 23:                           // SETCOLORADJUSTMENT
    case 35:                           // SETWORLDTRANSFORM
    case 44:                           // ROUNDRECT
    case 71:                           // FILLRGN: bounds, region size, brush
    case 93: case 94:                  // CREATEMONOBRUSH, CREATEDIBPATTERNBRUSHPT
      return 32;
    case 9: case 10: case 11: case 12: case 13:  // the extents and origins
    case 26: case 27: case 54:                   // OFFSETCLIPRGN, MOVETOEX, LINETO
    case 49: case 51:                            // CREATEPALETTE, RESIZEPALETTE
    case 75:                                     // EXTSELECTCLIPRGN: region size, mode
    case 14:  // EOF: the palette's count and offset (its last field is read by no one)
      return 16;
    case 15: case 50:  // SETPIXELV, SETPALETTEENTRIES
      return 20;
    case 16: case 17: case 18: case 19: case 20: case 21: case 22:  // the modes
    case 24: case 25: case 34: case 37: case 40:  // colours, RESTOREDC, SELECTOBJECT, DELETEOBJECT
    case 48: case 57: case 58: case 67: case 70:  // ... SELECTCLIPPATH, GDICOMMENT
    case 98: case 100: case 101: case 115:
      return 12;
    case 29: case 30: case 31: case 32:  // clip rectangles, extent scaling
    case 39:                             // CREATEBRUSHINDIRECT
    case 42: case 43: case 53:           // ELLIPSE, RECTANGLE, EXTFLOODFILL
    case 62: case 63: case 64:           // FILLPATH, STROKEANDFILLPATH, STROKEPATH
    case 121:                            // COLORMATCHTOTARGETW
      return 24;
    case 36:             // MODIFYWORLDTRANSFORM
    case 108: case 118:  // SMALLTEXTOUT, GRADIENTFILL
      return 36;
    case 45: case 46: case 47: case 55:  // ARC, CHORD, PIE, ARCTO
    case 72:                             // FRAMERGN
      return 40;
    case 104:  // PIXELFORMAT
      return 48;
    case 95:  // EXTCREATEPEN: the bitmap's fields, then the pen up to its style count
      return 52;
    case 83: case 84:  // EXTTEXTOUTA/W up to the text's options; what follows depends on them
      return 56;
    case 80:  // SETDIBITSTODEVICE
      return 76;
    case 81:  // STRETCHDIBITS
      return 80;
    case 76:  // BITBLT
      return 100;
    case 82:  // EXTCREATEFONTINDIRECTW: the index and a LOGFONTW
      return 104;
    case 77: case 114: case 116:  // STRETCHBLT, ALPHABLEND, TRANSPARENTBLT
      return 108;
    case 78:  // MASKBLT
      return 128;
    case 79:  // PLGBLT
      return 140;
    case 99:  // CREATECOLORSPACE: the index and a LOGCOLORSPACEA
      return 340;
    case 122:  // CREATECOLORSPACEW: the index, a LOGCOLORSPACEW, flags and the data's size
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
    case 2: case 3: case 4: case 5: case 6:
      return Holds(size, 28, Le32(r, 24), 8);
    case 85: case 86: case 87: case 88: case 89:
      return Holds(size, 28, Le32(r, 24), 4);
    case 56: case 92:  // the points, then a type byte for each
      return Holds(size, 28, Le32(r, 24), type == 56 ? 9 : 5);
    case 7: case 8: case 90: case 91: {
      const uint32_t polys = Le32(r, 24);
      return Holds(size, 32, polys, 4) && Holds(size, 32 + size_t{4} * polys, Le32(r, 28), type < 90 ? 8 : 4);
    }
    case 14:
      return Le32(r, 8) == 0 || Holds(size, Le32(r, 12), Le32(r, 8), 4);
    case 49:
      return Holds(size, 16, Le16(r, 14), 4);
    case 50:
      return Holds(size, 20, Le32(r, 16), 4);
    case 70:
      return Holds(size, 12, Le32(r, 8), 1);
    case 71:
      return RegionFits(r, 24, 32, false);
    case 72:
      return RegionFits(r, 24, 40, false);
    case 73: case 74:
      return RegionFits(r, 24, 28, false);
    case 75:  // no region data resets the clipping, in the copy mode only
      return RegionFits(r, 8, 16, Le32(r, 12) == 5);
    case 76: case 77: case 114: case 116:
      return EmfDibFits(r, 84);
    case 78:
      return EmfDibFits(r, 84) && EmfDibFits(r, 112);
    case 79:
      return EmfDibFits(r, 96) && EmfDibFits(r, 124);
    case 80: case 81:
      return EmfDibFits(r, 48);
    case 93: case 94:
      return EmfDibFits(r, 16);
    case 95:
      return EmfDibFits(r, 12) && Holds(size, 52, Le32(r, 48), 4);
    case 83: case 84:  // the text's rectangle unless ETO_NO_RECT, then the offset of the advances
      return size >= 56 + ((Le32(r, 52) & U_ETO_NO_RECT) ? 0u : 16u) + 4u;
    case 108:
      return size >= 36 + ((Le32(r, 20) & U_ETO_NO_RECT) ? 0u : 16u);
    case 118:  // vertices, then rectangles or triangles
      return Holds(size, 36, Le32(r, 24), 16) &&
             Holds(size, 36 + size_t{16} * Le32(r, 24), Le32(r, 28), Le32(r, 32) == 2 ? 12 : 8);
    default:
      return true;
  }
}
// clang-format on

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
