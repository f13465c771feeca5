// Loads one input as a Photoshop file.

#include "picture_formats/psd_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader<TPSDGraphic>(data, size);
  return 0;
}
