#pragma once
// The "FileName Num Format" dialog: the width of step numbers and whether it grows with the list.

#include "toolkit/ui/buttons.h"
#include "toolkit/ui/comctrls.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/stdctrls.h"

class TFormNumFormat : public TForm {
 public:
  explicit TFormNumFormat(TComponent* owner);

  TLabel* Label1;
  TEdit* Edit1;
  TUpDown* UpDown1;
  TCheckBox* CheckBoxAutoNumFormat;
  TBitBtn* BitBtnOk;
  TBitBtn* BitBtnCancel;
  TBitBtn* BitBtnDefault;

  void FormCreate(TObject* Sender);
  // Width 4, auto-adapt on.
  void BitBtnDefaultClick(TObject* Sender);
};

extern TFormNumFormat* FormNumFormat;
