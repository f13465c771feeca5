#pragma once
// A titled group of radio buttons, one per item, laid out in columns (the items fill the first column
// from top to bottom, then the next). Not a group box as far as the program's class tests go.

#include <memory>
#include <string>
#include <vector>

#include <QButtonGroup>
#include <QGroupBox>

#include "toolkit/core/string_list.h"
#include "toolkit/ui/component.h"

class TRadioGroup : public TWidgetControl<QGroupBox> {
 public:
  TRadioGroup(TComponent* owner, TControl* parent);
  ~TRadioGroup() override;

  std::string Caption() const override { return FCaption; }
  void SetCaption(const std::string& caption) override;
  TStringList& Items() { return *FItems; }
  void SetColumns(int columns);
  // The checked item (-1 for none); an index out of range checks none. Setting it runs no event.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int index);

  // A click on one of the buttons (after ItemIndex has moved to it).
  TNotifyEvent OnClick;

 private:
  // Rebuilds the buttons from the items.
  void ItemsChanged();

  std::string FCaption;
  std::unique_ptr<TStringList> FItems;
  QButtonGroup FButtons;
  int FColumns = 1;
  int FItemIndex = -1;
};
