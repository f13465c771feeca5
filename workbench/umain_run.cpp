// The list run driver and the processing commands of the "Processing..." menu.
#include <memory>

#include "toolkit/core/conversions.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/format.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/dialogs.h"
#include "workbench/band_merge.h"
#include "workbench/failure_texts.h"
#include "workbench/reference_ops.h"
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

// Why the operation refused a picture that loaded: its size beside the result's, or the reference's.
std::string RefusalReason(TImageOp Op, intptr_t Param, const TBitmap& picture, const TBitmap& result) {
  if (&picture != &result && (picture.Width() != result.Width() || picture.Height() != result.Height()))
    return SizeMismatchReason(picture, result.Width(), result.Height());
  const std::string reference = ReferenceMismatchReason(Op, Param, picture);
  return reference.empty() ? "the operation cannot take this picture" : reference;
}

}  // namespace

void TFormMain::RunOnList(bool SaveSteps, TImageOp Op, intptr_t Param, bool FirstIsStep) {
  int errors = 0;
  TFirstFailure firstFailure;
  FPause = false;
  FAbort = false;
  ToolBar1Click(this);
  Application->ProcessMessages();
  FFirstIsStep = FirstIsStep;
  if (!FResult && !NewBitmap(FResult)) return;
  // The user's result waits aside until the run merges a picture: a run that merges none leaves it as
  // it was (and offers nothing to save).
  TKeptResult kept;
  if (!SetResultAside(kept)) return;
  FDirty = true;
  FResultCount = 0;
  int answer = mrYes;
  auto fail = [&](int index, const std::string& text) {
    ++errors;
    firstFailure.Note(text);
    MarkEntryFailed(index, ListBox1, text);
    ShowProgress(-index, text, ListBox1, false);
  };

  // First walk: the first picture that loads becomes the result.
  int i = 0;
  while (i < ListBox1->Count()) {
    if (ListBox1->ItemEnabled(i) && ListBox1->Checked(i)) {
      const std::string path = ListBox1->Items().Get(i);
      std::string reason;
      if (LoadPicture(*FResult, path, reason)) {
        if (FFirstIsStep) {
          FResultCount = 1;
          FResultMerged = true;
          kept.Bitmap.reset();
        }
        if (SaveSteps && FFirstIsStep) SaveStep(FResult.get(), answer);
        ShowBitmap(FResult.get());
        ShowMergedCount(path);
        break;
      }
      fail(i, LoadFailureText(path, reason));
    }
    ++i;
    Application->ProcessMessages();
  }

  // In the mode that puts every picture through the operation, the first one is already decoded into
  // the result: it goes through the operation in place rather than being read a second time.
  const int firstPicture = i;
  if (FFirstIsStep) ++i;

  // Second walk: every further picture merges into the result. One picture bitmap lives beside the
  // result for the whole walk, and pictures of one size are decoded into its rows one after the
  // other: nothing is allocated or cleared per picture, and memory does not grow with the list.
  // An operation with a row form merges JPEG pictures band by band as they are decoded, each band
  // while it is still in the processor's cache; the picture bitmap then serves the other files only.
  std::unique_ptr<TBitmap> picture = NewWorkingPicture();
  const TRowForm rowForm = RowFormOf(Op);
  TBandMerger bands;
  // Putting every picture through the operation, the result takes the size of the pictures from the
  // first picture that comes out of it: until then each picture is decoded into the result and put
  // through in place, so a first frame of another size (one the reference does not fit) costs only
  // itself.
  auto nothingOutYet = [&] { return !FFirstIsStep && FResultCount == 0; };
  // Merges entry i's picture; otherwise gives the text that says why not.
  auto merge = [&](int index, const std::string& path, std::string& failure) {
    std::string reason;
    TBitmap* loaded = FResult.get();
    if (index != firstPicture && nothingOutYet()) {
      if (!LoadPicture(*FResult, path, reason)) {
        failure = LoadFailureText(path, reason);
        return false;
      }
    } else if (index != firstPicture) {
      switch (rowForm ? bands.Merge(path, *FResult, rowForm, Param) : TBandMergeResult::bmLoadWhole) {
        case TBandMergeResult::bmMerged:
          return true;
        case TBandMergeResult::bmFailed:
          failure = LoadFailureText(path, bands.FailureReason());
          return false;
        case TBandMergeResult::bmLoadWhole:
          break;
      }
      if (!LoadPicture(*picture, path, reason)) {
        failure = LoadFailureText(path, reason);
        return false;
      }
      loaded = picture.get();
    }
    if (Op(*loaded, *FResult, Param)) return true;
    failure = RefusalText(path, RefusalReason(Op, Param, *loaded, *FResult));
    return false;
  };
  while (i < ListBox1->Count() && !FAbort) {
    if (ListBox1->ItemEnabled(i) && ListBox1->Checked(i)) {
      const std::string path = ListBox1->Items().Get(i);
      std::string failure;
      if (merge(i, path, failure)) {
        FDirty = true;
        ++FResultCount;
        FResultMerged = true;
        kept.Bitmap.reset();
        if (SaveSteps) SaveStep(FResult.get(), answer);
        if (!FAbort) {
          ShowBitmap(FResult.get());
          ShowMergedCount(path);
        }
      } else {
        // One bad picture costs only itself: the result keeps what the night gave so far, so the
        // pictures after it still merge. Before anything came out of the operation, that is nothing.
        if (nothingOutYet()) ResetBitmap(FResult.get());
        fail(i, failure);
      }
    }
    ++i;
    Application->ProcessMessages();
    if (StopAtPause()) break;
  }
  picture.reset();

  const bool mergedAny = FResultMerged;
  if (!mergedAny) RestoreResult(kept);
  if (!FAbort && !SaveSteps && !FPause && mergedAny) SaveResult1Click(this);
  ReportErrors(errors, firstFailure.Text());
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
  if (ListBox1->Count() == 0) return;
  if (!FResult && !NewBitmap(FResult)) return;
  TKeptResult kept;
  if (!SetResultAside(kept)) return;
  FResultCount = 0;

  const int i = ListBox1->ItemIndex() >= 0 ? ListBox1->ItemIndex() : 0;
  const std::string path = ListBox1->Items().Get(i);
  // The picture is the result's starting point and the operation's picture alike: decoded once into
  // the result and put through the operation in place, as a list run does with its first picture.
  std::string reason;
  const bool loaded = LoadPicture(*FResult, path, reason);
  if (loaded && Op(*FResult, *FResult, Param)) {
    FDirty = true;
    ++FResultCount;
    FResultMerged = true;
    MarkEntryGood(i, ListBox1);
    ShowBitmap(FResult.get());
    ShowMergedCount(path);
    return;
  }
  // Nothing replaces the user's result.
  if (loaded) reason = RefusalReason(Op, Param, *FResult, *FResult);
  RestoreResult(kept);
  if (loaded) {
    // The picture is good, only the operation cannot take it (a reference of another size): it keeps
    // its marks and is shown as it is, and the user is told why nothing was done.
    const std::string text = RefusalText(path, reason);
    PreviewEntry(i, ListBox1);
    ShowProgress(i, text, ListBox1, false);
    Application->MessageBox(text, "Process Pictures", MB_OK | MB_ICONSTOP);
    return;
  }
  // A picture that cannot be loaded is said and marked as a list run says and marks it.
  const std::string text = LoadFailureText(path, reason);
  MarkEntryFailed(i, ListBox1, text);
  ResetBitmap(&Image1->OwnBitmap());
  LayoutView();
  ShowProgress(-i, text, ListBox1, false);
  ReportErrors(1, text);
}

void TFormMain::ReportErrors(int Errors, const std::string& FirstFailure) {
  std::string text = Format("%d File(s) in Error", {Errors});
  if (!FirstFailure.empty()) text += "\nFirst: " + FirstFailure;
  Application->MessageBox(text, "Process Pictures", MB_OK);
}

bool TFormMain::SetResultAside(TKeptResult& Kept) {
  Kept.Dirty = FDirty;
  Kept.Count = FResultCount;
  Kept.Merged = FResultMerged;
  Kept.Bitmap = std::move(FResult);
  if (NewBitmap(FResult)) {
    FResultMerged = false;
    return true;
  }
  FResult = std::move(Kept.Bitmap);
  return false;
}

void TFormMain::RestoreResult(TKeptResult& Kept) {
  if (Kept.Bitmap) FResult = std::move(Kept.Bitmap);
  FDirty = Kept.Dirty;
  FResultCount = Kept.Count;
  FResultMerged = Kept.Merged;
  if (Image1->ShowsShared()) ShowBitmap(FResult.get());
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
