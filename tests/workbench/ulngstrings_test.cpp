// The message strings: written in table order under their three sections, read back, and read from a
// hand-written language file.
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

TEST_F(LngStringsTest, WrittenInTableOrderAndReadBack) {
  const std::string name = temp.File("round.lng");
  TMemIniFile out(name);
  WriteLngStrings(out);
  out.UpdateFile();
  const std::vector<uint8_t> bytes = ReadWholeFile(name);
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(text.find("[Strings]\r\nkstClearList=Clear List?\r\nkstClearSelection=Clear Selection\r\n"), 0u);
  EXPECT_NE(text.find("kstright=RIGHT\r\n\r\n[Messages]\r\nlngquit=Quitter?\r\n\r\n[Lng]\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("lngListFilter=Liste *.lst|*.lst|Tous Fichiers *.*|*.*\r\n"), std::string::npos);

  kstoverwrite = "changed";
  lngSaveEdit = "changed";
  TMemIniFile in(name);
  ReadLngStrings(in);
  EXPECT_EQ(kstoverwrite, "OverWrite? %s");
  EXPECT_EQ(lngSaveEdit, "Voulez-vous enregistrer les  modifications ?");
}

TEST_F(LngStringsTest, ReadingReplacesOnlyNonEmptyValuesOfTheRightSection) {
  const std::string name = temp.File("fr.lng");
  const std::string text =
      "[Strings]\r\nkstleft = GAUCHE \r\nkstClearList=\r\nlngquit=Wrong section\r\n[Lng]\r\nlngEdit=Edit\r\n";
  WriteWholeFile(name, std::vector<uint8_t>(text.begin(), text.end()));
  TMemIniFile ini(name);
  ReadLngStrings(ini);
  EXPECT_EQ(kstleft, "GAUCHE");
  EXPECT_EQ(kstClearList, "Clear List?");
  EXPECT_EQ(lngquit, "Quitter?");
  EXPECT_EQ(lngEdit, "Edit");
}

}  // namespace
