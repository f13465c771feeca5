#include "toolkit/core/text_reader.h"

#include "toolkit/core/streams.h"

TTextReader::TTextReader(const std::string& fileName) {
  TMemoryStream data;
  data.LoadFromFile(fileName);
  const auto bytes = data.Bytes();
  std::string line;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      FLines.push_back(std::move(line));
      line.clear();
    } else {
      line += static_cast<char>(bytes[i]);
    }
  }
  // A last line without a line end still counts.
  if (!line.empty()) FLines.push_back(std::move(line));
}

std::string TTextReader::ReadLn() {
  return Eof() ? std::string() : FLines[FNext++];
}
