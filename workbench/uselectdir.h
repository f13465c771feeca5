#pragma once
// The "Mask Directory" browser: folders on the left, the files of the chosen folder on the right.

#include "toolkit/ui/forms.h"

class TFormSelDir : public TForm {
 public:
  explicit TFormSelDir(TComponent* owner);
};

extern TFormSelDir* FormSelDir;
