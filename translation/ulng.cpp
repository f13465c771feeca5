#include "translation/ulng.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include <QStandardPaths>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/file_replace.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/format.h"
#include "toolkit/core/inifiles.h"
#include "toolkit/core/messages.h"
#include "toolkit/core/streams.h"
#include "toolkit/core/string_list.h"
#include "toolkit/core/string_utils.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/buttons.h"
#include "toolkit/ui/menus.h"
#include "toolkit/ui/screen.h"
#include "toolkit/ui/statusbar.h"
#include "toolkit/ui/stdctrls.h"
#include "toolkit/ui/toolbar.h"
#include "workbench/ulngstrings.h"

namespace {

// Sent to every window once a language file has been applied.
constexpr unsigned kLanguageApplied = WM_USER + 500;

struct TFolderOverride {
  std::string Folder;
  std::string Installed;
};

TFolderOverride& FolderOverride() {
  static TFolderOverride folders;
  return folders;
}

std::string ProgramLngFolder() {
  const std::string programFolder = ExtractFilePath(Application->ExeName());
  return programFolder.empty() ? std::string() : programFolder + "lng/";
}

bool Writable(const std::string& folder) {
  return !folder.empty() && ::access(folder.c_str(), W_OK) == 0;
}

std::string LineKey(int index) {
  return Format("lines%3.3d", {index});
}

std::string ItemKey(int index) {
  return "ItemsString" + std::to_string(index);
}

// One past the highest index whose key (as keyOf spells it) the section holds: a count read from a
// file never reaches beyond the lines the file really has.
template <class KeyOf>
int PresentLimit(const TMemIniFile& ini, const std::string& section, const std::string& prefix, KeyOf keyOf) {
  TStringList names;
  ini.ReadSection(section, names);
  int limit = 0;
  for (int i = 0; i < names.Count(); ++i) {
    const std::string name = names[i];
    if (name.size() <= prefix.size() || !SameText(name.substr(0, prefix.size()), prefix)) continue;
    const std::string digits = name.substr(prefix.size());
    if (digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    const int index = std::stoi(digits);
    if (SameText(keyOf(index), name)) limit = std::max(limit, index + 1);
  }
  return limit;
}

// The window's direct child controls (but a status bar), then every component it owns. Components
// without a name cannot be addressed and take no part.
template <class OnControl, class OnComponent>
void WalkForm(TCustomForm& form, OnControl onControl, OnComponent onComponent) {
  for (int i = 0; i < form.ControlCount(); ++i) {
    TControl* control = form.Controls(i);
    if (!control->Name().empty() && !dynamic_cast<TStatusBar*>(control)) onControl(*control);
  }
  for (int i = 0; i < form.ComponentCount(); ++i) {
    TComponent* component = form.Components(i);
    if (!component->Name().empty()) onComponent(*component);
  }
}

std::string SectionOf(const TCustomForm& form, const TComponent& component) {
  return form.Name() + "." + component.Name();
}

// ---- Writing

void WriteControl(TMemIniFile& ini, const TCustomForm& form, TControl& control) {
  const std::string section = SectionOf(form, control);
  ini.WriteString(section, "Hint", control.Hint());
  if (dynamic_cast<TButton*>(&control)) ini.WriteString(section, "Caption", control.Caption());
  if (dynamic_cast<TEdit*>(&control)) ini.WriteString(section, "Text", control.Text());
  if (auto* memo = dynamic_cast<TMemo*>(&control)) {
    TStrings& lines = memo->Lines();
    ini.WriteInteger(section, "ItemsCount", lines.Count());
    for (int i = 0; i < lines.Count(); ++i) ini.WriteString(section, LineKey(i), lines[i]);
  }
}

void WriteComponent(TMemIniFile& ini, const TCustomForm& form, TComponent& component) {
  const std::string section = SectionOf(form, component);
  const bool menuItem = dynamic_cast<TMenuItem*>(&component) != nullptr;
  if (menuItem && component.Caption() == "-") return;
  if (menuItem || dynamic_cast<TSpeedButton*>(&component) || dynamic_cast<TToolButton*>(&component) ||
      dynamic_cast<TLabel*>(&component) || dynamic_cast<TCheckBox*>(&component)) {
    ini.WriteString(section, "Caption", component.Caption());
    ini.WriteString(section, "Hint", component.Hint());
  } else if (auto* combo = dynamic_cast<TComboBox*>(&component)) {
    ini.WriteString(section, "Hint", combo->Hint());
    TStrings& items = combo->Items();
    ini.WriteInteger(section, "ItemsCount", items.Count());
    for (int i = 0; i < items.Count(); ++i) ini.WriteString(section, ItemKey(i), items[i]);
    ini.WriteInteger(section, "ItemIndex", combo->ItemIndex());
  } else if (dynamic_cast<TGroupBox*>(&component)) {
    ini.WriteString(section, "Caption", component.Caption());
  }
}

void WriteForm(TMemIniFile& ini, TCustomForm& form) {
  ini.WriteString(form.Name(), "Caption", form.Caption());
  WalkForm(
      form, [&](TControl& control) { WriteControl(ini, form, control); },
      [&](TComponent& component) { WriteComponent(ini, form, component); });
}

// ---- Reading

void ReadText(const TMemIniFile& ini, const std::string& section, const char* key,
              void (*apply)(TComponent&, const std::string&), TComponent& component) {
  const std::string value = ini.ReadString(section, key, "");
  if (!value.empty()) apply(component, value);
}

void SetCaptionOf(TComponent& component, const std::string& value) {
  component.SetCaption(value);
}
void SetHintOf(TComponent& component, const std::string& value) {
  component.SetHint(value);
}
void SetTextOf(TComponent& component, const std::string& value) {
  component.SetText(value);
}

void ReadMemo(const TMemIniFile& ini, const std::string& section, TMemo& memo) {
  int count = ini.ReadInteger(section, "ItemsCount", 0);
  if (count == 0) return;
  // A line the file does not hold is empty, and lines past the last one it holds are not made up.
  count = std::min(count, PresentLimit(ini, section, "lines", LineKey));
  std::string text;
  for (int i = 0; i < count; ++i) text += ini.ReadString(section, LineKey(i), "") + "\n";
  memo.SetText(text);
}

void ReadCombo(const TMemIniFile& ini, const std::string& section, TComboBox& combo) {
  ReadText(ini, section, "Hint", SetHintOf, combo);
  int count = ini.ReadInteger(section, "ItemsCount", 0);
  if (count != 0) {
    count = std::min(count, PresentLimit(ini, section, "ItemsString", ItemKey));
    TStrings& items = combo.Items();
    items.BeginUpdate();
    items.Clear();
    for (int i = 0; i < count; ++i) items.Add(ini.ReadString(section, ItemKey(i), ""));
    items.EndUpdate();
  }
  // An index the items do not have is ignored.
  const int index = ini.ReadInteger(section, "ItemIndex", 0);
  if (index >= -1 && index < combo.Items().Count()) combo.SetItemIndex(index);
}

void ReadControl(const TMemIniFile& ini, const TCustomForm& form, TControl& control) {
  const std::string section = SectionOf(form, control);
  ReadText(ini, section, "Hint", SetHintOf, control);
  if (dynamic_cast<TButton*>(&control)) ReadText(ini, section, "Caption", SetCaptionOf, control);
  if (dynamic_cast<TEdit*>(&control)) ReadText(ini, section, "Text", SetTextOf, control);
  if (auto* memo = dynamic_cast<TMemo*>(&control)) ReadMemo(ini, section, *memo);
}

void ReadComponent(const TMemIniFile& ini, const TCustomForm& form, TComponent& component) {
  const std::string section = SectionOf(form, component);
  auto* toolButton = dynamic_cast<TToolButton*>(&component);
  if (toolButton && toolButton->Style() == TToolButtonStyle::tbsSeparator) return;
  if (toolButton || dynamic_cast<TMenuItem*>(&component) || dynamic_cast<TSpeedButton*>(&component) ||
      dynamic_cast<TLabel*>(&component) || dynamic_cast<TCheckBox*>(&component)) {
    ReadText(ini, section, "Caption", SetCaptionOf, component);
    ReadText(ini, section, "Hint", SetHintOf, component);
  } else if (auto* combo = dynamic_cast<TComboBox*>(&component)) {
    ReadCombo(ini, section, *combo);
  } else if (dynamic_cast<TGroupBox*>(&component)) {
    ReadText(ini, section, "Caption", SetCaptionOf, component);
  }
}

// A window whose section gives no caption is left as it is. The main window keeps its own caption (the
// product and its version) whatever the file says.
void ReadForm(const TMemIniFile& ini, TCustomForm& form) {
  const std::string caption = ini.ReadString(form.Name(), "Caption", "");
  if (caption.empty()) return;
  if (form.Name() != "FormMain") form.SetCaption(caption);
  WalkForm(
      form, [&](TControl& control) { ReadControl(ini, form, control); },
      [&](TComponent& component) { ReadComponent(ini, form, component); });
}

// A file that cannot be read is applied as an empty one: no text changes.
TMemIniFile OpenLngFile(const std::string& fileName) {
  TMemIniFile ini("");
  if (!FileExists(fileName)) return ini;
  try {
    TTextEncoding encoding;
    ini.SetText(ReadLngText(fileName, encoding));
  } catch (const EFOpenError&) {
  }
  return ini;
}

}  // namespace

void SetLngFolderOverride(const std::string& Folder, const std::string& Installed) {
  FolderOverride() = {Folder, Installed};
}

std::string LngExtension() {
  return ".lng";
}

std::string LngFolder() {
  if (!FolderOverride().Folder.empty()) return IncludeTrailingPathDelimiter(FolderOverride().Folder);
  const std::string beside = ProgramLngFolder();
  if (!beside.empty() &&
      (DirectoryExists(beside) ? Writable(beside) : Writable(ExtractFilePath(Application->ExeName()))))
    return beside;
  const std::string user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();
  return IncludeTrailingPathDelimiter(user) + "lng/";
}

std::string InstalledLngFolder() {
  const std::string installed =
      !FolderOverride().Folder.empty() ? FolderOverride().Installed : ProgramLngFolder();
  if (installed.empty() || !DirectoryExists(installed)) return {};
  const std::string folder = IncludeTrailingPathDelimiter(installed);
  return folder == LngFolder() ? std::string() : folder;
}

std::string CurrentLngFile() {
  return LngFolder() + "current" + LngExtension();
}

std::string NewLngFile() {
  return LngFolder() + "new" + LngExtension();
}

std::string ResolveLngFile(const std::string& Name) {
  const std::string name = ExtractFileName(Name);
  if (name.empty()) return CurrentLngFile();
  return FindLngFile(ChangeFileExt(name, LngExtension()));
}

std::string FindLngFile(const std::string& BareName) {
  const std::string own = LngFolder() + BareName;
  if (FileExists(own)) return own;
  const std::string installed = InstalledLngFolder();
  if (!installed.empty() && FileExists(installed + BareName)) return installed + BareName;
  return own;
}

bool ListLngFiles(const std::string& Folder, TStringList& List) {
  List.Clear();
  List.SetSorted(true);
  List.SetCaseSensitive(false);
  List.SetDuplicates(dupIgnore);
  if (!DirectoryExists(Folder)) return false;
  if (SetCurrentDir(Folder)) {
    TSearchRec rec;
    try {
      // ".LNG", and also ".L" and ".LN", are taken; a name without an extension is not.
      const std::string_view accepted = "*.LNG";
      constexpr int kAttributes = faReadOnly | faHidden | faSysFile | faVolumeID | faArchive;
      if (FindFirst(IncludeTrailingPathDelimiter(Folder) + "*.*", kAttributes, rec) == 0) {
        do {
          const std::string extension = UpperCase(ExtractFileExt(rec.Name));
          if (!extension.empty() && accepted.find(extension) != std::string_view::npos &&
              List.IndexOf(rec.Name) < 0)
            List.Add(rec.Name);
        } while (FindNext(rec) == 0);
      }
    } catch (const std::exception&) {
      // The walk ends with what it found.
    }
    FindEnd(rec);
  }
  return List.Count() > 0;
}

bool ListAllLngFiles(TStringList& List) {
  TStringList installed;
  if (const std::string folder = InstalledLngFolder(); !folder.empty()) ListLngFiles(folder, installed);
  ListLngFiles(LngFolder(), List);
  for (int i = 0; i < installed.Count(); ++i) List.Add(installed[i]);
  return List.Count() > 0;
}

std::string ReadLngText(const std::string& FileName, TTextEncoding& Encoding) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  std::string bytes(static_cast<size_t>(file.Size()), '\0');
  file.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return TextToUtf8(bytes, Encoding);
}

void WriteLngFile(const std::string& Name) {
  const std::string fileName = Name.empty() ? CurrentLngFile() : Name;
  const std::string folder = ExtractFilePath(fileName);
  if (!folder.empty() && !DirectoryExists(folder) && !ForceDirectories(folder))
    throw EFCreateError(Format(SFCreateError, {fileName}));
  TMemIniFile ini("");
  ini.WriteString("File", "Name", fileName);
  WriteLngStrings(ini);
  for (int i = 0; i < Screen->FormCount(); ++i) WriteForm(ini, *Screen->Forms(i));
  WriteFileReplacing(fileName, ini.Text(), TLinkReplace::lrReplaceLink);
}

void ReadLngFile(const std::string& Name) {
  // current.lng is the user's own, or the installed one while the user has none.
  TMemIniFile ini = OpenLngFile(Name.empty() ? FindLngFile(ExtractFileName(CurrentLngFile())) : Name);
  ReadLngStrings(ini);
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    ReadForm(ini, *form);
    form->Perform(kLanguageApplied, 0, 0);
    form->Update();
  }
}
