#pragma once
// The shell's special folders by name and number, and the "Send To" menu the browser fills from one.

#include <array>
#include <string>

class TPopupMenu;

struct TSpecialFolder {
  const char* Name;
  int Csidl;  // the shell's special-folder number
};

extern const std::array<TSpecialFolder, 30> SpecialFolders;

// The folder's path; empty when the folder has none here. With create, a missing folder is made.
void SpecialFolderPath(int Csidl, bool Create, std::string& Path);
// Fills the menu with one item per file of the "Send To" folder (none when there is no such folder).
void FillSendToMenu(TPopupMenu* Menu);
