// Loads one input as a Targa file, as the program loads one by file name; a picture that loads whole
// must come back unchanged through the writer.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "picture_formats/targa_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TTargaGraphic picture;
  if (FuzzLoadedPicture<TTargaGraphic>(data, size, picture) == pfDevice) return 0;

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
