#include "translation/ulngform.h"

#include <exception>
#include <filesystem>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/file_replace.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/format.h"
#include "toolkit/core/string_list.h"
#include "toolkit/core/string_utils.h"
#include "toolkit/ui/guarded.h"
#include "toolkit/ui/screen.h"
#include "translation/uformedit.h"
#include "translation/ulng.h"
#include "workbench/list_update.h"
#include "workbench/ulngstrings.h"

TLngForm* LngForm = nullptr;

namespace {

// Two names of one file (through links, "..", or the same name twice).
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  if (std::filesystem::equivalent(a, b, error)) return true;
  std::error_code errorA, errorB;
  const auto canonicalA = std::filesystem::weakly_canonical(a, errorA);
  const auto canonicalB = std::filesystem::weakly_canonical(b, errorB);
  return !errorA && !errorB ? canonicalA == canonicalB : a == b;
}

TSpeedButton* NewSpeedButton(TLngForm* form, const char* name, const char* caption, int top) {
  auto* button = new TSpeedButton(form, form);
  button->SetName(name);
  button->SetCaption(caption);
  button->SetBounds(216, top, 116, 25);
  return button;
}

}  // namespace

TLngForm::TLngForm(TComponent* owner) : TForm(owner) {
  SetName("LngForm");
  SetCaption("Fichiers de Traduction");
  setFixedSize(340, 244);
  Position = TPosition::poMainFormCenter;

  SpeedButtonEditLng = NewSpeedButton(this, "SpeedButtonEditLng", "Editer", 8);
  SpeedButtonApplyLng = NewSpeedButton(this, "SpeedButtonApplyLng", "Appliquer", 40);
  SpeedButtonSaveLng = NewSpeedButton(this, "SpeedButtonSaveLng", "Créer...", 72);
  ListBox1 = new TListBox(this, this);
  ListBox1->SetName("ListBox1");
  ListBox1->SetBounds(8, 8, 200, 206);
  BitBtnLngOk = new TBitBtn(this, this);
  BitBtnLngOk->SetName("BitBtnLngOk");
  BitBtnLngOk->SetKind(TBitBtnKind::bkOK);
  BitBtnLngOk->SetBounds(216, 157, 116, 25);
  BitBtnLngCancel = new TBitBtn(this, this);
  BitBtnLngCancel->SetName("BitBtnLngCancel");
  BitBtnLngCancel->SetKind(TBitBtnKind::bkCancel);
  BitBtnLngCancel->SetBounds(216, 189, 116, 25);
  // Without a name: its text is made from a message string and the folder, never from a language file.
  FolderLabel = new TLabel(this, this);
  FolderLabel->AutoSize = false;
  FolderLabel->SetBounds(8, 222, 324, 16);
  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->SetName("SaveDialog1");
  OpenDialog1 = new TOpenDialog(this);
  OpenDialog1->SetName("OpenDialog1");

  OnCreate = Event(this, &TLngForm::FormCreate);
  OnShow = Event(this, &TLngForm::FormShow);
  OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  SpeedButtonEditLng->OnClick = Event(this, &TLngForm::SpeedButtonEditLngClick);
  SpeedButtonApplyLng->OnClick = Event(this, &TLngForm::SpeedButtonApplyLngClick);
  SpeedButtonSaveLng->OnClick = Event(this, &TLngForm::SpeedButtonSaveLngClick);
  ListBox1->OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    ListBox1MouseDown(sender, button, shift, x, y);
  };
  BitBtnLngOk->OnClick = Event(this, &TLngForm::BitBtnLngOkClick);
  BitBtnLngCancel->OnClick = Event(this, &TLngForm::BitBtnLngCancelClick);
  // Sent to every window after a language file was applied: the folder's words may have changed.
  SetMessageHandler(WM_USER + 500, [this](intptr_t, intptr_t) {
    ShowFolder();
    return intptr_t{0};
  });
}

void TLngForm::FormCreate(TObject*) {
  FRemembered = CurrentLngFile();
  OpenDialog1->FileName = NewLngFile();
}

void TLngForm::FormShow(TObject*) {
  RefreshList();
}

std::string TLngForm::ChosenFile() const {
  const int index = ListBox1->ItemIndex();
  return index >= 0 ? FindLngFile(ListBox1->Items()[index]) : CurrentLngFile();
}

void TLngForm::ShowFolder() {
  // A hand-written wording whose format does not fit one folder name shows the folder alone: applying
  // a language file never fails on it.
  std::string text;
  try {
    text = Format(lngFolder, {LngFolder()});
  } catch (const Exception&) {
    text = LngFolder();
  }
  FolderLabel->SetCaption(text);
  FolderLabel->SetHint(text);
  // A long folder loses its middle on screen rather than its end; the hint holds it whole.
  FolderLabel->setText(FolderLabel->fontMetrics().elidedText(QString::fromStdString(text), Qt::ElideMiddle,
                                                             FolderLabel->Width()));
}

void TLngForm::RefreshList() {
  ShowFolder();
  TStringList names;
  ListAllLngFiles(names);
  ListBox1->Clear();
  int selected = -1;
  for (int i = 0; i < names.Count(); ++i) {
    ListBox1->Items().Add(names[i]);
    if (SameText(names[i], FRemembered)) selected = i;
  }
  ListBox1->SetItemIndex(selected);
  ListBox1->Invalidate();
}

void TLngForm::OpenChosenInEditor() {
  if (FormEdit) FormEdit->OpenEditor(ChosenFile(), LngFolder(), lngFilter);
}

void TLngForm::SpeedButtonApplyLngClick(TObject*) {
  ReadLngFile(ChosenFile());
}

void TLngForm::SpeedButtonSaveLngClick(TObject*) {
  const TBusyCursor busy;
  ReadLngFile(ChosenFile());
  // The dialog opens in the language folder even before the first file is written there.
  ForceDirectories(LngFolder());
  const int index = ListBox1->ItemIndex();
  SaveDialog1->Title = lngSaveLng;
  SaveDialog1->FileName =
      ExtractFileName(ResolveLngFile(index >= 0 ? ListBox1->Items()[index] : CurrentLngFile()));
  SaveDialog1->InitialDir = LngFolder();
  SaveDialog1->DefaultExt = "lng";
  if (SaveDialog1->Execute()) WriteLngFile(SaveDialog1->FileName);
  RefreshList();
}

void TLngForm::SpeedButtonEditLngClick(TObject*) {
  OpenChosenInEditor();
  RefreshList();
}

void TLngForm::ListBox1MouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
  const int index = ListBox1->ItemAtPos({X, Y}, true);
  ListBox1->SetItemIndex(index >= 0 ? index : 0);
  if (Shift & ssDouble) ReadLngFile(ChosenFile());
  if (Button == TMouseButton::mbRight) OpenChosenInEditor();
}

void TLngForm::BitBtnLngOkClick(TObject*) {
  ReadLngFile(ResolveLngFile(FRemembered));
  SetModalResult(mrOk);
  Close();
}

void TLngForm::BitBtnLngCancelClick(TObject*) {
  SetModalResult(mrCancel);
  Close();
}

void TLngForm::EnsureCurrentLngFile() {
  const std::string current = CurrentLngFile();
  if (FileExists(current)) return;
  // The installed active language, when there is one, before the program's own texts.
  const std::string installed = ActiveLngFile();
  if (installed != current)
    CopyFileReplacing(installed, current, TLinkReplace::lrReplaceLink);
  else
    WriteLngFile(current);
}

void TLngForm::ApplyActiveFile() {
  // The program's own texts first: nothing a file only previewed here stays on screen, and a missing
  // current.lng is made from them, never from a preview.
  RestoreBuiltInTexts();
  EnsureCurrentLngFile();
  ReadLngFile(CurrentLngFile());
}

void TLngForm::FormCloseQuery(TObject*, bool& CanClose) {
  CanClose = true;
  const std::string current = CurrentLngFile();
  if (ModalResult() == mrOk) {
    const int index = ListBox1->ItemIndex();
    const std::string candidate = ResolveLngFile(index >= 0 ? ListBox1->Items()[index] : current);
    // The copy goes through a temporary file: when it fails, current.lng stays as it was, is applied
    // as it is, and the failure is reported once that is done. A current.lng that is a link to a
    // user's file is replaced itself; the user's file is never written.
    // A chosen file that cannot be read (a pipe, a folder, a link whose file is gone) is said the
    // same way, by its name and the reason, before anything is copied.
    std::exception_ptr failure;
    if (!SameFile(candidate, current) && NameInUse(candidate)) {
      try {
        CheckLngFileReadable(candidate);
        CopyFileReplacing(candidate, current, TLinkReplace::lrReplaceLink);
        FRemembered = ExtractFileName(candidate);
      } catch (const Exception&) {
        failure = std::current_exception();
      }
    }
    // The active file applied as it is, unless it cannot be read either: then the chosen file's
    // failure, which came first, is the one said.
    try {
      ApplyActiveFile();
    } catch (const Exception&) {
      if (!failure) throw;
    }
    if (failure) std::rethrow_exception(failure);
  } else if (ModalResult() == mrCancel) {
    FRemembered = ExtractFileName(current);
    // Cancel is the way out of the chooser whatever stands under current.lng: an active file that
    // cannot be read is said, and the window still closes.
    Guarded([this] { ApplyActiveFile(); });
  }
}
