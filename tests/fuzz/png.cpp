// Loads one input as a PNG file, then once more with every chunk's CRC made right, so that changed
// bytes reach the decoding behind the checks. Damaged data may only ever end in the reader's errors:
// the library's EInvalidGraphic, the decoders' EGraphicCompression or the stream's EReadError.

#include <zlib.h>

#include <cstdint>
#include <vector>

#include "picture_formats/byte_fields.h"
#include "picture_formats/decoder.h"
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
  // The IHDR record's width and height lie at bytes 16 to 23 of a PNG file; they are left out before
  // the checksums are mended too.
  if (size >= 24 && uint64_t{BigEndian32(data + 16)} * BigEndian32(data + 20) > kFuzzMaxPixels) return 0;
  std::vector<uint8_t> file(data, data + size);
  FuzzReader<TPNGGraphic, EInvalidGraphic, EGraphicCompression, EReadError>(file.data(), file.size());
  MendChecksums(file);
  FuzzReader<TPNGGraphic, EInvalidGraphic, EGraphicCompression, EReadError>(file.data(), file.size());
  return 0;
}
