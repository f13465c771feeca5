// The check list: marks that travel with their entries, sorting, selection and owner drawing.
#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include "toolkit/core/exceptions.h"
#include "toolkit/ui/checklst.h"

namespace {

class CheckListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    List.resize(200, 120);
    List.SetMultiSelect(true);
  }
  // Adds the texts, every entry checked and enabled as the program adds them.
  void Fill(std::initializer_list<const char*> texts) {
    for (const char* text : texts) {
      const int index = List.Items().Add(text);
      List.SetChecked(index, true);
    }
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (int i = 0; i < List.Count(); ++i) texts.push_back(List.Items().Strings(i));
    return texts;
  }
  void Press(int index, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int x = 40) {
    const QPointF pos(x, List.ItemHeight() * index + 4);
    QMouseEvent event(QEvent::MouseButtonPress, pos, List.viewport()->mapToGlobal(pos), Qt::LeftButton,
                      Qt::LeftButton, modifiers);
    QApplication::sendEvent(List.viewport(), &event);
  }

  TCheckListBox List{nullptr, nullptr};
};

TEST_F(CheckListTest, ExchangeCarriesEveryMarkAndTheHighlightFollows) {
  Fill({"/p/a.bmp", "/p/b.bmp", "/p/c.bmp"});
  int object = 7;
  List.Items().PutObject(0, &object);
  List.SetChecked(0, false);
  List.SetItemEnabled(0, false);
  List.SetSelected(0, true);
  List.SetItemIndex(0);

  List.Items().Exchange(0, 2);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"/p/c.bmp", "/p/b.bmp", "/p/a.bmp"}));
  EXPECT_FALSE(List.Checked(2));
  EXPECT_FALSE(List.ItemEnabled(2));
  EXPECT_TRUE(List.Selected(2));
  EXPECT_EQ(List.Items().Objects(2), &object);
  EXPECT_TRUE(List.Checked(0));
  EXPECT_TRUE(List.ItemEnabled(0));
  EXPECT_FALSE(List.Selected(0));
  EXPECT_EQ(List.ItemIndex(), 2);
}

TEST_F(CheckListTest, SortedListsInsertInOrderIgnoringCase) {
  Fill({"/x/c.bmp", "/x/A.bmp", "/x/b.bmp"});
  List.SetChecked(1, false);  // "/x/A.bmp"
  List.SetItemIndex(0);       // "/x/c.bmp"
  List.SetSorted(true);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"/x/A.bmp", "/x/b.bmp", "/x/c.bmp"}));
  EXPECT_FALSE(List.Checked(0));
  EXPECT_EQ(List.ItemIndex(), 2);
  EXPECT_EQ(List.Items().Add("/x/B.bmp"), 2);  // after the equal "/x/b.bmp"
  EXPECT_EQ(List.Items().Add("/x/0.bmp"), 0);
  EXPECT_EQ(List.Items().Add("/x/z.bmp"), 5);
  EXPECT_EQ(List.ItemIndex(), 4);  // still "/x/c.bmp"
  EXPECT_EQ(List.Items().Strings(4), "/x/c.bmp");
  // A new entry starts unchecked and enabled.
  EXPECT_FALSE(List.Checked(5));
  EXPECT_TRUE(List.ItemEnabled(5));
  EXPECT_EQ(List.Items().IndexOf("/X/Z.BMP"), 5);
}

TEST_F(CheckListTest, DisabledEntriesStaySelectableButTheirBoxIsLocked) {
  Fill({"A", "B", "C"});
  List.SetItemEnabled(1, false);
  List.SetChecked(1, false);
  Press(1);
  EXPECT_EQ(List.ItemIndex(), 1);
  EXPECT_TRUE(List.Selected(1));
  // A press on the check box of the disabled entry changes nothing; on an enabled one it toggles.
  Press(1, Qt::NoModifier, 5);
  EXPECT_FALSE(List.Checked(1));
  Press(2, Qt::NoModifier, 5);
  EXPECT_FALSE(List.Checked(2));
  EXPECT_TRUE(List.Selected(2));
  EXPECT_FALSE(List.Selected(1));
}

TEST_F(CheckListTest, ExtendedSelectionWithControlAndShift) {
  Fill({"A", "B", "C", "D", "E"});
  int clicks = 0;
  List.OnClick = [&](TObject*) { ++clicks; };
  Press(1);
  Press(3, Qt::ShiftModifier);
  EXPECT_EQ(List.SelCount(), 3);
  Press(4, Qt::ControlModifier);
  Press(2, Qt::ControlModifier);
  EXPECT_EQ(List.SelCount(), 3);
  EXPECT_TRUE(List.Selected(1));
  EXPECT_FALSE(List.Selected(2));
  EXPECT_TRUE(List.Selected(4));
  EXPECT_EQ(List.ItemIndex(), 2);
  EXPECT_EQ(clicks, 4);
}

TEST_F(CheckListTest, ItemIndexIsTheHighlightNotTheSelection) {
  EXPECT_EQ(List.ItemIndex(), -1);
  Fill({"A", "B"});
  EXPECT_EQ(List.ItemIndex(), -1);
  List.SetItemIndex(1);
  EXPECT_EQ(List.ItemIndex(), 1);
  EXPECT_EQ(List.SelCount(), 0);
  List.SetItemIndex(5);  // out of range: no change
  EXPECT_EQ(List.ItemIndex(), 1);
  List.Items().Delete(0);
  EXPECT_EQ(List.ItemIndex(), 0);
  List.Items().Delete(0);
  EXPECT_EQ(List.ItemIndex(), -1);
}

TEST_F(CheckListTest, OwnerDrawingGetsTheRowsStateAndACanvas) {
  Fill({"/d/red.bmp", "/d/blue.bmp"});
  List.SetItemEnabled(0, false);
  List.SetSelected(1, true);
  std::vector<std::pair<int, TOwnerDrawState>> drawn;
  List.OnDrawItem = [&](TCheckListBox* control, int index, const TRect& rect, TOwnerDrawState state) {
    drawn.emplace_back(index, state);
    EXPECT_EQ(rect.Height(), 16);
    EXPECT_EQ(rect.Left, TCheckListBox::CheckWidth);
    TControlCanvas& canvas = control->Canvas();
    canvas.Brush.Color = index == 0 ? clRed : clBlue;
    canvas.FillRect(rect);
    canvas.Font.Color = clWhite;
    canvas.Font.Italic = true;
    canvas.TextOut(rect.Left + 2, rect.Top, "x");
  };
  const QImage image = List.viewport()->grab().toImage();
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_FALSE(drawn[0].second & odSelected);
  EXPECT_TRUE(drawn[1].second & odSelected);
  EXPECT_TRUE(drawn[1].second & odChecked);
  const double ratio = image.devicePixelRatio();
  EXPECT_EQ(image.pixelColor(int(150 * ratio), int(8 * ratio)), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(int(150 * ratio), int(24 * ratio)), QColor(0, 0, 255));
}

}  // namespace
