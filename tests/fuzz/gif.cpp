// Loads one input as a GIF file, as the program loads a picture: whatever size the header claims, and
// through the failure net, so a damaged file may only end in the reader's own message naming the
// format, or in a picture flagged as ending early.

#include "picture_formats/gif_graphic.h"
#include "tests/fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzLoadedPicture<TGIFGraphic>(data, size);
  return 0;
}
