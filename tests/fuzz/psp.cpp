// Loads one input as a Paint Shop Pro file.

#include "picture_formats/psp_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader<TPSPGraphic>(data, size);
  return 0;
}
