// Loads one input as an Autodesk cel or pic picture, as the program loads one by file name.

#include "picture_formats/autodesk_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzLoadedPicture<TAutodeskGraphic>(data, size);
  return 0;
}
