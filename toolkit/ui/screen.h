#pragma once
// The screen object: the program's windows in creation order, the active window (kept by the window
// layer itself: set when a window is activated or shown), and the cursor.

#include <vector>

#include "toolkit/ui/ui_types.h"

class TCustomForm;

class TScreen {
 public:
  int FormCount() const { return static_cast<int>(FForms.size()); }
  TCustomForm* Forms(int index) const;

  TCustomForm* ActiveForm() const { return FActiveForm; }
  void SetActiveForm(TCustomForm* form) { FActiveForm = form; }

  // The windows from the one shown or activated last to the first: the order in which they stand
  // above one another within their layer.
  const std::vector<TCustomForm*>& FrontToBack() const { return FFrontToBack; }
  void BringToFront(TCustomForm* form);
  // The visible window that stays on top and was shown or activated last; none when none is shown.
  TCustomForm* TopmostStayOnTopForm() const;

  // crHourGlass shows the busy cursor over the whole application; crDefault restores the normal one.
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor);

  // Called by the windows themselves.
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);

 private:
  std::vector<TCustomForm*> FForms;
  std::vector<TCustomForm*> FFrontToBack;
  TCustomForm* FActiveForm = nullptr;
  TCursor FCursor = crDefault;
};

extern TScreen* const Screen;
