#pragma once
// The body the picture-reader fuzz targets share: the probe must leave the stream where it was; a header
// that promises a large picture is left out (the reader would make and fill that bitmap before it meets
// the missing data, which only slows the search); the load and the step to the 24-bit working bitmap
// may only ever end in one of the program's exceptions.

#include <cstdint>
#include <cstdlib>

#include "picture_formats/format_graphic.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/streams.h"

inline constexpr uint64_t kFuzzMaxPixels = uint64_t{1} << 20;

template <class Reader>
void FuzzReader(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  Reader::CanLoad(stream);
  if (stream.Position() != 0) std::abort();
  try {
    Reader header;
    if (header.ReadImageProperties(stream, 0) &&
        uint64_t{header.ImageProperties().Width} * header.ImageProperties().Height > kFuzzMaxPixels)
      return;
  } catch (const Exception&) {
  }
  stream.SetPosition(0);
  try {
    Reader picture;
    picture.LoadFromStream(stream);
    TBitmap working;
    working.Assign(picture);
    working.SetPixelFormat(pf24bit);
  } catch (const Exception&) {
  }
}
