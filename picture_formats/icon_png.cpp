#include "picture_formats/icon_png.h"

#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "picture_formats/png_graphic.h"
#include "toolkit/core/streams.h"

void DecodeIconPng(std::span<const uint8_t> png, TBitmap& target) {
  TMemoryStream stream;
  stream.WriteBuffer(png.data(), static_cast<int64_t>(png.size()));
  stream.SetPosition(0);
  TPNGGraphic picture;
  picture.LoadChecked(stream);
  // An icon has no way to say it shows part of its picture.
  if (picture.DataEndedEarly()) FormatErrorFmt(gesDataEnded, {picture.FormatName()});
  // Only RGBA pictures keep their alpha in 32-bit rows; every other picture is opaque.
  const bool hasAlpha = picture.PixelFormat() == pf32bit;
  picture.SetPixelFormat(pf32bit);
  if (!hasAlpha && !picture.Empty()) {
    uint8_t* row = picture.ScanLine(0);
    const ptrdiff_t step = picture.Height() > 1 ? picture.ScanLine(1) - row : 0;
    for (int y = 0; y < picture.Height(); ++y, row += step)
      for (int x = 0; x < picture.Width(); ++x) row[4 * x + 3] = 255;
  }
  target.TakeOver(picture);
}
