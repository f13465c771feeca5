#include "toolkit/core/file_system.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "toolkit/core/file_names.h"
#include "toolkit/core/string_utils.h"

struct TFindState {
  std::vector<TSearchRec> Matches;
  size_t Next = 0;
};

namespace {

bool StatOf(const std::string& name, struct stat& info) {
  return !name.empty() && ::stat(name.c_str(), &info) == 0;
}

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

// Wildcard match, letter case ignored; iterative with back-tracking to the last "*".
bool MatchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*") mask = "*";
  size_t n = 0, m = 0;
  size_t starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || AsciiUpper(mask[m]) == AsciiUpper(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

int AttributesOf(const std::string& name, const struct stat& info) {
  int attr = 0;
  if (S_ISDIR(info.st_mode))
    attr |= faDirectory;
  else if (!S_ISREG(info.st_mode))
    attr |= faSysFile;
  if (name.size() > 1 && name[0] == '.' && name != "..") attr |= faHidden;
  if ((info.st_mode & S_IWUSR) == 0) attr |= faReadOnly;
  return attr;
}

void Publish(TSearchRec& rec) {
  const TSearchRec& match = rec.FindState->Matches[rec.FindState->Next++];
  rec.Name = match.Name;
  rec.Size = match.Size;
  rec.Attr = match.Attr;
  rec.Time = match.Time;
}

}  // namespace

bool FileExists(const std::string& fileName) {
  struct stat info {};
  return StatOf(fileName, info) && !S_ISDIR(info.st_mode);
}

TFileKind FileKindOf(const std::string& fileName, int* error) {
  struct stat info {};
  if (!StatOf(fileName, info)) {
    if (error) *error = fileName.empty() ? ENOENT : errno;
    return TFileKind::fkMissing;
  }
  if (S_ISREG(info.st_mode)) return TFileKind::fkRegular;
  return S_ISDIR(info.st_mode) ? TFileKind::fkDirectory : TFileKind::fkOther;
}

bool DirectoryExists(const std::string& directory) {
  struct stat info {};
  return StatOf(directory, info) && S_ISDIR(info.st_mode);
}

bool ForceDirectories(const std::string& directory) {
  if (directory.empty()) return false;
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  return DirectoryExists(directory);
}

bool DeleteFile(const std::string& fileName) {
  struct stat info {};
  if (::lstat(fileName.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  return ::unlink(fileName.c_str()) == 0;
}

bool CopyFile(const std::string& existingFileName, const std::string& newFileName, bool failIfExists) {
  if (!FileExists(existingFileName) || DirectoryExists(newFileName)) return false;
  std::error_code error;
  const auto options =
      failIfExists ? std::filesystem::copy_options::none : std::filesystem::copy_options::overwrite_existing;
  return std::filesystem::copy_file(existingFileName, newFileName, options, error) && !error;
}

std::string GetCurrentDir() {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::current_path(error);
  return error ? std::string() : path.string();
}

bool SetCurrentDir(const std::string& directory) {
  return !directory.empty() && ::chdir(directory.c_str()) == 0;
}

int FindFirst(const std::string& path, int attr, TSearchRec& rec) {
  FindEnd(rec);
  const std::string folderPart = ExtractFilePath(path);
  const std::string folder = folderPart.empty() ? std::string(".") : folderPart;
  const std::string mask = ExtractFileName(path);
  DIR* directory = ::opendir(folder.c_str());
  if (!directory) return errno != 0 ? errno : ENOENT;
  auto state = std::make_shared<TFindState>();
  const int excluded = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
  while (const dirent* entry = ::readdir(directory)) {
    const std::string name = entry->d_name;
    if (!MatchesMask(name, mask)) continue;
    struct stat info {};
    const std::string full = IncludeTrailingPathDelimiter(folder) + name;
    // A dangling link is still an entry of the folder: describe the link itself.
    if (::stat(full.c_str(), &info) != 0 && ::lstat(full.c_str(), &info) != 0) continue;
    TSearchRec match;
    match.Name = name;
    match.Attr = AttributesOf(name, info);
    if ((match.Attr & excluded) != 0) continue;
    match.Size = static_cast<int64_t>(info.st_size);
    match.Time = info.st_mtime;
    state->Matches.push_back(std::move(match));
  }
  ::closedir(directory);
  if (state->Matches.empty()) return ERROR_NO_MORE_FILES;
  std::sort(state->Matches.begin(), state->Matches.end(), [](const TSearchRec& a, const TSearchRec& b) {
    const int byText = CompareText(a.Name, b.Name);
    return byText != 0 ? byText < 0 : CompareStr(a.Name, b.Name) < 0;
  });
  rec.FindState = std::move(state);
  Publish(rec);
  return 0;
}

int FindNext(TSearchRec& rec) {
  if (!rec.FindState || rec.FindState->Next >= rec.FindState->Matches.size()) return ERROR_NO_MORE_FILES;
  Publish(rec);
  return 0;
}

void FindEnd(TSearchRec& rec) {
  rec.FindState.reset();
}
