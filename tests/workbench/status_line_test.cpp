// What the status line says through the real main window: after "New list", after "Load list" and
// "Show Result", and for an entry that failed earlier and is clicked again.
#include <sys/stat.h>

#include <filesystem>

#include "tests/workbench/main_window_fixture.h"
#include "workbench/ulngstrings.h"

namespace {

class StatusLineTest : public MainWindowTest {
 protected:
  // Counter, text, and the error style when it is on.
  std::string Shown() {
    TStatusBar& bar = *Form->StatusBar1;
    return bar.Panels(0).Text() + " " + bar.Panels(2).Text() + (bar.Font.Italic ? " (error)" : "");
  }
  void Click(int index) {
    Form->ListBox1->SetItemIndex(index);
    Form->ListBoxClick(Form->ListBox1);
  }
};

TEST_F(StatusLineTest, NewListShowsTheFirstFileChosen) {
  const Strings files = {WritePicture("a.bmp", 1, 7, 4), WritePicture("b.bmp", 2), WritePicture("c.bmp", 3)};
  Script().AnswerOpenFile(files);
  Form->NewList1->Click();
  EXPECT_EQ(Shown(), "1/3 " + files[0]);
  EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 7);
  // Cancelled, the list and its line stay.
  Script().AnswerOpenFile({});
  Form->NewList1->Click();
  EXPECT_EQ(Shown(), "1/3 " + files[0]);
  EXPECT_EQ(Form->ListBox1->Count(), 3);
}

// The result's counter is the pictures merged into it over the left list: once a shorter list is
// loaded the count no longer has a place in it and is left out, in the normal style.
TEST_F(StatusLineTest, ShowResultAfterLoadingAShorterList) {
  Strings frames;
  for (int i = 0; i < 10; ++i) frames.push_back(WritePicture("f" + std::to_string(i) + ".bmp", i + 1));
  Fill(*Form->ListBox1, frames);
  ExpectEndOfRun(0);
  Form->GetMAX1->Click();
  Form->ToolButton1->Click();  // "Show Result..."
  EXPECT_EQ(Shown(), "10/10 " + kstproc);
  Form->ToolButton1->Click();

  // A list file of the last three frames.
  const std::string listFile = Temp.File("three.txt");
  TCheckListBox three(nullptr, nullptr);
  Fill(three, {frames[7], frames[8], frames[9]});
  Form->FCurrentList = &three;
  Form->SaveListFile(listFile);
  Form->SetCurrentList(Form->ListBox1);
  Script().AnswerOpenFile({listFile});
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->LoadList1->Click();
  EXPECT_EQ(Shown(), "1/3 " + frames[7]);
  Form->ToolButton1->Click();
  EXPECT_EQ(Shown(), " " + kstproc);
  EXPECT_EQ(Form->Image1->ShownBitmap(), Form->FResult.get());
  Form->ToolButton1->Click();  // back to the highlighted entry, the result's line kept
  EXPECT_EQ(Shown(), " " + kstproc);
  EXPECT_NE(Form->Image1->ShownBitmap(), Form->FResult.get());

  // A run over the new list counts over it again.
  ExpectEndOfRun(0);
  Form->GetMAX1->Click();
  Form->ViewResult1Click(nullptr);
  EXPECT_EQ(Shown(), "3/3 " + kstproc);
}

// After a run, an entry that failed is not read again when clicked: the status line gives the reason it
// failed with, its own, whatever failed after it.
TEST_F(StatusLineTest, AFailedEntryClickedAfterTheRunShowsItsOwnReason) {
  const std::string pipe = Temp.File("pipe.bmp");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  const std::string link = Temp.File("link.bmp");
  std::filesystem::create_symlink(Temp.File("nowhere.bmp"), link);
  const std::string a = WritePicture("a.bmp", 1), big = WritePicture("big.bmp", 2, 6, 3);
  const std::string damaged = WriteDamaged("damaged.bmp"), missing = Temp.File("missing.bmp");
  Fill(*Form->ListBox1, {a, missing, damaged, big, pipe, link, WritePicture("b.bmp", 3)});
  ExpectEndOfRun(5, true, LoadError(missing, "No such file or directory"));
  Form->GetMAX1->Click();
  EXPECT_EQ(Marks(*Form->ListBox1), "CDDDDDC");

  const struct {
    int Index;
    std::string Text;
  } failed[] = {
      {1, LoadError(missing, "No such file or directory")},
      {2, LoadError(damaged, DamagedReason())},
      {3, SizeError(big, 6, 3, 5, 3)},
      {4, LoadError(pipe, "not a regular file (a pipe or a device)")},
      {5, LoadError(link, "a symbolic link to a file that does not exist")},
  };
  for (int pass = 0; pass < 2; ++pass) {  // the second click says the same
    for (const auto& entry : failed) {
      Click(entry.Index);
      EXPECT_EQ(Shown(), std::to_string(entry.Index + 1) + "/7 " + entry.Text + " (error)") << entry.Index;
      EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 1) << entry.Index;
    }
  }
  Click(0);
  EXPECT_EQ(Shown(), "1/7 " + a);

  // The picture test reads every entry again: a failed one that loads now is good, and one that fails
  // again is said with its new reason.
  std::filesystem::remove(missing);
  std::filesystem::copy_file(a, missing);
  std::filesystem::remove(big);
  std::filesystem::copy_file(damaged, big);
  std::filesystem::remove(pipe);
  std::filesystem::remove(link);
  Script().AnswerMessageBox(IDOK, "4 Files in Error\nFirst: " + LoadError(damaged, DamagedReason()));
  Form->Testvalidpictures1->Click();
  EXPECT_EQ(Marks(*Form->ListBox1), "CCDDDDC");
  Click(3);
  EXPECT_EQ(Shown(), "4/7 " + LoadError(big, DamagedReason()) + " (error)");
  Click(4);
  EXPECT_EQ(Shown(), "5/7 " + LoadError(pipe, "No such file or directory") + " (error)");
}

}  // namespace
