#pragma once
// The component model the windows are written against. TComponent (name, owner, owned components,
// texts, hint) is a plain mixin that every Qt-based component class also inherits; TControl adds the
// parent control, the ordered list of child controls, bounds, alignment, visibility and colour.
//
// Ownership: every component is a QObject whose Qt parent is its owner's object (or its parent
// control's widget), so Qt frees it. The lists kept here never own; a component leaves its owner's
// and parent's lists when it goes, and an owner or parent that goes first forgets its members.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/graphics/types.h"
#include "toolkit/ui/ui_types.h"

class QObject;
class QResizeEvent;
class QWidget;

class TObject {
 public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;

// Binds a member handler of a window to an event hook: Event(this, &TFormMain::Quit1Click).
template <class Receiver>
TNotifyEvent Event(Receiver* receiver, void (Receiver::*method)(TObject*)) {
  return [receiver, method](TObject* sender) { (receiver->*method)(sender); };
}

class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // The name is also the Qt object name.
  const std::string& Name() const { return FName; }
  void SetName(const std::string& name);

  TComponent* Owner() const { return FOwner; }
  // Owned components in creation order.
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const;
  // Case-insensitive search among the owned components; null when none has the name.
  TComponent* FindComponent(const std::string& name) const;

  // The caption of captioned components, the text of edits; empty for the others.
  virtual std::string Caption() const { return {}; }
  virtual void SetCaption(const std::string&) {}
  virtual std::string Text() const { return Caption(); }
  virtual void SetText(const std::string& text) { SetCaption(text); }
  const std::string& Hint() const { return FHint; }
  virtual void SetHint(const std::string& hint) { FHint = hint; }

  int Tag = 0;

  // The Qt object behind the component (null until the Qt side is attached).
  QObject* Object() const { return FObject; }

 protected:
  // Called by the Qt-side class once its QObject exists; gives it the component's name.
  void AttachObject(QObject* object);

 private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  std::string FName;
  std::string FHint;
  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  QObject* FObject = nullptr;
};

class TControl : public TComponent {
 public:
  // parent may be null (forms, or a control placed later with SetParent).
  TControl(TComponent* owner, TControl* parent);
  ~TControl() override;

  QWidget* Widget() const { return FWidget; }
  // The widget that holds the child controls (the widget itself unless a window has a client area).
  virtual QWidget* ClientWidget() const { return FWidget; }

  TControl* Parent() const { return FParent; }
  void SetParent(TControl* parent);
  // Direct child controls, in the order they were placed.
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int index) const;

  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
  void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
  void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
  void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
  virtual void SetBounds(int left, int top, int width, int height);
  int ClientWidth() const;
  int ClientHeight() const;

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);

  virtual bool Visible() const { return FVisible; }
  virtual void SetVisible(bool visible);
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool enabled);
  // -1 is the widget's own colour.
  TColor Color() const { return FColor; }
  virtual void SetColor(TColor color);
  void SetHint(const std::string& hint) override;
  bool ShowHint = true;

  // Repaints later (after dropping what a control caches for painting).
  virtual void Invalidate();
  // Repaints now.
  void Update();
  void SetFocus();
  bool Focused() const;

  // Delivers a window message to the control; the default handles none and returns 0.
  virtual intptr_t Perform(unsigned message, intptr_t wParam, intptr_t lParam);

  TNotifyEvent OnResize;

  // Lays the aligned child controls out in the client area (alTop, alBottom, alLeft, alRight, then
  // alClient, each in child order).
  virtual void Realign();
  // While building a window: aligned children keep the bounds they are given until EnableAlign, which
  // lays them all out at once (by their positions, as a stored window description places them).
  void DisableAlign() { ++FAlignDisabled; }
  void EnableAlign();

  // Scroll offset of the client area (scroll boxes); child bounds are given in unscrolled terms.
  virtual int ScrollOffsetX() const { return 0; }
  virtual int ScrollOffsetY() const { return 0; }
  // The client widget changed size or scroll position.
  virtual void ClientChanged();
  // A child control changed its bounds, alignment or visibility.
  virtual void ChildChanged(TControl* child);
  // Asked before a splitter resizes the control; may change the new size or refuse.
  virtual bool CanResize(int& newWidth, int& newHeight);

 protected:
  // Called by the Qt-side class once its widget exists: names it and places it in its parent.
  void AttachWidget(QWidget* widget);
  // Puts a new child's widget into the client area; containers with a layout of their own override it.
  virtual void InsertChild(TControl* child);
  virtual void RemoveChild(TControl* child);
  // The widget was resized (from the widget's resize event).
  void WidgetResized();

 private:
  QWidget* FWidget = nullptr;
  TControl* FParent = nullptr;
  std::vector<TControl*> FControls;
  TAlign FAlign = TAlign::alNone;
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = -1;
  bool FRealigning = false;
  int FAlignDisabled = 0;
};

// The Qt side of a control: W is the Qt widget class it is built on.
template <class W>
class TWidgetControl : public W, public TControl {
 public:
  TWidgetControl(TComponent* owner, TControl* parent) : W(nullptr), TControl(owner, parent) {
    AttachWidget(this);
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    W::resizeEvent(event);
    WidgetResized();
  }
};
