// The list run driver and the processing commands of the "Processing..." menu.
#include <memory>

#include "toolkit/core/conversions.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/format.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/dialogs.h"
#include "workbench/band_merge.h"
#include "workbench/stack_ops.h"
#include "workbench/umain.h"
#include "workbench/working_bitmap.h"

namespace {

// Asks for the threshold of StackMaxThreshold; false when cancelled. Text that is no integer counts
// as 0; negative values and values above 255 are kept.
bool AskStackThreshold() {
  std::string text = Format("%d", {StackThreshold});
  if (!InputQuery("Zentor", "Threshold", text)) return false;
  int32_t value = 0;
  int errorPosition = 0;
  Val(text, value, errorPosition);
  StackThreshold = errorPosition != 0 ? 0 : value;
  return true;
}

std::unique_ptr<TBitmap> NewWorkingPicture() {
  auto picture = std::make_unique<TBitmap>();
  picture->SetPixelFormat(pf24bit);
  return picture;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

void TFormMain::RunOnList(bool SaveSteps, TImageOp Op, intptr_t Param, bool FirstIsStep) {
  int errors = 0;
  FPause = false;
  FAbort = false;
  ToolBar1Click(this);
  Application->ProcessMessages();
  FFirstIsStep = FirstIsStep;
  if (!FResult && !NewBitmap(FResult)) return;

  FDirty = true;
  int answer = mrYes;
  ResetBitmap(FResult.get());

  // First walk: the first picture that loads becomes the result.
  int i = 0;
  while (i < ListBox1->Count()) {
    if (ListBox1->ItemEnabled(i) && ListBox1->Checked(i)) {
      const std::string path = ListBox1->Items().Get(i);
      if (LoadPicture(*FResult, path)) {
        if (SaveSteps && FFirstIsStep) SaveStep(FResult.get(), answer);
        ShowBitmap(FResult.get());
        ShowProgress(FResultCount, path, ListBox1, true);
        break;
      }
      ++errors;
      MarkEntryFailed(i, ListBox1);
      ShowProgress(-i, path, ListBox1, false);
    }
    ++i;
    Application->ProcessMessages();
  }

  // In the mode that puts every picture through the operation, the first one is already decoded into
  // the result: it goes through the operation in place rather than being read a second time.
  const int firstPicture = i;
  if (FFirstIsStep) {
    FResultCount = 1;
    ++i;
  } else {
    FResultCount = 0;
  }

  // Second walk: every further picture merges into the result. One picture bitmap lives beside the
  // result for the whole walk, and pictures of one size are decoded into its rows one after the
  // other: nothing is allocated or cleared per picture, and memory does not grow with the list.
  // An operation with a row form merges JPEG pictures band by band as they are decoded, each band
  // while it is still in the processor's cache; the picture bitmap then serves the other files only.
  std::unique_ptr<TBitmap> picture = NewWorkingPicture();
  const TRowForm rowForm = RowFormOf(Op);
  TBandMerger bands;
  auto mergePicture = [&](const std::string& path) {
    switch (rowForm ? bands.Merge(path, *FResult, rowForm, Param) : TBandMergeResult::bmLoadWhole) {
      case TBandMergeResult::bmMerged:
        return true;
      case TBandMergeResult::bmFailed:
        return false;
      case TBandMergeResult::bmLoadWhole:
        break;
    }
    return LoadPicture(*picture, path) && Op(*picture, *FResult, Param);
  };
  // Putting every picture through the operation, the result takes the size of the pictures from the
  // first picture that comes out of it: until then each picture is decoded into the result and put
  // through in place, so a first frame of another size (one the reference does not fit) costs only
  // itself.
  auto nothingOutYet = [&] { return !FFirstIsStep && FResultCount == 0; };
  while (i < ListBox1->Count() && !FAbort) {
    if (ListBox1->ItemEnabled(i) && ListBox1->Checked(i)) {
      const std::string path = ListBox1->Items().Get(i);
      bool merged = false;
      if (i == firstPicture)
        merged = Op(*FResult, *FResult, Param);
      else if (nothingOutYet())
        merged = LoadPicture(*FResult, path) && Op(*FResult, *FResult, Param);
      else
        merged = mergePicture(path);
      if (merged) {
        FDirty = true;
        ++FResultCount;
        if (SaveSteps) SaveStep(FResult.get(), answer);
        if (!FAbort) {
          ShowBitmap(FResult.get());
          ShowProgress(FResultCount, path, ListBox1, true);
        }
      } else {
        // One bad picture costs only itself: the result keeps what the night gave so far, so the
        // pictures after it still merge. Before anything came out of the operation, that is nothing.
        if (nothingOutYet()) ResetBitmap(FResult.get());
        ++errors;
        MarkEntryFailed(i, ListBox1);
        ShowProgress(-i, path, ListBox1, false);
      }
    }
    ++i;
    Application->ProcessMessages();
    if (StopAtPause()) break;
  }
  picture.reset();

  if (!FAbort && !SaveSteps && !FPause) SaveResult1Click(this);
  ReportErrors(errors);
}

bool TFormMain::StopAtPause() {
  if (!FPause) return false;
  if (Application->MessageBox("Program in pause... Do you want to Stop process", "STOP by User", MB_YESNO) ==
      IDYES) {
    FAbort = true;
    return true;
  }
  FAbort = false;
  FPause = false;
  return false;
}

void TFormMain::RunWithSteps(TImageOp Op, intptr_t Param, bool FirstIsStep) {
  SaveDialog1->FileName = StepFileName(FStepCounter);
  if (SaveDialog1->FileName.empty()) SaveDialog1->FileName = "process.bmp";
  PreparePictureSaveDialog();
  if (!SaveDialog1->Execute()) return;

  const std::string name = SaveDialog1->FileName;
  const std::string extension = ExtractFileExt(name);
  const std::string base = name.substr(0, name.size() - extension.size());
  size_t digitsStart = base.size();
  while (digitsStart > 0 && IsDigit(base[digitsStart - 1])) --digitsStart;
  // Too many digits for an integer raise the conversion error, before anything was run.
  FStepCounter = digitsStart < base.size() ? StrToInt(base.substr(digitsStart)) : 0;
  FStepPrefix = base.substr(0, digitsStart);
  FStepExt = extension;
  RunOnList(true, Op, Param, FirstIsStep);
}

void TFormMain::RunBatch(TImageOp Op, intptr_t Param, bool) {
  RunOnCurrentEntry(Op, Param);
}

void TFormMain::RunOnCurrentEntry(TImageOp Op, intptr_t Param) {
  // A list run in progress (this one was started into it from the batch window) asks its pause
  // question at its next check.
  FPause = true;
  FResultCount = 0;
  if (ListBox1->Count() == 0) return;
  if (!FResult && !NewBitmap(FResult)) return;

  const int i = ListBox1->ItemIndex() >= 0 ? ListBox1->ItemIndex() : 0;
  ResetBitmap(FResult.get());
  const std::string path = ListBox1->Items().Get(i);
  // The picture is the result's starting point and the operation's picture alike: decoded once into
  // the result and put through the operation in place, as a list run does with its first picture.
  if (LoadPicture(*FResult, path) && Op(*FResult, *FResult, Param)) {
    FDirty = true;
    ++FResultCount;
    MarkEntryGood(i, ListBox1);
    ShowBitmap(FResult.get());
    ShowProgress(FResultCount, path, ListBox1, true);
    return;
  }
  // A picture that cannot be loaded or put through is said and marked as a list run says and marks it.
  ResetBitmap(FResult.get());
  MarkEntryFailed(i, ListBox1);
  ShowBitmap(FResult.get());
  ShowProgress(-i, path, ListBox1, false);
  ReportErrors(1);
}

void TFormMain::ReportErrors(int Errors) {
  Application->MessageBox(Format("%d File(s) in Error", {Errors}), "Process Pictures", MB_OK);
}

// ---- The processing commands

void TFormMain::GetMAX1Click(TObject*) {
  RunOnList(false, StackMax, 0, true);
}

void TFormMain::GetMaxandSave1Click(TObject*) {
  RunWithSteps(StackMax, 0, true);
}

void TFormMain::GetMAxThreshold1Click(TObject*) {
  if (AskStackThreshold()) RunOnList(false, StackMaxThreshold, 0, true);
}

void TFormMain::GetMaxTrhesholdandSave1Click(TObject*) {
  if (AskStackThreshold()) RunWithSteps(StackMaxThreshold, 0, true);
}

void TFormMain::Getmin1Click(TObject*) {
  RunOnList(false, StackMin, 0, true);
}

void TFormMain::GetMinAndSave1Click(TObject*) {
  RunWithSteps(StackMin, 0, true);
}

void TFormMain::GetMaxGray1Click(TObject*) {
  RunOnList(false, StackMaxLum, 0, true);
}

void TFormMain::GetMaxGrayandSavesteps1Click(TObject*) {
  RunWithSteps(StackMaxLum, 0, true);
}

void TFormMain::GetMinGray1Click(TObject*) {
  RunOnList(false, StackMinLum, 0, true);
}

void TFormMain::GetMinGrayandSavesteps1Click(TObject*) {
  RunWithSteps(StackMinLum, 0, true);
}

void TFormMain::Add1Click(TObject*) {
  RunOnList(false, StackAdd, 0, true);
}

void TFormMain::Sub1Click(TObject*) {
  RunOnList(false, StackSub, 0, true);
}
