#include "toolkit/core/inifiles.h"

#include <algorithm>

#include "toolkit/core/conversions.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/streams.h"
#include "toolkit/core/string_list.h"
#include "toolkit/core/string_utils.h"

TMemIniFile::TMemIniFile(std::string fileName) : FFileName(std::move(fileName)) {
  if (FileExists(FFileName)) Load();
}

void TMemIniFile::Load() {
  TStringList lines;
  lines.LoadFromFile(FFileName);
  TSection* current = nullptr;
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string line = Trim(lines[i]);
    if (line.empty() || line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      const std::string name = Trim(std::string_view(line).substr(1, line.size() - 2));
      current = FindSection(name);
      if (!current) current = &FSections.emplace_back(TSection{name, {}});
      continue;
    }
    if (!current) continue;
    const size_t equals = line.find('=');
    if (equals == std::string::npos)
      current->Lines.push_back(TLine{line, {}, false});
    else
      current->Lines.push_back(TLine{Trim(std::string_view(line).substr(0, equals)),
                                     Trim(std::string_view(line).substr(equals + 1)), true});
  }
}

int TMemIniFile::SectionIndex(std::string_view section) const {
  for (size_t i = 0; i < FSections.size(); ++i)
    if (SameText(FSections[i].Name, section)) return static_cast<int>(i);
  return -1;
}

int TMemIniFile::LineIndex(const TSection& section, std::string_view name) {
  for (size_t i = 0; i < section.Lines.size(); ++i)
    if (section.Lines[i].HasValue && SameText(section.Lines[i].Name, name)) return static_cast<int>(i);
  return -1;
}

const TMemIniFile::TSection* TMemIniFile::FindSection(std::string_view section) const {
  const int index = SectionIndex(section);
  return index < 0 ? nullptr : &FSections[static_cast<size_t>(index)];
}

TMemIniFile::TSection* TMemIniFile::FindSection(std::string_view section) {
  const int index = SectionIndex(section);
  return index < 0 ? nullptr : &FSections[static_cast<size_t>(index)];
}

std::string TMemIniFile::ReadString(std::string_view section, std::string_view name,
                                    const std::string& defaultValue) const {
  const TSection* s = FindSection(section);
  const int line = s ? LineIndex(*s, name) : -1;
  return line < 0 ? defaultValue : s->Lines[static_cast<size_t>(line)].Value;
}

void TMemIniFile::WriteString(std::string_view section, std::string_view name, const std::string& value) {
  TSection* s = FindSection(section);
  if (!s) s = &FSections.emplace_back(TSection{std::string(section), {}});
  const int line = LineIndex(*s, name);
  if (line >= 0)
    s->Lines[static_cast<size_t>(line)].Value = value;
  else
    s->Lines.push_back(TLine{std::string(name), value, true});
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
  std::erase_if(FSections, [section](const TSection& s) { return SameText(s.Name, section); });
}

void TMemIniFile::DeleteKey(std::string_view section, std::string_view name) {
  TSection* s = FindSection(section);
  if (!s) return;
  const int line = LineIndex(*s, name);
  if (line >= 0) s->Lines.erase(s->Lines.begin() + line);
}

std::string TMemIniFile::Text() const {
  std::string text;
  for (const TSection& s : FSections) {
    text += "[" + s.Name + "]\r\n";
    for (const TLine& line : s.Lines)
      text += (line.HasValue ? line.Name + "=" + line.Value : line.Name) + "\r\n";
    text += "\r\n";
  }
  return text;
}

void TMemIniFile::UpdateFile() const {
  const std::string text = Text();
  TFileStream file(FFileName, fmCreate);
  file.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}
