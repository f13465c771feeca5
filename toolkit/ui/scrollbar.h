#pragma once
// The scroll bar control: a position between Min and Max that the user moves with the arrows, the
// track or the thumb. Every move is reported to OnScroll with its scroll code before it takes effect,
// and the handler may change the new position.

#include <functional>

#include <QScrollBar>

#include "toolkit/ui/component.h"

enum TScrollCode {
  scLineUp = 0,
  scLineDown = 1,
  scPageUp = 2,
  scPageDown = 3,
  scPosition = 4,  // the thumb was let go here
  scTrack = 5,     // the thumb is being dragged
  scTop = 6,
  scBottom = 7,
  scEndScroll = 8  // the mouse button or key that scrolled was released
};

using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TScrollBar : public TWidgetControl<QScrollBar> {
 public:
  TScrollBar(TComponent* owner, TControl* parent);

  int Min() const { return minimum(); }
  int Max() const { return maximum(); }
  int Position() const { return value(); }
  // Each goes through SetParams with the other two values as they are.
  void SetMin(int min) { SetParams(Position(), min, Max()); }
  void SetMax(int max) { SetParams(Position(), Min(), max); }
  void SetPosition(int position) { SetParams(position, Min(), Max()); }
  // Raises EInvalidOperation (SScrollBarRange) when max is below min; the position is kept inside the
  // range.
  void SetParams(int position, int min, int max);

  // Reports the move to OnScroll, then sets the position it leaves (as a user's move does).
  void Scroll(TScrollCode code, int position);

  TScrollEvent OnScroll;
  // The position changed, however it was changed.
  TNotifyEvent OnChange;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void ActionTriggered(int action);
  void EndScroll();
  bool FScrolling = false;  // a user's move is under way (its end is reported once)
};
