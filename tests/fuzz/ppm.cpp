// Loads one input as a portable map. Data must be present before a bitmap is made, so headers need no
// size limit here. Damaged maps may only end in the reader's errors, a sample above the maximum (range
// error) or a number beyond 32 bits (overflow).

#include "picture_formats/ppm_graphic.h"
#include "tests/fuzz/reader_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPPMGraphic picture;
  LoadFuzzInput<TPPMGraphic, EInvalidGraphic, ERangeError, EIntOverflow, EOutOfResources>(data, size,
                                                                                          picture);
  return 0;
}
