#include "toolkit/ui/file_dialogs.h"

#include <filesystem>

#include "toolkit/ui/dialogs.h"

bool TOpenDialog::OpenInCurrentFolder = false;

namespace {

// The name with the default extension added when it has none.
std::string WithDefaultExt(const std::string& fileName, const std::string& defaultExt) {
  if (defaultExt.empty()) return fileName;
  const std::filesystem::path path(fileName);
  if (path.has_extension()) return fileName;
  return fileName + "." + defaultExt;
}

}  // namespace

bool TOpenDialog::Run(bool save) {
  TFileDialogRequest request;
  request.Title = Title;
  request.InitialDir = InitialDir;
  if (request.InitialDir.empty() && OpenInCurrentFolder) {
    std::error_code error;
    request.InitialDir = std::filesystem::current_path(error).string();
  }
  request.FileName = FileName;
  request.Filter = Filter;
  request.FilterIndex = FilterIndex;
  request.MultiSelect = (Options & ofAllowMultiSelect) != 0;
  request.OverwritePrompt = (Options & ofOverwritePrompt) != 0;
  request.MustExist = (Options & ofFileMustExist) != 0;
  const bool chosen = save ? Dialogs().SaveFile(request) : Dialogs().OpenFile(request);
  if (!chosen) return false;
  Files.clear();
  for (const std::string& file : request.Files) Files.push_back(WithDefaultExt(file, DefaultExt));
  FileName = Files.empty() ? WithDefaultExt(request.FileName, DefaultExt) : Files.front();
  FilterIndex = request.FilterIndex;
  return true;
}

bool TOpenDialog::Execute() {
  return Run(false);
}

bool TSaveDialog::Execute() {
  return Run(true);
}

bool TColorDialog::Execute() {
  return Dialogs().ChooseColor(Color);
}
