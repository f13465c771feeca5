#include "workbench/step_numbering.h"

#include "toolkit/core/conversions.h"
#include "toolkit/core/format.h"

namespace {

bool IsNumberChar(char c) {
  return c == '-' || (c >= '0' && c <= '9');
}

}  // namespace

int DigitCount(int n) {
  return static_cast<int>(Format("%d", {n}).size());
}

int FirstNumberIn(const std::string& text) {
  size_t start = 0;
  while (start < text.size() && !IsNumberChar(text[start])) ++start;
  size_t end = start;
  while (end < text.size() && IsNumberChar(text[end])) ++end;
  if (end == start) return 0;
  int32_t value = 0;
  return TryStrToInt(text.substr(start, end - start), value) ? value : 4;
}

std::string BuildNumFormat(int width, int digits, bool autoAdapt) {
  if (autoAdapt && width < digits) width = digits;
  if (width >= 1) return Format("%s%d.%d%s", {"%s%", width, width, "d%s"});
  if (width == 0) return "%s%d%s";
  return "%s%4.4d%s";
}
