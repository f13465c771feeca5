#include "toolkit/core/conversions.h"

#include <gtest/gtest.h>

#include <limits>

#include "tests/toolkit/core/core_test_support.h"
#include "toolkit/core/exceptions.h"

namespace {

TEST(StrToIntTest, DecimalAndHexadecimalForms) {
  EXPECT_EQ(StrToInt("   -12"), -12);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("0x1f"), 31);
  EXPECT_EQ(StrToInt("X10"), 16);
  EXPECT_EQ(StrToInt("-$10"), -16);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), std::numeric_limits<int32_t>::min());
  // Hexadecimal text may fill all 32 bits.
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  for (const char* text : {"", " ", "-", "4-", "1 2", "12 ", "\t5", "1.5", "$", "0x", "$G", "2147483648",
                           "-2147483649", "$100000000"})
    EXPECT_THROW(StrToInt(text), EConvertError) << text;
  EXPECT_EQ(RaisedMessage<EConvertError>([] { StrToInt("abc"); }), "'abc' n'est pas une valeur entière correcte");
}

TEST(ValTest, ErrorPositions) {
  int32_t value = 7;
  int code = -1;
  Val("123", value, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(value, 123);
  Val("12a", value, code);
  EXPECT_EQ(code, 3);
  EXPECT_EQ(value, 0);
  // A text that ends too early: the position after it; a number too large: the digit that makes it so.
  const std::pair<const char*, int> cases[] = {{"", 1},    {"  ", 3},          {"-", 2},          {"0x", 3},
                                               {"12 ", 3}, {"2147483648", 10}, {"$123456789", 10}};
  for (const auto& [text, position] : cases) {
    Val(text, value, code);
    EXPECT_EQ(code, position) << text;
  }
  int64_t wide = 0;
  Val("-9223372036854775808", wide, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(wide, std::numeric_limits<int64_t>::min());
}

TEST(FloatTextTest, StrToFloatTakesOnlyPlainDecimalTextAndFloatToStrRoundTrips) {
  EXPECT_DOUBLE_EQ(StrToFloat("  -1.5e3 "), -1500.0);
  EXPECT_DOUBLE_EQ(StrToFloat("+.5"), 0.5);
  EXPECT_DOUBLE_EQ(StrToFloat("5."), 5.0);
  for (const char* text : {"", ".", "2,2", "1e", "1e+", "inf", "nan", "0x1p3", "1.2.3", "1 2", "1e999"})
    EXPECT_THROW(StrToFloat(text), EConvertError) << text;
  double value = 1.0;
  EXPECT_FALSE(TryStrToFloat("2,2", value));
  EXPECT_DOUBLE_EQ(value, 1.0);
  EXPECT_TRUE(TryStrToFloat("2.25", value));
  EXPECT_DOUBLE_EQ(value, 2.25);
  // Scientific once the integer digits pass fifteen.
  EXPECT_EQ(FloatToStr(1e15), "1E15");
  EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(0.45)), 0.45);
}

}  // namespace
