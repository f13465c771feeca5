#pragma once
// Reads a text file line by line, as Pascal's text files do: a line ends at LF or at CR LF (a lone CR
// stays in the line), and reading past the end gives empty lines.

#include <string>
#include <vector>

class TTextReader {
 public:
  // Reads the whole file; raises EFOpenError when it cannot be opened.
  explicit TTextReader(const std::string& fileName);

  // The next line without its line end; "" once the end is passed.
  std::string ReadLn();
  // True when every line has been read.
  bool Eof() const { return FNext >= FLines.size(); }

 private:
  std::vector<std::string> FLines;
  size_t FNext = 0;
};
