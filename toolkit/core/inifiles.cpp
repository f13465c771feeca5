#include "toolkit/core/inifiles.h"

#include <cstddef>
#include <utility>

#include "toolkit/core/conversions.h"
#include "toolkit/core/file_replace.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/streams.h"
#include "toolkit/core/string_list.h"
#include "toolkit/core/string_utils.h"

TMemIniFile::TMemIniFile(std::string fileName) : FFileName(std::move(fileName)) {
  if (FileExists(FFileName)) Load();
}

size_t TMemIniFile::TNameHash::operator()(std::string_view name) const {
  // FNV-1a over the upper-cased ASCII letters.
  size_t hash = 14695981039346656037ull;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    hash = (hash ^ byte) * 1099511628211ull;
  }
  return hash;
}

bool TMemIniFile::TNameEqual::operator()(std::string_view a, std::string_view b) const {
  return SameText(a, b);
}

void TMemIniFile::TSection::AddLine(TLine line) {
  if (line.HasValue) Keys.try_emplace(line.Name, Lines.size());
  Lines.push_back(std::move(line));
}

void TMemIniFile::TSection::ReindexKeys() {
  Keys.clear();
  for (size_t i = 0; i < Lines.size(); ++i)
    if (Lines[i].HasValue) Keys.try_emplace(Lines[i].Name, i);
}

void TMemIniFile::Load() {
  TStringList lines;
  lines.LoadFromFile(FFileName);
  Parse(lines);
}

void TMemIniFile::SetText(std::string_view text) {
  TStringList lines;
  lines.SetText(text);
  Parse(lines);
}

void TMemIniFile::Parse(const TStringList& lines) {
  Clear();
  TSection* current = nullptr;
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string line = Trim(lines[i]);
    if (line.empty() || line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      const std::string name = Trim(std::string_view(line).substr(1, line.size() - 2));
      current = FindSection(name);
      if (!current) current = &AddSection(name);
      continue;
    }
    if (!current) continue;
    const size_t equals = line.find('=');
    if (equals == std::string::npos)
      current->AddLine(TLine{line, {}, false});
    else
      current->AddLine(TLine{Trim(std::string_view(line).substr(0, equals)),
                             Trim(std::string_view(line).substr(equals + 1)), true});
  }
}

void TMemIniFile::Clear() {
  FSections.clear();
  FSectionIndex.clear();
}

int TMemIniFile::LineIndex(const TSection& section, std::string_view name) {
  const auto found = section.Keys.find(name);
  return found == section.Keys.end() ? -1 : static_cast<int>(found->second);
}

TMemIniFile::TSection& TMemIniFile::AddSection(std::string_view section) {
  FSectionIndex.try_emplace(std::string(section), FSections.size());
  return FSections.emplace_back(TSection{std::string(section), {}, {}});
}

const TMemIniFile::TSection* TMemIniFile::FindSection(std::string_view section) const {
  const auto found = FSectionIndex.find(section);
  return found == FSectionIndex.end() ? nullptr : &FSections[found->second];
}

TMemIniFile::TSection* TMemIniFile::FindSection(std::string_view section) {
  return const_cast<TSection*>(std::as_const(*this).FindSection(section));
}

std::string TMemIniFile::ReadString(std::string_view section, std::string_view name,
                                    const std::string& defaultValue) const {
  const TSection* s = FindSection(section);
  const int line = s ? LineIndex(*s, name) : -1;
  return line < 0 ? defaultValue : s->Lines[static_cast<size_t>(line)].Value;
}

void TMemIniFile::WriteString(std::string_view section, std::string_view name, const std::string& value) {
  TSection* s = FindSection(section);
  if (!s) s = &AddSection(section);
  const int line = LineIndex(*s, name);
  if (line >= 0)
    s->Lines[static_cast<size_t>(line)].Value = value;
  else
    s->AddLine(TLine{std::string(name), value, true});
}

int32_t TMemIniFile::ReadInteger(std::string_view section, std::string_view name,
                                 int32_t defaultValue) const {
  std::string text = ReadString(section, name, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, "$");
  return StrToIntDef(text, defaultValue);
}

void TMemIniFile::WriteInteger(std::string_view section, std::string_view name, int32_t value) {
  WriteString(section, name, IntToStr(value));
}

bool TMemIniFile::ReadBool(std::string_view section, std::string_view name, bool defaultValue) const {
  return ReadInteger(section, name, defaultValue ? 1 : 0) != 0;
}

void TMemIniFile::WriteBool(std::string_view section, std::string_view name, bool value) {
  WriteString(section, name, value ? "1" : "0");
}

void TMemIniFile::ReadSection(std::string_view section, TStrings& names) const {
  names.BeginUpdate();
  names.Clear();
  if (const TSection* s = FindSection(section))
    for (const TLine& line : s->Lines)
      if (line.HasValue) names.Add(line.Name);
  names.EndUpdate();
}

void TMemIniFile::ReadSections(TStrings& sections) const {
  sections.BeginUpdate();
  sections.Clear();
  for (const TSection& s : FSections) sections.Add(s.Name);
  sections.EndUpdate();
}

void TMemIniFile::ReadSectionValues(std::string_view section, TStrings& lines) const {
  lines.BeginUpdate();
  lines.Clear();
  if (const TSection* s = FindSection(section))
    for (const TLine& line : s->Lines) lines.Add(line.HasValue ? line.Name + "=" + line.Value : line.Name);
  lines.EndUpdate();
}

bool TMemIniFile::SectionExists(std::string_view section) const {
  return FindSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(std::string_view section, std::string_view name) const {
  const TSection* s = FindSection(section);
  return s && LineIndex(*s, name) >= 0;
}

void TMemIniFile::EraseSection(std::string_view section) {
  const auto found = FSectionIndex.find(section);
  if (found == FSectionIndex.end()) return;
  FSections.erase(FSections.begin() + static_cast<std::ptrdiff_t>(found->second));
  // The sections after it have moved up by one.
  FSectionIndex.clear();
  for (size_t i = 0; i < FSections.size(); ++i) FSectionIndex.emplace(FSections[i].Name, i);
}

void TMemIniFile::DeleteKey(std::string_view section, std::string_view name) {
  TSection* s = FindSection(section);
  if (!s) return;
  const int line = LineIndex(*s, name);
  if (line < 0) return;
  s->Lines.erase(s->Lines.begin() + line);
  s->ReindexKeys();
}

std::string TMemIniFile::Text() const {
  std::string text;
  for (const TSection& s : FSections) {
    text.append("[").append(s.Name).append("]\r\n");
    for (const TLine& line : s.Lines) {
      text += line.Name;
      if (line.HasValue) text.append("=").append(line.Value);
      text += "\r\n";
    }
    text += "\r\n";
  }
  return text;
}

void TMemIniFile::UpdateFile() const {
  WriteFileReplacing(FFileName, Text());
}
