// Loads one input as a Dr. Halo CUT picture (from a stream, so with gray levels). Damaged files may
// only end in the reader's errors, the run-length decoder's or the stream's read error.

#include "picture_formats/cut_graphic.h"
#include "picture_formats/decoder.h"
#include "tests/fuzz/reader_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The bitmap a header asks for is made before any row is decoded: keep it below 2^20 pixels.
  if (size >= 4 && uint64_t(data[0] | data[1] << 8) * uint64_t(data[2] | data[3] << 8) > (1u << 20)) return 0;
  TCUTGraphic picture;
  LoadFuzzInput<TCUTGraphic, EInvalidGraphic, EGraphicCompression, EReadError>(data, size, picture);
  return 0;
}
