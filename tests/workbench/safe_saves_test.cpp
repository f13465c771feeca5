// Saves that replace a file through the real main window: a full disk leaves the old file byte for
// byte, a replaced file keeps its permissions and a link writes the file it points to; a pipe is never
// written into, never read from, and a pipe among the pictures is counted and marked like any picture
// that does not load.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>

#include "tests/workbench/main_window_fixture.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/format.h"
#include "toolkit/core/inifiles.h"
#include "toolkit/core/messages.h"

namespace {

constexpr const char* kNotRegular = "not a regular file (a pipe or a device)";

class SafeSavesTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    // A pipe opened for reading waits for a writer for good: should anything open one, the test ends
    // with this signal instead of hanging.
    ::alarm(120);
  }
  void TearDown() override {
    ::alarm(0);
    MainWindowTest::TearDown();
  }

  std::string Pipe(const std::string& name) {
    const std::string path = Temp.File(name);
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    return path;
  }
  // The action's exit code, run in a child process whose files may not grow past the limit: the disk
  // is full for it. The child's dialogs are its own copy of the script.
  static int OnFullDisk(rlim_t limit, const std::function<bool()>& action) {
    const pid_t child = ::fork();
    if (child == 0) {
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit full{limit, limit};
      if (::setrlimit(RLIMIT_FSIZE, &full) != 0) ::_exit(2);
      ::_exit(action() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  }
  bool AllAnswered() { return Script().Failures().empty() && Script().PendingAnswers() == 0; }
  // Nothing but the names given stands in the temporary folder (no temporary file was left).
  void ExpectOnlyFiles(Strings names) {
    Strings found;
    for (const auto& entry : std::filesystem::directory_iterator(Temp.Path()))
      found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(found, names);
  }
  static unsigned Permissions(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
  }
  // A run of three 40 x 30 pictures whose result is not saved yet.
  Strings RunThree() {
    const Strings frames = {WritePicture("a.bmp", 1, 40, 30), WritePicture("b.bmp", 2, 40, 30),
                            WritePicture("c.bmp", 3, 40, 30)};
    Fill(*Form->ListBox1, frames);
    ExpectEndOfRun(0);
    Form->GetMAX1Click(nullptr);
    EXPECT_TRUE(Form->FDirty);
    return frames;
  }
};

TEST_F(SafeSavesTest, AResultSavedOverAFileOnAFullDiskLeavesTheOldFileWhole) {
  RunThree();
  const std::string result = WritePicture("result.bmp", 9);  // 102 bytes, the new one 3654
  ::chmod(result.c_str(), 0640);
  const std::vector<uint8_t> before = ReadWholeFile(result);
  const int code = OnFullDisk(1024, [&] {
    Script().AnswerSaveFile(result);
    Script().AnswerMessageDlg(mrYes, "OverWrite? " + result);
    Script().AnswerMessageBox(IDOK,
                              Format(SFWriteErrorEx, {result, std::string(std::strerror(EFBIG))}) + ".");
    Form->SaveResult1Click(nullptr);
    return AllAnswered() && Form->FDirty && Form->ListBox2->Count() == 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadWholeFile(result), before);
  ExpectOnlyFiles({"a.bmp", "b.bmp", "c.bmp", "result.bmp"});

  // With room on the disk, and through a link: the file the link points to takes the result and keeps
  // its permissions; the link stays a link.
  const std::string link = Temp.File("link.bmp");
  std::filesystem::create_symlink(result, link);
  Script().AnswerSaveFile(link);
  Script().AnswerMessageDlg(mrYes, "OverWrite? " + link);
  Form->SaveResult1Click(nullptr);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(SamePixels(*Loaded(result), *Form->FResult));
  EXPECT_EQ(Permissions(result), 0640u);
  EXPECT_FALSE(Form->FDirty);
  ExpectOnlyFiles({"a.bmp", "b.bmp", "c.bmp", "result.bmp", "link.bmp"});
}

TEST_F(SafeSavesTest, AListSavedOverAListOnAFullDiskLeavesTheOldListWhole) {
  Form->ToolBar1Click(Form.get());
  Fill(*Form->ListBox1, {"/night/a.jpg", "/night/b.jpg", "/night/c.jpg"});
  const std::string list = Temp.File("night.txt");
  Form->SaveListFile(list);
  const std::vector<uint8_t> before = ReadWholeFile(list);
  Form->ListBox1->Clear();
  for (int i = 0; i < 2000; ++i) Fill(*Form->ListBox1, {"/night/frame" + std::to_string(i) + ".jpg"});
  const int code = OnFullDisk(4096, [&] {
    try {
      Form->SaveListFile(list);
    } catch (const EWriteError& error) {
      return error.Message() == Format(SFWriteErrorEx, {list, std::string(std::strerror(EFBIG))});
    }
    return false;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadWholeFile(list), before);
  ExpectOnlyFiles({"night.txt"});
  // Written whole once there is room.
  Form->SaveListFile(list);
  EXPECT_EQ(TMemIniFile(list).ReadInteger("List", "count", 0), 2000);
  EXPECT_EQ(TMemIniFile(list).ReadString("L1999", "name", ""), "/night/frame1999.jpg");
}

// A pipe where a result, a step or a list is to be saved is refused with its name after "OverWrite?",
// and stays a pipe.
TEST_F(SafeSavesTest, APipeIsNeverASaveTarget) {
  RunThree();
  const std::string pipe = Pipe("pipe.bmp");
  const std::string refused = Format(SFCreateErrorEx, {pipe, std::string(SNotRegularFile)}) + ".";
  Script().AnswerSaveFile(pipe);
  Script().AnswerMessageDlg(mrYes, "OverWrite? " + pipe);
  Script().AnswerMessageBox(IDOK, refused);
  Form->SaveResult1->Click();
  EXPECT_TRUE(Form->FDirty);

  // The first step of a run named as the pipe: the run ends with the error.
  const std::string step = Pipe("step0000.bmp");
  Script().AnswerSaveFile(Temp.File("step.bmp"));
  Script().AnswerMessageDlg(mrYes, "OverWrite? " + step);
  Script().AnswerMessageBox(IDOK, Format(SFCreateErrorEx, {step, std::string(SNotRegularFile)}) + ".");
  Form->GetMaxandSave1->trigger();
  EXPECT_EQ(Form->ListBox2->Count(), 0);

  const std::string listPipe = Pipe("list.txt");
  Form->ToolBar1Click(Form.get());
  Script().AnswerSaveFile(listPipe);
  Script().AnswerMessageBox(IDOK, Format(SFCreateErrorEx, {listPipe, std::string(SNotRegularFile)}) + ".");
  Form->SaveList1->trigger();
  for (const std::string& path : {pipe, step, listPipe}) EXPECT_TRUE(std::filesystem::is_fifo(path)) << path;
}

// A pipe among the pictures (named as a JPEG, so that a run would take it band by band) is counted and
// marked in a run, in a preview and in the picture test; "Load list" on a pipe says so and keeps the
// list. Nothing waits for a writer.
TEST_F(SafeSavesTest, APipeAmongThePicturesIsAPictureThatDoesNotLoad) {
  const Strings frames = {Pipe("first.jpg"), WritePicture("a.jpg", 1, 16, 8), Pipe("pipe.jpg"),
                          WritePicture("b.jpg", 2, 16, 8), Pipe("pipe.bmp")};
  Fill(*Form->ListBox1, frames);
  ExpectEndOfRun(3, true, LoadError(frames[0], kNotRegular));
  Form->GetMAX1Click(nullptr);
  EXPECT_EQ(Marks(*Form->ListBox1), "DCDCD");
  EXPECT_TRUE(SamePixels(*Form->FResult, *MaximumOf({frames[1], frames[3]})));
  EXPECT_EQ(Form->FResultCount, 2);
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), LoadError(frames[4], kNotRegular));

  // A click on the pipe's entry: marked, said in red, nothing shown.
  SetMarks(*Form->ListBox1, "CCCCC");
  Form->ListBox1->SetItemIndex(2);
  Form->ListBoxClick(Form->ListBox1);
  EXPECT_EQ(Marks(*Form->ListBox1), "CCDCC");
  EXPECT_EQ(Form->StatusBar1->Panels(0).Text(), "3/5");
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), LoadError(frames[2], kNotRegular));
  EXPECT_TRUE(Form->StatusBar1->Font.Italic);
  EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 1);

  Form->ToolBar1Click(Form.get());
  Script().AnswerMessageBox(IDOK, "3 Files in Error\nFirst: " + LoadError(frames[0], kNotRegular));
  Form->Testvalidpictures1Click(nullptr);
  EXPECT_EQ(Marks(*Form->ListBox1), "DCDCD");

  const std::string listPipe = Pipe("list.txt");
  Script().AnswerOpenFile({listPipe});
  Script().AnswerMessageBox(IDOK, "Cannot load the list " + listPipe + ": " + kNotRegular + ".");
  Form->LoadList1->Click();
  EXPECT_EQ(Paths(*Form->ListBox1), frames);
  for (const std::string& path : {frames[0], frames[2], frames[4], listPipe})
    EXPECT_TRUE(std::filesystem::is_fifo(path)) << path;
}

// "Save Result as..." beside and onto names that the fixed temporary name of old could not take: a
// file of the user's own named "<name>.tmp" stays, a name of 255 bytes is saved, a link whose file does
// not exist yet is written through, and a file no one may write is refused by its mode (by the
// superuser too) with its name and the reason. No temporary file is left in any case.
TEST_F(SafeSavesTest, SavesBesideAndOntoNamesOfEveryKind) {
  RunThree();
  struct Case {
    const char* what;
    std::string name;               // the name chosen in the save dialog
    std::function<void()> prepare;  // what stands there before the save
    bool asked;                     // the overwrite question comes first
    std::string refusal;            // the message of a refused save; "" when it is saved
    std::function<void()> check;    // what stands there afterwards
  };
  const std::string mine = Temp.File("night.bmp.tmp");
  const std::string longName = Temp.File(std::string(251, 'n') + ".bmp");
  const std::string link = Temp.File("link.bmp"), made = Temp.File("made.bmp");
  const std::string readOnly = Temp.File("kept.bmp");
  const auto result = [&](const std::string& path) {
    EXPECT_TRUE(SamePixels(*Loaded(path), *Form->FResult)) << path;
  };
  const Case cases[] = {
      {"a user's <name>.tmp beside it", Temp.File("night.bmp"),
       [&] {
         WriteWholeFile(mine, {'m', 'i', 'n', 'e'});
         ::chmod(mine.c_str(), 0444);
       },
       false, "",
       [&] {
         result(Temp.File("night.bmp"));
         EXPECT_EQ(ReadWholeFile(mine), (std::vector<uint8_t>{'m', 'i', 'n', 'e'}));
         EXPECT_EQ(Permissions(mine), 0444u);
       }},
      {"a new name of 255 bytes", longName, [] {}, false, "", [&] { result(longName); }},
      {"the same name again", longName, [] {}, true, "", [&] { result(longName); }},
      {"a link whose file does not exist yet", link,
       [&] { std::filesystem::create_symlink("made.bmp", link); }, false, "",
       [&] {
         EXPECT_TRUE(std::filesystem::is_symlink(link));
         result(made);
       }},
      {"a file no one may write", readOnly,
       [&] {
         WritePicture("kept.bmp", 7);
         ::chmod(readOnly.c_str(), 0444);
       },
       true, Format(SFCreateErrorEx, {readOnly, std::string(std::strerror(EACCES))}) + ".",
       [&] {
         EXPECT_TRUE(SamePixels(*Loaded(readOnly), *NoisePicture(5, 3, 7)));
         EXPECT_EQ(Permissions(readOnly), 0444u);
       }},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(each.what);
    each.prepare();
    Form->FDirty = true;
    Script().AnswerSaveFile(each.name);
    if (each.asked) Script().AnswerMessageDlg(mrYes, "OverWrite? " + each.name);
    if (!each.refusal.empty()) Script().AnswerMessageBox(IDOK, each.refusal);
    Form->SaveResult1Click(nullptr);
    EXPECT_TRUE(AllAnswered());
    EXPECT_EQ(Form->FDirty, !each.refusal.empty());
    each.check();
  }
  ExpectOnlyFiles({"a.bmp", "b.bmp", "c.bmp", "night.bmp", "night.bmp.tmp", ExtractFileName(longName),
                   "link.bmp", "made.bmp", "kept.bmp"});
}

}  // namespace
