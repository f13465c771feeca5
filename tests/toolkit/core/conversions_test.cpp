#include "toolkit/core/conversions.h"

#include <gtest/gtest.h>

#include <limits>

#include "toolkit/core/exceptions.h"

namespace {

// Val's code for the text (and the value through `value`).
int ValCode(std::string_view text, int32_t& value) {
  int code = -1;
  Val(text, value, code);
  return code;
}

TEST(StrToIntTest, DecimalAndHexadecimalForms) {
  EXPECT_EQ(StrToInt("4"), 4);
  EXPECT_EQ(StrToInt("-12"), -12);
  EXPECT_EQ(StrToInt("+12"), 12);
  EXPECT_EQ(StrToInt("   7"), 7);
  EXPECT_EQ(StrToInt("007"), 7);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("0x1f"), 31);
  EXPECT_EQ(StrToInt("0X10"), 16);
  EXPECT_EQ(StrToInt("x10"), 16);
  EXPECT_EQ(StrToInt("X10"), 16);
  EXPECT_EQ(StrToInt("-$10"), -16);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), std::numeric_limits<int32_t>::min());
  // Hexadecimal text may fill all 32 bits.
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(StrToInt("$80000000"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(StrToInt("0"), 0);
}

TEST(StrToIntTest, RejectsEverythingElse) {
  for (const char* text : {"", " ", "-", "+", "4-", "--4", "1 2", "12 ", "1.5", "abc", "$", "0x", "$G",
                           "0x 1", "2147483648", "-2147483649", "$100000000", "\t5", "1e3"}) {
    EXPECT_THROW(StrToInt(text), EConvertError) << text;
  }
  try {
    StrToInt("abc");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' n'est pas une valeur entière correcte");
  }
}

TEST(StrToIntTest, DefaultsAndTryForms) {
  EXPECT_EQ(StrToIntDef("yes", 1), 1);
  EXPECT_EQ(StrToIntDef("2", 1), 2);
  int32_t value = 99;
  EXPECT_FALSE(TryStrToInt("x", value));
  EXPECT_EQ(value, 99);
  EXPECT_TRUE(TryStrToInt("-3", value));
  EXPECT_EQ(value, -3);
  EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64("3000000000"), 3000000000LL);
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
  EXPECT_EQ(StrToInt64Def("", -5), -5);
}

TEST(ValTest, ErrorPositions) {
  int32_t value = 0;
  EXPECT_EQ(ValCode("123", value), 0);
  EXPECT_EQ(value, 123);
  EXPECT_EQ(ValCode("12a", value), 3);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(ValCode("", value), 1);
  EXPECT_EQ(ValCode("  ", value), 3);
  EXPECT_EQ(ValCode("-", value), 2);
  EXPECT_EQ(ValCode("$", value), 2);
  EXPECT_EQ(ValCode("0x", value), 3);
  EXPECT_EQ(ValCode("12 ", value), 3);
  EXPECT_EQ(ValCode(" 1 2", value), 3);
  EXPECT_EQ(ValCode("abc", value), 1);
  // The digit that makes the number too large.
  EXPECT_EQ(ValCode("2147483648", value), 10);
  EXPECT_EQ(ValCode("99999999999", value), 10);
  EXPECT_EQ(ValCode("$123456789", value), 10);
  EXPECT_EQ(ValCode("-2147483648", value), 0);
  EXPECT_EQ(value, std::numeric_limits<int32_t>::min());
  int64_t wide = 0;
  int code = -1;
  Val("-300", wide, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(wide, -300);
}

TEST(IntTextTest, IntToStrAndIntToHex) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToStr(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(IntToStr(uint8_t{255}), "255");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0x12345, 2), "12345");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(int64_t{-1}, 2), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(int16_t{-1}, 0), "FFFFFFFF");
}

TEST(FloatTextTest, StrToFloatUsesThePoint) {
  EXPECT_DOUBLE_EQ(StrToFloat("2.2"), 2.2);
  EXPECT_DOUBLE_EQ(StrToFloat("  -1.5e3 "), -1500.0);
  EXPECT_DOUBLE_EQ(StrToFloat("+.5"), 0.5);
  EXPECT_DOUBLE_EQ(StrToFloat("5."), 5.0);
  EXPECT_DOUBLE_EQ(StrToFloat("1E-2"), 0.01);
  EXPECT_DOUBLE_EQ(StrToFloat("0"), 0.0);
  for (const char* text :
       {"", ".", "2,2", "1e", "1e+", "inf", "nan", "0x1p3", "1.2.3", "--1", "1 2", "1e999"})
    EXPECT_THROW(StrToFloat(text), EConvertError) << text;
  double value = 1.0;
  EXPECT_FALSE(TryStrToFloat("2,2", value));
  EXPECT_DOUBLE_EQ(value, 1.0);
  EXPECT_TRUE(TryStrToFloat("2.25", value));
  EXPECT_DOUBLE_EQ(value, 2.25);
}

TEST(FloatTextTest, FloatToStrShowsFifteenDigits) {
  EXPECT_EQ(FloatToStr(0.1), "0.1");
  EXPECT_EQ(FloatToStr(2.2), "2.2");
  EXPECT_EQ(FloatToStr(-1500.0), "-1500");
  EXPECT_EQ(FloatToStr(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FloatToStr(2.0 / 3.0), "0.666666666666667");
  EXPECT_EQ(FloatToStr(1e15), "1E15");
  EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
  EXPECT_EQ(FloatToStr(0.0), "0");
  EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(0.45)), 0.45);
}

}  // namespace
