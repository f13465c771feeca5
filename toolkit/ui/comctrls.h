#pragma once
// Track bar and up-down control.

#include <QPointer>
#include <QSlider>
#include <QWidget>

#include "toolkit/ui/component.h"

class QToolButton;
class TEdit;

class TTrackBar : public TWidgetControl<QSlider> {
 public:
  TTrackBar(TComponent* owner, TControl* parent);

  int Min() const { return minimum(); }
  int Max() const { return maximum(); }
  void SetMin(int value) { setMinimum(value); }
  void SetMax(int value) { setMaximum(value); }
  void SetRange(int min, int max) { setRange(min, max); }
  int Position() const { return value(); }
  // Runs OnChange when the position changes.
  void SetPosition(int position) { setValue(position); }
  int Frequency() const { return tickInterval(); }
  void SetFrequency(int frequency) { setTickInterval(frequency); }

  TNotifyEvent OnChange;
};

// Two arrows that step a position between Min and Max and write it into the associated edit. The
// position is the control's own; typing in the edit changes it only when the text is a whole number
// (clamped to the range), as the common control reads its buddy's text.
class TUpDown : public TWidgetControl<QWidget> {
 public:
  TUpDown(TComponent* owner, TControl* parent);

  int Min() const { return FMin; }
  int Max() const { return FMax; }
  void SetMin(int value);
  void SetMax(int value);
  int Position() const;
  void SetPosition(int position);
  int Increment = 1;
  bool Wrap = false;
  TEdit* Associate() const { return FAssociate; }
  void SetAssociate(TEdit* edit);

  TNotifyEvent OnChanging;
  TNotifyEvent OnClick;

 private:
  void Step(int direction);
  void WriteAssociate();

  int FMin = 0;
  int FMax = 100;
  mutable int FPosition = 0;
  TEdit* FAssociate = nullptr;
  QPointer<QObject> FAssociateAlive;
  QToolButton* FUp;
  QToolButton* FDown;
};
