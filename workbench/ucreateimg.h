#pragma once
// The picture information and mask creation window.

#include "toolkit/ui/forms.h"

class TFormCreateImg : public TForm {
 public:
  explicit TFormCreateImg(TComponent* owner);
};

extern TFormCreateImg* FormCreateImg;
