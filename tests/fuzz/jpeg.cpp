// Loads one input as a JPEG file through the JPEG picture class and decodes it with options taken from
// its last byte (output format, grey, fast mode, progressive display, scale). A damaged file may only
// ever end in one of the program's exceptions, with no bitmap left behind; a picture that decodes has
// the size its header promised, and compresses into a file that loads back at that size.

#include <cstdint>
#include <cstdlib>

#include "picture_formats/jpeg_image.h"
#include "toolkit/core/streams.h"

namespace {

// Larger pictures only slow the search down: decoding them reaches no other code.
constexpr int64_t kMaxPixels = int64_t{1} << 20;

void SetOptions(TJPEGImage& picture, uint8_t choice) {
  picture.OutputFormat = choice & 1 ? jf8Bit : jf24Bit;
  picture.Grayscale = (choice & 2) != 0;
  picture.FastMode = (choice & 4) != 0;
  picture.ProgressiveDisplay = (choice & 8) != 0;
  picture.ScaleShift = static_cast<uint8_t>((choice >> 4) & 3);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  TJPEGImage picture;
  try {
    picture.LoadFromStream(stream);
  } catch (const Exception&) {
    return 0;
  }
  const int64_t width = picture.SharedData().Width, height = picture.SharedData().Height;
  if (width * height > kMaxPixels) return 0;
  SetOptions(picture, size > 0 ? data[size - 1] : 0);
  const int scaledWidth = picture.Width(), scaledHeight = picture.Height();
  try {
    const TBitmap& bitmap = picture.GetBitmap();
    if (bitmap.Width() != scaledWidth || bitmap.Height() != scaledHeight) std::abort();
  } catch (const Exception&) {
    if (picture.HasBitmap()) std::abort();
    return 0;
  }

  picture.Compress();
  TMemoryStream saved;
  picture.SaveToStream(saved);
  saved.SetPosition(0);
  TJPEGImage again;
  again.LoadFromStream(saved);
  if (again.Width() != scaledWidth || again.Height() != scaledHeight) std::abort();
  return 0;
}
