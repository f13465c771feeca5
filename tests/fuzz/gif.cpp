// Loads one input as a GIF file, as the program loads a picture, and brings a loaded picture to the
// 24-bit form the workbench works on. Damaged data may only ever end in the reader's errors: the
// library's EInvalidGraphic, the stream's EReadError, EConvertError for a version that is not a
// number, or ERangeError for an LZW minimum code size beyond 8.

#include <cstdint>
#include <cstdlib>

#include "picture_formats/gif_graphic.h"
#include "tests/fuzz/fuzz_support.h"
#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  stream.Write(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  if (TGIFGraphic::CanLoad(stream) && stream.Position() != 0) std::abort();
  TGIFGraphic graphic;
  try {
    if (graphic.ReadImageProperties(stream, 0) &&
        uint64_t{graphic.ImageProperties().Width} * graphic.ImageProperties().Height > kFuzzMaxPixels)
      return 0;
    stream.SetPosition(0);
    graphic.LoadFromStream(stream);
    TBitmap working;
    working.Assign(graphic);
    working.SetPixelFormat(pf24bit);
  } catch (const EInvalidGraphic&) {
  } catch (const EReadError&) {
  } catch (const EConvertError&) {
  } catch (const ERangeError&) {
  }
  return 0;
}
