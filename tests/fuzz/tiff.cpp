// Loads one input as a TIFF file, or as a DOS EPS file when it starts with that format's magic number,
// as the program loads a picture, and brings a loaded picture to the 24-bit form the workbench works
// on. Damaged data may only ever end in the reader's errors: the library's EInvalidGraphic (libjpeg's
// EJPEG among them), the decoders' EGraphicCompression, the stream's EReadError, the colour manager's
// EColorConversionError, or ERangeError where a value does not fit (an LZW table that overflows, a
// sample size beyond a byte).

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "picture_formats/decoder.h"
#include "picture_formats/tiff_graphic.h"
#include "tests/fuzz/fuzz_support.h"
#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"

namespace {

// The size the TIFF data of the input (for an EPS file, its preview) promise, without loading them.
uint64_t PromisedPixels(const uint8_t* data, size_t size, bool eps) {
  size_t start = 0;
  if (eps) {
    if (size < 30) return 0;
    start = data[20] | size_t{data[21]} << 8 | size_t{data[22]} << 16 | size_t{data[23]} << 24;
    if (start >= size) return 0;
  }
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool eps = size >= 4 && data[0] == 0xC5 && data[1] == 0xD0 && data[2] == 0xD3 && data[3] == 0xC6;
  if (PromisedPixels(data, size, eps) > kFuzzMaxPixels) return 0;
  TMemoryStream stream;
  stream.Write(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  if ((eps ? TEPSGraphic::CanLoad(stream) : TTIFFGraphic::CanLoad(stream)) && stream.Position() != 0)
    std::abort();
  std::unique_ptr<TTIFFGraphic> graphic =
      eps ? std::make_unique<TEPSGraphic>() : std::make_unique<TTIFFGraphic>();
  try {
    graphic->LoadFromStream(stream);
    TBitmap working;
    working.Assign(*graphic);
    working.SetPixelFormat(pf24bit);
  } catch (const EInvalidGraphic&) {
  } catch (const EGraphicCompression&) {
  } catch (const EReadError&) {
  } catch (const EColorConversionError&) {
  } catch (const ERangeError&) {
  }
  return 0;
}
