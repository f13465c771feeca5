#pragma once
// Helpers of the drawing-layer tests: reference pictures read by Qt, BMP bytes in memory, pixel checks.

#include <QImage>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"

// A reference picture (PPM or PNG) as Qt decodes it; empty when the file cannot be read.
inline QImage Reference(const std::string& path) {
  QImage image(QString::fromStdString(path));
  return image.convertToFormat(QImage::Format_ARGB32);
}

// The largest difference of a red, green or blue value between the bitmap and the reference, over
// the pixels the reference holds opaque; 1000 when the sizes differ.
inline int MaxDifference(TBitmap& bitmap, const QImage& reference) {
  if (bitmap.Width() != reference.width() || bitmap.Height() != reference.height()) return 1000;
  int worst = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const QRgb want = reference.pixel(x, y);
      if (qAlpha(want) != 255) continue;
      const TColor got = bitmap.Canvas().Pixel(x, y);
      worst = std::max({worst, std::abs(GetRValue(got) - qRed(want)), std::abs(GetGValue(got) - qGreen(want)),
                        std::abs(GetBValue(got) - qBlue(want))});
    }
  return worst;
}

inline std::vector<uint8_t> BmpBytes(TBitmap& bitmap) {
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  return {stream.Bytes().begin(), stream.Bytes().end()};
}

inline void LoadBmpBytes(TBitmap& bitmap, const std::vector<uint8_t>& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  bitmap.LoadFromStream(stream);
}

// A bitmap of the format whose pixels differ from one another: every byte of the pixel area set from
// its position (padding left 0).
inline void FillPattern(TBitmap& bitmap, TPixelFormat format, int width, int height) {
  bitmap.SetPixelFormat(format);
  bitmap.SetSize(width, height);
  const int usedBytes = (width * bitmap.BitsPerPixel() + 7) / 8;
  for (int y = 0; y < height; ++y)
    for (int i = 0; i < usedBytes; ++i) bitmap.ScanLine(y)[i] = static_cast<uint8_t>(i * 7 + y * 13 + 1);
  // The last byte may hold bits past the last pixel: keep them clear as a saved file would.
  const int bits = width * bitmap.BitsPerPixel() % 8;
  if (bits != 0)
    for (int y = 0; y < height; ++y)
      bitmap.ScanLine(y)[usedBytes - 1] &= static_cast<uint8_t>(0xFF00 >> bits);
}

inline bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat()) return false;
  const int usedBytes = (a.Width() * a.BitsPerPixel() + 7) / 8;
  for (int y = 0; y < a.Height(); ++y)
    if (!std::equal(a.ScanLine(y), a.ScanLine(y) + usedBytes, b.ScanLine(y))) return false;
  return true;
}
