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

}  // namespace
