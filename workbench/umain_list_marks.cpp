// The selection and check family, also reached from the key table: each works on the current list,
// over every entry from first to last, inside one update.
#include "workbench/list_update.h"
#include "workbench/umain.h"

namespace {

template <class Change>
void ForEachEntry(TCheckListBox* list, Change change) {
  if (!list) return;
  TListUpdate update(*list);
  for (int i = 0; i < list->Count(); ++i) change(i);
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
