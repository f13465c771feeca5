#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "tests/support/test_files.h"
#include "tests/toolkit/core/core_test_support.h"
#include "toolkit/core/date_time.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/text_reader.h"

namespace {

TEST(FileNamesTest, ExtensionsIgnoreDotsInFolderNames) {
  ExpectEach(
      ExtractFileExt,
      {{"/pics/archive.tar.gz", ".gz"}, {"/pics.old/night", ""}, {"night.", "."}, {".hidden", ".hidden"}});
  EXPECT_EQ(ChangeFileExt("/p/night.jpg", ".bmp"), "/p/night.bmp");
  EXPECT_EQ(ChangeFileExt("/p.d/night", ".bmp"), "/p.d/night.bmp");
  EXPECT_EQ(ChangeFileExt("/p/night.", ".bmp"), "/p/night.bmp");
  EXPECT_EQ(ChangeFileExt("/p/a.b.c", ".lng"), "/p/a.b.lng");
  EXPECT_EQ(ChangeFileExt("/p/pic.jpg", ""), "/p/pic");
}

TEST(FileSystemTest, ExistenceDeletionFoldersAndCopies) {
  TempDir dir;
  const std::string file = dir.File("a.txt");
  const std::string folder = dir.Path().string();
  EXPECT_FALSE(FileExists(file));
  WriteWholeFile(file, Bytes("new"));
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(DirectoryExists(file));
  EXPECT_FALSE(FileExists(folder));
  EXPECT_FALSE(DeleteFile(folder));
  EXPECT_TRUE(DirectoryExists(folder));

  EXPECT_TRUE(ForceDirectories(dir.File("a/b/c/")));
  EXPECT_TRUE(DirectoryExists(dir.File("a/b/c")));
  EXPECT_TRUE(ForceDirectories(dir.File("a/b/c/")));
  EXPECT_FALSE(ForceDirectories(""));
  EXPECT_FALSE(ForceDirectories(dir.File("a.txt/sub")));

  const std::string target = dir.File("current.lng");
  WriteWholeFile(target, Bytes("old"));
  EXPECT_FALSE(CopyFile(file, target, true));
  EXPECT_EQ(ReadWholeFile(target), Bytes("old"));
  EXPECT_TRUE(CopyFile(file, target, false));
  EXPECT_EQ(ReadWholeFile(target), Bytes("new"));
  EXPECT_TRUE(CopyFile(file, dir.File("fresh.lng"), true));
  EXPECT_FALSE(CopyFile(dir.File("missing"), dir.File("x"), false));
  // A folder is no target.
  EXPECT_FALSE(CopyFile(file, dir.File("a"), false));

  EXPECT_TRUE(DeleteFile(file));
  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(DeleteFile(file));
}

// Names FindFirst / FindNext report for the path and attributes.
Texts FindAll(const std::string& path, int attr) {
  Texts names;
  TSearchRec rec;
  for (int found = FindFirst(path, attr, rec); found == 0; found = FindNext(rec)) names.push_back(rec.Name);
  FindEnd(rec);
  return names;
}

TEST(FindFirstTest, PlainFilesByDefaultInNameOrder) {
  TempDir dir;
  for (const char* name : {"b.LNG", "a.lng", "readme", "C.txt", ".hidden.lng", "sub.lng/x.lng"}) {
    ForceDirectories(ExtractFileDir(dir.File(name)));
    WriteWholeFile(dir.File(name), Bytes("1234"));
  }
  // Attributes other than hidden, folder and system ones add nothing.
  EXPECT_EQ(FindAll(dir.File("*.*"), faReadOnly | faVolumeID | faArchive),
            (Texts{"a.lng", "b.LNG", "C.txt", "readme"}));
  EXPECT_EQ(FindAll(dir.File("*.*"), faHidden), (Texts{".hidden.lng", "a.lng", "b.LNG", "C.txt", "readme"}));
  EXPECT_EQ(FindAll(dir.File("?.txt"), 0), (Texts{"C.txt"}));
  EXPECT_EQ(FindAll(dir.File("*.lng"), faDirectory), (Texts{"a.lng", "b.LNG", "sub.lng"}));
  EXPECT_TRUE(FindAll(dir.File("*.png"), faAnyFile).empty());
  EXPECT_TRUE(FindAll(dir.File("missing/*.*"), faAnyFile).empty());

  TSearchRec rec;
  ASSERT_EQ(FindFirst(dir.File("sub.*"), faDirectory, rec), 0);
  EXPECT_NE(rec.Attr & faDirectory, 0);
  FindEnd(rec);
  ASSERT_EQ(FindFirst(dir.File("readme"), 0, rec), 0);
  EXPECT_EQ(rec.Size, 4);
  EXPECT_EQ(rec.Attr & faDirectory, 0);
  EXPECT_GT(rec.Time, 0);
  EXPECT_NE(FindNext(rec), 0);
  FindEnd(rec);
  EXPECT_NE(FindNext(rec), 0);
}

TEST(TextReaderTest, LinesEndAtLfOrCrLf) {
  TempDir dir;
  WriteWholeFile(dir.File("t.lut"), Bytes("1 2 3\r\n4 5 6\nmid\rline\n\nlast"));
  TTextReader reader(dir.File("t.lut"));
  for (const char* line : {"1 2 3", "4 5 6", "mid\rline", ""}) EXPECT_EQ(reader.ReadLn(), line);
  EXPECT_FALSE(reader.Eof());
  EXPECT_EQ(reader.ReadLn(), "last");
  EXPECT_TRUE(reader.Eof());
  EXPECT_EQ(reader.ReadLn(), "");
  EXPECT_THROW(TTextReader(dir.File("missing.lut")), EFOpenError);
}

}  // namespace
