#pragma once
// The language chooser.

#include "toolkit/ui/forms.h"

class TLngForm : public TForm {
 public:
  explicit TLngForm(TComponent* owner);
};

extern TLngForm* LngForm;
