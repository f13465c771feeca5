#pragma once
// Helpers shared by the picture-format tests: byte vectors, the message of an expected exception,
// pictures loaded from bytes, and a bitmap's colours.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/raised_message.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"

using Bytes = std::vector<uint8_t>;

// A picture of class G loaded from the bytes through LoadFromStream.
template <class G>
std::unique_ptr<G> LoadBytes(const Bytes& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes);
  stream.SetPosition(0);
  auto picture = std::make_unique<G>();
  picture->LoadFromStream(stream);
  return picture;
}

// The message with which G's failure net refuses the bytes (loaded as a file by name is); "" when they
// load.
template <class G>
std::string RefusalMessage(const Bytes& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes);
  stream.SetPosition(0);
  G picture;
  return RaisedMessage<EInvalidGraphic>([&] { picture.LoadChecked(stream); });
}

// R, G, B of every pixel, rows top first (with A after them for a 32-bit bitmap when withAlpha);
// depths other than 24 and 32 bits are read through a 24-bit copy, palettes included.
inline Bytes PixelColors(const TBitmap& bitmap, bool withAlpha = false) {
  const bool alpha = withAlpha && bitmap.PixelFormat() == pf32bit;
  TBitmap copy;
  const TBitmap* source = &bitmap;
  if (!alpha && bitmap.PixelFormat() != pf24bit) {
    copy.Assign(bitmap);
    copy.SetPixelFormat(pf24bit);
    source = &copy;
  }
  const int step = alpha ? 4 : 3;
  Bytes colors;
  for (int y = 0; y < source->Height(); ++y) {
    const uint8_t* p = source->ScanLine(y);
    for (int x = 0; x < source->Width(); ++x, p += step) {
      colors.insert(colors.end(), {p[2], p[1], p[0]});
      if (alpha) colors.push_back(p[3]);
    }
  }
  return colors;
}
