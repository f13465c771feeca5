// Saving and loading list files: the written text, round trips, hand-written files, the sections a
// shorter list leaves behind, and the dialogs.
#include "tests/workbench/main_window_fixture.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/inifiles.h"
#include "toolkit/ui/system_services.h"

namespace {

class ListFileTest : public MainWindowTest {
 protected:
  std::string ReadText(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
  }
  void WriteText(const std::string& path, const std::string& text) {
    WriteWholeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
  }
};

TEST_F(ListFileTest, SavedTextRoundTripAndTheSectionsAShorterListLeaves) {
  Form->ToolBar1Click(Form.get());
  TCheckListBox& left = *Form->ListBox1;
  Fill(left, {"/night/img_0001.jpg", "/night/img 0002.jpg"});
  SetMarks(left, "cU");
  const std::string path = Temp.File("list.txt");
  Form->SaveListFile(path);
  EXPECT_EQ(ReadText(path),
            "[Application]\r\nname=Orvanta\r\nVersion= - version 2.1g - 2014/02/18 - \r\n\r\n"
            "[List]\r\ncount=2\r\n\r\n"
            "[L0000]\r\nname=/night/img_0001.jpg\r\nslct=1\r\nchck=1\r\n\r\n"
            "[L0001]\r\nname=/night/img 0002.jpg\r\nslct=0\r\nchck=0\r\n\r\n");

  // The enabled flag is not stored: a failed entry comes back enabled and unchecked.
  Fill(left, {"/night/img_0001.jpg", "/a/failed.bmp"});
  SetMarks(left, "cUCd");
  Form->SaveListFile(path);
  Form->ToolBar2Click(Form.get());
  Form->LoadListFile(path);
  TCheckListBox& right = *Form->ListBox2;
  EXPECT_EQ(Paths(right), Paths(left));
  EXPECT_EQ(Marks(right), "cUCu");
  EXPECT_EQ(Screen->Cursor(), crDefault);

  // A shorter list saved over it leaves the old sections behind, and loading ignores them.
  Form->ToolBar1Click(Form.get());
  left.Clear();
  Fill(left, {"/q/z.bmp", "/q/a.bmp"});
  SetMarks(left, "CU");
  Form->SaveListFile(path);
  EXPECT_EQ(TMemIniFile(path).ReadString("L0003", "name", ""), "/a/failed.bmp");
  Form->ToolBar2Click(Form.get());
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->LoadListFile(path);
  EXPECT_EQ(Paths(right), (Strings{"/q/z.bmp", "/q/a.bmp"}));
  EXPECT_EQ(Marks(right), "CU");
  // Cancel on the question appends, and a sorted list files the entries in with their marks.
  Form->SortList2->Click();
  Script().AnswerMessageBox(IDCANCEL, "Clear List?");
  Form->LoadListFile(path);
  EXPECT_EQ(Paths(right), (Strings{"/q/a.bmp", "/q/a.bmp", "/q/z.bmp", "/q/z.bmp"}));
  EXPECT_EQ(Marks(right), "UUCC");
}

TEST_F(ListFileTest, HandWrittenFilesAndCounts) {
  // The ini syntax is the toolkit's; here the marks: a flag that is no number takes the default (not
  // selected, checked), any other number than 0 is true; a missing section is an entry without a path.
  const std::string path = Temp.File("hand.txt");
  WriteText(path,
            "[List]\ncount=4\n"
            "[L0000]\nname=/pics/a.bmp\nslct=yes\nchck=0x1\n"
            "[L0001]\nname=/pics/b.bmp\nslct=2\nchck=0\n"
            "[L0002]\nname=/pics/c.bmp\nchck=no\n");
  Form->ToolBar1Click(Form.get());
  Form->LoadListFile(path);
  TCheckListBox& list = *Form->ListBox1;
  EXPECT_EQ(Paths(list), (Strings{"/pics/a.bmp", "/pics/b.bmp", "/pics/c.bmp", ""}));
  EXPECT_EQ(Marks(list), "CuCC");

  // A count that is no number, zero or negative loads nothing.
  for (const char* count : {"count=three", "count=-4", ""}) {
    SCOPED_TRACE(count);
    WriteText(path, std::string("[List]\n") + count + "\n[L0000]\nname=/p/x.bmp\n");
    Script().AnswerMessageBox(IDOK, "Clear List?");
    Form->LoadListFile(path);
    EXPECT_EQ(list.Count(), 0);
    Fill(list, {"/p/old.bmp"});
  }

  // A count past the entry sections gives entries with empty paths; a damaged count does not make
  // the list grow without end.
  WriteText(path, "[List]\ncount=3\n[L0000]\nname=/p/x.bmp\n");
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->LoadListFile(path);
  EXPECT_EQ(Paths(list), (Strings{"/p/x.bmp", "", ""}));
  WriteText(path, "[List]\ncount=2000000000\n[L0000]\nname=/p/x.bmp\n");
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->LoadListFile(path);
  EXPECT_EQ(list.Count(), 1002);
}

// A file that holds no list (a picture, a plain text, a list saved in UTF-16) is said before anything is
// asked, and the list stays as it was.
TEST_F(ListFileTest, AFileWithoutAListIsSaidAndTheListKept) {
  Form->ToolBar1Click(Form.get());
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {"/p/a.bmp", "/p/b.bmp"});
  SetMarks(list, "cU");
  const std::string text = Temp.File("notes.txt");
  WriteText(text, "count=3\nname=/p/x.bmp\n");
  const std::string utf16 = Temp.File("utf16.txt");
  std::vector<uint8_t> bytes = {0xFF, 0xFE};
  for (char c : std::string("[List]\r\ncount=1\r\n[L0000]\r\nname=/p/x.bmp\r\n")) {
    bytes.push_back(static_cast<uint8_t>(c));
    bytes.push_back(0);
  }
  WriteWholeFile(utf16, bytes);
  for (const std::string& path : {WritePicture("frame.jpg", 1), text, utf16}) {
    SCOPED_TRACE(path);
    Script().AnswerMessageBox(IDOK, path + " holds no list: the list is left as it is.");
    Form->LoadListFile(path);
    EXPECT_EQ(Script().Asked().back().Caption, "Left List");
    EXPECT_EQ(Paths(list), (Strings{"/p/a.bmp", "/p/b.bmp"}));
    EXPECT_EQ(Marks(list), "cU");
  }
}

TEST_F(ListFileTest, TheDialogsUseTheListFilterAndTheDefaultName) {
  Form->ToolBar1Click(Form.get());
  Fill(*Form->ListBox1, {"/p/a.bmp"});
  const std::string path = Temp.File("chosen.txt");
  Script().AnswerSaveFile("");  // cancelled: nothing written
  Form->SaveList1->Click();
  EXPECT_EQ(Script().LastFileRequest().FileName, "processlist.txt");
  EXPECT_EQ(Script().LastFileRequest().Filter, "*.txt|*.txt|*.*|*.*");
  EXPECT_TRUE(Script().LastFileRequest().OverwritePrompt);
  Script().AnswerSaveFile(path);
  Form->SaveList1->Click();
  EXPECT_EQ(TMemIniFile(path).ReadString("L0000", "name", ""), "/p/a.bmp");

  Script().AnswerOpenFile({path});
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->LoadList1->Click();
  EXPECT_EQ(Script().LastFileRequest().FileName, "processlist.txt");
  EXPECT_EQ(Script().LastFileRequest().Filter, "*.txt|*.txt|*.*|*.*");
  EXPECT_EQ(Paths(*Form->ListBox1), (Strings{"/p/a.bmp"}));
  // A typed name of a file that does not exist: said with the reason, and the list kept.
  Script().AnswerOpenFile({Temp.File("nothing-here.txt")});
  Script().AnswerMessageBox(
      IDOK, "Cannot load the list " + Temp.File("nothing-here.txt") + ": No such file or directory.");
  Form->LoadList1->Click();
  EXPECT_EQ(Script().LastFileRequest().FileName, path);  // the last name chosen is offered again
  EXPECT_EQ(Paths(*Form->ListBox1), (Strings{"/p/a.bmp"}));
  // Saving into a folder raises the file error.
  std::filesystem::create_directory(Temp.File("a-folder.txt"));
  EXPECT_THROW(Form->SaveListFile(Temp.File("a-folder.txt")), EFCreateError);
}

}  // namespace
