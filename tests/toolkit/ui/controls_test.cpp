// The application's window list and loop, the scroll box, memo lines and combo items.
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/string_list.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/extctrls.h"
#include "toolkit/ui/stdctrls.h"

namespace {

class PlainForm : public TForm {
 public:
  explicit PlainForm(TComponent* owner) : TForm(owner) {
    OnCreate = [this](TObject*) { CreatedAsMain = Application->MainForm() == this; };
    OnDestroy = [](TObject*) { ++Destroyed; };
  }
  bool CreatedAsMain = false;
  static int Destroyed;
};
int PlainForm::Destroyed = 0;

TEST(ApplicationLoopTest, FirstWindowIsTheMainWindowAndClosingItEndsTheLoop) {
  PlainForm* first = nullptr;
  PlainForm* second = nullptr;
  Application->CreateForm(first);
  Application->CreateForm(second);
  EXPECT_EQ(Application->MainForm(), first);
  EXPECT_TRUE(first->CreatedAsMain);  // the variable and the main window are set before creation runs
  EXPECT_FALSE(second->CreatedAsMain);
  second->Show();
  QTimer::singleShot(0, first, [first] { first->Close(); });
  Application->Run();  // returns once the main window closed
  EXPECT_TRUE(Application->Terminated());
  EXPECT_FALSE(first->Visible());
  second->Hide();
  PlainForm::Destroyed = 0;
  Application->DestroyForms();
  EXPECT_EQ(PlainForm::Destroyed, 2);
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(ScrollBoxTest, ScrollRangeFollowsTheChildAndOffsetsItsPlace) {
  TScrollBox box(nullptr, nullptr);
  box.resize(200, 100);
  TPanel child(nullptr, &box);
  child.SetBounds(0, 0, 500, 300);
  EXPECT_GT(box.horizontalScrollBar()->maximum(), 0);
  EXPECT_GT(box.verticalScrollBar()->maximum(), 0);
  box.horizontalScrollBar()->setValue(40);
  EXPECT_EQ(child.Widget()->x(), -40);
  EXPECT_EQ(child.Left(), 0);  // bounds stay unscrolled
  // Without automatic scrolling there is no range and the child sits where it is told.
  box.SetAutoScroll(false);
  EXPECT_EQ(box.horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(child.Widget()->x(), 0);
  child.SetBounds(16, 2, 100, 50);
  EXPECT_EQ(child.Left(), 16);
  EXPECT_EQ(child.Widget()->x(), 16);
}

TEST(MemoTest, LinesAreAStringList) {
  TMemo memo(nullptr, nullptr);
  EXPECT_EQ(memo.Lines().Count(), 0);
  memo.Lines().Add("first");
  memo.Lines().Add("");
  memo.Lines().Add("third");
  EXPECT_EQ(memo.Lines().Count(), 3);
  EXPECT_EQ(memo.Lines().Strings(2), "third");
  memo.Lines().Put(1, "second");
  memo.Lines().Delete(0);
  EXPECT_EQ(memo.Text(), "second\nthird\n");  // every line ends with a line break
  EXPECT_THROW(memo.Lines().Strings(2), EListError);
  memo.Lines().Clear();
  EXPECT_EQ(memo.Lines().Count(), 0);
}

TEST(ComboBoxTest, ItemsAndIndex) {
  TComboBox combo(nullptr, nullptr);
  EXPECT_EQ(combo.ItemIndex(), -1);
  combo.Items().Add("*.bmp");
  combo.Items().Add("*.jpg");
  int tag = 3;
  combo.Items().PutObject(1, &tag);
  combo.SetItemIndex(1);
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(combo.Text(), "*.jpg");
  EXPECT_EQ(combo.Items().Objects(1), &tag);
  combo.SetItemIndex(7);
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_THROW(combo.Items().Delete(2), EListError);
}

TEST(ControlTest, HiddenAndDisabledAreTheControlsOwnFlags) {
  TPanel parent(nullptr, nullptr);
  TButton button(nullptr, &parent);
  parent.SetEnabled(false);
  EXPECT_TRUE(button.Enabled());
  EXPECT_TRUE(button.Visible());
  button.SetVisible(false);
  EXPECT_FALSE(button.Visible());
  button.SetCaption("&Apply");
  EXPECT_EQ(button.Caption(), "&Apply");
  button.SetHint("Applies");
  EXPECT_EQ(button.toolTip().toStdString(), "Applies");
}

}  // namespace
