#include "workbench/uselectdir.h"

TFormSelDir* FormSelDir = nullptr;

TFormSelDir::TFormSelDir(TComponent* owner) : TForm(owner) {
  SetName("FormSelDir");
  SetCaption("Mask Directory");
}
