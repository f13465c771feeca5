#include "workbench/ulngstrings.h"

#include <gtest/gtest.h>

#include "tests/support/test_files.h"
#include "toolkit/core/inifiles.h"

namespace {

// The strings are process-wide: each test puts the defaults back.
class LngStringsTest : public testing::Test {
 protected:
  void SetUp() override {
    TMemIniFile snapshot(temp.File("defaults.lng"));
    WriteLngStrings(snapshot);
    snapshot.UpdateFile();
  }
  void TearDown() override {
    TMemIniFile snapshot(temp.File("defaults.lng"));
    ReadLngStrings(snapshot);
  }
  TempDir temp;
};

TEST_F(LngStringsTest, WritesTheThreeSectionsInTableOrder) {
  TMemIniFile ini(temp.File("new.lng"));
  WriteLngStrings(ini);
  ini.UpdateFile();
  const std::vector<uint8_t> bytes = ReadWholeFile(temp.File("new.lng"));
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text.find("[Strings]\r\nkstClearList=Clear List?\r\nkstClearSelection=Clear Selection\r\n"), 0u);
  EXPECT_NE(text.find("kstright=RIGHT\r\n\r\n[Messages]\r\nlngquit=Quitter?\r\n\r\n[Lng]\r\n"), std::string::npos);
  EXPECT_NE(text.find("lngListFilter=Liste *.lst|*.lst|Tous Fichiers *.*|*.*\r\n"), std::string::npos);
  EXPECT_NE(text.find("lngSaveEdit=Voulez-vous enregistrer les  modifications ?\r\n"), std::string::npos);
}

TEST_F(LngStringsTest, ReadingReplacesOnlyNonEmptyValuesOfTheRightSection) {
  const std::string name = temp.File("fr.lng");
  WriteWholeFile(name, [] {
    const std::string text =
        "[Strings]\r\nkstleft = GAUCHE \r\nkstClearList=\r\nlngquit=Wrong section\r\n[Lng]\r\nlngEdit=Edit\r\n";
    return std::vector<uint8_t>(text.begin(), text.end());
  }());
  TMemIniFile ini(name);
  ReadLngStrings(ini);
  EXPECT_EQ(kstleft, "GAUCHE");
  EXPECT_EQ(kstClearList, "Clear List?");
  EXPECT_EQ(lngquit, "Quitter?");
  EXPECT_EQ(lngEdit, "Edit");
}

TEST_F(LngStringsTest, WriteThenReadKeepsEveryString) {
  TMemIniFile out(temp.File("round.lng"));
  WriteLngStrings(out);
  out.UpdateFile();
  kstoverwrite = "changed";
  lngSaveEdit = "changed";
  TMemIniFile in(temp.File("round.lng"));
  ReadLngStrings(in);
  EXPECT_EQ(kstoverwrite, "OverWrite? %s");
  EXPECT_EQ(lngSaveEdit, "Voulez-vous enregistrer les  modifications ?");
}

}  // namespace
