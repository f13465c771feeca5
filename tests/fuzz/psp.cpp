// Loads one input as a Paint Shop Pro file, as the program loads one by file name.

#include "picture_formats/psp_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzLoadedPicture<TPSPGraphic>(data, size);
  return 0;
}
