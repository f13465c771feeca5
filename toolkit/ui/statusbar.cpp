#include "toolkit/ui/statusbar.h"

#include <QPainter>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"

void TStatusPanel::SetText(const std::string& text) {
  if (FText == text) return;
  FText = text;
  FBar.update();
}

void TStatusPanel::SetWidth(int width) {
  FWidth = width;
  FBar.update();
}

TStatusBar::TStatusBar(TComponent* owner, TControl* parent) : TWidgetControl<QWidget>(owner, parent) {
  resize(200, 19);
  Font.Name = "";
}

TStatusPanel& TStatusBar::Panels(int index) {
  if (index < 0 || index >= PanelCount()) throw EListError(Format(SListIndexError, {index}));
  return *FPanels[static_cast<size_t>(index)];
}

TStatusPanel& TStatusBar::AddPanel() {
  FPanels.push_back(std::make_unique<TStatusPanel>(*this));
  update();
  return *FPanels.back();
}

void TStatusBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  QFont font = painter.font();
  font.setItalic(Font.Italic);
  font.setBold(Font.Bold);
  painter.setFont(font);
  const QColor textColor(GetRValue(Font.Color), GetGValue(Font.Color), GetBValue(Font.Color));
  int x = 0;
  for (size_t i = 0; i < FPanels.size(); ++i) {
    const TStatusPanel& panel = *FPanels[i];
    // The last panel takes the rest of the bar.
    const int w = i + 1 == FPanels.size() ? std::max(panel.Width(), width() - x) : panel.Width();
    const QRect cell(x, 1, w - 2, height() - 2);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(cell.adjusted(0, 0, -1, -1));
    painter.setPen(textColor);
    painter.drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     QString::fromStdString(panel.Text()));
    x += w;
  }
}
