// Replacing a file through a temporary one: links, permissions, copies and failures.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <iterator>

#include <filesystem>

#include "tests/support/test_files.h"
#include "tests/toolkit/core/core_test_support.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_replace.h"

namespace {

std::string Contents(const std::string& fileName) {
  const std::vector<uint8_t> bytes = ReadWholeFile(fileName);
  return {bytes.begin(), bytes.end()};
}

TEST(FileReplaceTest, ReplacesTheFileBehindALinkAndKeepsItsPermissions) {
  TempDir temp;
  const std::string target = temp.File("target.lng");
  WriteWholeFile(target, Bytes("old"));
  ::chmod(target.c_str(), 0640);
  std::filesystem::create_symlink(target, temp.File("link.lng"));
  WriteFileReplacing(temp.File("link.lng"), "new\r\n");
  EXPECT_TRUE(std::filesystem::is_symlink(temp.File("link.lng")));
  EXPECT_EQ(Contents(target), "new\r\n");
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);

  CopyFileReplacing(temp.File("link.lng"), temp.File("copy.lng"));
  EXPECT_EQ(Contents(temp.File("copy.lng")), "new\r\n");
  for (const auto& entry : std::filesystem::directory_iterator(temp.Path()))
    EXPECT_NE(entry.path().extension(), ".tmp");
}

TEST(FileReplaceTest, ReplacingALinkItselfLeavesTheFileItPointsTo) {
  TempDir temp;
  const std::string mine = temp.File("mine.lng");
  WriteWholeFile(mine, Bytes("[FormMain]\r\nCaption=mine\r\n"));
  const std::string current = temp.File("lng/current.lng");
  std::filesystem::create_directories(temp.File("lng"));
  std::filesystem::create_symlink(mine, current);
  WriteWholeFile(temp.File("lng/fr.lng"), Bytes("fr"));
  CopyFileReplacing(temp.File("lng/fr.lng"), current, TLinkReplace::lrReplaceLink);
  EXPECT_FALSE(std::filesystem::is_symlink(current));
  EXPECT_EQ(Contents(current), "fr");
  EXPECT_EQ(Contents(mine), "[FormMain]\r\nCaption=mine\r\n");
  // A link that leads nowhere is replaced the same way.
  std::filesystem::create_symlink(temp.File("nowhere.lng"), temp.File("lng/dangling.lng"));
  WriteFileReplacing(temp.File("lng/dangling.lng"), "new", TLinkReplace::lrReplaceLink);
  EXPECT_EQ(Contents(temp.File("lng/dangling.lng")), "new");
  EXPECT_FALSE(std::filesystem::exists(temp.File("nowhere.lng")));
}

TEST(FileReplaceTest, FailuresRaiseAndLeaveTheTargetAlone) {
  TempDir temp;
  const std::string target = temp.File("target.lng");
  WriteWholeFile(target, Bytes("old"));
  EXPECT_THROW(CopyFileReplacing(temp.File("missing.lng"), target), EFOpenError);
  EXPECT_THROW(CopyFileReplacing(temp.Path().string(), target), EFOpenError);  // a folder
  std::filesystem::create_directories(target + ".tmp/busy");
  EXPECT_THROW(WriteFileReplacing(target, "new"), EFCreateError);
  std::filesystem::remove_all(target + ".tmp");
  EXPECT_THROW(WriteFileReplacing(temp.File("no/such/folder.lng"), "new"), EFCreateError);
  // The target itself is a folder with files: refused, and no temporary file is left.
  std::filesystem::create_directories(temp.File("dir.lng/x"));
  EXPECT_THROW(WriteFileReplacing(temp.File("dir.lng"), "new"), EFCreateError);
  EXPECT_FALSE(std::filesystem::exists(temp.File("dir.lng.tmp")));
  EXPECT_EQ(Contents(target), "old");
  // A replacement dropped before it was committed (an exception while writing) leaves the target.
  {
    TFileReplacement file(target);
    file.Stream().WriteBuffer("half", 4);
  }
  EXPECT_EQ(Contents(target), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 2);
}

// A pipe or a device where a file is to be written, directly or through a link, is refused with the
// name and the reason before anything is opened: no write blocks on a pipe, none goes into a device.
TEST(FileReplaceTest, APipeOrADeviceIsNotReplaced) {
  TempDir temp;
  const std::string pipe = temp.File("pipe.bmp");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string device = temp.File("device.bmp");
  std::filesystem::create_symlink("/dev/null", device);
  for (const std::string& name : {pipe, device}) {
    SCOPED_TRACE(name);
    try {
      WriteFileReplacing(name, "new");
      ADD_FAILURE() << "written";
    } catch (const EFCreateError& error) {
      EXPECT_EQ(error.Message(),
                "Impossible de créer le fichier " + name + " : ce n'est pas un fichier ordinaire");
    }
  }
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
  EXPECT_TRUE(std::filesystem::is_symlink(device));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 2);
}

// A write that the system cuts short (a full disk; here a file-size limit, set in a child process of
// its own) names the file and the system's reason, and leaves the target and no temporary file.
TEST(FileReplaceTest, AWriteCutShortNamesTheFileAndTheReason) {
  TempDir temp;
  const std::string target = temp.File("target.lng");
  WriteWholeFile(target, Bytes("old"));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1024, 1024};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(2);
    try {
      WriteFileReplacing(target, std::string(65536, 'x'));
    } catch (const EWriteError& error) {
      _exit(error.Message() == "Erreur d'écriture du fichier " + target + " : File too large" ? 0 : 1);
    } catch (...) {
    }
    _exit(1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Contents(target), "old");
  EXPECT_FALSE(std::filesystem::exists(target + ".tmp"));
}

}  // namespace
