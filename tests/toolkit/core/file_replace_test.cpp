// Replacing a file through a temporary one: links, permissions, copies and failures.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>

#include "tests/support/test_files.h"
#include "tests/toolkit/core/core_test_support.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_replace.h"

namespace {

using Names = std::vector<std::string>;

std::string Contents(const std::string& fileName) {
  const std::vector<uint8_t> bytes = ReadWholeFile(fileName);
  return {bytes.begin(), bytes.end()};
}

// The names in a folder, sorted: what a replacement leaves behind.
Names Entries(const std::filesystem::path& folder) {
  Names names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
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
  EXPECT_EQ(Entries(temp.Path()), (Names{"dir.lng", "target.lng"}));
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
  EXPECT_EQ(Entries(temp.Path()), Names{"target.lng"});
}

// Files of the user's own beside the target, whatever their names (the old fixed "<name>.tmp" among
// them) and kinds, are neither opened nor deleted nor changed; the replacement leaves no file of its own.
TEST(FileReplaceTest, FilesBesideTheTargetAreNeverTouched) {
  struct Case {
    const char* what;
    std::function<void(const std::string& name)> make;
    std::function<void(const std::string& name)> check;
  };
  const auto file = [](const char* text, unsigned mode) {
    return [=](const std::string& name) {
      WriteWholeFile(name, Bytes(text));
      ::chmod(name.c_str(), mode);
    };
  };
  const auto same = [](const char* text, unsigned mode) {
    return [=](const std::string& name) {
      EXPECT_EQ(Contents(name), text);
      struct stat info {};
      ASSERT_EQ(::lstat(name.c_str(), &info), 0);
      EXPECT_EQ(info.st_mode & 07777, mode);
    };
  };
  const Case cases[] = {
      {"a file", file("mine", 0644), same("mine", 0644)},
      {"a read-only file", file("mine", 0444), same("mine", 0444)},
      {"a folder holding a file",
       [](const std::string& name) { std::filesystem::create_directories(name + "/busy"); },
       [](const std::string& name) { EXPECT_TRUE(std::filesystem::is_directory(name + "/busy")); }},
      {"a link to nowhere", [](const std::string& name) { std::filesystem::create_symlink("nowhere", name); },
       [](const std::string& name) {
         EXPECT_EQ(std::filesystem::read_symlink(name), "nowhere");
         EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(name).parent_path() / "nowhere"));
       }},
  };
  for (const Case& each : cases)
    for (const bool existing : {false, true})
      for (const TLinkReplace links : {TLinkReplace::lrFollowLink, TLinkReplace::lrReplaceLink}) {
        SCOPED_TRACE(std::string(each.what) + (existing ? ", over a file" : ", a new file"));
        TempDir temp;
        const std::string target = temp.File("night.bmp");
        if (existing) WriteWholeFile(target, Bytes("old"));
        const std::string mine = target + ".tmp";
        each.make(mine);
        WriteFileReplacing(target, "new", links);
        EXPECT_EQ(Contents(target), "new");
        each.check(mine);
        EXPECT_EQ(Entries(temp.Path()), (Names{"night.bmp", "night.bmp.tmp"}));
      }
}

// Two replacements of one name at once (two windows saving, or a batch run and a save): each writes a
// file of its own, the last to commit wins with its whole contents, and neither removes the other's
// file, whichever order they end in and whether one of them fails.
TEST(FileReplaceTest, TwoReplacementsOfOneNameAtOnceNeverMeet) {
  enum class End { Commit, Drop };
  struct Case {
    const char* what;
    bool firstEndsFirst;
    End first, second;
    const char* result;  // 'A' the first's contents, 'B' the second's, 'o' the old file's
  };
  const Case cases[] = {
      {"first commits, then second", true, End::Commit, End::Commit, "B"},
      {"second commits, then first", false, End::Commit, End::Commit, "A"},
      {"first commits, second dropped", true, End::Commit, End::Drop, "A"},
      {"first dropped, second commits", true, End::Drop, End::Commit, "B"},
      {"second dropped, first commits", false, End::Commit, End::Drop, "A"},
      {"both dropped", true, End::Drop, End::Drop, "o"},
  };
  // Large enough to take many writes, so that the halves interleave on the disk.
  const std::string a(384 << 10, 'A'), b(256 << 10, 'B');
  const auto half = [](const std::string& text, bool second) {
    const size_t middle = text.size() / 2;
    return second ? text.substr(middle) : text.substr(0, middle);
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(each.what);
    TempDir temp;
    const std::string target = temp.File("result.bmp");
    WriteWholeFile(target, Bytes("old"));
    auto first = std::make_unique<TFileReplacement>(target);
    first->Stream().WriteBuffer(half(a, false).data(), static_cast<int64_t>(a.size() / 2));
    auto second = std::make_unique<TFileReplacement>(target);
    second->Stream().WriteBuffer(half(b, false).data(), static_cast<int64_t>(b.size() / 2));
    first->Stream().WriteBuffer(half(a, true).data(), static_cast<int64_t>(half(a, true).size()));
    EXPECT_EQ(Entries(temp.Path()).size(), 3u);  // the target and a temporary file for each
    const auto finish = [](std::unique_ptr<TFileReplacement>& replacement, End end) {
      if (end == End::Commit) replacement->Commit();
      replacement.reset();
    };
    if (each.firstEndsFirst) {
      finish(first, each.first);
      if (each.first == End::Commit) {
        EXPECT_EQ(Contents(target) == a, true);
      }
      second->Stream().WriteBuffer(half(b, true).data(), static_cast<int64_t>(half(b, true).size()));
      finish(second, each.second);
    } else {
      second->Stream().WriteBuffer(half(b, true).data(), static_cast<int64_t>(half(b, true).size()));
      finish(second, each.second);
      if (each.second == End::Commit) {
        EXPECT_EQ(Contents(target) == b, true);
      }
      finish(first, each.first);
    }
    const std::string expected = each.result[0] == 'A' ? a : each.result[0] == 'B' ? b : "old";
    EXPECT_EQ(Contents(target) == expected, true) << Contents(target).size() << " bytes";
    EXPECT_EQ(Entries(temp.Path()), Names{"result.bmp"});
  }
}

// Names of up to 255 bytes, the most a name may have, are written and replaced: the temporary name
// is shortened to fit, never inside a character of a UTF-8 name.
TEST(FileReplaceTest, NamesOfTheLongestLengthAreSaved) {
  for (const size_t length : {size_t{240}, size_t{250}, size_t{252}, size_t{253}, size_t{254}, size_t{255}})
    for (const std::string& letter :
         {std::string("n"), std::string("\xC3\xA9"), std::string("\xE2\x82\xAC")}) {
      std::string name;
      while (name.size() + letter.size() + 4 <= length) name += letter;
      name.append(length - 4 - name.size(), 'x');
      name += ".bmp";
      ASSERT_EQ(name.size(), length);
      SCOPED_TRACE(std::to_string(length) + " bytes of " + letter);
      TempDir temp;
      const std::string target = temp.File(name);
      WriteFileReplacing(target, "first");
      WriteFileReplacing(target, "second");
      EXPECT_EQ(Contents(target), "second");
      EXPECT_EQ(Entries(temp.Path()), Names{name});
    }
  // One byte more is no name: refused with the system's reason, nothing made.
  TempDir temp;
  const std::string tooLong = temp.File(std::string(252, 'n') + ".bmp");
  EXPECT_THROW(WriteFileReplacing(tooLong, "new"), EFCreateError);
  EXPECT_EQ(Entries(temp.Path()), Names{});
}

// A link whose file does not exist yet is written through, as an existing link's file is: its file is
// made where the link points (relative links from the link's own folder, through chains of links), and
// the link stays. A link into a missing folder, or a loop of links, is refused and stays as it was.
TEST(FileReplaceTest, ADanglingLinkIsWrittenThrough) {
  struct Case {
    const char* what;
    Names links;       // each link points to the next name; the last name is the file
    const char* file;  // where the contents must arrive
  };
  const Case cases[] = {
      {"a relative link", {"link.bmp", "made.bmp"}, "made.bmp"},
      {"into a sub-folder", {"link.bmp", "sub/made.bmp"}, "sub/made.bmp"},
      {"a chain of links", {"link.bmp", "sub/second.bmp", "../made.bmp"}, "made.bmp"},
  };
  for (const Case& each : cases)
    for (const bool absolute : {false, true}) {
      SCOPED_TRACE(std::string(each.what) + (absolute ? ", absolute" : ", relative"));
      TempDir temp;
      std::filesystem::create_directories(temp.File("sub"));
      std::filesystem::path at = temp.File(each.links[0]);
      for (size_t i = 1; i < each.links.size(); ++i) {
        const std::filesystem::path next = at.parent_path() / each.links[i];
        std::filesystem::create_symlink(absolute ? next : std::filesystem::path(each.links[i]), at);
        at = next;
      }
      WriteFileReplacing(temp.File(each.links[0]), "new");
      EXPECT_EQ(Contents(temp.File(each.file)), "new");
      EXPECT_TRUE(std::filesystem::is_symlink(temp.File(each.links[0])));
      EXPECT_EQ(Contents(temp.File(each.links[0])), "new");
    }

  TempDir temp;
  const std::string nowhere = temp.File("nowhere.bmp");
  std::filesystem::create_symlink("missing/made.bmp", nowhere);
  const std::string loop = temp.File("loop.bmp");
  std::filesystem::create_symlink("loop.bmp", loop);
  for (const auto& [link, reason] : {std::pair{nowhere, ENOENT}, {loop, ELOOP}}) {
    SCOPED_TRACE(link);
    EXPECT_EQ(RaisedMessage<Exception>([&] { WriteFileReplacing(link, "new"); }),
              "Impossible de créer le fichier " + link + " : " + std::strerror(reason));
  }
  EXPECT_EQ(std::filesystem::read_symlink(nowhere), "missing/made.bmp");
  EXPECT_EQ(std::filesystem::read_symlink(loop), "loop.bmp");
  EXPECT_EQ(Entries(temp.Path()), (Names{"loop.bmp", "nowhere.bmp"}));
}

// A file whose mode lets no one write it is refused with the name and the reason, by the superuser
// too (whom the system lets write it), directly or through a link; it stays as it was, and nothing is
// left beside it. A file that someone may write is replaced and keeps its mode.
TEST(FileReplaceTest, AReadOnlyFileIsRefusedByItsMode) {
  const std::string denied = std::strerror(EACCES);
  for (const unsigned mode : {0444u, 0400u, 0440u, 0555u, 0000u, 0644u, 0600u})
    for (const bool throughLink : {false, true}) {
      SCOPED_TRACE(std::to_string(mode) + (throughLink ? " through a link" : ""));
      TempDir temp;
      const std::string file = temp.File("result.bmp");
      WriteWholeFile(file, Bytes("old"));
      ::chmod(file.c_str(), mode);
      const std::string name = throughLink ? temp.File("link.bmp") : file;
      if (throughLink) std::filesystem::create_symlink(file, name);
      const bool writable = (mode & 0200) != 0;
      const std::string raised = RaisedMessage<Exception>([&] { WriteFileReplacing(name, "new"); });
      EXPECT_EQ(raised, writable ? "" : "Impossible de créer le fichier " + name + " : " + denied);
      EXPECT_EQ(Contents(file), writable ? "new" : "old");
      struct stat info {};
      ASSERT_EQ(::stat(file.c_str(), &info), 0);
      EXPECT_EQ(info.st_mode & 07777, mode);
      EXPECT_EQ(Entries(temp.Path()).size(), throughLink ? 2u : 1u);
    }
}

// The source of a copy is read through the file stream, which judges the opened handle: a pipe or a
// device is refused at once, never read (a pipe without a writer would block, a device may never end).
TEST(FileReplaceTest, ACopyNeverReadsAPipeOrADevice) {
  ::alarm(60);  // should anything read the pipe or the device, the test ends here instead of hanging
  TempDir temp;
  const std::string pipe = temp.File("pipe.lng");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string device = temp.File("zero.lng");
  std::filesystem::create_symlink("/dev/zero", device);
  const std::string target = temp.File("current.lng");
  WriteWholeFile(target, Bytes("old"));
  for (const std::string& source : {pipe, device}) {
    SCOPED_TRACE(source);
    EXPECT_EQ(RaisedMessage<Exception>([&] { CopyFileReplacing(source, target); }),
              "Impossible d'ouvrir le fichier " + source);
  }
  ::alarm(0);
  EXPECT_EQ(Contents(target), "old");
  EXPECT_EQ(Entries(temp.Path()), (Names{"current.lng", "pipe.lng", "zero.lng"}));
}

}  // namespace
