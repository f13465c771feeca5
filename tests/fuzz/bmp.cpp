// Reads one input as a BMP file, as the bitmap loads one (every header kind and depth, RLE4/RLE8,
// bitfields), whatever size its header claims: a file costing more memory or time than the run's
// limits is a finding. A damaged file may only ever end in one of the program's exceptions and leaves
// the bitmap as it was; a picture that loads comes back unchanged through the writer, and converts to
// the 24-bit working form. Those two checks hold several copies of the picture and walk it pixel by
// pixel under the fuzzer's comparison tracing (seconds for 16 million pixels), so a picture of more
// than 4 MB of pixels (a few bytes of sparse run-length data may give 16 million pixels: delta and
// end-of-bitmap escapes that leave most pixels at index 0) is only loaded, to stay within the run's
// memory and time limits.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"

namespace {

// The largest picture (pixel bytes) brought through the writer and to the 24-bit form.
constexpr size_t kMostCheckedPixelBytes = size_t{1} << 22;

bool SamePixels(TBitmap& a, TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat()) return false;
  const size_t rowBits = static_cast<size_t>(a.Width()) * static_cast<size_t>(a.BitsPerPixel());
  for (int y = 0; y < a.Height(); ++y) {
    if (std::memcmp(a.ScanLine(y), b.ScanLine(y), rowBits / 8) != 0) return false;
    const unsigned tailBits = rowBits % 8;
    if (tailBits != 0) {
      const auto mask = static_cast<uint8_t>(0xFF00 >> tailBits);
      if ((a.ScanLine(y)[rowBits / 8] & mask) != (b.ScanLine(y)[rowBits / 8] & mask)) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(3, 2);
  try {
    bitmap.LoadFromStream(stream);
  } catch (const Exception&) {
    if (bitmap.Width() != 3 || bitmap.Height() != 2 || bitmap.PixelFormat() != pf8bit) std::abort();
    return 0;
  }
  if (bitmap.Empty()) return 0;
  if (size_t(bitmap.Width()) * size_t(bitmap.Height()) * size_t(bitmap.BitsPerPixel()) / 8 >
      kMostCheckedPixelBytes)
    return 0;

  TMemoryStream saved;
  bitmap.SaveToStream(saved);
  saved.SetPosition(0);
  TBitmap again;
  again.LoadFromStream(saved);
  if (!SamePixels(bitmap, again)) std::abort();
  bitmap.SetPixelFormat(pf24bit);
  return 0;
}
