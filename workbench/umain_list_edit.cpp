// Reordering the lists (up, down, send to bottom, sorting) and copying or swapping entries between
// them with their check and enabled marks.
#include "workbench/list_update.h"
#include "workbench/umain.h"

namespace {

// The highlighted entry one place up; from the top (or with nothing highlighted) the first entry goes
// to the end.
void MoveHighlightedUp(TCheckListBox& list) {
  const int index = list.ItemIndex();
  if (index >= 1) {
    list.Items().Exchange(index, index - 1);
    list.SetItemIndex(index - 1);
  } else if (list.Count() >= 2) {
    {
      TListUpdate update(list);
      list.Items().Move(0, list.Count() - 1);
    }
    list.SetItemIndex(list.Count() - 1);
  }
}

// The highlighted entry one place down; from the bottom the last entry goes to the top. Nothing
// happens with nothing highlighted.
void MoveHighlightedDown(TCheckListBox& list) {
  const int index = list.ItemIndex();
  if (index < 0) return;
  if (index + 1 < list.Count()) {
    list.Items().Exchange(index, index + 1);
    list.SetItemIndex(index + 1);
  } else if (list.Count() >= 2) {
    list.Items().Move(list.Count() - 1, 0);
    list.SetItemIndex(0);
  }
}

// Appends the source's selected entries to the target with their check and enabled marks. A sorted
// target would file the copies among its entries instead of appending them, and the marks would land
// on the wrong entries, so its sorting goes off first.
void AppendSelection(TFormMain& form, TCheckListBox& source, TCheckListBox& target) {
  target.SetSorted(false);
  source.CopySelection(target);
  form.CopyMarks(&source, &target);
}

}  // namespace

void TFormMain::ToolButtonUp1Click(TObject*) {
  ToolBar1Click(this);
  ListBox1->SetSorted(false);
  MoveHighlightedUp(*ListBox1);
}

void TFormMain::ToolButtonDown1Click(TObject*) {
  ToolBar1Click(this);
  ListBox1->SetSorted(false);
  MoveHighlightedDown(*ListBox1);
}

void TFormMain::ToolButtonUp2Click(TObject*) {
  ToolBar2Click(this);
  ListBox2->SetSorted(false);
  MoveHighlightedUp(*ListBox2);
}

void TFormMain::ToolButtonDown2Click(TObject*) {
  ToolBar2Click(this);
  ListBox2->SetSorted(false);
  MoveHighlightedDown(*ListBox2);
}

void TFormMain::Sendtobottom1Click(TObject*) {
  TCheckListBox* list = GetCurrentList();
  // With nothing highlighted there is no entry to send.
  if (!list || list->Count() < 2 || list->ItemIndex() < 0) return;
  {
    TListUpdate update(*list);
    list->Items().Move(list->ItemIndex(), list->Count() - 1);
  }
  list->SetItemIndex(list->Count() - 1);
}

void TFormMain::SortList1Click(TObject*) {
  // The menu item has already toggled its own check mark.
  ListBox1->SetSorted(SortList1->Checked());
  ListBox1->Invalidate();
}

void TFormMain::SortList2Click(TObject*) {
  // This item does not toggle itself (and its mark follows the list when the Options menu opens), so
  // it toggles the right list's sorting here, as the left list's item does.
  SortList2->SetChecked(!ListBox2->Sorted());
  ListBox2->SetSorted(SortList2->Checked());
  ListBox2->Invalidate();
}

void TFormMain::CopyMarks(TCheckListBox* Source, TCheckListBox* Target) {
  // The selected entries were just appended to the target in list order: the source's last selected
  // entry is the target's last entry.
  TListUpdate update(*Target);
  int fromEnd = 1;
  for (int i = Source->Count() - 1; i >= 0 && fromEnd <= Target->Count(); --i) {
    if (!Source->Selected(i)) continue;
    const int copy = Target->Count() - fromEnd;
    Target->SetState(copy, Source->State(i));
    Target->SetItemEnabled(copy, Source->ItemEnabled(i));
    ++fromEnd;
  }
}

void TFormMain::ToolButtonCopyList1Click(TObject*) {
  ToolBar1Click(this);
  AppendSelection(*this, *ListBox2, *ListBox1);
}

void TFormMain::ToolButtonCopyList2Click(TObject*) {
  ToolBar2Click(this);
  AppendSelection(*this, *ListBox1, *ListBox2);
}

void TFormMain::ToolButtonSwapClick(TObject*) {
  {
    TListUpdate leftUpdate(*ListBox1);
    TListUpdate rightUpdate(*ListBox2);
    ListBox1->SelectAll();
    ListBox2->SelectAll();
    AppendSelection(*this, *ListBox1, *ListBox2);
    // The right list's selection is still its own former entries: the copies are not selected.
    AppendSelection(*this, *ListBox2, *ListBox1);
    ListBox1->DeleteSelected();
    ListBox2->DeleteSelected();
  }
  if (GetCurrentList() == ListBox1)
    ToolBar2Click(this);
  else
    ToolBar1Click(this);
}
