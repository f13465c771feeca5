#pragma once
// The view's picture control: an image that reports the mouse entering and leaving it.

#include <functional>

#include "toolkit/ui/image.h"

using tproc = std::function<void()>;

class tFlyImage : public TImage {
 public:
  tFlyImage(TComponent* owner, TControl* parent) : TImage(owner, parent) {}

  tproc onMouseEnter;
  tproc onMouseLeave;

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
};
