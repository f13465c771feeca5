#pragma once
// A cool bar: its bands (the controls placed on it) side by side from left to right in child order,
// each as wide as the control was when placed, the last one taking the rest of the bar.

#include <map>

#include <QFrame>

#include "toolkit/ui/component.h"

class TCoolBar : public TWidgetControl<QFrame> {
 public:
  TCoolBar(TComponent* owner, TControl* parent);
  void Realign() override;
  void ChildChanged(TControl* child) override;

 protected:
  void RemoveChild(TControl* child) override;

 private:
  std::map<const TControl*, int> FBandWidths;
};
