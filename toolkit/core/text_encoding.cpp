#include "toolkit/core/text_encoding.h"

#include <array>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Windows-1252 bytes 0x80 to 0x9F; the unassigned ones keep their own value.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return (c | 0x20) - 'a' + 10;
}

// "\x" and two hex digits at text[at].
bool EscapeAt(std::string_view text, size_t at) {
  return at + 3 < text.size() && text[at] == '\\' && text[at + 1] == 'x' && IsHexDigit(text[at + 2]) &&
         IsHexDigit(text[at + 3]);
}

void AppendEscape(std::string& out, unsigned char byte) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  out += "\\x";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0x0F];
}

}  // namespace

char32_t Windows1252Char(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char32_t{byte};
}

std::optional<char> Windows1252Byte(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
  for (size_t i = 0; i < kWindows1252High.size(); ++i)
    if (kWindows1252High[i] == code) return static_cast<char>(0x80 + i);
  return std::nullopt;
}

size_t Utf8SequenceLength(std::string_view text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  size_t length;
  char32_t code;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[at + k]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
  return length;
}

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t length = Utf8SequenceLength(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::optional<std::vector<char32_t>> DecodeUtf8(std::string_view text) {
  std::vector<char32_t> out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t length = Utf8SequenceLength(text, i);
    if (length == 0) return std::nullopt;
    constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = static_cast<unsigned char>(text[i]) & kLeadMask[length];
    for (size_t k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
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

std::string Windows1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80)
      out += c;
    else
      AppendUtf8(out, Windows1252Char(byte));
  }
  return out;
}

std::optional<std::string> Utf8ToWindows1252(std::string_view text) {
  const auto codes = DecodeUtf8(text);
  if (!codes) return std::nullopt;
  std::string out;
  out.reserve(codes->size());
  for (char32_t code : *codes) {
    const std::optional<char> byte = Windows1252Byte(code);
    if (!byte) return std::nullopt;
    out += *byte;
  }
  return out;
}

std::string TextToUtf8(std::string_view bytes, TTextEncoding& encoding) {
  if (bytes.starts_with(kByteOrderMark) && IsValidUtf8(bytes.substr(kByteOrderMark.size()))) {
    encoding = TTextEncoding::teUtf8Bom;
    return std::string(bytes.substr(kByteOrderMark.size()));
  }
  if (IsValidUtf8(bytes)) {
    encoding = TTextEncoding::teUtf8;
    return std::string(bytes);
  }
  encoding = TTextEncoding::teWindows1252;
  return Windows1252ToUtf8(bytes);
}

std::string Utf8ToText(std::string_view text, TTextEncoding& encoding) {
  if (encoding == TTextEncoding::teWindows1252) {
    if (std::optional<std::string> bytes = Utf8ToWindows1252(text)) return std::move(*bytes);
    encoding = TTextEncoding::teUtf8;
  }
  if (encoding == TTextEncoding::teUtf8Bom) return std::string(kByteOrderMark).append(text);
  return std::string(text);
}

std::string EscapeName(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    const size_t length = Utf8SequenceLength(bytes, i);
    if (length == 0 || EscapeAt(bytes, i)) {
      AppendEscape(out, static_cast<unsigned char>(bytes[i]));
      ++i;
    } else {
      out.append(bytes.substr(i, length));
      i += length;
    }
  }
  return out;
}

std::string UnescapeName(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (EscapeAt(text, i)) {
      out += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
      i += 4;
    } else {
      out += text[i++];
    }
  }
  return out;
}
