#include "workbench/uformfactor.h"

#include <cmath>

#include <QApplication>
#include <QStyle>

#include "toolkit/core/conversions.h"
#include "toolkit/core/format.h"
#include "toolkit/ui/system_services.h"
#include "workbench/form_layout.h"
#include "workbench/list_update.h"
#include "workbench/ucreateimg.h"
#include "workbench/umain.h"

TFormFactor* FormFactor = nullptr;

namespace {

// The key-up rule of the factor and offset edits: other keys than digits, signs and control keys beep;
// an integer typed is clamped to the scroll bar's range (the edit shows the clamped value) and moves
// the scroll bar, without trying the operation.
void TypedValueMovesScrollBar(TEdit& edit, TScrollBar& bar, Word key) {
  const bool accepted = key < 32 || key == 43 || key == 45 || (key >= 48 && key <= 57) ||
                        (key >= 96 && key <= 105) || key == 107 || key == 109;
  if (!accepted) {
    Beep();
    return;
  }
  int32_t value = 0;
  if (!TryStrToInt(edit.Text(), value)) return;
  if (value > bar.Max()) {
    value = bar.Max();
    edit.SetText(Format("%d", {value}));
  }
  if (value < bar.Min()) {
    value = bar.Min();
    edit.SetText(Format("%d", {value}));
  }
  bar.SetPosition(value);
}

}  // namespace

TFormFactor::TFormFactor(TComponent* owner) : TForm(owner) {
  SetName("FormFactor");
  SetCaption("Batch Operations:");
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  resize(392, 268);

  Label4 = PlaceControl<TLabel>(this, this, "Label4", 8, 12, 60, 13, "Function:");
  ComboBoxFunction = PlaceControl<TComboBox>(this, this, "ComboBoxFunction", 112, 8, 266, 21);
  for (const char* item : {"Subtract an Image (Dark)", "Add an Image", "Divide   by an Image (Flat)",
                           "Mutiply  by an Image", "Square of Image", "Cube of Image"})
    ComboBoxFunction->Items().Add(item);
  Label1 = PlaceControl<TLabel>(this, this, "Label1", 8, 42, 100, 13, "Image Filename:");
  EditFileName = PlaceControl<TEdit>(this, this, "EditFileName", 112, 38, 236, 21);
  SpeedButtonBrowse = PlaceControl<TSpeedButton>(this, this, "SpeedButtonBrowse", 355, 37, 23, 22);
  SpeedButtonBrowse->setIcon(QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon));
  SpeedButton1 =
      PlaceControl<TSpeedButton>(this, this, "SpeedButton1", 112, 62, 160, 22, "Create an Image Mask..");
  Label2 = PlaceControl<TLabel>(this, this, "Label2", 8, 96, 40, 13, "Factor:");
  EditFactor = PlaceControl<TEdit>(this, this, "EditFactor", 112, 92, 70, 21);
  SpeedButtonFactor = PlaceControl<TSpeedButton>(this, this, "SpeedButtonFactor", 188, 91, 110, 22);
  ScrollBarFactor = PlaceControl<TScrollBar>(this, this, "ScrollBarFactor", 8, 120, 370, 16);
  Label3 = PlaceControl<TLabel>(this, this, "Label3", 8, 150, 40, 13, "Offset:");
  EditOffset = PlaceControl<TEdit>(this, this, "EditOffset", 112, 146, 70, 21);
  SpeedButtonOffset =
      PlaceControl<TSpeedButton>(this, this, "SpeedButtonOffset", 188, 145, 110, 22, "Default = 0");
  ScrollBarOffset = PlaceControl<TScrollBar>(this, this, "ScrollBarOffset", 8, 174, 370, 16);
  BitBtnUndo = PlaceControl<TBitBtn>(this, this, "BitBtnUndo", 8, 200, 110, 25, "Original Image");
  Label5 = PlaceControl<TLabel>(this, this, "Label5", 124, 206, 140, 13, "<= Or Mouse Over =>");
  BitBtnTestOne = PlaceControl<TBitBtn>(this, this, "BitBtnTestOne", 268, 200, 110, 25, "Process Image");
  BitBtnTestOne->Default = true;
  BitBtnOk = PlaceControl<TBitBtn>(this, this, "BitBtnOk", 8, 234, 110, 25, "Apply to List");
  BitBtnOk->SetKind(TBitBtnKind::bkOK);
  BitBtnOk->Default = false;
  BitBtnClose = PlaceControl<TBitBtn>(this, this, "BitBtnClose", 268, 234, 110, 25, "Close");
  BitBtnClose->SetKind(TBitBtnKind::bkCancel);
  OpenPictureDialog1 = AddComponent<TOpenPictureDialog>(this, "OpenPictureDialog1");

  OnCreate = Event(this, &TFormFactor::FormCreate);
  ComboBoxFunction->OnChange = Event(this, &TFormFactor::ComboBoxFunctionChange);
  BitBtnTestOne->OnClick = Event(this, &TFormFactor::BitBtnApplyClick);
  BitBtnOk->OnClick = Event(this, &TFormFactor::BitBtnOkClick);
  BitBtnUndo->OnClick = Event(this, &TFormFactor::BitBtnUndoClick);
  BitBtnClose->OnClick = Event(this, &TFormFactor::BitBtnCloseClick);
  SpeedButtonBrowse->OnClick = Event(this, &TFormFactor::SpeedButtonBrowseClick);
  SpeedButtonFactor->OnClick = Event(this, &TFormFactor::SpeedButtonFactorClick);
  SpeedButtonOffset->OnClick = Event(this, &TFormFactor::SpeedButtonOffsetClick);
  SpeedButton1->OnClick = Event(this, &TFormFactor::SpeedButton1Click);
  EditFactor->OnChange = Event(this, &TFormFactor::EditFactorChange);
  ScrollBarFactor->OnScroll = [this](TObject* sender, TScrollCode code, int& position) {
    ScrollBarFactorScroll(sender, code, position);
  };
  ScrollBarOffset->OnScroll = [this](TObject* sender, TScrollCode code, int& position) {
    ScrollBarOffsetScroll(sender, code, position);
  };
  EditFactor->OnKeyUp = [this](TObject* sender, Word& key, TShiftState shift) {
    EditFactorKeyUp(sender, key, shift);
  };
  EditOffset->OnKeyUp = [this](TObject* sender, Word& key, TShiftState shift) {
    EditOffsetKeyUp(sender, key, shift);
  };
}

void TFormFactor::SetFileName(const std::string& Value) {
  FFileName = Value;
  EditFileName->SetText(Value);
}

int32_t TFormFactor::GetDefaultFactor() {
  return ComboBoxFunction->ItemIndex() == kCube ? 65536 : 256;
}

double TFormFactor::GetFactor() {
  return ScrollBarFactor->Position();
}

double TFormFactor::GetOffset() {
  return ScrollBarOffset->Position();
}

void TFormFactor::MaskCreated() {
  if (FormCreateImg) EditFileName->SetText(FormCreateImg->FFileName);
}

void TFormFactor::FormCreate(TObject* Sender) {
  FTestOne = false;
  SetFileName("");
  ComboBoxFunction->SetItemIndex(kSubtract);
  ComboBoxFunctionChange(Sender);
}

void TFormFactor::ComboBoxFunctionChange(TObject*) {
  const int32_t factor = GetDefaultFactor();
  ScrollBarFactor->SetMin(-factor);
  ScrollBarFactor->SetMax(factor);
  ScrollBarFactor->SetPosition(factor);
  SpeedButtonFactor->SetCaption(Format("Default = %d", {factor}));
  EditFactor->SetText(Format("%d", {factor}));
  ScrollBarOffset->SetMin(-255);
  ScrollBarOffset->SetMax(255);
  ScrollBarOffset->SetPosition(0);
  EditOffset->SetText(Format("%d", {0}));
  const int item = ComboBoxFunction->ItemIndex();
  const bool usesReference = item != kSquare && item != kCube;
  SpeedButtonBrowse->SetVisible(usesReference);
  Label1->SetVisible(usesReference);
  SpeedButton1->SetVisible(usesReference);
  EditFileName->SetEnabled(usesReference);
}

void TFormFactor::RunChosenOperation(bool Test) {
  if (!FormMain) return;
  switch (ComboBoxFunction->ItemIndex()) {
    case kSubtract:
      FormMain->BatchSubtract(Test);
      break;
    case kAdd:
      FormMain->BatchAdd(Test);
      break;
    case kDivide:
      FormMain->BatchDivide(Test);
      break;
    case kMultiply:
      FormMain->BatchMultiply(Test);
      break;
    case kSquare:
      FormMain->BatchSquare(Test);
      break;
    case kCube:
      FormMain->BatchCube(Test);
      break;
    default:
      break;
  }
}

void TFormFactor::BitBtnApplyClick(TObject* Sender) {
  FTestOne = Sender == BitBtnTestOne;
  TBusyCursor busy;  // set back also when the operation raises
  FFileName = EditFileName->Text();
  RunChosenOperation(true);
}

void TFormFactor::BitBtnOkClick(TObject*) {
  FTestOne = false;
  FFileName = EditFileName->Text();
  RunChosenOperation(false);
}

void TFormFactor::BitBtnUndoClick(TObject*) {
  if (FormMain) FormMain->PreviewEntry(FormMain->ListBox1->ItemIndex(), FormMain->ListBox1);
}

void TFormFactor::BitBtnCloseClick(TObject*) {
  Close();
}

void TFormFactor::SpeedButtonBrowseClick(TObject*) {
  if (OpenPictureDialog1->Execute()) EditFileName->SetText(OpenPictureDialog1->FileName);
}

void TFormFactor::SpeedButtonFactorClick(TObject*) {
  const int32_t factor = GetDefaultFactor();
  ScrollBarFactor->SetPosition(factor);
  EditFactor->SetText(Format("%d", {factor}));
  BitBtnApplyClick(BitBtnTestOne);
}

void TFormFactor::SpeedButtonOffsetClick(TObject*) {
  ScrollBarOffset->SetPosition(0);
  EditOffset->SetText(Format("%d", {0}));
  BitBtnApplyClick(BitBtnTestOne);
}

void TFormFactor::ScrollBarFactorScroll(TObject*, TScrollCode ScrollCode, int& ScrollPos) {
  // At 0 the edit reads 1 while the position, the factor a run uses, stays 0.
  EditFactor->SetText(Format("%d", {ScrollPos == 0 ? 1 : ScrollPos}));
  if (ScrollCode == scPosition || ScrollCode == scEndScroll) BitBtnApplyClick(BitBtnTestOne);
}

void TFormFactor::ScrollBarOffsetScroll(TObject*, TScrollCode ScrollCode, int& ScrollPos) {
  EditOffset->SetText(Format("%d", {ScrollPos}));
  if (ScrollCode == scPosition || ScrollCode == scEndScroll) BitBtnApplyClick(BitBtnTestOne);
}

void TFormFactor::EditFactorKeyUp(TObject*, Word& Key, TShiftState) {
  TypedValueMovesScrollBar(*EditFactor, *ScrollBarFactor, Key);
}

void TFormFactor::EditOffsetKeyUp(TObject*, Word& Key, TShiftState) {
  TypedValueMovesScrollBar(*EditOffset, *ScrollBarOffset, Key);
}

void TFormFactor::EditFactorChange(TObject*) {}

void TFormFactor::SpeedButton1Click(TObject*) {
  if (!FormCreateImg) return;
  if (FormMain) FormCreateImg->TakePictureFacts(FormMain->Image1->ShownBitmap());
  FormCreateImg->FOnApply = [this] { MaskCreated(); };
  FormCreateImg->Show();
}
