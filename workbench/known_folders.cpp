#include "workbench/known_folders.h"

#include "toolkit/core/file_names.h"
#include "toolkit/core/file_system.h"
#include "toolkit/ui/menus.h"
#include "toolkit/ui/shell.h"

const std::array<TSpecialFolder, 30> SpecialFolders = {{
    {"Alt Startup", 29},
    {"Application Data", 26},
    {"Recycle Bin", 10},
    {"Common Alt Startup", 30},
    {"Common Desktop", 25},
    {"Common Favorites", 31},
    {"Common Programs", 23},
    {"Common Start Menu", 22},
    {"Common Startup", 24},
    {"Controls", 3},
    {"Cookies", 33},
    {"Desktop", 0},
    {"Desktop Directory", 16},
    {"Drives", 17},
    {"Favorites", 6},
    {"Fonts", 20},
    {"History", 34},
    {"Internet", 1},
    {"Internet Cache", 32},
    {"Network Neighborhood", 19},
    {"Network Top", 18},
    {"Personal", 5},
    {"Printers", 4},
    {"Printer Links", 27},
    {"Programs", 2},
    {"Recent Documents", 8},
    {"Send To", 9},
    {"Start Menu", 11},
    {"Startup", 7},
    {"Templates", 21},
}};

void SpecialFolderPath(int Csidl, bool Create, std::string& Path) {
  SHGetSpecialFolderPath(Csidl, Create, Path);
}

void FillSendToMenu(TPopupMenu* Menu) {
  TMenuItem* items = Menu->Items();
  while (items->Count() > 0) delete items->Items(items->Count() - 1);  // Qt-owned: deleting unlinks it
  std::string folder;
  SpecialFolderPath(SpecialFolders[26].Csidl, false, folder);
  // Walked by its path: an empty one must not list whatever folder happens to be current.
  if (folder.empty()) return;
  TSearchRec found;
  for (int result =
           FindFirst(IncludeTrailingPathDelimiter(folder) + "*.*", faReadOnly | faHidden | faArchive, found);
       result == 0; result = FindNext(found)) {
    auto* item = new TMenuItem(Menu);
    item->SetCaption(found.Name);
    items->Add(item);
  }
  FindEnd(found);
}
