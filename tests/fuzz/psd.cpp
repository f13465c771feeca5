// Loads one input as a Photoshop file. Damaged files may only end in the reader's errors, the
// run-length decoder's, the stream's read error, the colour manager's (a depth beyond 16 bits), an
// integer error of a size that does not fit, or the out-of-resources error of a 24-bit copy of a
// picture 0 rows high but billions of pixels wide.

#include "picture_formats/decoder.h"
#include "picture_formats/psd_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader<TPSDGraphic, EInvalidGraphic, EGraphicCompression, EReadError, EColorConversionError, EIntError,
             EOutOfResources>(data, size);
  return 0;
}
