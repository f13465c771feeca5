#include "toolkit/ui/extdlgs.h"

#include "toolkit/graphics/picture.h"

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner) {
  Filter = TPicture::GraphicFilter(TGraphic::StaticClass());
}

TSavePictureDialog::TSavePictureDialog(TComponent* owner) : TSaveDialog(owner) {
  Filter = TPicture::GraphicFilter(TGraphic::StaticClass());
}
