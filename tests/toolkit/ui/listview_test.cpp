// The owner-data list view: ranges announced before items are asked, report columns, typing to find,
// keys and the selection across view styles.
#include <QApplication>
#include <QKeyEvent>
#include <QTreeView>

#include <gtest/gtest.h>

#include "toolkit/core/exceptions.h"
#include "toolkit/ui/listview.h"

namespace {

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    View.resize(300, 200);
    View.OnDataHint = [this](TObject*, int start, int end) { Hints.emplace_back(start, end); };
    View.OnData = [this](TObject*, TListItem& item) {
      ++Asked;
      item.Caption = Names.at(static_cast<size_t>(item.Index));
      item.SubItems = {"size of " + item.Caption};
    };
    View.OnDataFind = [this](TObject*, TItemFind, const std::string& text, int start, TSearchDirection,
                             bool wrap, int& index) {
      Finds.push_back(text + "@" + std::to_string(start) + (wrap ? "w" : ""));
      for (size_t i = 0; i < Names.size(); ++i)
        if (Names[i].starts_with(text)) index = static_cast<int>(i);
    };
  }
  void Press(int qtKey, const QString& text = {}) {
    QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
    QApplication::sendEvent(View.focusProxy(), &event);
  }

  TListView View{nullptr, nullptr};
  std::vector<std::string> Names;
  std::vector<std::pair<int, int>> Hints;
  std::vector<std::string> Finds;
  int Asked = 0;
};

TEST_F(ListViewTest, ItemsAreAskedAfterTheirRangeIsAnnounced) {
  for (int i = 0; i < 100; ++i) Names.push_back("item" + std::to_string(i));
  View.SetItemCount(100);
  EXPECT_EQ(View.Items(5).Caption, "item5");
  EXPECT_EQ(View.Items(70).Caption, "item70");
  EXPECT_EQ(View.Items(6).Caption, "item6");
  EXPECT_EQ(Hints, (std::vector<std::pair<int, int>>{{5, 68}, {70, 99}}));
  EXPECT_THROW(View.Items(100), EListError);
  EXPECT_THROW(View.Items(-1), EListError);

  // A new count forgets what was announced.
  View.SetItemCount(3);
  Hints.clear();
  EXPECT_EQ(View.Items(2).Caption, "item2");
  EXPECT_EQ(Hints, (std::vector<std::pair<int, int>>{{2, 2}}));

  View.AddColumn("Name", 100);
  View.AddColumn("Size", 60, TAlignment::taRightJustify);
  View.SetViewStyle(TViewStyle::vsReport);
  const QAbstractItemModel* model = View.findChild<QTreeView*>()->model();
  EXPECT_EQ(model->data(model->index(1, 1)).toString(), "size of item1");
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Size");
  EXPECT_EQ(model->data(model->index(1, 1), Qt::TextAlignmentRole).toInt() & Qt::AlignRight, Qt::AlignRight);
}

TEST_F(ListViewTest, TypingFindsFromTheFocusedItemAndKeysReachTheProgramFirst) {
  Names = {"alpha", "beta", "bravo", "charlie"};
  View.SetItemCount(4);
  View.SetViewStyle(TViewStyle::vsList);
  View.SetItemIndex(1);
  Press(Qt::Key_B, "b");
  Press(Qt::Key_R, "r");
  // A new search starts after the focused item, a longer one at it.
  EXPECT_EQ(Finds, (std::vector<std::string>{"b@2w", "br@2w"}));
  EXPECT_EQ(View.ItemIndex(), 2);

  // The selection stays when the style changes.
  View.SetViewStyle(TViewStyle::vsReport);
  EXPECT_EQ(View.ItemIndex(), 2);

  std::vector<Word> keys;
  View.OnKeyDown = [&](TObject*, Word& key, TShiftState) {
    keys.push_back(key);
    if (key == VK_END) key = 0;  // used up: the view does not move
  };
  Press(Qt::Key_End);
  EXPECT_EQ(View.ItemIndex(), 2);
  Press(Qt::Key_Home);
  EXPECT_EQ(View.ItemIndex(), 0);
  EXPECT_EQ(keys, (std::vector<Word>{VK_END, VK_HOME}));
}

}  // namespace
