#include "toolkit/ui/local_file_names.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>

#include "toolkit/core/file_names.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/text_encoding.h"

namespace {

bool Exists(const std::string& fileName) {
  struct stat info {};
  return ::lstat(fileName.c_str(), &info) == 0;
}

// The folder's entry that Qt reads as `part`, when there is exactly one.
std::string EntryReadAs(const std::string& folder, const QString& part) {
  std::string found;
  int matches = 0;
  TSearchRec entry;
  for (int result = FindFirst(folder + "*", faAnyFile, entry); result == 0; result = FindNext(entry))
    if (QFile::decodeName(QByteArray::fromStdString(entry.Name)) == part) {
      found = entry.Name;
      ++matches;
    }
  FindEnd(entry);
  return matches == 1 ? found : std::string();
}

// The bytes of `name` (as Qt gives it) below the folder `local` (empty: the name as it stands).
std::string LocalBelow(std::string local, const QString& name) {
  const std::string asGiven = QFile::encodeName(name).toStdString();
  if (!name.contains(QChar::ReplacementCharacter) || Exists(local + asGiven)) return local + asGiven;
  const QStringList parts = name.split('/');
  for (qsizetype i = 0; i < parts.size(); ++i) {
    if (i > 0) local += '/';
    const QString& part = parts[i];
    std::string bytes = QFile::encodeName(part).toStdString();
    if (part.contains(QChar::ReplacementCharacter) && !Exists(local + bytes)) {
      const std::string entry = EntryReadAs(local.empty() ? "./" : local, part);
      if (!entry.empty()) bytes = entry;
    }
    local += bytes;
  }
  return local;
}

}  // namespace

std::string LocalFileName(const QString& name) {
  return LocalBelow({}, name);
}

QUrl LocalFileUrl(const std::string& fileName) {
  const QByteArray path = QByteArray::fromStdString(fileName).toPercentEncoding("/");
  return QUrl::fromEncoded("file://" + path, QUrl::StrictMode);
}

TDialogFolder::TDialogFolder(const std::string& folder) : FFolder(ExcludeTrailingPathDelimiter(folder)) {
  if (IsValidUtf8(FFolder) || !DirectoryExists(FFolder)) {
    FShown = QString::fromStdString(folder);
    return;
  }
  FLinks = std::make_unique<QTemporaryDir>();
  const std::string link = FLinks->path().toStdString() + "/" + EscapeName(ExtractFileName(FFolder));
  if (FLinks->isValid() && ::symlink(FFolder.c_str(), link.c_str()) == 0)
    FShown = QString::fromStdString(link);
}

TDialogFolder::~TDialogFolder() = default;

std::string TDialogFolder::LocalFileName(const QString& name) const {
  if (FLinks && !FShown.isEmpty()) {
    if (name == FShown) return FFolder;
    if (name.startsWith(FShown + '/')) return LocalBelow(FFolder, name.mid(FShown.size()));
  }
  return ::LocalFileName(name);
}
