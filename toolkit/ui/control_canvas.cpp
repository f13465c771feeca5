#include "toolkit/ui/control_canvas.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

QColor ToQColor(TColor color) {
  return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

}  // namespace

void TControlCanvas::ApplyFont() const {
  QFont font = FPainter->font();
  font.setBold(Font.Bold);
  font.setItalic(Font.Italic);
  FPainter->setFont(font);
  FPainter->setPen(ToQColor(Font.Color));
}

void TControlCanvas::FillRect(const TRect& rect) {
  if (!FPainter || Brush.Clear) return;
  FPainter->fillRect(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()), ToQColor(Brush.Color));
}

void TControlCanvas::TextOut(int x, int y, const std::string& text) {
  if (!FPainter) return;
  ApplyFont();
  const QFontMetrics metrics(FPainter->font());
  FPainter->drawText(x, y + metrics.ascent(), QString::fromStdString(text));
}

int TControlCanvas::TextWidth(const std::string& text) const {
  if (!FPainter) return 0;
  ApplyFont();
  return QFontMetrics(FPainter->font()).horizontalAdvance(QString::fromStdString(text));
}

int TControlCanvas::TextHeight(const std::string&) const {
  if (!FPainter) return 0;
  ApplyFont();
  return QFontMetrics(FPainter->font()).height();
}
