#pragma once
// Menus as named actions. A TMenuItem is a QAction (with a QMenu once it has items of its own) and a
// component owned by its window. Shortcuts are the window's own business: they are shown in the menu
// text and dispatched by the window's key handling (TCustomForm::DispatchKey), never registered with
// Qt, so a key runs one command only.

#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QMenuBar>
#include <QPointer>

#include "toolkit/ui/nonvisual.h"

class QMenu;
class QMenuBar;
class QWidget;
class TImageList;
class TMenu;

class TMenuItem : public QAction, public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  // The caption keeps its '&' accelerators ("&&" for a plain "&"); "-" makes a separator.
  std::string Caption() const override { return FCaption; }
  void SetCaption(const std::string& caption) override;
  void SetHint(const std::string& hint) override;

  bool Checked() const { return FChecked; }
  void SetChecked(bool checked);
  // A click toggles the check mark itself.
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool autoCheck);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool radioItem);
  int GroupIndex = 0;
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut shortCut);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int index);

  // Leaf items: runs when chosen. Items with a submenu: runs when the submenu opens.
  TNotifyEvent OnClick;
  // Toggles an auto-check item, then runs OnClick.
  void Click();

  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int index) const;
  TMenuItem* Parent() const { return FParent; }
  int MenuIndex() const;
  // The submenu (null while the item has no items).
  QMenu* SubMenu() const { return FSubMenu.get(); }

  // Runs the enabled, visible leaf item with this shortcut, searching the submenus of enabled items;
  // false when none has it.
  bool DispatchShortCut(TShortCut shortCut);

 private:
  friend class TMenu;
  friend class TMainMenu;
  void UpdateText();
  void SyncChecked();
  QWidget* Container();
  const TMenu* OwningMenu() const;

  std::string FCaption;
  bool FChecked = false;
  bool FAutoCheck = false;
  bool FRadioItem = false;
  TShortCut FShortCut = 0;
  bool FEnabled = true;
  bool FVisible = true;
  int FImageIndex = -1;
  TMenuItem* FParent = nullptr;
  std::vector<TMenuItem*> FItems;
  std::unique_ptr<QMenu> FSubMenu;
  QMenuBar* FMenuBar = nullptr;  // the root item of a main menu puts its items here
  TMenu* FMenu = nullptr;        // set on root items
};

class TMenu : public TNonVisualComponent {
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  // The root item; its items are the menu's top row.
  TMenuItem* Items() const { return FItems; }
  TImageList* Images = nullptr;

 protected:
  TMenuItem* FItems;
};

// The menu bar of a window; made with a window as owner, it becomes that window's menu.
class TMainMenu : public TMenu {
 public:
  explicit TMainMenu(TComponent* owner);
  ~TMainMenu() override;
  QMenuBar* MenuBar() const { return FMenuBar; }
  bool DispatchShortCut(TShortCut shortCut) { return FItems->DispatchShortCut(shortCut); }

 private:
  QPointer<QMenuBar> FMenuBar;
};

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* owner);
  // Shows the menu at the screen position.
  void Popup(int x, int y);
  TNotifyEvent OnPopup;
};
