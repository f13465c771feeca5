// Loads one input as an SGI file.

#include "picture_formats/sgi_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader<TSGIGraphic>(data, size);
  return 0;
}
