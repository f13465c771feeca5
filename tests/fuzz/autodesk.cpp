// Loads one input as an Autodesk cel or pic picture. Damaged files may only end in the reader's
// errors, the stream's read error (a short header) or the range error of a palette value above 63.

#include "picture_formats/autodesk_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader<TAutodeskGraphic, EInvalidGraphic, EReadError, ERangeError>(data, size);
  return 0;
}
