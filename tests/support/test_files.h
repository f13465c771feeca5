#pragma once
// Helpers shared by the test suites: sample-file paths, temporary folders, whole-file reads.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Path of a committed sample file under tests/data.
std::string TestData(const std::string& relativePath);

// A fresh folder that is removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  // Full path of a file name inside the folder.
  std::string File(const std::string& name) const { return (FPath / name).string(); }

 private:
  std::filesystem::path FPath;
};

std::vector<uint8_t> ReadWholeFile(const std::string& fileName);
void WriteWholeFile(const std::string& fileName, const std::vector<uint8_t>& bytes);
