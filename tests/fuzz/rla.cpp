// Loads one input as a Wavefront RLA picture. Damaged files may only end in the reader's errors, the
// run-length decoder's, the stream's read error, the colour manager's (a channel text without a
// conversion) or the range error of a header count beyond a byte.

#include <cstdlib>

#include "picture_formats/decoder.h"
#include "picture_formats/rla_graphic.h"
#include "tests/fuzz/reader_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Headers promising more than 2^20 pixels only slow the search: the bitmap is made before any row.
  if (size >= 16) {
    const auto field = [&](size_t at) { return int16_t(data[at] << 8 | data[at + 1]); };
    const int64_t width = int64_t{field(10)} - field(8) + 1;
    const int64_t height = std::abs(int64_t{field(12)} - field(14)) + 1;
    if (width * height > (int64_t{1} << 20)) return 0;
  }
  TRLAGraphic picture;
  const TPixelFormat format = LoadFuzzInput<TRLAGraphic, EInvalidGraphic, EGraphicCompression, EReadError,
                                            EColorConversionError, ERangeError>(data, size, picture);
  // Whatever loads is a 24-bit picture, or a 32-bit one with a matte.
  if (format != pfDevice && !picture.Empty() && format != pf24bit && format != pf32bit) std::abort();
  return 0;
}
