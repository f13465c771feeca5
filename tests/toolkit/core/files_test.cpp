#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "tests/support/test_files.h"
#include "toolkit/core/date_time.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/text_reader.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

TEST(FileNamesTest, ExtractFileExt) {
  EXPECT_EQ(ExtractFileExt("/pics/night.bmp"), ".bmp");
  EXPECT_EQ(ExtractFileExt("/pics/archive.tar.gz"), ".gz");
  EXPECT_EQ(ExtractFileExt("/pics.old/night"), "");
  EXPECT_EQ(ExtractFileExt("/pics.old/"), "");
  EXPECT_EQ(ExtractFileExt("night."), ".");
  EXPECT_EQ(ExtractFileExt("a.LnG"), ".LnG");
  EXPECT_EQ(ExtractFileExt("readme"), "");
  EXPECT_EQ(ExtractFileExt(".hidden"), ".hidden");
  EXPECT_EQ(ExtractFileExt(""), "");
}

TEST(FileNamesTest, NameAndPathParts) {
  EXPECT_EQ(ExtractFileName("/home/u/pic.png"), "pic.png");
  EXPECT_EQ(ExtractFileName("pic.png"), "pic.png");
  EXPECT_EQ(ExtractFileName("/home/u/"), "");
  EXPECT_EQ(ExtractFilePath("/home/u/pic.png"), "/home/u/");
  EXPECT_EQ(ExtractFilePath("pic.png"), "");
  EXPECT_EQ(ExtractFilePath("/pic.png"), "/");
  EXPECT_EQ(ExtractFileDir("/home/u/pic.png"), "/home/u");
  EXPECT_EQ(ExtractFileDir("/pic.png"), "/");
  EXPECT_EQ(ExtractFileDir("/a//b"), "/a/");
  EXPECT_EQ(ExtractFileDir("pic.png"), "");
}

TEST(FileNamesTest, ChangeFileExt) {
  EXPECT_EQ(ChangeFileExt("/p/night.jpg", ".bmp"), "/p/night.bmp");
  EXPECT_EQ(ChangeFileExt("/p/night", ".bmp"), "/p/night.bmp");
  EXPECT_EQ(ChangeFileExt("/p.d/night", ".bmp"), "/p.d/night.bmp");
  EXPECT_EQ(ChangeFileExt("/p/night.", ".bmp"), "/p/night.bmp");
  EXPECT_EQ(ChangeFileExt("/p/a.b.c", ".lng"), "/p/a.b.lng");
  EXPECT_EQ(ChangeFileExt("/p/pic.cut", ".pal"), "/p/pic.pal");
  EXPECT_EQ(ChangeFileExt("/p/pic.jpg", ""), "/p/pic");
}

TEST(FileNamesTest, TrailingDelimiters) {
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
  EXPECT_EQ(IncludeTrailingBackslash("/pics"), "/pics/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a"), "/a");
}

TEST(FileSystemTest, ExistenceAndDeletion) {
  TempDir dir;
  const std::string file = dir.File("a.txt");
  EXPECT_FALSE(FileExists(file));
  WriteWholeFile(file, Bytes("x"));
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(DirectoryExists(file));
  EXPECT_FALSE(FileExists(dir.Path().string()));
  EXPECT_TRUE(DirectoryExists(dir.Path().string()));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(DeleteFile(dir.Path().string()));
  EXPECT_TRUE(DirectoryExists(dir.Path().string()));
  EXPECT_TRUE(DeleteFile(file));
  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(DeleteFile(file));
}

TEST(FileSystemTest, ForceDirectoriesAndCopy) {
  TempDir dir;
  const std::string deep = dir.File("a/b/c/");
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(dir.File("a/b/c")));
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_FALSE(ForceDirectories(""));
  WriteWholeFile(dir.File("blocker"), Bytes("x"));
  EXPECT_FALSE(ForceDirectories(dir.File("blocker/sub")));

  const std::string source = dir.File("src.lng");
  const std::string target = dir.File("current.lng");
  WriteWholeFile(source, Bytes("new"));
  WriteWholeFile(target, Bytes("old"));
  EXPECT_FALSE(CopyFile(source, target, true));
  EXPECT_EQ(ReadWholeFile(target), Bytes("old"));
  EXPECT_TRUE(CopyFile(source, target, false));
  EXPECT_EQ(ReadWholeFile(target), Bytes("new"));
  EXPECT_TRUE(CopyFile(source, dir.File("fresh.lng"), true));
  EXPECT_FALSE(CopyFile(dir.File("missing"), dir.File("x"), false));
  EXPECT_FALSE(CopyFile(source, dir.File("a"), false));
}

TEST(FileSystemTest, CurrentDirectory) {
  TempDir dir;
  const std::string saved = GetCurrentDir();
  ASSERT_FALSE(saved.empty());
  EXPECT_TRUE(SetCurrentDir(dir.Path().string()));
  EXPECT_EQ(std::filesystem::path(GetCurrentDir()), std::filesystem::canonical(dir.Path()));
  EXPECT_FALSE(SetCurrentDir(dir.File("missing")));
  EXPECT_FALSE(SetCurrentDir(""));
  EXPECT_TRUE(SetCurrentDir(saved));
}

// Names FindFirst / FindNext report for the path and attributes.
std::vector<std::string> FindAll(const std::string& path, int attr) {
  std::vector<std::string> names;
  TSearchRec rec;
  for (int found = FindFirst(path, attr, rec); found == 0; found = FindNext(rec)) names.push_back(rec.Name);
  FindEnd(rec);
  return names;
}

TEST(FindFirstTest, PlainFilesByDefaultInNameOrder) {
  TempDir dir;
  for (const char* name : {"b.LNG", "a.lng", "readme", "C.txt", ".hidden.lng"})
    WriteWholeFile(dir.File(name), Bytes("1234"));
  ForceDirectories(dir.File("sub.lng"));
  const int fileAttrs = faReadOnly | faHidden | faSysFile | faVolumeID | faArchive;
  EXPECT_EQ(FindAll(dir.File("*.*"), faReadOnly | faSysFile | faVolumeID | faArchive),
            (std::vector<std::string>{"a.lng", "b.LNG", "C.txt", "readme"}));
  EXPECT_EQ(FindAll(dir.File("*.*"), fileAttrs),
            (std::vector<std::string>{".hidden.lng", "a.lng", "b.LNG", "C.txt", "readme"}));
  EXPECT_EQ(FindAll(dir.File("*.lng"), 0), (std::vector<std::string>{"a.lng", "b.LNG"}));
  EXPECT_EQ(FindAll(dir.File("?.txt"), 0), (std::vector<std::string>{"C.txt"}));
  EXPECT_EQ(FindAll(dir.File("*.lng"), faDirectory), (std::vector<std::string>{"a.lng", "b.LNG", "sub.lng"}));
  EXPECT_TRUE(FindAll(dir.File("*.png"), faAnyFile).empty());

  TSearchRec rec;
  ASSERT_EQ(FindFirst(dir.File("readme"), 0, rec), 0);
  EXPECT_EQ(rec.Name, "readme");
  EXPECT_EQ(rec.Size, 4);
  EXPECT_EQ(rec.Attr & faDirectory, 0);
  EXPECT_GT(rec.Time, 0);
  EXPECT_NE(FindNext(rec), 0);
  FindEnd(rec);
  EXPECT_NE(FindNext(rec), 0);
}

TEST(FindFirstTest, FoldersAndErrors) {
  TempDir dir;
  ForceDirectories(dir.File("sub"));
  TSearchRec rec;
  EXPECT_NE(FindFirst(dir.File("missing/*.*"), faAnyFile, rec), 0);
  EXPECT_NE(FindFirst(dir.File("*.*"), 0, rec), 0);
  ASSERT_EQ(FindFirst(dir.File("su?"), faDirectory, rec), 0);
  EXPECT_EQ(rec.Name, "sub");
  EXPECT_NE(rec.Attr & faDirectory, 0);
  FindEnd(rec);
  // Relative to the current folder when the path has no folder part.
  const std::string saved = GetCurrentDir();
  WriteWholeFile(dir.File("x.lng"), Bytes(""));
  ASSERT_TRUE(SetCurrentDir(dir.Path().string()));
  EXPECT_EQ(FindAll("*.*", 0), std::vector<std::string>{"x.lng"});
  SetCurrentDir(saved);
}

TEST(TextReaderTest, LinesEndAtLfOrCrLf) {
  TempDir dir;
  WriteWholeFile(dir.File("t.lut"), Bytes("1 2 3\r\n4 5 6\nmid\rline\n\nlast"));
  TTextReader reader(dir.File("t.lut"));
  EXPECT_EQ(reader.ReadLn(), "1 2 3");
  EXPECT_EQ(reader.ReadLn(), "4 5 6");
  EXPECT_EQ(reader.ReadLn(), "mid\rline");
  EXPECT_EQ(reader.ReadLn(), "");
  EXPECT_FALSE(reader.Eof());
  EXPECT_EQ(reader.ReadLn(), "last");
  EXPECT_TRUE(reader.Eof());
  EXPECT_EQ(reader.ReadLn(), "");
  EXPECT_THROW(TTextReader(dir.File("missing.lut")), EFOpenError);
  EXPECT_THROW(TTextReader(dir.Path().string()), EFOpenError);
}

TEST(DateTimeTest, TextAndTicks) {
  const char* oldZone = getenv("TZ");
  const std::string savedZone = oldZone ? oldZone : "";
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(DateTimeToStr(0), "01/01/1970");
  EXPECT_EQ(DateTimeToStr(1392736215), "18/02/2014 15:10:15");
  if (oldZone)
    setenv("TZ", savedZone.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
  const uint32_t first = GetTickCount();
  usleep(20000);
  EXPECT_GE(static_cast<uint32_t>(GetTickCount() - first), 15u);
}

}  // namespace
