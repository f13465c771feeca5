// Loads one input as a PNG file, as the program loads a picture, and brings a loaded picture to the
// 24-bit form the workbench works on; then loads it once more with every chunk's CRC made right, so
// that changed bytes reach the decoding behind the checks. Damaged data may only ever end in the
// reader's errors: the library's EInvalidGraphic, the decoders' EGraphicCompression or the stream's
// EReadError.

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "picture_formats/png_graphic.h"
#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"

namespace {

// Headers promising more pixels are left out: the reader makes and fills the bitmap a header asks for
// before any image data arrives, which only slows the search without reaching other code.
constexpr uint64_t kMaxPixels = uint64_t{1} << 20;

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

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

void LoadOnce(const std::vector<uint8_t>& file) {
  TMemoryStream stream;
  stream.Write(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(0);
  if (TPNGGraphic::CanLoad(stream) && stream.Position() != 0) std::abort();
  TPNGGraphic graphic;
  try {
    graphic.LoadFromStream(stream);
    TBitmap working;
    working.Assign(graphic);
    working.SetPixelFormat(pf24bit);
  } catch (const EInvalidGraphic&) {
  } catch (const EGraphicCompression&) {
  } catch (const EReadError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The IHDR record's width and height lie at bytes 16 to 23 of a PNG file.
  if (size >= 24 && uint64_t{BigEndian32(data + 16)} * BigEndian32(data + 20) > kMaxPixels) return 0;
  std::vector<uint8_t> file(data, data + size);
  LoadOnce(file);
  MendChecksums(file);
  LoadOnce(file);
  return 0;
}
