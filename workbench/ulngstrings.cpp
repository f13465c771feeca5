#include "workbench/ulngstrings.h"

#include <array>

#include "toolkit/core/inifiles.h"

std::string kstClearList = "Clear List?";
std::string kstClearSelection = "Clear Selection";
std::string kstcaption1 = "Left List";
std::string kstcaption2 = "Right List";
std::string kstproc = "Processed images";
std::string kstNoPicture = "No selected picture";
std::string kstEmptyList = "Empty List";
std::string kstUnknownFormat = "Loading Error: %s";
std::string kstoverwrite = "OverWrite? %s";
std::string kstfileexists = "File exists";
std::string kstOpenDark = "Open Dark File";
std::string kstOpenFlat = "Open Flat Field File";
std::string kstLoadCaption = "Load %s list";
std::string kstSaveCaption = "Save %s list";
std::string kstleft = "LEFT";
std::string kstright = "RIGHT";
std::string kstFolderError = "Cannot open the folder %s: %s";
std::string lngquit = "Quitter?";
std::string lngListFilter = "Liste *.lst|*.lst|Tous Fichiers *.*|*.*";
std::string lngFilter = "Langues *.lng|*.lng|All Files *.*|*.*";
std::string lngSaveLng = "Enregistrer un Fichier Langue";
std::string lngOpenLng = "Lire un Fichier Langue";
std::string lngEdit = "Editer";
std::string lngSaveEdit = "Voulez-vous enregistrer les  modifications ?";
std::string lngFolder = "Dossier des langues : %s";

namespace {

struct TLngString {
  const char* Section;
  const char* Key;
  std::string* Value;
};

// Table order is the order of writing and reading.
const std::array<TLngString, 25> kLngStrings{{
    {"Strings", "kstClearList", &kstClearList},
    {"Strings", "kstClearSelection", &kstClearSelection},
    {"Strings", "kstcaption1", &kstcaption1},
    {"Strings", "kstcaption2", &kstcaption2},
    {"Strings", "kstproc", &kstproc},
    {"Strings", "kstNoPicture", &kstNoPicture},
    {"Strings", "kstEmptyList", &kstEmptyList},
    {"Strings", "kstUnknownFormat", &kstUnknownFormat},
    {"Strings", "kstoverwrite", &kstoverwrite},
    {"Strings", "kstfileexists", &kstfileexists},
    {"Strings", "kstOpenDark", &kstOpenDark},
    {"Strings", "kstOpenFlat", &kstOpenFlat},
    {"Strings", "kstLoadCaption", &kstLoadCaption},
    {"Strings", "kstSaveCaption", &kstSaveCaption},
    {"Strings", "kstleft", &kstleft},
    {"Strings", "kstright", &kstright},
    {"Strings", "kstFolderError", &kstFolderError},
    {"Messages", "lngquit", &lngquit},
    {"Lng", "lngListFilter", &lngListFilter},
    {"Lng", "lngFilter", &lngFilter},
    {"Lng", "lngSaveLng", &lngSaveLng},
    {"Lng", "lngOpenLng", &lngOpenLng},
    {"Lng", "lngEdit", &lngEdit},
    {"Lng", "lngSaveEdit", &lngSaveEdit},
    {"Lng", "lngFolder", &lngFolder},
}};

}  // namespace

void WriteLngStrings(TMemIniFile& ini) {
  for (const TLngString& entry : kLngStrings) ini.WriteString(entry.Section, entry.Key, *entry.Value);
}

void ReadLngStrings(TMemIniFile& ini) {
  for (const TLngString& entry : kLngStrings) {
    std::string value = ini.ReadString(entry.Section, entry.Key, "");
    if (!value.empty()) *entry.Value = std::move(value);
  }
}
