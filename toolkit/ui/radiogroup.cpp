#include "toolkit/ui/radiogroup.h"

#include <algorithm>

#include <QGridLayout>
#include <QRadioButton>

#include "toolkit/core/string_list.h"
#include "toolkit/ui/guarded.h"

TRadioGroup::TRadioGroup(TComponent* owner, TControl* parent)
    : TWidgetControl<QGroupBox>(owner, parent), FItems(std::make_unique<TStringList>()) {
  resize(185, 105);
  FItems->OnChange = [this] { ItemsChanged(); };
  new QGridLayout(this);
  QObject::connect(&FButtons, &QButtonGroup::idClicked, this, [this](int id) {
    FItemIndex = id;
    Guarded([this] {
      if (OnClick) OnClick(this);
    });
  });
}

TRadioGroup::~TRadioGroup() = default;

void TRadioGroup::SetCaption(const std::string& caption) {
  FCaption = caption;
  setTitle(QString::fromStdString(caption));
}

void TRadioGroup::SetColumns(int columns) {
  FColumns = std::max(1, columns);
  ItemsChanged();
}

void TRadioGroup::SetItemIndex(int index) {
  FItemIndex = index >= 0 && index < FItems->Count() ? index : -1;
  if (FItemIndex >= 0) {
    FButtons.button(FItemIndex)->setChecked(true);
  } else if (QAbstractButton* checked = FButtons.checkedButton()) {
    FButtons.setExclusive(false);
    checked->setChecked(false);
    FButtons.setExclusive(true);
  }
}

void TRadioGroup::ItemsChanged() {
  for (QAbstractButton* button : FButtons.buttons()) {
    FButtons.removeButton(button);
    delete button;
  }
  auto* grid = static_cast<QGridLayout*>(layout());
  const int count = FItems->Count();
  const int rows = (count + FColumns - 1) / FColumns;
  for (int i = 0; i < count; ++i) {
    auto* button = new QRadioButton(QString::fromStdString(FItems->Get(i)), this);
    FButtons.addButton(button, i);
    grid->addWidget(button, i % rows, i / rows);
  }
  SetItemIndex(FItemIndex);
}
