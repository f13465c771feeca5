// Text encodings of files and file names: UTF-8 or Windows-1252 read and written back byte for byte,
// and names that are not UTF-8 escaped for people and read back exactly.
#include "toolkit/core/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string EveryByte() {
  std::string bytes;
  for (int b = 1; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

TEST(TextEncodingTest, Windows1252TextComesBackByteForByte) {
  TTextEncoding encoding = TTextEncoding::teUtf8;
  const std::string text = TextToUtf8(
      "Cr\xE9"
      "er \x80 \x85 \x9C",
      encoding);
  EXPECT_EQ(encoding, TTextEncoding::teWindows1252);
  EXPECT_EQ(text,
            "Cr\xC3\xA9"
            "er \xE2\x82\xAC \xE2\x80\xA6 \xC5\x93");  // é, €, …, œ
  // Every byte, the five the code page leaves unassigned among them.
  const std::string bytes = EveryByte();
  const std::string utf8 = TextToUtf8(bytes, encoding);
  EXPECT_TRUE(IsValidUtf8(utf8));
  EXPECT_EQ(Utf8ToText(utf8, encoding), bytes);
  EXPECT_EQ(encoding, TTextEncoding::teWindows1252);

  // Valid UTF-8 is taken as it is, and stays UTF-8.
  EXPECT_EQ(TextToUtf8("Cr\xC3\xA9"
                       "er",
                       encoding),
            "Cr\xC3\xA9"
            "er");
  EXPECT_EQ(encoding, TTextEncoding::teUtf8);
  EXPECT_EQ(Utf8ToText("Cr\xC3\xA9"
                       "er",
                       encoding),
            "Cr\xC3\xA9"
            "er");
}

TEST(TextEncodingTest, AByteOrderMarkIsLeftOutAndWrittenBack) {
  TTextEncoding encoding = TTextEncoding::teUtf8;
  EXPECT_EQ(TextToUtf8("\xEF\xBB\xBF[File]\r\n", encoding), "[File]\r\n");
  EXPECT_EQ(encoding, TTextEncoding::teUtf8Bom);
  EXPECT_EQ(Utf8ToText("[File]\r\n", encoding), "\xEF\xBB\xBF[File]\r\n");
  EXPECT_EQ(TextToUtf8("\xEF\xBB\xBF", encoding), "");
  EXPECT_EQ(encoding, TTextEncoding::teUtf8Bom);
  // The mark's bytes before text that is no UTF-8 are Windows-1252 characters like the rest.
  EXPECT_EQ(TextToUtf8("\xEF\xBB\xBF\xE9", encoding), "\xC3\xAF\xC2\xBB\xC2\xBF\xC3\xA9");
  EXPECT_EQ(encoding, TTextEncoding::teWindows1252);
  // A mark only at the start: one further on is text.
  EXPECT_EQ(TextToUtf8("a\xEF\xBB\xBF", encoding), "a\xEF\xBB\xBF");
  EXPECT_EQ(encoding, TTextEncoding::teUtf8);
}

TEST(TextEncodingTest, TextTheCodePageCannotCarryIsWrittenAsUtf8) {
  TTextEncoding encoding = TTextEncoding::teWindows1252;
  const std::string cyrillic = "\xD0\x9F\xD1\x83\xD1\x81\xD0\xBA";  // Пуск
  EXPECT_FALSE(Utf8ToWindows1252(cyrillic));
  EXPECT_FALSE(Utf8ToWindows1252("\xC2\x80"));  // U+0080: the byte 0x80 is the euro sign
  EXPECT_EQ(Utf8ToText(cyrillic, encoding), cyrillic);
  EXPECT_EQ(encoding, TTextEncoding::teUtf8);
}

TEST(TextEncodingTest, Utf8Validity) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x8C\x99 night"));
  for (const char* bad : {"\xC3", "\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF"})
    EXPECT_FALSE(IsValidUtf8(bad)) << bad;
  EXPECT_EQ(Utf8SequenceLength("a\xE2\x82\xAC", 1), 3u);
  EXPECT_EQ(Utf8SequenceLength("a\xE2\x82", 1), 0u);
}

TEST(TextEncodingTest, NamesThatAreNotUtf8ShowEscapedAndComeBackExactly) {
  EXPECT_EQ(EscapeName("caf\xE9"), "caf\\xE9");
  EXPECT_EQ(EscapeName("\xC3\xA9t\xC3\xA9"), "\xC3\xA9t\xC3\xA9");  // UTF-8 as it is
  EXPECT_EQ(EscapeName("C:\\nuit"), "C:\\nuit");                    // a backslash that escapes nothing
  EXPECT_EQ(EscapeName("a\\x41"), "a\\x5Cx41");                     // one that would read as an escape
  EXPECT_EQ(UnescapeName("caf\\xe9/\\x5Cx41\\x4"), "caf\xE9/\\x41\\x4");
  for (const std::string& name : {EveryByte(), std::string("\\\\x41\\"), std::string("\\x\xE9\\xZZ\\x4\xE9")})
    EXPECT_EQ(UnescapeName(EscapeName(name)), name);
  EXPECT_TRUE(IsValidUtf8(EscapeName(EveryByte())));
}

}  // namespace
