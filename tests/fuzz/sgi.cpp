// Loads one input as an SGI file. Damaged files may only end in the reader's errors, the run-length
// decoder's, the stream's read error, the colour manager's (channel counts and depths no bitmap holds),
// or an integer error of an offset that does not fit.

#include "picture_formats/decoder.h"
#include "picture_formats/sgi_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader<TSGIGraphic, EInvalidGraphic, EGraphicCompression, EReadError, EColorConversionError, EIntError>(
      data, size);
  return 0;
}
