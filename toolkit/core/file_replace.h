#pragma once
// Writing a file so that a failure never costs the file that was there: the new contents go into a
// temporary file beside the target (the target's name with ".tmp" added), which replaces the target
// by a rename only once it has been written wholly and flushed to disk. A failure removes the
// temporary file and raises; the target is then exactly as it was.

#include <string>
#include <string_view>

// What a name that is a symbolic link stands for when it is replaced.
enum class TLinkReplace {
  // The file the link points to takes the new contents; the link stays (a person editing a file).
  lrFollowLink,
  // The name itself takes the new file, and what it pointed to is never touched (the program's own
  // files, which a user may have linked to a file of theirs).
  lrReplaceLink,
};

// Raises EFCreateError when the temporary file cannot be made or cannot take the target's place, and
// EWriteError when it cannot be written wholly.
void WriteFileReplacing(const std::string& fileName, std::string_view contents,
                        TLinkReplace links = TLinkReplace::lrFollowLink);
// Copies the source's bytes over the target the same way; raises EFOpenError when the source cannot
// be read.
void CopyFileReplacing(const std::string& source, const std::string& target,
                       TLinkReplace links = TLinkReplace::lrFollowLink);
