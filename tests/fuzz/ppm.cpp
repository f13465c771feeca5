// Loads one input as a portable map. Damaged maps may only end in the reader's errors, a sample above
// the maximum (range error), a number beyond 32 bits (overflow) or a size the machine cannot hold.

#include "picture_formats/ppm_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader<TPPMGraphic, EInvalidGraphic, ERangeError, EIntOverflow, EOutOfResources>(data, size);
  return 0;
}
