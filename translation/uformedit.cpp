#include "translation/uformedit.h"

#include "toolkit/core/file_names.h"
#include "toolkit/core/file_replace.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/format.h"
#include "toolkit/core/string_list.h"
#include "toolkit/ui/application.h"
#include "translation/ulng.h"
#include "workbench/form_layout.h"
#include "workbench/ulngstrings.h"

TFormEdit* FormEdit = nullptr;

namespace {

constexpr int kMarkIndentPoints = 20;

TBitBtn* NewButton(TFormEdit* form, TPanel* panel, const char* name, int left) {
  auto* button = new TBitBtn(form, panel);
  button->SetName(name);
  button->SetBounds(left, 8, 100, 25);
  return button;
}

TSearchTypes SearchTypesOf(const TFindDialog& dialog) {
  TSearchTypes options = 0;
  if (dialog.Options & frMatchCase) options |= stMatchCase;
  if (dialog.Options & frWholeWord) options |= stWholeWord;
  return options;
}

}  // namespace

TFormEdit::TFormEdit(TComponent* owner) : TForm(owner) {
  SetName("FormEdit");
  SetCaption(lngEdit);
  resize(640, 480);
  Position = TPosition::poScreenCenter;
  KeyPreview = true;

  RichEdit1 = new TRichEdit(this, this);
  RichEdit1->SetName("RichEdit1");
  RichEdit1->SetBounds(0, 0, 640, 400);
  RichEdit1->SetAlign(TAlign::alClient);
  Panel1 = new TPanel(this, this);
  Panel1->SetName("Panel1");
  Panel1->SetBounds(0, 400, 640, 41);
  Panel1->SetAlign(TAlign::alBottom);
  BitBtnLoad = NewButton(this, Panel1, "BitBtnLoad", 8);
  BitBtnLoad->SetCaption("Lire...");
  BitBtnSave = NewButton(this, Panel1, "BitBtnSave", 116);
  BitBtnSave->SetCaption("Enregistrer");
  BitBtnApply = NewButton(this, Panel1, "BitBtnApply", 224);
  BitBtnApply->SetCaption("Appliquer...");
  BitBtnApply->SetVisible(false);
  BitBtnCancel = NewButton(this, Panel1, "BitBtnCancel", 424);
  BitBtnCancel->SetKind(TBitBtnKind::bkCancel);
  BitBtnOk = NewButton(this, Panel1, "BitBtnOk", 532);
  BitBtnOk->SetKind(TBitBtnKind::bkOK);

  OpenDialog1 = new TOpenDialog(this);
  OpenDialog1->SetName("OpenDialog1");
  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->SetName("SaveDialog1");
  FindDialog1 = new TFindDialog(this);
  FindDialog1->SetName("FindDialog1");
  FindDialog1->Options = frDown | frHideMatchCase | frHideWholeWord | frHideUpDown;
  ReplaceDialog1 = new TReplaceDialog(this);
  ReplaceDialog1->SetName("ReplaceDialog1");

  MainMenu1 = new TMainMenu(this);
  MainMenu1->SetName("MainMenu1");
  MenuEdit_File = AddMenuItem(this, MainMenu1->Items(), "MenuEdit_File", "Fichier");
  MenuEdit_Load = AddMenuItem(this, MenuEdit_File, "MenuEdit_Load", "Ouvrir...");
  MenuEdit_Save =
      AddMenuItem(this, MenuEdit_File, "MenuEdit_Save", "Enregistrer sous...", ShortCut('S', ssCtrl));
  N1 = AddMenuItem(this, MenuEdit_File, "N1", "-");
  MenuEdit_Close = AddMenuItem(this, MenuEdit_File, "MenuEdit_Close", "Fermer", ShortCut('Q', ssCtrl));
  MenuEdit_Edit = AddMenuItem(this, MainMenu1->Items(), "MenuEdit_Edit", "Editer");
  MenuEdit_Search =
      AddMenuItem(this, MenuEdit_Edit, "MenuEdit_Search", "Rechercher...", ShortCut(VK_F1 + 2, 0));
  Remplacer1 = AddMenuItem(this, MenuEdit_Edit, "Remplacer1", "Remplacer...");
  N2 = AddMenuItem(this, MenuEdit_Edit, "N2", "-");
  MenuEdit_Cut = AddMenuItem(this, MenuEdit_Edit, "MenuEdit_Cut", "Couper", ShortCut('X', ssCtrl));
  MenuEdit_Copy = AddMenuItem(this, MenuEdit_Edit, "MenuEdit_Copy", "Copier", ShortCut('C', ssCtrl));
  MenuEdit_Paste = AddMenuItem(this, MenuEdit_Edit, "MenuEdit_Paste", "Coller", ShortCut('V', ssCtrl));

  OnShow = Event(this, &TFormEdit::FormShow);
  OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  BitBtnLoad->OnClick = Event(this, &TFormEdit::BitBtnLoadClick);
  BitBtnSave->OnClick = Event(this, &TFormEdit::BitBtnSaveClick);
  BitBtnCancel->OnClick = Event(this, &TFormEdit::BitBtnCancelClick);
  BitBtnOk->OnClick = Event(this, &TFormEdit::BitBtnOkClick);
  MenuEdit_Load->OnClick = Event(this, &TFormEdit::MenuEdit_LoadClick);
  MenuEdit_Save->OnClick = Event(this, &TFormEdit::MenuEdit_SaveClick);
  MenuEdit_Close->OnClick = Event(this, &TFormEdit::MenuEdit_CloseClick);
  MenuEdit_Search->OnClick = Event(this, &TFormEdit::MenuEdit_SearchClick);
  Remplacer1->OnClick = Event(this, &TFormEdit::Remplacer1Click);
  MenuEdit_Cut->OnClick = Event(this, &TFormEdit::MenuEdit_CutClick);
  MenuEdit_Copy->OnClick = Event(this, &TFormEdit::MenuEdit_CopyClick);
  MenuEdit_Paste->OnClick = Event(this, &TFormEdit::MenuEdit_PasteClick);
  FindDialog1->OnFind = Event(this, &TFormEdit::FindDialog1Find);
  ReplaceDialog1->OnFind = Event(this, &TFormEdit::ReplaceDialog1Find);
  ReplaceDialog1->OnReplace = Event(this, &TFormEdit::ReplaceDialog1Replace);
  // Sent to every window after a language file was applied; accepted and ignored here.
  SetMessageHandler(WM_USER + 500, [](intptr_t, intptr_t) { return intptr_t{0}; });
}

void TFormEdit::OpenEditor(const std::string& FileName, const std::string& InitialDir,
                           const std::string& Filter) {
  SaveDialog1->Filter = Filter;
  Show();
  std::string chosen = FileName;
  if (!FileExists(FileName)) {
    OpenDialog1->InitialDir = InitialDir;
    OpenDialog1->FileName = FileName.empty() ? "*.*" : FileName;
    OpenDialog1->Filter = Filter.empty() ? "*.*|*.*" : Filter;
    chosen = OpenDialog1->Execute() ? OpenDialog1->FileName : std::string();
  }
  if (MayReplaceText())
    LoadFile(chosen);
  else
    UpdateCaption();
}

void TFormEdit::FormShow(TObject*) {
  SetCaption(lngEdit);
  BitBtnApply->SetVisible(false);
  // Each showing starts afresh: a Cancel pressed in an earlier one must not let a later close drop
  // edits without the question.
  SetModalResult(mrNone);
}

void TFormEdit::UpdateCaption() {
  SetCaption(Format("%s : %s", {lngEdit, FFileName}));
}

void TFormEdit::LoadFile(const std::string& FileName) {
  TTextEncoding encoding = TTextEncoding::teUtf8;
  if (FileExists(FileName)) {
    RichEdit1->LoadLines(ReadLngText(FileName, encoding));
    // Section and key lines are indented, so that blank and stray lines stand out.
    RichEdit1->IndentLinesHolding("[=", kMarkIndentPoints);
    RichEdit1->SetSelStart(0);
  } else {
    RichEdit1->Clear();
  }
  FEncoding = encoding;
  // The name changes only once the text is in: a file that cannot be read keeps the old text under
  // its old name, so a later save cannot put it over the unread file.
  FFileName = FileName;
  UpdateCaption();
  RichEdit1->SetModified(false);
}

void TFormEdit::SaveFile(const std::string& FileName) {
  // The file keeps the encoding it was read in, unless its text no longer fits that encoding.
  TTextEncoding encoding = FEncoding;
  WriteFileReplacing(FileName, Utf8ToText(RichEdit1->Lines().Text(), encoding));
  FEncoding = encoding;
  FFileName = FileName;
  UpdateCaption();
  RichEdit1->SetModified(false);
}

bool TFormEdit::SaveCurrent() {
  if (!FFileName.empty()) {
    SaveFile(FFileName);
    return true;
  }
  SaveDialog1->FileName.clear();
  if (!SaveDialog1->Execute()) return false;
  SaveFile(SaveDialog1->FileName);
  return true;
}

bool TFormEdit::MayReplaceText() {
  if (!RichEdit1->Modified()) return true;
  switch (Application->MessageBox(lngSaveEdit, FFileName, MB_YESNOCANCEL)) {
    case IDYES:
      return SaveCurrent();
    case IDNO:
      return true;
    default:
      return false;
  }
}

void TFormEdit::FormCloseQuery(TObject*, bool& CanClose) {
  FindDialog1->CloseDialog();
  CanClose = ModalResult() == mrCancel || MayReplaceText();
}

void TFormEdit::BitBtnLoadClick(TObject* Sender) {
  SetModalResult(mrNone);
  MenuEdit_LoadClick(Sender);
}

void TFormEdit::BitBtnSaveClick(TObject* Sender) {
  SetModalResult(mrNone);
  MenuEdit_SaveClick(Sender);
}

void TFormEdit::BitBtnCancelClick(TObject*) {
  SetModalResult(mrCancel);
  Close();
}

void TFormEdit::BitBtnOkClick(TObject*) {
  SetModalResult(mrOk);
  Close();
}

void TFormEdit::MenuEdit_LoadClick(TObject*) {
  OpenDialog1->FileName = ExtractFileName(FFileName);
  OpenDialog1->InitialDir = ExtractFilePath(FFileName);
  if (OpenDialog1->Execute() && MayReplaceText()) LoadFile(OpenDialog1->FileName);
}

void TFormEdit::MenuEdit_SaveClick(TObject*) {
  SaveDialog1->FileName = ExtractFileName(FFileName);
  SaveDialog1->InitialDir = ExtractFilePath(FFileName);
  if (SaveDialog1->Execute()) SaveFile(SaveDialog1->FileName);
}

void TFormEdit::MenuEdit_CloseClick(TObject*) {
  SetModalResult(mrOk);
  Close();
}

void TFormEdit::MenuEdit_CutClick(TObject*) {
  RichEdit1->CutToClipboard();
}

void TFormEdit::MenuEdit_CopyClick(TObject*) {
  RichEdit1->CopyToClipboard();
}

void TFormEdit::MenuEdit_PasteClick(TObject*) {
  RichEdit1->PasteFromClipboard();
}

void TFormEdit::FindOrOpen(TFindDialog& Dialog, void (TFormEdit::*SearchAgain)(TObject*)) {
  if (Dialog.Showing()) {
    (this->*SearchAgain)(&Dialog);
    return;
  }
  const QPoint corner = RichEdit1->mapToGlobal(QPoint(0, 0));
  Dialog.SetPosition(corner.x(), corner.y());
  Dialog.Execute();
}

void TFormEdit::MenuEdit_SearchClick(TObject*) {
  FindOrOpen(*FindDialog1, &TFormEdit::FindDialog1Find);
}

void TFormEdit::Remplacer1Click(TObject*) {
  FindOrOpen(*ReplaceDialog1, &TFormEdit::ReplaceDialog1Find);
}

void TFormEdit::Search(TFindDialog& Dialog) {
  const int start = RichEdit1->SelLength() != 0 ? RichEdit1->SelStart() + RichEdit1->SelLength() : 0;
  const int found =
      RichEdit1->FindText(Dialog.FindText, start, RichEdit1->TextLength() - start, SearchTypesOf(Dialog));
  if (found >= 0) {
    RichEdit1->SetFocus();
    RichEdit1->SetSelStart(found);
    RichEdit1->SetSelLength(CharCount(Dialog.FindText));
  } else {
    Application->MessageBox(Dialog.FindText, "Not find!", MB_OK);
    RichEdit1->SetSelStart(0);
  }
}

void TFormEdit::FindDialog1Find(TObject*) {
  Search(*FindDialog1);
}

void TFormEdit::ReplaceDialog1Find(TObject*) {
  Search(*ReplaceDialog1);
}

void TFormEdit::ReplaceDialog1Replace(TObject*) {
  const std::string& replacement = ReplaceDialog1->ReplaceText;
  if (ReplaceDialog1->Options & frReplaceAll) {
    // Every match from the top, each search going on after the text just put in.
    const TSearchTypes options = SearchTypesOf(*ReplaceDialog1);
    int replaced = 0;
    for (int at = 0;;) {
      const int found =
          RichEdit1->FindText(ReplaceDialog1->FindText, at, RichEdit1->TextLength() - at, options);
      if (found < 0) break;
      RichEdit1->SetSelStart(found);
      RichEdit1->SetSelLength(CharCount(ReplaceDialog1->FindText));
      RichEdit1->SetSelText(replacement);
      at = found + CharCount(replacement);
      ++replaced;
    }
    if (replaced == 0) Search(*ReplaceDialog1);  // says "Not find!"
    return;
  }
  if (RichEdit1->SelLength() != 0) {
    RichEdit1->SetFocus();
    const int start = RichEdit1->SelStart();
    RichEdit1->SetSelText(replacement);
    RichEdit1->SetSelStart(start);
  }
  Search(*ReplaceDialog1);
}
