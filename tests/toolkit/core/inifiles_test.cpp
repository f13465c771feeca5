#include "toolkit/core/inifiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/test_files.h"
#include "tests/toolkit/core/core_test_support.h"
#include "toolkit/core/exceptions.h"

namespace {

class IniTest : public testing::Test {
 protected:
  // An ini object over a file holding the text.
  TMemIniFile Ini(const std::string& text) {
    WriteWholeFile(FDir.File("t.ini"), Bytes(text));
    return TMemIniFile(FDir.File("t.ini"));
  }

  TempDir FDir;
};

TEST_F(IniTest, ReadingRules) {
  const TMemIniFile ini =
      Ini("orphan=dropped\r\n"
          "[Orphans]\r\n"
          "  ; a comment\r\n"
          ";key=comment\r\n"
          "\r\n"
          "   [  List  ]   \r\n"
          "  count  =  3  \r\n"
          "name = C:\\pics\\a=b.bmp \r\n"
          "flag\r\n"
          "\t\r\n"
          "[L0000]\r\n"
          "name=/p/first.bmp\r\n");
  EXPECT_EQ(ini.ReadString("List", "count", "x"), "3");
  EXPECT_EQ(ini.ReadString("List", "name", ""), "C:\\pics\\a=b.bmp");
  // Lines before the first section are dropped; comments are no keys.
  EXPECT_EQ(ini.ReadString("", "orphan", "default"), "default");
  EXPECT_FALSE(ini.ValueExists("Orphans", ";key"));
  // A line without "=" gives no value.
  EXPECT_EQ(ini.ReadString("List", "flag", "none"), "none");
  // Letter case is ignored for sections and names.
  EXPECT_EQ(ini.ReadString("l0000", "NAME", ""), "/p/first.bmp");
  EXPECT_EQ(ini.ReadString("Nope", "count", "d"), "d");
  TStringList sections;
  ini.ReadSections(sections);
  EXPECT_EQ(Lines(sections), (Texts{"Orphans", "List", "L0000"}));
}

TEST_F(IniTest, LineEndsOfEveryKind) {
  for (const char* text : {"[S]\ra=1\rb=2\r", "[S]\na=1\nb=2", "[S]\r\na=1\n\rb=2\r\n"}) {
    const TMemIniFile ini = Ini(text);
    EXPECT_EQ(ini.ReadInteger("S", "a", 0), 1) << text;
    EXPECT_EQ(ini.ReadInteger("S", "b", 0), 2) << text;
  }
}

TEST_F(IniTest, IntegersAndBooleans) {
  const TMemIniFile ini =
      Ini("[V]\ndec=-42\nhex=0x1F\ndollar=$20\nshort=0x\nbad=12a\nempty=\nbig=99999999999\n"
          "zero=0\ntwo=2\nyes=yes\n");
  EXPECT_EQ(ini.ReadInteger("V", "dec", 0), -42);
  EXPECT_EQ(ini.ReadInteger("V", "hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("V", "dollar", 0), 32);
  for (const char* name : {"short", "bad", "empty", "big", "missing"})
    EXPECT_EQ(ini.ReadInteger("V", name, 7), 7) << name;
  // Any integer other than 0 is true; other text gives the default.
  EXPECT_FALSE(ini.ReadBool("V", "zero", true));
  EXPECT_TRUE(ini.ReadBool("V", "two", false));
  EXPECT_TRUE(ini.ReadBool("V", "dec", false));
  EXPECT_FALSE(ini.ReadBool("V", "yes", false));
  EXPECT_TRUE(ini.ReadBool("V", "yes", true));
}

TEST_F(IniTest, WritingKeepsPlacesAndWritesCrLf) {
  TMemIniFile ini = Ini("[Application]\nname=Old\nVersion=1\n[List]\ncount=5\n");
  ini.WriteString("application", "NAME", "Orvanta");
  ini.WriteString("Application", "Version", " - version 2.1g - 2014/02/18 - ");
  ini.WriteInteger("List", "count", 2);
  ini.WriteString("L0000", "name", "/p/a.bmp");
  ini.WriteBool("L0000", "slct", true);
  ini.WriteBool("L0000", "chck", false);
  ini.WriteString("List", "extra", "");
  ini.UpdateFile();
  EXPECT_EQ(ReadWholeFile(FDir.File("t.ini")),
            Bytes("[Application]\r\nname=Orvanta\r\nVersion= - version 2.1g - 2014/02/18 - \r\n\r\n"
                  "[List]\r\ncount=2\r\nextra=\r\n\r\n"
                  "[L0000]\r\nname=/p/a.bmp\r\nslct=1\r\nchck=0\r\n\r\n"));
  // Values come back trimmed.
  const TMemIniFile again(FDir.File("t.ini"));
  EXPECT_EQ(again.ReadString("Application", "Version", ""), "- version 2.1g - 2014/02/18 -");
  EXPECT_TRUE(again.ValueExists("List", "extra"));
}

TEST_F(IniTest, SectionOperationsAndRepeatedSections) {
  TMemIniFile ini = Ini("[A]\nplain line\nx=1\n[Strings]\nleft=GAUCHE\nright=DROITE\n[a]\nz=3\n");
  // A section named again continues the first one; a line without "=" is kept but names nothing.
  EXPECT_EQ(ini.ReadInteger("A", "z", 0), 3);
  TStringList list;
  ini.ReadSection("a", list);
  EXPECT_EQ(Lines(list), (Texts{"x", "z"}));
  ini.ReadSectionValues("A", list);
  EXPECT_EQ(Lines(list), (Texts{"plain line", "x=1", "z=3"}));
  ini.DeleteKey("Strings", "RIGHT");
  ini.DeleteKey("Missing", "left");
  EXPECT_EQ(ini.Text(), "[A]\r\nplain line\r\nx=1\r\nz=3\r\n\r\n[Strings]\r\nleft=GAUCHE\r\n\r\n");
  ini.EraseSection("a");
  EXPECT_FALSE(ini.SectionExists("A"));
  ini.Clear();
  ini.UpdateFile();
  EXPECT_TRUE(ReadWholeFile(FDir.File("t.ini")).empty());
}

TEST_F(IniTest, RepeatedNamesKeepTheirRulesThroughTheIndex) {
  TMemIniFile ini = Ini("[S]\nkey=first\nKEY=second\n[T]\nt=1\n[s]\nkey=third\nother=4\n");
  // The first line of a name gives its value; a section named again adds to the first.
  EXPECT_EQ(ini.ReadString("s", "Key", ""), "first");
  EXPECT_EQ(ini.ReadInteger("S", "other", 0), 4);
  // Deleting the first line of a name uncovers the next one of that name.
  ini.DeleteKey("S", "key");
  EXPECT_EQ(ini.ReadString("S", "key", ""), "second");
  ini.WriteString("S", "key", "written");
  EXPECT_EQ(ini.Text(), "[S]\r\nKEY=written\r\nkey=third\r\nother=4\r\n\r\n[T]\r\nt=1\r\n\r\n");
  // A section erased and written again comes at the end; the others are still found.
  ini.EraseSection("S");
  ini.WriteString("s", "new", "5");
  ini.WriteString("T", "u", "2");
  EXPECT_EQ(ini.Text(), "[T]\r\nt=1\r\nu=2\r\n\r\n[s]\r\nnew=5\r\n\r\n");
  ini.SetText("[Only]\nx=9\n");
  EXPECT_FALSE(ini.SectionExists("T"));
  EXPECT_EQ(ini.ReadInteger("ONLY", "X", 0), 9);
}

// A list file of 100,000 pictures written, read back and looked up, key by key.
TEST_F(IniTest, ALargeListFileRoundTrips) {
  constexpr int kEntries = 100000;
  const std::string fileName = FDir.File("large.txt");
  {
    TMemIniFile ini(fileName);
    ini.WriteInteger("List", "count", kEntries);
    for (int i = 0; i < kEntries; ++i) {
      const std::string section = "L" + std::to_string(i);
      ini.WriteString(section, "name", "/nights/IMG_" + std::to_string(i) + ".JPG");
      ini.WriteBool(section, "chck", i % 2 == 0);
    }
    ini.UpdateFile();
  }
  const TMemIniFile ini(fileName);
  ASSERT_EQ(ini.ReadInteger("List", "count", 0), kEntries);
  int wrong = 0;
  for (int i = 0; i < kEntries; ++i) {
    const std::string section = "l" + std::to_string(i);
    if (ini.ReadString(section, "NAME", "") != "/nights/IMG_" + std::to_string(i) + ".JPG" ||
        ini.ReadBool(section, "chck", true) != (i % 2 == 0))
      ++wrong;
  }
  EXPECT_EQ(wrong, 0);
  TStringList sections;
  ini.ReadSections(sections);
  ASSERT_EQ(sections.Count(), kEntries + 1);
  EXPECT_EQ(sections[kEntries], "L" + std::to_string(kEntries - 1));
}

TEST_F(IniTest, FileErrors) {
  // A missing file or a folder reads as empty.
  EXPECT_FALSE(TMemIniFile(FDir.File("missing.ini")).SectionExists("A"));
  EXPECT_FALSE(TMemIniFile(FDir.Path().string()).SectionExists("A"));
  EXPECT_THROW(TMemIniFile(FDir.File("no/such/folder/list.txt")).UpdateFile(), EFCreateError);
  if (geteuid() != 0) {
    WriteWholeFile(FDir.File("locked.ini"), Bytes("[A]\nx=1\n"));
    chmod(FDir.File("locked.ini").c_str(), 0);
    EXPECT_THROW(TMemIniFile(FDir.File("locked.ini")), EFOpenError);
  }
}

}  // namespace
