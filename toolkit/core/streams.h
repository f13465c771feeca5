#pragma once
// Byte streams: an abstract stream with 64-bit positions, a file stream and a memory stream.
// Read and Write return the count moved; ReadBuffer and WriteBuffer raise on a short transfer.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;

  // Moves up to buffer.size() bytes; returns how many were moved.
  virtual int64_t Read(std::span<uint8_t> buffer) = 0;
  virtual int64_t Write(std::span<const uint8_t> buffer) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  int64_t Read(void* buffer, int64_t count);
  int64_t Write(const void* buffer, int64_t count);

  // Raise EReadError / EWriteError when fewer bytes than asked could be moved.
  void ReadBuffer(void* buffer, int64_t count);
  void ReadBuffer(std::span<uint8_t> buffer) {
    ReadBuffer(buffer.data(), static_cast<int64_t>(buffer.size()));
  }
  void WriteBuffer(const void* buffer, int64_t count);
  void WriteBuffer(std::span<const uint8_t> buffer) {
    WriteBuffer(buffer.data(), static_cast<int64_t>(buffer.size()));
  }

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t size);

  // Copies count bytes from source (the whole source from its start when count is 0).
  int64_t CopyFrom(TStream& source, int64_t count);

  // Reads a little-endian value of type T (raising on a short read).
  template <class T>
  T ReadValue() {
    T value{};
    ReadBuffer(&value, sizeof(T));
    return value;
  }

 protected:
  // The message of the error WriteBuffer raises on a short write.
  virtual std::string WriteErrorMessage() const;
};

// Open modes and sharing flags, combined with |.
inline constexpr uint16_t fmCreate = 0xFF00;
inline constexpr uint16_t fmOpenRead = 0x0000;
inline constexpr uint16_t fmOpenWrite = 0x0001;
inline constexpr uint16_t fmOpenReadWrite = 0x0002;
inline constexpr uint16_t fmShareCompat = 0x0000;
inline constexpr uint16_t fmShareExclusive = 0x0010;
inline constexpr uint16_t fmShareDenyWrite = 0x0020;
inline constexpr uint16_t fmShareDenyRead = 0x0030;
inline constexpr uint16_t fmShareDenyNone = 0x0040;

class TFileStream : public TStream {
 public:
  // fmCreate creates or truncates the file (EFCreateError on failure); the other modes open an
  // existing file (EFOpenError on failure). Sharing flags are accepted; POSIX has no mandatory locks.
  TFileStream(const std::string& fileName, uint16_t mode);
  // Takes over a handle already open on a regular file; messages name the file as fileName.
  TFileStream(int handle, std::string fileName);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  using TStream::Read;
  using TStream::Write;
  int64_t Read(std::span<uint8_t> buffer) override;
  int64_t Write(std::span<const uint8_t> buffer) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;
  const std::string& FileName() const { return FFileName; }
  // Flushes the file to the disk when asked, and closes it; false when either fails (the write error
  // message then says why). Nothing can be read or written afterwards.
  bool Close(bool flush);

  // Names the file and the system's reason for the last short write (a full disk, say).
  std::string WriteErrorMessage() const override;

 private:
  std::string FFileName;
  int FHandle = -1;
  int FWriteError = 0;  // errno of the last write that failed
};

// A stream over a growing byte buffer. Seeking past the end allocates nothing (a read there gives 0
// bytes); a write there first fills the gap with zeros. A position before the start reads and writes
// nothing.
class TMemoryStream : public TStream {
 public:
  using TStream::Read;
  using TStream::Write;
  int64_t Read(std::span<uint8_t> buffer) override;
  int64_t Write(std::span<const uint8_t> buffer) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(FData.size()); }
  void SetSize(int64_t size) override;

  void Clear();
  void LoadFromStream(TStream& source);
  void LoadFromFile(const std::string& fileName);
  void SaveToStream(TStream& target);
  void SaveToFile(const std::string& fileName);

  uint8_t* Memory() { return FData.data(); }
  std::span<const uint8_t> Bytes() const { return FData; }

 private:
  std::vector<uint8_t> FData;
  int64_t FPosition = 0;
};
