// Builds a metafile of whole, well-formed records from the input and draws it as the program draws a
// picture: mapping records (map modes, window and viewport origins and extents set, offset and scaled,
// world transforms set and multiplied) among paths, clipping paths and rectangles, polygons, curves,
// ellipses, pies, lines of every pen, bitmaps and text, their numbers taken from the input or from the
// extremes a mapping reaches (the largest integers, infinities, no number). Where the byte fuzzer must
// first find a record's layout, this one spends its time on what drawing does with the numbers: no
// double may become an integer it does not fit, no mapping may leave the drawing with numbers it cannot
// use, and drawing ends in what it draws or in the metafile reader's EInvalidGraphic.

#include <QGuiApplication>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "tests/support/metafile_floods.h"
#include "toolkit/core/exceptions.h"

namespace {

using namespace metafile_bytes;

// The input, read a value at a time; zeros once it is used up.
class TInput {
 public:
  TInput(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
  bool Empty() const { return FAt >= FSize; }
  uint8_t Byte() { return FAt < FSize ? FData[FAt++] : 0; }
  uint32_t Word() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t{Byte()} << (8 * i);
    return v;
  }
  // A 32-bit number: one of the extremes, a small one, or four bytes of the input.
  int32_t Number() {
    static constexpr int32_t kExtremes[] = {0,          1,       -1,        2,         7,
                                            100,        -100,    32767,     -32768,    65535,
                                            1 << 24,    1 << 30, INT32_MAX, INT32_MIN, INT32_MAX - 1,
                                            -(1 << 24), 1000000, 3,         50};
    const uint8_t kind = Byte();
    if (kind < 128) return kExtremes[kind % std::size(kExtremes)];
    if (kind < 200) return static_cast<int8_t>(Byte());
    return static_cast<int32_t>(Word());
  }
  // A float's bits: one of the extremes, or four bytes of the input (infinities and no number too).
  uint32_t Float() {
    static constexpr float kExtremes[] = {1,     0,     -1,     0.5f,   2,      1000,  0.001f, 1e-30f,
                                          1e30f, 3e38f, -3e38f, 1e-45f, 0.866f, -0.5f, 1e7f,   16777216};
    const uint8_t kind = Byte();
    float value = kExtremes[kind % std::size(kExtremes)];
    if (kind >= 200) {
      const uint32_t bits = Word();
      std::memcpy(&value, &bits, 4);
    } else if (kind >= 180) {
      value = kind & 1 ? std::numeric_limits<float>::infinity() : std::numeric_limits<float>::quiet_NaN();
    }
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return bits;
  }

 private:
  const uint8_t* FData;
  size_t FSize;
  size_t FAt = 0;
};

constexpr size_t kMaxRecords = 48;

TBytes Points(TInput& in, int count, bool wide) {
  TBytes points;
  for (int i = 0; i < 2 * count; ++i) wide ? Put32(points, in.Number()) : Put16(points, in.Number());
  return points;
}

// A record of an enhanced metafile of the kind the input picks.
TBytes EmfRecordFrom(TInput& in) {
  const auto n = [&] { return int64_t{in.Number()}; };
  const auto f = [&] { return int64_t{in.Float()}; };
  switch (in.Byte() % 30) {
    case 0:
      return EmfRecord(17, {1 + in.Byte() % 8});  // SETMAPMODE
    case 1:
      return EmfRecord(9 + in.Byte() % 4, {n(), n()});  // SETWINDOWEXTEX .. SETVIEWPORTORGEX
    case 2:
      return EmfRecord(31 + in.Byte() % 2, {n(), n(), n(), n()});  // SCALEVIEWPORTEXTEX, SCALEWINDOWEXTEX
    case 3:
      return EmfRecord(35, {f(), f(), f(), f(), f(), f()});  // SETWORLDTRANSFORM
    case 4:
      return EmfRecord(36, {f(), f(), f(), f(), f(), f(), 1 + in.Byte() % 3});  // MODIFYWORLDTRANSFORM
    case 5:
      return EmfRecord(33, {});  // SAVEDC
    case 6:
      return EmfRecord(34, {-1 - in.Byte() % 3});  // RESTOREDC
    case 7:
      return EmfRecord(59, {});  // BEGINPATH
    case 8:
      return EmfRecord(60, {});  // ENDPATH
    case 9:
      return EmfRecord(61, {});  // CLOSEFIGURE
    case 10:
      return EmfRecord(62 + in.Byte() % 3, {0, 0, 0, 0});  // FILLPATH, STROKEANDFILLPATH, STROKEPATH
    case 11:
      return EmfRecord(67, {1 + in.Byte() % 5});  // SELECTCLIPPATH
    case 12: {
      const int count = 1 + in.Byte() % 8;
      const uint32_t types[] = {3, 4, 2, 5, 6};  // POLYGON, POLYLINE, POLYBEZIER, POLYBEZIERTO, POLYLINETO
      return EmfRecord(types[in.Byte() % 5], {0, 0, 0, 0, count}, Points(in, count, true));
    }
    case 13: {
      const int count = 1 + in.Byte() % 8;
      return EmfRecord(86 + in.Byte() % 2, {0, 0, 0, 0, count},
                       Points(in, count, false));  // POLYGON16, POLYLINE16
    }
    case 14:
      return EmfRecord(42 + in.Byte() % 2, {n(), n(), n(), n()});  // ELLIPSE, RECTANGLE
    case 15:
      return EmfRecord(44, {n(), n(), n(), n(), n(), n()});  // ROUNDRECT
    case 16:
      return EmfRecord(45 + in.Byte() % 3, {n(), n(), n(), n(), n(), n(), n(), n()});  // ARC, CHORD, PIE
    case 17:
      return EmfRecord(41, {n(), n(), n() & 0x7FFFFFFF, f(), f()});  // ANGLEARC
    case 18:
      return EmfRecord(27 + 27 * (in.Byte() % 2), {n(), n()});  // MOVETOEX, LINETO
    case 19:
      return EmfRecord(29 + in.Byte() % 2, {n(), n(), n(), n()});  // EXCLUDECLIPRECT, INTERSECTCLIPRECT
    case 20:
      return EmfRecord(75, {0, 5});  // EXTSELECTCLIPRGN: back to no clipping
    case 21:                         // CREATEPEN: style and width
      return EmfRecord(
          38, {1 + in.Byte() % 3, in.Byte() % 9 | (in.Byte() & 3) << 8, n(), 0, in.Word() & 0xFFFFFF});
    case 22:  // CREATEBRUSHINDIRECT: solid, null or hatched
      return EmfRecord(39, {1 + in.Byte() % 3, in.Byte() % 3, in.Word() & 0xFFFFFF, in.Byte() % 6});
    case 23:  // CREATEDIBPATTERNBRUSHPT of the 2 x 2 bitmap
      return EmfRecord(94, {1 + in.Byte() % 3, 0, 32, 40, 72, 16}, SmallDib());
    case 24:  // SELECTOBJECT: a slot, or a stock object
      return EmfRecord(37, {in.Byte() % 2 ? 1 + in.Byte() % 3 : 0x80000000 | in.Byte() % 20});
    case 25:  // STRETCHDIBITS of the 2 x 2 bitmap
      return EmfRecord(81,
                       {0, 0, 0, 0, n(), n(), n() % 4, n() % 4, n() % 4, n() % 4, 80, 40, 120, 16, 0,
                        0x00CC0020, n(), n()},
                       SmallDib());
    case 26:  // EXTTEXTOUTW of "Hi" at a point, with options
      return EmfRecord(84, {0, 0, 0, 0, 1, 0, 0, n(), n(), 2, 76, in.Byte() % 8, n(), n(), n(), n(), 0},
                       {'H', 0, 'i', 0});
    case 27:
      return EmfRecord(18, {1 + in.Byte() % 2});  // SETBKMODE
    case 28:
      return EmfRecord(19, {1 + in.Byte() % 2});  // SETPOLYFILLMODE
    default:
      return EmfRecord(57, {1 + in.Byte() % 2});  // SETARCDIRECTION
  }
}

// A record of a Windows metafile of the kind the input picks.
TBytes WmfRecordFrom(TInput& in) {
  const auto n = [&] { return static_cast<int>(static_cast<int16_t>(in.Number())); };
  switch (in.Byte() % 20) {
    case 0:
      return WmfRecord(0x0103, {1 + in.Byte() % 8});  // SETMAPMODE
    case 1: {
      const uint16_t functions[] = {0x020B, 0x020C, 0x020D, 0x020E, 0x020F, 0x0211};
      return WmfRecord(functions[in.Byte() % 6], {n(), n()});  // window and viewport: set, offset
    }
    case 2:
      return WmfRecord(in.Byte() % 2 ? 0x0410 : 0x0412,
                       {n(), n(), n(), n()});  // SCALEWINDOWEXT, SCALEVIEWPORTEXT
    case 3:
      return WmfRecord(0x001E, {});  // SAVEDC
    case 4:
      return WmfRecord(0x0127, {-1});  // RESTOREDC
    case 5: {
      const int count = 1 + in.Byte() % 8;
      return WmfRecord(in.Byte() % 2 ? 0x0324 : 0x0325, {count},
                       Points(in, count, false));  // POLYGON, POLYLINE
    }
    case 6:
      return WmfRecord(0x0418 + 3 * (in.Byte() % 2), {n(), n(), n(), n()});  // ELLIPSE, RECTANGLE
    case 7:
      return WmfRecord(0x061C, {n(), n(), n(), n(), n(), n()});  // ROUNDRECT
    case 8: {
      const uint16_t functions[] = {0x0817, 0x081A, 0x0830};  // ARC, PIE, CHORD
      return WmfRecord(functions[in.Byte() % 3], {n(), n(), n(), n(), n(), n(), n(), n()});
    }
    case 9:
      return WmfRecord(in.Byte() % 2 ? 0x0213 : 0x0214, {n(), n()});  // LINETO, MOVETO
    case 10:
      return WmfRecord(in.Byte() % 2 ? 0x0415 : 0x0416, {n(), n(), n(), n()});  // EXCLUDE-, INTERSECTCLIPRECT
    case 11: {  // PATBLT: PATCOPY, PATINVERT, DSTINVERT, BLACKNESS
      const uint32_t rops[] = {0x00F00021, 0x005A0049, 0x00550009, 0x00000042};
      const uint32_t rop = rops[in.Byte() % 4];
      return WmfRecord(0x061D,
                       {static_cast<int>(rop & 0xFFFF), static_cast<int>(rop >> 16), n(), n(), n(), n()});
    }
    case 12:  // CREATEPENINDIRECT
      return WmfRecord(0x02FA, {in.Byte() % 9 | (in.Byte() & 3) << 8, n(), 0},
                       {in.Byte(), in.Byte(), in.Byte(), 0});
    case 13:  // CREATEBRUSHINDIRECT: solid, null or hatched
      return WmfRecord(0x02FC, {in.Byte() % 3, in.Byte() | in.Byte() << 8, in.Byte(), in.Byte() % 6});
    case 14:
      return WmfRecord(0x0142, {5, 0}, SmallDib());  // DIBCREATEPATTERNBRUSH
    case 15:
      return WmfRecord(0x012D, {in.Byte() % 6});  // SELECTOBJECT
    case 16:                                      // STRETCHDIB of the 2 x 2 bitmap
      return WmfRecord(0x0F43, {0x0020, 0x00CC, 0, n() % 4, n() % 4, n() % 4, n() % 4, n(), n(), n(), n()},
                       SmallDib());
    case 17:
      return WmfRecord(0x0521, {2, 'H' | 'i' << 8, n(), n()});  // TEXTOUT
    case 18:
      return WmfRecord(0x041F, {0, 0xFF, n(), n()});  // SETPIXEL
    default:
      return WmfRecord(0x0102, {1 + in.Byte() % 2});  // SETBKMODE
  }
}

}  // namespace

// Text records need fonts, which need a graphical application.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication application(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TInput in(data, size);
  const bool enhanced = (in.Byte() & 1) != 0;
  const int side = 1 + in.Byte() % 128;
  std::vector<TBytes> records;
  while (!in.Empty() && records.size() < kMaxRecords)
    records.push_back(enhanced ? EmfRecordFrom(in) : WmfRecordFrom(in));
  try {
    auto metafile = LoadMetafile(enhanced ? Emf(records, side) : PlaceableWmf(records, side));
    Drawn(*metafile);
  } catch (const EInvalidGraphic&) {
    // Drawing refused for its cost, or a record the reader found damaged.
  }
  return 0;
}
