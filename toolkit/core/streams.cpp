#include "toolkit/core/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"

int64_t TStream::Read(void* buffer, int64_t count) {
  if (count <= 0) return 0;
  return Read(std::span<uint8_t>(static_cast<uint8_t*>(buffer), static_cast<size_t>(count)));
}

int64_t TStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  return Write(std::span<const uint8_t>(static_cast<const uint8_t*>(buffer), static_cast<size_t>(count)));
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError(WriteErrorMessage());
}

std::string TStream::WriteErrorMessage() const {
  return SWriteError;
}

int64_t TStream::Size() {
  const int64_t position = Seek(0, TSeekOrigin::soCurrent);
  const int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(position, TSeekOrigin::soBeginning);
  return size;
}

void TStream::SetSize(int64_t) {
  throw EStreamError(SWriteError);
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  if (count <= 0) return 0;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(count, 1 << 16)));
  int64_t left = count;
  while (left > 0) {
    const int64_t piece = std::min<int64_t>(left, static_cast<int64_t>(buffer.size()));
    source.ReadBuffer(buffer.data(), piece);
    WriteBuffer(buffer.data(), piece);
    left -= piece;
  }
  return count;
}

// --- TFileStream ---

namespace {

// Only regular files are streamed: the file is opened without blocking (a pipe without a writer
// would wait for one for good) and a pipe, a device or a folder is closed again at once. The
// system's reason when the file is refused, empty when it is kept.
std::string KeepRegularFile(int& handle) {
  struct stat info {};
  if (::fstat(handle, &info) != 0 || !S_ISREG(info.st_mode)) {
    const std::string reason = S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : SNotRegularFile;
    ::close(handle);
    handle = -1;
    return reason;
  }
  ::fcntl(handle, F_SETFL, ::fcntl(handle, F_GETFL) & ~O_NONBLOCK);
  return {};
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : FFileName(fileName) {
  if (mode == fmCreate || (mode & 0xFF00) == fmCreate) {
    FHandle = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    const std::string reason = FHandle < 0 ? std::strerror(errno) : KeepRegularFile(FHandle);
    // Emptied only once it is known to be a file.
    if (FHandle >= 0 && ::ftruncate(FHandle, 0) != 0) {
      ::close(FHandle);
      FHandle = -1;
      throw EFCreateError(Format(SFCreateErrorEx, {fileName, std::string(std::strerror(errno))}));
    }
    if (FHandle < 0) throw EFCreateError(Format(SFCreateErrorEx, {fileName, reason}));
    return;
  }
  int flags = O_CLOEXEC | O_NONBLOCK;
  switch (mode & 0x0003) {
    case fmOpenWrite:
      flags |= O_WRONLY;
      break;
    case fmOpenReadWrite:
      flags |= O_RDWR;
      break;
    default:
      flags |= O_RDONLY;
      break;
  }
  FHandle = ::open(fileName.c_str(), flags);
  if (FHandle >= 0) KeepRegularFile(FHandle);
  if (FHandle < 0) throw EFOpenError(Format(SFOpenError, {fileName}));
}

TFileStream::TFileStream(int handle, std::string fileName)
    : FFileName(std::move(fileName)), FHandle(handle) {}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

bool TFileStream::Close(bool flush) {
  if (FHandle < 0) return true;
  errno = 0;
  bool closed = !flush || ::fsync(FHandle) == 0;
  if (!closed) FWriteError = errno;
  if (::close(FHandle) != 0 && closed) {
    closed = false;
    FWriteError = errno;
  }
  FHandle = -1;
  return closed;
}

int64_t TFileStream::Read(std::span<uint8_t> buffer) {
  size_t done = 0;
  while (done < buffer.size()) {
    const ssize_t got = ::read(FHandle, buffer.data() + done, buffer.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<int64_t>(done);
}

int64_t TFileStream::Write(std::span<const uint8_t> buffer) {
  size_t done = 0;
  while (done < buffer.size()) {
    const ssize_t put = ::write(FHandle, buffer.data() + done, buffer.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      FWriteError = put < 0 ? errno : 0;
      break;
    }
    done += static_cast<size_t>(put);
  }
  return static_cast<int64_t>(done);
}

std::string TFileStream::WriteErrorMessage() const {
  return Format(SFWriteErrorEx,
                {FFileName, std::string(FWriteError != 0 ? std::strerror(FWriteError) : SShortWrite)});
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                     : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                        : SEEK_END;
  const off_t result = ::lseek(FHandle, static_cast<off_t>(offset), whence);
  return result < 0 ? -1 : static_cast<int64_t>(result);
}

void TFileStream::SetSize(int64_t size) {
  if (::ftruncate(FHandle, static_cast<off_t>(size)) != 0) throw EWriteError(SWriteError);
  if (Position() > size) SetPosition(size);
}

// --- TMemoryStream ---

int64_t TMemoryStream::Read(std::span<uint8_t> buffer) {
  const int64_t size = Size();
  if (FPosition < 0 || FPosition >= size) return 0;
  const int64_t count = std::min<int64_t>(static_cast<int64_t>(buffer.size()), size - FPosition);
  std::copy_n(FData.begin() + FPosition, count, buffer.begin());
  FPosition += count;
  return count;
}

int64_t TMemoryStream::Write(std::span<const uint8_t> buffer) {
  if (FPosition < 0 || buffer.empty()) return 0;
  int64_t end;
  // A stream that cannot grow that far takes nothing; WriteBuffer then reports the short write.
  if (__builtin_add_overflow(FPosition, static_cast<int64_t>(buffer.size()), &end) ||
      static_cast<uint64_t>(end) > FData.max_size())
    return 0;
  if (end > Size()) FData.resize(static_cast<size_t>(end));
  std::copy(buffer.begin(), buffer.end(), FData.begin() + FPosition);
  FPosition = end;
  return static_cast<int64_t>(buffer.size());
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  // Positions past the end are kept without allocating; only a write there grows the stream.
  const int64_t base = origin == TSeekOrigin::soBeginning ? 0
                       : origin == TSeekOrigin::soCurrent ? FPosition
                                                          : Size();
  int64_t position;
  if (__builtin_add_overflow(base, offset, &position)) return -1;
  FPosition = position;
  return FPosition;
}

void TMemoryStream::SetSize(int64_t size) {
  if (size > 0 && static_cast<uint64_t>(size) > FData.max_size()) throw EStreamError(SWriteError);
  FData.resize(static_cast<size_t>(std::max<int64_t>(size, 0)));
  if (FPosition > size) FPosition = size;
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const int64_t size = source.Size();
  SetSize(size);
  FPosition = 0;
  source.ReadBuffer(FData.data(), size);
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& target) {
  target.WriteBuffer(FData.data(), Size());
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
}
