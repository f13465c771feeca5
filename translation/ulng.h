#pragma once
// Language files: every window's texts (captions, hints, edit texts, combo-box items, memo lines) and
// the message strings, saved to and applied from ini text files with the extension ".lng". Windows and
// components are addressed by their names: a window's section is its name, a component's section the
// window's name, "." and its own name. The files live in the folder "lng" beside the program file when
// that can be written, else in the user's application-data folder; "current.lng" there is the active
// language.

#include <string>

class TStringList;

std::string LngExtension();
// The folder's full path, ending with "/"; computed on every call.
std::string LngFolder();
std::string CurrentLngFile();
std::string NewLngFile();
// The file name's last part with the extension ".lng", in the language folder; current.lng for a name
// whose last part is empty.
std::string ResolveLngFile(const std::string& Name);

// Fills the list (sorted, letter case ignored, no duplicates) with the bare names of the folder's
// language files, and makes the folder the current one; true when it found one.
bool ListLngFiles(const std::string& Folder, TStringList& List);

// Writes the file (current.lng for an empty name) from the texts the windows show now. The file is
// replaced only once the new one is wholly written; a failure raises and leaves it as it was.
void WriteLngFile(const std::string& Name);
// Applies the file (current.lng for an empty name) to the windows; a missing file changes no text.
// Every window then receives the message WM_USER + 500 and is repainted.
void ReadLngFile(const std::string& Name);

// Puts the language folder elsewhere (tests); an empty folder brings the usual one back.
void SetLngFolderOverride(const std::string& Folder);
