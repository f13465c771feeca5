// Drawing on a bitmap's canvas.

#include <gtest/gtest.h>

#include "tests/toolkit/graphics/graphics_helpers.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"

namespace {

void Prepare(TBitmap& bitmap, TPixelFormat format, int width, int height, TColor color) {
  bitmap.SetPixelFormat(format);
  bitmap.SetSize(width, height);
  bitmap.Canvas().Brush.Color = color;
  bitmap.Canvas().FillRect(Rect(0, 0, width, height));
}

}  // namespace

TEST(Canvas, PixelsOutsideReadEveryByte255) {
  TBitmap bitmap;
  Prepare(bitmap, pf24bit, 3, 2, clBlack);
  TCanvas& canvas = bitmap.Canvas();
  for (const TPoint p : {TPoint{-1, 0}, TPoint{3, 0}, TPoint{0, 2}, TPoint{0, -1}}) {
    const TColor c = canvas.Pixel(p.X, p.Y);
    EXPECT_EQ(c, CLR_INVALID);
    EXPECT_EQ(GetRValue(c) + GetGValue(c) + GetBValue(c), 765);
    canvas.SetPixel(p.X, p.Y, clRed);  // does nothing
  }
  EXPECT_EQ(canvas.Pixel(2, 1), clBlack);
  TBitmap empty;
  EXPECT_EQ(empty.Canvas().Pixel(0, 0), CLR_INVALID);
}

TEST(Canvas, FillRectIsClippedAndUsesNearestEntries) {
  for (TPixelFormat format : {pf4bit, pf8bit, pf16bit, pf24bit, pf32bit}) {
    TBitmap bitmap;
    Prepare(bitmap, format, 5, 4, clBlack);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush.Color = RGB(250, 4, 2);
    canvas.FillRect(Rect(-2, 2, 3, 10));
    const TColor red = (format == pf24bit || format == pf32bit) ? RGB(250, 4, 2) : canvas.Pixel(0, 2);
    EXPECT_EQ(GetRValue(red) >= 248 && GetGValue(red) <= 4, true) << format;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x)
        EXPECT_EQ(canvas.Pixel(x, y), (x < 3 && y >= 2) ? red : clBlack) << format << " " << x << "," << y;
    canvas.Brush.Clear = true;
    canvas.FillRect(Rect(0, 0, 5, 4));
    EXPECT_EQ(canvas.Pixel(4, 0), clBlack);
  }
}

TEST(Canvas, RectangleAndLines) {
  TBitmap bitmap;
  Prepare(bitmap, pf24bit, 6, 5, clWhite);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush.Color = clRed;
  canvas.Rectangle(5, 4, 1, 0);  // corners in either order
  EXPECT_EQ(canvas.Pixel(1, 0), clBlack);
  EXPECT_EQ(canvas.Pixel(4, 3), clBlack);
  EXPECT_EQ(canvas.Pixel(2, 1), clRed);
  EXPECT_EQ(canvas.Pixel(5, 4), clWhite) << "right and bottom are excluded";
  EXPECT_EQ(canvas.Pixel(0, 0), clWhite);
  canvas.Pen.Color = clBlue;
  canvas.MoveTo(0, 4);
  canvas.LineTo(4, 4);
  EXPECT_EQ(canvas.Pixel(3, 4), clBlue);
  EXPECT_EQ(canvas.Pixel(4, 4), clWhite) << "the end point is excluded";
  EXPECT_EQ(canvas.PenPos(), (TPoint{4, 4}));
}

TEST(Canvas, EllipseStaysInsideItsBoxAndTouchesEverySide) {
  TBitmap bitmap;
  Prepare(bitmap, pf24bit, 20, 16, clWhite);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush.Color = clRed;
  canvas.Ellipse(3, 2, 15, 12);
  bool top = false, bottom = false, left = false, right = false;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 20; ++x) {
      const TColor c = canvas.Pixel(x, y);
      if (x < 3 || x >= 15 || y < 2 || y >= 12) {
        ASSERT_EQ(c, clWhite) << x << "," << y;
        continue;
      }
      EXPECT_EQ(c, canvas.Pixel(3 + 14 - x, y)) << "left-right symmetry at " << x << "," << y;
      EXPECT_EQ(c, canvas.Pixel(x, 2 + 11 - y)) << "top-bottom symmetry at " << x << "," << y;
      top |= y == 2 && c == clBlack;
      bottom |= y == 11 && c == clBlack;
      left |= x == 3 && c == clBlack;
      right |= x == 14 && c == clBlack;
    }
  EXPECT_TRUE(top && bottom && left && right);
  EXPECT_EQ(canvas.Pixel(9, 7), clRed);
  EXPECT_EQ(canvas.Pixel(3, 2), clWhite) << "corners of the box stay outside";

  // An outline only, on a box reaching past the picture (as the bright-object mark can).
  TBitmap mark;
  Prepare(mark, pf24bit, 100, 100, clBlack);
  mark.Canvas().Pen.Color = clWhite;
  mark.Canvas().Brush.Clear = true;
  mark.Canvas().Ellipse(0, -11, 100, 89);
  EXPECT_EQ(mark.Canvas().Pixel(50, 39), clBlack);
  EXPECT_EQ(mark.Canvas().Pixel(0, 39), clWhite);
  EXPECT_EQ(mark.Canvas().Pixel(50, 88), clWhite);
  EXPECT_EQ(mark.Canvas().Pixel(50, 89), clBlack);
}

TEST(Canvas, StretchDrawTakesTheNearestPixel) {
  TBitmap source;
  Prepare(source, pf24bit, 2, 2, clBlack);
  const TColor colours[2][2] = {{clRed, clLime}, {clBlue, clYellow}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) source.Canvas().SetPixel(x, y, colours[y][x]);
  for (TPixelFormat format : {pf4bit, pf24bit, pf32bit}) {
    TBitmap target;
    Prepare(target, format, 4, 4, clWhite);
    target.Canvas().StretchDraw(Rect(0, 0, 4, 4), source);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(target.Canvas().Pixel(x, y), colours[y / 2][x / 2]) << format;
  }
}

TEST(Canvas, DrawConvertsThroughThePalette) {
  TBitmap indexed;
  indexed.SetPixelFormat(pf8bit);
  indexed.SetSize(3, 2);
  TLogPalette log;
  log.palPalEntry = {{1, 2, 3, 0}, {40, 50, 60, 0}};
  indexed.SetPalette(CreatePalette(log));
  indexed.ScanLine(1)[2] = 1;
  TBitmap target;
  Prepare(target, pf24bit, 5, 5, clWhite);
  target.Canvas().Draw(2, 3, indexed);
  EXPECT_EQ(target.Canvas().Pixel(2, 3), RGB(1, 2, 3));
  EXPECT_EQ(target.Canvas().Pixel(4, 4), RGB(40, 50, 60));
  EXPECT_EQ(target.Canvas().Pixel(1, 3), clWhite);
}

TEST(Canvas, CopyRectLeavesPixelsWithoutSourceAndMayOverlap) {
  TBitmap source;
  FillPattern(source, pf24bit, 5, 5);
  TBitmap crop;
  Prepare(crop, pf24bit, 6, 6, clBlack);
  // One row above the source: the crop's first row keeps its black.
  crop.Canvas().CopyRect(Rect(0, 0, 5, 5), source.Canvas(), Rect(0, -1, 5, 4));
  for (int x = 0; x < 6; ++x) EXPECT_EQ(crop.Canvas().Pixel(x, 0), clBlack);
  for (int y = 1; y < 5; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(crop.Canvas().Pixel(x, y), source.Canvas().Pixel(x, y - 1));
  EXPECT_EQ(crop.Canvas().Pixel(5, 5), clBlack);

  TBitmap shifted;
  shifted.Assign(source);
  shifted.Canvas().CopyRect(Rect(1, 0, 5, 5), shifted.Canvas(), Rect(0, 0, 4, 5));
  for (int x = 1; x < 5; ++x) EXPECT_EQ(shifted.Canvas().Pixel(x, 2), source.Canvas().Pixel(x - 1, 2));
}

TEST(Canvas, ExtremeCoordinatesAreClippedSafely) {
  TBitmap bitmap;
  Prepare(bitmap, pf8bit, 4, 4, clBlack);
  TBitmap source;
  Prepare(source, pf24bit, 2, 2, clWhite);
  TCanvas& canvas = bitmap.Canvas();
  const int lo = INT32_MIN, hi = INT32_MAX;
  canvas.Rectangle(lo, lo, hi, hi);
  canvas.Ellipse(lo, lo, hi, hi);
  canvas.MoveTo(lo, lo);
  canvas.LineTo(lo, hi);
  canvas.TextOut(hi - 1, hi - 1, "x");
  canvas.TextOut(lo, lo, "x");
  canvas.Draw(hi, hi, source);
  canvas.StretchDraw(Rect(lo, lo, hi, hi), source);
  EXPECT_EQ(canvas.Pixel(0, 0), clWhite) << "the stretched picture covers the bitmap";
  canvas.CopyRect(Rect(0, 0, 4, 4), source.Canvas(), Rect(lo, lo, hi, hi));
  canvas.CopyRect(Rect(lo, 0, hi, 4), source.Canvas(), Rect(0, 0, 2, 2));
}
