// Loads one input as a Wavefront RLA picture. Damaged files may only end in the reader's errors, the
// run-length decoder's, the stream's read error, the colour manager's (a channel text without a
// conversion) or the range error of a header count beyond a byte.

#include <cstdlib>

#include "picture_formats/decoder.h"
#include "picture_formats/rla_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TRLAGraphic picture;
  const TPixelFormat format = FuzzReader<TRLAGraphic, EInvalidGraphic, EGraphicCompression, EReadError,
                                         EColorConversionError, ERangeError>(data, size, picture);
  // Whatever loads is a 24-bit picture, or a 32-bit one with a matte.
  if (format != pfDevice && !picture.Empty() && format != pf24bit && format != pf32bit) std::abort();
  return 0;
}
