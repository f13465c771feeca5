// Text on a canvas, drawn by Qt into a copy of the region it covers and copied back pixel by pixel
// (our rows are bottom-up and may be indexed, which QImage cannot address directly).

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "toolkit/core/exceptions.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/graphics_messages.h"
#include "toolkit/graphics/pixel_rows.h"

namespace {

void RequireGuiApplication() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    throw EInvalidGraphicOperation(SNoGuiForText);
}

// A negative height is the character height in pixels, a positive one the cell height; both are
// taken as Qt's pixel size. Bitmap fonts draw without antialiasing, and so does this.
QFont ToQFont(const TFont& font) {
  QFont result(QString::fromUtf8(font.Name.c_str()));
  result.setPixelSize(std::max(1, std::abs(font.Height)));
  result.setBold(font.Bold);
  result.setItalic(font.Italic);
  result.setStyleStrategy(QFont::NoAntialias);
  return result;
}

QColor ToQColor(TColor color) {
  return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

}  // namespace

int TCanvas::TextWidth(const std::string& text) const {
  RequireGuiApplication();
  return QFontMetrics(ToQFont(Font)).horizontalAdvance(QString::fromUtf8(text.c_str()));
}

int TCanvas::TextHeight(const std::string&) const {
  RequireGuiApplication();
  return QFontMetrics(ToQFont(Font)).height();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  RequireGuiApplication();
  const QFont font = ToQFont(Font);
  const QFontMetrics metrics(font);
  const QString string = QString::fromUtf8(text.c_str());
  const int width = metrics.horizontalAdvance(string);
  const int height = metrics.height();
  FPenPos = TPoint{static_cast<int>(std::clamp<int64_t>(int64_t{x} + width, INT32_MIN, INT32_MAX)), y};

  // The cell, widened for glyphs that overhang it (italics), clipped to the bitmap.
  const int64_t overhang = height / 2;
  const int left = static_cast<int>(std::max<int64_t>(0, int64_t{x} - overhang));
  const int top = std::max(0, y);
  const int right = static_cast<int>(std::min<int64_t>(FOwner.Width(), int64_t{x} + width + overhang));
  const int bottom = static_cast<int>(std::min<int64_t>(FOwner.Height(), int64_t{y} + height));
  if (left >= right || top >= bottom || string.isEmpty()) return;
  const int regionWidth = right - left;
  const int regionHeight = bottom - top;

  const TPixelFormat format = FOwner.PixelFormat();
  std::vector<TQuad> original(static_cast<size_t>(regionWidth) * static_cast<size_t>(regionHeight));
  QImage image(regionWidth, regionHeight, QImage::Format_RGB32);
  for (int j = 0; j < regionHeight; ++j) {
    TQuad* row = original.data() + static_cast<size_t>(j) * static_cast<size_t>(regionWidth);
    DecodeRow(format, FOwner.ScanLine(top + j), left, regionWidth, FOwner.ColorTable(), row);
    auto* line = reinterpret_cast<uint32_t*>(image.scanLine(j));
    for (int i = 0; i < regionWidth; ++i) line[i] = row[i] | 0xFF000000u;
  }
  {
    QPainter painter(&image);
    painter.setFont(font);
    // The region starts at most `overhang` pixels left of the cell and at its top or below.
    const int cellX = static_cast<int>(int64_t{x} - left);
    const int cellY = static_cast<int>(int64_t{y} - top);
    if (!Brush.Clear) painter.fillRect(cellX, cellY, width, height, ToQColor(Brush.Color));
    painter.setPen(ToQColor(Font.Color));
    painter.drawText(QPoint(cellX, cellY + metrics.ascent()), string);
  }
  // Only the pixels the text changed are written back, so untouched pixels keep their exact bytes.
  TColorMatcher matcher(FOwner.ColorTable());
  for (int j = 0; j < regionHeight; ++j) {
    const TQuad* before = original.data() + static_cast<size_t>(j) * static_cast<size_t>(regionWidth);
    const auto* after = reinterpret_cast<const uint32_t*>(image.constScanLine(j));
    uint8_t* row = FOwner.ScanLine(top + j);
    for (int i = 0; i < regionWidth; ++i) {
      if (((after[i] ^ before[i]) & 0xFFFFFF) == 0) continue;
      const TQuad quad = (after[i] & 0xFFFFFF) | (before[i] & 0xFF000000u);
      EncodeRow(format, &quad, left + i, 1, row, &matcher);
    }
  }
  Changed();
}
