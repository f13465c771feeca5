#include "workbench/uformparam.h"

TFormParams* FormParams = nullptr;

TFormParams::TFormParams(TComponent* owner) : TForm(owner) {
  SetName("FormParams");
  SetCaption("FormParams");
}
