#pragma once
// The "Batch Operations:" window: one of the six reference operations, its reference picture, factor
// and offset; tried on the highlighted picture of the left list, or applied to every checked one with
// numbered steps. Not modal; closing hides it and keeps its settings.

#include <cstdint>
#include <string>

#include "toolkit/ui/buttons.h"
#include "toolkit/ui/extdlgs.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/scrollbar.h"
#include "toolkit/ui/stdctrls.h"

class TFormFactor : public TForm {
 public:
  explicit TFormFactor(TComponent* owner);

  // Items of ComboBoxFunction.
  enum { kSubtract, kAdd, kDivide, kMultiply, kSquare, kCube };

  TLabel* Label4;
  TComboBox* ComboBoxFunction;
  TLabel* Label1;
  TEdit* EditFileName;
  TSpeedButton* SpeedButtonBrowse;
  TSpeedButton* SpeedButton1;
  TLabel* Label2;
  TEdit* EditFactor;
  TSpeedButton* SpeedButtonFactor;
  TScrollBar* ScrollBarFactor;
  TLabel* Label3;
  TEdit* EditOffset;
  TSpeedButton* SpeedButtonOffset;
  TScrollBar* ScrollBarOffset;
  TBitBtn* BitBtnUndo;
  TLabel* Label5;
  TBitBtn* BitBtnTestOne;
  TBitBtn* BitBtnOk;
  TBitBtn* BitBtnClose;
  TOpenPictureDialog* OpenPictureDialog1;

  // The reference picture's file, taken from EditFileName when an operation starts.
  std::string FFileName;
  // The running operation was started by "Process Image" (the highlighted entry alone).
  bool FTestOne = false;

  void SetFileName(const std::string& Value);
  // 65536 for the cube, 256 for the other operations.
  int32_t GetDefaultFactor();
  // The scroll bars' positions (the edits are not read).
  double GetFactor();
  double GetOffset();
  // The mask window's notification: the mask it saved becomes the reference.
  void MaskCreated();

  void FormCreate(TObject* Sender);
  void ComboBoxFunctionChange(TObject* Sender);
  void BitBtnApplyClick(TObject* Sender);
  void BitBtnOkClick(TObject* Sender);
  void BitBtnUndoClick(TObject* Sender);
  void BitBtnCloseClick(TObject* Sender);
  void SpeedButtonBrowseClick(TObject* Sender);
  void SpeedButtonFactorClick(TObject* Sender);
  void SpeedButtonOffsetClick(TObject* Sender);
  void ScrollBarFactorScroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
  void ScrollBarOffsetScroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
  void EditFactorKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void EditOffsetKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void EditFactorChange(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);

 private:
  // Runs the chosen operation's command of the main window.
  void RunChosenOperation(bool Test);
};

extern TFormFactor* FormFactor;
