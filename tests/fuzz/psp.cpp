// Loads one input as a Paint Shop Pro file. Damaged files may only end in the reader's errors, the
// decoders', the stream's read error, the colour manager's, an integer error of a size that does not
// fit, or the out-of-resources error of a 24-bit copy of a picture 0 rows high but billions of pixels
// wide.

#include "picture_formats/decoder.h"
#include "picture_formats/psp_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader<TPSPGraphic, EInvalidGraphic, EGraphicCompression, EReadError, EColorConversionError, EIntError,
             EOutOfResources>(data, size);
  return 0;
}
