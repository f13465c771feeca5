// Loads one input as a TIFF file, or as a DOS EPS file when it starts with that format's magic number.
// Damaged data may only ever end in the reader's own messages: EInvalidGraphic, and EGraphicCompression
// for a strip its decoder refuses, both naming the format.

#include <cstdint>

#include "picture_formats/byte_fields.h"
#include "picture_formats/decoder.h"
#include "picture_formats/tiff_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

namespace {

// The size the TIFF preview of an EPS input promises, without loading it.
uint64_t PromisedPreviewPixels(const uint8_t* data, size_t size) {
  if (size < 30) return 0;
  const size_t start = LittleEndian32(data + 20);
  if (start >= size) return 0;
  TMemoryStream tiff;
  tiff.Write(data + start, static_cast<int64_t>(size - start));
  TTIFFGraphic probe;
  try {
    if (!probe.ReadImageProperties(tiff, 0)) return 0;
  } catch (const Exception&) {
    return 0;
  }
  return uint64_t{probe.ImageProperties().Width} * probe.ImageProperties().Height;
}

template <class G>
void Load(const uint8_t* data, size_t size) {
  FuzzReader<G, EInvalidGraphic, EGraphicCompression>(data, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool eps = size >= 4 && LittleEndian32(data) == 0xC6D3D0C5;
  if (!eps)
    Load<TTIFFGraphic>(data, size);
  else if (PromisedPreviewPixels(data, size) <= kFuzzMaxPixels)
    Load<TEPSGraphic>(data, size);
  return 0;
}
