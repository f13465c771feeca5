// The browser's folder view: going to a folder by path or by list, the subfolders and their details,
// the incremental find, the path box with its history, and the navigation keys and buttons.
#include <algorithm>
#include <climits>

#include "toolkit/core/file_system.h"
#include "toolkit/core/format.h"
#include "toolkit/core/string_utils.h"
#include "toolkit/core/text_encoding.h"
#include "toolkit/ui/dialogs.h"
#include "toolkit/ui/guarded.h"
#include "toolkit/ui/system_services.h"
#include "workbench/known_folders.h"
#include "workbench/list_update.h"
#include "workbench/uselectdir.h"

namespace {

// File attributes as the report shows them, in this order.
constexpr std::pair<int32_t, char> kAttributeLetters[] = {{0x01, 'R'}, {0x02, 'H'}, {0x04, 'S'}, {0x20, 'A'}};

class TListViewUpdate {
 public:
  explicit TListViewUpdate(TListView& view) : FView(view) { FView.BeginUpdate(); }
  ~TListViewUpdate() { FView.EndUpdate(); }
  TListViewUpdate(const TListViewUpdate&) = delete;
  TListViewUpdate& operator=(const TListViewUpdate&) = delete;

 private:
  TListView& FView;
};

// The history entry of the folder, found by the folder's bytes (paths differ by letter case here, and
// a name that is not UTF-8 shows escaped): the list the entry carries, or for an entry that lost it
// (its text rewritten by a language file) the text it shows.
int HistoryIndex(TComboBox& box, const std::string& path) {
  const std::string shown = EscapeName(path);
  for (int i = 0; i < box.Items().Count(); ++i) {
    const auto* list = static_cast<const std::string*>(box.Items().Objects(i));
    if (list ? *list == path : box.Items()[i] == shown) return i;
  }
  return -1;
}

// The entry showing exactly this text, or -1.
int ShownIndex(TComboBox& box, const std::string& text) {
  for (int i = 0; i < box.Items().Count(); ++i)
    if (box.Items()[i] == text) return i;
  return -1;
}

}  // namespace

// ---- The window

void TFormSelDir::FormCreate(TObject*) {
  KeyPreview = true;
  FillSendToMenu(PopupMenu2);
  FDesktopFolder = TShellFolder::Desktop();
  FShellFolder = FDesktopFolder;
  FItems.clear();
  ListView->SetSmallImages(SystemImageList());
  ListView->SetLargeImages(SystemImageList());
  BuildFilterList();
  // A current folder that has been removed has no path to start from: the home folder stands in for
  // it. One that cannot be read is reported, and the window starts without a folder.
  const std::string start = GetCurrentDir();
  Guarded([this, &start] { SetPath(start.empty() ? "~" : start); });
  SetActiveControl(cbPath);
  cbPath->SelectAll();
}

void TFormSelDir::FormShow(TObject*) {
  FillFileList(FPath);
}

void TFormSelDir::Form1Close(TObject*) {
  CheckListBox1->Clear();
}

void TFormSelDir::FormDestroy(TObject*) {
  FItems.clear();
  CheckListBox1->Clear();
}

// ---- Going to a folder

void TFormSelDir::SetPath(const std::string& Path) {
  // A relative path starts in the folder shown (the process's current folder before the first one),
  // whatever other windows have made the current folder since.
  SetItemIdList(FShellFolder.ParseDisplayName(Path));
}

void TFormSelDir::SetItemIdList(const std::string& List) {
  const TShellFolder folder = FDesktopFolder.BindToObject(List);
  {
    TListViewUpdate update(*ListView);
    PopulateFolder(folder);
    FPidl = List;
    FPath = GetDisplayName(FDesktopFolder, List, true);
    ShowPathInHistory();
    if (ListView->ItemCount() > 0) {
      ListView->SetItemIndex(0);
      ListView->MakeVisible(0);
    }
  }
  FillFileList(FPath);
}

void TFormSelDir::ShowPathInHistory() {
  if (FPath.empty()) return;  // no folder yet
  const int seen = HistoryIndex(*cbPath, FPath);
  if (seen >= 0) {
    cbPath->SetItemIndex(seen);
  } else {
    FHistoryLists.push_back(std::make_unique<std::string>(FPidl));
    cbPath->Items().InsertObject(0, EscapeName(FPath), FHistoryLists.back().get());
    cbPath->SetItemIndex(0);
  }
  cbPath->SetText(EscapeName(FPath));
}

void TFormSelDir::PopulateFolder(const TShellFolder& Folder) {
  TBusyCursor busy;
  // Read first: a folder that cannot be read leaves the view as it was.
  const std::vector<std::string> lists = Folder.EnumObjects(SHCONTF_FOLDERS);
  FShellFolder = Folder;
  FItems.clear();
  for (const std::string& list : lists) {
    auto item = std::make_unique<TShellItem>();
    item->Pidl = list;
    item->DisplayName = EscapeName(GetDisplayName(Folder, list, false));
    FItems.push_back(std::move(item));
  }
  std::stable_sort(FItems.begin(), FItems.end(),
                   [this](const auto& a, const auto& b) { return ListSortCompare(*a, *b) < 0; });
  ListView->SetItemCount(static_cast<int>(FItems.size()));
  ListView->Invalidate();
}

std::string TFormSelDir::GetDisplayName(const TShellFolder& Folder, const std::string& List,
                                        bool ForParsing) {
  return Folder.GetDisplayNameOf(List, ForParsing ? SHGDN_FORPARSING : SHGDN_NORMAL);
}

int TFormSelDir::GetShellImage(const std::string& List) {
  return ShellIconIndex(List);
}

bool TFormSelDir::IsFolder(const TShellFolder& Folder, const std::string& List) {
  return (Folder.GetAttributesOf(List, SFGAO_FOLDER) & SFGAO_FOLDER) != 0;
}

int TFormSelDir::ListSortCompare(const TShellItem& A, const TShellItem& B) {
  return FShellFolder.CompareIDs(0, A.Pidl, B.Pidl);
}

// ---- The items as the view shows them

void TFormSelDir::ListViewDataHint(TObject*, int StartIndex, int EndIndex) {
  const int last = std::min(EndIndex, static_cast<int>(FItems.size()) - 1);
  for (int i = std::max(StartIndex, 0); i <= last; ++i) {
    TShellItem& item = *FItems[static_cast<size_t>(i)];
    if (!item.Empty) continue;
    item.FullPidl = ConcatItemIdLists(FPidl, item.Pidl);
    item.ImageIndex = GetShellImage(item.FullPidl);
    item.TypeName = ShellTypeName(item.FullPidl);
    TWin32FindData data;
    SHGetDataFromIDList(FShellFolder, item.Pidl, data);
    item.Size = static_cast<int32_t>(std::clamp<int64_t>((data.FileSize + 1023) / 1024, 1, INT32_MAX));
    item.ModDate = data.LastWriteTime != 0 ? ShortDateTimeText(data.LastWriteTime) : std::string();
    item.Attributes = static_cast<int32_t>(data.FileAttributes);
    item.Empty = false;
  }
}

void TFormSelDir::ListViewData(TObject*, TListItem& Item) {
  if (Item.Index < 0 || Item.Index >= static_cast<int>(FItems.size())) return;
  const TShellItem& shown = *FItems[static_cast<size_t>(Item.Index)];
  Item.Caption = shown.DisplayName;
  Item.ImageIndex = shown.ImageIndex;
  if (ListView->ViewStyle() != TViewStyle::vsReport) return;
  Item.SubItems.push_back(IsFolder(FShellFolder, shown.Pidl) ? std::string() : Format("%dKB", {shown.Size}));
  Item.SubItems.push_back(shown.TypeName);
  Item.SubItems.push_back(shown.ModDate);
  std::string letters;
  for (const auto& [bit, letter] : kAttributeLetters)
    if ((shown.Attributes & bit) != 0) letters += letter;
  Item.SubItems.push_back(letters);
}

void TFormSelDir::ListViewDataFind(TObject*, TItemFind Find, const std::string& FindString, int StartIndex,
                                   TSearchDirection, bool Wrap, int& Index) {
  Index = -1;
  const int count = static_cast<int>(FItems.size());
  if ((Find != TItemFind::ifPartialString && Find != TItemFind::ifExactString) || count == 0) return;
  const std::string wanted = UpperCase(FindString);
  const int first = StartIndex >= 0 && StartIndex < count ? StartIndex : 0;
  int i = first;
  do {
    if (UpperCase(FItems[static_cast<size_t>(i)]->DisplayName).starts_with(wanted)) {
      Index = i;
      return;
    }
    if (++i == count) {
      if (!Wrap) return;
      i = 0;
    }
  } while (i != first);
}

// ---- Navigation

void TFormSelDir::ListViewDblClick(TObject*) {
  const int index = ListView->ItemIndex();
  if (index < 0 || index >= static_cast<int>(FItems.size())) return;
  const std::string pidl = FItems[static_cast<size_t>(index)]->Pidl;
  if (IsFolder(FShellFolder, pidl)) SetItemIdList(ConcatItemIdLists(FPidl, pidl));
}

void TFormSelDir::ListViewKeyDown(TObject* Sender, Word& Key, TShiftState) {
  if (Key == VK_RETURN) {
    Key = 0;
    ListViewDblClick(Sender);
  } else if (Key == VK_BACK) {
    Key = 0;
    btnBackClick(Sender);
  }
}

void TFormSelDir::btnBackClick(TObject*) {
  const std::string parent = StripLastItemId(FPidl);
  if (parent.empty())
    Beep();  // already at the top
  else
    SetItemIdList(parent);
}

void TFormSelDir::btnBrowseClick(TObject*) {
  std::string folder;
  if (SelectDirectory("Select Directory", folder)) SetPath(folder);
}

void TFormSelDir::btnLargeIconsClick(TObject* Sender) {
  if (auto* button = dynamic_cast<TToolButton*>(Sender))
    ListView->SetViewStyle(static_cast<TViewStyle>(button->Tag));
}

void TFormSelDir::cbPathKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key != VK_RETURN) return;
  Key = 0;
  SetPath(UnescapeName(cbPath->Text()));
}

void TFormSelDir::cbPathClick(TObject*) {
  const std::string text = cbPath->Text();
  const int index = ShownIndex(*cbPath, text);
  // An entry that no longer carries its folder (its text rewritten by a language file) is taken as a
  // path, like typed text.
  const auto* list = index >= 0 ? static_cast<const std::string*>(cbPath->Items().Objects(index)) : nullptr;
  if (list)
    SetItemIdList(*list);
  else
    SetPath(UnescapeName(text));
}
