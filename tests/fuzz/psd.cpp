// Loads one input as a Photoshop file, as the program loads one by file name.

#include "picture_formats/psd_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzLoadedPicture<TPSDGraphic>(data, size);
  return 0;
}
