// The picture control paints big bitmaps by sampling only the shown pixels.
#include <gtest/gtest.h>

#include "toolkit/graphics/bitmap.h"
#include "toolkit/ui/image.h"

namespace {

// Quadrants: red top-left, green top-right, blue bottom-left, white bottom-right.
void PaintQuadrants(TBitmap& bitmap, int width, int height) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(width, height);
  uint8_t* row0 = bitmap.ScanLine(0);
  const ptrdiff_t step = bitmap.ScanLine(1) - row0;
  for (int y = 0; y < height; ++y) {
    uint8_t* p = row0 + step * y;
    for (int x = 0; x < width; ++x, p += 3) {
      const bool right = x >= width / 2;
      const bool bottom = y >= height / 2;
      p[0] = bottom ? 255 : 0;                                    // blue
      p[1] = (!bottom && right) || (bottom && right) ? 255 : 0;   // green
      p[2] = (!bottom && !right) || (bottom && right) ? 255 : 0;  // red
    }
  }
}

TEST(ImageTest, BigBitmapIsSampledAtTheControlsSize) {
  TImage image(nullptr, nullptr);
  PaintQuadrants(image.Bitmap(), 5472, 3648);  // a 20-megapixel picture
  image.SetStretch(true);
  image.resize(300, 200);
  const QImage& shown = image.Rendered();
  ASSERT_EQ(shown.size(), QSize(300, 200));
  EXPECT_EQ(shown.pixel(10, 10), qRgb(255, 0, 0));
  EXPECT_EQ(shown.pixel(290, 10), qRgb(0, 255, 0));
  EXPECT_EQ(shown.pixel(10, 190), qRgb(0, 0, 255));
  EXPECT_EQ(shown.pixel(290, 190), qRgb(255, 255, 255));
  EXPECT_EQ(shown.pixel(149, 99), qRgb(255, 0, 0));
  EXPECT_EQ(shown.pixel(150, 100), qRgb(255, 255, 255));
}

TEST(ImageTest, UnstretchedPicturesAreClippedOrCentred) {
  TImage image(nullptr, nullptr);
  PaintQuadrants(image.Bitmap(), 1000, 800);
  image.resize(100, 100);
  EXPECT_EQ(image.Rendered().size(), QSize(100, 100));
  EXPECT_EQ(image.Rendered().pixel(99, 99), qRgb(255, 0, 0));
  image.SetCenter(true);
  EXPECT_EQ(image.DestRect(), Rect(-450, -350, 550, 450));
  // The centre of the picture is where the four quadrants meet.
  EXPECT_EQ(image.Rendered().pixel(49, 49), qRgb(255, 0, 0));
  EXPECT_EQ(image.Rendered().pixel(50, 50), qRgb(255, 255, 255));
  image.SetStretch(true);
  image.SetProportional(true);
  EXPECT_EQ(image.DestRect(), Rect(0, 10, 100, 90));
}

TEST(ImageTest, IndexedAndSixteenBitPixelsAreRead) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(2, 1);
  const auto table = bitmap.ColorTable();
  ASSERT_GE(table.size(), 2u);
  bitmap.ScanLine(0)[0] = 1;
  const QImage sampled = SampleBitmap(bitmap, 4, 2, QRect(0, 0, 4, 2));
  EXPECT_EQ(sampled.pixel(0, 0), qRgb(table[1].peRed, table[1].peGreen, table[1].peBlue));
  EXPECT_EQ(sampled.pixel(3, 1), qRgb(table[0].peRed, table[0].peGreen, table[0].peBlue));

  TBitmap wide;
  wide.SetPixelFormat(pf16bit);
  wide.SetSize(1, 1);
  wide.ScanLine(0)[0] = 0x00;
  wide.ScanLine(0)[1] = 0xF8;  // full red in 5-6-5
  EXPECT_EQ(SampleBitmap(wide, 1, 1, QRect(0, 0, 1, 1)).pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_TRUE(SampleBitmap(wide, 1, 1, QRect(5, 5, 1, 1)).isNull());
}

}  // namespace
