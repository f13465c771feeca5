// Loads one input as a Windows or enhanced metafile, as the program loads a picture, and draws one that
// loads into the 24-bit form the workbench works on. Damaged or costly data may only ever end in the
// metafile reader's EInvalidGraphic or the stream's EReadError, and drawing must stay within every buffer.

#include <cstdint>
#include <cstdlib>

#include "tests/fuzz/gui_application.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/metafile.h"

namespace {

// Larger pictures only cost time to draw without reaching other code.
constexpr int64_t kMaxPixels = int64_t{1} << 18;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  TMetafile metafile;
  try {
    metafile.LoadFromStream(stream);
  } catch (const EInvalidGraphic&) {
    return 0;
  } catch (const EReadError&) {
    return 0;
  }
  if (metafile.Empty() || metafile.Width() <= 0 || metafile.Height() <= 0) std::abort();
  if (int64_t{metafile.Width()} * metafile.Height() > kMaxPixels) return 0;
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(metafile.Width(), metafile.Height());
  // Drawing stops with EInvalidGraphic when the records ask for more than the file's size allows.
  try {
    bitmap.Canvas().Draw(0, 0, metafile);
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
