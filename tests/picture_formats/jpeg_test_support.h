#pragma once
// Helpers of the JPEG picture tests: reference pictures (PPM/PGM written by djpeg or ImageMagick),
// pixels of a bitmap as RGB, a plain libjpeg decoder to compare with, and JPEG byte surgery.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TBitmap;
class TJPEGImage;

// An RGB picture, 3 bytes per pixel, rows top first without padding.
struct TRgbPicture {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Pixels;
  const uint8_t* At(int x, int y) const { return &Pixels[(static_cast<size_t>(y) * Width + x) * 3]; }
};

// Reads a binary PPM (P6) or PGM (P5, grey expanded to RGB) of 8-bit samples.
TRgbPicture ReadPnm(const std::string& fileName);
// The bitmap's pixels as RGB (24-bit: bytes swapped from B, G, R; 8-bit: through the colour table).
TRgbPicture BitmapPixels(const TBitmap& bitmap);
// A 24-bit bitmap holding the picture.
void FillBitmap(TBitmap& bitmap, const TRgbPicture& picture);

// Largest difference of one sample, and the mean difference, of two pictures of one size.
int MaxDifference(const TRgbPicture& a, const TRgbPicture& b);
double MeanDifference(const TRgbPicture& a, const TRgbPicture& b);

// Decodes with libjpeg directly into RGB, with the library's defaults (accurate integer DCT).
TRgbPicture DecodeWithLibjpeg(const std::vector<uint8_t>& jpeg);

struct TJpegFacts {
  int Width = 0;
  int Height = 0;
  int Components = 0;
  bool Progressive = false;
  int ColorSpace = 0;  // libjpeg's J_COLOR_SPACE of the file
  int MaxHorizontalSampling = 0;
  int MaxVerticalSampling = 0;
  int LuminanceQuantDC = 0;  // first entry of quantisation table 0
};
// The header facts of a JPEG file, as libjpeg reads them.
TJpegFacts ReadJpegFacts(const std::vector<uint8_t>& jpeg);

// Offset of the first byte after the given marker's segment (FF xx length...), or -1 when absent.
long SegmentEnd(const std::vector<uint8_t>& jpeg, uint8_t marker);
// Offset of the marker (its FF byte), or -1 when absent.
long FindMarker(const std::vector<uint8_t>& jpeg, uint8_t marker);

// A camera-like test picture: smooth gradient, some noise, a few bright points.
TRgbPicture SyntheticPicture(int width, int height, unsigned seed);

// Decodes libjpeg's raw C, M, Y, K samples of a four-component file.
std::vector<uint8_t> DecodeInksWithLibjpeg(const std::vector<uint8_t>& jpeg, int& width, int& height);

// A committed sample file under tests/data/jpeg.
std::string JpegSample(const std::string& name);
// A picture loaded from a sample file (nothing decoded yet).
std::unique_ptr<TJPEGImage> LoadJpegSample(const std::string& name);
// A picture loaded from bytes.
std::unique_ptr<TJPEGImage> LoadJpegBytes(const std::vector<uint8_t>& bytes);

// Replaces the progress throttle's clock while alive: every reading advances it by step ms.
class TFakeClock {
 public:
  explicit TFakeClock(uint32_t step);
  ~TFakeClock();
  TFakeClock(const TFakeClock&) = delete;
  TFakeClock& operator=(const TFakeClock&) = delete;
  static uint32_t Now() { return FNow; }

 private:
  static uint32_t Tick();
  static uint32_t FNow;
  static uint32_t FStep;
  uint32_t (*FPrevious)();
};
