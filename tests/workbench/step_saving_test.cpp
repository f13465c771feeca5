// Numbered steps, the overwrite question, "Save Result as..." and the number format.
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

#include "tests/workbench/main_window_fixture.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"
#include "toolkit/ui/application.h"
#include "workbench/step_numbering.h"
#include "workbench/unumformat.h"

namespace {

class StepSavingTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Pictures = {WritePicture("a.bmp", 1), WritePicture("b.bmp", 2), WritePicture("c.bmp", 3)};
    Fill(*Form->ListBox1, Pictures);
  }
  Strings RightList() const { return Paths(*Form->ListBox2); }
  // Step k holds the maximum of the first k + 1 pictures.
  bool Holds(const std::string& name, int k) {
    return SamePixels(*Loaded(Temp.File(name)), *MaximumOf({Pictures.begin(), Pictures.begin() + k + 1}));
  }
  // An older file at the name.
  void Existing(const std::string& name) { WritePicture(name, 99); }
  bool IsOld(const std::string& name) {
    return SamePixels(*Loaded(Temp.File(name)), *NoisePicture(5, 3, 99));
  }
  void AnswerOverwrite(TModalResult answer, const std::string& name) {
    Script().AnswerMessageDlg(answer, "OverWrite? " + Temp.File(name));
  }
  // "Zentor and Save steps..." from the first name chosen in its dialog, with the answers to the
  // overwrite questions it will ask.
  void RunSteps(const std::string& firstName,
                std::initializer_list<std::pair<TModalResult, const char*>> answers) {
    Script().AnswerSaveFile(Temp.File(firstName));
    for (auto [answer, name] : answers) AnswerOverwrite(answer, name);
    ExpectEndOfRun(0, false);
    Form->GetMaxandSave1->Click();
  }

  Strings Pictures;
};

TEST_F(StepSavingTest, StepsAreNumberedFromTheChosenName) {
  RunSteps("night.bmp", {});
  EXPECT_EQ(Script().LastFileRequest().FileName, "process0000.bmp");  // the name proposed
  EXPECT_EQ(RightList(), Files({"night0000.bmp", "night0001.bmp", "night0002.bmp"}));
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(Holds("night000" + std::to_string(k) + ".bmp", k));
  EXPECT_EQ(Form->FStepCounter, 3);
  EXPECT_FALSE(Form->FDirty);
  // The next run proposes the next step's name; cancelling it runs nothing.
  Script().AnswerSaveFile("");
  Form->GetMaxandSave1Click(nullptr);
  EXPECT_EQ(Script().LastFileRequest().FileName, Temp.File("night0003.bmp"));
}

TEST_F(StepSavingTest, OverwriteAnswers) {
  // No: the step is not saved and its name is offered again; Yes: the next step takes it.
  Existing("y0100.bmp");
  Existing("y0101.bmp");
  RunSteps("y0100.bmp", {{mrNo, "y0100.bmp"}, {mrYes, "y0100.bmp"}, {mrYes, "y0101.bmp"}});
  EXPECT_TRUE(Holds("y0100.bmp", 1));
  EXPECT_TRUE(Holds("y0101.bmp", 2));
  EXPECT_EQ(RightList(), Files({"y0100.bmp", "y0101.bmp"}));

  // No to all skips the existing file and every step after it.
  Form->ListBox2->Clear();
  Existing("n0001.bmp");
  RunSteps("n.bmp", {{mrNoToAll, "n0001.bmp"}});
  EXPECT_TRUE(Holds("n0000.bmp", 0));
  EXPECT_TRUE(IsOld("n0001.bmp"));
  EXPECT_FALSE(FileExists(Temp.File("n0002.bmp")));
  EXPECT_EQ(RightList(), Files({"n0000.bmp"}));

  // Yes to all is asked once.
  Existing("a0000.bmp");
  Existing("a0001.bmp");
  RunSteps("a.bmp", {{mrYesToAll, "a0000.bmp"}});
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(Holds("a000" + std::to_string(k) + ".bmp", k));

  // Cancel stops the run.
  Form->ListBox2->Clear();
  Existing("c0001.bmp");
  RunSteps("c.bmp", {{mrCancel, "c0001.bmp"}});
  EXPECT_TRUE(Form->FAbort);
  EXPECT_EQ(Form->FResultCount, 2);
  EXPECT_TRUE(IsOld("c0001.bmp"));
  EXPECT_FALSE(FileExists(Temp.File("c0002.bmp")));
  EXPECT_EQ(RightList(), Files({"c0000.bmp"}));
}

TEST_F(StepSavingTest, StepsUnderAnotherExtensionAreAskedAndListedAsBmp) {
  Existing("shot0012.bmp");
  WriteWholeFile(Temp.File("shot0013.png"), {1, 2, 3});  // never written, so never asked about
  RunSteps("shot12.png", {{mrYes, "shot0012.bmp"}});
  EXPECT_EQ(RightList(), Files({"shot0012.bmp", "shot0013.bmp", "shot0014.bmp"}));
  EXPECT_TRUE(Holds("shot0013.bmp", 1));
  EXPECT_EQ(ReadWholeFile(Temp.File("shot0013.png")), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(StepSavingTest, SaveAsAsksAboutTheNameWrittenAndKeepsTheAnswer) {
  Existing("A.bmp");
  Existing("C.bmp");
  auto bitmap = NoisePicture(5, 3, 7);
  int answer = mrYes;
  Strings names = Files({"A.bmp", "B.bmp", "C.tif", "D.bmp"});
  AnswerOverwrite(mrNo, "A.bmp");
  AnswerOverwrite(mrYes, "C.bmp");
  const bool saved[] = {false, false, true, true};  // B: the No is kept for a new file
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(Form->SaveAs(bitmap.get(), names[i], answer), saved[i]);
  EXPECT_EQ(names[2], Temp.File("C.bmp"));
  EXPECT_TRUE(SamePixels(*Loaded(names[2]), *bitmap));
  EXPECT_TRUE(IsOld("A.bmp"));
  EXPECT_FALSE(FileExists(Temp.File("B.bmp")));
  TPixelFormat format = pfDevice;
  ASSERT_TRUE(LoadPicture(*Loaded(names[3]), names[3], format));
  EXPECT_EQ(format, pf32bit);
  EXPECT_TRUE(RightList().empty());
}

TEST_F(StepSavingTest, SaveResultAsksBeforeOverwritingAndReportsAFailedSave) {
  ExpectEndOfRun(0);
  Form->GetMAX1Click(nullptr);
  ASSERT_TRUE(Form->FDirty);
  Existing("result.bmp");
  Script().AnswerSaveFile(Temp.File("result.png"));
  AnswerOverwrite(mrNo, "result.bmp");
  Form->SaveResult1->Click();
  EXPECT_TRUE(IsOld("result.bmp"));
  EXPECT_TRUE(Form->FDirty);
  Script().AnswerSaveFile(Temp.File("result.bmp"));
  AnswerOverwrite(mrYes, "result.bmp");
  Form->ToolButtonSave->Click();
  EXPECT_TRUE(Holds("result.bmp", 2));
  EXPECT_FALSE(Form->FDirty);
  EXPECT_EQ(RightList(), Files({"result.bmp"}));
  // Failures, of the BMP write and of the JPEG save, in a folder that does not exist and over a name
  // that stands for a device (a link to /dev/full): said in a message box that names the file and the
  // reason, the work kept unsaved. (A full disk is tried in safe_saves_test.cpp.)
  for (const char* extension : {".bmp", ".jpg"}) {
    const std::string missing = Temp.File(std::string("no-folder/result") + extension);
    const std::string full = Temp.File(std::string("full") + extension);
    std::filesystem::create_symlink("/dev/full", full);
    for (const auto& [name, message] :
         {std::pair{missing, Format(SFCreateErrorEx, {missing, std::string(std::strerror(ENOENT))})},
          {full, Format(SFCreateErrorEx, {full, std::string(SNotRegularFile)})}}) {
      SCOPED_TRACE(name);
      Form->FDirty = false;
      Script().AnswerSaveFile(name);
      if (name == full) AnswerOverwrite(mrYes, std::string("full") + extension);
      Script().AnswerMessageBox(IDOK, message + ".");
      Form->SaveResult1Click(nullptr);
      EXPECT_EQ(Script().Asked().back().Caption, Application->Title());
      EXPECT_TRUE(Form->FDirty);
      EXPECT_EQ(RightList().size(), 1u);
    }
  }
}

// A step that cannot be written ends the run through the message loop with the file error, as JPEG as
// well as BMP, and a step written short (a full disk, here a file-size limit) leaves no partial file.
TEST_F(StepSavingTest, AStepThatCannotBeWrittenEndsTheRunWithTheFileError) {
  for (const std::string extension : {".bmp", ".jpg"}) {
    SCOPED_TRACE(extension);
    Script().AnswerSaveFile(Temp.File("no-folder/s" + extension));
    Script().AnswerMessageBox(IDOK, Format(SFCreateErrorEx, {Temp.File("no-folder/s0000" + extension),
                                                             std::string(std::strerror(ENOENT))}) +
                                        ".");
    Form->GetMaxandSave1->trigger();
    EXPECT_TRUE(RightList().empty());
    EXPECT_TRUE(Form->FDirty);

    Form->FStepCounter = 0;
    Script().AnswerSaveFile(Temp.File("full" + extension));
    Script().AnswerMessageBox(
        IDOK,
        Format(SFWriteErrorEx, {Temp.File("full0000" + extension), std::string(std::strerror(EFBIG))}) + ".");
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousSignal = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 60;  // fewer bytes than either file needs
    setrlimit(RLIMIT_FSIZE, &limited);
    Form->GetMaxandSave1->trigger();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousSignal);
    EXPECT_FALSE(FileExists(Temp.File("full0000" + extension)));
    EXPECT_TRUE(RightList().empty());
  }
}

// Lists of 10000 pictures and more number their steps with five digits; a counter outside its range
// starts again at 0.
TEST_F(StepSavingTest, StepNameWidthsFollowTheListLength) {
  TStrings& items = Form->ListBox1->Items();
  items.BeginUpdate();
  while (items.Count() < 12000) items.Add("/n/x.bmp");
  items.EndUpdate();
  EXPECT_EQ(Form->StepFileName(7), "process00007.bmp");
  Form->FStepPrefix = "/n/trail";
  Form->FStepExt = ".jpg";
  Form->FAutoAdapt = false;
  for (int32_t outside : {-1, StepCounterLimit}) {
    Form->FStepCounter = 55;
    EXPECT_EQ(Form->StepFileName(outside), "/n/trail0000.jpg");
    EXPECT_EQ(Form->FStepCounter, 0);
  }
}

TEST_F(StepSavingTest, NumberFormatDialogAppliesWhicheverButtonClosedIt) {
  std::unique_ptr<TFormNumFormat, TFormDeleter> dialog = NewForm<TFormNumFormat>(nullptr);
  FormNumFormat = dialog.get();
  auto answer = [this](int position, bool autoAdapt, int shownPosition, bool shownAuto) {
    Script().AnswerShowModal("FormNumFormat", mrCancel, [=](TCustomForm& form) {
      auto& numFormat = static_cast<TFormNumFormat&>(form);
      EXPECT_EQ(numFormat.UpDown1->Position(), shownPosition);
      EXPECT_EQ(numFormat.CheckBoxAutoNumFormat->Checked(), shownAuto);
      numFormat.UpDown1->SetPosition(position);
      numFormat.CheckBoxAutoNumFormat->SetChecked(autoAdapt);
    });
    Form->numformat1->Click();
  };
  answer(0, false, 4, true);
  EXPECT_EQ(Form->StepFileName(7), "process7.bmp");
  EXPECT_FALSE(Form->FAutoAdapt);
  EXPECT_FALSE(Form->numformat1->Checked());
  answer(10, true, 0, false);
  EXPECT_EQ(Form->StepFileName(7), "process0000000007.bmp");
  EXPECT_TRUE(Form->numformat1->Checked());
  answer(-1, true, 10, true);  // below the range: four digits again
  EXPECT_EQ(Form->StepFileName(7), "process0007.bmp");
  FormNumFormat = nullptr;
}

}  // namespace
