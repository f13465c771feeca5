// Loads one input as a PCX file. Damaged files may only end in the reader's errors, the run-length
// decoder's, the stream's read error, the colour manager's, or an integer error of a size that does not
// fit.

#include "picture_formats/byte_fields.h"
#include "picture_formats/decoder.h"
#include "picture_formats/pcx_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The rows are unpacked whole before they are converted: planes x bytes per line x height bytes.
  const std::span<const uint8_t> bytes(data, size);
  if (size >= 128 && uint64_t{data[65]} * LittleEndian16(bytes, 66) * LittleEndian16(bytes, 10) > (1u << 24))
    return 0;
  FuzzReader<TPCXGraphic, EInvalidGraphic, EGraphicCompression, EReadError, EColorConversionError, EIntError>(
      data, size);
  return 0;
}
