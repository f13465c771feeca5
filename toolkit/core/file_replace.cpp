#include "toolkit/core/file_replace.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"

namespace {

// Links followed at most before a name counts as a loop, as the system itself counts.
constexpr int kMaxLinkHops = 40;
// The temporary file's name: the target's name, a dot, random letters and ".tmp".
constexpr size_t kRandomLetters = 8;
constexpr std::string_view kTemporaryExtension = ".tmp";
// Names tried before giving up; each is taken by someone else only by a one-in-2^47 chance, so more
// than one try means a folder crowded on purpose.
constexpr int kNameTries = 64;

[[noreturn]] void RaiseCreateError(const std::string& fileName, int error) {
  throw EFCreateError(Format(SFCreateErrorEx, {fileName, std::string(std::strerror(error))}));
}

[[noreturn]] void RaiseCreateError(const std::string& fileName, const std::string& reason) {
  throw EFCreateError(Format(SFCreateErrorEx, {fileName, reason}));
}

// The name a symbolic link leads to in the end, followed link by link so that a link whose file does
// not exist yet leads to the name that file will have. A relative link counts from its own folder.
std::string FollowLinks(const std::string& fileName) {
  std::string name = fileName;
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    struct stat info {};
    if (::lstat(name.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return name;
    std::error_code error;
    const std::string points = std::filesystem::read_symlink(name, error).native();
    if (error || points.empty()) return name;
    name = points.front() == PathDelim ? points : ExtractFilePath(name) + points;
  }
  RaiseCreateError(fileName, ELOOP);
}

// Why an existing regular file may not be replaced, 0 when it may. The system's answer decides, but
// the superuser passes every check of permissions: for it a file that no one may write by its mode
// is refused by that mode, as it is for everyone else.
int WriteRefusal(const std::string& fileName, const struct stat& info) {
  if (::access(fileName.c_str(), W_OK) != 0) return errno;
  return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ? EACCES : 0;
}

// Letters that no other process and no earlier call of this one is likely to pick: the system's
// random bytes, or, should they be unavailable, the clock, the process and a count mixed together.
std::string RandomLetters() {
  static constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::atomic<uint64_t> count{0};
  uint8_t bytes[kRandomLetters];
  if (::getrandom(bytes, sizeof(bytes), GRND_NONBLOCK) != static_cast<ssize_t>(sizeof(bytes))) {
    uint64_t mixed = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                     (static_cast<uint64_t>(::getpid()) << 40) ^ (++count * 0x9E3779B97F4A7C15ULL);
    for (uint8_t& byte : bytes) {
      mixed = (mixed ^ (mixed >> 31)) * 0xBF58476D1CE4E5B9ULL;
      byte = static_cast<uint8_t>(mixed >> 56);
    }
  }
  std::string letters;
  for (const uint8_t byte : bytes) letters += kAlphabet[byte % kAlphabet.size()];
  return letters;
}

// The name part kept for the temporary file: at most `room` bytes, not cut inside a UTF-8 character.
std::string ShortenedName(const std::string& name, size_t room) {
  if (name.size() <= room) return name;
  size_t cut = room;
  // A continuation byte starts no character; a character has at most three of them.
  for (int back = 0; back < 3 && cut > 0 && (static_cast<uint8_t>(name[cut]) & 0xC0) == 0x80; ++back) --cut;
  return name.substr(0, cut);
}

// A temporary file beside the target, made where no file stands (O_EXCL also refuses a link there);
// returns its handle and sets `temporary` to its name, or raises naming the target.
int CreateTemporaryFile(const std::string& target, const std::string& fileName, std::string& temporary) {
  const std::string folder = ExtractFilePath(target);
  const std::string name =
      ShortenedName(ExtractFileName(target), NAME_MAX - 1 - kRandomLetters - kTemporaryExtension.size());
  for (int attempt = 0; attempt < kNameTries; ++attempt) {
    temporary = folder + name + "." + RandomLetters() + std::string(kTemporaryExtension);
    const int handle = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (handle >= 0) return handle;
    if (errno != EEXIST) break;
  }
  RaiseCreateError(fileName, errno);
}

// Makes the folder's entries (the rename) last as the file's bytes do.
void SyncFolderOf(const std::string& fileName) {
  const std::string folder = ExtractFilePath(fileName);
  const int handle = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) return;
  ::fsync(handle);
  ::close(handle);
}

}  // namespace

TFileReplacement::TFileReplacement(const std::string& fileName, TLinkReplace links)
    : FFileName(fileName), FTarget(links == TLinkReplace::lrFollowLink ? FollowLinks(fileName) : fileName) {
  struct stat existing {};
  // A link replaced as itself is a file of its own, whatever it points to.
  FReplacesFile = ::lstat(FTarget.c_str(), &existing) == 0;
  if (FReplacesFile && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode))
    RaiseCreateError(fileName, S_ISDIR(existing.st_mode) ? std::strerror(EISDIR) : SNotRegularFile);
  if (FReplacesFile && S_ISREG(existing.st_mode)) {
    if (const int refusal = WriteRefusal(FTarget, existing)) RaiseCreateError(fileName, refusal);
  }

  const int handle = CreateTemporaryFile(FTarget, fileName, FTemporary);
  struct stat made {};
  ::fstat(handle, &made);
  FTemporaryDevice = made.st_dev;
  FTemporaryInode = made.st_ino;
  if (FReplacesFile && S_ISREG(existing.st_mode)) ::fchmod(handle, existing.st_mode & 07777);
  // Short writes name the target the user knows, not the temporary file.
  FStream = std::make_unique<TFileStream>(handle, fileName);
}

TFileReplacement::~TFileReplacement() {
  FStream.reset();
  if (!FCommitted) RemoveTemporary();
}

TStream& TFileReplacement::Stream() {
  return *FStream;
}

void TFileReplacement::Commit() {
  // Only a file that replaces another must reach the disk before the rename: a new file risks nothing
  // of the user's, and a run of numbered steps should not wait for the disk after every picture.
  if (!FStream->Close(FReplacesFile)) throw EWriteError(FStream->WriteErrorMessage());
  if (std::rename(FTemporary.c_str(), FTarget.c_str()) != 0) RaiseCreateError(FFileName, errno);
  FCommitted = true;
  FStream.reset();
  if (FReplacesFile) SyncFolderOf(FTarget);
}

void TFileReplacement::RemoveTemporary() {
  struct stat found {};
  if (::lstat(FTemporary.c_str(), &found) == 0 && found.st_dev == FTemporaryDevice &&
      found.st_ino == FTemporaryInode)
    ::unlink(FTemporary.c_str());
}

void WriteFileReplacing(const std::string& fileName, std::string_view contents, TLinkReplace links) {
  TFileReplacement file(fileName, links);
  file.Stream().WriteBuffer(contents.data(), static_cast<int64_t>(contents.size()));
  file.Commit();
}

void CopyFileReplacing(const std::string& source, const std::string& target, TLinkReplace links) {
  // The file stream opens without blocking and keeps only a regular file, judged by the opened
  // handle: a pipe put in the source's place a moment before is refused, never waited on.
  TMemoryStream contents;
  try {
    contents.LoadFromFile(source);
  } catch (const EFOpenError&) {
    throw;
  } catch (const EStreamError&) {
    throw EFOpenError(Format(SFOpenError, {source}));
  }
  const std::span<const uint8_t> bytes = contents.Bytes();
  WriteFileReplacing(target, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                     links);
}
