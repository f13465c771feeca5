#pragma once
// The operand-file prompt (created with the other windows; no command shows it).

#include "toolkit/ui/forms.h"

class TFormParams : public TForm {
 public:
  explicit TFormParams(TComponent* owner);
};

extern TFormParams* FormParams;
