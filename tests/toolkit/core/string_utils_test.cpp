#include "toolkit/core/string_utils.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

TEST(CompareTextTest, IgnoresAsciiCaseOnly) {
  EXPECT_EQ(CompareText("bmp", "BMP"), 0);
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_GT(CompareText("b", "A"), 0);
  EXPECT_LT(CompareText("ab", "abc"), 0);
  EXPECT_GT(CompareText("abc", "AB"), 0);
  EXPECT_EQ(CompareText("", ""), 0);
  // a-z are compared as A-Z, so "_" (after "Z") sorts after letters.
  EXPECT_GT(CompareText("_", "a"), 0);
  // Non-ASCII bytes are compared as they stand.
  EXPECT_NE(CompareText("\xE9", "\xC9"), 0);
  EXPECT_TRUE(SameText("Tiff", "TIFF"));
  EXPECT_FALSE(SameText("tif", "tiff"));
}

TEST(CompareTextTest, CompareStrIsByteWise) {
  EXPECT_EQ(CompareStr("abc", "abc"), 0);
  EXPECT_LT(CompareStr("ABC", "abc"), 0);
  EXPECT_GT(CompareStr("\xE9", "z"), 0);
  EXPECT_LT(CompareStr("ab", "abc"), 0);
}

TEST(CaseTest, AsciiOnlyVersions) {
  EXPECT_EQ(UpperCase("ab.Jpg-\xE9"), "AB.JPG-\xE9");
  EXPECT_EQ(LowerCase("AB.Jpg-\xC9"), "ab.jpg-\xC9");
}

TEST(CaseTest, AnsiVersionsOnUtf8) {
  EXPECT_EQ(AnsiUpperCase(".jpeg"), ".JPEG");
  EXPECT_EQ(AnsiUpperCase("été à l'œil ÿ"), "ÉTÉ À L'ŒIL Ÿ");
  EXPECT_EQ(AnsiLowerCase("ÉTÉ À L'ŒIL Ÿ"), "été à l'œil ÿ");
  EXPECT_EQ(AnsiUpperCase("straße ÷"), "STRAßE ÷");
  EXPECT_EQ(AnsiUpperCase("ĳ ł ž"), "Ĳ Ł Ž");
  EXPECT_EQ(AnsiLowerCase("Ĳ Ł Ž"), "ĳ ł ž");
  // Letters outside the cased ranges are left alone and the text stays valid UTF-8.
  EXPECT_EQ(AnsiUpperCase("ж€"), "ж€");
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

TEST(PosTest, OneBasedAndZeroForEmpty) {
  EXPECT_EQ(AnsiPos(".JPG", ".JPG.JPS.JPEG"), 1u);
  EXPECT_EQ(AnsiPos(".JPEG", ".JPG.JPS.JPEG"), 9u);
  EXPECT_EQ(AnsiPos(".JP", ".JPG.JPS.JPEG"), 1u);
  EXPECT_EQ(AnsiPos(".PNG", ".JPG.JPS.JPEG"), 0u);
  EXPECT_EQ(AnsiPos("", ".BMP"), 0u);
  EXPECT_EQ(AnsiPos(".L", "*.LNG"), 2u);
  EXPECT_EQ(Pos("b", "abcb"), 2u);
  EXPECT_EQ(Pos("abcd", "abc"), 0u);
  EXPECT_EQ(Pos("", ""), 0u);
}

TEST(TrimTest, BlanksAndControlCharacters) {
  EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
  EXPECT_EQ(Trim(" Z = 50% "), "Z = 50%");
  EXPECT_EQ(Trim("\x01x\x1F"), "x");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
  // Bytes above 127 are not blanks.
  EXPECT_EQ(Trim("\xA0x\xE9"), "\xA0x\xE9");
  EXPECT_EQ(TrimLeft("  a  "), "a  ");
  EXPECT_EQ(TrimRight("  a  "), "  a");
}

TEST(StrLCompTest, BoundedComparison) {
  const char header[] = "Paint Shop Pro Image File\n\x1A";
  EXPECT_EQ(StrLComp(header, "Paint Shop Pro Image File", 25), 0);
  EXPECT_EQ(StrLIComp(header, "PAINT SHOP PRO IMAGE FILE", 25), 0);
  EXPECT_NE(StrLComp(header, "PAINT SHOP PRO IMAGE FILE", 25), 0);
  EXPECT_NE(StrLComp(header, "Paint Shop Pro Image File", 26), 0);
  EXPECT_EQ(StrLComp("abc", "abd", 2), 0);
  EXPECT_LT(StrLComp("abc", "abd", 3), 0);
  // Both texts end together: equal whatever the bound.
  EXPECT_EQ(StrLComp("ab", "ab", 10), 0);
  EXPECT_LT(StrLComp("ab", "abc", 10), 0);
  // Reading stops at the bound: the second text is not zero-terminated.
  const char unterminated[4] = {'P', 'C', 'D', '_'};
  EXPECT_EQ(StrLComp(unterminated, "PCD_", 4), 0);
}

}  // namespace
