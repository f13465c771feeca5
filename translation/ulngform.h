#pragma once
// The language chooser: lists the language files, applies one, makes one the active language
// (current.lng), creates one from the texts the windows show now, and opens one in the editor.

#include <string>

#include "toolkit/ui/buttons.h"
#include "toolkit/ui/file_dialogs.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/listbox.h"
#include "toolkit/ui/stdctrls.h"

class TLngForm : public TForm {
 public:
  explicit TLngForm(TComponent* owner);

  TSpeedButton* SpeedButtonEditLng;
  TSpeedButton* SpeedButtonApplyLng;
  TSpeedButton* SpeedButtonSaveLng;
  TListBox* ListBox1;
  TBitBtn* BitBtnLngOk;
  TBitBtn* BitBtnLngCancel;
  TSaveDialog* SaveDialog1;
  TOpenDialog* OpenDialog1;
  // The folder the files are written to, as the message string lngFolder words it.
  TLabel* FolderLabel;

  // The file last made active here: current.lng's full path until OK or Cancel, then a bare name.
  std::string FRemembered;

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void SpeedButtonApplyLngClick(TObject* Sender);
  void SpeedButtonSaveLngClick(TObject* Sender);
  void SpeedButtonEditLngClick(TObject* Sender);
  void ListBox1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void BitBtnLngOkClick(TObject* Sender);
  void BitBtnLngCancelClick(TObject* Sender);
  // After OK (the last button pressed): the chosen file becomes current.lng and is applied. After
  // Cancel: the active language comes back, whatever was previewed. A missing current.lng is made
  // first, from the program's own texts.
  void FormCloseQuery(TObject* Sender, bool& CanClose);

 private:
  // The selected entry (in the language folder, or the installed one when only that one holds it), or
  // current.lng when none is selected.
  std::string ChosenFile() const;
  void RefreshList();
  void ShowFolder();
  // A missing current.lng is made: a copy of the installed one when there is one, else written from
  // the texts the windows show now.
  void EnsureCurrentLngFile();
  // The windows show the active language: the program's own texts with current.lng (made when
  // missing) over them.
  void ApplyActiveFile();
  void OpenChosenInEditor();
};

extern TLngForm* LngForm;
