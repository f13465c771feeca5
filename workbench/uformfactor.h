#pragma once
// The batch operations window.

#include "toolkit/ui/forms.h"

class TFormFactor : public TForm {
 public:
  explicit TFormFactor(TComponent* owner);
};

extern TFormFactor* FormFactor;
