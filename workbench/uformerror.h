#pragma once
// The error-report window (created with the other windows; never shown).

#include "toolkit/ui/buttons.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/stdctrls.h"

class TForm2 : public TForm {
 public:
  explicit TForm2(TComponent* owner);

  TMemo* memo1;
  TBitBtn* BitBtn1;
  TBitBtn* BitBtn2;

  // "Efface...": empties the report.
  void BitBtn2Click(TObject* Sender);
};

extern TForm2* Form2;
