// What drawing a metafile costs: small files that ask for far more painting than their size justifies
// (tests/data/metafile/make_floods.sh writes them) are refused by the drawing budget, lawful drawings
// of many shapes load with their pixels right, the counter of painting costs adds up what Qt takes
// time for, and large pictures, drawn in place in their 24-bit rows, come out as drawn in a copy.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "tests/support/metafile_floods.h"
#include "tests/toolkit/graphics/metafile_helpers.h"
#include "toolkit/core/messages.h"
#include "toolkit/graphics/graphics_messages.h"
#include "toolkit/graphics/metafile_budget.h"
#include "toolkit/graphics/metafile_paint_cost.h"

namespace {

using namespace metafile_tests;
using namespace metafile_bytes;

TEST(MetafileDrawingCost, FloodsAreRefusedByTheDrawingBudget) {
  const std::string drawing = Kind(SMetafileDrawingBudget), clipping = Kind(SMetafileClipBudget);
  const struct {
    const char* Name;
    std::string Refused;  // the start of the refusal, "" when the file is drawn
  } cases[] = {
      {"hatched-ellipses-2000.wmf", drawing},
      {"hatched-ellipses-100.wmf", drawing},
      {"patblt-16384-1000.wmf", drawing},
      {"roundrects-2000.wmf", drawing},
      {"pies-2000.wmf", drawing},
      {"polygons-2000.wmf", drawing},
      {"rotated-rectangles-2000.emf", drawing},
      {"stretched-bitmaps-2000.wmf", drawing},
      {"wide-pens-2000.wmf", drawing},
      {"comb-polygons-16.wmf", drawing},
      {"columns-20000.wmf", drawing},
      {"clipped-shapes-10000.wmf", drawing},
      {"dashed-lines-2000.wmf", drawing},
      {"text-2000.wmf", drawing},
      // Each text hands the painter a clipping of its own, and the next shape the file's again.
      {"clipped-text-2000.wmf", clipping},
      // A dotted pen under a mapping that squeezes one axis: its dots are laid out on the picture, few
      // of them land on it, and the file is drawn.
      {"squeezed-dotted-pens-100.emf", ""},
  };
  for (const auto& c : cases) {
    const std::string refusal = Refusal(Sample(std::string("floods/") + c.Name));
    EXPECT_TRUE(c.Refused.empty() ? refusal.empty() : refusal.starts_with(c.Refused))
        << c.Name << ": " << refusal;
  }
  // The message names the budget and the file's size: 2^30 pixels and 4096 a byte.
  EXPECT_EQ(Refusal(Sample("floods/hatched-ellipses-100.wmf")),
            "dessin de plus de 1079853056 pixels à peindre en tout, trop pour un fichier de 1492 octets");
}

TEST(MetafileDrawingCost, LawfulDrawingsLoadWithTheirPixels) {
  // 5000 shapes of 8 x 8 pixels on 10-pixel cells: cell (column, row) in colour (column + row) % 5,
  // an ellipse or a rectangle by turns; white between the cells.
  const TColor colours[] = {clRed, RGB(0, 160, 0), clBlue, RGB(200, 160, 0), clPurple};
  auto shapes = Drawn(*LoadMetafile(Sample("lawful/small-shapes-5000.wmf")));
  ASSERT_EQ(shapes->Width(), 1000);
  ASSERT_EQ(shapes->Height(), 500);
  int wrong = 0;
  for (int row = 0; row < 50; ++row)
    for (int column = 0; column < 100; ++column) {
      const int x = 10 * column, y = 10 * row;
      wrong += shapes->Canvas().Pixel(x + 5, y + 5) != colours[(column + row) % 5];
      wrong += shapes->Canvas().Pixel(x, y) != clWhite;
      // Rectangles reach their corners, ellipses do not.
      wrong += (shapes->Canvas().Pixel(x + 1, y + 1) == clWhite) != ((column + row) % 2 == 0);
    }
  EXPECT_EQ(wrong, 0);

  // A yellow background over 4096 x 4096 pixels under 500 blue ellipses of 160 pixels.
  auto background = Drawn(*LoadMetafile(Sample("lawful/background-500.wmf")));
  wrong = 0;
  for (int i = 0; i < 500; ++i) {
    const int x = 180 * (i % 22), y = 180 * (i / 22);
    wrong += background->Canvas().Pixel(x + 90, y + 90) != clBlue;
    wrong += background->Canvas().Pixel(x + 5, y + 5) != clYellow;
    wrong += background->Canvas().Pixel(x + 12, y + 12) != clYellow;  // outside the ellipse's round
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(background->Canvas().Pixel(4095, 4095), clYellow);
}

TEST(MetafileDrawingCost, TheCounterCountsWhatQtTakesTimeFor) {
  const QRect box(0, 0, 100, 100);
  QPainterPath line(QPointF(0, 5));
  line.lineTo(50, 5);
  QPainterPath across(QPointF(10, 50));
  across.lineTo(60, 50);
  QPainterPath square;
  square.addRect(QRectF(0, 0, 10, 40));
  // A comb of 8 teeth from row 0 to row 20: 16 edges on each of its 20 rows.
  QPolygonF teeth;
  for (int i = 0; i < 8; ++i) teeth << QPointF(10 * i, 0) << QPointF(10 * i + 5, 20);
  QPainterPath comb;
  comb.addPolygon(teeth);
  QPen thin(Qt::black, 0), dashed(Qt::black, 0, Qt::DashLine), wide(Qt::black, 4);
  thin.setCosmetic(true);
  dashed.setCosmetic(true);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const auto rectangle = [&](QRectF r) {
    return [=](TPaintCounter& c) { return c.Rectangle(r, box, TPaintKind::SolidFill); };
  };

  enum TTerm { kArea, kLine, kStyled, kEdge, kPair, kClip };
  const struct {
    const char* Name;
    TTerm Weighed;  // the one weight set to 1, the others being 0
    std::function<double(TPaintCounter&)> Cost;
    double Expected;
  } cases[] = {
      {"a rectangle's pixels, however little of them is covered", kArea, rectangle({10.5, 20, 30, 40}),
       31 * 40},
      {"only the part on the picture", kArea, rectangle({-50, -50, 100, 100}), 50 * 50},
      {"a rectangle no number tells counts the whole picture", kArea, rectangle({nan, 0, 10, 10}), 100 * 100},
      {"nothing off the picture", kArea, rectangle({200, 200, 10, 10}), 0},
      {"a fill scaled twice is four times as large", kArea,
       [&](TPaintCounter& c) {
         return c.Fill(square, QTransform::fromScale(2, 2), box, TPaintKind::SolidFill);
       },
       20 * 80},
      {"two edges on each of the rectangle's rows", kEdge, rectangle({0, 0, 10, 40}), 2 * 40},
      {"and two squared", kPair, rectangle({0, 0, 10, 40}), 4 * 40},
      {"the comb's 16 edges a row, squared", kPair,
       [&](TPaintCounter& c) { return c.Fill(comb, QTransform(), box, TPaintKind::SolidFill); },
       16 * 16 * 20},
      {"a line of one pixel by the pixels it goes through", kLine,
       [&](TPaintCounter& c) { return c.Outline(line, QTransform(), box, thin); }, 51},
      {"a dashed one by its length", kStyled,
       [&](TPaintCounter& c) { return c.Outline(line, QTransform(), box, dashed); }, 50},
      {"a wide line by its length and caps times its width", kArea,
       [&](TPaintCounter& c) { return c.Outline(across, QTransform(), box, wide); }, (50 + 2 * 4) * 4},
      {"its width scaled by the mapping's longer unit", kArea,
       [&](TPaintCounter& c) { return c.Outline(across, QTransform(0.5, 0, 0, 2, 0, -60), box, wide); },
       (25 + 2 * 8) * 8},
      {"three columns of clipping on each of 20 rows", kClip,
       [&](TPaintCounter& c) {
         QRegion columns;
         for (int x : {10, 40, 70}) columns += QRect(x, 0, 10, 100);
         EXPECT_EQ(c.SetClip(columns), 300);  // what Qt works out once
         return c.Rectangle(QRectF(0, 10, 100, 20), box, TPaintKind::SolidFill);
       },
       3 * 20},
  };
  for (const auto& c : cases) {
    TPaintWeights weights{};
    for (double& area : weights.Area) area = c.Weighed == kArea;
    weights.ThinLine = c.Weighed == kLine;
    weights.StyledLine = c.Weighed == kStyled;
    weights.EdgeRow = c.Weighed == kEdge;
    weights.EdgePair = c.Weighed == kPair;
    weights.ClipSpan = c.Weighed == kClip;
    TPaintCounter counter(weights);
    EXPECT_DOUBLE_EQ(c.Cost(counter), c.Expected) << c.Name;
  }
}

TEST(MetafileDrawingCost, TheDrawingBudgetGrowsWithTheFile) {
  // 2^30 pixels of a solid fill for any file, and 4096 more for each byte.
  TMetafileBudget budget(1000);
  budget.SpendDrawing(1073741824.0 + 4096 * 1000 - 1);
  budget.SpendDrawing(-5);  // no cost at all
  budget.SpendDrawing(1);
  try {
    budget.SpendDrawing(1);
    ADD_FAILURE() << "not refused";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(
        e.Message().find("dessin de plus de 1077837824 pixels à peindre en tout, trop pour un fichier de "
                         "1000 octets"),
        std::string::npos)
        << e.Message();
  }
  // Work that cannot be told counts as too much.
  TMetafileBudget unknown(0);
  EXPECT_THROW(unknown.SpendDrawing(std::numeric_limits<double>::quiet_NaN()), EInvalidGraphic);
  TMetafileBudget infinite(0);
  EXPECT_THROW(infinite.SpendDrawing(std::numeric_limits<double>::infinity()), EInvalidGraphic);
}

// A picture of 8200 x 8200 pixels (more than 2^26: drawn in place in a 24-bit bitmap's rows) with
// shapes of every kind near two of its corners.
TBytes LargePicture() {
  std::vector<TBytes> records = {
      WmfRecord(0x02FC, {2, 0x00FF, 0, 5}),  // a red cross-hatched brush, object 0
      WmfRecord(0x012D, {0}),
      WmfRecord(0x02FA, {0, 6, 0}, {0, 0, 255, 0}),  // a blue pen 6 pixels wide, object 1
      WmfRecord(0x012D, {1}),
      WmfRecord(0x041B, {120, 200, 10, 20}),      // RECTANGLE (20, 10)-(200, 120)
      WmfRecord(0x0418, {8150, 330, 7850, 130}),  // ELLIPSE (130, 7850)-(330, 8150)
      WmfRecord(0x0324, {3, 150, 7900, 390, 7990, 170, 8190}),
      WmfRecord(0x02FA, {1, 1, 0}, {0, 128, 0, 0}),  // a green dashed pen, object 2
      WmfRecord(0x012D, {2}),
      WmfRecord(0x0325, {2, 10, 7800, 400, 8199}),
      WmfRecord(0x0142, {5, 0}, SmallDib()),  // a pattern brush, object 3
      WmfRecord(0x012D, {3}),
      WmfRecord(0x041B, {8100, 390, 8000, 250}),
      WmfRecord(0x0F43, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 60, 60, 230, 210}, SmallDib()),  // at (210, 230)
      WmfRecord(0x02FB, {-30, 0, 0, 0, 700, 0, 0, 0, 0}, {'S', 'a', 'n', 's', 0, 0}),
      WmfRecord(0x012D, {4}),
      WmfRecord(0x0521, {7, 'O' | 'r' << 8, 'v' | 'a' << 8, 'n' | 't' << 8, 'a', 7950, 140}),
  };
  return PlaceableWmf(records, 8200);
}

TEST(MetafileDrawingCost, LargePicturesAreDrawnInPlaceAsInACopy) {
  auto metafile = LoadMetafile(LargePicture());
  for (const bool transparent : {false, true}) {
    metafile->SetTransparent(transparent);
    // In place: the whole picture at (3, 5) of a 24-bit bitmap a little larger, over gray.
    TBitmap large;
    large.SetPixelFormat(pf24bit);
    large.SetSize(8210, 8210);
    large.Canvas().Brush.Color = clGray;
    large.Canvas().FillRect(Rect(0, 0, 8210, 8210));
    large.Canvas().Draw(3, 5, *metafile);
    EXPECT_EQ(large.Canvas().Pixel(2, 4), clGray);
    EXPECT_EQ(large.Canvas().Pixel(8203, 8205), clGray);
    // In a copy: windows of 401 x 403 pixels at the picture's top left and near its bottom left corner
    // (hatches and patterns start at the corner of what is drawn on: the windows start on their grid).
    for (const TPoint corner : {TPoint{0, 0}, TPoint{8, 7792}}) {
      TBitmap window;
      window.SetPixelFormat(pf24bit);
      window.SetSize(401, 403);
      window.Canvas().Brush.Color = clGray;
      window.Canvas().FillRect(Rect(0, 0, 401, 403));
      window.Canvas().Draw(-corner.X, -corner.Y, *metafile);
      int differ = 0, drawn = 0;
      for (int y = 0; y < window.Height(); ++y)
        for (int x = 0; x < window.Width(); ++x) {
          const TColor got = large.Canvas().Pixel(3 + corner.X + x, 5 + corner.Y + y);
          differ += got != window.Canvas().Pixel(x, y);
          drawn += got != (transparent ? clGray : clWhite);
        }
      EXPECT_EQ(differ, 0) << corner.X << ", " << corner.Y << (transparent ? " transparent" : "");
      EXPECT_GT(drawn, 5000) << corner.X << ", " << corner.Y;
    }
  }
}

TEST(MetafileDrawingCost, APictureRefusedInPlaceKeepsItsRowsInOrder) {
  // A red square at the top left, then black fills of the lower half until the budget runs out.
  std::vector<TBytes> records = {WmfRecord(0x02FC, {0, 0x00FF, 0, 0}), WmfRecord(0x012D, {0}),
                                 WmfRecord(0x041B, {100, 100, 0, 0})};
  for (int i = 0; i < 60; ++i) records.push_back(WmfRecord(0x061D, {0x0042, 0x0000, 4100, 8200, 4100, 0}));
  auto metafile = LoadMetafile(PlaceableWmf(records, 8200));
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(8200, 8200);
  EXPECT_THROW(bitmap.Canvas().Draw(0, 0, *metafile), EInvalidGraphic);
  EXPECT_EQ(bitmap.Canvas().Pixel(50, 50), clRed);
  EXPECT_EQ(bitmap.Canvas().Pixel(50, 4000), clWhite);
  EXPECT_EQ(bitmap.Canvas().Pixel(50, 8150), clBlack);
  EXPECT_EQ(bitmap.Canvas().Pixel(50, 8199 - 50), clBlack);
}

}  // namespace
