#include "workbench/ulut.h"

TLut* Lut = nullptr;

TLut::TLut(TComponent* owner) : TForm(owner) {
  SetName("Lut");
  SetCaption("Look Up Tables");
}
