// Saving and loading the current list as a list file (ini text: the product, the count, and one
// section per entry with its path, selection mark and check mark).
#include <algorithm>
#include <cstdint>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/format.h"
#include "toolkit/core/inifiles.h"
#include "toolkit/core/messages.h"
#include "toolkit/ui/application.h"
#include "workbench/failure_texts.h"
#include "workbench/list_update.h"
#include "workbench/umain.h"

namespace {

constexpr const char* kDefaultListName = "processlist.txt";
constexpr const char* kListFilter = "*.txt|*.txt|*.*|*.*";
constexpr const char* kProductName = "Orvanta";
constexpr const char* kListVersion = " - version 2.1g - 2014/02/18 - ";
// Entries a list file may count beyond its sections (they load with empty paths).
constexpr int64_t kMissingEntryLimit = 1000;

std::string EntrySection(int index) {
  return Format("L%4.4d", {index});
}

}  // namespace

void TFormMain::SaveList1Click(TObject*) {
  SaveDialog1->Options = ofOverwritePrompt | ofHideReadOnly | ofAllowMultiSelect | ofEnableSizing;
  if (SaveDialog1->FileName.empty()) SaveDialog1->FileName = kDefaultListName;
  SaveDialog1->Filter = kListFilter;
  if (SaveDialog1->Execute()) SaveListFile(SaveDialog1->FileName);
}

void TFormMain::LoadList1Click(TObject*) {
  OpenDialog1->Options = ofHideReadOnly | ofAllowMultiSelect | ofEnableSizing;
  OpenDialog1->Filter = kListFilter;
  if (OpenDialog1->FileName.empty()) OpenDialog1->FileName = kDefaultListName;
  if (OpenDialog1->Execute()) LoadListFile(OpenDialog1->FileName);
  TCheckListBox* list = GetCurrentList();
  if (!list) return;
  // A list just loaded has no entry highlighted: its first one is shown, rather than a status line
  // that calls the list empty.
  if (list->Count() > 0 && list->ItemIndex() < 0) list->SetItemIndex(0);
  PreviewEntry(list->ItemIndex(), list);
}

void TFormMain::SaveListFile(const std::string& FileName) {
  TCheckListBox* list = GetCurrentList();
  if (!list) return;
  // What an existing file holds beyond what is written here stays in it, so it is read first: a pipe
  // or a device is neither read nor written. The file is replaced only once the new one is whole.
  if (FileKindOf(FileName) == TFileKind::fkOther)
    throw EFCreateError(Format(SFCreateErrorEx, {FileName, std::string(SNotRegularFile)}));
  TMemIniFile ini(FileName);
  ini.WriteString("Application", "name", kProductName);
  ini.WriteString("Application", "Version", kListVersion);
  ini.WriteInteger("List", "count", list->Count());
  for (int i = 0; i < list->Count(); ++i) {
    const std::string section = EntrySection(i);
    ini.WriteString(section, "name", list->Items()[i]);
    ini.WriteBool(section, "slct", list->Selected(i));
    ini.WriteBool(section, "chck", list->Checked(i));
    Application->ProcessMessages();
  }
  ini.UpdateFile();
}

void TFormMain::LoadListFile(const std::string& FileName) {
  // The file is looked at before the list is touched: a name that is no readable file (a pipe is
  // never opened), or a file that holds no list (a picture, a text, a file in another encoding), is
  // said, and the list stays as it is.
  if (const std::string reason = UnreadableFileReason(FileName); !reason.empty()) {
    Application->MessageBox(Format("Cannot load the list %s: %s.", {FileName, reason}), FListCaption,
                            MB_OK | MB_ICONSTOP);
    return;
  }
  const TMemIniFile ini(FileName);
  if (!ini.SectionExists("List")) {
    Application->MessageBox(Format("%s holds no list: the list is left as it is.", {FileName}), FListCaption,
                            MB_OK | MB_ICONSTOP);
    return;
  }
  TBusyCursor busy;
  ini.ReadString("Application", "name", "");
  ini.ReadString("Application", "Version", "");
  // A damaged count must not make the list grow without end, yet a count above the entry sections is
  // a list whose missing entries load with empty paths. So the entries past the sections present are
  // bounded, not refused.
  TStringList sections;
  ini.ReadSections(sections);
  const int count = static_cast<int>(
      std::min<int64_t>(ini.ReadInteger("List", "count", 0), sections.Count() + kMissingEntryLimit));
  ClearList1Click(this);
  TCheckListBox* list = GetCurrentList();
  if (!list) return;
  TListUpdate update(*list);
  for (int i = 0; i < count; ++i) {
    const std::string section = EntrySection(i);
    // Added with its path, so that a sorted list files the entry at its place.
    const int index = list->Items().Add(ini.ReadString(section, "name", ""));
    list->SetSelected(index, ini.ReadBool(section, "slct", false));
    list->SetChecked(index, ini.ReadBool(section, "chck", true));
    Application->ProcessMessages();
  }
}
