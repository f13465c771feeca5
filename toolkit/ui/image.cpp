#include "toolkit/ui/image.h"

#include <algorithm>
#include <vector>

#include <QPainter>

#include "toolkit/ui/guarded.h"

namespace {

// Reads pixel x of a row of the given format as 0xAARRGGBB (alpha set).
template <TPixelFormat Format>
inline QRgb ReadPixel(const uint8_t* row, int x, const std::vector<QRgb>& palette) {
  if constexpr (Format == pf24bit) {
    const uint8_t* p = row + 3 * x;
    return qRgb(p[2], p[1], p[0]);
  } else if constexpr (Format == pf32bit || Format == pfDevice) {
    const uint8_t* p = row + 4 * x;
    return qRgb(p[2], p[1], p[0]);
  } else if constexpr (Format == pf8bit) {
    const uint8_t index = row[x];
    return index < palette.size() ? palette[index] : qRgb(0, 0, 0);
  } else if constexpr (Format == pf4bit) {
    const uint8_t byte = row[x >> 1];
    const uint8_t index = (x & 1) ? (byte & 0x0F) : (byte >> 4);
    return index < palette.size() ? palette[index] : qRgb(0, 0, 0);
  } else if constexpr (Format == pf1bit) {
    const uint8_t index = (row[x >> 3] >> (7 - (x & 7))) & 1;
    return index < palette.size() ? palette[index] : qRgb(0, 0, 0);
  } else if constexpr (Format == pf15bit) {
    const uint16_t v = static_cast<uint16_t>(row[2 * x] | (row[2 * x + 1] << 8));
    const int r = (v >> 10) & 0x1F, g = (v >> 5) & 0x1F, b = v & 0x1F;
    return qRgb((r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2));
  } else {  // pf16bit
    const uint16_t v = static_cast<uint16_t>(row[2 * x] | (row[2 * x + 1] << 8));
    const int r = (v >> 11) & 0x1F, g = (v >> 5) & 0x3F, b = v & 0x1F;
    return qRgb((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2));
  }
}

template <TPixelFormat Format>
void SampleRows(const TBitmap& bitmap, const std::vector<int>& sourceX, const std::vector<int>& sourceY,
                const std::vector<QRgb>& palette, QImage& target) {
  const uint8_t* row0 = bitmap.ScanLine(0);
  const ptrdiff_t step = bitmap.Height() > 1 ? bitmap.ScanLine(1) - row0 : 0;
  for (size_t y = 0; y < sourceY.size(); ++y) {
    const uint8_t* row = row0 + step * sourceY[y];
    auto* out = reinterpret_cast<QRgb*>(target.scanLine(static_cast<int>(y)));
    for (size_t x = 0; x < sourceX.size(); ++x) out[x] = ReadPixel<Format>(row, sourceX[x], palette);
  }
}

}  // namespace

QImage SampleBitmap(const TBitmap& bitmap, int scaledWidth, int scaledHeight, const QRect& clip) {
  const QRect area = clip.intersected(QRect(0, 0, scaledWidth, scaledHeight));
  if (area.isEmpty() || bitmap.Empty()) return {};
  const int w = bitmap.Width();
  const int h = bitmap.Height();
  // Source column and row of every target pixel, from the centre of the target pixel.
  std::vector<int> sourceX(static_cast<size_t>(area.width()));
  for (int x = 0; x < area.width(); ++x)
    sourceX[static_cast<size_t>(x)] = static_cast<int>(
        std::min<int64_t>(w - 1, ((2 * int64_t(area.left() + x) + 1) * w) / (2 * int64_t(scaledWidth))));
  std::vector<int> sourceY(static_cast<size_t>(area.height()));
  for (int y = 0; y < area.height(); ++y)
    sourceY[static_cast<size_t>(y)] = static_cast<int>(
        std::min<int64_t>(h - 1, ((2 * int64_t(area.top() + y) + 1) * h) / (2 * int64_t(scaledHeight))));
  std::vector<QRgb> palette;
  for (const TPaletteEntry& entry : bitmap.ColorTable())
    palette.push_back(qRgb(entry.peRed, entry.peGreen, entry.peBlue));

  QImage target(area.width(), area.height(), QImage::Format_RGB32);
  switch (bitmap.PixelFormat()) {
    case pf1bit:
      SampleRows<pf1bit>(bitmap, sourceX, sourceY, palette, target);
      break;
    case pf4bit:
      SampleRows<pf4bit>(bitmap, sourceX, sourceY, palette, target);
      break;
    case pf8bit:
      SampleRows<pf8bit>(bitmap, sourceX, sourceY, palette, target);
      break;
    case pf15bit:
      SampleRows<pf15bit>(bitmap, sourceX, sourceY, palette, target);
      break;
    case pf16bit:
      SampleRows<pf16bit>(bitmap, sourceX, sourceY, palette, target);
      break;
    case pf24bit:
      SampleRows<pf24bit>(bitmap, sourceX, sourceY, palette, target);
      break;
    case pf32bit:
    case pfDevice:
    case pfCustom:
      SampleRows<pf32bit>(bitmap, sourceX, sourceY, palette, target);
      break;
  }
  return target;
}

TImage::TImage(TComponent* owner, TControl* parent) : TWidgetControl<QWidget>(owner, parent) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  resize(105, 105);
}

TBitmap& TImage::Bitmap() {
  auto* bitmap = dynamic_cast<TBitmap*>(FPicture.Graphic());
  if (!bitmap) {
    FPicture.SetGraphic(std::make_unique<TBitmap>());
    bitmap = static_cast<TBitmap*>(FPicture.Graphic());
  }
  Invalidate();
  return *bitmap;
}

void TImage::SetStretch(bool stretch) {
  FStretch = stretch;
  Invalidate();
}

void TImage::SetCenter(bool center) {
  FCenter = center;
  Invalidate();
}

void TImage::SetProportional(bool proportional) {
  FProportional = proportional;
  Invalidate();
}

void TImage::Invalidate() {
  FCacheValid = false;
  update();
}

TRect TImage::DestRect() const {
  const TGraphic* graphic = FPicture.Graphic();
  const int pictureWidth = graphic ? graphic->Width() : 0;
  const int pictureHeight = graphic ? graphic->Height() : 0;
  int w = pictureWidth;
  int h = pictureHeight;
  if (FStretch || (FProportional && (w > width() || h > height()))) {
    if (FProportional && w > 0 && h > 0) {
      const double scale = std::min(static_cast<double>(width()) / w, static_cast<double>(height()) / h);
      w = static_cast<int>(w * scale);
      h = static_cast<int>(h * scale);
    } else {
      w = width();
      h = height();
    }
  }
  int x = 0, y = 0;
  if (FCenter) {
    x = (width() - w) / 2;
    y = (height() - h) / 2;
  }
  return Rect(x, y, x + w, y + h);
}

const QImage& TImage::Rendered() {
  if (FCacheValid && FCacheSize == size()) return FCache;
  FCache = QImage();
  FCacheValid = true;
  FCacheSize = size();
  TGraphic* graphic = FPicture.Graphic();
  if (!graphic || graphic->Empty()) return FCache;
  const TRect dest = DestRect();
  if (dest.Width() <= 0 || dest.Height() <= 0) return FCache;
  // Only the part of the scaled picture that falls inside the control.
  const QRect clip = QRect(-dest.Left, -dest.Top, width(), height());
  if (auto* bitmap = dynamic_cast<TBitmap*>(graphic)) {
    FCache = SampleBitmap(*bitmap, dest.Width(), dest.Height(), clip);
  } else {
    // Other pictures draw themselves into a bitmap of the shown size first.
    TBitmap drawn;
    drawn.SetPixelFormat(pf24bit);
    drawn.SetSize(dest.Width(), dest.Height());
    graphic->Draw(drawn.Canvas(), Rect(0, 0, dest.Width(), dest.Height()));
    FCache = SampleBitmap(drawn, dest.Width(), dest.Height(), clip);
  }
  return FCache;
}

void TImage::paintEvent(QPaintEvent*) {
  Guarded([this] {
    const QImage& image = Rendered();
    if (image.isNull()) return;
    const TRect dest = DestRect();
    QPainter painter(this);
    painter.drawImage(QPoint(std::max(0, dest.Left), std::max(0, dest.Top)), image);
  });
}

void TImage::resizeEvent(QResizeEvent* event) {
  TWidgetControl<QWidget>::resizeEvent(event);
  FCacheValid = false;
}
