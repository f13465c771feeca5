#include "toolkit/core/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/toolkit/core/core_test_support.h"
#include "toolkit/core/checked.h"
#include "toolkit/core/exceptions.h"

namespace {

constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();

TEST(MulDivTest, RoundsHalvesAwayFromZeroOnA64BitProduct) {
  EXPECT_EQ(MulDiv(1, 1, 2), 1);
  EXPECT_EQ(MulDiv(-1, 1, 2), -1);
  EXPECT_EQ(MulDiv(1, 1, -2), -1);
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);
  EXPECT_EQ(MulDiv(1, 1, 3), 0);
  EXPECT_EQ(MulDiv(2, 1, 3), 1);
  // The readers' progress: row * 100 / height.
  EXPECT_EQ(MulDiv(479, 100, 480), 100);
  EXPECT_EQ(MulDiv(kMax32, kMax32, kMax32), kMax32);
  EXPECT_EQ(MulDiv(kMin32, kMin32, kMin32), kMin32);
  // 2^31 and a little more do not fit; a zero divisor neither: -1.
  EXPECT_EQ(MulDiv(kMin32, -1, 1), -1);
  EXPECT_EQ(MulDiv(kMin32, kMin32, kMax32), -1);
  EXPECT_EQ(MulDiv(5, 5, 0), -1);
}

TEST(RoundTest, HalvesToEvenAndRaisesOutsideInt64) {
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(3.5), 4);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(-3.5), -4);
  EXPECT_EQ(Round(2.5001), 3);
  EXPECT_EQ(Round(-9223372036854775808.0), std::numeric_limits<int64_t>::min());
  EXPECT_THROW(Round(9223372036854775808.0), EInvalidOp);
  EXPECT_THROW(Round(std::nan("")), EInvalidOp);
}

TEST(CheckedTest, OverflowAndNarrowingRaise) {
  EXPECT_EQ(CheckedAdd(kMax32 - 1, 1), kMax32);
  EXPECT_THROW(CheckedAdd(kMax32, 1), EIntOverflow);
  EXPECT_THROW(CheckedSub(kMin32, 1), EIntOverflow);
  EXPECT_THROW(CheckedSub(0u, 1u), EIntOverflow);
  EXPECT_EQ(CheckedMul(46340, 46340), 2147395600);
  EXPECT_THROW(CheckedMul(46341, 46341), EIntOverflow);
  EXPECT_THROW(CheckedMul(kMin32, -1), EIntOverflow);
  EXPECT_EQ(RangeChecked<uint8_t>(255), 255);
  EXPECT_THROW(RangeChecked<uint8_t>(256), ERangeError);
  EXPECT_THROW(RangeChecked<uint32_t>(-1), ERangeError);
  EXPECT_THROW(RangeChecked<int32_t>(uint32_t{0x80000000u}), ERangeError);
  EXPECT_EQ(RaisedMessage<ERangeError>([] { RangeChecked<int8_t>(200); }), "Erreur de vérification d'étendue");
}

}  // namespace
