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
#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"

namespace {

// Pictures promising more pixels are left out: the reader makes the bitmap the header asks for before
// any strip is read, which only slows the search without reaching other code.
constexpr uint64_t kMaxPixels = uint64_t{1} << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  stream.Write(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  const bool eps = size >= 4 && data[0] == 0xC5 && data[1] == 0xD0 && data[2] == 0xD3 && data[3] == 0xC6;
  if ((eps ? TEPSGraphic::CanLoad(stream) : TTIFFGraphic::CanLoad(stream)) && stream.Position() != 0)
    std::abort();
  std::unique_ptr<TTIFFGraphic> graphic =
      eps ? std::make_unique<TEPSGraphic>() : std::make_unique<TTIFFGraphic>();
  try {
    if (!eps) {
      if (graphic->ReadImageProperties(stream, 0) &&
          uint64_t{graphic->ImageProperties().Width} * graphic->ImageProperties().Height > kMaxPixels)
        return 0;
      stream.SetPosition(0);
    }
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
