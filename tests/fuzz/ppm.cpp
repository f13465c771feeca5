// Loads one input as a portable map, as the program loads one by file name.

#include "picture_formats/ppm_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzLoadedPicture<TPPMGraphic>(data, size);
  return 0;
}
