#include "toolkit/ui/component.h"

#include <strings.h>
#include <algorithm>

#include <QPalette>
#include <QWidget>

#include "toolkit/ui/guarded.h"

// ---- TComponent

TComponent::TComponent(TComponent* owner) : FOwner(owner) {
  if (FOwner) FOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  for (TComponent* component : FComponents) component->FOwner = nullptr;
  if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::SetName(const std::string& name) {
  FName = name;
  if (FObject) FObject->setObjectName(QString::fromStdString(name));
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) return nullptr;
  return FComponents[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* component : FComponents)
    if (strcasecmp(component->Name().c_str(), name.c_str()) == 0) return component;
  return nullptr;
}

void TComponent::AttachObject(QObject* object) {
  FObject = object;
  if (FObject && !FName.empty()) FObject->setObjectName(QString::fromStdString(FName));
}

void TComponent::InsertComponent(TComponent* component) {
  FComponents.push_back(component);
}

void TComponent::RemoveComponent(TComponent* component) {
  std::erase(FComponents, component);
}

// ---- TControl

TControl::TControl(TComponent* owner, TControl* parent) : TComponent(owner), FParent(parent) {}

TControl::~TControl() {
  for (TControl* child : FControls) child->FParent = nullptr;
  if (FParent) std::erase(FParent->FControls, this);
}

void TControl::AttachWidget(QWidget* widget) {
  FWidget = widget;
  AttachObject(widget);
  if (FParent) {
    TControl* parent = FParent;
    FParent = nullptr;
    SetParent(parent);
  }
}

void TControl::SetParent(TControl* parent) {
  if (parent == FParent) return;
  if (FParent) FParent->RemoveChild(this);
  FParent = parent;
  if (FParent && FWidget) FParent->InsertChild(this);
}

TControl* TControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) return nullptr;
  return FControls[static_cast<size_t>(index)];
}

void TControl::InsertChild(TControl* child) {
  FControls.push_back(child);
  if (QWidget* client = ClientWidget()) {
    child->Widget()->setParent(client);
    child->Widget()->setVisible(child->FVisible);
  }
  ChildChanged(child);
}

void TControl::RemoveChild(TControl* child) {
  std::erase(FControls, child);
  if (child->Widget()) child->Widget()->setParent(nullptr);
  Realign();
  ClientChanged();
}

int TControl::Left() const {
  return FWidget ? FWidget->x() + (FParent ? FParent->ScrollOffsetX() : 0) : 0;
}
int TControl::Top() const {
  return FWidget ? FWidget->y() + (FParent ? FParent->ScrollOffsetY() : 0) : 0;
}
int TControl::Width() const {
  return FWidget ? FWidget->width() : 0;
}
int TControl::Height() const {
  return FWidget ? FWidget->height() : 0;
}
int TControl::ClientWidth() const {
  return ClientWidget() ? ClientWidget()->width() : 0;
}
int TControl::ClientHeight() const {
  return ClientWidget() ? ClientWidget()->height() : 0;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (!FWidget) return;
  const int offsetX = FParent ? FParent->ScrollOffsetX() : 0;
  const int offsetY = FParent ? FParent->ScrollOffsetY() : 0;
  FWidget->setGeometry(left - offsetX, top - offsetY, std::max(width, 0), std::max(height, 0));
  if (FParent) FParent->ChildChanged(this);
}

void TControl::SetAlign(TAlign align) {
  FAlign = align;
  if (FParent) FParent->Realign();
}

void TControl::SetVisible(bool visible) {
  FVisible = visible;
  if (FWidget) FWidget->setVisible(visible);
  if (FParent) FParent->ChildChanged(this);
}

void TControl::SetEnabled(bool enabled) {
  FEnabled = enabled;
  if (FWidget) FWidget->setEnabled(enabled);
}

void TControl::SetColor(TColor color) {
  FColor = color;
  if (!FWidget) return;
  QPalette palette = FWidget->palette();
  if (color >= 0) {
    const QColor qcolor(GetRValue(color), GetGValue(color), GetBValue(color));
    palette.setColor(QPalette::Base, qcolor);
    palette.setColor(QPalette::Window, qcolor);
  } else {
    palette = QPalette();
  }
  FWidget->setPalette(palette);
  FWidget->update();
}

void TControl::SetHint(const std::string& hint) {
  TComponent::SetHint(hint);
  if (FWidget) FWidget->setToolTip(QString::fromStdString(hint));
}

void TControl::Invalidate() {
  if (FWidget) FWidget->update();
}

void TControl::Update() {
  if (FWidget) FWidget->repaint();
}

void TControl::SetFocus() {
  if (FWidget) FWidget->setFocus(Qt::OtherFocusReason);
}

bool TControl::Focused() const {
  return FWidget && FWidget->hasFocus();
}

intptr_t TControl::Perform(unsigned, intptr_t, intptr_t) {
  return 0;
}

void TControl::ClientChanged() {}

void TControl::ChildChanged(TControl* child) {
  if (child->Align() != TAlign::alNone) Realign();
  ClientChanged();
}

bool TControl::CanResize(int&, int&) {
  return true;
}

void TControl::WidgetResized() {
  Guarded([this] {
    Realign();
    ClientChanged();
    if (OnResize) OnResize(this);
  });
}

void TControl::EnableAlign() {
  if (FAlignDisabled > 0 && --FAlignDisabled == 0) {
    Realign();
    ClientChanged();
  }
}

void TControl::Realign() {
  QWidget* client = ClientWidget();
  if (!client || FRealigning || FAlignDisabled > 0) return;
  FRealigning = true;
  int left = 0, top = 0, right = client->width(), bottom = client->height();
  auto place = [](TControl* control, int x, int y, int w, int h) {
    control->Widget()->setGeometry(x, y, std::max(w, 0), std::max(h, 0));
  };
  for (TAlign pass : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    // Controls of one alignment keep their order on screen (child order between equals).
    std::vector<TControl*> group;
    for (TControl* child : FControls)
      if (child->FAlign == pass && child->FVisible && child->Widget()) group.push_back(child);
    std::stable_sort(group.begin(), group.end(), [pass](TControl* a, TControl* b) {
      switch (pass) {
        case TAlign::alTop:
          return a->Top() < b->Top();
        case TAlign::alBottom:
          return a->Top() + a->Height() > b->Top() + b->Height();
        case TAlign::alLeft:
          return a->Left() < b->Left();
        case TAlign::alRight:
          return a->Left() + a->Width() > b->Left() + b->Width();
        default:
          return false;
      }
    });
    for (TControl* child : group) {
      const int w = child->Width();
      const int h = child->Height();
      switch (pass) {
        case TAlign::alTop:
          place(child, left, top, right - left, h);
          top += h;
          break;
        case TAlign::alBottom:
          place(child, left, bottom - h, right - left, h);
          bottom -= h;
          break;
        case TAlign::alLeft:
          place(child, left, top, w, bottom - top);
          left += w;
          break;
        case TAlign::alRight:
          place(child, right - w, top, w, bottom - top);
          right -= w;
          break;
        case TAlign::alClient:
          place(child, left, top, right - left, bottom - top);
          break;
        case TAlign::alNone:
          break;
      }
    }
  }
  FRealigning = false;
}
