#pragma once
// TMemIniFile: an ini file held wholly in memory as ordered sections of ordered "name=value" lines.
//
// Reading: lines end at CR, LF or CR LF; each is trimmed of blanks and control characters; empty lines
// and lines starting with ";" are skipped; "[name]" opens a section (name trimmed; a section named
// again continues the first one); lines before the first section are dropped; a line is split at its
// first "=" into a name and a value, both trimmed; a line without "=" is kept as it stands but gives
// no value. Sections and names are found with ASCII letter case ignored; a missing section or name
// gives the caller's default.
//
// Writing: a new name is appended to its section, a new section to the end; an existing name keeps its
// place and takes the new value, written unchanged. UpdateFile writes each section as "[name]", its
// lines, then one empty line, every line ending in CR LF.
//
// Sections and names are indexed, so that reading, writing and looking up cost time in proportion to
// the file's size, whatever the number of sections.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TStrings;
class TStringList;

class TMemIniFile {
 public:
  // Reads the file when it exists (a missing file or a folder gives an empty ini); raises EFOpenError
  // when an existing file cannot be read.
  explicit TMemIniFile(std::string fileName);

  // Replaces every section by those of the ini text, read by the rules above.
  void SetText(std::string_view text);

  const std::string& FileName() const { return FFileName; }

  std::string ReadString(std::string_view section, std::string_view name,
                         const std::string& defaultValue) const;
  void WriteString(std::string_view section, std::string_view name, const std::string& value);
  // Decimal, or hexadecimal after "0x" / "0X" (or "$"); text that is no 32-bit integer gives the default.
  int32_t ReadInteger(std::string_view section, std::string_view name, int32_t defaultValue) const;
  void WriteInteger(std::string_view section, std::string_view name, int32_t value);
  // Read as an integer (default 1 for true, 0 for false); any value other than 0 is true.
  bool ReadBool(std::string_view section, std::string_view name, bool defaultValue) const;
  // Writes "1" or "0".
  void WriteBool(std::string_view section, std::string_view name, bool value);

  // Fills the list (cleared first) with the section's names / the section names / the section's lines
  // as "name=value" (lines without "=" as they stand).
  void ReadSection(std::string_view section, TStrings& names) const;
  void ReadSections(TStrings& sections) const;
  void ReadSectionValues(std::string_view section, TStrings& lines) const;
  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view name) const;
  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view name);
  // Forgets every section.
  void Clear();

  // The ini text as UpdateFile writes it.
  std::string Text() const;
  // Writes the file, replacing an existing one only once the new one is whole (the old one stays as it
  // was when the write fails); raises EFCreateError when it cannot be created, EWriteError when it
  // cannot be written wholly.
  void UpdateFile() const;

 private:
  struct TLine {
    std::string Name;  // the whole line when it has no "="
    std::string Value;
    bool HasValue = false;
  };
  // Names compared with ASCII letter case ignored, looked up without a copy of the name.
  struct TNameHash {
    using is_transparent = void;
    size_t operator()(std::string_view name) const;
  };
  struct TNameEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
  };
  using TNameIndex = std::unordered_map<std::string, size_t, TNameHash, TNameEqual>;

  struct TSection {
    std::string Name;
    std::vector<TLine> Lines;
    // The first line with a value of each name.
    TNameIndex Keys;

    void AddLine(TLine line);
    void ReindexKeys();
  };

  void Load();
  void Parse(const TStringList& lines);
  // Index of the named line with a value, or -1.
  static int LineIndex(const TSection& section, std::string_view name);
  // The section, or null.
  const TSection* FindSection(std::string_view section) const;
  TSection* FindSection(std::string_view section);
  TSection& AddSection(std::string_view section);

  std::string FFileName;
  std::vector<TSection> FSections;
  // Where each section stands in FSections (a section named again continues the first, so there is one
  // of each name).
  TNameIndex FSectionIndex;
};
