#include "toolkit/graphics/blit.h"

#include <algorithm>
#include <cstring>

#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/pixel_rows.h"

namespace {

// One axis of the map: for each target coordinate inside 0..targetSize-1 and inside the destination
// span, the source coordinate; only the contiguous run whose source lies inside 0..sourceSize-1.
std::vector<int> AxisMap(int targetSize, int destStart, int64_t destLength, int sourceSize, int sourceStart,
                         int64_t sourceLength, int& firstTarget) {
  std::vector<int> result;
  firstTarget = 0;
  if (destLength <= 0 || sourceLength <= 0) return result;
  const int64_t from = std::max<int64_t>(0, destStart);
  const int64_t to = std::min<int64_t>(targetSize, destStart + destLength);
  for (int64_t t = from; t < to; ++t) {
    const __int128 offset = static_cast<__int128>(2 * (t - destStart) + 1) * sourceLength /
                            (2 * static_cast<__int128>(destLength));
    const int64_t s = sourceStart + static_cast<int64_t>(offset);
    if (s < 0 || s >= sourceSize) {
      if (!result.empty()) break;
      continue;
    }
    if (result.empty()) firstTarget = static_cast<int>(t);
    result.push_back(static_cast<int>(s));
  }
  return result;
}

bool SameColorTables(const TBitmap& a, const TBitmap& b) {
  return std::ranges::equal(a.ColorTable(), b.ColorTable());
}

}  // namespace

TStretchMap BuildStretchMap(int targetWidth, int targetHeight, const TRect& destRect, int sourceWidth,
                            int sourceHeight, const TRect& sourceRect) {
  TStretchMap map;
  // Sizes in 64 bits: rectangles may span more than an int can hold.
  const auto size = [](int32_t from, int32_t to) { return int64_t{to} - from; };
  map.SourceX = AxisMap(targetWidth, destRect.Left, size(destRect.Left, destRect.Right), sourceWidth,
                        sourceRect.Left, size(sourceRect.Left, sourceRect.Right), map.Left);
  map.SourceY = AxisMap(targetHeight, destRect.Top, size(destRect.Top, destRect.Bottom), sourceHeight,
                        sourceRect.Top, size(sourceRect.Top, sourceRect.Bottom), map.Top);
  if (map.SourceX.empty() || map.SourceY.empty()) {
    map.SourceX.clear();
    map.SourceY.clear();
  }
  return map;
}

void StretchBlit(TBitmap& target, const TRect& destRect, const TBitmap& source, const TRect& sourceRect) {
  if (&target == &source) {
    // Reading and writing one picture would read pixels already overwritten: work from a copy.
    TBitmap copy;
    copy.Assign(source);
    StretchBlit(target, destRect, copy, sourceRect);
    return;
  }
  if (target.Empty() || source.Empty()) return;
  const TStretchMap map =
      BuildStretchMap(target.Width(), target.Height(), destRect, source.Width(), source.Height(), sourceRect);
  if (map.Width() == 0) return;

  const TPixelFormat sourceFormat = source.PixelFormat();
  const TPixelFormat targetFormat = target.PixelFormat();
  const int sourceBits = StoredBitsPerPixel(sourceFormat);
  const bool sameLayout = sourceBits == StoredBitsPerPixel(targetFormat) &&
                          (sourceFormat == targetFormat || sourceBits == 32) &&
                          (!IsIndexedFormat(sourceFormat) || SameColorTables(source, target));
  const int first = map.SourceX.front();
  const bool unscaledX = map.SourceX.back() - first + 1 == map.Width();

  if (sameLayout && sourceBits >= 8) {
    const size_t pixelBytes = static_cast<size_t>(sourceBits / 8);
    for (int j = 0; j < map.Height(); ++j) {
      const uint8_t* from = source.ScanLine(map.SourceY[j]);
      uint8_t* to = target.ScanLine(map.Top + j) + pixelBytes * map.Left;
      if (unscaledX) {
        std::memcpy(to, from + pixelBytes * first, pixelBytes * map.Width());
      } else {
        for (int i = 0; i < map.Width(); ++i, to += pixelBytes)
          std::memcpy(to, from + pixelBytes * map.SourceX[i], pixelBytes);
      }
    }
    return;
  }
  if (sameLayout) {  // 1 or 4 bits with the same colour table: copy the indices
    for (int j = 0; j < map.Height(); ++j) {
      const uint8_t* from = source.ScanLine(map.SourceY[j]);
      uint8_t* to = target.ScanLine(map.Top + j);
      for (int i = 0; i < map.Width(); ++i)
        SetPixelIndex(targetFormat, to, map.Left + i, GetPixelIndex(sourceFormat, from, map.SourceX[i]));
    }
    return;
  }

  // Any other pair of formats goes through quads.
  const int span = map.SourceX.back() - first + 1;
  std::vector<TQuad> sourceQuads(static_cast<size_t>(span));
  std::vector<TQuad> targetQuads(static_cast<size_t>(map.Width()));
  TColorMatcher matcher(target.ColorTable());
  int decodedRow = -1;
  for (int j = 0; j < map.Height(); ++j) {
    if (map.SourceY[j] != decodedRow) {
      decodedRow = map.SourceY[j];
      DecodeRow(sourceFormat, source.ScanLine(decodedRow), first, span, source.ColorTable(),
                sourceQuads.data());
      for (int i = 0; i < map.Width(); ++i)
        targetQuads[static_cast<size_t>(i)] = sourceQuads[static_cast<size_t>(map.SourceX[i] - first)];
    }
    EncodeRow(targetFormat, targetQuads.data(), map.Left, map.Width(), target.ScanLine(map.Top + j),
              &matcher);
  }
}
