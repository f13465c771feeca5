// The bright-object search on bitmaps: counting inside margins and the centroid's sums (cropping and
// marking are checked through the window); the maximum search's probe.
#include "workbench/search_ops.h"

#include <gtest/gtest.h>

#include "tests/workbench/pixel_test_support.h"
#include "toolkit/graphics/canvas.h"

namespace {

std::unique_ptr<TBitmap> Black(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(width, height);
  return bitmap;
}

void Spot(TBitmap& bitmap, int left, int top, int width, int height, TColor color = clWhite) {
  bitmap.Canvas().Brush.Color = color;
  bitmap.Canvas().FillRect(Rect(left, top, left + width, top + height));
}

// The search window's defaults: level 10, more than 10 pixels, margins 1, window 100 x 100.
TProcessRec Defaults() {
  TProcessRec record;
  record.Offset = 10;
  record.Factor = 10;
  record.MarginLeft = record.MarginRight = record.MarginTop = record.MarginBottom = 1;
  record.WindowWidth = record.WindowHeight = 100;
  return record;
}

TEST(SearchOpsTest, ABrightObjectIsMoreThanTheCountOfPixelsAboveTheLevelInsideTheMargins) {
  TProcessRec record = Defaults();
  auto picture = Black(30, 20);
  Spot(*picture, 10, 10, 3, 3);
  EXPECT_FALSE(CountBrightPixels(*picture, record, false));  // 9 pixels
  Spot(*picture, 10, 10, 4, 4);
  EXPECT_TRUE(CountBrightPixels(*picture, record, false));  // 16
  // The level is on the luminance (sum div 3), whatever the channels.
  auto grey = Black(30, 20);
  Spot(*grey, 5, 5, 4, 4, RGB(10, 10, 12));  // luminance 10
  EXPECT_FALSE(CountBrightPixels(*grey, record, false));
  Spot(*grey, 5, 5, 4, 4, RGB(33, 0, 0));  // luminance 11
  EXPECT_TRUE(CountBrightPixels(*grey, record, false));
  // The margins leave the borders out; margins beyond the picture leave nothing.
  auto border = Black(30, 20);
  Spot(*border, 0, 0, 30, 1);
  Spot(*border, 29, 0, 1, 20);
  EXPECT_FALSE(CountBrightPixels(*border, record, false));
  record.MarginTop = 0;
  EXPECT_TRUE(CountBrightPixels(*border, record, false));
  record.MarginLeft = 31;
  EXPECT_FALSE(CountBrightPixels(*border, record, false));
  record.MarginLeft = -5;  // clipped to the picture, never read before its rows
  EXPECT_TRUE(CountBrightPixels(*border, record, false));
  // A picture that is not 24-bit is not found.
  picture->SetPixelFormat(pf32bit);
  record = Defaults();
  EXPECT_FALSE(CountBrightPixels(*picture, record, false));
  EXPECT_FALSE(SearchBrightObject(*picture, record, false));
}

TEST(SearchOpsTest, CentroidSumsOfABrightSkyGoBeyond32Bits) {
  // 6000 x 130 white pixels: the sum of their columns is 2.34e9.
  auto sky = Black(6000, 130);
  Spot(*sky, 0, 0, 6000, 130);
  TProcessRec record = Defaults();
  record.MarginLeft = record.MarginRight = record.MarginTop = record.MarginBottom = 0;
  const TBrightPixels bright = FindBrightPixels(*sky, record);
  EXPECT_EQ(bright.Count, 780000);
  EXPECT_EQ(bright.SumX, int64_t{130} * 5999 * 6000 / 2);
  EXPECT_EQ(bright.SumY, int64_t{6000} * 129 * 130 / 2);
  record.WindowWidth = 20;
  record.WindowHeight = 10;
  ASSERT_TRUE(SearchBrightObject(*sky, record, false));
  EXPECT_EQ(sky->Width(), 20);  // centroid (2999, 64): the window lies inside, all white
  for (int y = 0; y < 10; ++y) EXPECT_EQ(sky->Canvas().Pixel(19, y), clWhite);
}

TEST(SearchOpsTest, TheProbeCountsOnlyAGreaterSumInsideThePicture) {
  auto picture = Black(4, 3);
  picture->Canvas().SetPixel(2, 1, RGB(10, 20, 30));
  TProbeRec probe{2, 1};
  const auto param = reinterpret_cast<intptr_t>(&probe);
  EXPECT_TRUE(BrighterAtProbe(*picture, *picture, param));
  EXPECT_EQ(probe.Best, 60);
  EXPECT_FALSE(BrighterAtProbe(*picture, *picture, param));  // a tie keeps the earlier picture
  probe = {4, 1};
  EXPECT_FALSE(BrighterAtProbe(*picture, *picture, param));  // outside: never brighter
  probe = {-1, -1};
  EXPECT_FALSE(BrighterAtProbe(*picture, *picture, param));
  EXPECT_EQ(probe.Best, -2147483647);
  EXPECT_FALSE(BrighterAtProbe(*picture, *picture, 0));
}

}  // namespace
