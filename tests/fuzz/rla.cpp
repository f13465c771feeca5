// Loads one input as a Wavefront RLA picture, as the program loads one by file name.

#include <cstdlib>

#include "picture_formats/rla_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TRLAGraphic picture;
  const TPixelFormat format = FuzzLoadedPicture<TRLAGraphic>(data, size, picture);
  // Whatever loads is a 24-bit picture, or a 32-bit one with a matte.
  if (format != pfDevice && format != pf24bit && format != pf32bit) std::abort();
  return 0;
}
