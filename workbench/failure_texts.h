#pragma once
// What the workbench says about a file or a picture it cannot use: the path with the reason beside it,
// and the reasons the workbench finds itself (the readers' and the system's own come as they are).

#include <string>

class TBitmap;

// Why the file cannot be read as a picture, a list or a language file, found by looking at the name
// without opening it (a pipe would block, a device might never end); empty for a regular file that
// may be read.
std::string UnreadableFileReason(const std::string& fileName);

// The reason shown for an entry marked failed by an earlier load or run, which is not read again.
inline constexpr const char* kFailedBeforeReason = "it failed earlier and is not read again";

// "Loading Error: <path>: <reason>" (the reason left out when there is none).
std::string LoadFailureText(const std::string& path, const std::string& reason);

// "<path>: <reason>" for a picture that loaded but cannot be used (the reason left out when there is
// none).
std::string RefusalText(const std::string& path, const std::string& reason);

// A picture of another size than the one it must match: both sizes.
std::string SizeMismatchReason(const TBitmap& picture, int wantedWidth, int wantedHeight);

// The first failure of a run, kept for its report.
class TFirstFailure {
 public:
  void Note(const std::string& text) {
    if (FText.empty()) FText = text;
  }
  const std::string& Text() const { return FText; }

 private:
  std::string FText;
};
