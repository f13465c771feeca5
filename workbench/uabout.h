#pragma once
// The about box: the program's logo, name and quick manual, printable.

#include "toolkit/ui/forms.h"

class TFormAbout : public TForm {
 public:
  explicit TFormAbout(TComponent* owner);
};

extern TFormAbout* FormAbout;
