#include "workbench/failure_texts.h"

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
      return std::strerror(error);
    case TFileKind::fkDirectory:
      return std::strerror(EISDIR);
    case TFileKind::fkOther:
      return "not a regular file (a pipe or a device)";
    case TFileKind::fkRegular:
      break;
  }
  return ::access(fileName.c_str(), R_OK) == 0 ? std::string() : std::strerror(errno);
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
