#include "toolkit/ui/scrollbar.h"

#include <algorithm>

#include "toolkit/core/exceptions.h"
#include "toolkit/ui/guarded.h"
#include "toolkit/ui/ui_messages.h"

TScrollBar::TScrollBar(TComponent* owner, TControl* parent) : TWidgetControl<QScrollBar>(owner, parent) {
  setOrientation(Qt::Horizontal);
  setRange(0, 100);
  resize(121, 16);
  QObject::connect(this, &QAbstractSlider::actionTriggered, this,
                   [this](int action) { Guarded([&] { ActionTriggered(action); }); });
  QObject::connect(this, &QAbstractSlider::sliderReleased, this,
                   [this] { Guarded([this] { Scroll(scPosition, sliderPosition()); }); });
  QObject::connect(this, &QAbstractSlider::valueChanged, this, [this] {
    Guarded([this] {
      if (OnChange) OnChange(this);
    });
  });
}

void TScrollBar::SetParams(int position, int min, int max) {
  if (max < min) throw EInvalidOperation(SScrollBarRange);
  setRange(min, max);
  setValue(std::clamp(position, min, max));
}

void TScrollBar::Scroll(TScrollCode code, int position) {
  int newPosition = position;
  if (OnScroll) OnScroll(this, code, newPosition);
  SetPosition(newPosition);
}

void TScrollBar::ActionTriggered(int action) {
  TScrollCode code;
  switch (action) {
    case SliderSingleStepAdd:
      code = scLineDown;
      break;
    case SliderSingleStepSub:
      code = scLineUp;
      break;
    case SliderPageStepAdd:
      code = scPageDown;
      break;
    case SliderPageStepSub:
      code = scPageUp;
      break;
    case SliderToMinimum:
      code = scTop;
      break;
    case SliderToMaximum:
      code = scBottom;
      break;
    case SliderMove:
      code = scTrack;
      break;
    default:
      return;
  }
  FScrolling = true;
  // Qt applies the slider position after this signal: the handler's choice goes there.
  int newPosition = std::clamp(sliderPosition(), Min(), Max());
  if (OnScroll) OnScroll(this, code, newPosition);
  setSliderPosition(std::clamp(newPosition, Min(), Max()));
}

void TScrollBar::EndScroll() {
  if (!FScrolling) return;
  FScrolling = false;
  Scroll(scEndScroll, Position());
}

void TScrollBar::mouseReleaseEvent(QMouseEvent* event) {
  QScrollBar::mouseReleaseEvent(event);
  Guarded([this] { EndScroll(); });
}

void TScrollBar::keyReleaseEvent(QKeyEvent* event) {
  QScrollBar::keyReleaseEvent(event);
  Guarded([this] { EndScroll(); });
}
