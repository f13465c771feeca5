#include "toolkit/core/file_names.h"

namespace {

// Index of the dot that starts the name part's extension, or npos.
size_t ExtensionDot(std::string_view fileName) {
  const size_t at = fileName.find_last_of("./");
  return at != std::string_view::npos && fileName[at] == '.' ? at : std::string_view::npos;
}

}  // namespace

std::string ExtractFileExt(std::string_view fileName) {
  const size_t dot = ExtensionDot(fileName);
  return dot == std::string_view::npos ? std::string() : std::string(fileName.substr(dot));
}

std::string ExtractFileName(std::string_view fileName) {
  const size_t slash = fileName.rfind(PathDelim);
  return std::string(slash == std::string_view::npos ? fileName : fileName.substr(slash + 1));
}

std::string ExtractFilePath(std::string_view fileName) {
  const size_t slash = fileName.rfind(PathDelim);
  return slash == std::string_view::npos ? std::string() : std::string(fileName.substr(0, slash + 1));
}

std::string ExtractFileDir(std::string_view fileName) {
  const size_t slash = fileName.rfind(PathDelim);
  if (slash == std::string_view::npos) return {};
  // The root keeps its "/".
  const size_t end = slash > 0 ? slash : 1;
  return std::string(fileName.substr(0, end));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension) {
  const size_t dot = ExtensionDot(fileName);
  return std::string(fileName.substr(0, dot)) + std::string(extension);
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  std::string out(path);
  if (out.empty() || out.back() != PathDelim) out += PathDelim;
  return out;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path) {
  if (!path.empty() && path.back() == PathDelim) path.remove_suffix(1);
  return std::string(path);
}
