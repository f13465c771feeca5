// The astronomer's tools of the main window: the batch operations of the batch window, the search and
// crop of bright objects, the maximum search at the chosen point, and the information window that
// chooses the point and creates masks.
#include <cmath>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

#include "toolkit/core/file_names.h"
#include "toolkit/core/format.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/ui/application.h"
#include "workbench/failure_texts.h"
#include "workbench/reference_ops.h"
#include "workbench/search_ops.h"
#include "workbench/ucreateimg.h"
#include "workbench/uformfactor.h"
#include "workbench/ulngstrings.h"
#include "workbench/umain.h"
#include "workbench/usearch.h"
#include "workbench/working_bitmap.h"

namespace {

// Rounded to the nearest integer, halves to even (the scroll bars give whole numbers anyway).
int32_t Rounded(double value) {
  return static_cast<int32_t>(std::nearbyint(value));
}

// The colour the picture's canvas reads at a point (outside the picture every byte reads 255).
TColor PixelAt(const TBitmap* picture, int x, int y) {
  if (!picture) return CLR_INVALID;
  // Reading a pixel leaves the bitmap as it is; the canvas is only reached through a mutable bitmap.
  return const_cast<TBitmap*>(picture)->Canvas().Pixel(x, y);
}

// The batch run of one operation with the batch window's reference, factor and offset.
void RunBatchOperation(TFormMain& form, TImageOp Op, bool NeedsReference, bool ClearStats, bool Test) {
  if (!FormFactor) return;
  TProcessRec record;
  record.Reference = std::make_unique<TBitmap>();
  ResetBitmap(record.Reference.get());
  if (ClearStats) InitProcessStats(record.Stats);
  // A reference that does not load would act as black and leave every step uncalibrated: say so and
  // run nothing. Square and cube read no reference.
  std::string reason;
  if (NeedsReference && !LoadPicture(*record.Reference, FormFactor->FFileName, reason)) {
    const std::string text =
        FormFactor->FFileName.empty() ? kstNoPicture : LoadFailureText(FormFactor->FFileName, reason);
    Application->MessageBox(text, FormFactor->Caption(), MB_OK | MB_ICONSTOP);
    return;
  }
  record.Factor = Rounded(FormFactor->GetFactor());
  record.Offset = Rounded(FormFactor->GetOffset());
  record.FactorRange = FormFactor->GetDefaultFactor();
  const auto param = reinterpret_cast<intptr_t>(&record);
  if (Test)
    form.RunBatch(Op, param, false);
  else
    form.RunWithSteps(Op, param, false);
}

}  // namespace

// ---- Batch operations

void TFormMain::NewBatchOperations1Click(TObject*) {
  if (!FormFactor) return;
  if (ListBox1->Count() == 0)
    FormFactor->EditFileName->SetText("");
  else if (ListBox1->ItemIndex() >= 0)
    FormFactor->EditFileName->SetText(ListBox1->Items()[ListBox1->ItemIndex()]);
  // With no entry highlighted the window opens with the reference it had.
  FormFactor->Show();
}

void TFormMain::BatchSubtract(bool Test) {
  RunBatchOperation(*this, SubImage, true, true, Test);
}

void TFormMain::BatchAdd(bool Test) {
  RunBatchOperation(*this, AddImage, true, true, Test);
}

void TFormMain::BatchDivide(bool Test) {
  RunBatchOperation(*this, DivImage, true, false, Test);
}

void TFormMain::BatchMultiply(bool Test) {
  RunBatchOperation(*this, MulImage, true, false, Test);
}

void TFormMain::BatchSquare(bool Test) {
  RunBatchOperation(*this, SquareImage, false, false, Test);
}

void TFormMain::BatchCube(bool Test) {
  RunBatchOperation(*this, CubeImage, false, false, Test);
}

// ---- Search and crop

void TFormMain::Search1Click(TObject*) {
  SearchList(CountBrightPixels, false, "", "");
}

void TFormMain::SearchSave1Click(TObject*) {
  SearchAndSave(CountBrightPixels);
}

void TFormMain::Crop1Click(TObject*) {
  SearchAndSave(MarkBrightObject);
}

void TFormMain::CropSave1Click(TObject*) {
  SearchAndSave(SearchBrightObject);
}

void TFormMain::SearchAndSave(TSearchOp Op) {
  if (ListBox1->Count() == 0 || !Op) return;
  PrepareSearchSaveDialog(*SaveDialog1);
  if (!SaveDialog1->Execute()) return;
  const std::string name = SaveDialog1->FileName;
  if (FormSearch) {
    FormSearch->CheckBoxSave->SetChecked(true);
    FormSearch->EditName->SetText(name);
  }
  SearchList(Op, true, ExtractFilePath(name), ExtractFileExt(name));
}

void TFormMain::SearchList(TSearchOp Op, bool Save, std::string Dir, std::string Ext) {
  FAbort = false;
  FPause = false;
  // The search counts the pictures it processed on its own: the result's count, which the status line
  // shows for the result, is left alone.
  int processed = 0;
  if (ListBox1->Count() == 0 || !Op || !FormSearch) return;
  ToolBar1Click(this);
  Application->ProcessMessages();
  Dir = IncludeTrailingBackslash(Dir);

  FormSearch->CheckBoxSave->SetChecked(Save);
  if (FormSearch->EditName->Text().empty()) FormSearch->EditName->SetText(ListBox1->Items()[0]);
  if (FormSearch->ShowModal() != mrOk) return;

  TProcessRec record;
  record.Offset = FormSearch->UpDownMinLevel->Position();
  record.Factor = FormSearch->UpDownMinPixels->Position();
  record.MarginLeft = FormSearch->UpDownLeft->Position();
  record.MarginRight = FormSearch->UpDownRight->Position();
  record.MarginTop = FormSearch->UpDownTop->Position();
  record.MarginBottom = FormSearch->UpDownBottom->Position();
  record.WindowWidth = FormSearch->UpDownCropW->Position();
  record.WindowHeight = FormSearch->UpDownCropH->Position();
  Save = FormSearch->CheckBoxSave->Checked();
  if (Save) {
    const std::string name = FormSearch->EditName->Text();
    Dir = ExtractFilePath(name);
    Ext = ExtractFileExt(name);
  }

  int errors = 0;
  TFirstFailure firstFailure;
  int answer = mrYes;
  auto picture = std::make_unique<TBitmap>();
  picture->SetPixelFormat(pf24bit);
  for (int i = 0; i < ListBox1->Count() && !FAbort; ++i) {
    if (!ListBox1->Checked(i)) continue;
    const std::string path = ListBox1->Items()[i];
    std::string reason;
    if (!LoadPicture(*picture, path, reason)) {
      ++errors;
      const std::string text = LoadFailureText(path, reason);
      firstFailure.Note(text);
      ResetBitmap(picture.get());
      MarkEntryFailed(i, ListBox1, text);
      ShowProgress(-i, text, ListBox1, false);
      continue;
    }
    ++processed;
    MarkEntryGood(i, ListBox1);
    ShowProgress(i, path, ListBox1, true);

    // A picture without a bright object is no failure: the status line stays in its normal style.
    const bool found = Op(*picture, record, !Save);
    if (found && !Save) {
      MarkEntryGood(ListBox2->Items().Add(path), ListBox2);
    } else if (found) {
      // The name written is the one the question asks about and the right list receives.
      std::string output = Dir + ChangeFileExt(ExtractFileName(path), Ext);
      try {
        if (SaveAs(picture.get(), output, answer))
          MarkEntryGood(ListBox2->Items().Add(output), ListBox2);
        else if (!FAbort)
          MarkEntryFailed(ListBox2->Items().Add(output), ListBox2,
                          RefusalText(output, "not written: the overwrite question was answered No"));
      } catch (const std::exception& error) {
        // A file that cannot be written is a failed save like any other, said with its reason.
        ++errors;
        firstFailure.Note(error.what());
        MarkEntryFailed(ListBox2->Items().Add(output), ListBox2, error.what());
        ShowProgress(-i, error.what(), ListBox1, false);
      }
    }
    Application->ProcessMessages();
  }
  picture.reset();
  if (errors != 0) {
    std::string text = Format("%d File(s) in Error / %d Processed", {errors, processed});
    Application->MessageBox(text + "\nFirst: " + firstFailure.Text(), "Processed Pictures", MB_OK);
  }
}

// ---- Maximum search

void TFormMain::MaximumSearch1Click(TObject*) {
  MaximumSearch();
}

void TFormMain::MaximumSearch() {
  // Without a point every picture would read as white there and the first would win unseen.
  if (FPointX == -1 && FPointY == -1) {
    Application->MessageBox(
        "No point chosen: choose one in the \"Info Image\" window (\"Create Mask...\", then \"Apply\").",
        "Maximum Search", MB_OK | MB_ICONINFORMATION);
    return;
  }
  std::string winner;
  TProbeRec probe{FPointX, FPointY, -2147483647};
  const auto param = reinterpret_cast<intptr_t>(&probe);
  FPause = false;
  FAbort = false;
  ToolBar1Click(this);
  Application->ProcessMessages();
  FFirstIsStep = true;
  if (!FResult && !NewBitmap(FResult)) return;
  // The result as it was, kept until a picture holding the point is found: a point outside every
  // picture, or pictures none of which loads, find nothing, and must not cost the user the result
  // (unsaved work, maybe).
  TKeptResult kept;
  if (!SetResultAside(kept)) return;
  FDirty = true;

  // First walk: the first picture that loads and holds the point is the first maximum. The marks of
  // the entries before it wait until it is found.
  struct TPendingMark {
    int Index;
    std::string Failure;  // why it did not load; empty when examined and not a maximum
  };
  std::vector<TPendingMark> pending;
  TFirstFailure firstFailure;
  bool anyLoaded = false;
  bool found = false;
  int i = 0;
  while (i < ListBox1->Count()) {
    if (ListBox1->ItemEnabled(i) && ListBox1->Checked(i)) {
      const std::string path = ListBox1->Items()[i];
      std::string reason;
      const bool loaded = LoadPicture(*FResult, path, reason);
      anyLoaded = anyLoaded || loaded;
      // A picture that does not hold the point has no value there: it is no maximum.
      if (loaded && BrighterAtProbe(*FResult, *FResult, param)) {
        winner = path;
        found = true;
        FResultCount = 1;
        FResultMerged = true;
        ShowBitmap(FResult.get());
        ShowMergedCount(path);
        break;
      }
      const std::string failure = loaded ? std::string() : LoadFailureText(path, reason);
      pending.push_back({i, failure});
      if (loaded) {
        ShowProgress(i, path, ListBox1, true);
      } else {
        firstFailure.Note(failure);
        ShowProgress(-i, failure, ListBox1, false);
      }
    }
    ++i;
    Application->ProcessMessages();
  }
  if (!found) {
    RestoreResult(kept);
    // Pictures that do not load are marked as everywhere; with a point outside every picture that
    // loads, no other mark changes.
    for (const TPendingMark& mark : pending)
      if (!mark.Failure.empty()) MarkEntryFailed(mark.Index, ListBox1, mark.Failure);
    const std::string text =
        anyLoaded ? Format("The point %d, %d lies outside every checked picture; no mark was changed.",
                           {FPointX, FPointY})
        : pending.empty() ? std::string("No picture is checked; the result is kept.")
                          : "None of the checked pictures could be loaded; the result is kept.\nFirst: " +
                                firstFailure.Text();
    Application->MessageBox(text, "Maximum Search", MB_OK | MB_ICONINFORMATION);
    return;
  }
  kept.Bitmap.reset();
  for (const TPendingMark& mark : pending) {
    if (!mark.Failure.empty())
      MarkEntryFailed(mark.Index, ListBox1, mark.Failure);
    else
      ListBox1->SetChecked(mark.Index, false);
  }
  ++i;

  // Second walk: a picture brighter at the point takes the result's place (the two bitmaps trade
  // places, nothing is copied); the others are unchecked.
  auto picture = std::make_unique<TBitmap>();
  picture->SetPixelFormat(pf24bit);
  while (i < ListBox1->Count() && !FAbort) {
    if (ListBox1->ItemEnabled(i) && ListBox1->Checked(i)) {
      const std::string path = ListBox1->Items()[i];
      std::string reason;
      if (!LoadPicture(*picture, path, reason)) {
        // The result keeps the maximum found so far.
        const std::string failure = LoadFailureText(path, reason);
        MarkEntryFailed(i, ListBox1, failure);
        ShowProgress(-i, failure, ListBox1, false);
      } else if (BrighterAtProbe(*picture, *FResult, param)) {
        FDirty = true;
        ListBox1->SetChecked(i, true);
        winner = path;
        ++FResultCount;
        std::swap(FResult, picture);
        ShowBitmap(FResult.get());
        ShowMergedCount(path);
      } else {
        // Examined and not brighter: no failure.
        ListBox1->SetChecked(i, false);
        ShowProgress(i, path, ListBox1, true);
      }
    }
    ++i;
    Application->ProcessMessages();
    if (StopAtPause()) break;
  }
  picture.reset();
  StatusBar1->Panels(2).SetText(winner);
  Application->MessageBox(winner, "Image with Maximum", MB_OK);
}

// ---- The information window and masks

void TFormMain::CreateImage1Click(TObject*) {
  Image1Click(this);
  // Already shown, the window may stand behind others: the command brings it to the front.
  if (FormCreateImg) FormCreateImg->Show();
}

void TFormMain::Image1MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  if (!FormCreateImg) return;
  const TBitmap* shown = Image1->ShownBitmap();
  FormCreateImg->TakePictureFacts(shown);
  FormCreateImg->SetPosX(FPointX);
  FormCreateImg->SetPosY(FPointY);
  const TColor color = PixelAt(shown, FPointX, FPointY);
  FormCreateImg->SetValue((GetRValue(color) + GetGValue(color) + GetBValue(color)) / 3);
  FormCreateImg->FOnApply = [this] { PointApplied(); };
  if (!FormCreateImg->Visible()) FormCreateImg->Show();
}

void TFormMain::PointApplied() {
  if (!FormCreateImg) return;
  FPointX = FormCreateImg->FPosX;
  FPointY = FormCreateImg->FPosY;
  const int highlighted = ListBox2->ItemIndex();
  ToolBar2Click(this);
  PreviewEntry(highlighted, ListBox2);
}
