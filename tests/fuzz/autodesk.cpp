// Loads one input as an Autodesk cel or pic picture. Damaged files may only end in the reader's
// errors, the stream's read error (a short header) or the range error of a palette value above 63.

#include "picture_formats/autodesk_graphic.h"
#include "tests/fuzz/reader_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The bitmap a header asks for is made before any pixel is read: keep it below 2^16 pixels.
  if (size >= 6 && uint64_t(data[2] | data[3] << 8) * uint64_t(data[4] | data[5] << 8) > (1u << 16)) return 0;
  TAutodeskGraphic picture;
  LoadFuzzInput<TAutodeskGraphic, EInvalidGraphic, EReadError, ERangeError>(data, size, picture);
  return 0;
}
