// Loads one input as a Dr. Halo CUT picture (from a stream, so with gray levels). Damaged files may
// only end in the reader's errors, the run-length decoder's or the stream's read error.

#include "picture_formats/cut_graphic.h"
#include "picture_formats/decoder.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzReader<TCUTGraphic, EInvalidGraphic, EGraphicCompression, EReadError>(data, size);
  return 0;
}
