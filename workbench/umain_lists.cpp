// The picture lists: current list, status line, entry marks, owner drawing, focus, clearing with its
// confirmations, adding files, redirecting and the picture test. The check and selection family is in
// umain_list_marks.cpp; moving, sorting, copying and swapping in umain_list_edit.cpp.
#include <cstdint>
#include <cstdlib>

#include "toolkit/core/file_names.h"
#include "toolkit/core/format.h"
#include "toolkit/graphics/picture.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/dialogs.h"
#include "toolkit/ui/screen.h"
#include "workbench/entry_drawing.h"
#include "workbench/failure_texts.h"
#include "workbench/list_update.h"
#include "workbench/ucreateimg.h"
#include "workbench/ulngstrings.h"
#include "workbench/umain.h"
#include "workbench/uselectdir.h"
#include "workbench/working_bitmap.h"

namespace {

constexpr TColor kInactiveListColor = 0xCFCFCF;
constexpr TColor kActiveListColor = 0xFFFFFF;

// No picture has this size: it stands for "no reference taken yet".
constexpr int kNoReferenceSize = -2147483647;

// Empties the list after asking under the caption (a list without entries is emptied without a
// question), then previews what it highlights.
void ClearAfterQuestion(TFormMain& form, TCheckListBox& list, const std::string& caption) {
  if (list.Count() > 0 && Application->MessageBox(kstClearList, caption, MB_OKCANCEL) != IDOK) return;
  form.ClearList(&list);
  form.PreviewEntry(list.ItemIndex(), &list);
}

}  // namespace

// ---- Current list

TCheckListBox* TFormMain::GetCurrentList() {
  // While the browser is the active window, the list commands work on its files.
  if (FormSelDir && Screen->ActiveForm() == FormSelDir) return FormSelDir->CheckListBox1;
  return FCurrentList;
}

void TFormMain::SetCurrentList(TCheckListBox* List) {
  // Only the list the user enters in this window becomes current.
  if (Screen->ActiveForm() == this) FCurrentList = List;
}

void TFormMain::ListBoxEnter(TObject* Sender) {
  auto* list = dynamic_cast<TCheckListBox*>(Sender);
  if (!list) return;
  SetCurrentList(list);
  if (TCheckListBox* current = GetCurrentList()) SetActiveControl(current);
  const bool left = list == ListBox1;
  const std::string& side = left ? kstleft : kstright;
  LoadList1->SetCaption(Format(kstLoadCaption, {side}));
  SaveList1->SetCaption(Format(kstSaveCaption, {side}));
  ListBox1->SetColor(left ? kActiveListColor : kInactiveListColor);
  ListBox2->SetColor(left ? kInactiveListColor : kActiveListColor);
  FListCaption = left ? kstcaption1 : kstcaption2;
  ToolButtonFocus1->SetDown(left);
  ToolButtonFocus2->SetDown(!left);
}

void TFormMain::ToolBar1Click(TObject*) {
  ListBoxEnter(ListBox1);
}

void TFormMain::ToolBar2Click(TObject*) {
  ListBoxEnter(ListBox2);
}

void TFormMain::ListBoxClick(TObject* Sender) {
  if (auto* list = dynamic_cast<TCheckListBox*>(Sender)) PreviewEntry(list->ItemIndex(), list);
}

// ---- Status line and entry marks

void TFormMain::ShowProgress(int Index, const std::string& Text, TCheckListBox* List, bool Ok) {
  // The counter numbers the entry in its own list, a failed one (given negated) as well; none past it.
  const int count = (List ? List : ListBox1)->Count();
  const int64_t magnitude = std::llabs(static_cast<int64_t>(Index));
  const bool ok = Ok && List && Index >= 0 && Index < count;
  SetFontStyle(StatusBar1->Font, ok ? clBlack : kFailedColor, !ok);
  StatusBar1->Panels(0).SetText(magnitude < count ? Format("%d/%d", {magnitude + 1, count}) : std::string());
  StatusBar1->Panels(2).SetText(Text);
  StatusBar1->Invalidate();
}

void TFormMain::ShowMergedCount(const std::string& Text) {
  // A result merged from more pictures than the left list now holds (another list loaded since) has
  // no place in it: as for any number past the list, the counter is left empty.
  const int count = ListBox1->Count();
  SetFontStyle(StatusBar1->Font, clBlack, false);
  StatusBar1->Panels(0).SetText(FResultCount <= count ? Format("%d/%d", {FResultCount, count})
                                                      : std::string());
  StatusBar1->Panels(2).SetText(Text);
  StatusBar1->Invalidate();
}

void TFormMain::MarkEntryFailed(int Index, TCheckListBox* List, const std::string& Text) {
  // A failed entry is not read again (runs skip it, a click only marks it again, without a text): the
  // reason it failed with stays until the file is read again.
  if (!Text.empty()) FFailureTexts[List->Items()[Index]] = Text;
  List->SetState(Index, cbUnchecked);
  List->SetItemEnabled(Index, false);
  List->Invalidate();
  Application->ProcessMessages();
}

void TFormMain::MarkEntryGood(int Index, TCheckListBox* List) {
  if (!FFailureTexts.empty()) FFailureTexts.erase(List->Items()[Index]);
  List->SetState(Index, cbChecked);
  List->SetItemEnabled(Index, true);
  List->Invalidate();
  Application->ProcessMessages();
}

void TFormMain::ListBoxDrawItem(TCheckListBox* Control, int Index, const TRect& Rect, TOwnerDrawState) {
  DrawPictureEntry(*Control, Index, Rect);
}

std::string TFormMain::FailureTextOf(const std::string& Path) const {
  const auto found = FFailureTexts.find(Path);
  return found != FFailureTexts.end() ? found->second : LoadFailureText(Path, kFailedBeforeReason);
}

// ---- Clearing

void TFormMain::ClearList(TCheckListBox* List) {
  ResetBitmap(&Image1->OwnBitmap());
  List->Clear();
  List->SetMultiSelect(true);
}

void TFormMain::ClearRightList() {
  // Also reached from the search window's button while that window is active, so it does not ask
  // which window is active.
  ClearAfterQuestion(*this, *ListBox2, kstcaption2);
}

void TFormMain::ClearList1Click(TObject*) {
  if (Screen->ActiveForm() != this) return;
  TCheckListBox* list = GetCurrentList();
  if (list) ClearAfterQuestion(*this, *list, FListCaption);
}

void TFormMain::ClearSelection1Click(TObject*) {
  if (Screen->ActiveForm() != this) return;
  TCheckListBox* list = GetCurrentList();
  if (!list || list->Count() == 0) return;
  if (Application->MessageBox(kstClearSelection, FListCaption, MB_OKCANCEL) != IDOK) return;
  list->SetSorted(false);
  list->DeleteSelected();
  PreviewEntry(list->ItemIndex(), list);
}

void TFormMain::ClearSelected1Click(TObject*) {
  ToolBar1Click(this);
  ClearSelection1Click(this);
}

void TFormMain::ToolButtonDelete2Click(TObject*) {
  ToolBar2Click(this);
  ClearSelection1Click(this);
}

// ---- Adding files

void TFormMain::ToolButtonOpen1Click(TObject*) {
  ToolBar1Click(this);
  NewDirectory1Click(this);
}

void TFormMain::NewDirectory1Click(TObject*) {
  ToolBar1Click(this);
  if (!FormSelDir) return;
  FormSelDir->FOnOk = [this](TObject*) { ImportBrowserChecked(); };
  FormSelDir->Show();
}

void TFormMain::ImportBrowserChecked() {
  if (!FormSelDir) return;
  const TCheckListBox& files = *FormSelDir->CheckListBox1;
  if (files.Count() == 0) return;
  // The main window takes the focus, and with it the left list becomes current (its captions and
  // colours with it), so the question below names the list it clears.
  activateWindow();
  Screen->SetActiveForm(this);
  ToolBar1Click(this);
  ClearList1Click(this);
  TCheckListBox* list = GetCurrentList();
  {
    TListUpdate update(*list);
    for (int i = 0; i < files.Count(); ++i) {
      if (!files.Checked(i)) continue;
      const int index = list->Items().Add(files.Items()[i]);
      list->SetChecked(index, true);
      list->SetItemEnabled(index, true);
    }
  }
  if (list->Count() > 0 && list->ItemIndex() < 0) list->SetItemIndex(0);
  if (list->Count() > 0 && list->ItemIndex() == 0) list->SetSelected(0, true);
  PreviewEntry(list->ItemIndex(), list);
}

void TFormMain::NewList1Click(TObject*) {
  ToolBar1Click(this);
  AddFiles1Click(this);
  TCheckListBox* list = ListBox1;
  if (list->Count() == 0) return;
  // The files were shown while nothing was highlighted, which the status line calls an empty list:
  // the entry highlighted now is shown in its place.
  if (list->ItemIndex() < 0) {
    list->SetItemIndex(0);
    PreviewEntry(0, list);
  }
  if (list->ItemIndex() == 0) list->SetSelected(0, true);
}

void TFormMain::AddFiles1Click(TObject*) {
  TCheckListBox* list = GetCurrentList();
  if (!list) return;
  list->SetSorted(false);
  OpenDialog1->Filter = TPicture::GraphicFilter(TGraphic::StaticClass());
  OpenDialog1->DefaultExt = TPicture::GraphicExtension(TBitmap::StaticClass());
  OpenDialog1->Options = ofHideReadOnly | ofAllowMultiSelect | ofEnableSizing;
  if (OpenDialog1->Execute()) {
    ClearList1Click(this);
    TListUpdate update(*list);
    for (const std::string& file : OpenDialog1->Files) {
      const int index = list->Items().Add(file);
      list->SetChecked(index, true);
      list->SetItemEnabled(index, true);
    }
  }
  PreviewEntry(list->ItemIndex(), list);
}

// ---- Redirecting and testing

void TFormMain::Redirect1Click(TObject*) {
  TCheckListBox* list = GetCurrentList();
  if (!list) return;
  std::string folder;
  if (!SelectDirectory("Select Directory", folder)) return;
  {
    TBusyCursor busy;
    TListUpdate update(*list);
    const std::string prefix = IncludeTrailingBackslash(folder);
    for (int i = 0; i < list->Count(); ++i) list->Items().Put(i, prefix + ExtractFileName(list->Items()[i]));
  }
  Testvalidpictures1Click(this);
  PreviewEntry(list->ItemIndex(), list);
}

void TFormMain::Testvalidpictures1Click(TObject*) {
  if (Screen->ActiveForm() != this) return;
  TCheckListBox* list = GetCurrentList();
  if (!list) return;
  int errors = 0;
  TFirstFailure firstFailure;
  // The reference size is that of the first picture that loads: an unreadable first entry must not
  // make every later picture fail the size test.
  int referenceWidth = kNoReferenceSize;
  int referenceHeight = kNoReferenceSize;
  FPause = false;
  for (int i = 0; i < list->Count() && !FPause; ++i) {
    const std::string path = list->Items()[i];
    TBitmap& picture = Image1->OwnBitmap();
    std::string reason;
    const bool loaded = LoadPicture(picture, path, reason);
    if (loaded && referenceWidth == kNoReferenceSize) {
      referenceWidth = picture.Width();
      referenceHeight = picture.Height();
    }
    if (loaded && picture.Width() == referenceWidth && picture.Height() == referenceHeight) {
      if (FormCreateImg && FormCreateImg->Visible()) Image1Click(this);
      MarkEntryGood(i, list);
      ShowProgress(i, path, list, true);
    } else {
      ++errors;
      const std::string text =
          loaded ? RefusalText(path, SizeMismatchReason(picture, referenceWidth, referenceHeight))
                 : LoadFailureText(path, reason);
      MarkEntryFailed(i, list, text);
      firstFailure.Note(text);
      ShowProgress(-i, text, list, false);
    }
    Image1->Invalidate();
    Application->ProcessMessages();
  }
  std::string report = Format("%d Files in Error", {errors});
  if (!firstFailure.Text().empty()) report += "\nFirst: " + firstFailure.Text();
  Application->MessageBox(report, "Test Pictures", MB_OK);
}
