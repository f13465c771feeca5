#include "workbench/uformfactor.h"

TFormFactor* FormFactor = nullptr;

TFormFactor::TFormFactor(TComponent* owner) : TForm(owner) {
  SetName("FormFactor");
  SetCaption("Batch Operations:");
}
