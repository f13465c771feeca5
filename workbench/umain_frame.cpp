// The main window's own handlers: creation, close query, destruction, quit, pause, the Options menu's
// check marks, the About and Translation openers, the computer name and the key table.
#include "toolkit/ui/application.h"
#include "toolkit/ui/screen.h"
#include "workbench/step_numbering.h"
#include "workbench/uabout.h"
#include "workbench/ulngstrings.h"
#include "workbench/umain.h"
#include "workbench/unitcomputer.h"
#include "workbench/working_bitmap.h"

namespace {

constexpr const char* kProductName = "Orvanta";
constexpr const char* kVersion = " - version 2.1g - 2014/02/18";
constexpr const char* kCredit = " - star trails from a fixed camera, by the Orvanta authors";

}  // namespace

void TFormMain::FormCreate(TObject*) {
  FPointX = -1;
  FPointY = -1;
  FZoom = 1.0;
  KeyPreview = true;
  TOpenDialog::OpenInCurrentFolder = true;
  SetCaption(std::string(kProductName) + kVersion + kCredit);
  ScrollBox1->DoubleBuffered = true;
  SetCurrentList(ListBox1);
  FListCaption = kstcaption1;
  FDirty = false;
  NewBitmap(FResult);
  FFirstIsStep = true;
  FResultCount = 0;
  FResultMerged = false;
  InitStepNumbering();
  Image1->SetStretch(true);
  ToolButton7->SetDown(true);
  ClearList(ListBox1);
  ClearList(ListBox2);
  PreviewEntry(ListBox1->ItemIndex(), ListBox1);
}

void TFormMain::FormCloseQuery(TObject*, bool& CanClose) {
  CanClose = true;
  // Work is lost only when the result holds a merged picture: with none (after "Clear Result", or a
  // run that merged nothing) there is nothing to save, and a Yes could only keep the window open.
  if (!FDirty || !FResultMerged) return;
  switch (Application->MessageBox("Save Processed Image?", "Quit!!", MB_YESNOCANCEL)) {
    case IDYES:
      SaveResult1Click(this);
      CanClose = false;
      break;
    case IDNO:
      CanClose = true;
      break;
    default:
      CanClose = false;
      break;
  }
}

void TFormMain::FormDestroy(TObject*) {
  FDirty = false;
  FResultMerged = false;
  FResult.reset();
}

void TFormMain::FormResize(TObject*) {
  LayoutView();
}

void TFormMain::Quit1Click(TObject*) {
  Close();
}

void TFormMain::ToolButtonAbortClick(TObject*) {
  FPause = true;
  FAbort = true;
}

void TFormMain::Options1Click(TObject*) {
  FPadNumbers = FirstNumberIn(FNumFormat) != 0;
  numformat1->SetChecked(FPadNumbers);
  Adapterlimage1->SetChecked(Image1->Stretch());
  ToolButton7->SetDown(Adapterlimage1->Checked());
  SortList1->SetChecked(ListBox1->Sorted());
  SortList2->SetChecked(ListBox2->Sorted());
}

void TFormMain::About1Click(TObject*) {
  if (FormAbout) FormAbout->ShowModal();
}

void TFormMain::Translation1Click(TObject*) {
  // The chooser belongs to the translation layer above this one: it is found by its window name.
  for (int i = 0; i < Screen->FormCount(); ++i) {
    if (Screen->Forms(i)->Name() == "LngForm") {
      Screen->Forms(i)->Show();
      return;
    }
  }
}

void TFormMain::ToolButton9Click(TObject*) {
  StatusBar1->Panels(2).SetText(ComputerName());
}

void TFormMain::FormKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (!(Shift & ssCtrl)) return;
  const bool alt = (Shift & ssAlt) != 0;
  switch (Key) {
    case 'A':
      if (!alt) SelectallClick(this);
      break;
    case 'I':
      if (alt)
        InvertCheckAllClick(this);
      else
        InvertCheckSelectionClick(this);
      break;
    case 'K':
      if (alt)
        CheckAllClick(this);
      else
        CheckSelectionClick(this);
      break;
    case 'U':
      if (alt)
        UncheckAllClick(this);
      else
        UncheckSelectionClick(this);
      break;
    default:
      break;
  }
}
