// Loads one input as an SGI file. Damaged files may only end in the reader's errors, the run-length
// decoder's, the stream's read error, the colour manager's (channel counts and depths no bitmap holds),
// an integer error of an offset that does not fit, or the bitmap's scan-line error (a picture 0 pixels
// wide).

#include "picture_formats/decoder.h"
#include "picture_formats/sgi_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader<TSGIGraphic, EInvalidGraphic, EGraphicCompression, EReadError, EColorConversionError, EIntError,
             EInvalidGraphicOperation>(data, size);
  return 0;
}
