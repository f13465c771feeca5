#pragma once
// Panels, splitters and the scroll box.

#include <functional>
#include <string>

#include <QAbstractScrollArea>
#include <QFrame>
#include <QWidget>

#include "toolkit/ui/component.h"

using TCanResizeEvent = std::function<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;

enum class TBevelCut { bvNone, bvLowered, bvRaised };

class TPanel : public TWidgetControl<QFrame> {
 public:
  TPanel(TComponent* owner, TControl* parent);
  std::string Caption() const override { return FCaption; }
  void SetCaption(const std::string& caption) override;
  void SetBevelOuter(TBevelCut bevel);
  TCanResizeEvent OnCanResize;
  bool CanResize(int& newWidth, int& newHeight) override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::string FCaption;
};

// A bar that the user drags to resize the control beside it (the aligned control it touches on the
// side of its own alignment).
class TSplitter : public TWidgetControl<QWidget> {
 public:
  TSplitter(TComponent* owner, TControl* parent);
  int MinSize = 30;
  // The control the splitter resizes (null when none touches it).
  TControl* ResizedControl() const;
  // Moves the splitter by delta pixels as a drag would (the resized control may adjust or refuse).
  void DragBy(int delta);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool Vertical() const;
  int FDragStart = 0;
  int FDragSize = 0;
  bool FDragging = false;
};

// Scrolls its child controls when they reach beyond it (with AutoScroll on); child bounds are given
// as if unscrolled.
class TScrollBox : public TWidgetControl<QAbstractScrollArea> {
 public:
  TScrollBox(TComponent* owner, TControl* parent);
  QWidget* ClientWidget() const override { return viewport(); }

  bool AutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool autoScroll);
  // Kept for the program's sake; Qt paints every widget double-buffered.
  bool DoubleBuffered = false;

  int ScrollOffsetX() const override { return FOffsetX; }
  int ScrollOffsetY() const override { return FOffsetY; }
  void ClientChanged() override;

 protected:
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ApplyOffset();
  bool FAutoScroll = true;
  int FOffsetX = 0;
  int FOffsetY = 0;
  bool FUpdating = false;
};
