#include "toolkit/ui/coolbar.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kBandGap = 4;

}  // namespace

TCoolBar::TCoolBar(TComponent* owner, TControl* parent) : TWidgetControl<QFrame>(owner, parent) {
  setFrameShape(QFrame::StyledPanel);
  resize(150, 32);
}

void TCoolBar::Realign() {
  std::vector<TControl*> bands;
  for (int i = 0; i < ControlCount(); ++i)
    if (Controls(i)->Visible() && Controls(i)->Widget()) bands.push_back(Controls(i));
  int x = kBandGap;
  for (size_t i = 0; i < bands.size(); ++i) {
    TControl* band = bands[i];
    const bool last = i + 1 == bands.size();
    const int w = last ? std::max(0, width() - x - kBandGap) : FBandWidths[band];
    const int h = std::min(band->Height(), height());
    band->Widget()->setGeometry(x, (height() - h) / 2, w, h);
    x += w + kBandGap;
  }
}

void TCoolBar::ChildChanged(TControl* child) {
  // The width a band is given is its own; stretching the last band (done here, not through its
  // bounds) leaves it alone.
  FBandWidths[child] = child->Width();
  Realign();
}

void TCoolBar::RemoveChild(TControl* child) {
  FBandWidths.erase(child);
  TWidgetControl<QFrame>::RemoveChild(child);
}
