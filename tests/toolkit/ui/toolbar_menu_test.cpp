// Menu items as actions and tool buttons bound to them; status bar, track bar and up-down.
#include <gtest/gtest.h>

#include "toolkit/core/exceptions.h"
#include "toolkit/ui/comctrls.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/imglist.h"
#include "toolkit/ui/menus.h"
#include "toolkit/ui/statusbar.h"
#include "toolkit/ui/stdctrls.h"
#include "toolkit/ui/toolbar.h"

namespace {

class BarForm : public TForm {
 public:
  explicit BarForm(TComponent* owner) : TForm(owner) {
    Bar = new TToolBar(this, this);
    Bar->SetAlign(TAlign::alTop);
    Item = new TMenuItem(this);
    Item->SetName("ViewResult1");
    Item->SetCaption("Show Result...");
    Item->SetHint("Show the result");
    Item->SetRadioItem(true);
    Button = new TToolButton(this, Bar);
    Button->SetName("ToolButton1");
    Button->SetStyle(TToolButtonStyle::tbsCheck);
    Button->SetMenuItem(Item);
  }
  TToolBar* Bar;
  TMenuItem* Item;
  TToolButton* Button;
};

TEST(ToolButtonTest, BoundButtonMirrorsTheItemAndRunsItsHandlerOnce) {
  auto form = NewForm<BarForm>(nullptr);
  EXPECT_EQ(form->Button->Caption(), "Show Result...");
  EXPECT_EQ(form->Button->Hint(), "Show the result");
  int runs = 0;
  int ownRuns = 0;
  form->Button->OnClick = [&](TObject*) { ++ownRuns; };
  // The handler toggles the item's check mark, as the result viewer does.
  form->Item->OnClick = [&](TObject*) {
    ++runs;
    form->Item->SetChecked(!form->Item->Checked());
  };
  form->Button->click();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(ownRuns, 0);
  EXPECT_TRUE(form->Item->Checked());
  EXPECT_TRUE(form->Button->Down());
  form->Button->click();
  EXPECT_EQ(runs, 2);
  EXPECT_FALSE(form->Button->Down());
  // Changing the item alone moves the button too.
  form->Item->SetChecked(true);
  EXPECT_TRUE(form->Button->Down());
  EXPECT_TRUE(form->Button->isChecked());
  form->Item->SetEnabled(false);
  EXPECT_FALSE(form->Button->Enabled());
}

TEST(ToolButtonTest, CheckButtonsToggleAndGroupedOnesReleaseEachOther) {
  auto form = NewForm<BarForm>(nullptr);
  auto* a = new TToolButton(form.get(), form->Bar);
  auto* b = new TToolButton(form.get(), form->Bar);
  for (TToolButton* button : {a, b}) {
    button->SetStyle(TToolButtonStyle::tbsCheck);
    button->Grouped = true;
  }
  a->Click();
  EXPECT_TRUE(a->Down());
  b->Click();
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  b->Click();  // the last down button of a group stays down
  EXPECT_TRUE(b->Down());
  b->AllowAllUp = true;
  b->Click();
  EXPECT_FALSE(b->Down());
  // A plain check button simply toggles; a button press keeps Down as set.
  auto* plain = new TToolButton(form.get(), form->Bar);
  plain->SetStyle(TToolButtonStyle::tbsCheck);
  plain->Click();
  plain->Click();
  EXPECT_FALSE(plain->Down());
  auto* push = new TToolButton(form.get(), form->Bar);
  push->SetDown(true);
  push->Click();
  EXPECT_TRUE(push->Down());
}

TEST(ToolButtonTest, ToolBarLaysButtonsOutFromItsIndent) {
  auto form = NewForm<BarForm>(nullptr);
  form->Bar->SetIndent(5);
  auto* separator = new TToolButton(form.get(), form->Bar);
  separator->SetStyle(TToolButtonStyle::tbsSeparator);
  auto* last = new TToolButton(form.get(), form->Bar);
  form->Bar->Realign();
  EXPECT_EQ(form->Button->Left(), 5);
  EXPECT_EQ(separator->Left(), 5 + 23);
  EXPECT_EQ(last->Left(), 5 + 23 + 8);
  EXPECT_FALSE(separator->isEnabled());
}

TEST(MenuItemTest, AutoCheckAndSubmenus) {
  TMenuItem root(nullptr);
  TMenuItem sort(nullptr);
  sort.SetCaption("Sort Left List (ascending)");
  sort.SetAutoCheck(true);
  std::vector<bool> seen;
  sort.OnClick = [&](TObject*) { seen.push_back(sort.Checked()); };
  root.Add(&sort);
  sort.trigger();
  sort.trigger();
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  // A plain item keeps its mark when chosen.
  TMenuItem plain(nullptr);
  plain.SetChecked(true);
  root.Add(&plain);
  plain.trigger();
  EXPECT_TRUE(plain.Checked());
  EXPECT_TRUE(plain.isChecked());
  EXPECT_EQ(root.Count(), 2);
  EXPECT_EQ(plain.MenuIndex(), 1);
  ASSERT_NE(root.SubMenu(), nullptr);
  // Opening the submenu runs the parent's click.
  int opened = 0;
  root.OnClick = [&](TObject*) { ++opened; };
  emit root.SubMenu()->aboutToShow();
  EXPECT_EQ(opened, 1);
  TMenuItem separator(nullptr);
  separator.SetCaption("-");
  EXPECT_TRUE(separator.isSeparator());
}

TEST(StatusBarTest, PanelsAndFont) {
  TStatusBar bar(nullptr, nullptr);
  bar.AddPanel().SetWidth(200);
  bar.AddPanel().SetWidth(300);
  bar.AddPanel().SetWidth(50);
  bar.Panels(0).SetText("5/10");
  bar.Font.Color = clRed;
  bar.Font.Italic = true;
  EXPECT_EQ(bar.Panels(0).Text(), "5/10");
  EXPECT_EQ(bar.Panels(2).Width(), 50);
  EXPECT_THROW(bar.Panels(3), EListError);
  bar.resize(600, 19);
  const QImage image = bar.grab().toImage();  // paints without trouble
  EXPECT_FALSE(image.isNull());
}

TEST(TrackBarTest, PositionChangesRunTheHandler) {
  TTrackBar bar(nullptr, nullptr);
  bar.SetRange(1, 100);
  int changes = 0;
  bar.OnChange = [&](TObject*) { ++changes; };
  bar.SetPosition(50);
  bar.SetPosition(50);
  bar.SetPosition(500);
  EXPECT_EQ(bar.Position(), 100);
  EXPECT_EQ(changes, 2);
}

TEST(UpDownTest, PositionIsClampedAndWrittenToTheEdit) {
  TEdit edit(nullptr, nullptr);
  TUpDown upDown(nullptr, nullptr);
  upDown.SetMin(-1);
  upDown.SetMax(10);
  upDown.SetAssociate(&edit);
  upDown.SetPosition(4);
  EXPECT_EQ(edit.Text(), "4");
  upDown.SetPosition(12);
  EXPECT_EQ(upDown.Position(), 10);
  EXPECT_EQ(edit.Text(), "10");
  // A number typed into the edit is read back (clamped); other text leaves the position.
  edit.SetText("-5");
  EXPECT_EQ(upDown.Position(), -1);
  edit.SetText("abc");
  EXPECT_EQ(upDown.Position(), -1);
}

TEST(ImageListTest, IconsByIndex) {
  TImageList list(nullptr);
  EXPECT_EQ(list.Add(QIcon()), 0);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_TRUE(list.Icon(5).isNull());
}

}  // namespace
