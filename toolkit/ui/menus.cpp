#include "toolkit/ui/menus.h"

#include <algorithm>

#include <QCursor>
#include <QMenu>
#include <QMenuBar>

#include "toolkit/ui/forms.h"
#include "toolkit/ui/guarded.h"
#include "toolkit/ui/imglist.h"

// ---- TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : QAction(owner ? owner->Object() : nullptr), TComponent(owner) {
  AttachObject(this);
  QObject::connect(this, &QAction::triggered, this, [this] {
    Guarded([this] {
      SyncChecked();  // Qt toggled its own mark; ours decides
      Click();
    });
  });
}

TMenuItem::~TMenuItem() {
  for (TMenuItem* item : FItems) item->FParent = nullptr;
  if (FParent) std::erase(FParent->FItems, this);
}

void TMenuItem::SetCaption(const std::string& caption) {
  FCaption = caption;
  setSeparator(caption == "-");
  UpdateText();
}

void TMenuItem::SetHint(const std::string& hint) {
  TComponent::SetHint(hint);
  setStatusTip(QString::fromStdString(hint));
  // Menus show the tooltips set here, so only a hint makes one.
  setToolTip(QString::fromStdString(hint));
}

void TMenuItem::UpdateText() {
  // A separator with a text is drawn by some styles as a titled section: "-" stays a plain line.
  QString text = isSeparator() ? QString() : QString::fromStdString(FCaption);
  // Menu-bar entries show no shortcut; menu entries show it right-aligned after a tab.
  const bool inMenuBar = FParent && FParent->FMenuBar;
  const std::string shortCut = inMenuBar ? std::string() : ShortCutToText(FShortCut);
  if (!shortCut.empty()) text += '\t' + QString::fromStdString(shortCut);
  setText(text);
}

void TMenuItem::SyncChecked() {
  setCheckable(FChecked || FAutoCheck || FRadioItem);
  setChecked(FChecked);
}

void TMenuItem::SetChecked(bool checked) {
  if (FChecked == checked) return;
  FChecked = checked;
  SyncChecked();
  emit changed();
}

void TMenuItem::SetAutoCheck(bool autoCheck) {
  FAutoCheck = autoCheck;
  SyncChecked();
}

void TMenuItem::SetRadioItem(bool radioItem) {
  FRadioItem = radioItem;
  SyncChecked();
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
  FShortCut = shortCut;
  UpdateText();
}

void TMenuItem::SetEnabled(bool enabled) {
  FEnabled = enabled;
  QAction::setEnabled(enabled);
}

void TMenuItem::SetVisible(bool visible) {
  FVisible = visible;
  QAction::setVisible(visible);
}

void TMenuItem::SetImageIndex(int index) {
  FImageIndex = index;
  const TMenu* menu = OwningMenu();
  if (menu && menu->Images) setIcon(menu->Images->Icon(index));
}

const TMenu* TMenuItem::OwningMenu() const {
  const TMenuItem* item = this;
  while (item->FParent) item = item->FParent;
  return item->FMenu;
}

void TMenuItem::Click() {
  if (FAutoCheck) SetChecked(!FChecked);
  if (OnClick) OnClick(this);
}

QWidget* TMenuItem::Container() {
  if (FMenuBar) return FMenuBar;
  if (!FSubMenu) {
    FSubMenu = std::make_unique<QMenu>();
    FSubMenu->setTitle(QString::fromStdString(FCaption));
    FSubMenu->setToolTipsVisible(true);
    setMenu(FSubMenu.get());
    QObject::connect(FSubMenu.get(), &QMenu::aboutToShow, this, [this] {
      Guarded([this] {
        if (OnClick) OnClick(this);
      });
    });
  }
  return FSubMenu.get();
}

void TMenuItem::Add(TMenuItem* item) {
  Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item || item->FParent) return;
  index = std::clamp(index, 0, Count());
  QWidget* container = Container();
  QAction* before = index < Count() ? FItems[static_cast<size_t>(index)] : nullptr;
  container->insertAction(before, item);
  FItems.insert(FItems.begin() + index, item);
  item->FParent = this;
  item->UpdateText();
  if (item->FImageIndex >= 0) item->SetImageIndex(item->FImageIndex);
}

void TMenuItem::Remove(TMenuItem* item) {
  const auto found = std::find(FItems.begin(), FItems.end(), item);
  if (found == FItems.end()) return;
  FItems.erase(found);
  item->FParent = nullptr;
  item->UpdateText();
  if (FMenuBar) FMenuBar->removeAction(item);
  if (FSubMenu) FSubMenu->removeAction(item);
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return FItems[static_cast<size_t>(index)];
}

int TMenuItem::MenuIndex() const {
  if (!FParent) return -1;
  const auto found = std::find(FParent->FItems.begin(), FParent->FItems.end(), this);
  return static_cast<int>(found - FParent->FItems.begin());
}

bool TMenuItem::DispatchShortCut(TShortCut shortCut) {
  if (shortCut == 0) return false;
  for (TMenuItem* item : FItems) {
    if (!item->FEnabled || !item->FVisible) continue;
    if (item->Count() > 0) {
      if (item->DispatchShortCut(shortCut)) return true;
    } else if (item->FShortCut == shortCut) {
      item->Click();
      return true;
    }
  }
  return false;
}

// ---- TMenu

TMenu::TMenu(TComponent* owner) : TNonVisualComponent(owner), FItems(new TMenuItem(nullptr)) {
  FItems->setParent(this);
  FItems->FMenu = this;
}

TMenu::~TMenu() = default;

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {
  auto* form = dynamic_cast<TCustomForm*>(owner);
  FMenuBar = new QMenuBar(form ? form->Widget() : nullptr);
  FItems->FMenuBar = FMenuBar;
  if (form) form->SetMenu(this);
}

TMainMenu::~TMainMenu() {
  if (FMenuBar && !FMenuBar->parent()) delete FMenuBar;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  if (QMenu* menu = FItems->Count() > 0 ? FItems->SubMenu() : nullptr) menu->popup(QPoint(x, y));
}
