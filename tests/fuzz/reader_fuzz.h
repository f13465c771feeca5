#pragma once
// The body the picture-reader fuzz targets share: load one input as the program loads a picture and
// bring a loaded picture to the 24-bit form the workbench works on. The probe must leave the stream
// where it was. Every header is tried, whatever size it claims: the readers check what a header
// promises against the file before sizing anything, and the run's memory and time limits catch a file
// that costs more than its size justifies.

#include <cstdint>
#include <cstdlib>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"

// Fills the stream with the input and asks G's probe about it, which must leave the stream at its start.
template <class G>
void ProbedInput(TMemoryStream& stream, const uint8_t* data, size_t size) {
  stream.WriteBuffer(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  G::CanLoad(stream);
  if (stream.Position() != 0) std::abort();
}

// The largest picture (pixels) brought to the working form: a few KB of well-packed data may lawfully
// give a picture of hundreds of MB, whose 24-bit copy beside it would overrun the run's memory limit
// without telling anything of the reader.
inline constexpr uint64_t kMostConvertedPixels = uint64_t{1} << 24;

// The picture's pixel format, after a copy of it has been brought to the 24-bit working form.
inline TPixelFormat ToWorkingForm(const TBitmap& picture) {
  if (uint64_t(picture.Width()) * uint64_t(picture.Height()) > kMostConvertedPixels)
    return picture.PixelFormat();
  TBitmap working;
  working.Assign(picture);
  working.SetPixelFormat(pf24bit);
  return picture.PixelFormat();
}

// Loads the input into `picture` with reader G as the program loads a picture by file name: through
// the failure net, whatever size the header claims, so that a file costing more memory or time than the
// run's limits (-rss_limit_mb, -timeout) is a finding. A damaged file may only ever end in
// EInvalidGraphic with a message of printable ASCII (the library's English, raw bytes escaped); a load
// that succeeds gives a picture, whole or flagged as ended early, that converts to the 24-bit working
// form. Returns its pixel format, pfDevice when the load failed.
template <class G>
TPixelFormat FuzzLoadedPicture(const uint8_t* data, size_t size, G& picture) {
  TMemoryStream stream;
  ProbedInput<G>(stream, data, size);
  try {
    picture.LoadChecked(stream);
  } catch (const EInvalidGraphic& error) {
    for (const char c : error.Message())
      if (c < 0x20 || c > 0x7E) std::abort();
    return pfDevice;
  }
  if (picture.Empty()) std::abort();
  return ToWorkingForm(picture);
}

template <class G>
void FuzzLoadedPicture(const uint8_t* data, size_t size) {
  G picture;
  FuzzLoadedPicture<G>(data, size, picture);
}
