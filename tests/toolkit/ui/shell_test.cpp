// The shell stand-ins on a folder tree made here: the namespace walk (parsing, binding, enumeration,
// names, order), what is told of an item (find data, type, icon) and the special folders.
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include <gtest/gtest.h>

#include "tests/support/test_files.h"
#include "toolkit/core/file_system.h"
#include "toolkit/ui/imglist.h"
#include "toolkit/ui/shell.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

void MakeFile(const fs::path& path, size_t size) {
  std::ofstream(path, std::ios::binary) << std::string(size, 'x');
}

// The error number a call raises with, or 0.
template <class F>
int ErrorOf(F call) {
  try {
    call();
  } catch (const EOleSysError& error) {
    return error.ErrorCode();
  }
  return 0;
}

// Sets an environment variable for the scope and puts the old value back after.
class TEnvironment {
 public:
  TEnvironment(const char* name, const std::string& value) : FName(name) {
    if (const char* old = std::getenv(name)) FOld = old;
    setenv(name, value.c_str(), 1);
  }
  ~TEnvironment() {
    if (FOld)
      setenv(FName, FOld->c_str(), 1);
    else
      unsetenv(FName);
  }

 private:
  const char* FName;
  std::optional<std::string> FOld;
};

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Root = Temp.Path().string();
    for (const char* folder : {"b dir", "a2", "B1", "img10", "img2", ".hidden", "Été"})
      fs::create_directory(Temp.Path() / folder);
    MakeFile(Temp.Path() / "file.txt", 3000);
    fs::create_directory_symlink(Temp.Path() / "a2", Temp.Path() / "link");
    fs::create_symlink(Temp.Path() / "nowhere", Temp.Path() / "dangling");
  }

  Names SortedItems(const TShellFolder& folder) {
    Names names = folder.EnumObjects(SHCONTF_FOLDERS);
    std::sort(names.begin(), names.end(),
              [&](const std::string& a, const std::string& b) { return folder.CompareIDs(0, a, b) < 0; });
    return names;
  }

  TempDir Temp;
  std::string Root;
};

TEST_F(ShellTest, FoldersAreListedHiddenAndLinkedOnesIncludedInReadingOrder) {
  const TShellFolder folder = TShellFolder::Desktop().BindToObject(Root);
  EXPECT_EQ(folder.ItemIdList(), Root);
  // Letter case ignored, numbers by value, and files and dangling links left out.
  EXPECT_EQ(SortedItems(folder), (Names{".hidden", "a2", "b dir", "B1", "Été", "img2", "img10", "link"}));
  EXPECT_EQ(TShellFolder::Desktop().EnumObjects(SHCONTF_FOLDERS), Names{"/"});
  EXPECT_TRUE(folder.EnumObjects(0).empty());

  EXPECT_EQ(folder.GetAttributesOf("link", SFGAO_FOLDER), SFGAO_FOLDER);
  EXPECT_EQ(folder.GetAttributesOf("file.txt", SFGAO_FOLDER), 0u);
  EXPECT_EQ(folder.GetAttributesOf("vanished", SFGAO_FOLDER), 0u);
  EXPECT_EQ(folder.GetDisplayNameOf("Été", SHGDN_NORMAL), "Été");
  EXPECT_EQ(folder.GetDisplayNameOf("Été", SHGDN_FORPARSING), Root + "/Été");
  EXPECT_EQ(TShellFolder::Desktop().GetDisplayNameOf("/", SHGDN_NORMAL), "/");
  EXPECT_EQ(folder.BindToObject("b dir").ItemIdList(), Root + "/b dir");
}

TEST_F(ShellTest, PathsAreParsedAsTypedAndFailuresSayWhy) {
  const TShellFolder desktop = TShellFolder::Desktop();
  EXPECT_EQ(desktop.ParseDisplayName(Root + "/b dir/../Été/"), Root + "/Été");
  EXPECT_EQ(desktop.ParseDisplayName("/"), "/");
  {
    TEnvironment home("HOME", Root);
    EXPECT_EQ(desktop.ParseDisplayName("~"), Root);
    EXPECT_EQ(desktop.ParseDisplayName("~/img2"), Root + "/img2");
  }
  const std::string before = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(Root + "/a2"));
  EXPECT_EQ(desktop.ParseDisplayName("../B1"), Root + "/B1");
  // Once the current folder is removed, a relative name is nowhere (and not a folder of "/").
  ASSERT_TRUE(SetCurrentDir(Root + "/B1"));
  fs::remove(Temp.Path() / "B1");
  EXPECT_EQ(ErrorOf([&] { desktop.ParseDisplayName("etc"); }), ENOENT);
  fs::create_directory(Temp.Path() / "B1");
  SetCurrentDir(before);
  EXPECT_EQ(desktop.BindToObject(Root).ParseDisplayName("img10"), Root + "/img10");

  EXPECT_EQ(ErrorOf([&] { desktop.ParseDisplayName(""); }), EINVAL);
  EXPECT_EQ(ErrorOf([&] { desktop.ParseDisplayName(Root + "/missing"); }), ENOENT);
  // A file parses but is no folder to enter.
  EXPECT_EQ(ErrorOf([&] { desktop.BindToObject(desktop.ParseDisplayName(Root + "/file.txt")); }), ENOTDIR);
  try {
    desktop.BindToObject(Root + "/missing");
    ADD_FAILURE() << "a missing folder was bound";
  } catch (const EOleSysError& error) {
    EXPECT_NE(error.Message().find(Root + "/missing"), std::string::npos) << error.Message();
  }
  // Removed after it was bound: reading it fails instead of listing nothing silently.
  const TShellFolder doomed = desktop.BindToObject(Root + "/img2");
  fs::remove(Temp.Path() / "img2");
  EXPECT_EQ(ErrorOf([&] { doomed.EnumObjects(SHCONTF_FOLDERS); }), ENOENT);
  if (geteuid() != 0) {  // permissions do not hold the superuser back
    chmod((Root + "/B1").c_str(), 0);
    EXPECT_EQ(ErrorOf([&] { desktop.BindToObject(Root + "/B1").EnumObjects(SHCONTF_FOLDERS); }), EACCES);
    chmod((Root + "/B1").c_str(), 0755);
  }
}

TEST_F(ShellTest, ItemIdListsJoinAndStripUpToTheTop) {
  EXPECT_EQ(ConcatItemIdLists("/a", "b"), "/a/b");
  EXPECT_EQ(ConcatItemIdLists("/", "b"), "/b");
  EXPECT_EQ(ConcatItemIdLists("", "/a/b"), "/a/b");
  EXPECT_EQ(StripLastItemId("/a/b"), "/a");
  EXPECT_EQ(StripLastItemId("/a"), "/");
  EXPECT_EQ(StripLastItemId("/"), "");
  EXPECT_EQ(StripLastItemId(""), "");
}

TEST_F(ShellTest, FindDataTypeAndIconOfKnownItems) {
  const TShellFolder folder = TShellFolder::Desktop().BindToObject(Root);
  const std::time_t when = 1700000000;  // 2023-11-14 22:13:20 UTC
  const utimbuf times{when, when};
  ASSERT_EQ(utime((Root + "/file.txt").c_str(), &times), 0);

  TWin32FindData data;
  ASSERT_TRUE(SHGetDataFromIDList(folder, "file.txt", data));
  EXPECT_EQ(data.FileSize, 3000);
  EXPECT_EQ(data.LastWriteTime, when);
  EXPECT_EQ(data.FileAttributes, 0u);
  ASSERT_TRUE(SHGetDataFromIDList(folder, ".hidden", data));
  EXPECT_EQ(data.FileAttributes, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
  if (geteuid() != 0) {
    chmod((Root + "/file.txt").c_str(), 0444);
    ASSERT_TRUE(SHGetDataFromIDList(folder, "file.txt", data));
    EXPECT_EQ(data.FileAttributes, FILE_ATTRIBUTE_READONLY);
  }
  data.FileSize = 7;
  EXPECT_FALSE(SHGetDataFromIDList(folder, "vanished", data));
  EXPECT_EQ(data.FileSize, 7);

  const std::string folderType = ShellTypeName(Root + "/a2");
  EXPECT_FALSE(folderType.empty());
  EXPECT_NE(ShellTypeName(Root + "/file.txt"), folderType);
  EXPECT_EQ(ShellTypeName(Root + "/vanished"), "");
  EXPECT_FALSE(ShortDateTimeText(when).empty());

  const int icon = ShellIconIndex(Root + "/a2");
  EXPECT_EQ(ShellIconIndex(Root + "/b dir"), icon);  // one icon per kind of item
  EXPECT_GE(icon, 0);
  EXPECT_LT(icon, SystemImageList()->Count());
  EXPECT_FALSE(SystemImageList()->Icon(icon).isNull());
}

TEST_F(ShellTest, SpecialFoldersComeFromTheUserFolders) {
  TEnvironment config("XDG_CONFIG_HOME", Root);
  const std::string templates = Root + "/Modèles";
  std::ofstream(Temp.Path() / "user-dirs.dirs") << "XDG_TEMPLATES_DIR=\"" << templates << "\"\n";
  std::string path;
  EXPECT_TRUE(SHGetSpecialFolderPath(21, false, path));
  EXPECT_EQ(path, templates);
  EXPECT_FALSE(DirectoryExists(templates));
  EXPECT_TRUE(SHGetSpecialFolderPath(21, true, path));
  EXPECT_TRUE(DirectoryExists(templates));
  EXPECT_TRUE(SHGetSpecialFolderPath(7, false, path));  // startup: the autostart folder
  EXPECT_EQ(path, Root + "/autostart");
  // "Send To" and the virtual folders have no place here.
  path = "left over";
  EXPECT_FALSE(SHGetSpecialFolderPath(9, true, path));
  EXPECT_EQ(path, "");
  EXPECT_FALSE(SHGetSpecialFolderPath(10, false, path));
}

}  // namespace
