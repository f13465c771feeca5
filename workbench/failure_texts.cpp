#include "workbench/failure_texts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "toolkit/core/file_system.h"
#include "toolkit/core/format.h"
#include "toolkit/graphics/bitmap.h"
#include "workbench/ulngstrings.h"

std::string UnreadableFileReason(const std::string& fileName) {
  int error = 0;
  switch (FileKindOf(fileName, &error)) {
    case TFileKind::fkMissing:
      // A link whose file is gone still stands in folders and lists: "no such file" of a name the
      // user sees there would puzzle.
      if (struct stat link{};
          error == ENOENT && ::lstat(fileName.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
        return "a symbolic link to a file that does not exist";
      return std::strerror(error);
    case TFileKind::fkDirectory:
      return std::strerror(EISDIR);
    case TFileKind::fkOther:
      return "not a regular file (a pipe or a device)";
    case TFileKind::fkRegular:
      break;
  }
  // The effective user is the one that opens the file.
  return ::faccessat(AT_FDCWD, fileName.c_str(), R_OK, AT_EACCESS) == 0 ? std::string()
                                                                        : std::strerror(errno);
}

std::string LoadFailureText(const std::string& path, const std::string& reason) {
  const std::string text = Format(kstUnknownFormat, {path});
  return reason.empty() ? text : text + ": " + reason;
}

std::string RefusalText(const std::string& path, const std::string& reason) {
  return reason.empty() ? path : path + ": " + reason;
}

std::string SizeMismatchReason(const TBitmap& picture, int wantedWidth, int wantedHeight) {
  return Format("the picture is %d x %d pixels, not %d x %d like the first one",
                {picture.Width(), picture.Height(), wantedWidth, wantedHeight});
}
