// The scroll bar: its range rule and the report of every move before it takes effect.
#include "toolkit/ui/scrollbar.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <vector>

#include "toolkit/core/exceptions.h"

namespace {

TEST(ScrollBarTest, ParametersKeepThePositionInsideAndRefuseAnInvertedRange) {
  TScrollBar bar(nullptr, nullptr);
  bar.SetParams(300, -256, 256);
  EXPECT_EQ(bar.Position(), 256);
  bar.SetMin(-65536);
  bar.SetMax(65536);
  bar.SetPosition(-70000);
  EXPECT_EQ(bar.Position(), -65536);
  EXPECT_THROW(bar.SetMax(-70000), EInvalidOperation);
  EXPECT_THROW(bar.SetParams(0, 5, 4), EInvalidOperation);
  EXPECT_EQ(bar.Min(), -65536);
  EXPECT_EQ(bar.Max(), 65536);
}

TEST(ScrollBarTest, MovesAreReportedWithTheirCodeAndTheHandlerMayChangeThePosition) {
  TScrollBar bar(nullptr, nullptr);
  bar.SetParams(0, -10, 10);
  std::vector<std::pair<TScrollCode, int>> seen;
  bar.OnScroll = [&](TObject* sender, TScrollCode code, int& position) {
    EXPECT_EQ(sender, &bar);
    seen.emplace_back(code, position);
    if (code == scTrack && position == 7) position = 5;
  };
  bar.Scroll(scTrack, 7);
  EXPECT_EQ(bar.Position(), 5);
  // A user's step: reported before it is applied, then its end when the mouse is let go.
  bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(bar.Position(), 6);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(&bar, &release);
  const std::vector<std::pair<TScrollCode, int>> expected = {{scTrack, 7}, {scLineDown, 6}, {scEndScroll, 6}};
  EXPECT_EQ(seen, expected);
}

}  // namespace
