// What a picture costs to load, by file size: each file named is loaded as the program loads a picture
// by file name (through its reader's failure net), and the time of the load is printed with the file's
// size and the outcome. Run under /usr/bin/time -v (bench/reader_bounds.sh does) for the peak memory.
//
//   bench_reader_bounds FILE [repetitions]
//
// With --huge FOLDER SIZE FILE OUT, it only writes OUT: the picture FILE of the test samples below
// FOLDER (tests/data) with a header claiming 65535 x 65535 pixels, padded with zeros to SIZE bytes (the
// lying header of every reader), to be loaded by a run of its own.

#include <stdlib.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "bench/support/picture_loads.h"
#include "picture_formats/format_list.h"
#include "toolkit/core/file_names.h"
#include "toolkit/graphics/picture.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), {});
}

void WriteFile(const std::string& name, const Bytes& bytes) {
  std::ofstream(name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
}

void Put(Bytes& file, size_t at, uint64_t value, int size, bool bigEndian) {
  for (int i = 0; i < size; ++i)
    file.at(at + size_t(i)) = uint8_t(value >> (8 * (bigEndian ? size - 1 - i : i)));
}

// Where each sample keeps its width and height (the first two offsets) and how: the same lies as the
// readers' tests tell.
struct TSizeFields {
  const char* Extension;
  std::vector<size_t> At;
  int Size;
  bool BigEndian;
  uint64_t Value;
};

void ClaimHugeSize(Bytes& file, const std::string& extension) {
  static const TSizeFields fields[] = {
      {"tga", {12, 14}, 2, false, 0xFFFF}, {"pcx", {8, 10}, 2, false, 0xFFFE},
      {"pcx", {66}, 2, false, 0xFFFF},     {"sgi", {6, 8}, 2, true, 0xFFFF},
      {"psd", {14, 18}, 4, true, 0xFFFF},  {"psp", {50, 54}, 4, false, 0xFFFF},
      {"rla", {8, 12}, 2, true, 0x8000},   {"rla", {10, 14}, 2, true, 0x7FFE},
      {"cel", {2, 4}, 2, false, 0xFFFF},   {"cut", {0, 2}, 2, false, 0xFFFF},
      {"bmp", {18, 22}, 4, false, 0xFFFF}, {"png", {16, 20}, 4, true, 0xFFFF}};
  for (const TSizeFields& field : fields)
    if (extension == field.Extension)
      for (const size_t at : field.At) Put(file, at, field.Value, field.Size, field.BigEndian);
  if (extension == "png") Put(file, 29, crc32(0, file.data() + 12, 17), 4, true);  // the IHDR's CRC
  if (extension == "ppm") {
    const std::string header = "P6\n65535 65535\n255\n";
    file.assign(header.begin(), header.end());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 6 && std::string(argv[1]) == "--huge") {
    const std::string sample = std::string(argv[2]) + "/" + argv[4];
    std::string extension = ExtractFileExt(sample);
    extension.erase(0, 1);
    Bytes file = ReadFile(sample);
    ClaimHugeSize(file, extension);
    file.resize(std::max<size_t>(file.size(), strtoull(argv[3], nullptr, 10)));
    WriteFile(argv[5], file);
    return 0;
  }
  if (argc < 2 || std::string(argv[1]).starts_with("--")) {
    fprintf(stderr, "usage: %s FILE [repetitions] | --huge FOLDER SIZE FILE OUT\n", argv[0]);
    return 2;
  }
  InitializePictureFormats();
  const std::string name = argv[1];
  std::optional<TPicture> picture;
  PrintBestLoad(std::filesystem::path(name).filename(), size_t(std::filesystem::file_size(name)),
                argc >= 3 ? atoi(argv[2]) : 1, [&]() -> const TGraphic& {
                  picture.emplace();
                  picture->LoadFromFile(name);
                  return *picture->Graphic();
                });
  picture.reset();
  FinalizePictureFormats();
  return 0;
}
