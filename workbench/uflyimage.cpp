#include "workbench/uflyimage.h"

#include "toolkit/ui/guarded.h"

void tFlyImage::enterEvent(QEnterEvent* event) {
  TImage::enterEvent(event);
  Guarded([this] {
    if (onMouseEnter) onMouseEnter();
  });
}

void tFlyImage::leaveEvent(QEvent* event) {
  TImage::leaveEvent(event);
  Guarded([this] {
    if (onMouseLeave) onMouseLeave();
  });
}
