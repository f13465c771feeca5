// Loads one input as a TIFF file, or as a DOS EPS file when it starts with that format's magic number,
// as the program loads a picture: whatever size the header claims, and through the failure net, so a
// damaged file may only end in the reader's own message naming the format.

#include <cstdint>

#include "picture_formats/byte_fields.h"
#include "picture_formats/tiff_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 4 && LittleEndian32(data) == 0xC6D3D0C5)
    FuzzLoadedPicture<TEPSGraphic>(data, size);
  else
    FuzzLoadedPicture<TTIFFGraphic>(data, size);
  return 0;
}
