#pragma once
// Text as files and file names hold it. The program's strings are UTF-8; files written on older
// Windows systems are 8-bit Windows-1252, and a file name is whatever bytes its folder holds.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// teUtf8Bom: UTF-8 that starts with a byte-order mark, as common Windows editors save it.
enum class TTextEncoding { teUtf8, teUtf8Bom, teWindows1252 };

// The length of the well-formed UTF-8 sequence at text[at] (no overlong forms, no surrogates, at most
// U+10FFFF), or 0 when none starts there.
size_t Utf8SequenceLength(std::string_view text, size_t at);
bool IsValidUtf8(std::string_view text);
// The code points of well-formed UTF-8; nothing otherwise.
std::optional<std::vector<char32_t>> DecodeUtf8(std::string_view text);
void AppendUtf8(std::string& out, char32_t code);

// A byte as its Windows-1252 character; the five bytes that code page leaves unassigned are the C1
// controls of the same value, so that every byte comes back unchanged.
char32_t Windows1252Char(unsigned char byte);
// The byte of a character in Windows-1252; nothing when that code page has not the character.
std::optional<char> Windows1252Byte(char32_t code);
// Each byte as its Windows-1252 character (Windows1252Char).
std::string Windows1252ToUtf8(std::string_view bytes);
// The text in Windows-1252; nothing when it holds a character that code page has not (or is not UTF-8).
std::optional<std::string> Utf8ToWindows1252(std::string_view text);

// Text read from a file: valid UTF-8 stays as it is (without a leading byte-order mark), anything else
// is taken as Windows-1252. The encoding found is returned so that the text can be written back the
// same way, the mark included.
std::string TextToUtf8(std::string_view bytes, TTextEncoding& encoding);
// The text in the encoding asked for; UTF-8 when the text holds a character that encoding cannot
// carry (nothing is lost), which encoding then says.
std::string Utf8ToText(std::string_view text, TTextEncoding& encoding);

// A name as people can read and type it: valid UTF-8 stays as it is, each byte outside it is written
// "\xHH", and a backslash that would read as such an escape is itself written "\x5C".
// UnescapeName(EscapeName(bytes)) gives the bytes back exactly.
std::string EscapeName(std::string_view bytes);
std::string UnescapeName(std::string_view text);
