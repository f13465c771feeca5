#pragma once
// The picture file dialogs: open and save dialogs whose filter lists every registered picture format
// (taken when the dialog is made, as the registry stands then).

#include "toolkit/ui/file_dialogs.h"

class TOpenPictureDialog : public TOpenDialog {
 public:
  explicit TOpenPictureDialog(TComponent* owner);
};

class TSavePictureDialog : public TSaveDialog {
 public:
  explicit TSavePictureDialog(TComponent* owner);
};
