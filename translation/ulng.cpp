#include "translation/ulng.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>

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
#include "workbench/failure_texts.h"
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

// Applies an ini's texts to the windows. A language file sets the texts it gives: an empty or missing
// value changes nothing. The program's own texts, put back, set every text they hold, empty ones too,
// so that nothing a language file set stays.
class TTextsApplier {
 public:
  TTextsApplier(const TMemIniFile& ini, bool everyKept) : FIni(ini), FEveryKept(everyKept) {}

  // A window whose section gives no caption is left as it is. The main window keeps its own caption
  // (the product and its version) whatever the file says.
  void ApplyTo(TCustomForm& form) const {
    const std::string caption = FIni.ReadString(form.Name(), "Caption", "");
    if (FEveryKept ? !FIni.SectionExists(form.Name()) : caption.empty()) return;
    if (form.Name() != "FormMain") form.SetCaption(caption);
    WalkForm(
        form, [&](TControl& control) { ApplyToControl(form, control); },
        [&](TComponent& component) { ApplyToComponent(form, component); });
  }

 private:
  // The value to set under the key, or nothing.
  std::optional<std::string> Value(const std::string& section, const std::string& key) const {
    std::string value = FIni.ReadString(section, key, "");
    if (FEveryKept ? !FIni.ValueExists(section, key) : value.empty()) return std::nullopt;
    return value;
  }

  void ApplyText(const std::string& section, const char* key, void (TComponent::*set)(const std::string&),
                 TComponent& component) const {
    if (const auto value = Value(section, key)) (component.*set)(*value);
  }

  // How many lines or items to read: none when the count changes nothing. A count read from a file
  // never reaches beyond the keys the file really has.
  template <class KeyOf>
  std::optional<int> Count(const std::string& section, const std::string& prefix, KeyOf keyOf) const {
    const int count = FIni.ReadInteger(section, "ItemsCount", 0);
    if (count == 0 && !(FEveryKept && FIni.ValueExists(section, "ItemsCount"))) return std::nullopt;
    return std::min(count, PresentLimit(FIni, section, prefix, keyOf));
  }

  void ApplyToMemo(const std::string& section, TMemo& memo) const {
    const auto count = Count(section, "lines", LineKey);
    if (!count) return;
    std::string text;
    for (int i = 0; i < *count; ++i) text += FIni.ReadString(section, LineKey(i), "") + "\n";
    memo.SetText(text);
  }

  void ApplyToCombo(const std::string& section, TComboBox& combo) const {
    ApplyText(section, "Hint", &TComponent::SetHint, combo);
    if (const auto count = Count(section, "ItemsString", ItemKey)) {
      TStrings& items = combo.Items();
      items.BeginUpdate();
      items.Clear();
      for (int i = 0; i < *count; ++i) items.Add(FIni.ReadString(section, ItemKey(i), ""));
      items.EndUpdate();
    }
    // An index the items do not have is ignored.
    const int index = FIni.ReadInteger(section, "ItemIndex", 0);
    if (index >= -1 && index < combo.Items().Count()) combo.SetItemIndex(index);
  }

  void ApplyToControl(const TCustomForm& form, TControl& control) const {
    const std::string section = SectionOf(form, control);
    ApplyText(section, "Hint", &TComponent::SetHint, control);
    if (dynamic_cast<TButton*>(&control)) ApplyText(section, "Caption", &TComponent::SetCaption, control);
    if (dynamic_cast<TEdit*>(&control)) ApplyText(section, "Text", &TComponent::SetText, control);
    if (auto* memo = dynamic_cast<TMemo*>(&control)) ApplyToMemo(section, *memo);
  }

  void ApplyToComponent(const TCustomForm& form, TComponent& component) const {
    const std::string section = SectionOf(form, component);
    auto* toolButton = dynamic_cast<TToolButton*>(&component);
    if (toolButton && toolButton->Style() == TToolButtonStyle::tbsSeparator) return;
    if (toolButton || dynamic_cast<TMenuItem*>(&component) || dynamic_cast<TSpeedButton*>(&component) ||
        dynamic_cast<TLabel*>(&component) || dynamic_cast<TCheckBox*>(&component)) {
      ApplyText(section, "Caption", &TComponent::SetCaption, component);
      ApplyText(section, "Hint", &TComponent::SetHint, component);
    } else if (auto* combo = dynamic_cast<TComboBox*>(&component)) {
      ApplyToCombo(section, *combo);
    } else if (dynamic_cast<TGroupBox*>(&component)) {
      ApplyText(section, "Caption", &TComponent::SetCaption, component);
    }
  }

  const TMemIniFile& FIni;
  bool FEveryKept;
};

// Applies the texts to every window, each then told and repainted.
void ApplyTexts(TMemIniFile& ini, bool everyKept) {
  ReadLngStrings(ini);
  const TTextsApplier applier(ini, everyKept);
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    applier.ApplyTo(*form);
    form->Perform(kLanguageApplied, 0, 0);
    form->Update();
  }
}

// The texts every window shows now, as a language file holds them.
TMemIniFile ShownTexts(const std::string& fileName) {
  TMemIniFile ini("");
  ini.WriteString("File", "Name", fileName);
  WriteLngStrings(ini);
  for (int i = 0; i < Screen->FormCount(); ++i) WriteForm(ini, *Screen->Forms(i));
  return ini;
}

std::optional<TMemIniFile>& BuiltInTexts() {
  static std::optional<TMemIniFile> texts;
  return texts;
}

// A name that stands for nothing is an empty file: no text changes (a fresh installation has no
// current.lng). A name that stands for something that cannot be read (a pipe, a device, a folder, a
// link whose file is gone, a file the user may not read) raises EFOpenError naming it and the
// reason: the user asked for that language and must learn why it did not come.
TMemIniFile OpenLngFile(const std::string& fileName) {
  TMemIniFile ini("");
  if (!NameInUse(fileName)) return ini;
  TTextEncoding encoding;
  ini.SetText(ReadLngText(fileName, encoding));
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
  // Whatever stands under the name in the user's folder is theirs, even when it cannot be read: the
  // installed file of that name must not be applied in its place without a word.
  const std::string own = LngFolder() + BareName;
  if (NameInUse(own)) return own;
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

bool NameInUse(const std::string& FileName) {
  // A name the user may not look at (a folder on its way that may not be searched) may well stand
  // for a file: reading it says why it cannot be read.
  struct stat info {};
  return !FileName.empty() &&
         (::lstat(FileName.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR));
}

void CheckLngFileReadable(const std::string& FileName) {
  // A pipe or a device is never opened: reading one could wait for ever.
  if (const std::string reason = UnreadableFileReason(FileName); !reason.empty())
    throw EFOpenError(Format("Cannot read the language file %s: %s.", {FileName, reason}));
}

std::string ReadLngText(const std::string& FileName, TTextEncoding& Encoding) {
  CheckLngFileReadable(FileName);
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
  WriteFileReplacing(fileName, ShownTexts(fileName).Text(), TLinkReplace::lrReplaceLink);
}

void ReadLngFile(const std::string& Name) {
  TMemIniFile ini = OpenLngFile(Name.empty() ? ActiveLngFile() : Name);
  ApplyTexts(ini, false);
}

std::string ActiveLngFile() {
  // The user's own, or the installed one while the user has none.
  return FindLngFile(ExtractFileName(CurrentLngFile()));
}

void ApplyActiveLanguage() {
  if (NameInUse(ActiveLngFile())) ReadLngFile("");
}

void KeepBuiltInTexts() {
  BuiltInTexts() = ShownTexts("");
}

void RestoreBuiltInTexts() {
  if (BuiltInTexts()) ApplyTexts(*BuiltInTexts(), true);
}
