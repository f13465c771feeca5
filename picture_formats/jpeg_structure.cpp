#include "picture_formats/jpeg_structure.h"

#include <cstddef>
#include <cstring>

#include "picture_formats/byte_fields.h"

namespace {

constexpr uint8_t kSOI = 0xD8, kEOI = 0xD9, kSOS = 0xDA, kSOF0 = 0xC0, kSOF1 = 0xC1, kDHT = 0xC4, kJPG = 0xC8,
                  kDAC = 0xCC, kRST0 = 0xD0, kRST7 = 0xD7, kTEM = 0x01;

bool IsFrame(uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != kDHT && marker != kJPG && marker != kDAC;
}

}  // namespace

bool IsOneWholeSequentialScan(std::span<const uint8_t> file) {
  const size_t size = file.size();
  if (size < 4 || file[0] != 0xFF || file[1] != kSOI) return false;
  size_t at = 2;
  bool frame = false;
  for (;;) {
    // A marker: 0xFF, any fill bytes 0xFF, then its code.
    if (at >= size || file[at] != 0xFF) return false;
    while (at < size && file[at] == 0xFF) ++at;
    if (at >= size) return false;
    const uint8_t marker = file[at++];
    if (marker == 0 || marker == kSOI || marker == kEOI || marker == kTEM ||
        (marker >= kRST0 && marker <= kRST7))
      return false;
    if (at + 2 > size) return false;
    const size_t length = BigEndian16(file, at);
    if (length < 2 || at + length > size) return false;
    at += length;
    if (IsFrame(marker)) {
      if (frame || (marker != kSOF0 && marker != kSOF1)) return false;
      frame = true;
    }
    if (marker != kSOS) continue;
    if (!frame) return false;
    // The scan's entropy-coded data run to the first marker that is neither a stuffed zero nor a restart
    // marker; it must be the end of image.
    for (;; ++at) {
      const void* next = at < size ? std::memchr(file.data() + at, 0xFF, size - at) : nullptr;
      if (next == nullptr) return false;
      at = static_cast<size_t>(static_cast<const uint8_t*>(next) - file.data());
      size_t code = at + 1;
      while (code < size && file[code] == 0xFF) ++code;
      if (code >= size) return false;
      if (file[code] == 0 || (file[code] >= kRST0 && file[code] <= kRST7)) {
        at = code;
        continue;
      }
      return file[code] == kEOI;
    }
  }
}
