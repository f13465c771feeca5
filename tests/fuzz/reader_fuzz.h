#pragma once
// The body every picture-reader fuzz target shares: loads one input as the program loads a picture and
// brings a loaded picture to the 24-bit form the workbench works on. The probe must leave the stream
// where it was. A header whose reader promises more than kFuzzMaxPixels is left out: the reader would
// make and fill that bitmap before it meets the missing data, which only slows the search. A damaged
// file may only ever end in one of the exception kinds the target names; any other aborts, so that the
// fuzzer reports it.

#include <cstdint>
#include <cstdlib>

#include "tests/fuzz/fuzz_support.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"

template <class... Allowed>
bool IsOneOf(const Exception& error) {
  return (... || (dynamic_cast<const Allowed*>(&error) != nullptr));
}

// Loads the input into `picture` with reader G. Returns the loaded picture's pixel format, pfDevice
// when the load failed or the header was left out.
template <class G, class... Allowed>
TPixelFormat FuzzReader(const uint8_t* data, size_t size, G& picture) {
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  G::CanLoad(stream);
  if (stream.Position() != 0) std::abort();
  try {
    G header;
    if (header.ReadImageProperties(stream, 0) &&
        uint64_t{header.ImageProperties().Width} * header.ImageProperties().Height > kFuzzMaxPixels)
      return pfDevice;
  } catch (const Exception&) {
  }
  stream.SetPosition(0);
  try {
    picture.LoadFromStream(stream);
    const TPixelFormat format = picture.PixelFormat();
    TBitmap working;
    working.Assign(picture);
    working.SetPixelFormat(pf24bit);
    return format;
  } catch (const Exception& error) {
    if (!IsOneOf<Allowed...>(error)) std::abort();
  }
  return pfDevice;
}

// The same for a target that keeps nothing of the picture.
template <class G, class... Allowed>
void FuzzReader(const uint8_t* data, size_t size) {
  G picture;
  FuzzReader<G, Allowed...>(data, size, picture);
}
