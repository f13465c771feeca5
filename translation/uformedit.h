#pragma once
// The plain-text language-file editor: open, save under a name, find, replace, cut, copy and paste.
// Shown without being modal by OpenEditor; closing hides it and keeps its text.

#include <string>

#include "toolkit/core/text_encoding.h"
#include "toolkit/ui/buttons.h"
#include "toolkit/ui/extctrls.h"
#include "toolkit/ui/file_dialogs.h"
#include "toolkit/ui/find_dialogs.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/menus.h"
#include "toolkit/ui/richedit.h"

class TFormEdit : public TForm {
 public:
  explicit TFormEdit(TComponent* owner);

  TRichEdit* RichEdit1;
  TPanel* Panel1;
  TBitBtn* BitBtnLoad;
  TBitBtn* BitBtnSave;
  TBitBtn* BitBtnApply;
  TBitBtn* BitBtnCancel;
  TBitBtn* BitBtnOk;
  TOpenDialog* OpenDialog1;
  TSaveDialog* SaveDialog1;
  TFindDialog* FindDialog1;
  TReplaceDialog* ReplaceDialog1;
  TMainMenu* MainMenu1;
  TMenuItem* MenuEdit_File;
  TMenuItem* MenuEdit_Load;
  TMenuItem* MenuEdit_Save;
  TMenuItem* N1;
  TMenuItem* MenuEdit_Close;
  TMenuItem* MenuEdit_Edit;
  TMenuItem* MenuEdit_Search;
  TMenuItem* Remplacer1;
  TMenuItem* N2;
  TMenuItem* MenuEdit_Cut;
  TMenuItem* MenuEdit_Copy;
  TMenuItem* MenuEdit_Paste;

  // The file being edited (full path; empty for none).
  std::string FFileName;
  // The encoding the file was read in (UTF-8, or Windows-1252 for an older 8-bit file), which saving
  // keeps.
  TTextEncoding FEncoding = TTextEncoding::teUtf8;

  // Shows the editor on the file; a file that does not exist is asked for with the open dialog
  // (initial folder, name and filter given). Unsaved edits are offered for saving before another text
  // replaces them.
  void OpenEditor(const std::string& FileName, const std::string& InitialDir, const std::string& Filter);

  void FormShow(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void BitBtnLoadClick(TObject* Sender);
  void BitBtnSaveClick(TObject* Sender);
  void BitBtnCancelClick(TObject* Sender);
  void BitBtnOkClick(TObject* Sender);
  void MenuEdit_LoadClick(TObject* Sender);
  void MenuEdit_SaveClick(TObject* Sender);
  void MenuEdit_CloseClick(TObject* Sender);
  void MenuEdit_CutClick(TObject* Sender);
  void MenuEdit_CopyClick(TObject* Sender);
  void MenuEdit_PasteClick(TObject* Sender);
  void MenuEdit_SearchClick(TObject* Sender);
  void Remplacer1Click(TObject* Sender);
  void FindDialog1Find(TObject* Sender);
  void ReplaceDialog1Find(TObject* Sender);
  void ReplaceDialog1Replace(TObject* Sender);

 private:
  void UpdateCaption();
  // Loads the file (an empty text for a name that does not exist) and marks its lines.
  void LoadFile(const std::string& FileName);
  void SaveFile(const std::string& FileName);
  // The save question for modified text: true when the text may go (saved, or the user said No).
  bool MayReplaceText();
  // Saves under the current name, asking for one when there is none; false when the user cancelled.
  bool SaveCurrent();
  // The next match of the dialog's text after the selection (from the top when nothing is selected).
  void Search(TFindDialog& Dialog);
  // Opens the dialog at the edit's top-left corner, or searches again when it is open already.
  void FindOrOpen(TFindDialog& Dialog, void (TFormEdit::*SearchAgain)(TObject*));
};

extern TFormEdit* FormEdit;
