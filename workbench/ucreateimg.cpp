#include "workbench/ucreateimg.h"

TFormCreateImg* FormCreateImg = nullptr;

TFormCreateImg::TFormCreateImg(TComponent* owner) : TForm(owner) {
  SetName("FormCreateImg");
  SetCaption("Info Image");
}
