// Loads one input as a GIF file. Damaged data may only ever end in the reader's errors: the library's
// EInvalidGraphic, the stream's EReadError, EConvertError for a version that is not a number, or
// ERangeError for an LZW minimum code size beyond 8.

#include "picture_formats/gif_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader<TGIFGraphic, EInvalidGraphic, EReadError, EConvertError, ERangeError>(data, size);
  return 0;
}
