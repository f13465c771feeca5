// Loads one input as a PCX file.

#include "picture_formats/pcx_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The rows are unpacked whole before they are converted: planes x bytes per line x height bytes.
  if (size >= 128 &&
      uint64_t{data[65]} * (data[66] | data[67] << 8) * (data[10] | data[11] << 8) > (1u << 24))
    return 0;
  FuzzReader<TPCXGraphic>(data, size);
  return 0;
}
