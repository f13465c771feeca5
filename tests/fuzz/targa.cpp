// Loads one input as a Targa file. A damaged file may only ever end in one of the program's exceptions;
// a picture that loads must come back unchanged through the writer.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "picture_formats/targa_graphic.h"
#include "toolkit/core/streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Keep the bitmaps small: width x height x 4 bytes at most 16 MB.
  if (size >= 16 && uint64_t(data[12] | data[13] << 8) * uint64_t(data[14] | data[15] << 8) > (1u << 22))
    return 0;
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  TTargaGraphic picture;
  try {
    picture.LoadFromStream(stream);
  } catch (const Exception&) {
    return 0;
  }
  if (picture.Empty()) return 0;

  const int bytesPerPixel = picture.BitsPerPixel() / 8;
  TMemoryStream saved;
  picture.SaveToStream(saved);
  saved.SetPosition(0);
  TTargaGraphic again;
  again.LoadFromStream(saved);
  if (again.Width() != picture.Width() || again.Height() != picture.Height()) std::abort();
  for (int y = 0; y < picture.Height(); ++y)
    if (std::memcmp(again.ScanLine(y), picture.ScanLine(y), size_t(picture.Width()) * bytesPerPixel) != 0)
      std::abort();
  return 0;
}
