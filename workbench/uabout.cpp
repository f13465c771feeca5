#include "workbench/uabout.h"

TFormAbout* FormAbout = nullptr;

TFormAbout::TFormAbout(TComponent* owner) : TForm(owner) {
  SetName("FormAbout");
  SetCaption("About..");
}
