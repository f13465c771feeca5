#pragma once
// A file-name prompt (made with the other windows and translated with them; no command shows it).

#include <string>

#include "toolkit/ui/buttons.h"
#include "toolkit/ui/extdlgs.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/stdctrls.h"

class TFormParams : public TForm {
 public:
  explicit TFormParams(TComponent* owner);

  TLabel* Label1;
  TEdit* Edit1;
  TSpeedButton* SpeedButton1;
  TBitBtn* BitBtn1;
  TBitBtn* BitBtn2;
  TOpenPictureDialog* OpenPictureDialog1;

  // The name confirmed with OK.
  std::string FFileName;

  void SetFileName(const std::string& Value);

  void FormCreate(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
};

extern TFormParams* FormParams;
