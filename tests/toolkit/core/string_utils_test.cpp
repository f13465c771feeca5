#include "toolkit/core/string_utils.h"

#include <gtest/gtest.h>

#include <clocale>

#include "tests/toolkit/core/core_test_support.h"

namespace {

TEST(CompareTextTest, IgnoresAsciiCaseOnly) {
  EXPECT_EQ(CompareText("bmp", "BMP"), 0);
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
  // a-z are compared as A-Z, so "_" (after "Z") sorts after letters.
  EXPECT_GT(CompareText("_", "a"), 0);
  // Non-ASCII bytes are compared as they stand.
  EXPECT_NE(CompareText("\xE9", "\xC9"), 0);
  EXPECT_TRUE(SameText("Tiff", "TIFF"));
  EXPECT_FALSE(SameText("tif", "tiff"));
  EXPECT_LT(CompareStr("ABC", "abc"), 0);
  EXPECT_GT(CompareStr("\xE9", "z"), 0);
  EXPECT_LT(CompareStr("ab", "abc"), 0);
}

TEST(CaseTest, AsciiAndUtf8Text) {
  EXPECT_EQ(UpperCase("ab.Jpg-\xE9"), "AB.JPG-\xE9");
  EXPECT_EQ(LowerCase("AB.Jpg-\xC9"), "ab.jpg-\xC9");
  // Letters outside the cased ranges are left alone and the text stays valid UTF-8.
  ExpectEach(
      AnsiUpperCase,
      {{"été à l'œil ÿ", "ÉTÉ À L'ŒIL Ÿ"}, {"straße ÷", "STRAßE ÷"}, {"ĳ ł ž", "Ĳ Ł Ž"}, {"ж€", "ж€"}});
  ExpectEach(AnsiLowerCase, {{"ÉTÉ À L'ŒIL Ÿ", "été à l'œil ÿ"}, {"Ĳ Ł Ž", "ĳ ł ž"}});
}

TEST(CaseTest, AnsiVersionsOnEightBitText) {
  // Not UTF-8: the Windows-1252 letters of a file written by the first version of the program.
  const char* savedLocale = std::setlocale(LC_CTYPE, nullptr);
  const std::string saved = savedLocale ? savedLocale : "C";
  std::setlocale(LC_CTYPE, "C");
  EXPECT_EQ(AnsiUpperCase("caf\xE9 \x9C \xFF"), "CAF\xC9 \x8C \x9F");
  EXPECT_EQ(AnsiLowerCase("CAF\xC9 \x8C \x9F \xD7"), "caf\xE9 \x9C \xFF \xD7");
  std::setlocale(LC_CTYPE, saved.c_str());
}

TEST(PosAndTrimTest, OneBasedPositionsAndBlanks) {
  EXPECT_EQ(AnsiPos(".JPEG", ".JPG.JPS.JPEG"), 9u);
  EXPECT_EQ(AnsiPos(".PNG", ".JPG.JPS.JPEG"), 0u);
  EXPECT_EQ(AnsiPos("", ".BMP"), 0u);
  EXPECT_EQ(Pos("b", "abcb"), 2u);
  EXPECT_EQ(Pos("abcd", "abc"), 0u);
  // Control characters are blanks; bytes above 127 are not.
  ExpectEach(Trim, {{"  a b \t\r\n", "a b"}, {"\x01x\x1F", "x"}, {"   ", ""}, {"\xA0x\xE9", "\xA0x\xE9"}});
  EXPECT_EQ(TrimLeft("  a  "), "a  ");
  EXPECT_EQ(TrimRight("  a  "), "  a");
}

}  // namespace
