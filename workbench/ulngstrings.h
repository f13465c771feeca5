#pragma once
// The translatable texts the workbench builds at run time (questions, list captions, status texts,
// captions and filters of the translation windows). They start with their built-in defaults; a
// language file may replace them, and every user reads the current value when it needs it.

#include <string>

class TMemIniFile;

extern std::string kstClearList;
extern std::string kstClearSelection;
extern std::string kstcaption1;
extern std::string kstcaption2;
extern std::string kstproc;
extern std::string kstNoPicture;
extern std::string kstEmptyList;
extern std::string kstUnknownFormat;
extern std::string kstoverwrite;
extern std::string kstfileexists;
extern std::string kstOpenDark;
extern std::string kstOpenFlat;
extern std::string kstLoadCaption;
extern std::string kstSaveCaption;
extern std::string kstleft;
extern std::string kstright;
// Format(kstFolderError, [folder, reason]): a folder the browser cannot list.
extern std::string kstFolderError;
extern std::string lngquit;
extern std::string lngListFilter;
extern std::string lngFilter;
extern std::string lngSaveLng;
extern std::string lngOpenLng;
extern std::string lngEdit;
extern std::string lngSaveEdit;
// Format(lngFolder, [folder]): the language chooser's word on the folder its files are written to.
extern std::string lngFolder;

// Writes the 25 strings into the open ini object (sections "Strings", "Messages", "Lng"); does not save.
void WriteLngStrings(TMemIniFile& ini);
// Replaces every string for which the ini object holds a non-empty value.
void ReadLngStrings(TMemIniFile& ini);
