#pragma once
// The parameters of the bright-object search and crop.

#include "toolkit/ui/forms.h"

class TFormSearch : public TForm {
 public:
  explicit TFormSearch(TComponent* owner);
};

extern TFormSearch* FormSearch;
