// The astronomer's tools of the main window: the batch operations of the batch window, the search and
// crop of bright objects, the maximum search at the chosen point, and the information window that
// chooses the point and creates masks.
#include <cmath>
#include <exception>
#include <memory>

#include "toolkit/core/format.h"
#include "toolkit/ui/application.h"
#include "workbench/reference_ops.h"
#include "workbench/uformfactor.h"
#include "workbench/ulngstrings.h"
#include "workbench/umain.h"
#include "workbench/working_bitmap.h"

namespace {

// Rounded to the nearest integer, halves to even (the scroll bars give whole numbers anyway).
int32_t Rounded(double value) {
  return static_cast<int32_t>(std::nearbyint(value));
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
  if (NeedsReference && !LoadPicture(*record.Reference, FormFactor->FFileName)) {
    const std::string text =
        FormFactor->FFileName.empty() ? kstNoPicture : Format(kstUnknownFormat, {FormFactor->FFileName});
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

// ---- Search and crop, maximum search, the information window

void TFormMain::Search1Click(TObject*) {}

void TFormMain::SearchSave1Click(TObject*) {}

void TFormMain::Crop1Click(TObject*) {}

void TFormMain::CropSave1Click(TObject*) {}

void TFormMain::MaximumSearch1Click(TObject*) {}

void TFormMain::CreateImage1Click(TObject*) {}
