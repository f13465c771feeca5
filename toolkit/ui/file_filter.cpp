#include "toolkit/ui/file_filter.h"

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  while (true) {
    const auto end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

// The description without a trailing "(...)" that only lists patterns.
std::string WithoutPatternList(const std::string& description) {
  const std::string trimmed = Trim(description);
  if (trimmed.empty() || trimmed.back() != ')') return trimmed;
  const auto open = trimmed.rfind('(');
  if (open == std::string::npos) return trimmed;
  const std::string inside = trimmed.substr(open + 1, trimmed.size() - open - 2);
  if (inside.find('*') == std::string::npos) return trimmed;
  return Trim(trimmed.substr(0, open));
}

}  // namespace

std::vector<TFilterEntry> ParseFilter(const std::string& filter) {
  std::vector<TFilterEntry> entries;
  if (filter.empty()) return entries;
  const std::vector<std::string> parts = Split(filter, '|');
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    TFilterEntry entry;
    entry.Description = parts[i];
    for (const std::string& pattern : Split(parts[i + 1], ';')) {
      const std::string trimmed = Trim(pattern);
      if (!trimmed.empty()) entry.Patterns.push_back(trimmed);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<std::string> QtNameFilters(const std::string& filter) {
  std::vector<std::string> result;
  for (const TFilterEntry& entry : ParseFilter(filter)) {
    std::string patterns;
    for (const std::string& pattern : entry.Patterns) {
      if (!patterns.empty()) patterns += ' ';
      patterns += pattern;
    }
    std::string description = WithoutPatternList(entry.Description);
    if (description.empty()) description = patterns;
    result.push_back(description + " (" + patterns + ")");
  }
  return result;
}

std::vector<std::string> FilterPatterns(const std::string& filter, int filterIndex) {
  const std::vector<TFilterEntry> entries = ParseFilter(filter);
  if (entries.empty()) return {};
  const size_t index = filterIndex >= 1 && static_cast<size_t>(filterIndex) <= entries.size()
                           ? static_cast<size_t>(filterIndex - 1)
                           : 0;
  return entries[index].Patterns;
}
