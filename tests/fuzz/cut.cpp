// Loads one input as a Dr. Halo CUT picture (from a stream, so with gray levels), as the program loads
// one by file name.

#include "picture_formats/cut_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzLoadedPicture<TCUTGraphic>(data, size);
  return 0;
}
