#include "toolkit/core/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "toolkit/core/exceptions.h"
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

bool WriteAll(int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t written = ::write(fd, contents.data(), contents.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    contents.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

void WriteFileReplacing(const std::string& fileName, std::string_view contents, TLinkReplace links) {
  const std::string target = links == TLinkReplace::lrFollowLink ? ResolvedTarget(fileName) : fileName;
  const std::string temporary = target + ".tmp";
  // A temporary file left by an earlier failure is replaced; anything else under that name (a folder
  // holding files) makes the write fail below.
  ::unlink(temporary.c_str());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) throw EFCreateError(Format(SFCreateError, {fileName}));
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) ::fchmod(fd, existing.st_mode & 07777);
  errno = 0;
  const bool written = WriteAll(fd, contents) && ::fsync(fd) == 0;
  int failure = written ? 0 : errno;
  if (::close(fd) != 0 && failure == 0) failure = errno != 0 ? errno : EIO;
  if (!written || failure != 0) {
    ::unlink(temporary.c_str());
    // A full disk says so, with the file's name, as every other write of the program does.
    throw EWriteError(
        Format(SFWriteErrorEx, {fileName, std::string(failure != 0 ? std::strerror(failure) : SShortWrite)}));
  }
  if (std::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    throw EFCreateError(Format(SFCreateError, {fileName}));
  }
}

void CopyFileReplacing(const std::string& source, const std::string& target, TLinkReplace links) {
  const int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  bool read = fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  std::string contents;
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
  if (!read) throw EFOpenError(Format(SFOpenError, {source}));
  WriteFileReplacing(target, contents, links);
}
