#include "toolkit/ui/comctrls.h"

#include <algorithm>
#include <charconv>

#include <QToolButton>
#include <QVBoxLayout>

#include "toolkit/ui/guarded.h"
#include "toolkit/ui/stdctrls.h"

// ---- TTrackBar

TTrackBar::TTrackBar(TComponent* owner, TControl* parent) : TWidgetControl<QSlider>(owner, parent) {
  setOrientation(Qt::Horizontal);
  setTickPosition(QSlider::TicksBelow);
  setRange(0, 10);
  resize(150, 25);
  QObject::connect(this, &QSlider::valueChanged, this, [this] {
    Guarded([this] {
      if (OnChange) OnChange(this);
    });
  });
}

// ---- TUpDown

TUpDown::TUpDown(TComponent* owner, TControl* parent) : TWidgetControl<QWidget>(owner, parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  FUp = new QToolButton(this);
  FUp->setArrowType(Qt::UpArrow);
  FDown = new QToolButton(this);
  FDown->setArrowType(Qt::DownArrow);
  for (QToolButton* button : {FUp, FDown}) {
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(button);
  }
  QObject::connect(FUp, &QToolButton::clicked, this, [this] { Guarded([this] { Step(1); }); });
  QObject::connect(FDown, &QToolButton::clicked, this, [this] { Guarded([this] { Step(-1); }); });
  resize(16, 21);
}

void TUpDown::SetMin(int value) {
  FMin = value;
  FPosition = std::clamp(FPosition, std::min(FMin, FMax), std::max(FMin, FMax));
}

void TUpDown::SetMax(int value) {
  FMax = value;
  FPosition = std::clamp(FPosition, std::min(FMin, FMax), std::max(FMin, FMax));
}

int TUpDown::Position() const {
  if (FAssociate && FAssociateAlive) {
    const std::string text = FAssociate->Text();
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc() && end == text.data() + text.size() && !text.empty())
      FPosition = std::clamp(value, std::min(FMin, FMax), std::max(FMin, FMax));
  }
  return FPosition;
}

void TUpDown::SetPosition(int position) {
  FPosition = std::clamp(position, std::min(FMin, FMax), std::max(FMin, FMax));
  WriteAssociate();
}

void TUpDown::SetAssociate(TEdit* edit) {
  FAssociate = edit;
  FAssociateAlive = edit;
  WriteAssociate();
}

void TUpDown::WriteAssociate() {
  if (FAssociate && FAssociateAlive) FAssociate->SetText(std::to_string(FPosition));
}

void TUpDown::Step(int direction) {
  int position = Position() + direction * Increment;
  if (position > FMax) position = Wrap ? FMin : FMax;
  if (position < FMin) position = Wrap ? FMax : FMin;
  if (OnChanging) OnChanging(this);
  SetPosition(position);
  if (OnClick) OnClick(this);
}
