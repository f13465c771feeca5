// Loads one input as a Photo-CD image pack. The input gives the pack's three header sectors. When it
// ends in "BASE", what lies between the header and those four bytes, repeated, fills the base image at
// sector 96 (a whole base image takes long to convert and its pixels do not change the reader's path,
// so mutations soon leave this path); otherwise the pack ends with the input. The pack is loaded as the
// program loads one by file name.

#include <algorithm>
#include <cstring>
#include <vector>

#include "picture_formats/pcd_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kHeader = TPCDGraphic::HeaderSize;
  constexpr size_t kBaseImage = 96 * TPCDGraphic::SectorSize;
  constexpr size_t kBaseImageSize = 768 * 512 * 3 / 2;
  std::vector<uint8_t> pack(data, data + std::min(size, kHeader));
  pack.resize(kHeader);
  if (size > kHeader) {
    const bool whole = size > kHeader + 4 && std::memcmp(data + size - 4, "BASE", 4) == 0;
    if (whole) {
      const size_t rest = size - kHeader - 4;
      pack.resize(kBaseImage + kBaseImageSize);
      for (size_t i = 0; i < kBaseImageSize; i += rest)
        std::copy_n(data + kHeader, std::min(rest, kBaseImageSize - i), pack.begin() + long(kBaseImage + i));
    } else {
      pack.insert(pack.end(), data + kHeader, data + size);
    }
  }
  TPCDGraphic picture;
  const TPixelFormat format = FuzzLoadedPicture<TPCDGraphic>(pack.data(), pack.size(), picture);
  if (format != pfDevice && !(format == pf24bit && picture.Width() * picture.Height() == 768 * 512))
    std::abort();
  return 0;
}
