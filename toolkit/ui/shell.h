#pragma once
// Stand-ins for the Windows shell over Qt and POSIX. The shell's namespace becomes the file system:
// absolute paths stand in for item-id lists, "/" being the one item at the top (the empty list, above
// it, is the desktop that holds it), and the items of a folder are the names of its subfolders. Names
// and paths are the file system's own bytes, so every name found can be entered again.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "toolkit/core/exceptions.h"

class TImageList;

// A shell call that failed, as OleCheck raises it; the message says what failed and for which path.
class EOleSysError : public Exception {
 public:
  EOleSysError(std::string message, int errorCode) : Exception(std::move(message)), FErrorCode(errorCode) {}
  // The errno value behind the failure.
  int ErrorCode() const { return FErrorCode; }

 private:
  int FErrorCode;
};

// ---- Item-id lists

// The second list appended to the first: a name to its folder's path, or an absolute list to the
// desktop's empty one.
std::string ConcatItemIdLists(const std::string& first, const std::string& second);
// The list without its last item: the parent folder's path, and the empty list for "/".
std::string StripLastItemId(const std::string& list);

// ---- Shell folders

inline constexpr uint32_t SHCONTF_FOLDERS = 0x20;
inline constexpr uint32_t SFGAO_FOLDER = 0x20000000;
inline constexpr uint32_t SHGDN_NORMAL = 0;
inline constexpr uint32_t SHGDN_FORPARSING = 0x8000;

class TShellFolder {
 public:
  // The desktop.
  TShellFolder() = default;
  static TShellFolder Desktop() { return {}; }

  // The folder's absolute list (empty for the desktop).
  const std::string& ItemIdList() const { return FList; }

  // A path as a person types it, as an absolute list: "~" and "~/..." start in the home folder, a
  // relative path starts in this folder (the process's current folder for the desktop), "." and ".."
  // are resolved by name. Raises when the text is empty or names nothing (a relative path names
  // nothing once the process's current folder has been removed).
  std::string ParseDisplayName(const std::string& displayName) const;
  // The folder that a list relative to this one names; raises when it is missing or not a folder.
  TShellFolder BindToObject(const std::string& list) const;
  // The items of the folder, hidden ones included, in no particular order: its subfolders (symbolic
  // links to folders among them) when the flags ask for folders. Raises when the folder cannot be read.
  std::vector<std::string> EnumObjects(uint32_t flags) const;
  // Orders two items of the folder by name as people read names: letter case ignored, runs of digits
  // by their value; names that still compare equal are ordered by their bytes. < 0, 0 or > 0.
  int CompareIDs(int column, const std::string& first, const std::string& second) const;
  // The attributes asked for that the item has (SFGAO_FOLDER for a folder); 0 for a missing item.
  uint32_t GetAttributesOf(const std::string& list, uint32_t asked) const;
  // SHGDN_FORPARSING: the item's absolute path; SHGDN_NORMAL: its name ("/" for the top item).
  std::string GetDisplayNameOf(const std::string& list, uint32_t flags) const;

 private:
  explicit TShellFolder(std::string list) : FList(std::move(list)) {}
  std::string FList;
};

// ---- What the shell tells about an item

inline constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr uint32_t FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;

struct TWin32FindData {
  // Read-only when the user may not write it, hidden for a name that starts with a dot, directory.
  uint32_t FileAttributes = 0;
  int64_t FileSize = 0;
  // Last modification, seconds since 1970 (UTC); 0 when unknown.
  std::time_t LastWriteTime = 0;
};

// The find data of an item of the folder; false (data left as it was) when the item cannot be read.
bool SHGetDataFromIDList(const TShellFolder& folder, const std::string& list, TWin32FindData& data);
// The type name of the item at the absolute list, as the desktop's file manager words it (at most 79
// characters); empty when the item cannot be read.
std::string ShellTypeName(const std::string& list);
// The index of the item's icon in the system image list (the same index serves every icon size).
int ShellIconIndex(const std::string& list);
// The image list of the items' icons, one for the whole program (freed with the Qt application).
TImageList* SystemImageList();
// The local date and time as the system's short format writes it.
std::string ShortDateTimeText(std::time_t time);

// ---- Special folders

// The folder the Windows special-folder number stands for in the user's desktop folders (the XDG user
// folders and Qt's standard places); "" for the numbers that have no such folder here. With create,
// a folder that does not exist yet is made. False with an empty path when there is none.
bool SHGetSpecialFolderPath(int csidl, bool create, std::string& path);
