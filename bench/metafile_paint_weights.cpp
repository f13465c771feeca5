// What each cost of painting a metafile weighs against a solid fill's pixel: the weights of the drawing
// budget (toolkit/graphics/metafile_paint_cost.cpp). For each cost, a placeable WMF repeats records that
// incur it; each file is loaded and drawn into a 24-bit bitmap as the program draws a picture, several
// times, and the median time of its records (less that of the same file without them) is divided by
// the amount of the cost they incur. Printed in nanoseconds and as a multiple of a solid fill's pixel,
// for a 4096 x 4096 picture (drawn in a 32-bit copy) and an 8200 x 8200 one (drawn in place in its
// 24-bit rows).
//
//   bench_metafile_paint_weights [runs]     5 runs of each by default
//
// Compare figures from a Release build. Each kind is measured where it costs most (the worst hatch,
// lines in every direction), so that the weights bound what the budget lets through.

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

#include "bench/support/timing.h"
#include "tests/support/metafile_floods.h"
#include "toolkit/core/exceptions.h"

namespace {

using namespace metafile_bytes;

// Records that incur one cost `amount` times, after setup records that do not.
struct TMeasure {
  std::string Cost;
  std::string Name;
  std::vector<TBytes> Setup;
  std::vector<TBytes> Records;
  double Amount;
};

TBytes Rectangle(int left, int top, int right, int bottom) {
  return WmfRecord(0x041B, {bottom, right, top, left});
}
TBytes Select(int index) {
  return WmfRecord(0x012D, {index});
}
TBytes Brush(int style, int hatch = 0) {
  return WmfRecord(0x02FC, {style, 0x00FF, 0, hatch});  // red
}
TBytes Pen(int style, int width) {
  return WmfRecord(0x02FA, {style, width, 0}, {0, 0, 255, 0});  // blue
}
// A null pen in slot 0, then the object given in slot 1, both selected.
std::vector<TBytes> Filling(const TBytes& brush) {
  return {Pen(5, 0), Select(0), brush, Select(1)};
}

// An 8-bit DIB of side x side pixels in four colours, for pattern brushes and blits.
TBytes Dib(int side) {
  TBytes dib;
  for (int64_t v : {40, side, side}) Put32(dib, v);
  Put16(dib, 1);
  Put16(dib, 8);
  for (int64_t v : {int64_t{0}, int64_t{side} * side, int64_t{0}, int64_t{0}, int64_t{4}, int64_t{0}})
    Put32(dib, v);
  for (uint32_t colour : {0x000000u, 0xFF0000u, 0x00FF00u, 0x0000FFu}) Put32(dib, colour);
  for (int i = 0; i < side * side; ++i) dib.push_back(static_cast<uint8_t>((i / 3 + i / side) % 4));
  return dib;
}

// count lines through the centre of the picture in every direction; length and steps (the pixels a
// line of one pixel goes through) summed.
std::vector<TBytes> Star(int side, int count, double& length, double& steps) {
  std::vector<TBytes> lines;
  const double r = side / 2.0 - 2;
  length = steps = 0;
  for (int i = 0; i < count; ++i) {
    const double angle = std::numbers::pi * i / count;
    const int x = static_cast<int>(std::lround(r * std::cos(angle)));
    const int y = static_cast<int>(std::lround(r * std::sin(angle)));
    lines.push_back(WmfRecord(0x0325, {2, side / 2 - x, side / 2 - y, side / 2 + x, side / 2 + y}));
    length += 2 * std::hypot(x, y);
    steps += 2 * std::max(std::abs(x), std::abs(y)) + 1;
  }
  return lines;
}

std::vector<TMeasure> Measures(int side) {
  const double area = static_cast<double>(side) * side;
  const int fills = 4;
  const auto repeat = [](int count, const TBytes& record) { return std::vector<TBytes>(count, record); };
  const TBytes whole = Rectangle(0, 0, side, side);
  std::vector<TMeasure> all;
  all.push_back({"SolidFill", "solid brush", Filling(Brush(0)), repeat(fills, whole), area * fills});
  for (int hatch = 0; hatch < 6; ++hatch) {
    std::vector<TBytes> setup = Filling(Brush(2, hatch));
    setup.push_back(WmfRecord(0x0102, {1}));  // a transparent background: the hatch alone
    all.push_back(
        {"HatchedFill", "hatch " + std::to_string(hatch), setup, repeat(fills, whole), area * fills});
  }
  for (int pattern : {8, 64})
    all.push_back({"PatternFill", "pattern " + std::to_string(pattern),
                   Filling(WmfRecord(0x0142, {5, 0}, Dib(pattern))), repeat(fills, whole), area * fills});
  all.push_back({"InvertingFill",
                 "DSTINVERT",
                 {},
                 repeat(fills, WmfRecord(0x061D, {0x0009, 0x0055, side, side, 0, 0})),
                 area * fills});
  all.push_back({"InvertingFill", "PATINVERT", Filling(Brush(0)),
                 repeat(fills, WmfRecord(0x061D, {0x0049, 0x005A, side, side, 0, 0})), area * fills});
  for (int bitmap : {16, 512})
    all.push_back(
        {"Bitmap",
         "bitmap of " + std::to_string(bitmap) + " stretched",
         {},
         repeat(fills,
                WmfRecord(0x0F43, {0x0020, 0x00CC, 0, bitmap, bitmap, 0, 0, side, side, 0, 0}, Dib(bitmap))),
         area * fills});
  {
    // Rectangles one pixel wide from top to bottom: two edges on every row.
    std::vector<TBytes> columns;
    for (int i = 0; i < 512; ++i) columns.push_back(Rectangle(i * 8, 0, i * 8 + 1, side));
    all.push_back({"EdgeRow", "columns", Filling(Brush(0)), columns, 2.0 * side * 512});
  }
  {
    // A comb of 256 teeth over 256 rows: 512 edges on every row; what they cost beyond their rows.
    const int teeth = 256, rows = 256;
    TBytes points;
    for (int i = 0; i < teeth; ++i)
      for (int v : {i * side / teeth, 0, i * side / teeth + side / teeth / 2, rows}) Put16(points, v);
    all.push_back({"EdgePair", "comb of 256 teeth", Filling(Brush(0)),
                   repeat(2, WmfRecord(0x0324, {2 * teeth}, points)),
                   2.0 * rows * (2 * teeth) * (2 * teeth)});
  }
  {
    // Whole-picture fills under a clipping of 256 columns from top to bottom: what each fill costs
    // beyond its own (the clipping is worked out once, before the first).
    std::vector<TBytes> setup = Filling(Brush(0));
    for (int i = 0; i < 256; ++i) {
      const int left = i * side / 256 + side / 512;
      setup.push_back(WmfRecord(0x0415, {side, left + side / 512, 0, left}));  // EXCLUDECLIPRECT
    }
    setup.push_back(Rectangle(0, 0, 1, 1));
    all.push_back({"ClipSpan", "under 256 columns", setup, repeat(fills, whole), 257.0 * side * fills});
  }
  for (auto [cost, name, style, width] : {std::tuple{"ThinLine", "pen of 1 pixel", 0, 1},
                                          std::tuple{"StyledLine", "dashed pen of 1 pixel", 1, 1},
                                          std::tuple{"StyledLine", "dotted pen of 1 pixel", 2, 1},
                                          std::tuple{"WideLine", "pen of 64 pixels", 0, 64},
                                          std::tuple{"WideLine", "pen of 256 pixels", 0, 256}}) {
    const int count = width > 1 ? 4 * side / width : 256;
    double length = 0, steps = 0;
    const std::vector<TBytes> lines = Star(side, count, length, steps);
    const double amount = width > 1 ? (length + 2.0 * width * count) * width : style == 0 ? steps : length;
    all.push_back({cost, name, {Pen(style, width), Select(0)}, lines, amount});
  }
  // Text: rows of it over the picture, in fonts from small to large; its cost is its box.
  for (int height : {12, 40, 160}) {
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(height);
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetricsF metrics(font);
    const int rows = std::min(side / height, 64);
    const int characters = std::min(static_cast<int>(side / metrics.horizontalAdvance(QChar('M'))), 400);
    TBytes text;
    for (int i = 0; i < characters; ++i) text.push_back(static_cast<uint8_t>('A' + i % 26));
    const QString string = QString::fromLatin1(reinterpret_cast<const char*>(text.data()), characters);
    if (text.size() % 2) text.push_back(0);
    std::vector<TBytes> records;
    double box = 0;
    for (int row = 0; row < rows; ++row) {
      TBytes record = text;
      Put16(record, row * height);
      Put16(record, 0);
      records.push_back(WmfRecord(0x0521, {characters}, record));
      box += std::min(metrics.horizontalAdvance(string), static_cast<double>(side)) * metrics.height();
    }
    all.push_back({"Text",
                   "text " + std::to_string(height) + " pixels high",
                   {WmfRecord(0x02FB, {-height, 0, 0, 0, 400, 0, 0, 0, 0}, {'S', 'a', 'n', 's', 0, 0}),
                    Select(0), WmfRecord(0x0102, {1})},
                   records,
                   box});
  }
  return all;
}

double MedianSeconds(const TBytes& file, int runs) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    const auto start = BenchClock::now();
    try {
      Drawn(*LoadMetafile(file));
    } catch (const Exception& e) {
      std::printf("    refused: %s\n", e.Message().c_str());
    }
    times.push_back(SecondsSince(start));
  }
  return Median(times);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  for (int side : {4096, 8200}) {
    std::printf("%d x %d picture (%s)\n", side, side, side == 4096 ? "32-bit copy" : "24-bit rows in place");
    double solid = 0;
    for (const TMeasure& m : Measures(side)) {
      std::vector<TBytes> all = m.Setup;
      all.insert(all.end(), m.Records.begin(), m.Records.end());
      const double seconds =
          MedianSeconds(PlaceableWmf(all, side), runs) - MedianSeconds(PlaceableWmf(m.Setup, side), runs);
      const double each = seconds * 1e9 / m.Amount;
      if (m.Cost == "SolidFill") solid = each;
      std::printf("  %-13s %-24s %12.0f %8.4f s %9.3f ns %8.2f x a solid pixel\n", m.Cost.c_str(),
                  m.Name.c_str(), m.Amount, seconds, each, each / solid);
      std::fflush(stdout);
    }
  }
  return 0;
}
