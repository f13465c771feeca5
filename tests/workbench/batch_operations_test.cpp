// The batch operations window and its commands, through the real main window.
#include "tests/workbench/tool_windows_fixture.h"
#include "toolkit/ui/screen.h"
#include "workbench/reference_ops.h"

namespace {

class BatchOperationsTest : public ToolWindowsTest {
 protected:
  void SetUp() override {
    ToolWindowsTest::SetUp();
    Frames = {WritePicture("a.bmp", 1), WritePicture("b.jpg", 2), WritePicture("c.bmp", 3)};
    Fill(*Form->ListBox1, Frames);
  }
  // Types the text into the edit as a user would, ending with the key.
  static void Type(TEdit& edit, const std::string& text, Word key) {
    edit.SetText(text);
    edit.OnKeyUp(&edit, key, 0);
  }
  // "Apply to List" with the first step's name, ending with the report.
  void ApplyToList(const std::string& firstStep) {
    Script().AnswerSaveFile(Temp.File(firstStep));
    ExpectEndOfRun(0, false);
    Factor->BitBtnOk->Click();
  }

  // The step file holds the frame less the dark, with the factor and offset given.
  bool HoldsDarkSubtracted(const std::string& step, const std::string& frame, const std::string& dark,
                           int32_t factor, int32_t offset) {
    return SamePixels(*Loaded(Temp.File(step)), *Combined(frame, dark, [=](uint8_t a, uint8_t b) {
      return SubByte(a, b, factor, offset);
    }));
  }

  Strings Frames;
};

TEST_F(BatchOperationsTest, DarkSubtractionAndFlatDivisionSaveEveryFrameAsAStep) {
  const std::string dark = WritePicture("dark.bmp", 7);
  Form->NewBatchOperations1->Click();
  EXPECT_TRUE(Factor->Visible());
  Factor->EditFileName->SetText(dark);
  // The factor thumb dragged to 0 shows 1 and subtracts the whole dark (0 is the factor used).
  Factor->ScrollBarFactor->Scroll(scTrack, 0);
  EXPECT_EQ(Factor->EditFactor->Text(), "1");
  Type(*Factor->EditOffset, "3", '3');
  ApplyToList("dark0100.bmp");
  EXPECT_EQ(Paths(*Form->ListBox2), Files({"dark0100.bmp", "dark0101.bmp", "dark0102.bmp"}));
  for (int k = 0; k < 3; ++k)
    EXPECT_TRUE(HoldsDarkSubtracted("dark010" + std::to_string(k) + ".bmp", Frames[k], dark, 0, 3)) << k;
  EXPECT_EQ(Form->FResultCount, 3);
  EXPECT_EQ(Marks(*Form->ListBox1), "CCC");

  // Flat field at the default factor, each frame divided by the flat.
  const std::string flat = WritePicture("flat.bmp", 8);
  Factor->ComboBoxFunction->SetItemIndex(TFormFactor::kDivide);
  Factor->ComboBoxFunction->OnChange(Factor->ComboBoxFunction);
  Factor->EditFileName->SetText(flat);
  ApplyToList("flat.bmp");
  for (int k = 0; k < 3; ++k)
    EXPECT_TRUE(
        SamePixels(*Loaded(Temp.File("flat000" + std::to_string(k) + ".bmp")),
                   *Combined(Frames[k], flat, [](uint8_t a, uint8_t b) { return DivByte(a, b, 256, 0); })))
        << k;
}

// JPEG frames go through the operation band by band as they are decoded, the first one and the other
// formats whole: on both roads a reference of another size fails every frame, and a 1 x 1 reference
// stands for black.
TEST_F(BatchOperationsTest, BothRoadsTakeMisfitReferencesAlike) {
  const Strings jpegFrames = {WritePicture("j0.jpg", 4, 40, 33), WritePicture("j1.jpg", 5, 40, 33),
                              WritePicture("j2.jpg", 6, 40, 33)};
  const std::string misfit = WritePicture("misfit.bmp", 9, 6, 3);
  const std::string dot = WritePicture("dot.bmp", 10, 1, 1);
  int run = 0;
  for (const Strings& frames : {Frames, jpegFrames}) {
    SCOPED_TRACE(frames[1]);
    const std::string steps = "run" + std::to_string(run++) + "-";
    Form->ListBox1->Clear();
    Fill(*Form->ListBox1, frames);
    Factor->EditFileName->SetText(misfit);
    Script().AnswerSaveFile(Temp.File(steps + "misfit.bmp"));
    // Nothing came out: no save offer, and the report says why the first frame was refused.
    ExpectEndOfRun(
        3, false,
        frames[0] + ": the reference is 6 x 3 pixels, the picture " + (run == 1 ? "5 x 3" : "40 x 33"));
    Factor->BitBtnOk->Click();
    EXPECT_EQ(Marks(*Form->ListBox1), "DDD");
    EXPECT_EQ(Form->ListBox2->Count(), 0);

    SetMarks(*Form->ListBox1, "CCC");
    Factor->EditFileName->SetText(dot);
    Type(*Factor->EditOffset, "3", '3');
    ApplyToList(steps + "dot.bmp");
    for (int k = 0; k < 3; ++k) {
      auto shifted = Loaded(frames[k]);
      ReferenceBytes(*shifted, *shifted, [](uint8_t a, uint8_t) { return SubByte(a, 0, 0, 3); });
      EXPECT_TRUE(SamePixels(*Loaded(Temp.File(steps + "dot000" + std::to_string(k) + ".bmp")), *shifted))
          << k;
    }
    Form->ListBox2->Clear();
    Type(*Factor->EditOffset, "0", '0');
  }
}

// "Process Image" with a reference of another size says so: the picture keeps its marks and is shown as
// it is, and the result stays as it was.
TEST_F(BatchOperationsTest, ProcessImageWithAReferenceOfAnotherSizeSaysSo) {
  Factor->EditFileName->SetText(WritePicture("misfit.bmp", 9, 6, 3));
  Form->ListBox1->SetItemIndex(1);
  const auto before = CopyOf(*Form->FResult);
  const std::string said = Frames[1] + ": the reference is 6 x 3 pixels, the picture 5 x 3";
  Script().AnswerMessageBox(IDOK, said);
  Factor->BitBtnTestOne->Click();
  EXPECT_EQ(Script().Asked().back().Caption, "Process Pictures");
  EXPECT_EQ(Marks(*Form->ListBox1), "CCC");
  EXPECT_TRUE(SamePixels(Form->Image1->OwnBitmap(), *Loaded(Frames[1])));
  EXPECT_EQ(Form->StatusBar1->Panels(0).Text() + " " + Form->StatusBar1->Panels(2).Text(), "2/3 " + said);
  EXPECT_TRUE(Form->StatusBar1->Font.Italic);
  EXPECT_TRUE(SamePixels(*Form->FResult, *before));
  EXPECT_FALSE(Form->FDirty);
}

// A first frame of another size than the reference fails alone: the frames after it, JPEG ones merged
// band by band as well as whole ones, get their exact steps, numbered on without a gap.
TEST_F(BatchOperationsTest, AFirstFrameOfAnotherSizeCostsOnlyItself) {
  const std::string dark = WritePicture("dark.bmp", 7);
  const Strings frames = {WritePicture("odd.jpg", 9, 6, 4), Frames[0], Frames[1], Frames[2]};
  Form->ListBox1->Clear();
  Fill(*Form->ListBox1, frames);
  Factor->EditFileName->SetText(dark);
  Script().AnswerSaveFile(Temp.File("step.bmp"));
  ExpectEndOfRun(1, false, frames[0] + ": the reference is 5 x 3 pixels, the picture 6 x 4");
  Factor->BitBtnOk->Click();
  EXPECT_EQ(Marks(*Form->ListBox1), "DCCC");
  EXPECT_EQ(Paths(*Form->ListBox2), Files({"step0000.bmp", "step0001.bmp", "step0002.bmp"}));
  for (int k = 0; k < 3; ++k)
    EXPECT_TRUE(HoldsDarkSubtracted("step000" + std::to_string(k) + ".bmp", Frames[k], dark, 256, 0)) << k;
  EXPECT_EQ(Form->FResultCount, 3);
}

TEST_F(BatchOperationsTest, AReferenceThatDoesNotLoadEndsTheCommandWithAMessage) {
  Factor->EditFileName->SetText(Temp.File("missing.bmp"));
  Script().AnswerMessageBox(IDOK, LoadError(Temp.File("missing.bmp"), "No such file or directory"));
  Factor->BitBtnOk->Click();
  EXPECT_EQ(Script().Asked().back().Caption, "Batch Operations:");
  Factor->EditFileName->SetText("");
  Script().AnswerMessageBox(IDOK, "No selected picture");
  Factor->BitBtnTestOne->Click();
  EXPECT_EQ(Form->ListBox2->Count(), 0);
  EXPECT_EQ(Marks(*Form->ListBox1), "CCC");

  // Square and cube read no reference: the hidden name is not loaded.
  Factor->ComboBoxFunction->SetItemIndex(TFormFactor::kSquare);
  Factor->ComboBoxFunction->OnChange(Factor->ComboBoxFunction);
  EXPECT_FALSE(Factor->EditFileName->Enabled());
  Factor->EditFileName->SetText(Temp.File("notes.txt"));
  Form->ListBox1->SetItemIndex(1);
  Factor->BitBtnTestOne->Click();  // "Process Image": the highlighted entry alone, nothing saved
  auto squared = Loaded(Frames[1]);
  ReferenceBytes(*squared, *squared, [](uint8_t a, uint8_t) { return SquareByte(a, 0, 256, 0); });
  EXPECT_TRUE(SamePixels(*Form->FResult, *squared));
  EXPECT_EQ(Form->ListBox2->Count(), 0);
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(BatchOperationsTest, FactorAndOffsetControls) {
  Factor->ComboBoxFunction->SetItemIndex(TFormFactor::kCube);
  Factor->ComboBoxFunction->OnChange(Factor->ComboBoxFunction);
  EXPECT_EQ(Factor->ScrollBarFactor->Min(), -65536);
  EXPECT_EQ(Factor->ScrollBarFactor->Position(), 65536);
  EXPECT_EQ(Factor->SpeedButtonFactor->Caption(), "Default = 65536");
  EXPECT_FALSE(Factor->Label1->Visible());
  Type(*Factor->EditOffset, "-40", '0');
  Factor->ComboBoxFunction->SetItemIndex(TFormFactor::kAdd);
  Factor->ComboBoxFunction->OnChange(Factor->ComboBoxFunction);
  EXPECT_EQ(Factor->ScrollBarFactor->Max(), 256);
  EXPECT_EQ(Factor->EditFactor->Text(), "256");
  EXPECT_EQ(Factor->ScrollBarOffset->Position(), 0);  // every change of operation resets the offset
  EXPECT_TRUE(Factor->EditFileName->Enabled());

  // Typed values are clamped to the range; other keys beep and move nothing.
  Type(*Factor->EditFactor, "300", '0');
  EXPECT_EQ(Factor->EditFactor->Text(), "256");
  Type(*Factor->EditFactor, "-12", '2');
  EXPECT_EQ(Factor->ScrollBarFactor->Position(), -12);
  Type(*Factor->EditFactor, "40x", 'X');
  EXPECT_EQ(Factor->ScrollBarFactor->Position(), -12);
  Type(*Factor->EditFactor, "40", VK_LEFT);
  EXPECT_EQ(Factor->ScrollBarFactor->Position(), -12);
  Type(*Factor->EditOffset, "-999", VK_BACK);  // control keys go on
  EXPECT_EQ(Factor->ScrollBarOffset->Position(), -255);
  EXPECT_EQ(Factor->EditOffset->Text(), "-255");
}

TEST_F(BatchOperationsTest, OpeningTryingAndUndoingOnTheHighlightedEntry) {
  // Entries but none highlighted: the window opens with the name it had.
  Factor->EditFileName->SetText("kept.bmp");
  Form->NewBatchOperations1Click(nullptr);
  EXPECT_TRUE(Factor->Visible());
  EXPECT_EQ(Factor->EditFileName->Text(), "kept.bmp");
  Form->ListBox1->SetItemIndex(2);
  Form->NewBatchOperations1Click(nullptr);
  EXPECT_EQ(Factor->EditFileName->Text(), Frames[2]);

  // "Process Image" with the highlighted frame as its own reference, then "Original Image".
  Factor->ScrollBarFactor->Scroll(scTrack, 0);
  EXPECT_FALSE(Factor->FTestOne);
  Factor->ScrollBarFactor->Scroll(scEndScroll, 0);  // the end of a scroll tries the operation
  auto black = Loaded(Frames[2]);
  ReferenceBytes(*black, *black, [](uint8_t, uint8_t) { return uint8_t{0}; });
  EXPECT_TRUE(SamePixels(*Form->FResult, *black));
  EXPECT_TRUE(Factor->FTestOne);
  Factor->BitBtnUndo->Click();
  EXPECT_TRUE(SamePixels(Form->Image1->OwnBitmap(), *Loaded(Frames[2])));

  // A highlighted picture that does not load is reported with its reason and marked, and the result
  // stays as it was; the busy cursor goes.
  const std::string gone = LoadError(Temp.File("gone.bmp"), "No such file or directory");
  Form->ListBox1->Items().Put(2, Temp.File("gone.bmp"));
  Script().AnswerMessageBox(IDOK, Report(1, gone));
  Factor->BitBtnApplyClick(Factor->BitBtnTestOne);
  EXPECT_EQ(Script().Asked().back().Caption, "Process Pictures");
  EXPECT_EQ(Marks(*Form->ListBox1), "CCD");
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), gone);
  EXPECT_TRUE(SamePixels(*Form->FResult, *black));
  EXPECT_EQ(Screen->Cursor(), crDefault);

  Form->ListBox1->Clear();
  Form->NewBatchOperations1Click(nullptr);
  EXPECT_EQ(Factor->EditFileName->Text(), "");
  Factor->BitBtnClose->Click();
  EXPECT_FALSE(Factor->Visible());
}

}  // namespace
