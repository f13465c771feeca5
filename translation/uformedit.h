#pragma once
// The plain-text language-file editor.

#include "toolkit/ui/forms.h"

class TFormEdit : public TForm {
 public:
  explicit TFormEdit(TComponent* owner);
};

extern TFormEdit* FormEdit;
