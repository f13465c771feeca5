#pragma once
// Files and folders on disk: existence tests, deletion, copying, the current folder and the folder walk
// FindFirst / FindNext / FindEnd. Failures return false (or a non-zero code); nothing raises.

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

// True for an existing entry that is not a folder.
bool FileExists(const std::string& fileName);

// What a name stands for, a symbolic link followed. It is found by looking at the name without
// opening it, so that a pipe (which would block) or a device (which may never end) is known before
// anything opens it.
enum class TFileKind { fkMissing, fkRegular, fkDirectory, fkOther };
// With fkMissing, error (when given) receives the system's reason (ENOENT, EACCES on the way, ...).
TFileKind FileKindOf(const std::string& fileName, int* error = nullptr);
bool DirectoryExists(const std::string& directory);
// Creates the folder and every missing parent; true when the folder exists afterwards ("" gives false).
bool ForceDirectories(const std::string& directory);
// Deletes a file (never a folder); true on success.
bool DeleteFile(const std::string& fileName);
// Copies a regular file; with failIfExists an existing target is left alone and the copy fails.
bool CopyFile(const std::string& existingFileName, const std::string& newFileName, bool failIfExists);

std::string GetCurrentDir();
bool SetCurrentDir(const std::string& directory);

// Entry attributes as FindFirst reports them. On POSIX: faDirectory for folders, faHidden for names
// starting with "." (except "." and ".."), faReadOnly when the owner may not write, faSysFile for
// entries that are neither files nor folders (devices, pipes, sockets). faArchive and faVolumeID are
// never set but may be asked for.
inline constexpr int faReadOnly = 0x01;
inline constexpr int faHidden = 0x02;
inline constexpr int faSysFile = 0x04;
inline constexpr int faVolumeID = 0x08;
inline constexpr int faDirectory = 0x10;
inline constexpr int faArchive = 0x20;
inline constexpr int faAnyFile = 0x3F;

// FindFirst / FindNext: no (more) entry matches.
inline constexpr int ERROR_NO_MORE_FILES = 18;

struct TFindState;

struct TSearchRec {
  std::string Name;  // bare name
  int64_t Size = 0;
  int Attr = 0;
  std::time_t Time = 0;                   // last modification, seconds since 1970 (UTC)
  std::shared_ptr<TFindState> FindState;  // the walk in progress; released by FindEnd
};

// Starts a walk of the folder part of `path` for the names matching its name part ("*" any run of
// characters, "?" one character, letter case ignored; "*.*" matches every name). Plain files are always
// reported; folders, hidden and system entries only when `attr` holds their attribute. Entries come in
// name order (letter case ignored). Returns 0 with `rec` filled, ERROR_NO_MORE_FILES when nothing
// matches, or the errno value of a folder that cannot be read.
int FindFirst(const std::string& path, int attr, TSearchRec& rec);
// Moves `rec` to the next match: 0, or non-zero when there is none.
int FindNext(TSearchRec& rec);
// Ends the walk.
void FindEnd(TSearchRec& rec);
