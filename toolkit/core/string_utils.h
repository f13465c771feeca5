#pragma once
// Text helpers on 8-bit strings: comparison, case, search and trimming. Positions are 1-based as in
// Pascal, 0 meaning "not found".

#include <cstddef>
#include <string>
#include <string_view>

// Compares with the ASCII letters a-z taken as A-Z: < 0, 0 or > 0.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// Byte-wise comparison: < 0, 0 or > 0.
int CompareStr(std::string_view a, std::string_view b);

// ASCII letters only.
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

// Upper / lower case for people's text. Valid UTF-8 is cased as Unicode for the Latin-1 and Latin
// Extended-A letters (and ASCII), and stays valid UTF-8. Other text is taken as 8-bit text of the
// process's single-byte locale when it has one, else as Windows-1252 (the Western code page the
// program's files were first written in).
std::string AnsiUpperCase(std::string_view text);
std::string AnsiLowerCase(std::string_view text);

// 1-based position of the first occurrence of sub in text; 0 when absent or when sub is empty.
size_t AnsiPos(std::string_view sub, std::string_view text);
size_t Pos(std::string_view sub, std::string_view text);

// Remove leading and/or trailing blanks and control characters (bytes up to 32).
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// Compare at most maxLen characters of two zero-terminated texts (stopping at the end of either):
// StrLComp byte-wise, StrLIComp with ASCII letters case-folded. < 0, 0 or > 0.
int StrLComp(const char* a, const char* b, size_t maxLen);
int StrLIComp(const char* a, const char* b, size_t maxLen);
