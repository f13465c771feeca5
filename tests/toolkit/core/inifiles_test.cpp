#include "toolkit/core/inifiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "tests/support/test_files.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/string_list.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}
std::string Text(const std::vector<uint8_t>& bytes) {
  return {bytes.begin(), bytes.end()};
}

std::vector<std::string> Lines(const TStrings& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
  return lines;
}

using Texts = std::vector<std::string>;

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
  EXPECT_EQ(ini.ReadInteger("List", "count", 0), 3);
  EXPECT_EQ(ini.ReadString("List", "name", ""), "C:\\pics\\a=b.bmp");
  EXPECT_EQ(ini.ReadString("L0000", "name", ""), "/p/first.bmp");
  // Lines before the first section are dropped; comments are no keys.
  EXPECT_EQ(ini.ReadString("", "orphan", "default"), "default");
  EXPECT_FALSE(ini.ValueExists("Orphans", ";key"));
  // A line without "=" gives no value.
  EXPECT_EQ(ini.ReadString("List", "flag", "none"), "none");
  EXPECT_FALSE(ini.ValueExists("List", "flag"));
  // Letter case is ignored for sections and names.
  EXPECT_EQ(ini.ReadString("LIST", "COUNT", ""), "3");
  EXPECT_EQ(ini.ReadString("l0000", "Name", ""), "/p/first.bmp");
  // Missing section or name: the caller's default.
  EXPECT_EQ(ini.ReadString("Nope", "count", "d"), "d");
  EXPECT_EQ(ini.ReadString("List", "nope", "d"), "d");
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
      Ini("[V]\n"
          "dec=-42\nhex=0x1F\nHEX=0X10\ndollar=$20\nshort=0x\nbad=12a\nempty=\nbig=99999999999\n"
          "one=1\nzero=0\ntwo=2\nhexone=0x1\nyes=yes\nminus=-1\n");
  EXPECT_EQ(ini.ReadInteger("V", "dec", 0), -42);
  EXPECT_EQ(ini.ReadInteger("V", "hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("V", "dollar", 0), 32);
  EXPECT_EQ(ini.ReadInteger("V", "short", 7), 7);
  EXPECT_EQ(ini.ReadInteger("V", "bad", 7), 7);
  EXPECT_EQ(ini.ReadInteger("V", "empty", 7), 7);
  EXPECT_EQ(ini.ReadInteger("V", "big", 7), 7);
  EXPECT_EQ(ini.ReadInteger("V", "missing", 7), 7);
  EXPECT_TRUE(ini.ReadBool("V", "one", false));
  EXPECT_FALSE(ini.ReadBool("V", "zero", true));
  EXPECT_TRUE(ini.ReadBool("V", "two", false));
  EXPECT_TRUE(ini.ReadBool("V", "hexone", false));
  EXPECT_TRUE(ini.ReadBool("V", "minus", false));
  EXPECT_FALSE(ini.ReadBool("V", "yes", false));
  EXPECT_TRUE(ini.ReadBool("V", "yes", true));
  EXPECT_TRUE(ini.ReadBool("V", "missing", true));
}

TEST_F(IniTest, WritingKeepsPlacesAndAppendsNewOnes) {
  TMemIniFile ini = Ini("[Application]\nname=Old\nVersion=1\n[List]\ncount=5\n");
  ini.WriteString("application", "NAME", "Orvanta");
  ini.WriteString("Application", "Version", " - version 2.1g - 2014/02/18 - ");
  ini.WriteInteger("List", "count", 2);
  ini.WriteString("L0000", "name", "/p/a.bmp");
  ini.WriteBool("L0000", "slct", true);
  ini.WriteBool("L0000", "chck", false);
  ini.WriteString("List", "extra", "");
  ini.UpdateFile();
  EXPECT_EQ(Text(ReadWholeFile(FDir.File("t.ini"))),
            "[Application]\r\nname=Orvanta\r\nVersion= - version 2.1g - 2014/02/18 - \r\n\r\n"
            "[List]\r\ncount=2\r\nextra=\r\n\r\n"
            "[L0000]\r\nname=/p/a.bmp\r\nslct=1\r\nchck=0\r\n\r\n");
  // Values come back trimmed.
  const TMemIniFile again(FDir.File("t.ini"));
  EXPECT_EQ(again.ReadString("Application", "Version", ""), "- version 2.1g - 2014/02/18 -");
  EXPECT_TRUE(again.ValueExists("List", "extra"));
}

TEST_F(IniTest, NewFileAndWholeSectionOperations) {
  const std::string name = FDir.File("new.lng");
  TMemIniFile ini(name);
  EXPECT_EQ(ini.FileName(), name);
  EXPECT_FALSE(ini.SectionExists("File"));
  ini.WriteString("File", "Name", name);
  ini.WriteString("Strings", "kstleft", "GAUCHE");
  ini.WriteString("Strings", "kstright", "DROITE");
  ini.WriteString("Strings", "odd line", "a=b");
  TStringList list;
  ini.ReadSection("strings", list);
  EXPECT_EQ(Lines(list), (Texts{"kstleft", "kstright", "odd line"}));
  ini.ReadSectionValues("Strings", list);
  EXPECT_EQ(Lines(list), (Texts{"kstleft=GAUCHE", "kstright=DROITE", "odd line=a=b"}));
  ini.DeleteKey("Strings", "KSTRIGHT");
  ini.DeleteKey("Strings", "missing");
  ini.DeleteKey("Missing", "kstleft");
  EXPECT_FALSE(ini.ValueExists("Strings", "kstright"));
  ini.EraseSection("FILE");
  EXPECT_FALSE(ini.SectionExists("File"));
  EXPECT_EQ(ini.Text(), "[Strings]\r\nkstleft=GAUCHE\r\nodd line=a=b\r\n\r\n");
  ini.Clear();
  EXPECT_EQ(ini.Text(), "");
  ini.UpdateFile();
  EXPECT_TRUE(ReadWholeFile(name).empty());
}

TEST_F(IniTest, LinesWithoutEqualsAndRepeatedSectionsSurviveAWrite) {
  TMemIniFile ini = Ini("[A]\nplain line\nx=1\n[B]\ny=2\n[a]\nz=3\n");
  EXPECT_EQ(ini.ReadInteger("A", "z", 0), 3);
  TStringList list;
  ini.ReadSectionValues("A", list);
  EXPECT_EQ(Lines(list), (Texts{"plain line", "x=1", "z=3"}));
  EXPECT_EQ(ini.Text(), "[A]\r\nplain line\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n\r\n");
}

TEST_F(IniTest, FileErrors) {
  // A missing file or a folder reads as empty.
  EXPECT_FALSE(TMemIniFile(FDir.File("missing.ini")).SectionExists("A"));
  EXPECT_FALSE(TMemIniFile(FDir.Path().string()).SectionExists("A"));
  TMemIniFile ini(FDir.File("no/such/folder/list.txt"));
  ini.WriteInteger("List", "count", 0);
  EXPECT_THROW(ini.UpdateFile(), EFCreateError);
  TMemIniFile onFolder(FDir.Path().string());
  EXPECT_THROW(onFolder.UpdateFile(), EFCreateError);
  if (geteuid() != 0) {
    WriteWholeFile(FDir.File("locked.ini"), Bytes("[A]\nx=1\n"));
    chmod(FDir.File("locked.ini").c_str(), 0);
    EXPECT_THROW(TMemIniFile(FDir.File("locked.ini")), EFOpenError);
  }
}

}  // namespace
