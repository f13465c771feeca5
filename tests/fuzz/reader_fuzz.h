#pragma once
// The bodies the picture-reader fuzz targets share: load one input as the program loads a picture and
// bring a loaded picture to the 24-bit form the workbench works on. The probe must leave the stream
// where it was.
//
// FuzzLoadedPicture is for readers that check what a header promises against the file before sizing
// anything: every header is tried, and the run's memory and time limits catch a costly file.
// FuzzReader is for readers that do not yet: a header promising more than kFuzzMaxPixels is left out,
// as the reader would make and fill that bitmap before it meets the missing data. A damaged file may
// only ever end in one of the exception kinds the target names; any other aborts, so that the fuzzer
// reports it.

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

// Fills the stream with the input and asks G's probe about it, which must leave the stream at its start.
template <class G>
void ProbedInput(TMemoryStream& stream, const uint8_t* data, size_t size) {
  stream.WriteBuffer(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  G::CanLoad(stream);
  if (stream.Position() != 0) std::abort();
}

// The picture's pixel format, after a copy of it has been brought to the 24-bit working form.
inline TPixelFormat ToWorkingForm(const TBitmap& picture) {
  TBitmap working;
  working.Assign(picture);
  working.SetPixelFormat(pf24bit);
  return picture.PixelFormat();
}

// Loads the input into `picture` with reader G. Returns the loaded picture's pixel format, pfDevice
// when the load failed or the header was left out.
template <class G, class... Allowed>
TPixelFormat FuzzReader(const uint8_t* data, size_t size, G& picture) {
  TMemoryStream stream;
  ProbedInput<G>(stream, data, size);
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
    return ToWorkingForm(picture);
  } catch (const Exception& error) {
    if (!IsOneOf<Allowed...>(error)) std::abort();
  }
  return pfDevice;
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

// The same for a target that keeps nothing of the picture.
template <class G, class... Allowed>
void FuzzReader(const uint8_t* data, size_t size) {
  G picture;
  FuzzReader<G, Allowed...>(data, size, picture);
}
