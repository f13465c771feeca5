#include "toolkit/graphics/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/blit.h"
#include "toolkit/graphics/pixel_rows.h"

namespace {

// Paints one colour into runs of pixels of a bitmap, clipped to it. The colour is encoded once.
class TSpanPainter {
 public:
  TSpanPainter(TBitmap& bitmap, TColor color) : FBitmap(bitmap), FFormat(bitmap.PixelFormat()) {
    const TQuad quad = QuadFromColor(color);
    if (IsIndexedFormat(FFormat)) {
      FIndex = NearestEntry(bitmap.ColorTable(), quad);
    } else {
      FBytes = StoredBitsPerPixel(FFormat) / 8;
      EncodeRow(FFormat, &quad, 0, 1, FPattern, nullptr);
    }
  }

  void Span(int y, int x0, int x1) {
    if (y < 0 || y >= FBitmap.Height()) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, FBitmap.Width());
    if (x0 >= x1) return;
    uint8_t* row = FBitmap.ScanLine(y);
    if (FFormat == pf8bit) {
      std::memset(row + x0, FIndex, static_cast<size_t>(x1 - x0));
    } else if (IsIndexedFormat(FFormat)) {
      for (int x = x0; x < x1; ++x) SetPixelIndex(FFormat, row, x, FIndex);
    } else {
      uint8_t* p = row + static_cast<size_t>(x0) * FBytes;
      for (int x = x0; x < x1; ++x, p += FBytes) std::memcpy(p, FPattern, FBytes);
    }
  }

  void Pixel(int x, int y) { Span(y, x, x + 1); }

 private:
  TBitmap& FBitmap;
  TPixelFormat FFormat;
  uint8_t FIndex = 0;
  size_t FBytes = 0;
  uint8_t FPattern[4] = {0, 0, 0, 0};
};

// Normalises a GDI box given by two corners (right and bottom excluded). Coordinates are held to
// +-2^29 so that sizes and insets never overflow; no picture is that large.
TRect Box(int x1, int y1, int x2, int y2) {
  static constexpr int kLimit = 1 << 29;
  const auto held = [](int v) { return std::clamp(v, -kLimit, kLimit); };
  x1 = held(x1), y1 = held(y1), x2 = held(x2), y2 = held(y2);
  return Rect(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
}

// The pen's width in pixels: at least 1, and held to a size no picture needs more of.
int PenWidth(const TPen& pen) {
  return std::clamp(pen.Width, 1, 1 << 16);
}

// x + size without overflow, held to the int range.
int Offset(int x, int size) {
  return static_cast<int>(std::clamp<int64_t>(int64_t{x} + size, INT32_MIN, INT32_MAX));
}

// The pixels of the ellipse inscribed in a box, one span [first, last] per row (first > last when a
// row is empty): pixel (x, y) belongs when its centre lies inside the ellipse whose axes are the box's
// width and height.
struct TEllipseSpans {
  int Top = 0;
  std::vector<std::pair<int, int>> Rows;

  bool Contains(int x, int y) const {
    const int i = y - Top;
    if (i < 0 || i >= static_cast<int>(Rows.size())) return false;
    return x >= Rows[static_cast<size_t>(i)].first && x <= Rows[static_cast<size_t>(i)].second;
  }
  // A pixel of the ellipse whose neighbours above and below (or the span's own ends) lie outside:
  // the one-pixel outline, connected from row to row.
  bool OnOutline(int x, int y) const {
    const auto& span = Rows[static_cast<size_t>(y - Top)];
    return x == span.first || x == span.second || !Contains(x, y - 1) || !Contains(x, y + 1);
  }
};

// Only the rows from-1 .. to (those drawn and their neighbours) are worked out, so a huge box costs
// what is visible.
TEllipseSpans EllipseSpans(const TRect& box, int from, int to) {
  TEllipseSpans spans;
  const int first = std::max<int64_t>(box.Top, static_cast<int64_t>(from) - 1);
  const int end = std::min<int64_t>(box.Bottom, static_cast<int64_t>(to) + 1);
  spans.Top = first;
  const double a = box.Width() / 2.0;
  const double b = box.Height() / 2.0;
  const double cx = (static_cast<double>(box.Left) + box.Right) / 2.0;
  const double cy = (static_cast<double>(box.Top) + box.Bottom) / 2.0;
  for (int y = first; y < end; ++y) {
    const double dy = (y + 0.5 - cy) / b;
    const double half = a * std::sqrt(std::max(0.0, 1.0 - dy * dy)) + 1e-9;
    const int first = std::max(box.Left, static_cast<int>(std::ceil(cx - half - 0.5)));
    const int last = std::min(box.Right - 1, static_cast<int>(std::floor(cx + half - 0.5)));
    spans.Rows.emplace_back(first, last);
  }
  return spans;
}

}  // namespace

void TCanvas::Changed() {
  FOwner.Changed();
}

TColor TCanvas::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= FOwner.Width() || y >= FOwner.Height()) return CLR_INVALID;
  TQuad quad;
  DecodeRow(FOwner.PixelFormat(), FOwner.ScanLine(y), x, 1, FOwner.ColorTable(), &quad);
  return ColorFromQuad(quad);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= FOwner.Width() || y >= FOwner.Height()) return;
  TSpanPainter(FOwner, color).Pixel(x, y);
  Changed();
}

void TCanvas::FillRect(const TRect& rect) {
  if (Brush.Clear || FOwner.Empty()) return;
  TSpanPainter painter(FOwner, Brush.Color);
  const int top = std::max(rect.Top, 0);
  const int bottom = std::min(rect.Bottom, FOwner.Height());
  for (int y = top; y < bottom; ++y) painter.Span(y, rect.Left, rect.Right);
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  const TRect box = Box(x1, y1, x2, y2);
  if (box.Width() == 0 || box.Height() == 0 || FOwner.Empty()) return;
  const int w = PenWidth(Pen);
  const int top = std::max(box.Top, 0);
  const int bottom = std::min(box.Bottom, FOwner.Height());
  if (!Brush.Clear) {
    TSpanPainter inside(FOwner, Brush.Color);
    for (int y = std::max(top, box.Top + w); y < std::min(bottom, box.Bottom - w); ++y)
      inside.Span(y, box.Left + w, box.Right - w);
  }
  TSpanPainter pen(FOwner, Pen.Color);
  for (int y = top; y < bottom; ++y) {
    if (y < box.Top + w || y >= box.Bottom - w) {
      pen.Span(y, box.Left, box.Right);
    } else {
      pen.Span(y, box.Left, std::min(box.Left + w, box.Right));
      pen.Span(y, std::max(box.Right - w, box.Left), box.Right);
    }
  }
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  const TRect box = Box(x1, y1, x2, y2);
  if (box.Width() == 0 || box.Height() == 0 || FOwner.Empty()) return;
  const int w = PenWidth(Pen);
  const int top = std::max(box.Top, 0);
  const int bottom = std::min(box.Bottom, FOwner.Height());
  if (top >= bottom) return;
  const TEllipseSpans outer = EllipseSpans(box, top, bottom);
  // A wider pen: the inside is the inside of the ellipse inset by w - 1 on every side.
  const TRect innerBox = Rect(box.Left + w - 1, box.Top + w - 1, box.Right - (w - 1), box.Bottom - (w - 1));
  const bool hasInner = innerBox.Width() > 0 && innerBox.Height() > 0;
  const TEllipseSpans inner = hasInner ? EllipseSpans(innerBox, top, bottom) : TEllipseSpans{};
  const auto inside = [&](int x, int y) {
    if (!hasInner || !inner.Contains(x, y)) return false;
    return !inner.OnOutline(x, y);
  };
  TSpanPainter pen(FOwner, Pen.Color);
  TSpanPainter brush(FOwner, Brush.Color);
  for (int y = top; y < bottom; ++y) {
    const auto [first, last] = outer.Rows[static_cast<size_t>(y - outer.Top)];
    const int from = std::max(first, 0);
    const int to = std::min(last, FOwner.Width() - 1);
    for (int x = from; x <= to; ++x) {
      if (inside(x, y)) {
        if (!Brush.Clear) brush.Pixel(x, y);
      } else {
        pen.Pixel(x, y);
      }
    }
  }
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  FPenPos = TPoint{x, y};
}

void TCanvas::LineTo(int x, int y) {
  TSpanPainter pen(FOwner, Pen.Color);
  const int w = PenWidth(Pen);
  const auto stamp = [&](int64_t px, int64_t py) {
    const auto held = [](int64_t v) {
      return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    for (int64_t dy = 0; dy < w; ++dy)
      pen.Span(held(py - w / 2 + dy), held(px - w / 2), held(px - w / 2 + w));
  };
  // A line wholly beside the picture draws nothing.
  const int64_t margin = w;
  const bool beside =
      (std::max(FPenPos.X, x) + margin < 0) || (std::min(FPenPos.X, x) - margin >= FOwner.Width()) ||
      (std::max(FPenPos.Y, y) + margin < 0) || (std::min(FPenPos.Y, y) - margin >= FOwner.Height());
  if (beside) {
    FPenPos = TPoint{x, y};
    return;
  }
  // Bresenham, the end point excluded as the GDI does.
  int64_t px = FPenPos.X, py = FPenPos.Y;
  const int64_t dx = std::abs(static_cast<int64_t>(x) - px), dy = -std::abs(static_cast<int64_t>(y) - py);
  const int sx = px < x ? 1 : -1, sy = py < y ? 1 : -1;
  int64_t error = dx + dy;
  while (px != x || py != y) {
    stamp(px, py);
    const int64_t twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      px += sx;
    }
    if (twice <= dx) {
      error += dx;
      py += sy;
    }
  }
  FPenPos = TPoint{x, y};
  Changed();
}

void TCanvas::Draw(int x, int y, TGraphic& graphic) {
  graphic.Draw(*this, Rect(x, y, Offset(x, graphic.Width()), Offset(y, graphic.Height())));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic& graphic) {
  graphic.Draw(*this, rect);
}

void TCanvas::CopyRect(const TRect& destRect, TCanvas& source, const TRect& sourceRect) {
  StretchBlit(FOwner, destRect, source.FOwner, sourceRect);
  Changed();
}
