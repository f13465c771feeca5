#pragma once
// The look-up tables window (created with the other windows; no command shows it).

#include "toolkit/ui/forms.h"

class TLut : public TForm {
 public:
  explicit TLut(TComponent* owner);
};

extern TLut* Lut;
