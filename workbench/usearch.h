#pragma once
// The "Search Parameters:" window, shown modally before every search: the luminance level and the
// pixel count of a bright object, the margins left out of the count, the crop window's size, and
// whether (and where) the found pictures are saved.

#include "toolkit/ui/buttons.h"
#include "toolkit/ui/comctrls.h"
#include "toolkit/ui/file_dialogs.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/stdctrls.h"

class TFormSearch : public TForm {
 public:
  explicit TFormSearch(TComponent* owner);

  TLabel* Label1;
  TEdit* EditMinLevel;
  TUpDown* UpDownMinLevel;
  TLabel* Label2;
  TEdit* EditMinPixels;
  TUpDown* UpDownMinPixels;
  TLabel* Label7;
  TLabel* Label3;
  TEdit* EditLeft;
  TUpDown* UpDownLeft;
  TLabel* Label4;
  TEdit* EditRight;
  TUpDown* UpDownRight;
  TLabel* Label5;
  TEdit* EditTop;
  TUpDown* UpDownTop;
  TLabel* Label6;
  TEdit* EditBottom;
  TUpDown* UpDownBottom;
  TLabel* Label8;
  TLabel* Label9;
  TEdit* EditCropW;
  TUpDown* UpDownCropW;
  TLabel* Label10;
  TEdit* EditCropH;
  TUpDown* UpDownCropH;
  TCheckBox* CheckBoxSave;
  TEdit* EditName;
  TSpeedButton* SpeedButton1;
  TSpeedButton* SpeedButton2;
  TBitBtn* BitBtnOk;
  TBitBtn* BitBtnCancel;
  TSaveDialog* SaveDialog1;

  void FormShow(TObject* Sender);
  void CheckBoxSaveClick(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
  void SpeedButton2Click(TObject* Sender);
};

extern TFormSearch* FormSearch;

// Prepares a save dialog for the search's output name: the name "(CurrentFileName).bmp", every
// registered picture format, "bmp" by default.
void PrepareSearchSaveDialog(TSaveDialog& Dialog);
