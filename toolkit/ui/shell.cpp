#include "toolkit/ui/shell.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>

#include <QApplication>
#include <QCollator>
#include <QDateTime>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <QPointer>
#include <QStandardPaths>

#include "toolkit/core/file_names.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/string_utils.h"
#include "toolkit/core/text_encoding.h"
#include "toolkit/ui/imglist.h"

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The system's words for the failures a shell call meets, French like the toolkit's own messages.
std::string SystemErrorText(int error) {
  switch (error) {
    case ENOENT:
      return "Le chemin d'accès spécifié est introuvable";
    case ENOTDIR:
      return "Nom de répertoire non valide";
    case EACCES:
    case EPERM:
      return "Accès refusé";
    case EINVAL:
      return "Paramètre incorrect";
    default:
      return std::string("Erreur système ") + std::to_string(error) + " (" + std::strerror(error) + ")";
  }
}

[[noreturn]] void RaiseShellError(int error, const std::string& path) {
  std::string message = SystemErrorText(error);
  if (!path.empty()) message += " : " + EscapeName(path);
  throw EOleSysError(std::move(message), error);
}

bool StatOf(const std::string& path, struct stat& info) {
  return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home && *home ? std::string(home) : QDir::homePath().toStdString();
}

// "/a/./b/../c/" -> "/a/c"; the root stays "/".
std::string NormalPath(const std::string& path) {
  std::string normal = std::filesystem::path(path).lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

const QMimeDatabase& MimeDatabase() {
  static const QMimeDatabase database;
  return database;
}

// The icons of the items, one per kind of item, and the provider that draws them.
class TSystemImageList : public TImageList {
 public:
  TSystemImageList() : TImageList(nullptr) { setParent(qApp); }
  // The icon is drawn for the file when Qt can name it, else for its kind of item.
  int IndexOf(const QFileInfo* info, QAbstractFileIconProvider::IconType type, const QString& kind) {
    const auto found = FIndices.find(kind);
    if (found != FIndices.end()) return found->second;
    const int index = Add(info ? FProvider.icon(*info) : FProvider.icon(type));
    FIndices.emplace(kind, index);
    return index;
  }

 private:
  QFileIconProvider FProvider;
  std::map<QString, int> FIndices;
};

// Qt names files by UTF-8 text; a path that is not UTF-8 is known here by its bytes alone.
bool QtCanName(const std::string& path) {
  return IsValidUtf8(path);
}

// The type of an item Qt cannot name: a folder, or a file typed by the extension of its name.
QMimeType MimeTypeOfBytes(const std::string& path, const struct stat& info) {
  if (S_ISDIR(info.st_mode)) return MimeDatabase().mimeTypeForName("inode/directory");
  return MimeDatabase().mimeTypeForFile(Q(EscapeName(ExtractFileName(path))), QMimeDatabase::MatchExtension);
}

TSystemImageList* SystemIcons() {
  static QPointer<TSystemImageList> list;
  if (!list) list = new TSystemImageList;
  return list;
}

}  // namespace

// ---- Item-id lists

std::string ConcatItemIdLists(const std::string& first, const std::string& second) {
  if (first.empty() || (!second.empty() && second.front() == '/')) return second;
  if (second.empty()) return first;
  return IncludeTrailingPathDelimiter(first) + second;
}

std::string StripLastItemId(const std::string& list) {
  if (list.empty() || list == "/") return {};
  const size_t slash = list.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : list.substr(0, slash);
}

// ---- Shell folders

std::string TShellFolder::ParseDisplayName(const std::string& displayName) const {
  std::string path = displayName;
  if (path.empty()) RaiseShellError(EINVAL, {});
  if (path == "~" || path.starts_with("~/")) path = HomeFolder() + path.substr(1);
  if (path.front() != '/') {
    const std::string base = FList.empty() ? GetCurrentDir() : FList;
    // A current folder that has been removed has no path: the name is then nowhere, not under "/".
    if (base.empty()) RaiseShellError(ENOENT, path);
    path = IncludeTrailingPathDelimiter(base) + path;
  }
  path = NormalPath(path);
  struct stat info {};
  if (!StatOf(path, info)) RaiseShellError(errno, path);
  return path;
}

TShellFolder TShellFolder::BindToObject(const std::string& list) const {
  const std::string path = ConcatItemIdLists(FList, list);
  if (path.empty()) RaiseShellError(EINVAL, {});
  struct stat info {};
  if (!StatOf(path, info)) RaiseShellError(errno, path);
  if (!S_ISDIR(info.st_mode)) RaiseShellError(ENOTDIR, path);
  return TShellFolder(path);
}

std::vector<std::string> TShellFolder::EnumObjects(uint32_t flags) const {
  std::vector<std::string> items;
  if ((flags & SHCONTF_FOLDERS) == 0) return items;
  if (FList.empty()) return {"/"};
  std::error_code error;
  std::filesystem::directory_iterator entry(FList, error);
  if (error) RaiseShellError(error.value(), FList);
  for (; entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    if (error) break;
    std::error_code ignored;  // an entry that vanished or cannot be read is no folder
    if (entry->is_directory(ignored)) items.push_back(entry->path().filename().string());
  }
  if (error) RaiseShellError(error.value(), FList);
  return items;
}

int TShellFolder::CompareIDs(int, const std::string& first, const std::string& second) const {
  static const QCollator collator = [] {
    // The C locale compares code points only; people's order is then the common one of every language.
    const QLocale system;
    QCollator made(system.language() == QLocale::C ? QLocale(QLocale::English) : system);
    made.setCaseSensitivity(Qt::CaseInsensitive);
    made.setNumericMode(true);
    return made;
  }();
  const int byName = collator.compare(Q(first), Q(second));
  return byName != 0 ? byName : CompareStr(first, second);
}

uint32_t TShellFolder::GetAttributesOf(const std::string& list, uint32_t asked) const {
  struct stat info {};
  if (!StatOf(ConcatItemIdLists(FList, list), info)) return 0;
  return S_ISDIR(info.st_mode) ? (asked & SFGAO_FOLDER) : 0;
}

std::string TShellFolder::GetDisplayNameOf(const std::string& list, uint32_t flags) const {
  const std::string path = ConcatItemIdLists(FList, list);
  if ((flags & SHGDN_FORPARSING) != 0 || path == "/") return path;
  return ExtractFileName(path);
}

// ---- What the shell tells about an item

bool SHGetDataFromIDList(const TShellFolder& folder, const std::string& list, TWin32FindData& data) {
  const std::string path = ConcatItemIdLists(folder.ItemIdList(), list);
  struct stat info {};
  if (!StatOf(path, info)) return false;
  data = {};
  if (S_ISDIR(info.st_mode)) data.FileAttributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (::access(path.c_str(), W_OK) != 0) data.FileAttributes |= FILE_ATTRIBUTE_READONLY;
  const std::string name = ExtractFileName(path);
  if (name.size() > 1 && name[0] == '.' && name != "..") data.FileAttributes |= FILE_ATTRIBUTE_HIDDEN;
  data.FileSize = static_cast<int64_t>(info.st_size);
  data.LastWriteTime = info.st_mtime;
  return true;
}

std::string ShellTypeName(const std::string& list) {
  if (!QtCanName(list)) {
    struct stat info {};
    return StatOf(list, info) ? MimeTypeOfBytes(list, info).comment().left(79).toStdString() : std::string();
  }
  const QFileInfo info(Q(list));
  if (!info.exists()) return {};
  return MimeDatabase().mimeTypeForFile(info).comment().left(79).toStdString();
}

int ShellIconIndex(const std::string& list) {
  if (!QtCanName(list)) {
    struct stat info {};
    const bool found = StatOf(list, info);
    const bool folder = found && S_ISDIR(info.st_mode);
    QString kind = found ? MimeTypeOfBytes(list, info).name() : QString("application/octet-stream");
    struct stat link {};
    if (::lstat(list.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) kind += "+link";
    // The same kinds as the items Qt can name, so that a folder has the icon of every folder.
    return SystemIcons()->IndexOf(
        nullptr, folder ? QAbstractFileIconProvider::Folder : QAbstractFileIconProvider::File, kind);
  }
  const QFileInfo info(Q(list));
  QString kind = MimeDatabase().mimeTypeForFile(info).name();
  if (info.isSymLink()) kind += "+link";
  if (info.isRoot()) kind += "+root";
  return SystemIcons()->IndexOf(&info, QAbstractFileIconProvider::File, kind);
}

TImageList* SystemImageList() {
  return SystemIcons();
}

std::string ShortDateTimeText(std::time_t time) {
  return QLocale().toString(QDateTime::fromSecsSinceEpoch(time), QLocale::ShortFormat).toStdString();
}

// ---- Special folders

namespace {

std::string StandardFolder(QStandardPaths::StandardLocation location, const char* below = nullptr) {
  std::string folder = QStandardPaths::writableLocation(location).toStdString();
  if (folder.empty()) return {};
  return below ? IncludeTrailingPathDelimiter(folder) + below : folder;
}

std::string SpecialFolder(int csidl) {
  switch (csidl) {
    case 0:   // desktop
    case 16:  // desktop directory
      return StandardFolder(QStandardPaths::DesktopLocation);
    case 2:   // programs
    case 11:  // start menu
      return StandardFolder(QStandardPaths::ApplicationsLocation);
    case 5:  // personal
      return StandardFolder(QStandardPaths::DocumentsLocation);
    case 7:  // startup
      return StandardFolder(QStandardPaths::GenericConfigLocation, "autostart");
    case 20:  // fonts
      return StandardFolder(QStandardPaths::FontsLocation);
    case 21:  // templates
      return StandardFolder(QStandardPaths::TemplatesLocation);
    case 22:  // common start menu
    case 23:  // common programs
      return "/usr/share/applications";
    case 24:  // common startup
      return "/etc/xdg/autostart";
    case 26:  // application data
      return StandardFolder(QStandardPaths::GenericDataLocation);
    case 32:  // internet cache
      return StandardFolder(QStandardPaths::GenericCacheLocation);
    default:  // virtual folders, and the ones this desktop has no place for ("Send To" among them)
      return {};
  }
}

}  // namespace

bool SHGetSpecialFolderPath(int csidl, bool create, std::string& path) {
  path = SpecialFolder(csidl);
  if (!path.empty() && create) ForceDirectories(path);
  return !path.empty();
}
