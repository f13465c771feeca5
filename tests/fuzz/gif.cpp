// Loads one input as a GIF file. Damaged data may only ever end in the reader's own message,
// EInvalidGraphic naming the format, or in a picture flagged as ending early.

#include "picture_formats/gif_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader<TGIFGraphic, EInvalidGraphic>(data, size);
  return 0;
}
