// The picture lists: current list, status line, entry marks, owner drawing, and the commands that fill,
// edit, reorder, copy and swap the lists.
#include "toolkit/ui/screen.h"
#include "workbench/umain.h"

TCheckListBox* TFormMain::GetCurrentList() {
  return FCurrentList;
}

void TFormMain::SetCurrentList(TCheckListBox* List) {
  // Only the list the user enters in this window becomes current.
  if (Screen->ActiveForm() == this) FCurrentList = List;
}

void TFormMain::ShowProgress(int, const std::string&, TCheckListBox*, bool) {}

void TFormMain::MarkEntryFailed(int, TCheckListBox*) {}

void TFormMain::MarkEntryGood(int, TCheckListBox*) {}

void TFormMain::ClearList(TCheckListBox*) {}

void TFormMain::ClearRightList() {}

void TFormMain::CopyMarks(TCheckListBox*, TCheckListBox*) {}

void TFormMain::ImportBrowserChecked() {}

void TFormMain::ListBoxClick(TObject*) {}

void TFormMain::ListBoxDrawItem(TCheckListBox*, int, const TRect&, TOwnerDrawState) {}

void TFormMain::ListBoxEnter(TObject*) {}

void TFormMain::ToolBar1Click(TObject*) {}

void TFormMain::ToolBar2Click(TObject*) {}

void TFormMain::ToolButtonOpen1Click(TObject*) {}

void TFormMain::ClearSelected1Click(TObject*) {}

void TFormMain::ToolButtonCopyList1Click(TObject*) {}

void TFormMain::ToolButtonUp1Click(TObject*) {}

void TFormMain::ToolButtonDown1Click(TObject*) {}

void TFormMain::ToolButtonSwapClick(TObject*) {}

void TFormMain::ToolButtonDelete2Click(TObject*) {}

void TFormMain::ToolButtonCopyList2Click(TObject*) {}

void TFormMain::ToolButtonUp2Click(TObject*) {}

void TFormMain::ToolButtonDown2Click(TObject*) {}

void TFormMain::NewDirectory1Click(TObject*) {}

void TFormMain::NewList1Click(TObject*) {}

void TFormMain::AddFiles1Click(TObject*) {}

void TFormMain::Testvalidpictures1Click(TObject*) {}

void TFormMain::Redirect1Click(TObject*) {}

void TFormMain::ClearSelection1Click(TObject*) {}

void TFormMain::ClearList1Click(TObject*) {}

void TFormMain::Sendtobottom1Click(TObject*) {}

void TFormMain::SortList1Click(TObject*) {}

void TFormMain::SortList2Click(TObject*) {}

// ---- The selection and check family, also reached from the key table: each works on the current
// list, over every entry, inside one update.

namespace {

template <class Change>
void ForEachEntry(TCheckListBox* list, Change change) {
  if (!list) return;
  list->Items().BeginUpdate();
  for (int i = 0; i < list->Count(); ++i) change(i);
  list->Items().EndUpdate();
}

}  // namespace

void TFormMain::SelectallClick(TObject*) {
  TCheckListBox* list = GetCurrentList();
  ForEachEntry(list, [list](int i) { list->SetSelected(i, true); });
}

void TFormMain::UnselectAllClick(TObject*) {
  TCheckListBox* list = GetCurrentList();
  ForEachEntry(list, [list](int i) { list->SetSelected(i, false); });
}

void TFormMain::InvertSelectAllClick(TObject*) {
  TCheckListBox* list = GetCurrentList();
  if (!list) return;
  const int highlighted = list->ItemIndex();
  ForEachEntry(list, [list](int i) { list->SetSelected(i, !list->Selected(i)); });
  PreviewEntry(highlighted, list);
  list->SetItemIndex(highlighted);
}

void TFormMain::CheckAllClick(TObject*) {
  TCheckListBox* list = GetCurrentList();
  ForEachEntry(list, [list](int i) { list->SetChecked(i, list->ItemEnabled(i)); });
}

void TFormMain::UncheckAllClick(TObject*) {
  TCheckListBox* list = GetCurrentList();
  ForEachEntry(list, [list](int i) { list->SetChecked(i, false); });
}

void TFormMain::InvertCheckAllClick(TObject*) {
  TCheckListBox* list = GetCurrentList();
  ForEachEntry(list, [list](int i) {
    if (list->ItemEnabled(i)) list->SetChecked(i, !list->Checked(i));
  });
}

void TFormMain::CheckSelectionClick(TObject*) {
  TCheckListBox* list = GetCurrentList();
  ForEachEntry(list, [list](int i) {
    if (list->ItemEnabled(i) && list->Selected(i)) list->SetChecked(i, true);
  });
}

void TFormMain::UncheckSelectionClick(TObject*) {
  TCheckListBox* list = GetCurrentList();
  ForEachEntry(list, [list](int i) {
    if (list->Selected(i)) list->SetChecked(i, false);
  });
}

void TFormMain::InvertCheckSelectionClick(TObject*) {
  TCheckListBox* list = GetCurrentList();
  ForEachEntry(list, [list](int i) {
    if (list->ItemEnabled(i) && list->Selected(i)) list->SetChecked(i, !list->Checked(i));
  });
}
