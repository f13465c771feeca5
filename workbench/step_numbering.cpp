#include "workbench/step_numbering.h"

#include "toolkit/core/conversions.h"

namespace {

bool IsNumberChar(char c) {
  return c == '-' || (c >= '0' && c <= '9');
}

}  // namespace

int FirstNumberIn(const std::string& text) {
  size_t start = 0;
  while (start < text.size() && !IsNumberChar(text[start])) ++start;
  size_t end = start;
  while (end < text.size() && IsNumberChar(text[end])) ++end;
  if (end == start) return 0;
  int32_t value = 0;
  return TryStrToInt(text.substr(start, end - start), value) ? value : 4;
}
