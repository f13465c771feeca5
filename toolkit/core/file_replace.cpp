#include "toolkit/core/file_replace.h"

#include <fcntl.h>
#include <libgen.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"

namespace {

// The file a name stands for: a symbolic link is followed, so the link itself stays in place.
std::string ResolvedTarget(const std::string& fileName) {
  struct stat info {};
  if (::lstat(fileName.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return fileName;
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(fileName.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : fileName;
}

[[noreturn]] void RaiseCreateError(const std::string& fileName, const std::string& reason) {
  throw EFCreateError(Format(SFCreateErrorEx, {fileName, reason}));
}

// Makes the folder's entries (the rename) last as the file's bytes do.
void SyncFolderOf(const std::string& fileName) {
  std::string copy = fileName;
  const int folder = ::open(::dirname(copy.data()), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return;
  ::fsync(folder);
  ::close(folder);
}

}  // namespace

TFileReplacement::TFileReplacement(const std::string& fileName, TLinkReplace links)
    : FFileName(fileName),
      FTarget(links == TLinkReplace::lrFollowLink ? ResolvedTarget(fileName) : fileName) {
  struct stat existing {};
  // A link replaced as itself is a file of its own, whatever it points to.
  const int found = links == TLinkReplace::lrFollowLink ? ::stat(FTarget.c_str(), &existing)
                                                        : ::lstat(FTarget.c_str(), &existing);
  FReplacesFile = found == 0;
  if (FReplacesFile && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode))
    RaiseCreateError(fileName, S_ISDIR(existing.st_mode) ? std::strerror(EISDIR) : SNotRegularFile);
  if (FReplacesFile && S_ISREG(existing.st_mode) && ::access(FTarget.c_str(), W_OK) != 0)
    RaiseCreateError(fileName, std::strerror(errno));

  // A temporary file left by an earlier failure is replaced; anything else under that name (a folder
  // holding files) makes the write fail here.
  FTemporary = FTarget + ".tmp";
  ::unlink(FTemporary.c_str());
  const int handle = ::open(FTemporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (handle < 0) RaiseCreateError(fileName, std::strerror(errno));
  if (FReplacesFile && S_ISREG(existing.st_mode)) ::fchmod(handle, existing.st_mode & 07777);
  // Short writes name the target the user knows, not the temporary file.
  FStream = std::make_unique<TFileStream>(handle, fileName);
}

TFileReplacement::~TFileReplacement() {
  if (!FStream) return;
  FStream.reset();
  ::unlink(FTemporary.c_str());
}

TStream& TFileReplacement::Stream() {
  return *FStream;
}

void TFileReplacement::Commit() {
  // Only a file that replaces another must reach the disk before the rename: a new file risks nothing
  // of the user's, and a run of numbered steps should not wait for the disk after every picture.
  if (!FStream->Close(FReplacesFile)) throw EWriteError(FStream->WriteErrorMessage());
  if (std::rename(FTemporary.c_str(), FTarget.c_str()) != 0)
    RaiseCreateError(FFileName, std::strerror(errno));
  FStream.reset();
  if (FReplacesFile) SyncFolderOf(FTarget);
}

void WriteFileReplacing(const std::string& fileName, std::string_view contents, TLinkReplace links) {
  TFileReplacement file(fileName, links);
  file.Stream().WriteBuffer(contents.data(), static_cast<int64_t>(contents.size()));
  file.Commit();
}

void CopyFileReplacing(const std::string& source, const std::string& target, TLinkReplace links) {
  std::string contents;
  if (FileKindOf(source) == TFileKind::fkRegular) {
    const int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    bool read = fd >= 0;
    char buffer[65536];
    while (read) {
      const ssize_t count = ::read(fd, buffer, sizeof(buffer));
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) {
        read = count == 0;
        break;
      }
      contents.append(buffer, static_cast<size_t>(count));
    }
    if (fd >= 0) ::close(fd);
    if (read) {
      WriteFileReplacing(target, contents, links);
      return;
    }
  }
  throw EFOpenError(Format(SFOpenError, {source}));
}
