#include "toolkit/ui/toolbar.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

#include "toolkit/ui/guarded.h"
#include "toolkit/ui/imglist.h"
#include "toolkit/ui/menus.h"

namespace {

constexpr int kSeparatorWidth = 8;
// The arrow that a drop-down button shows beside its glyph.
constexpr int kDropDownArrowWidth = 14;

}  // namespace

// ---- TToolBar

TToolBar::TToolBar(TComponent* owner, TControl* parent) : TWidgetControl<QWidget>(owner, parent) {
  resize(150, 29);
}

void TToolBar::SetImages(TImageList* images) {
  FImages = images;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* button = dynamic_cast<TToolButton*>(Controls(i))) button->UpdateGlyph();
}

void TToolBar::SetIndent(int indent) {
  FIndent = indent;
  Realign();
}

void TToolBar::Realign() {
  int x = FIndent;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    if (!child->Visible() || !child->Widget()) continue;
    int w = child->Width();
    int h = child->Height();
    if (auto* button = dynamic_cast<TToolButton*>(child)) {
      const bool separator = button->Style() == TToolButtonStyle::tbsSeparator ||
                             button->Style() == TToolButtonStyle::tbsDivider;
      w = separator ? kSeparatorWidth : ButtonWidth;
      if (!separator && ShowCaptions) w = std::max(ButtonWidth, button->sizeHint().width());
      if (button->Style() == TToolButtonStyle::tbsDropDown) w += kDropDownArrowWidth;
      h = ButtonHeight;
    }
    const int y = std::max(0, (height() - h) / 2);
    child->Widget()->setGeometry(x, y, w, h);
    x += w;
  }
}

void TToolBar::ChildChanged(TControl*) {
  Realign();
}

void TToolBar::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    Guarded([this] {
      if (OnClick) OnClick(this);
    });
}

void TToolBar::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(0, height() - 1, width(), height() - 1);
}

// ---- TToolButton

TToolButton::TToolButton(TComponent* owner, TToolBar* toolBar) : TWidgetControl<QToolButton>(owner, toolBar) {
  setAutoRaise(true);
  setCheckable(true);
  setFocusPolicy(Qt::NoFocus);
  resize(23, 22);
  QObject::connect(this, &QToolButton::clicked, this, [this] {
    Guarded([this] {
      ShowDown();  // Qt toggled its own state; Click decides
      Click();
    });
  });
}

TToolBar* TToolButton::Bar() const {
  return dynamic_cast<TToolBar*>(Parent());
}

void TToolButton::SetCaption(const std::string& caption) {
  FCaption = caption;
  setText(QString::fromStdString(caption));
  UpdateGlyph();
}

void TToolButton::SetHint(const std::string& hint) {
  TComponent::SetHint(hint);
  setToolTip(QString::fromStdString(hint));
}

void TToolButton::SetStyle(TToolButtonStyle style) {
  FStyle = style;
  const bool separator = style == TToolButtonStyle::tbsSeparator || style == TToolButtonStyle::tbsDivider;
  QToolButton::setEnabled(!separator && Enabled());
  if (TToolBar* bar = Bar()) bar->Realign();
  update();
}

void TToolButton::ShowDown() {
  setChecked(FDown);
}

void TToolButton::SetDown(bool down) {
  FDown = down;
  ShowDown();
  if (down && Grouped && FStyle == TToolButtonStyle::tbsCheck) ReleaseGroupNeighbours();
}

void TToolButton::ReleaseGroupNeighbours() {
  TToolBar* bar = Bar();
  if (!bar) return;
  int self = -1;
  for (int i = 0; i < bar->ControlCount(); ++i)
    if (bar->Controls(i) == this) self = i;
  auto release = [&](int step) {
    for (int i = self + step; i >= 0 && i < bar->ControlCount(); i += step) {
      auto* other = dynamic_cast<TToolButton*>(bar->Controls(i));
      if (!other || !other->Grouped || other->Style() != TToolButtonStyle::tbsCheck) break;
      other->FDown = false;
      other->ShowDown();
    }
  };
  release(-1);
  release(1);
}

void TToolButton::SetImageIndex(int index) {
  FImageIndex = index;
  UpdateGlyph();
}

void TToolButton::UpdateGlyph() {
  TToolBar* bar = Bar();
  const QIcon icon = bar && bar->Images() ? bar->Images()->Icon(FImageIndex) : QIcon();
  setIcon(icon);
  const bool captions = bar && bar->ShowCaptions;
  setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly
                                   : (captions ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly));
}

void TToolButton::SetEnabled(bool enabled) {
  TControl::SetEnabled(enabled);
  const bool separator = FStyle == TToolButtonStyle::tbsSeparator || FStyle == TToolButtonStyle::tbsDivider;
  QToolButton::setEnabled(enabled && !separator);
}

void TToolButton::SetMenuItem(TMenuItem* item) {
  if (FMenuItem) QObject::disconnect(FMenuItem, nullptr, this, nullptr);
  FMenuItem = item;
  if (!item) return;
  SetCaption(item->Caption());
  // A button keeps a hint of its own when the item has none.
  if (!item->Hint().empty()) SetHint(item->Hint());
  if (item->ImageIndex() >= 0) SetImageIndex(item->ImageIndex());
  SetEnabled(item->Enabled());
  SetVisible(item->Visible());
  SetDown(item->Checked());
  QObject::connect(item, &QAction::changed, this, [this] {
    if (!FMenuItem) return;
    if (FDown != FMenuItem->Checked()) SetDown(FMenuItem->Checked());
    if (Enabled() != FMenuItem->Enabled()) SetEnabled(FMenuItem->Enabled());
  });
}

void TToolButton::SetDropdownMenu(TPopupMenu* menu) {
  QMenu* items = menu ? menu->Items()->SubMenu() : nullptr;
  setMenu(items);
  setPopupMode(items ? QToolButton::MenuButtonPopup : QToolButton::DelayedPopup);
}

void TToolButton::SetPopupMenu(TPopupMenu* menu) {
  FPopupMenu = menu;
  setContextMenuPolicy(menu ? Qt::CustomContextMenu : Qt::DefaultContextMenu);
  QObject::disconnect(this, &QWidget::customContextMenuRequested, nullptr, nullptr);
  if (!menu) return;
  QObject::connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    Guarded([&] {
      if (!FPopupMenu) return;
      const QPoint at = mapToGlobal(pos);
      FPopupMenu->Popup(at.x(), at.y());
    });
  });
}

void TToolButton::Click() {
  if (FStyle == TToolButtonStyle::tbsCheck) {
    if (!(FDown && Grouped && !AllowAllUp)) SetDown(!FDown);
  }
  if (FMenuItem)
    FMenuItem->Click();
  else if (OnClick)
    OnClick(this);
}

void TToolButton::paintEvent(QPaintEvent* event) {
  if (FStyle != TToolButtonStyle::tbsSeparator && FStyle != TToolButtonStyle::tbsDivider) {
    QToolButton::paintEvent(event);
    return;
  }
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Mid));
  const int x = width() / 2;
  painter.drawLine(x, 3, x, height() - 4);
}
