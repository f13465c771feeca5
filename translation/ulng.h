#pragma once
// Language files: every window's texts (captions, hints, edit texts, combo-box items, memo lines) and
// the message strings, saved to and applied from ini text files with the extension ".lng". Windows and
// components are addressed by their names: a window's section is its name, a component's section the
// window's name, "." and its own name. The files live in the folder "lng" beside the program file when
// that can be written, else in the user's application-data folder; "current.lng" there is the active
// language. In the second case the installed files beside the program are still offered and read.
//
// A language file is UTF-8, or Windows-1252 when it is not valid UTF-8 (files from older installs).

#include <string>

#include "toolkit/core/text_encoding.h"

class TStringList;

std::string LngExtension();
// The folder written to, its full path ending with "/"; computed on every call.
std::string LngFolder();
// The installed language files beside the program when that folder cannot be written (so that
// LngFolder is elsewhere) and exists; empty otherwise.
std::string InstalledLngFolder();
std::string CurrentLngFile();
std::string NewLngFile();
// The file name's last part with the extension ".lng": in the language folder, or in the installed
// folder when only that one holds it; current.lng for a name whose last part is empty.
std::string ResolveLngFile(const std::string& Name);
// A bare file name of the list: the language folder's file, or the installed one when only that
// folder holds it.
std::string FindLngFile(const std::string& BareName);

// Fills the list (sorted, letter case ignored, no duplicates) with the bare names of the folder's
// language files, and makes the folder the current one; true when it found one.
bool ListLngFiles(const std::string& Folder, TStringList& List);
// The same over the language folder and the installed folder together; the language folder ends
// current.
bool ListAllLngFiles(TStringList& List);

// Writes the file (current.lng for an empty name) from the texts the windows show now. The file is
// replaced only once the new one is wholly written; a failure raises and leaves it as it was. A name
// that is a symbolic link is replaced itself: the file it points to is never written.
void WriteLngFile(const std::string& Name);
// Applies the file (current.lng for an empty name, the installed one while the language folder has
// none) to the windows; a name that stands for nothing changes no text. One that cannot be read raises
// EFOpenError naming it and the reason, and changes no text.
// Every window then receives the message WM_USER + 500 and is repainted.
void ReadLngFile(const std::string& Name);
// The active language file: current.lng, the installed one while the language folder has none.
std::string ActiveLngFile();
// Start-up: applies the active language file when there is one. One that cannot be read changes no
// text and raises, as when the chooser applies it, for the caller to report.
void ApplyActiveLanguage();
// Keeps the texts the windows show now as the program's own (once the windows are made, before any
// language file is applied).
void KeepBuiltInTexts();
// Puts the program's own texts back on every window kept, empty ones included, so that nothing a
// language file set stays; then every window is told as after a language file.
void RestoreBuiltInTexts();

// True when the name stands for anything on disk, a link whose file is gone included, or may do so
// (a folder on its way may not be searched).
bool NameInUse(const std::string& FileName);
// Raises EFOpenError, naming the file and the reason, unless it is a regular file that may be read.
void CheckLngFileReadable(const std::string& FileName);
// A language file's text as UTF-8 (a byte-order mark left out), with the encoding it was found in;
// raises EFOpenError, naming the file and the reason, when it cannot be read or is no regular file.
std::string ReadLngText(const std::string& FileName, TTextEncoding& Encoding);

// Puts the language folder and the installed folder elsewhere (tests); an empty language folder brings
// the usual ones back.
void SetLngFolderOverride(const std::string& Folder, const std::string& Installed = {});
