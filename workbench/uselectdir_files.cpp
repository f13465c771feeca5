// The browser's file list: the extension filters, the listing by mask and filter, drawing, opening a
// file with its program, the check and selection commands with their keys, OK and Close.
#include <cstdlib>
#include <cstring>

#include "picture_formats/format_list.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/format.h"
#include "toolkit/core/text_encoding.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/system_services.h"
#include "workbench/entry_drawing.h"
#include "workbench/file_mask.h"
#include "workbench/list_update.h"
#include "workbench/ulngstrings.h"
#include "workbench/umain.h"
#include "workbench/uselectdir.h"

namespace {

constexpr const char* kDefaultFilter = "*.bmp;*.jpg;*.jpeg;*.thm;*.png;*.tif;*.psp";

template <class Change>
void ForEachEntry(TCheckListBox& list, Change change) {
  TListUpdate update(list);
  for (int i = 0; i < list.Count(); ++i) change(i);
}

[[noreturn]] void RaiseFolderError(const std::string& folder, int error) {
  throw Exception(Format(kstFolderError, {EscapeName(folder), std::string(std::strerror(error))}));
}

}  // namespace

// ---- Listing

void TFormSelDir::BuildFilterList() {
  CheckListBox1->SetMultiSelect(true);
  FOnOk = nullptr;
  EditName->SetText("*");
  TStrings& filters = FilterComboBox1->Items();
  filters.Clear();
  std::string everyFormat;
  if (FileFormatList) {
    TStringList extensions;
    FileFormatList->GetExtensionList(extensions);
    for (int i = 0; i < extensions.Count(); ++i) {
      const std::string filter = "*." + extensions[i];
      filters.Add(filter);
      if (!everyFormat.empty()) everyFormat += ';';
      everyFormat += filter;
    }
  }
  filters.Insert(0, kDefaultFilter);
  filters.Insert(1, everyFormat);
  filters.Add("*.*");
  FilterComboBox1->SetItemIndex(0);
}

void TFormSelDir::FillFileList(const std::string& Folder) {
  TListUpdate update(*CheckListBox1);
  CheckListBox1->Clear();
  if (Folder.empty()) return;  // no folder chosen yet
  // The folder becomes the current one, as it always has here; its files are still found by its path,
  // so a folder that cannot be entered lists nothing rather than another folder's files.
  if (!SetCurrentDir(Folder)) RaiseFolderError(Folder, errno);
  const std::string folder = IncludeTrailingPathDelimiter(Folder);
  const TFileNameFilter filter(FilterComboBox1->Text(), EditName->Text());
  TSearchRec found;
  // Plain files only: pipes and devices are no pictures, and reading one could wait for ever.
  int result = FindFirst(folder + "*.*", faReadOnly | faHidden | faArchive, found);
  for (; result == 0; result = FindNext(found)) {
    if (!filter.Passes(found.Name)) continue;
    const int index = CheckListBox1->Items().Add(folder + found.Name);
    CheckListBox1->SetChecked(index, true);
    CheckListBox1->SetItemEnabled(index, true);
  }
  FindEnd(found);
  if (result != ERROR_NO_MORE_FILES) RaiseFolderError(Folder, result);
}

void TFormSelDir::FilterComboBox1Select(TObject*) {
  FillFileList(FPath);
}

void TFormSelDir::EditNameChange(TObject*) {
  FillFileList(FPath);
}

// ---- The entries

void TFormSelDir::CheckListBox1DrawItem(TCheckListBox* Control, int Index, const TRect& Rect,
                                        TOwnerDrawState) {
  DrawPictureEntry(*Control, Index, Rect);
}

void TFormSelDir::CheckListBox1MouseDown(TObject*, TMouseButton, TShiftState Shift, int X, int Y) {
  const int index = CheckListBox1->ItemAtPos(TPoint{X, Y}, true);
  if (index < 0 || (Shift & ssDouble) == 0) return;
  const std::string path = CheckListBox1->Items()[index];
  const int result = ShellExecuteOpen(path, ExtractFilePath(path));
  if (result <= 32) Application->MessageBox(Format("%d", {std::abs(result)}), "Fail to Open", MB_OK);
}

void TFormSelDir::ToolButtonCheckClick(TObject*) {
  TCheckListBox& list = *CheckListBox1;
  ForEachEntry(list, [&list](int i) { list.SetChecked(i, list.Selected(i)); });
}

void TFormSelDir::CheckSelectionClick(TObject*) {
  TCheckListBox& list = *CheckListBox1;
  ForEachEntry(list, [&list](int i) {
    if (list.Selected(i)) list.SetChecked(i, true);
  });
}

void TFormSelDir::UncheckSelectionClick(TObject*) {
  TCheckListBox& list = *CheckListBox1;
  ForEachEntry(list, [&list](int i) {
    if (list.Selected(i)) list.SetChecked(i, false);
  });
}

void TFormSelDir::InvertCheckSelectionClick(TObject*) {
  TCheckListBox& list = *CheckListBox1;
  ForEachEntry(list, [&list](int i) {
    if (list.Selected(i)) list.SetChecked(i, !list.Checked(i));
  });
}

void TFormSelDir::CheckAllClick(TObject*) {
  TCheckListBox& list = *CheckListBox1;
  ForEachEntry(list, [&list](int i) { list.SetChecked(i, true); });
}

void TFormSelDir::UnCheckAllClick(TObject*) {
  TCheckListBox& list = *CheckListBox1;
  ForEachEntry(list, [&list](int i) { list.SetChecked(i, false); });
}

void TFormSelDir::InvertCheckAllClick(TObject*) {
  TCheckListBox& list = *CheckListBox1;
  ForEachEntry(list, [&list](int i) { list.SetChecked(i, !list.Checked(i)); });
}

void TFormSelDir::SelectAllClick(TObject*) {
  TListUpdate update(*CheckListBox1);
  CheckListBox1->SelectAll();
}

void TFormSelDir::UnselectAllClick(TObject*) {
  TCheckListBox& list = *CheckListBox1;
  ForEachEntry(list, [&list](int i) { list.SetSelected(i, false); });
}

void TFormSelDir::FormKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if ((Shift & ssCtrl) == 0) return;
  using THandler = void (TFormSelDir::*)(TObject*);
  THandler handler = nullptr;
  if ((Shift & ssAlt) != 0) {
    handler = Key == 'I'   ? &TFormSelDir::InvertCheckAllClick
              : Key == 'K' ? &TFormSelDir::CheckAllClick
              : Key == 'U' ? &TFormSelDir::UnCheckAllClick
                           : nullptr;
  } else {
    handler = Key == 'A'   ? &TFormSelDir::SelectAllClick
              : Key == 'I' ? &TFormSelDir::InvertCheckSelectionClick
              : Key == 'K' ? &TFormSelDir::CheckSelectionClick
              : Key == 'U' ? &TFormSelDir::UncheckSelectionClick
                           : nullptr;
  }
  if (handler) {
    (this->*handler)(this);
    Key = 0;
    return;
  }
  // The main window's menu keys work here too; its list commands then act on this window's files.
  if (FormMain && FormMain->Menu() && FormMain->Menu()->DispatchShortCut(ShortCut(Key, Shift))) Key = 0;
}

// ---- OK and Close

void TFormSelDir::BitBtnOkClick(TObject* Sender) {
  if (FOnOk) FOnOk(Sender);
}

void TFormSelDir::BitBtnCloseClick(TObject*) {
  Hide();
}
