// The scroll bar: its range rule and the report of every move before it takes effect.
#include "toolkit/ui/scrollbar.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <vector>

#include "toolkit/core/exceptions.h"

namespace {

TEST(ScrollBarTest, RangeAndMoves) {
  TScrollBar bar(nullptr, nullptr);
  bar.SetParams(300, -256, 256);
  EXPECT_EQ(bar.Position(), 256);  // kept inside the range
  EXPECT_THROW(bar.SetMax(-300), EInvalidOperation);
  EXPECT_EQ(bar.Max(), 256);

  bar.SetParams(0, -10, 10);
  std::vector<std::pair<TScrollCode, int>> seen;
  bar.OnScroll = [&](TObject*, TScrollCode code, int& position) {
    seen.emplace_back(code, position);
    if (code == scTrack && position == 7) position = 5;  // the handler's choice is taken
  };
  bar.Scroll(scTrack, 7);
  EXPECT_EQ(bar.Position(), 5);
  // A user's step is reported before it is applied, then its end when the mouse is let go.
  bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(&bar, &release);
  const std::vector<std::pair<TScrollCode, int>> expected = {{scTrack, 7}, {scLineDown, 6}, {scEndScroll, 6}};
  EXPECT_EQ(seen, expected);
}

}  // namespace
