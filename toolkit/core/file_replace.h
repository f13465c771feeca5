#pragma once
// Writing a file so that a failure never costs the file that was there: the new contents go into a
// temporary file beside the target (the target's name with ".tmp" added), which replaces the target
// by a rename only once it has been written wholly and flushed to disk. A failure removes the
// temporary file and raises; the target is then exactly as it was.

#include <string>
#include <string_view>

// Raises EFCreateError when the temporary file cannot be made or cannot take the target's place, and
// EWriteError when it cannot be written wholly.
void WriteFileReplacing(const std::string& fileName, std::string_view contents);
// Copies the source's bytes over the target the same way; raises EFOpenError when the source cannot
// be read.
void CopyFileReplacing(const std::string& source, const std::string& target);
