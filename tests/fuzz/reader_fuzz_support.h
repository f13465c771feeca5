#pragma once
// Shared by the reader fuzz targets: loads one input with a reader as the program loads a picture and
// brings a loaded picture to the 24-bit form the workbench works on. A damaged file may only ever end
// in one of the exception kinds the target names; any other exception aborts, so the fuzzer reports it.

#include <cstdint>
#include <cstdlib>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"

template <class... Allowed>
bool IsOneOf(const Exception& error) {
  return (... || (dynamic_cast<const Allowed*>(&error) != nullptr));
}

// Loads the input with G; the probe must leave the stream where it was. Returns the loaded picture's
// pixel format (pfDevice when the load failed).
template <class G, class... Allowed>
TPixelFormat LoadFuzzInput(const uint8_t* data, size_t size, G& picture) {
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  G::CanLoad(stream);
  if (stream.Position() != 0) std::abort();
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
