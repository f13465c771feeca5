#include "toolkit/core/streams.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <vector>

#include "tests/support/test_files.h"
#include "tests/toolkit/core/core_test_support.h"
#include "toolkit/core/exceptions.h"

namespace {

constexpr int64_t kFiveGiB = int64_t{5} << 30;

TEST(MemoryStreamTest, ReadReturnsTheCountReadBufferAndWriteBufferRaise) {
  TMemoryStream stream;
  stream.WriteBuffer("abc", 3);
  EXPECT_EQ(stream.Position(), 3);
  stream.SetPosition(1);
  std::array<uint8_t, 8> buffer{};
  EXPECT_EQ(stream.Read(buffer.data(), 8), 2);
  EXPECT_EQ(buffer[1], 'c');
  EXPECT_EQ(stream.Read(buffer.data(), 8), 0);
  EXPECT_EQ(stream.Read(buffer.data(), -3), 0);
  stream.SetPosition(1);
  EXPECT_EQ(RaisedMessage<EReadError>([&] { stream.ReadBuffer(buffer.data(), 3); }),
            "Erreur de lecture du flux");
  stream.SetPosition(0);
  stream.ReadBuffer(std::span<uint8_t>(buffer.data(), 3));
  EXPECT_EQ(buffer[0], 'a');
  EXPECT_THROW(stream.ReadValue<uint32_t>(), EReadError);
  // A stream placed before its start takes nothing.
  stream.Seek(-10, TSeekOrigin::soBeginning);
  EXPECT_EQ(stream.Read(buffer.data(), 1), 0);
  EXPECT_THROW(stream.WriteBuffer("x", 1), EWriteError);
}

TEST(MemoryStreamTest, GrowsWithZerosCopiesAndUsesFiles) {
  TMemoryStream stream;
  stream.SetPosition(3);
  stream.WriteBuffer("z", 1);
  EXPECT_EQ(std::vector<uint8_t>(stream.Bytes().begin(), stream.Bytes().end()),
            (std::vector<uint8_t>{0, 0, 0, 'z'}));
  stream.SetSize(2);
  EXPECT_EQ(stream.Position(), 2);
  stream.Clear();
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(stream.Position(), 0);

  TempDir dir;
  TMemoryStream source;
  source.WriteBuffer("0123456789", 10);
  TMemoryStream target;
  EXPECT_EQ(target.CopyFrom(source, 0), 10);
  source.SetPosition(8);
  EXPECT_THROW(target.CopyFrom(source, 5), EReadError);
  target.SaveToFile(dir.File("m.bin"));
  EXPECT_EQ(ReadWholeFile(dir.File("m.bin")), Bytes("0123456789"));
  TMemoryStream loaded;
  loaded.LoadFromFile(dir.File("m.bin"));
  EXPECT_EQ(loaded.Size(), 10);
  EXPECT_EQ(loaded.Position(), 0);
}

// A pipe (which blocks an open for reading until someone writes) and a device are refused at once, for
// reading as for writing; the pipe is left as it was.
TEST(FileStreamTest, PipesAndDevicesAreRefusedWithoutWaiting) {
  TempDir dir;
  const std::string pipe = dir.File("pipe.jpg");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& name : {pipe, std::string("/dev/zero")}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(TFileStream(name, fmOpenRead | fmShareDenyWrite), EFOpenError);
    EXPECT_EQ(RaisedMessage<EFCreateError>([&] { TFileStream(name, fmCreate); }),
              "Impossible de créer le fichier " + name + " : ce n'est pas un fichier ordinaire");
  }
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
}

TEST(FileStreamTest, OpenErrorsCreateTruncatesAndModesWork) {
  TempDir dir;
  EXPECT_EQ(RaisedMessage<EFOpenError>([&] { TFileStream(dir.File("missing.bmp"), fmOpenRead); }),
            "Impossible d'ouvrir le fichier " + dir.File("missing.bmp"));
  EXPECT_THROW(TFileStream(dir.Path().string(), fmOpenRead | fmShareDenyWrite), EFOpenError);
  EXPECT_THROW(TFileStream(dir.File("no/such/folder/x.bmp"), fmCreate), EFCreateError);
  EXPECT_THROW(TFileStream(dir.Path().string(), fmCreate), EFCreateError);

  const std::string name = dir.File("f.bin");
  WriteWholeFile(name, Bytes("old contents"));
  {
    TFileStream stream(name, fmCreate);
    EXPECT_EQ(stream.Size(), 0);
    stream.WriteBuffer("new", 3);
  }
  EXPECT_EQ(ReadWholeFile(name), Bytes("new"));
  {
    TFileStream stream(name, fmOpenReadWrite | fmShareExclusive);
    stream.Seek(0, TSeekOrigin::soEnd);
    stream.WriteBuffer("er", 2);
    stream.SetPosition(0);
    std::array<uint8_t, 16> buffer{};
    EXPECT_EQ(stream.Read(buffer.data(), 16), 5);
    EXPECT_THROW(stream.ReadBuffer(buffer.data(), 1), EReadError);
    stream.SetSize(2);
    EXPECT_EQ(stream.Position(), 2);
  }
  EXPECT_EQ(ReadWholeFile(name), Bytes("ne"));
  {
    TFileStream reader(name, fmOpenRead);
    EXPECT_THROW(reader.WriteBuffer("x", 1), EWriteError);
    EXPECT_EQ(reader.Seek(kFiveGiB, TSeekOrigin::soBeginning), kFiveGiB);
    uint8_t byte;
    EXPECT_EQ(reader.Read(&byte, 1), 0);
  }
  TFileStream writer(name, fmOpenWrite);
  uint8_t byte;
  EXPECT_EQ(writer.Read(&byte, 1), 0);
}

}  // namespace
