#pragma once
// The error-report window (created with the other windows; never shown).

#include "toolkit/ui/forms.h"

class TForm2 : public TForm {
 public:
  explicit TForm2(TComponent* owner);
};

extern TForm2* Form2;
