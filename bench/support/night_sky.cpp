#include "bench/support/night_sky.h"

#include <algorithm>
#include <cstddef>

#include "picture_formats/jpeg_image.h"

namespace {

int Horizon(int height) {
  return height * 4 / 5;
}

// Sky, ground and grain over the whole picture, drawn from the noise.
void PaintSkyAndGround(TBitmap& bitmap, int width, int height, TNoise& noise) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(width, height);
  uint8_t* const row0 = bitmap.ScanLine(0);
  const ptrdiff_t step = height > 1 ? bitmap.ScanLine(1) - row0 : 0;
  const int horizon = Horizon(height);
  for (int y = 0; y < height; ++y) {
    uint8_t* p = row0 + step * y;
    const int sky = y < horizon ? 8 + 30 * y / std::max(1, horizon) : 6;
    for (int x = 0; x < width; ++x, p += 3) {
      const uint32_t r = noise.Next();
      const int grain = static_cast<int>(r & 15) - 7;
      const int tint = static_cast<int>((r >> 8) & 7) - 3;
      p[0] = static_cast<uint8_t>(std::clamp(sky + 10 + grain + tint, 0, 255));
      p[1] = static_cast<uint8_t>(std::clamp(sky + 4 + grain, 0, 255));
      p[2] = static_cast<uint8_t>(std::clamp(sky + grain - tint, 0, 255));
    }
  }
}

// A round white-grey star; the part outside the picture is left out.
void PaintStar(TBitmap& bitmap, int cx, int cy, int radius, int level) {
  uint8_t* const row0 = bitmap.ScanLine(0);
  const ptrdiff_t step = bitmap.Height() > 1 ? bitmap.ScanLine(1) - row0 : 0;
  for (int dy = -radius; dy <= radius; ++dy)
    for (int dx = -radius; dx <= radius; ++dx) {
      const int x = cx + dx, y = cy + dy;
      if (dx * dx + dy * dy > radius * radius || x < 0 || y < 0 || x >= bitmap.Width() ||
          y >= bitmap.Height())
        continue;
      uint8_t* p = row0 + step * y + x * 3;
      p[0] = p[1] = p[2] = static_cast<uint8_t>(level);
    }
}

constexpr int StarCount = 400;

}  // namespace

void PaintNightSky(TBitmap& bitmap, int width, int height, uint32_t seed) {
  TNoise noise{seed | 1u};
  PaintSkyAndGround(bitmap, width, height, noise);
  const int horizon = Horizon(height);
  for (int star = 0; star < StarCount; ++star) {
    const int cx = 3 + static_cast<int>(noise.Next() % static_cast<uint32_t>(std::max(1, width - 6)));
    const int cy = 3 + static_cast<int>(noise.Next() % static_cast<uint32_t>(std::max(1, horizon - 6)));
    const int radius = 1 + static_cast<int>(noise.Next() % 3);
    const int level = 150 + static_cast<int>(noise.Next() % 106);
    PaintStar(bitmap, cx, cy, radius, level);
  }
}

void PaintExposure(TBitmap& bitmap, int width, int height, int frame) {
  TNoise noise{0x9E3779B9u * static_cast<uint32_t>(frame + 1) | 1u};
  PaintSkyAndGround(bitmap, width, height, noise);
  const int horizon = Horizon(height);
  TNoise stars{12345u};  // the same sky every frame, shifted by the frame number
  for (int star = 0; star < StarCount; ++star) {
    const int radius = 1 + static_cast<int>(stars.Next() % 3);
    const int cx = radius + static_cast<int>((stars.Next() + static_cast<uint32_t>(frame) * 4) %
                                             static_cast<uint32_t>(std::max(1, width - 2 * radius)));
    const int cy =
        radius + static_cast<int>(stars.Next() % static_cast<uint32_t>(std::max(1, horizon - 2 * radius)));
    const int level = 150 + static_cast<int>(stars.Next() % 106);
    PaintStar(bitmap, cx, cy, radius, level);
  }
}

void SaveAsJpeg(const TBitmap& bitmap, const std::string& fileName) {
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  jpeg.Compress();
  jpeg.SaveToFile(fileName);
}
