#pragma once
// Tool bars and their buttons. A tool bar lays its child controls out from left to right in child
// order (buttons, separators, and any other control put on it).

#include <string>

#include <QPointer>
#include <QToolButton>
#include <QWidget>

#include "toolkit/ui/component.h"

class TImageList;
class TMenuItem;
class TPopupMenu;

class TToolBar : public TWidgetControl<QWidget> {
 public:
  TToolBar(TComponent* owner, TControl* parent);

  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* images);
  int Indent() const { return FIndent; }
  void SetIndent(int indent);
  int ButtonWidth = 23;
  int ButtonHeight = 22;
  // Shows the buttons' captions beside their glyphs.
  bool ShowCaptions = false;

  // A click on the bar's free area.
  TNotifyEvent OnClick;

  void Realign() override;
  void ChildChanged(TControl* child) override;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  TImageList* FImages = nullptr;
  int FIndent = 0;
};

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolButton : public TWidgetControl<QToolButton> {
 public:
  // The parent is the tool bar the button sits on.
  TToolButton(TComponent* owner, TToolBar* toolBar);

  std::string Caption() const override { return FCaption; }
  void SetCaption(const std::string& caption) override;
  void SetHint(const std::string& hint) override;

  TToolButtonStyle Style() const { return FStyle; }
  void SetStyle(TToolButtonStyle style);
  bool Down() const { return FDown; }
  void SetDown(bool down);
  // Check buttons: Grouped buttons next to each other release each other; AllowAllUp lets the last
  // down button of a group go up.
  bool AllowAllUp = false;
  bool Grouped = false;
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int index);
  void SetEnabled(bool enabled) override;

  // A button bound to a menu item takes its caption, hint (when it has one), glyph, enabled state and
  // check mark, runs the item's click instead of its own, and keeps mirroring the item's check mark and
  // enabled state.
  TMenuItem* MenuItem() const { return FMenuItem; }
  void SetMenuItem(TMenuItem* item);
  // A drop-down button opens this menu from its arrow (the button itself still clicks).
  void SetDropdownMenu(TPopupMenu* menu);
  // Opened by a right click on the button.
  void SetPopupMenu(TPopupMenu* menu);

  TNotifyEvent OnClick;
  // What a press does: a check button toggles (within its group's rules), then the menu item's click
  // or OnClick runs.
  void Click();

  // Refreshes the glyph from the tool bar's image list.
  void UpdateGlyph();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TToolBar* Bar() const;
  void ReleaseGroupNeighbours();
  void ShowDown();

  std::string FCaption;
  TToolButtonStyle FStyle = TToolButtonStyle::tbsButton;
  bool FDown = false;
  int FImageIndex = -1;
  QPointer<TMenuItem> FMenuItem;
  QPointer<TPopupMenu> FPopupMenu;
};
