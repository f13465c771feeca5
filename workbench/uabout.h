#pragma once
// The about box: the program's logo, name and quick manual, printable.

#include "toolkit/ui/buttons.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/image.h"
#include "toolkit/ui/stdctrls.h"

class TFormAbout : public TForm {
 public:
  explicit TFormAbout(TComponent* owner);

  TImage* Image1;
  TLabel* Label1;
  TMemo* Memo1;
  TSpeedButton* SpeedButton2;
  TSpeedButton* SpeedButton1;

  void SpeedButton1Click(TObject* Sender);
  // Prints every line of the manual text on the default printer.
  void SpeedButton2Click(TObject* Sender);
};

extern TFormAbout* FormAbout;
