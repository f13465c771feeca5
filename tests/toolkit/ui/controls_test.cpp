// The scroll box and a control's own flags.
#include <QScrollBar>

#include <gtest/gtest.h>

#include "toolkit/ui/extctrls.h"
#include "toolkit/ui/stdctrls.h"

namespace {

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

TEST(ControlTest, HiddenAndDisabledAreTheControlsOwnFlags) {
  TPanel parent(nullptr, nullptr);
  TButton button(nullptr, &parent);
  parent.SetEnabled(false);
  EXPECT_TRUE(button.Enabled());
  EXPECT_TRUE(button.Visible());
}

}  // namespace
