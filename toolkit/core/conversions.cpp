#include "toolkit/core/conversions.h"

#include <charconv>
#include <limits>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/float_text.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Returns Val's code; value is set on success only.
template <class T>
int ValInteger(std::string_view s, T& value) {
  using U = std::make_unsigned_t<T>;
  const auto position = [](size_t index) { return static_cast<int>(index + 1); };
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return position(i);
  U magnitude = 0;
  if (hex) {
    for (; i < s.size(); ++i) {
      const int digit = HexDigit(s[i]);
      if (digit < 0 || magnitude > (std::numeric_limits<U>::max() >> 4)) return position(i);
      magnitude = static_cast<U>(magnitude * 16 + static_cast<U>(digit));
    }
  } else {
    const U limit = static_cast<U>(std::numeric_limits<T>::max()) + (negative ? 1 : 0);
    for (; i < s.size(); ++i) {
      if (s[i] < '0' || s[i] > '9') return position(i);
      const auto digit = static_cast<U>(s[i] - '0');
      if (magnitude > (limit - digit) / 10) return position(i);
      magnitude = static_cast<U>(magnitude * 10 + digit);
    }
  }
  // Two's complement wrap: hexadecimal text may fill the sign bit.
  value = static_cast<T>(negative ? static_cast<U>(0 - magnitude) : magnitude);
  return 0;
}

template <class T>
T StrToIntOf(std::string_view text) {
  T value = 0;
  if (ValInteger(text, value) != 0) throw EConvertError(Format(SInvalidInteger, {text}));
  return value;
}

}  // namespace

void Val(std::string_view text, int32_t& value, int& code) {
  value = 0;
  code = ValInteger(text, value);
}

void Val(std::string_view text, int64_t& value, int& code) {
  value = 0;
  code = ValInteger(text, value);
}

int32_t StrToInt(std::string_view text) {
  return StrToIntOf<int32_t>(text);
}
int64_t StrToInt64(std::string_view text) {
  return StrToIntOf<int64_t>(text);
}

bool TryStrToInt(std::string_view text, int32_t& value) {
  int32_t parsed = 0;
  if (ValInteger(text, parsed) != 0) return false;
  value = parsed;
  return true;
}

bool TryStrToInt64(std::string_view text, int64_t& value) {
  int64_t parsed = 0;
  if (ValInteger(text, parsed) != 0) return false;
  value = parsed;
  return true;
}

int32_t StrToIntDef(std::string_view text, int32_t defaultValue) {
  TryStrToInt(text, defaultValue);
  return defaultValue;
}

int64_t StrToInt64Def(std::string_view text, int64_t defaultValue) {
  TryStrToInt64(text, defaultValue);
  return defaultValue;
}

std::string IntToHexBits(uint64_t bits, int digits) {
  std::string text = Format("%x", {bits});
  if (digits > 0 && text.size() < static_cast<size_t>(digits))
    text.insert(0, static_cast<size_t>(digits) - text.size(), '0');
  return text;
}

bool TryStrToFloat(std::string_view text, double& value) {
  size_t first = 0;
  size_t end = text.size();
  while (first < end && text[first] == ' ') ++first;
  while (end > first && text[end - 1] == ' ') --end;
  std::string_view s = text.substr(first, end - first);
  // Checked by hand so that only plain decimal text passes (no "inf", "nan" or hexadecimal floats).
  size_t i = 0;
  const bool plus = i < s.size() && s[i] == '+';
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t mantissaDigits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++mantissaDigits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  if (i != s.size()) return false;
  if (plus) s.remove_prefix(1);
  double parsed = 0;
  const auto result = std::from_chars(s.data(), s.data() + s.size(), parsed, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != s.data() + s.size()) return false;
  value = parsed;
  return true;
}

double StrToFloat(std::string_view text) {
  double value = 0;
  if (!TryStrToFloat(text, value)) throw EConvertError(Format(SInvalidFloat, {text}));
  return value;
}

std::string FloatToStr(double value) {
  return FloatToGeneral(value, 15);
}
