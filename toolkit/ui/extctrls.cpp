#include "toolkit/ui/extctrls.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "toolkit/ui/guarded.h"

// ---- TPanel

TPanel::TPanel(TComponent* owner, TControl* parent) : TWidgetControl<QFrame>(owner, parent) {
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Raised);
  resize(185, 41);
}

void TPanel::SetCaption(const std::string& caption) {
  FCaption = caption;
  update();
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
  setFrameShape(bevel == TBevelCut::bvNone ? QFrame::NoFrame : QFrame::StyledPanel);
  setFrameShadow(bevel == TBevelCut::bvLowered ? QFrame::Sunken : QFrame::Raised);
}

bool TPanel::CanResize(int& newWidth, int& newHeight) {
  bool resize = true;
  if (OnCanResize) OnCanResize(this, newWidth, newHeight, resize);
  return resize;
}

void TPanel::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  if (FCaption.empty()) return;
  QPainter painter(this);
  painter.drawText(rect(), Qt::AlignCenter, QString::fromStdString(FCaption));
}

// ---- TSplitter

TSplitter::TSplitter(TComponent* owner, TControl* parent) : TWidgetControl<QWidget>(owner, parent) {
  resize(3, 100);
  setCursor(Qt::SplitHCursor);
}

bool TSplitter::Vertical() const {
  return Align() == TAlign::alTop || Align() == TAlign::alBottom;
}

TControl* TSplitter::ResizedControl() const {
  TControl* parent = Parent();
  if (!parent) return nullptr;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* control = parent->Controls(i);
    if (control == this || control->Align() != Align() || !control->Visible()) continue;
    switch (Align()) {
      case TAlign::alLeft:
        if (control->Left() + control->Width() == Left()) return control;
        break;
      case TAlign::alRight:
        if (control->Left() == Left() + Width()) return control;
        break;
      case TAlign::alTop:
        if (control->Top() + control->Height() == Top()) return control;
        break;
      case TAlign::alBottom:
        if (control->Top() == Top() + Height()) return control;
        break;
      default:
        break;
    }
  }
  return nullptr;
}

void TSplitter::DragBy(int delta) {
  TControl* control = ResizedControl();
  if (!control) return;
  const bool growsWithDelta = Align() == TAlign::alLeft || Align() == TAlign::alTop;
  int width = control->Width();
  int height = control->Height();
  if (Vertical())
    height = std::max(MinSize, height + (growsWithDelta ? delta : -delta));
  else
    width = std::max(MinSize, width + (growsWithDelta ? delta : -delta));
  if (!control->CanResize(width, height)) return;
  control->SetBounds(control->Left(), control->Top(), width, height);
}

void TSplitter::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  FDragging = true;
  const QPoint global = event->globalPosition().toPoint();
  FDragStart = Vertical() ? global.y() : global.x();
  FDragSize = 0;
}

void TSplitter::mouseMoveEvent(QMouseEvent* event) {
  if (!FDragging) return;
  const QPoint global = event->globalPosition().toPoint();
  const int position = Vertical() ? global.y() : global.x();
  const int delta = position - FDragStart;
  if (delta == 0) return;
  Guarded([&] { DragBy(delta); });
  FDragStart = position;
}

void TSplitter::mouseReleaseEvent(QMouseEvent*) {
  FDragging = false;
}

// ---- TScrollBox

TScrollBox::TScrollBox(TComponent* owner, TControl* parent)
    : TWidgetControl<QAbstractScrollArea>(owner, parent) {
  setFrameShape(QFrame::StyledPanel);
  resize(185, 41);
}

void TScrollBox::SetAutoScroll(bool autoScroll) {
  FAutoScroll = autoScroll;
  ClientChanged();
}

void TScrollBox::ClientChanged() {
  if (FUpdating) return;
  FUpdating = true;
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    if (!child->Visible()) continue;
    right = std::max(right, child->Left() + child->Width());
    bottom = std::max(bottom, child->Top() + child->Height());
  }
  const Qt::ScrollBarPolicy policy = FAutoScroll ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
  setHorizontalScrollBarPolicy(policy);
  setVerticalScrollBarPolicy(policy);
  // The viewport's size as it will be (also before the box was ever shown): the room without scroll
  // bars, less the bars that the content needs.
  QSize room = maximumViewportSize();
  if (FAutoScroll) {
    bool needX = right > room.width();
    const bool needY = bottom > room.height() - (needX ? horizontalScrollBar()->sizeHint().height() : 0);
    if (needY) room.rwidth() -= verticalScrollBar()->sizeHint().width();
    needX = right > room.width();
    if (needX) room.rheight() -= horizontalScrollBar()->sizeHint().height();
  }
  const int rangeX = FAutoScroll ? std::max(0, right - room.width()) : 0;
  const int rangeY = FAutoScroll ? std::max(0, bottom - room.height()) : 0;
  horizontalScrollBar()->setRange(0, rangeX);
  horizontalScrollBar()->setPageStep(room.width());
  verticalScrollBar()->setRange(0, rangeY);
  verticalScrollBar()->setPageStep(room.height());
  FUpdating = false;
  ApplyOffset();
}

void TScrollBox::ApplyOffset() {
  const int newX = horizontalScrollBar()->value();
  const int newY = verticalScrollBar()->value();
  const int dx = FOffsetX - newX;
  const int dy = FOffsetY - newY;
  if (dx == 0 && dy == 0) return;
  FOffsetX = newX;
  FOffsetY = newY;
  for (int i = 0; i < ControlCount(); ++i)
    if (QWidget* widget = Controls(i)->Widget()) widget->move(widget->x() + dx, widget->y() + dy);
}

void TScrollBox::scrollContentsBy(int, int) {
  ApplyOffset();
}

void TScrollBox::resizeEvent(QResizeEvent* event) {
  TWidgetControl<QAbstractScrollArea>::resizeEvent(event);
  Guarded([this] { ClientChanged(); });
}
