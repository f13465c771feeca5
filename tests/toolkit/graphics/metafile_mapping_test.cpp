// Metafile mappings that grow past what can be drawn (tests/data/metafile/make_mappings.sh writes the
// files): every record that would leave such a mapping is passed over, so that each file draws as it
// does without those records. The rule's bounds one by one, and clipping polygons whose points lie
// near the largest doubles.

#include <gtest/gtest.h>

#include <QPolygonF>
#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "tests/toolkit/graphics/metafile_helpers.h"
#include "toolkit/graphics/bmp_format.h"
#include "toolkit/graphics/metafile_budget.h"
#include "toolkit/graphics/metafile_mapping.h"
#include "toolkit/graphics/metafile_region.h"

namespace {

using namespace metafile_tests;

// The file with the records of the given types (EMF types, or WMF functions) left out after the first
// `keep` of them, its header's counts set to match.
Bytes KeepFirst(const Bytes& file, const std::set<uint32_t>& types, int keep) {
  const bool enhanced = ReadLE32(file.data()) == 1;
  const bool placeable = !enhanced && ReadLE32(file.data()) == 0x9AC6CDD7;
  size_t at = enhanced ? ReadLE32(file.data() + 4) : placeable ? 40 : 18;
  Bytes kept(file.begin(), file.begin() + static_cast<ptrdiff_t>(at));
  uint32_t records = 1;
  int seen = 0;
  while (at < file.size()) {
    const size_t size = enhanced ? ReadLE32(file.data() + at + 4) : size_t{ReadLE32(file.data() + at)} * 2;
    const uint32_t type = enhanced ? ReadLE32(file.data() + at) : ReadLE16(file.data() + at + 4);
    if (!types.contains(type) || seen++ < keep) {
      kept.insert(kept.end(), file.begin() + static_cast<ptrdiff_t>(at),
                  file.begin() + static_cast<ptrdiff_t>(at + size));
      ++records;
    }
    at += size;
  }
  if (enhanced) {
    WriteLE32(kept.data() + 48, static_cast<uint32_t>(kept.size()));
    WriteLE32(kept.data() + 52, records);
  } else {
    const size_t header = placeable ? 22 : 0;
    WriteLE32(kept.data() + header + 6, static_cast<uint32_t>((kept.size() - header) / 2));
  }
  return kept;
}

// Whether two bitmaps of one size hold the same pixels; the first that differs is reported.
testing::AssertionResult SamePixels(TBitmap& a, TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height())
    return testing::AssertionFailure() << "sizes differ";
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Canvas().Pixel(x, y) != b.Canvas().Pixel(x, y))
        return testing::AssertionFailure() << "pixel " << x << ", " << y << " differs";
  return testing::AssertionSuccess();
}

TEST(MetafileMapping, MappingsPastWhatCanBeDrawnArePassedOver) {
  const struct {
    std::string Name;
    std::set<uint32_t> Types;  // the mapping records of the file
    int Kept;                  // how many of them leave a mapping that can be drawn
  } cases[] = {
      // The unit 2^31 - 1 pixels long after the first scaling: none is carried out.
      {"viewport-scaled-01.emf", {31}, 0},
      {"viewport-scaled-02.emf", {31}, 0},
      {"viewport-scaled-03.emf", {31}, 0},
      {"viewport-scaled-04.emf", {31}, 0},
      {"viewport-scaled-05.emf", {31}, 0},
      {"viewport-scaled-06.emf", {31}, 0},
      {"viewport-scaled-07.emf", {31}, 0},
      {"viewport-scaled-08.emf", {31}, 0},
      {"viewport-scaled-09.emf", {31}, 0},
      {"viewport-scaled-10.emf", {31}, 0},
      {"viewport-scaled-11.emf", {31}, 0},
      {"viewport-scaled-12.emf", {31}, 0},
      {"window-shrunk.emf", {32}, 0},
      // Units of 1000 and of 10^6 pixels are drawn, one of 10^9 is not; pixels of 1000, 10^6 and 10^9
      // units are drawn, one of 10^12 (more than 2^32) is not.
      {"world-multiplied.emf", {36}, 2},
      {"world-shrunk.emf", {36}, 3},
      // Infinities, no number, and a unit of 10^38 pixels.
      {"world-no-number.emf", {35, 36}, 0},
      // Origins 2^31 - 1 away are drawn (far off the picture); then every scaling is too much.
      {"viewport-far.emf", {31}, 0},
      // A device unit some 8 x 10^9 pixels long: even the anisotropic mode's unit of 1 is too long.
      {"device-far.emf", {17}, 0},
      // A WMF's unit of 1 pixel scaled by 32767 once, not twice.
      {"viewport-scaled.wmf", {0x0412}, 1},
      {"window-shrunk.wmf", {0x0410}, 1},
  };
  for (const auto& c : cases) {
    const Bytes file = Sample("mapping/" + c.Name);
    auto drawn = Drawn(*LoadMetafile(file));
    auto without = Drawn(*LoadMetafile(KeepFirst(file, c.Types, c.Kept)));
    EXPECT_TRUE(SamePixels(*drawn, *without)) << c.Name;
  }
  // The twelve files of the kind: the mapping stays the unit one, the triangle (-1, 1),
  // (1, 2), (0, 9) halved in one direction clips the black fill to a sliver, and the red ellipse is
  // drawn over the top left quarter.
  auto first = Drawn(*LoadMetafile(Sample("mapping/viewport-scaled-01.emf")));
  EXPECT_EQ(first->Canvas().Pixel(5, 5), clRed);
  EXPECT_EQ(first->Canvas().Pixel(0, 3), clBlack);
  EXPECT_EQ(first->Canvas().Pixel(20, 3), clWhite);
}

TEST(MetafileMapping, TheRuleBoundsScalesInversesAndTranslations) {
  const double max = std::numeric_limits<double>::max();
  const auto anisotropic = [](double sx, double sy, QPointF windowOrg = {}, QPointF viewportOrg = {}) {
    TMetafileMapping m;
    m.MapMode = 8;
    m.WindowExt = QSizeF(1, 1);
    m.ViewportExt = QSizeF(sx, sy);
    m.WindowOrg = windowOrg;
    m.ViewportOrg = viewportOrg;
    return m;
  };
  const auto world = [](QTransform t) {
    TMetafileMapping m;
    m.World = t;
    return m;
  };
  TMetafileMapping zeroExtent = anisotropic(1, 1);
  zeroExtent.WindowExt = QSizeF(0, 5);
  TMetafileMapping textWithHugeExtent;
  textWithHugeExtent.ViewportExt = QSizeF(4294967296.0, 1);
  const struct {
    const char* Name;
    TMetafileMapping Mapping;
    QTransform Device;
    bool Usable;
  } cases[] = {
      {"the identity", {}, {}, true},
      {"a unit of 2^24 pixels", anisotropic(16777216, 1), {}, true},
      {"a unit of 2^24 + 1 pixels", anisotropic(16777217, 1), {}, false},
      {"the device's share of the unit", anisotropic(8388608, 1), QTransform::fromScale(2.5, 1), false},
      {"a pixel of 2^32 units", anisotropic(1, 1.0 / 4294967296.0), {}, true},
      {"a pixel of 2^33 units", anisotropic(1, 1.0 / 8589934592.0), {}, false},
      {"an extent of 0", zeroExtent, {}, false},
      {"an extent past 2^31, unused in MM_TEXT", textWithHugeExtent, {}, false},
      {"a translation of 2^55 pixels", anisotropic(16777216, 1, {-2147483648.0, 0}), {}, true},
      {"a world translation of 2^59 pixels",
       world(QTransform(1, 0, 0, 1, 576460752303423488.0, 0)),
       {},
       true},
      {"a world translation of 2^61 pixels",
       world(QTransform(1, 0, 0, 1, 2305843009213693952.0, 0)),
       {},
       false},
      {"an origin past 2^31", anisotropic(1, 1, {}, {2147483649.0, 0}), {}, false},
      {"a world transform turning 30 degrees", world(QTransform().rotate(30)), {}, true},
      {"a world transform of no area", world(QTransform(1, 2, 2, 4, 0, 0)), {}, false},
      {"a world transform of infinity", world(QTransform(max * 2, 0, 0, 1, 0, 0)), {}, false},
      {"a world transform of no number", world(QTransform(1, 0, 0, 1, std::nan(""), 0)), {}, false},
      {"a world transform of 10^38", world(QTransform(1e38, 0, 0, 1e38, 0, 0)), {}, false},
      {"MM_ANISOTROPIC of extents 2^31 and 1", anisotropic(2147483648.0, 1), {}, false},
      {"MM_ISOTROPIC of the same takes the shorter unit",
       [&] {
         TMetafileMapping m = anisotropic(2147483648.0, 1);
         m.MapMode = 7;
         return m;
       }(),
       {},
       true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(UsableMapping(c.Mapping, QPointF(3.78, 3.78), c.Device), c.Usable) << c.Name;
}

TEST(MetafileMapping, ClippingEdgesFlatterThanADoubleCanTell) {
  // The triangle after the last scaling: (-9e307, 0.5), (9e307, 1.5), (0, 4.5). Its first
  // edge's slope is no number a double holds, and its upper end lies on a pixel's centre. The pixels
  // whose centres lie inside are the whole rows 1 to 3 of the box.
  const QRect box(-1, -1, 26, 26);
  for (const double far : {9e307, 1.7e308, 1e300, 1e20}) {
    const QPolygonF triangle({{-far, 0.5}, {far, 1.5}, {0, 4.5}});
    TMetafileBudget budget(1000);
    const QRegion region = PolygonsRegion({triangle}, Qt::OddEvenFill, box, budget);
    EXPECT_EQ(region, QRegion(QRect(box.left(), 1, box.width(), 3))) << far;
  }
  // Edges with a point that is no number or infinite are left out; what the rest make stays within the
  // box.
  const double inf = std::numeric_limits<double>::infinity();
  const QPolygonF broken({{std::nan(""), 3}, {inf, 4}, {5, -inf}, {2, 2}, {20, 2.5}, {2, 30}});
  TMetafileBudget budget(1000);
  const QRegion region = PolygonsRegion({broken}, Qt::WindingFill, box, budget);
  EXPECT_TRUE(region.isEmpty() || box.contains(region.boundingRect()));
}

}  // namespace
