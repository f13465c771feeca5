#pragma once
// File-name helpers on POSIX paths (delimiter "/"). Only the part after the last "/" is the name, so a
// dot in a folder name is never an extension.

#include <string>
#include <string_view>

inline constexpr char PathDelim = '/';

// The extension with its dot, from the last "." of the name part; "" when the name has no dot
// ("a.txt" -> ".txt", "a." -> ".", "/x.d/a" -> "").
std::string ExtractFileExt(std::string_view fileName);
// The part after the last "/".
std::string ExtractFileName(std::string_view fileName);
// The part up to and including the last "/"; "" when there is none.
std::string ExtractFilePath(std::string_view fileName);
// The folder part without its last "/" ("/a/b" -> "/a", "/a" -> "/", "a" -> "").
std::string ExtractFileDir(std::string_view fileName);
// Replaces the extension (from the last "." of the name part) or appends ext; ext carries its dot.
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);

// Adds "/" unless the text already ends with one ("" -> "/").
std::string IncludeTrailingPathDelimiter(std::string_view path);
// Removes one trailing "/".
std::string ExcludeTrailingPathDelimiter(std::string_view path);
// The program's older name for IncludeTrailingPathDelimiter; the delimiter is still "/".
inline std::string IncludeTrailingBackslash(std::string_view path) {
  return IncludeTrailingPathDelimiter(path);
}
