#include "toolkit/core/string_utils.h"

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "toolkit/core/text_encoding.h"

namespace {

unsigned char AsciiUpper(unsigned char c) {
  return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}
unsigned char AsciiLower(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

int Sign(int value) {
  return (value > 0) - (value < 0);
}

// Latin Extended-A holds its pairs either as (even upper, odd lower) or as (odd upper, even lower).
bool EvenIsUpper(char32_t c) {
  return (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
}
bool OddIsUpper(char32_t c) {
  return (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
}

char32_t UnicodeUpper(char32_t c) {
  if (c < 0x80) return AsciiUpper(static_cast<unsigned char>(c));
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  if (EvenIsUpper(c) && c % 2 == 1) return c - 1;
  if (OddIsUpper(c) && c % 2 == 0) return c - 1;
  return c;
}

char32_t UnicodeLower(char32_t c) {
  if (c < 0x80) return AsciiLower(static_cast<unsigned char>(c));
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  if (c == 0x178) return 0xFF;
  if (EvenIsUpper(c) && c % 2 == 0) return c + 1;
  if (OddIsUpper(c) && c % 2 == 1) return c + 1;
  return c;
}

// --- 8-bit text ---

// True when the C library's character type locale is a single-byte one other than C / POSIX.
bool SingleByteLocale() {
  if (MB_CUR_MAX != 1) return false;
  const char* name = std::setlocale(LC_CTYPE, nullptr);
  return name && std::strcmp(name, "C") != 0 && std::strcmp(name, "POSIX") != 0;
}

// An 8-bit letter cased as its Windows-1252 character is; a character the code page has not in the
// other case keeps its byte.
unsigned char Windows1252Case(unsigned char c, char32_t (*unicodeCase)(char32_t)) {
  return static_cast<unsigned char>(
      Windows1252Byte(unicodeCase(Windows1252Char(c))).value_or(static_cast<char>(c)));
}

unsigned char Windows1252Upper(unsigned char c) {
  return Windows1252Case(c, UnicodeUpper);
}

unsigned char Windows1252Lower(unsigned char c) {
  return Windows1252Case(c, UnicodeLower);
}

template <class Utf8Map, class ByteMap, class LocaleMap>
std::string ChangeCase(std::string_view text, Utf8Map utf8Map, ByteMap byteMap, LocaleMap localeMap) {
  std::string out;
  out.reserve(text.size());
  if (const auto codes = DecodeUtf8(text)) {
    for (char32_t c : *codes) AppendUtf8(out, utf8Map(c));
    return out;
  }
  const bool useLocale = SingleByteLocale();
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    out += static_cast<char>(useLocale ? static_cast<unsigned char>(localeMap(byte)) : byteMap(byte));
  }
  return out;
}

size_t FindPos(std::string_view sub, std::string_view text) {
  if (sub.empty()) return 0;
  const size_t at = text.find(sub);
  return at == std::string_view::npos ? 0 : at + 1;
}

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

int CompareText(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const int diff =
        AsciiUpper(static_cast<unsigned char>(a[i])) - AsciiUpper(static_cast<unsigned char>(b[i]));
    if (diff != 0) return diff;
  }
  return Sign(static_cast<int>(a.size() > b.size()) - static_cast<int>(a.size() < b.size()));
}

bool SameText(std::string_view a, std::string_view b) {
  return CompareText(a, b) == 0;
}

int CompareStr(std::string_view a, std::string_view b) {
  return Sign(a.compare(b));
}

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(AsciiUpper(static_cast<unsigned char>(c)));
  return out;
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(AsciiLower(static_cast<unsigned char>(c)));
  return out;
}

std::string AnsiUpperCase(std::string_view text) {
  return ChangeCase(text, UnicodeUpper, Windows1252Upper, [](unsigned char c) { return std::toupper(c); });
}

std::string AnsiLowerCase(std::string_view text) {
  return ChangeCase(text, UnicodeLower, Windows1252Lower, [](unsigned char c) { return std::tolower(c); });
}

size_t AnsiPos(std::string_view sub, std::string_view text) {
  return FindPos(sub, text);
}

size_t Pos(std::string_view sub, std::string_view text) {
  return FindPos(sub, text);
}

std::string TrimLeft(std::string_view text) {
  size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  return std::string(text.substr(first));
}

std::string TrimRight(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  return std::string(text.substr(0, end));
}

std::string Trim(std::string_view text) {
  return TrimLeft(TrimRight(text));
}

int StrLComp(const char* a, const char* b, size_t maxLen) {
  for (size_t i = 0; i < maxLen; ++i) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[i]);
    if (ca != cb) return ca - cb;
    if (ca == 0) break;
  }
  return 0;
}

int StrLIComp(const char* a, const char* b, size_t maxLen) {
  for (size_t i = 0; i < maxLen; ++i) {
    const unsigned char ca = AsciiUpper(static_cast<unsigned char>(a[i]));
    const unsigned char cb = AsciiUpper(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca - cb;
    if (ca == 0) break;
  }
  return 0;
}
