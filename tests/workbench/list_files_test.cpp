// Saving and loading list files: the written text, round trips, hand-written files, the sections a
// shorter list leaves behind, and the dialogs.
#include "tests/workbench/picture_list_fixture.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/inifiles.h"
#include "toolkit/ui/system_services.h"

namespace {

using Strings = std::vector<std::string>;

class ListFileTest : public PictureListTest {
 protected:
  std::string ReadText(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
  }
  void WriteText(const std::string& path, const std::string& text) {
    WriteWholeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
  }
};

TEST_F(ListFileTest, SavedFileHoldsTheApplicationTheCountAndOneSectionPerEntry) {
  Form->ToolBar1Click(Form.get());
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {"/night/img_0001.jpg", "/night/img 0002.jpg"});
  list.SetSelected(0, true);
  list.SetChecked(1, false);
  const std::string path = Temp.File("list.txt");
  Form->SaveListFile(path);
  EXPECT_EQ(ReadText(path),
            "[Application]\r\nname=Orvanta\r\nVersion= - version 2.1g - 2014/02/18 - \r\n\r\n"
            "[List]\r\ncount=2\r\n\r\n"
            "[L0000]\r\nname=/night/img_0001.jpg\r\nslct=1\r\nchck=1\r\n\r\n"
            "[L0001]\r\nname=/night/img 0002.jpg\r\nslct=0\r\nchck=0\r\n\r\n");
}

TEST_F(ListFileTest, RoundTripKeepsPathsSelectionAndCheckMarks) {
  Form->ToolBar1Click(Form.get());
  TCheckListBox& left = *Form->ListBox1;
  Fill(left, {"/a/1.bmp", "/a/2.bmp", "/a/3.bmp", "/a/1.bmp"});
  left.SetSelected(1, true);
  left.SetSelected(3, true);
  left.SetChecked(2, false);
  left.SetChecked(3, false);
  // The enabled flag is not stored: a failed entry comes back enabled (and unchecked).
  left.SetItemEnabled(2, false);
  const std::string path = Temp.File("round.txt");
  Form->SaveListFile(path);

  Form->ToolBar2Click(Form.get());
  Form->LoadListFile(path);
  TCheckListBox& right = *Form->ListBox2;
  EXPECT_EQ(Paths(right), Paths(left));
  EXPECT_EQ(Marks(right), "CcUu");
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(ListFileTest, HandWrittenFilesFollowTheIniRules) {
  const std::string path = Temp.File("hand.txt");
  WriteText(path,
            "lines before a section are dropped\n"
            "; a comment\n"
            "  [ List ]  \n"
            "count = 6\n"
            "\n"
            "[L0000]\r\n"
            "name =   /pics/with blanks.bmp   \r\n"
            "slct= yes\r\n"
            "chck=0x1\r\n"
            "[L0001]\r"
            "name=/pics/b.bmp\r"
            "slct=1\r"
            "chck=0\r"
            "[l0002]\n"
            "NAME=/pics/c.bmp\n"
            "slct=7\n"
            "chck=2\n"
            "[L0003]\n"
            "name=/pics/d=e.bmp\n"
            "chck=no\n"
            "slct=0x0\n"
            "[L0005]\n"
            "name\n");
  Form->ToolBar1Click(Form.get());
  Form->LoadListFile(path);
  TCheckListBox& list = *Form->ListBox1;
  EXPECT_EQ(Paths(list),
            (Strings{"/pics/with blanks.bmp", "/pics/b.bmp", "/pics/c.bmp", "/pics/d=e.bmp", "", ""}));
  // "yes" is no number: not selected; 0x1 and 2 are true; a missing section or name gives not
  // selected and checked; "no" is no number: checked.
  EXPECT_EQ(Marks(list), "CucCCC");
}

TEST_F(ListFileTest, CountWithOnlyTheFirstSectionGivesEmptyCheckedEntries) {
  const std::string path = Temp.File("three.txt");
  WriteText(path, "[List]\ncount  =  3\n[L0000]\nname=/p/first.bmp\nchck=0\n");
  Form->ToolBar1Click(Form.get());
  Form->LoadListFile(path);
  EXPECT_EQ(Paths(*Form->ListBox1), (Strings{"/p/first.bmp", "", ""}));
  EXPECT_EQ(Marks(*Form->ListBox1), "UCC");

  // A count that is no number, zero or negative loads nothing.
  for (const char* count : {"count=three", "count=0", "count=-4", ""}) {
    SCOPED_TRACE(count);
    WriteText(path, std::string("[List]\n") + count + "\n[L0000]\nname=/p/x.bmp\n");
    Fill(*Form->ListBox1, {"/p/old.bmp"});
    Script().AnswerMessageBox(IDOK, "Clear List?");
    Form->LoadListFile(path);
    EXPECT_EQ(Form->ListBox1->Count(), 0);
  }
}

TEST_F(ListFileTest, SavingAShorterListLeavesTheOldSectionsWhichLoadingIgnores) {
  Form->ToolBar1Click(Form.get());
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {"/p/0.bmp", "/p/1.bmp", "/p/2.bmp", "/p/3.bmp", "/p/4.bmp"});
  const std::string path = Temp.File("shrink.txt");
  Form->SaveListFile(path);
  list.Clear();
  Fill(list, {"/q/0.bmp", "/q/1.bmp"});
  list.SetChecked(1, false);
  Form->SaveListFile(path);

  const TMemIniFile ini(path);
  EXPECT_EQ(ini.ReadInteger("List", "count", -1), 2);
  EXPECT_EQ(ini.ReadString("L0001", "name", ""), "/q/1.bmp");
  EXPECT_EQ(ini.ReadString("L0001", "chck", ""), "0");
  for (const char* old : {"L0002", "L0003", "L0004"}) EXPECT_TRUE(ini.SectionExists(old)) << old;
  EXPECT_EQ(ini.ReadString("L0004", "name", ""), "/p/4.bmp");

  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->LoadListFile(path);
  EXPECT_EQ(Paths(list), (Strings{"/q/0.bmp", "/q/1.bmp"}));
  EXPECT_EQ(Marks(list), "CU");
}

TEST_F(ListFileTest, EmptyListsAndMissingFiles) {
  Form->ToolBar2Click(Form.get());
  const std::string path = Temp.File("empty.txt");
  Form->SaveListFile(path);
  const std::string text = ReadText(path);
  EXPECT_NE(text.find("[List]\r\ncount=0\r\n"), std::string::npos);
  EXPECT_EQ(text.find("[L0000]"), std::string::npos);

  // Loading it empties the current list, after the question.
  Fill(*Form->ListBox2, {"/p/a.bmp"});
  Script().AnswerMessageBox(IDCANCEL, "Clear List?");
  Form->LoadListFile(path);
  EXPECT_EQ(Form->ListBox2->Count(), 1);
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->LoadListFile(path);
  EXPECT_EQ(Form->ListBox2->Count(), 0);
  EXPECT_EQ(Script().Asked().back().Caption, "Right List");

  // A name typed for a file that does not exist: the question, and nothing added.
  Fill(*Form->ListBox2, {"/p/a.bmp"});
  Script().AnswerOpenFile({Temp.File("nothing-here.txt")});
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->LoadList1->Click();
  EXPECT_EQ(Form->ListBox2->Count(), 0);
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), "Empty List");
}

TEST_F(ListFileTest, LoadingAppendsWhenTheClearIsCancelledAndFilesSortedLists) {
  const std::string path = Temp.File("sorted.txt");
  WriteText(path, "[List]\ncount=2\n[L0000]\nname=/p/m.bmp\nslct=1\n[L0001]\nname=/p/b.bmp\nchck=0\n");
  Form->ToolBar1Click(Form.get());
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {"/p/a.bmp", "/p/z.bmp"});
  Form->SortList1->Click();
  Script().AnswerMessageBox(IDCANCEL, "Clear List?");
  Form->LoadListFile(path);
  EXPECT_EQ(Paths(list), (Strings{"/p/a.bmp", "/p/b.bmp", "/p/m.bmp", "/p/z.bmp"}));
  EXPECT_EQ(Marks(list), "CUcC");
}

TEST_F(ListFileTest, TheDialogsUseTheListFilterAndTheDefaultName) {
  Form->ToolBar1Click(Form.get());
  Fill(*Form->ListBox1, {"/p/a.bmp"});
  const std::string path = Temp.File("chosen.txt");

  // A cancelled save writes nothing.
  Script().AnswerSaveFile("");
  Form->SaveList1->Click();
  EXPECT_EQ(Script().LastFileRequest().FileName, "processlist.txt");
  EXPECT_EQ(Script().Asked().back().Caption, "*.txt|*.txt|*.*|*.*");
  EXPECT_TRUE(Script().LastFileRequest().OverwritePrompt);

  Script().AnswerSaveFile(path);
  Form->SaveList1->Click();
  EXPECT_EQ(TMemIniFile(path).ReadString("L0000", "name", ""), "/p/a.bmp");
  // The last name chosen is offered again.
  Script().AnswerSaveFile("");
  Form->SaveList1->Click();
  EXPECT_EQ(Script().LastFileRequest().FileName, path);

  Form->OpenDialog1->FileName.clear();
  Script().AnswerOpenFile({});
  Form->LoadList1->Click();
  EXPECT_EQ(Script().LastFileRequest().FileName, "processlist.txt");
  EXPECT_EQ(Script().Asked().back().Caption, "*.txt|*.txt|*.*|*.*");
  EXPECT_EQ(Form->ListBox1->Count(), 1);

  Script().AnswerOpenFile({path});
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->LoadList1->Click();
  EXPECT_EQ(Paths(*Form->ListBox1), (Strings{"/p/a.bmp"}));
}

TEST_F(ListFileTest, SavingIntoAFolderRaisesTheFileError) {
  Form->ToolBar1Click(Form.get());
  Fill(*Form->ListBox1, {"/p/a.bmp"});
  const std::string folder = (Temp.Path() / "a-folder.txt").string();
  std::filesystem::create_directory(folder);
  EXPECT_THROW(Form->SaveListFile(folder), EFCreateError);
  EXPECT_EQ(Form->ListBox1->Count(), 1);
}

}  // namespace
