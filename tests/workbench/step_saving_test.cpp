// Numbered steps, the overwrite question, "Save Result as..." and the number format.
#include "tests/workbench/run_fixture.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"
#include "toolkit/ui/application.h"
#include "workbench/step_numbering.h"
#include "workbench/unumformat.h"

namespace {

class StepSavingTest : public RunTest {
 protected:
  void SetUp() override {
    RunTest::SetUp();
    Paths = {WritePicture("a.bmp", 1), WritePicture("b.bmp", 2), WritePicture("c.bmp", 3)};
    AddEntries(Paths);
  }
  // What step k holds: the maximum of the first k + 1 pictures.
  std::unique_ptr<TBitmap> Step(int k) { return MaximumOf({Paths.begin(), Paths.begin() + k + 1}); }
  // An older file already at the name.
  std::string Existing(const std::string& name) { return WritePicture(name, 99); }
  bool IsOld(const std::string& name) {
    return SamePixels(*Loaded(Temp.File(name)), *NoisePicture(5, 3, 99));
  }
  bool Holds(const std::string& name, int k) { return SamePixels(*Loaded(Temp.File(name)), *Step(k)); }
  void AnswerOverwrite(TModalResult answer, const std::string& name) {
    Script().AnswerMessageDlg(answer, "OverWrite? " + Temp.File(name));
  }
  // "Zentor and Save steps...": the first name chosen in the dialog (queued before the answers that
  // follow it), then the run.
  void ChooseFirstStep(const std::string& firstName) { Script().AnswerSaveFile(Temp.File(firstName)); }
  void RunSteps() { Form->GetMaxandSave1->Click(); }
  std::vector<std::string> Files(std::initializer_list<const char*> names) {
    std::vector<std::string> files;
    for (const char* name : names) files.push_back(Temp.File(name));
    return files;
  }

  std::vector<std::string> Paths;
};

TEST_F(StepSavingTest, StepsAreNumberedFromTheChosenName) {
  ChooseFirstStep("night.bmp");
  ExpectEndOfRun(0, false);
  RunSteps();
  EXPECT_EQ(Script().LastFileRequest().FileName, "process0000.bmp");  // the name proposed
  EXPECT_EQ(RightList(), Files({"night0000.bmp", "night0001.bmp", "night0002.bmp"}));
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(Holds("night000" + std::to_string(k) + ".bmp", k));
  EXPECT_EQ(Form->FStepCounter, 3);
  EXPECT_EQ(Form->FStepPrefix, Temp.File("night"));
  EXPECT_FALSE(Form->FDirty);
  // The next run proposes the next step's name; cancelling it runs nothing.
  Script().AnswerSaveFile("");
  Form->GetMaxandSave1Click(nullptr);
  EXPECT_EQ(Script().LastFileRequest().FileName, Temp.File("night0003.bmp"));
  EXPECT_NE(Script().LastFileRequest().Filter.find("*.bmp"), std::string::npos);
}

TEST_F(StepSavingTest, OverwriteAnswersYesAndNo) {
  ChooseFirstStep("t0100.bmp");
  Existing("t0100.bmp");
  Existing("t0101.bmp");
  AnswerOverwrite(mrNo, "t0100.bmp");   // step 0 not saved, its name offered again
  AnswerOverwrite(mrYes, "t0100.bmp");  // step 1 takes it
  AnswerOverwrite(mrYes, "t0101.bmp");  // step 2
  ExpectEndOfRun(0, false);
  RunSteps();
  EXPECT_TRUE(Holds("t0100.bmp", 1));
  EXPECT_TRUE(Holds("t0101.bmp", 2));
  EXPECT_EQ(RightList(), Files({"t0100.bmp", "t0101.bmp"}));
}

TEST_F(StepSavingTest, NoToAllSkipsExistingAndNewFiles) {
  ChooseFirstStep("s.bmp");
  Existing("s0001.bmp");
  AnswerOverwrite(mrNoToAll, "s0001.bmp");
  ExpectEndOfRun(0, false);
  RunSteps();
  EXPECT_TRUE(Holds("s0000.bmp", 0));
  EXPECT_TRUE(IsOld("s0001.bmp"));
  EXPECT_FALSE(FileExists(Temp.File("s0002.bmp")));
  EXPECT_EQ(RightList(), Files({"s0000.bmp"}));
}

TEST_F(StepSavingTest, YesToAllAsksOnce) {
  ChooseFirstStep("s.bmp");
  Existing("s0000.bmp");
  Existing("s0001.bmp");
  AnswerOverwrite(mrYesToAll, "s0000.bmp");
  ExpectEndOfRun(0, false);
  RunSteps();
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(Holds("s000" + std::to_string(k) + ".bmp", k));
}

TEST_F(StepSavingTest, CancelStopsTheRun) {
  ChooseFirstStep("s.bmp");
  Existing("s0001.bmp");
  AnswerOverwrite(mrCancel, "s0001.bmp");
  ExpectEndOfRun(0, false);
  RunSteps();
  EXPECT_TRUE(Form->FAbort);
  EXPECT_EQ(Form->FResultCount, 2);
  EXPECT_TRUE(IsOld("s0001.bmp"));
  EXPECT_FALSE(FileExists(Temp.File("s0002.bmp")));
  EXPECT_EQ(RightList(), Files({"s0000.bmp"}));
}

TEST_F(StepSavingTest, StepsUnderAnotherExtensionAreAskedAndListedAsBmp) {
  ChooseFirstStep("shot12.png");
  Existing("shot0012.bmp");
  WriteWholeFile(Temp.File("shot0013.png"), {1, 2, 3});  // never written, so never asked about
  AnswerOverwrite(mrYes, "shot0012.bmp");
  ExpectEndOfRun(0, false);
  RunSteps();
  EXPECT_EQ(RightList(), Files({"shot0012.bmp", "shot0013.bmp", "shot0014.bmp"}));
  EXPECT_TRUE(Holds("shot0013.bmp", 1));
  EXPECT_EQ(ReadWholeFile(Temp.File("shot0013.png")), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(StepSavingTest, SaveAsAsksForExistingNamesAndKeepsTheAnswer) {
  Existing("A.bmp");
  Existing("C.bmp");
  auto bitmap = NoisePicture(5, 3, 7);
  int answer = mrYes;
  std::vector<std::string> names = {Temp.File("A.bmp"), Temp.File("B.bmp"), Temp.File("C.tif"),
                                    Temp.File("D.bmp")};
  AnswerOverwrite(mrNo, "A.bmp");
  AnswerOverwrite(mrYes, "C.bmp");
  const bool saved[] = {false, false, true, true};
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(Form->SaveAs(bitmap.get(), names[i], answer), saved[i]);
  EXPECT_EQ(names[2], Temp.File("C.bmp"));  // the name written
  EXPECT_TRUE(SamePixels(*Loaded(names[2]), *bitmap));
  EXPECT_TRUE(IsOld("A.bmp"));
  EXPECT_FALSE(FileExists(Temp.File("B.bmp")));
  TPixelFormat format = pfDevice;
  ASSERT_TRUE(LoadPicture(*Loaded(Temp.File("D.bmp")), Temp.File("D.bmp"), format));
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
  // Failures, of the BMP write and of the JPEG save: said in a message box, the work kept unsaved.
  for (const char* name : {"no-folder/result.bmp", "no-folder/result.jpg"}) {
    Form->FDirty = false;
    Script().AnswerSaveFile(Temp.File(name));
    Script().AnswerMessageBox(IDOK, Format(SFCreateError, {Temp.File(name)}) + ".");
    Form->SaveResult1Click(nullptr);
    EXPECT_EQ(Script().Asked().back().Caption, Application->Title());
    EXPECT_TRUE(Form->FDirty);
    EXPECT_EQ(RightList().size(), 1u);
  }
}

TEST(StepNumberingTest, WidthsDigitsAndFormats) {
  EXPECT_EQ(DigitCount(0), 1);
  EXPECT_EQ(DigitCount(-5), 2);
  EXPECT_EQ(DigitCount(12000), 5);
  EXPECT_EQ(DigitCount(INT32_MIN), 11);
  EXPECT_EQ(FirstNumberIn("%s%4.4d%s"), 4);
  EXPECT_EQ(FirstNumberIn("%s%10.10d%s"), 10);
  EXPECT_EQ(FirstNumberIn("%s%d%s"), 0);
  EXPECT_EQ(FirstNumberIn("x-y"), 4);
  EXPECT_EQ(FirstNumberIn("12-3"), 4);
  EXPECT_EQ(BuildNumFormat(4, -1, false), "%s%4.4d%s");
  EXPECT_EQ(BuildNumFormat(10, -1, false), "%s%10.10d%s");
  EXPECT_EQ(BuildNumFormat(0, 1, false), "%s%d%s");
  EXPECT_EQ(BuildNumFormat(-1, 1, false), "%s%4.4d%s");
  EXPECT_EQ(BuildNumFormat(4, 5, true), "%s%5.5d%s");
  EXPECT_EQ(BuildNumFormat(4, 5, false), "%s%4.4d%s");
  EXPECT_EQ(BuildNumFormat(6, 5, true), "%s%6.6d%s");
}

TEST_F(StepSavingTest, StepNamesFollowTheFormatAndTheListLength) {
  EXPECT_EQ(Form->StepFileName(7), "process0007.bmp");
  TStrings& items = Form->ListBox1->Items();
  items.BeginUpdate();
  while (items.Count() < 12000) items.Add("/n/x.bmp");
  items.EndUpdate();
  EXPECT_EQ(Form->StepFileName(7), "process00007.bmp");
  Form->FStepPrefix = "/n/trail";
  Form->FStepExt = ".jpg";
  Form->FAutoAdapt = false;
  EXPECT_EQ(Form->StepFileName(7), "/n/trail0007.jpg");
  EXPECT_EQ(Form->StepFileName(12345), "/n/trail12345.jpg");
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
  EXPECT_EQ(Form->FNumFormat, "%s%d%s");
  EXPECT_FALSE(Form->FPadNumbers);
  EXPECT_FALSE(Form->FAutoAdapt);
  EXPECT_FALSE(Form->numformat1->Checked());
  EXPECT_EQ(Form->StepFileName(7), "process7.bmp");
  answer(10, true, 0, false);
  EXPECT_EQ(Form->FNumFormat, "%s%10.10d%s");
  EXPECT_TRUE(Form->numformat1->Checked());
  EXPECT_EQ(Form->StepFileName(7), "process0000000007.bmp");
  answer(-1, true, 10, true);
  EXPECT_EQ(Form->FNumFormat, "%s%4.4d%s");
  EXPECT_TRUE(Form->FPadNumbers);
  FormNumFormat = nullptr;
}

}  // namespace
