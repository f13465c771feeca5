// Metafiles: WMF clip art from LibreOffice's examples compared with libwmf's rendering, Inkscape's
// EMF and WMF of one drawing compared with Inkscape's own rendering, and the files
// tests/data/metafile/make.sh writes record by record, checked at known points; figures of path
// brackets, the object table, excluded clip rectangles; drawing into other rectangles and over other
// pixels; damaged and truncated files.

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/metafile_floods.h"
#include "tests/toolkit/graphics/metafile_helpers.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"

namespace {

using namespace metafile_tests;

struct TExpected {
  int X, Y;
  TColor Color;
};

void ExpectColors(TBitmap& bitmap, std::initializer_list<TExpected> points, const char* name) {
  for (const TExpected& p : points)
    EXPECT_EQ(bitmap.Canvas().Pixel(p.X, p.Y), p.Color) << name << " at " << p.X << ", " << p.Y;
}

// Pixels of exactly this colour inside the rectangle.
int CountColor(TBitmap& bitmap, const TRect& r, TColor color) {
  int count = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) count += bitmap.Canvas().Pixel(x, y) == color;
  return count;
}

TEST(Metafile, ClipArtDrawsAtItsDeclaredSizeLikeLibwmf) {
  // Bounding boxes of 2792 x 2172 and 3003 x 2199 units at 1000 units per inch, on a 96 dpi screen.
  for (auto [name, width, height] : {std::tuple{"beef", 268, 209}, std::tuple{"fish", 288, 211}}) {
    auto metafile = LoadMetafile(Sample(std::string(name) + ".wmf"));
    EXPECT_FALSE(metafile->Enhanced());
    ASSERT_EQ(metafile->Width(), width) << name;
    ASSERT_EQ(metafile->Height(), height) << name;
    auto bitmap = Drawn(*metafile);
    const QImage reference = Reference(TestData(std::string("metafile/") + name + "-ref.png"));
    ASSERT_EQ(reference.width(), width);
    // The two renderers put polygon edges a pixel apart now and then; everything else must agree.
    const TOffReference off = OffReference(*bitmap, reference, 48);
    EXPECT_LT(off.Far, width * height * 6 / 100) << name;
    EXPECT_LT(off.Mean, 10) << name;
  }
}

TEST(Metafile, InkscapeCircleAndEllipseLikeInkscape) {
  // A circle and an ellipse, filled and outlined, exported by Inkscape as EMF (closed Bezier figures
  // inside path brackets) and as WMF (polygons), and rendered by Inkscape itself.
  const QImage reference = Reference(TestData("metafile/circles-ref.png"));
  ASSERT_EQ(reference.width(), 160);
  for (const char* name : {"circles.emf", "circles.wmf"}) {
    // Inkscape gives the EMF a frame a little larger than the drawing (162 x 102 pixels): the drawing
    // keeps its place at the top left.
    auto metafile = LoadMetafile(Sample(name));
    ASSERT_GE(metafile->Width(), reference.width()) << name;
    ASSERT_GE(metafile->Height(), reference.height()) << name;
    ASSERT_LE(metafile->Width(), reference.width() + 2) << name;
    ASSERT_LE(metafile->Height(), reference.height() + 2) << name;
    auto bitmap = Drawn(*metafile);
    // Antialiased edges against aliased ones differ by a pixel here and there: no more than 1 %.
    const TOffReference off = OffReference(*bitmap, reference, 96);
    EXPECT_LE(off.Far, reference.width() * reference.height() / 100) << name;
    // The middle of each shape is filled, and so is the part a chord across it would have left out.
    ExpectColors(*bitmap,
                 {{45, 50, RGB(0x20, 0x60, 0xC0)},
                  {45, 80, RGB(0x20, 0x60, 0xC0)},
                  {115, 50, RGB(0xE0, 0xA0, 0x20)},
                  {115, 35, RGB(0xE0, 0xA0, 0x20)}},
                 name);
  }
}

TEST(Metafile, CurvesAndLinesGoOnWithTheOpenFigure) {
  using namespace metafile_bytes;
  const auto figure = [](const TBytes& curve) {
    // MOVETOEX (10,10), LINETO (90,10), the curve or polyline on to (90,90), CLOSEFIGURE, then the path
    // stroked and filled with the black pen and the gray brush.
    return Emf(
        {EmfRecord(37, {0x80000007}), EmfRecord(37, {0x80000002}), EmfRecord(59, {}), EmfRecord(27, {10, 10}),
         EmfRecord(54, {90, 10}), curve, EmfRecord(61, {}), EmfRecord(60, {}), EmfRecord(63, {0, 0, 0, 0})},
        100);
  };
  TBytes polyline, bezier;
  for (int v : {90, 90}) Put16(polyline, v);
  for (int v : {90, 40, 90, 60, 90, 90}) Put16(bezier, v);
  for (auto [name, file] : {std::pair{"POLYLINETO16", figure(EmfRecord(89, {0, 0, 0, 0, 1}, polyline))},
                            std::pair{"POLYBEZIERTO16", figure(EmfRecord(88, {0, 0, 0, 0, 3}, bezier))}}) {
    auto b = Drawn(*LoadMetafile(file));
    // One triangle (10,10) (90,10) (90,90): filled inside, and closed by a line back to (10,10).
    ExpectColors(*b, {{70, 30, RGB(0x80, 0x80, 0x80)}, {50, 50, clBlack}, {30, 70, clWhite}}, name);
  }
}

TEST(Metafile, NewObjectsTakeTheLowestFreeSlot) {
  using namespace metafile_bytes;
  const auto brush = [](int r, int g, int b) { return WmfRecord(0x02FC, {0, r | g << 8, b, 0}); };
  const TBytes select0 = WmfRecord(0x012D, {0}), select1 = WmfRecord(0x012D, {1});
  // Brushes in slots 0, 1 and 2; 0 and 1 deleted; the next two brushes take 0, then 1.
  const TBytes file =
      PlaceableWmf({brush(255, 0, 0), brush(0, 255, 0), brush(0, 0, 255), WmfRecord(0x01F0, {0}),
                    WmfRecord(0x01F0, {1}), brush(255, 255, 0), brush(0, 255, 255), select1,
                    WmfRecord(0x041B, {50, 100, 0, 0}), select0, WmfRecord(0x041B, {100, 100, 50, 0})},
                   100, 3);
  auto b = Drawn(*LoadMetafile(file));
  ExpectColors(*b, {{50, 25, clAqua}, {50, 75, clYellow}}, "reused slots");
}

TEST(Metafile, ExcludedRectanglesLeaveHolesInTheClipping) {
  // Ten thousand small rectangles excluded one after another (the grid of 45 x 45 cells many times
  // over), then the picture filled: each cell stays white, the lines between them are filled.
  for (const auto& flood :
       {metafile_bytes::WmfExclusionFlood(10000), metafile_bytes::EmfExclusionFlood(10000)}) {
    auto b = Drawn(*LoadMetafile(flood.File));
    const TColor fill = flood.Name.starts_with("wmf") ? clRed : clBlack;
    ExpectColors(*b, {{5, 5, clWhite}, {93, 93, clWhite}, {51, 27, clWhite}, {6, 6, fill}, {94, 50, fill}},
                 flood.Name.c_str());
  }
}

TEST(Metafile, EveryDrawnWmfRecordLandsWhereItShould) {
  auto metafile = LoadMetafile(Sample("shapes.wmf"));
  ASSERT_EQ(metafile->Width(), 200);
  ASSERT_EQ(metafile->Height(), 150);
  auto b = Drawn(*metafile);
  ExpectColors(*b,
               {{35, 30, clRed},
                {10, 10, clBlack},  // the pen's outline
                {100, 30, clBlue},
                {35, 60, clFuchsia},  // a 3-pixel polyline
                {35, 61, clFuchsia},
                {85, 75, clYellow},
                {117, 75, clYellow},
                {102, 75, clWhite},  // between the two polygons of one record
                {167, 75, clAqua},
                {141, 61, clWhite},  // a rounded corner
                {110, 110, clAqua},  // inside the pie's quarter
                {80, 135, clWhite},
                {165, 112, clPurple},  // drawn with the window origin moved, between
                                       // SaveDC and RestoreDC
                {191, 133, clAqua},  // a pattern fill with the brush RestoreDC brought back, right of the DIB
                {155, 130, clRed},   // the DIB, stretched 10 times
                {165, 130, clLime},
                {175, 130, clBlue},
                {185, 130, clWhite},
                {155, 140, clBlack},
                {185, 140, clAqua},
                {5, 140, RGB(0, 128, 255)},  // SetPixel
                {35, 144, clWhite},          // below the arc's upper half
                {0, 0, clWhite}},
               "shapes.wmf");
  EXPECT_GT(CountColor(*b, Rect(30, 99, 41, 103), clBlack), 0) << "the arc's top";
  // The hatched triangle: green lines on a transparent background.
  EXPECT_GT(CountColor(*b, Rect(155, 30, 185, 48), RGB(0, 160, 0)), 20);
  EXPECT_GT(CountColor(*b, Rect(155, 30, 185, 48), clWhite), 100);
}

TEST(Metafile, TextAndPlainWmfMapping) {
  auto text = LoadMetafile(Sample("text.wmf"));
  auto b = Drawn(*text);
  EXPECT_GT(CountColor(*b, Rect(8, 4, 120, 30), RGB(200, 0, 0)), 100);  // "Orvanta", 24 pixels high
  EXPECT_EQ(CountColor(*b, Rect(8, 4, 120, 30), clBlue), 0);            // a transparent background
  EXPECT_GT(CountColor(*b, Rect(8, 32, 40, 58), RGB(200, 0, 0)), 30);   // "Hi"
  ExpectColors(*b, {{120, 40, clBlue}, {99, 40, clWhite}, {150, 40, clWhite}, {5, 58, clWhite}}, "text.wmf");

  // 2880 x 1440 twips of window: 192 x 96 pixels.
  auto plain = LoadMetafile(Sample("plain.wmf"));
  ASSERT_EQ(plain->Width(), 192);
  ASSERT_EQ(plain->Height(), 96);
  b = Drawn(*plain);
  ExpectColors(*b, {{150, 50, RGB(0, 200, 0)}, {96, 0, RGB(0, 200, 0)}, {95, 50, clWhite}}, "plain.wmf");
}

TEST(Metafile, EveryDrawnEmfRecordLandsWhereItShould) {
  auto metafile = LoadMetafile(Sample("shapes.emf"));
  EXPECT_TRUE(metafile->Enhanced());
  // A frame of 50.80 x 38.10 mm.
  ASSERT_EQ(metafile->Width(), 192);
  ASSERT_EQ(metafile->Height(), 144);
  auto b = Drawn(*metafile);
  ExpectColors(*b,
               {{35, 30, clRed},
                {10, 10, clRed},   // a null pen draws no outline
                {95, 30, clBlue},  // moved by the world transform
                {155, 40, clBlack},
                {25, 75, clYellow},
                {45, 75, clWhite},
                {60, 75, clYellow},
                {130, 98, clFuchsia},  // a geometric pen 4 pixels wide
                {130, 101, clFuchsia},
                {130, 105, clWhite},
                {50, 115, RGB(0, 160, 0)},  // the filled path
                {20, 135, clWhite},
                {110, 125, clAqua},  // clipped to x 100..120
                {90, 125, clWhite},
                {130, 125, clWhite},
                {160, 70, clRed},  // the DIB
                {180, 70, clLime},
                {160, 90, clBlue},
                {180, 90, clWhite}},
               "shapes.emf");
  EXPECT_GT(CountColor(*b, Rect(125, 105, 190, 135), RGB(200, 0, 0)), 60) << "the text";
  EXPECT_GT(CountColor(*b, Rect(100, 110, 140, 144), clBlack), 10) << "the Bezier curve";
}

TEST(Metafile, DrawsScaledTransparentAndKeepsItsBytes) {
  auto metafile = LoadMetafile(Sample("shapes.wmf"));
  TBitmap big;
  big.SetPixelFormat(pf24bit);
  big.SetSize(400, 300);
  big.Canvas().StretchDraw(Rect(0, 0, 400, 300), *metafile);
  ExpectColors(big, {{70, 60, clRed}, {200, 60, clBlue}, {310, 260, clRed}}, "twice the size");

  TMemoryStream saved;
  metafile->SaveToStream(saved);
  EXPECT_EQ(Bytes(saved.Bytes().begin(), saved.Bytes().end()), Sample("shapes.wmf"));
  TMetafile copy;
  copy.Assign(*metafile);
  EXPECT_EQ(copy.Width(), 200);
  EXPECT_TRUE(SamePixels(*Drawn(copy), *Drawn(*metafile)));

  metafile->SetTransparent(true);
  TBitmap under;
  under.SetPixelFormat(pf32bit);
  under.SetSize(50, 50);
  under.Canvas().Draw(-10, -10, *metafile);  // the red rectangle's corner at the top left
  ExpectColors(under, {{0, 0, clBlack}, {5, 5, clRed}, {45, 45, clBlack}}, "transparent");

  TBitmap bitmap;
  try {
    copy.Assign(bitmap);
    FAIL() << "a bitmap cannot become a metafile";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Impossible d'assigner un TBitmap à un TMetafile");
  }
}

TEST(Metafile, DamagedFilesRaiseClearErrors) {
  const Bytes wmf = Sample("shapes.wmf");
  const auto detail = [](const Bytes& bytes) {
    const std::string message = LoadError(bytes);
    return message.substr(std::min(message.size(), std::string(SInvalidMetafile).size()));
  };
  EXPECT_EQ(detail({'G', 'I', 'F', '8', '9', 'a'}), " : ni métafichier Windows ni métafichier amélioré");
  Bytes inch = wmf;
  inch[14] = inch[15] = 0;
  EXPECT_EQ(detail(inch), " : nombre d'unités par pouce nul");
  Bytes huge = wmf;
  huge[14] = 1;  // one unit per inch: 200 inches wide
  huge[15] = 0;
  EXPECT_EQ(detail(huge), " : taille de 19200 x 14400 pixels incorrecte");
  // The first record (at byte 40) claims more words than the file holds, then none at all.
  Bytes past = wmf;
  past[40 + 2] = 0x7F;
  EXPECT_EQ(detail(past), " : enregistrement 0 (octet 40) au-delà de la fin du fichier");
  Bytes empty = wmf;
  empty[40] = 0;
  EXPECT_EQ(detail(empty), " : enregistrement 0 (octet 40) endommagé");
  // A plain WMF that sets no window has no size.
  const Bytes plain = Sample("plain.wmf");
  Bytes noWindow(plain.begin(), plain.begin() + 18);
  noWindow.insert(noWindow.end(), {3, 0, 0, 0, 0, 0});
  EXPECT_EQ(detail(noWindow), " : taille inconnue : ni en-tête de placement ni fenêtre définie");
  // An EMF without a frame falls back on its bounds in device pixels; a device of 1 pixel over 2147 km
  // makes those pixels kilometres long.
  Bytes giant = Sample("shapes.emf");
  std::fill(giant.begin() + 24, giant.begin() + 40, 0);
  giant[72] = 1;
  giant[73] = giant[74] = giant[75] = 0;
  giant[80] = giant[81] = giant[82] = 0xFF;
  giant[83] = 0x7F;
  EXPECT_NE(detail(giant).find(" : taille de "), std::string::npos);
  Bytes header = Sample("shapes.emf");
  header[4] = 0x40;  // a header record of 64 bytes cannot hold the header
  EXPECT_NE(LoadError(header), "");

  // Every cut and many single-byte changes either raise or load and draw within the buffers.
  for (const char* name : {"shapes.wmf", "shapes.emf", "text.wmf"}) {
    const Bytes good = Sample(name);
    for (size_t length = 0; length < good.size(); length += 5) {
      try {
        auto cut = LoadMetafile(Bytes(good.begin(), good.begin() + static_cast<ptrdiff_t>(length)));
        Drawn(*cut);
      } catch (const EInvalidGraphic&) {
      } catch (const EReadError&) {
      }
    }
    for (size_t at = 0; at < good.size(); at += 3) {
      Bytes changed = good;
      changed[at] ^= static_cast<uint8_t>(0xA5 + at);
      try {
        auto loaded = LoadMetafile(changed);
        if (int64_t{loaded->Width()} * loaded->Height() <= 1 << 20) Drawn(*loaded);
      } catch (const EInvalidGraphic&) {
      }
    }
  }
}

}  // namespace
