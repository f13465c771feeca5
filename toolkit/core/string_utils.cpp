#include "toolkit/core/string_utils.h"

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

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

// --- UTF-8 ---

// Decodes well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF); nothing otherwise.
std::optional<std::vector<char32_t>> DecodeUtf8(std::string_view text) {
  std::vector<char32_t> out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length;
    char32_t code;
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
    } else {
      return std::nullopt;
    }
    if (text.size() - i < length) return std::nullopt;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      code = (code << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return std::nullopt;
    out.push_back(code);
    i += length;
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
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

unsigned char Windows1252Upper(unsigned char c) {
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A:
      return 0x8A;  // s caron
    case 0x9C:
      return 0x8C;  // oe
    case 0x9E:
      return 0x8E;  // z caron
    case 0xFF:
      return 0x9F;  // y diaeresis
    default:
      return AsciiUpper(c);
  }
}

unsigned char Windows1252Lower(unsigned char c) {
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A:
      return 0x9A;
    case 0x8C:
      return 0x9C;
    case 0x8E:
      return 0x9E;
    case 0x9F:
      return 0xFF;
    default:
      return AsciiLower(c);
  }
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
