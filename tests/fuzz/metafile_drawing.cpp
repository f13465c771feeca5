// Builds a metafile of whole, well-formed records from the input and draws it as the program draws a
// picture: mapping records (map modes, window and viewport origins and extents set, offset and scaled,
// world transforms set and multiplied) among paths, clipping paths and rectangles, polygons, curves,
// ellipses, pies, lines of every pen, bitmaps and text, their numbers taken from the input or from the
// extremes a mapping reaches (the largest integers, infinities, no number). Where the byte fuzzer must
// first find a record's layout, this one spends its time on what drawing does with the numbers: no
// double may become an integer it does not fit, no mapping may leave the drawing with numbers it cannot
// use, and drawing ends in what it draws or in the metafile reader's EInvalidGraphic.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "tests/fuzz/gui_application.h"
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

// count numbers of the input (each read in turn: the order of a function's arguments is not).
std::vector<int64_t> Numbers(TInput& in, int count) {
  std::vector<int64_t> values;
  for (int i = 0; i < count; ++i) values.push_back(in.Number());
  return values;
}

// A record of an enhanced metafile of the kind the input picks.
TBytes EmfRecordFrom(TInput& in) {
  const int kind = in.Byte() % 30;
  const int pick = in.Byte();
  switch (kind) {
    case 0:
      return EmfRecord(17, {1 + pick % 8});  // SETMAPMODE
    case 1:
      return EmfRecord(9 + pick % 4, Numbers(in, 2));  // SETWINDOWEXTEX .. SETVIEWPORTORGEX
    case 2:
      return EmfRecord(31 + pick % 2, Numbers(in, 4));  // SCALEVIEWPORTEXTEX, SCALEWINDOWEXTEX
    case 3:
    case 4: {  // SETWORLDTRANSFORM, MODIFYWORLDTRANSFORM
      std::vector<int64_t> values;
      for (int i = 0; i < 6; ++i) values.push_back(in.Float());
      if (kind == 4) values.push_back(1 + pick % 3);
      return EmfRecord(35 + (kind - 3), values);
    }
    case 5:
      return EmfRecord(33, {});  // SAVEDC
    case 6:
      return EmfRecord(34, {-1 - pick % 3});  // RESTOREDC
    case 7:
      return EmfRecord(59, {});  // BEGINPATH
    case 8:
      return EmfRecord(60, {});  // ENDPATH
    case 9:
      return EmfRecord(61, {});  // CLOSEFIGURE
    case 10:
      return EmfRecord(62 + pick % 3, {0, 0, 0, 0});  // FILLPATH, STROKEANDFILLPATH, STROKEPATH
    case 11:
      return EmfRecord(67, {1 + pick % 5});  // SELECTCLIPPATH
    case 12:
    case 13: {  // POLYGON, POLYLINE, POLYBEZIER, POLYBEZIERTO, POLYLINETO; POLYGON16, POLYLINE16
      const int count = 1 + pick % 8;
      const uint32_t wide[] = {3, 4, 2, 5, 6};
      const uint32_t type = kind == 12 ? wide[in.Byte() % 5] : 86 + in.Byte() % 2;
      return EmfRecord(type, {0, 0, 0, 0, count}, Points(in, count, kind == 12));
    }
    case 14:
      return EmfRecord(42 + pick % 2, Numbers(in, 4));  // ELLIPSE, RECTANGLE
    case 15:
      return EmfRecord(44, Numbers(in, 6));  // ROUNDRECT
    case 16:
      return EmfRecord(45 + pick % 3, Numbers(in, 8));  // ARC, CHORD, PIE
    case 17: {                                          // ANGLEARC: centre, radius, angles
      std::vector<int64_t> values = Numbers(in, 3);
      values[2] &= 0x7FFFFFFF;
      values.push_back(in.Float());
      values.push_back(in.Float());
      return EmfRecord(41, values);
    }
    case 18:
      return EmfRecord(27 + 27 * (pick % 2), Numbers(in, 2));  // MOVETOEX, LINETO
    case 19:
      return EmfRecord(29 + pick % 2, Numbers(in, 4));  // EXCLUDECLIPRECT, INTERSECTCLIPRECT
    case 20:
      return EmfRecord(75, {0, 5});  // EXTSELECTCLIPRGN: back to no clipping
    case 21: {                       // CREATEPEN: slot, style with its end cap, width, colour
      const int style = in.Byte() % 9 | (in.Byte() & 3) << 8;
      const int64_t width = in.Number();
      return EmfRecord(38, {1 + pick % 3, style, width, 0, in.Word() & 0xFFFFFF});
    }
    case 22: {  // CREATEBRUSHINDIRECT: slot, solid, null or hatched, colour, hatch
      const int style = in.Byte() % 3;
      const int64_t colour = in.Word() & 0xFFFFFF;
      return EmfRecord(39, {1 + pick % 3, style, colour, in.Byte() % 6});
    }
    case 23:  // CREATEDIBPATTERNBRUSHPT of the 2 x 2 bitmap
      return EmfRecord(94, {1 + pick % 3, 0, 32, 40, 72, 16}, SmallDib());
    case 24:  // SELECTOBJECT: a slot, or a stock object
      return EmfRecord(37, {pick % 2 ? 1 + in.Byte() % 3 : 0x80000000 | in.Byte() % 20});
    case 25: {  // STRETCHDIBITS of the 2 x 2 bitmap: place, source, size
      const std::vector<int64_t> v = Numbers(in, 8);
      return EmfRecord(81,
                       {0, 0, 0, 0, v[0], v[1], v[2] % 4, v[3] % 4, v[4] % 4, v[5] % 4, 80, 40, 120, 16, 0,
                        0x00CC0020, v[6], v[7]},
                       SmallDib());
    }
    case 26: {  // EXTTEXTOUTW of "Hi" at a point, with options and a rectangle
      const std::vector<int64_t> v = Numbers(in, 6);
      return EmfRecord(84, {0, 0, 0, 0, 1, 0, 0, v[0], v[1], 2, 76, pick % 8, v[2], v[3], v[4], v[5], 0},
                       {'H', 0, 'i', 0});
    }
    case 27:
      return EmfRecord(18, {1 + pick % 2});  // SETBKMODE
    case 28:
      return EmfRecord(19, {1 + pick % 2});  // SETPOLYFILLMODE
    default:
      return EmfRecord(57, {1 + pick % 2});  // SETARCDIRECTION
  }
}

// A record of a Windows metafile of the kind the input picks.
TBytes WmfRecordFrom(TInput& in) {
  const int kind = in.Byte() % 20;
  const int pick = in.Byte();
  const auto words = [&](int count) {
    std::vector<int> values;
    for (int i = 0; i < count; ++i) values.push_back(static_cast<int16_t>(in.Number()));
    return values;
  };
  switch (kind) {
    case 0:
      return WmfRecord(0x0103, {1 + pick % 8});  // SETMAPMODE
    case 1: {                                    // window and viewport origins and extents: set, offset
      const uint16_t functions[] = {0x020B, 0x020C, 0x020D, 0x020E, 0x020F, 0x0211};
      return WmfRecord(functions[pick % 6], words(2));
    }
    case 2:
      return WmfRecord(pick % 2 ? 0x0410 : 0x0412, words(4));  // SCALEWINDOWEXT, SCALEVIEWPORTEXT
    case 3:
      return WmfRecord(0x001E, {});  // SAVEDC
    case 4:
      return WmfRecord(0x0127, {-1});  // RESTOREDC
    case 5: {                          // POLYGON, POLYLINE
      const int count = 1 + in.Byte() % 8;
      return WmfRecord(pick % 2 ? 0x0324 : 0x0325, {count}, Points(in, count, false));
    }
    case 6:
      return WmfRecord(pick % 2 ? 0x0418 : 0x041B, words(4));  // ELLIPSE, RECTANGLE
    case 7:
      return WmfRecord(0x061C, words(6));  // ROUNDRECT
    case 8: {
      const uint16_t functions[] = {0x0817, 0x081A, 0x0830};  // ARC, PIE, CHORD
      return WmfRecord(functions[pick % 3], words(8));
    }
    case 9:
      return WmfRecord(pick % 2 ? 0x0213 : 0x0214, words(2));  // LINETO, MOVETO
    case 10:
      return WmfRecord(pick % 2 ? 0x0415 : 0x0416, words(4));  // EXCLUDECLIPRECT, INTERSECTCLIPRECT
    case 11: {  // PATBLT: PATCOPY, PATINVERT, DSTINVERT, BLACKNESS
      const uint32_t rops[] = {0x00F00021, 0x005A0049, 0x00550009, 0x00000042};
      const uint32_t rop = rops[pick % 4];
      std::vector<int> values = {static_cast<int>(rop & 0xFFFF), static_cast<int>(rop >> 16)};
      for (int w : words(4)) values.push_back(w);
      return WmfRecord(0x061D, values);
    }
    case 12: {  // CREATEPENINDIRECT: style with its end cap, width, colour
      const int style = pick % 9 | (in.Byte() & 3) << 8;
      const int width = static_cast<int16_t>(in.Number());
      const uint32_t colour = in.Word();
      return WmfRecord(0x02FA, {style, width, 0},
                       {static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8),
                        static_cast<uint8_t>(colour >> 16), 0});
    }
    case 13: {  // CREATEBRUSHINDIRECT: solid, null or hatched, colour, hatch
      const uint32_t colour = in.Word();
      return WmfRecord(0x02FC, {pick % 3, static_cast<int>(colour & 0xFFFF),
                                static_cast<int>((colour >> 16) & 0xFF), in.Byte() % 6});
    }
    case 14:
      return WmfRecord(0x0142, {5, 0}, SmallDib());  // DIBCREATEPATTERNBRUSH
    case 15:
      return WmfRecord(0x012D, {pick % 6});  // SELECTOBJECT
    case 16: {                               // STRETCHDIB of the 2 x 2 bitmap: source, then place
      const std::vector<int> v = words(8);
      return WmfRecord(0x0F43,
                       {0x0020, 0x00CC, 0, v[0] % 4, v[1] % 4, v[2] % 4, v[3] % 4, v[4], v[5], v[6], v[7]},
                       SmallDib());
    }
    case 17: {  // TEXTOUT
      const std::vector<int> v = words(2);
      return WmfRecord(0x0521, {2, 'H' | 'i' << 8, v[0], v[1]});
    }
    case 18: {  // SETPIXEL
      const std::vector<int> v = words(2);
      return WmfRecord(0x041F, {0, 0xFF, v[0], v[1]});
    }
    default:
      return WmfRecord(0x0102, {1 + pick % 2});  // SETBKMODE
  }
}

}  // namespace

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
