// Loads one input as a PNG file, as the program loads one by file name, then once more with every
// chunk's CRC made right, so that changed bytes reach the decoding behind the checks.

#include <zlib.h>

#include <cstdint>
#include <vector>

#include "picture_formats/byte_fields.h"
#include "picture_formats/png_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

namespace {

// Writes the right CRC behind every whole chunk after the signature.
void MendChecksums(std::vector<uint8_t>& file) {
  size_t at = 8;
  while (at + 12 <= file.size()) {
    const uint32_t length = BigEndian32(file.data() + at);
    if (length > file.size() - at - 12) break;
    const uint32_t crc = static_cast<uint32_t>(crc32(0, file.data() + at + 4, length + 4));
    uint8_t* stored = file.data() + at + 8 + length;
    for (int i = 0; i < 4; ++i) stored[i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    at += 12 + size_t{length};
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> file(data, data + size);
  FuzzLoadedPicture<TPNGGraphic>(file.data(), file.size());
  MendChecksums(file);
  FuzzLoadedPicture<TPNGGraphic>(file.data(), file.size());
  return 0;
}
