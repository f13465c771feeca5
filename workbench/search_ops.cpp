#include "workbench/search_ops.h"

#include <algorithm>
#include <cstddef>

#include "toolkit/core/checked.h"
#include "toolkit/graphics/canvas.h"
#include "workbench/vector_clones.h"
#include "workbench/working_bitmap.h"

namespace {

// Columns per piece of a row: the sum of the piece's column offsets stays within 32 bits.
constexpr int kPieceWidth = 1 << 16;

// The pixels of a piece whose sum of blue, green and red exceeds the threshold: their number, and the
// sum of their offsets from the piece's first pixel in offsetSum.
ORVANTA_VECTOR_CLONES uint32_t CountBrightInPiece(const uint8_t* pixels, int count, int threshold,
                                                  uint32_t& offsetSum) {
  uint32_t bright = 0;
  uint32_t sum = 0;
  for (int x = 0; x < count; ++x) {
    const int value = pixels[3 * x] + pixels[3 * x + 1] + pixels[3 * x + 2];
    const uint32_t counts = value > threshold;
    bright += counts;
    sum += counts ? static_cast<uint32_t>(x) : 0u;
  }
  offsetSum = sum;
  return bright;
}

}  // namespace

TBrightPixels FindBrightPixels(TBitmap& Picture, const TProcessRec& Rec) {
  TBrightPixels found;
  if (Picture.PixelFormat() != pf24bit || Picture.Width() == 0 || Picture.Height() == 0) return found;
  found.Walked = true;
  // Margins are clipped to the picture; beyond it nothing is counted.
  const int64_t width = Picture.Width();
  const int64_t height = Picture.Height();
  const int first = static_cast<int>(std::clamp<int64_t>(Rec.MarginLeft, 0, width));
  const int last = static_cast<int>(std::clamp<int64_t>(width - Rec.MarginRight, 0, width));
  const int top = static_cast<int>(std::clamp<int64_t>(Rec.MarginTop, 0, height));
  const int bottom = static_cast<int>(std::clamp<int64_t>(height - Rec.MarginBottom, 0, height));
  if (first >= last || top >= bottom) return found;

  // Luminance (sum div 3) above the level is the same as the sum above 3 * level + 2.
  const int threshold = 3 * std::clamp(Rec.Offset, -1, 255) + 2;
  const TRowWalk rows = WalkRows(Picture);
  // Rows in the order they lie in memory (the bottom row first in a bottom-up bitmap): memory streams
  // forwards, which costs markedly less than walking it backwards; the sums do not depend on the order.
  const bool backwards = rows.Step < 0;
  for (int j = top; j < bottom; ++j) {
    const int y = backwards ? top + bottom - 1 - j : j;
    const uint8_t* row = rows.Row0 + rows.Step * y;
    int64_t rowCount = 0;
    for (int piece = first; piece < last; piece += std::min(kPieceWidth, last - piece)) {
      uint32_t offsetSum = 0;
      const uint32_t bright = CountBrightInPiece(row + static_cast<ptrdiff_t>(piece) * 3,
                                                 std::min(kPieceWidth, last - piece), threshold, offsetSum);
      rowCount += bright;
      found.SumX += static_cast<int64_t>(offsetSum) + static_cast<int64_t>(piece) * bright;
    }
    found.Count += rowCount;
    found.SumY += rowCount * y;
  }
  return found;
}

bool CountBrightPixels(TBitmap& Picture, TProcessRec& Rec, bool) {
  const TBrightPixels bright = FindBrightPixels(Picture, Rec);
  return bright.Walked && bright.Count > Rec.Factor;
}

bool SearchBrightObject(TBitmap& Picture, TProcessRec& Rec, bool Mark) {
  const TBrightPixels bright = FindBrightPixels(Picture, Rec);
  if (!bright.Walked || bright.Count <= Rec.Factor || bright.Count == 0) return false;
  const auto cx = static_cast<int32_t>(bright.SumX / bright.Count);
  const auto cy = static_cast<int32_t>(bright.SumY / bright.Count);
  const int32_t windowWidth = std::max(Rec.WindowWidth, 1);
  const int32_t windowHeight = std::max(Rec.WindowHeight, 1);
  const int32_t left = CheckedSub(cx, windowWidth / 2);
  const int32_t top = CheckedSub(CheckedSub(cy, windowHeight / 2), 1);

  if (Mark) {
    TCanvas& canvas = Picture.Canvas();
    canvas.Pen.Color = clWhite;
    canvas.Brush.Color = clWhite;
    canvas.Brush.Clear = true;
    canvas.Ellipse(left, top, CheckedAdd(cx, windowWidth / 2), CheckedAdd(top, (windowHeight / 2) * 2));
    return true;
  }
  TBitmap crop;
  crop.SetPixelFormat(Picture.PixelFormat());
  crop.SetSize(windowWidth, windowHeight);  // new pixels are black: what lies outside the picture
  crop.Canvas().CopyRect(Rect(0, 0, windowWidth, windowHeight), Picture.Canvas(),
                         Rect(left, top, CheckedAdd(left, windowWidth), CheckedAdd(top, windowHeight)));
  Picture.TakeOver(crop);
  return true;
}

bool MarkBrightObject(TBitmap& Picture, TProcessRec& Rec, bool) {
  return SearchBrightObject(Picture, Rec, true);
}

bool BrighterAtProbe(TBitmap& Picture, TBitmap&, intptr_t Param) {
  if (Param == 0) return false;
  TProbeRec& probe = *reinterpret_cast<TProbeRec*>(Param);
  if (probe.X < 0 || probe.Y < 0 || probe.X >= Picture.Width() || probe.Y >= Picture.Height()) return false;
  const TColor color = Picture.Canvas().Pixel(probe.X, probe.Y);
  const int32_t sum = GetRValue(color) + GetGValue(color) + GetBValue(color);
  if (sum <= probe.Best) return false;
  probe.Best = sum;
  return true;
}
