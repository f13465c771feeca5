#include "toolkit/core/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "toolkit/core/checked.h"
#include "toolkit/core/exceptions.h"

namespace {

constexpr int32_t kMin32 = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax32 = std::numeric_limits<int32_t>::max();

TEST(MulDivTest, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(1, 1, 2), 1);
  EXPECT_EQ(MulDiv(-1, 1, 2), -1);
  EXPECT_EQ(MulDiv(1, -1, 2), -1);
  EXPECT_EQ(MulDiv(1, 1, -2), -1);
  EXPECT_EQ(MulDiv(-1, -1, 2), 1);
  EXPECT_EQ(MulDiv(1, 1, 3), 0);
  EXPECT_EQ(MulDiv(2, 1, 3), 1);
  EXPECT_EQ(MulDiv(-2, 1, 3), -1);
  EXPECT_EQ(MulDiv(5, 1, 4), 1);
  EXPECT_EQ(MulDiv(7, 1, 4), 2);
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);
}

TEST(MulDivTest, ProgressPercentages) {
  // The readers' progress: row * 100 / height.
  EXPECT_EQ(MulDiv(0, 100, 480), 0);
  EXPECT_EQ(MulDiv(239, 100, 480), 50);
  EXPECT_EQ(MulDiv(479, 100, 480), 100);
  EXPECT_EQ(MulDiv(1, 100, 3), 33);
  EXPECT_EQ(MulDiv(2, 100, 3), 67);
}

TEST(MulDivTest, SixtyFourBitProductAndLimits) {
  EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);
  EXPECT_EQ(MulDiv(kMax32, kMax32, kMax32), kMax32);
  EXPECT_EQ(MulDiv(kMin32, kMin32, kMin32), kMin32);
  EXPECT_EQ(MulDiv(kMin32, 1, 1), kMin32);
  EXPECT_EQ(MulDiv(kMin32, kMin32, kMax32), -1);  // 2^31 + a bit: too large
  EXPECT_EQ(MulDiv(kMin32, -1, 1), -1);           // 2^31: too large
  EXPECT_EQ(MulDiv(kMin32, 1, -1), -1);
  EXPECT_EQ(MulDiv(kMin32, kMin32, kMin32 + 1), -1);
  EXPECT_EQ(MulDiv(kMax32, 2, 2), kMax32);
}

TEST(MulDivTest, ZeroDivisorGivesMinusOne) {
  EXPECT_EQ(MulDiv(5, 5, 0), -1);
  EXPECT_EQ(MulDiv(0, 0, 0), -1);
  EXPECT_EQ(MulDiv(kMin32, kMin32, 0), -1);
}

TEST(RoundTest, HalvesToEven) {
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(3.5), 4);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(-3.5), -4);
  EXPECT_EQ(Round(0.5), 0);
  EXPECT_EQ(Round(-0.5), 0);
  EXPECT_EQ(Round(2.4999), 2);
  EXPECT_EQ(Round(2.5001), 3);
  EXPECT_EQ(Round(-7.6), -8);
  EXPECT_EQ(Round(1e15 + 0.5), 1000000000000000);
  EXPECT_EQ(Round(-9223372036854775808.0), std::numeric_limits<int64_t>::min());
  EXPECT_THROW(Round(9223372036854775808.0), EInvalidOp);
  EXPECT_THROW(Round(std::nan("")), EInvalidOp);
  EXPECT_THROW(Round(-INFINITY), EInvalidOp);
}

TEST(CheckedTest, ArithmeticRaisesOnOverflow) {
  EXPECT_EQ(CheckedAdd(kMax32 - 1, 1), kMax32);
  EXPECT_THROW(CheckedAdd(kMax32, 1), EIntOverflow);
  EXPECT_THROW(CheckedSub(kMin32, 1), EIntOverflow);
  EXPECT_EQ(CheckedSub(0u, 0u), 0u);
  EXPECT_THROW(CheckedSub(0u, 1u), EIntOverflow);
  EXPECT_EQ(CheckedMul(46340, 46340), 2147395600);
  EXPECT_THROW(CheckedMul(46341, 46341), EIntOverflow);
  EXPECT_THROW(CheckedMul(kMin32, -1), EIntOverflow);
  EXPECT_EQ(CheckedMul<int64_t>(int64_t{1} << 40, 1 << 20), int64_t{1} << 60);
  // The overflow is an integer error, and every toolkit error is an Exception.
  EXPECT_THROW(CheckedAdd(kMax32, kMax32), EIntError);
  EXPECT_THROW(CheckedAdd(kMax32, kMax32), Exception);
}

TEST(CheckedTest, RangeCheckedNarrowing) {
  EXPECT_EQ(RangeChecked<uint8_t>(255), 255);
  EXPECT_THROW(RangeChecked<uint8_t>(256), ERangeError);
  EXPECT_THROW(RangeChecked<uint8_t>(-1), ERangeError);
  EXPECT_EQ(RangeChecked<int32_t>(int64_t{-5}), -5);
  EXPECT_THROW(RangeChecked<int32_t>(int64_t{1} << 31), ERangeError);
  EXPECT_THROW(RangeChecked<uint32_t>(-1), ERangeError);
  EXPECT_THROW(RangeChecked<int32_t>(uint32_t{0x80000000u}), ERangeError);
  EXPECT_EQ(CheckedByte(0), 0);
  EXPECT_THROW(CheckedByte(300), ERangeError);
  try {
    RangeChecked<int8_t>(200);
    FAIL();
  } catch (const ERangeError& e) {
    EXPECT_EQ(e.Message(), "Erreur de vérification d'étendue");
  }
}

}  // namespace
