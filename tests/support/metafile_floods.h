#pragma once
// Metafiles built byte by byte for the tests and the benchmarks, and read and drawn as the program
// does: records as the WMF and EMF layouts give them, and floods, files that repeat one record kind thousands
// of times after a frame drawn first, which show whether a record's cost grows with the records before it.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/metafile.h"
#include "toolkit/graphics/metafile_records.h"

namespace metafile_bytes {

using TBytes = std::vector<uint8_t>;

inline void Put16(TBytes& out, int value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void Put32(TBytes& out, int64_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A WMF record: size in words, function, then the words and bytes given (padded to a whole word).
inline TBytes WmfRecord(uint16_t function, const std::vector<int>& words, const TBytes& data = {}) {
  TBytes body;
  for (int word : words) Put16(body, word);
  body.insert(body.end(), data.begin(), data.end());
  if (body.size() % 2) body.push_back(0);
  TBytes record;
  Put32(record, static_cast<int64_t>(3 + body.size() / 2));
  Put16(record, function);
  record.insert(record.end(), body.begin(), body.end());
  return record;
}

// A placeable WMF of side x side units at 96 units per inch (so as many pixels), records then EOF.
inline TBytes PlaceableWmf(const std::vector<TBytes>& records, int side, int objects = 16) {
  TBytes body;
  size_t largest = 3;
  for (const TBytes& r : records) {
    body.insert(body.end(), r.begin(), r.end());
    largest = std::max(largest, r.size() / 2);
  }
  const TBytes eof = WmfRecord(0x0000, {});
  body.insert(body.end(), eof.begin(), eof.end());
  TBytes file;
  Put32(file, 0x9AC6CDD7);
  for (int word : {0, 0, 0, side, side, 96, 0, 0}) Put16(file, word);
  uint16_t checksum = 0;
  for (size_t i = 0; i < 20; i += 2) checksum ^= static_cast<uint16_t>(file[i] | (file[i + 1] << 8));
  Put16(file, checksum);
  for (int word : {1, 9, 0x0300}) Put16(file, word);
  Put32(file, static_cast<int64_t>(9 + body.size() / 2));
  Put16(file, objects);
  Put32(file, static_cast<int64_t>(largest));
  Put16(file, 0);
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

// An EMF record: type, size, then the 32-bit values given.
inline TBytes EmfRecord(uint32_t type, const std::vector<int64_t>& values, const TBytes& data = {}) {
  TBytes record;
  Put32(record, type);
  Put32(record, static_cast<int64_t>(8 + 4 * values.size() + (data.size() + 3) / 4 * 4));
  for (int64_t value : values) Put32(record, value);
  record.insert(record.end(), data.begin(), data.end());
  record.resize(record.size() + (4 - data.size() % 4) % 4);
  return record;
}

// An EMF whose frame is side x side pixels of a 96 dpi device, records then EOF.
inline TBytes Emf(const std::vector<TBytes>& records, int side, int handles = 16) {
  std::vector<TBytes> all = records;
  all.push_back(EmfRecord(14, {0, 16, 20}));
  size_t bodySize = 0;
  for (const TBytes& r : all) bodySize += r.size();
  const int frame = side * 2540 / 96;  // hundredths of a millimetre
  const TBytes header = EmfRecord(
      1, {0, 0, side - 1, side - 1, 0, 0, frame, frame, 0x464D4520, 0x10000,
          static_cast<int64_t>(88 + bodySize), static_cast<int64_t>(all.size() + 1), handles, 0, 0, 0,
          // a 96 dpi device: 960 x 960 pixels on 254 x 254 mm
          960, 960, 254, 254});
  TBytes file = header;
  for (const TBytes& r : all) file.insert(file.end(), r.begin(), r.end());
  return file;
}

// The metafile read from bytes as the program reads a file; raises what reading raises.
inline std::unique_ptr<TMetafile> LoadMetafile(const TBytes& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  auto metafile = std::make_unique<TMetafile>();
  metafile->LoadFromStream(stream);
  return metafile;
}

// The picture at its own size in a black 24-bit bitmap, as the working bitmap receives it (or in a
// bitmap of another format).
inline std::unique_ptr<TBitmap> Drawn(TMetafile& metafile, TPixelFormat format = pf24bit) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(format);
  bitmap->SetSize(metafile.Width(), metafile.Height());
  bitmap->Canvas().Draw(0, 0, metafile);
  return bitmap;
}

struct TFlood {
  std::string Name;
  TBytes File;
};

// The frame every flood draws first: a black outline around a 100 x 100 picture, white inside.
inline std::vector<TBytes> WmfFrame() {
  return {WmfRecord(0x02FA, {0, 1, 0}, {0, 0, 0, 0}), WmfRecord(0x012D, {0}), WmfRecord(0x02FC, {1, 0, 0, 0}),
          WmfRecord(0x012D, {1}), WmfRecord(0x041B, {98, 98, 2, 2})};
}

inline std::vector<TBytes> EmfFrame() {
  return {EmfRecord(37, {0x80000007}), EmfRecord(37, {0x80000005}), EmfRecord(43, {2, 2, 98, 98})};
}

// The flood's records: count copies of one, or count made by a function of their number.
inline std::vector<TBytes> Repeat(int count, const TBytes& record) {
  return std::vector<TBytes>(static_cast<size_t>(count), record);
}

template <class Make>
std::vector<TBytes> Varied(int count, Make make) {
  std::vector<TBytes> records;
  for (int i = 0; i < count; ++i) records.push_back(make(i));
  return records;
}

// The frame, the setup records, the flood, then the records that close it.
inline TFlood WmfFlood(const std::string& name, const std::vector<TBytes>& flood,
                       const std::vector<TBytes>& setup = {}, const std::vector<TBytes>& after = {}) {
  std::vector<TBytes> records = WmfFrame();
  for (const auto* part : {&setup, &flood, &after}) records.insert(records.end(), part->begin(), part->end());
  return {"wmf " + name, PlaceableWmf(records, 100)};
}

inline TFlood EmfFlood(const std::string& name, const std::vector<TBytes>& flood,
                       const std::vector<TBytes>& setup = {}, const std::vector<TBytes>& after = {}) {
  std::vector<TBytes> records = EmfFrame();
  for (const auto* part : {&setup, &flood, &after}) records.insert(records.end(), part->begin(), part->end());
  return {"emf " + name, Emf(records, 100)};
}

// Small rectangles on a grid of 2-pixel steps, each one elsewhere: excluded one after another, they
// leave the clipping as many holes.
inline void GridCell(int i, int& left, int& top) {
  left = 5 + i % 45 * 2;
  top = 5 + i / 45 % 45 * 2;
}

// Rectangles excluded from the clipping one after another on a grid of 45 x 45 cells (over and over
// when count is larger), then the picture filled from (4,4): red in the WMF, black in the EMF.
inline TFlood WmfExclusionFlood(int count) {
  return WmfFlood(
      "EXCLUDECLIPRECT",
      Varied(count,
             [](int i) {
               int left, top;
               GridCell(i, left, top);
               return WmfRecord(0x0415, {top + 1, left + 1, top, left});
             }),
      {},
      {WmfRecord(0x02FC, {0, 0x00FF, 0, 0}), WmfRecord(0x012D, {2}), WmfRecord(0x041B, {100, 100, 4, 4})});
}

inline TFlood EmfExclusionFlood(int count) {
  return EmfFlood("EXCLUDECLIPRECT",
                  Varied(count,
                         [](int i) {
                           int left, top;
                           GridCell(i, left, top);
                           return EmfRecord(29, {left, top, left + 1, top + 1});
                         }),
                  {}, {EmfRecord(37, {0x80000004}), EmfRecord(43, {4, 4, 100, 100})});
}

// A 2 x 2, 24-bit bottom-up DIB: red, green over blue, white.
inline TBytes SmallDib() {
  TBytes dib;
  for (int64_t v : {40, 2, 2}) Put32(dib, v);
  Put16(dib, 1);
  Put16(dib, 24);
  for (int64_t v : {0, 16, 0, 0, 0, 0}) Put32(dib, v);
  for (uint8_t b : {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0}) dib.push_back(b);
  return dib;
}

// One flood of count records for every record kind a WMF may hold: the kinds that draw or change the
// state with fields that make them do so, every other kind with its fixed part all zeros.
inline std::vector<TFlood> WmfFloods(int count) {
  std::vector<TFlood> floods = {
      WmfExclusionFlood(count),
      WmfFlood("INTERSECTCLIPRECT", Repeat(count, WmfRecord(0x0416, {90, 90, 10, 10}))),
      WmfFlood("CREATEBRUSHINDIRECT", Repeat(count, WmfRecord(0x02FC, {0, 0x00FF, 0, 0}))),
      WmfFlood("CREATEPENINDIRECT", Repeat(count, WmfRecord(0x02FA, {0, 1, 0}, {0, 0, 255, 0}))),
      WmfFlood("CREATEFONTINDIRECT",
               Repeat(count, WmfRecord(0x02FB, {-12, 0, 0, 0, 400, 0, 0, 0, 0}, {'S', 'a', 'n', 's', 0, 0}))),
      WmfFlood("DELETEOBJECT", Repeat(count, WmfRecord(0x01F0, {2}))),
      WmfFlood("SELECTOBJECT", Repeat(count, WmfRecord(0x012D, {1}))),
      WmfFlood("SAVEDC", Repeat(count, WmfRecord(0x001E, {}))),
      WmfFlood("RESTOREDC", Repeat(count, WmfRecord(0x0127, {-1})), {WmfRecord(0x001E, {})}),
      WmfFlood("RECTANGLE", Repeat(count, WmfRecord(0x041B, {70, 70, 30, 30}))),
      WmfFlood("ELLIPSE", Repeat(count, WmfRecord(0x0418, {70, 70, 30, 30}))),
      WmfFlood("ROUNDRECT", Repeat(count, WmfRecord(0x061C, {8, 8, 70, 70, 30, 30}))),
      WmfFlood("ARC", Repeat(count, WmfRecord(0x0817, {50, 90, 50, 10, 90, 90, 10, 10}))),
      WmfFlood("PIE", Repeat(count, WmfRecord(0x081A, {50, 90, 50, 10, 90, 90, 10, 10}))),
      WmfFlood("CHORD", Repeat(count, WmfRecord(0x0830, {50, 90, 50, 10, 90, 90, 10, 10}))),
      WmfFlood("LINETO", Repeat(count, WmfRecord(0x0213, {80, 80}))),
      WmfFlood("MOVETO", Repeat(count, WmfRecord(0x0214, {20, 20}))),
      WmfFlood("POLYGON", Repeat(count, WmfRecord(0x0324, {3, 20, 20, 80, 20, 50, 80}))),
      WmfFlood("POLYLINE", Repeat(count, WmfRecord(0x0325, {3, 20, 20, 80, 20, 50, 80}))),
      WmfFlood("POLYPOLYGON",
               Repeat(count, WmfRecord(0x0538, {2, 3, 3, 20, 20, 40, 20, 30, 40, 60, 60, 80, 60, 70, 80}))),
      WmfFlood("SETPIXEL", Repeat(count, WmfRecord(0x041F, {0, 0xFF, 50, 50}))),
      WmfFlood("PATBLT", Repeat(count, WmfRecord(0x061D, {0x0021, 0x00F0, 20, 20, 40, 40}))),
      WmfFlood("TEXTOUT", Repeat(count, WmfRecord(0x0521, {2, 'H' | 'i' << 8, 40, 20}))),
      WmfFlood("EXTTEXTOUT", Repeat(count, WmfRecord(0x0A32, {40, 20, 2, 0, 'H' | 'i' << 8}))),
      WmfFlood("SETWINDOWORG", Repeat(count, WmfRecord(0x020B, {0, 0}))),
      WmfFlood("SETWINDOWEXT", Repeat(count, WmfRecord(0x020C, {100, 100}))),
      WmfFlood("OFFSETWINDOWORG", Repeat(count, WmfRecord(0x020F, {0, 0}))),
      WmfFlood("SCALEVIEWPORTEXT", Repeat(count, WmfRecord(0x0412, {1, 1, 1, 1}))),
      WmfFlood("DIBSTRETCHBLT",
               Repeat(count, WmfRecord(0x0B41, {0x0020, 0x00CC, 2, 2, 0, 0, 40, 40, 30, 30}, SmallDib()))),
      WmfFlood("STRETCHDIB",
               Repeat(count, WmfRecord(0x0F43, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 40, 40, 30, 30}, SmallDib()))),
      WmfFlood("DIBCREATEPATTERNBRUSH", Repeat(count, WmfRecord(0x0142, {5, 0}, SmallDib()))),
      // Small records after a large one: each costs its own size, whatever came before it.
      WmfFlood("SETBKMODE after 16 MB ESCAPE", Repeat(count, WmfRecord(0x0102, {1})),
               {WmfRecord(0x0626, {0, 0}, TBytes(16 << 20, 0))}),
  };
  for (uint16_t function : {0x0102, 0x0103, 0x0104, 0x0105, 0x0106, 0x0107, 0x0108, 0x012A, 0x012B, 0x012C,
                            0x012E, 0x0234, 0x0139, 0x0201, 0x0209, 0x020A, 0x020D, 0x020E, 0x0211, 0x0220,
                            0x0228, 0x0231, 0x0037, 0x00F7, 0x0149, 0x0626, 0x0436, 0x0410, 0x0429, 0x0419,
                            0x0548, 0x0940, 0x0D33, 0x0035, 0x01F9, 0x06FF, 0x0922, 0x0B23}) {
    const TBytes zeros(WmfFixedSize(function) - 6, 0);
    floods.push_back(
        WmfFlood("function " + std::to_string(function), Repeat(count, WmfRecord(function, {}, zeros))));
  }
  return floods;
}

// The same for an EMF: path brackets and clipping paths included.
inline std::vector<TFlood> EmfFloods(int count) {
  const auto poly = [](uint32_t type, bool wide) {
    TBytes points;
    for (int v : {20, 20, 80, 20, 80, 80, 20, 80}) wide ? Put32(points, v) : Put16(points, v);
    return EmfRecord(type, {0, 0, 0, 0, 4}, points);
  };
  const TBytes beginPath = EmfRecord(59, {}), endPath = EmfRecord(60, {});
  std::vector<TFlood> floods = {
      EmfExclusionFlood(count),
      EmfFlood("INTERSECTCLIPRECT", Repeat(count, EmfRecord(30, {10, 10, 90, 90}))),
      EmfFlood("EXTSELECTCLIPRGN",
               Repeat(count, EmfRecord(75, {48, 1, 32, 1, 1, 0, 10, 10, 90, 90, 10, 10, 90, 90}))),
      EmfFlood("SELECTCLIPPATH", Repeat(count, EmfRecord(67, {1})), {beginPath, poly(3, true), endPath}),
      EmfFlood("CREATEBRUSHINDIRECT", Repeat(count, EmfRecord(39, {1, 0, 0xFF, 0}))),
      EmfFlood("CREATEPEN", Repeat(count, EmfRecord(38, {2, 0, 1, 0, 0xFF00}))),
      EmfFlood("DELETEOBJECT", Repeat(count, EmfRecord(40, {1}))),
      EmfFlood("SELECTOBJECT", Repeat(count, EmfRecord(37, {0x80000004}))),
      EmfFlood("SAVEDC", Repeat(count, EmfRecord(33, {}))),
      EmfFlood("RESTOREDC", Repeat(count, EmfRecord(34, {-1})), {EmfRecord(33, {})}),
      EmfFlood("RECTANGLE", Repeat(count, EmfRecord(43, {30, 30, 70, 70}))),
      EmfFlood("ELLIPSE", Repeat(count, EmfRecord(42, {30, 30, 70, 70}))),
      EmfFlood("ARCTO", Repeat(count, EmfRecord(55, {10, 10, 90, 90, 90, 50, 10, 50}))),
      EmfFlood("ANGLEARC", Repeat(count, EmfRecord(41, {50, 50, 30, 0, 0x43340000}))),
      EmfFlood("LINETO", Repeat(count, EmfRecord(54, {80, 80}))),
      EmfFlood("POLYGON16", Repeat(count, poly(86, false))),
      EmfFlood("POLYBEZIER", Repeat(count, poly(2, true))),
      EmfFlood("POLYLINETO", Repeat(count, poly(6, true))),
      EmfFlood("POLYPOLYGON16", Repeat(count, EmfRecord(91, {0, 0, 0, 0, 1, 3, 3, 20 | 20 << 16,
                                                             80 | 20 << 16, 50 | 80 << 16}))),
      EmfFlood("BEGINPATH", Repeat(count, beginPath)),
      EmfFlood("LINETO in a path", Repeat(count, EmfRecord(54, {80, 80})), {beginPath},
               {endPath, EmfRecord(62, {0, 0, 0, 0})}),
      EmfFlood("POLYBEZIERTO16 in a path", Repeat(count, poly(88, false)), {beginPath},
               {EmfRecord(61, {}), endPath, EmfRecord(62, {0, 0, 0, 0})}),
      EmfFlood("CLOSEFIGURE in a path", Repeat(count, EmfRecord(61, {})), {beginPath}, {endPath}),
      EmfFlood("FILLPATH", Repeat(count, EmfRecord(62, {0, 0, 0, 0})), {beginPath, poly(3, true), endPath}),
      EmfFlood("SETWORLDTRANSFORM", Repeat(count, EmfRecord(35, {0x3F800000, 0, 0, 0x3F800000, 0, 0}))),
      EmfFlood("MODIFYWORLDTRANSFORM", Repeat(count, EmfRecord(36, {0x3F800000, 0, 0, 0x3F800000, 0, 0, 2}))),
      EmfFlood("EXTTEXTOUTW",
               Repeat(count, EmfRecord(84, {0, 0, 0, 0, 1, 0, 0, 20, 40, 2, 76, 0, 0, 0, 0, 0, 0},
                                       {'H', 0, 'i', 0}))),
      EmfFlood("STRETCHDIBITS",
               Repeat(count,
                      EmfRecord(81, {0, 0, 0, 0, 30, 30, 0, 0, 2, 2, 80, 40, 120, 16, 0, 0x00CC0020, 40, 40},
                                SmallDib()))),
      EmfFlood("SETBKMODE after 16 MB GDICOMMENT", Repeat(count, EmfRecord(18, {1})),
               {EmfRecord(70, {16 << 20}, TBytes(16 << 20, 0))}),
  };
  for (uint32_t type = 2; type <= 122; ++type) {
    if (type == 14) continue;
    const TBytes zeros(EmfFixedSize(type) - 8, 0);
    floods.push_back(EmfFlood("type " + std::to_string(type), Repeat(count, EmfRecord(type, {}, zeros))));
  }
  return floods;
}

}  // namespace metafile_bytes
