// Changing a bitmap's pixel format in place.

#include <cstring>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/pixel_rows.h"

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == pfCustom || format > pfCustom) throw EInvalidGraphic(SInvalidPixelFormat);
  if (format == FPixelFormat) return;

  const TPixelFormat oldFormat = FPixelFormat;
  const int oldBits = BitsPerPixel();
  const int newBits = StoredBitsPerPixel(format);
  // Going up between indexed formats loses nothing: the indices and the colour table stay. Every other
  // change into an indexed format starts from that format's default palette.
  const bool keepIndices = IsIndexedFormat(oldFormat) && IsIndexedFormat(format) && newBits > oldBits;
  std::vector<TPaletteEntry> newTable;
  if (IsIndexedFormat(format)) newTable = keepIndices ? FColorTable : DefaultColorTable(format);
  if (keepIndices && newTable.empty()) newTable = DefaultColorTable(oldFormat);

  if (oldBits == 32 && newBits == 32) {  // pfDevice and pf32bit share one layout
    FPixelFormat = format;
    Changed();
    return;
  }

  if (!FPixels) {
    FStride = PaddedRowBytes(FWidth, newBits);
    FPixelFormat = format;
    FColorTable = std::move(newTable);
    FDisplayPalette.reset();
    Changed();
    return;
  }

  // Convert into a fresh buffer, then swap it in: the bitmap is unchanged when memory runs out.
  TBitmap converted;
  converted.Reallocate(FWidth, FHeight, format, false, false);
  const std::vector<TPaletteEntry> oldTable = FColorTable;
  // Only the bytes past the last whole pixel byte need clearing (padding, and the bits of a partly
  // used last byte); the encoders overwrite the rest.
  const auto tail = static_cast<size_t>(static_cast<int64_t>(FWidth) * newBits / 8);
  const auto clearTail = [&](uint8_t* row) {
    std::memset(row + tail, 0, static_cast<size_t>(converted.FStride) - tail);
  };
  if (keepIndices) {
    for (int y = 0; y < FHeight; ++y) {
      const uint8_t* from = ScanLine(y);
      uint8_t* to = converted.ScanLine(y);
      clearTail(to);
      for (int x = 0; x < FWidth; ++x) SetPixelIndex(format, to, x, GetPixelIndex(oldFormat, from, x));
    }
  } else {
    std::vector<TQuad> quads(static_cast<size_t>(FWidth));
    TColorMatcher matcher(newTable);
    for (int y = 0; y < FHeight; ++y) {
      uint8_t* to = converted.ScanLine(y);
      clearTail(to);
      DecodeRow(oldFormat, ScanLine(y), 0, FWidth, oldTable, quads.data());
      EncodeRow(format, quads.data(), 0, FWidth, to, &matcher);
    }
  }
  FPixels = std::move(converted.FPixels);
  FStride = converted.FStride;
  FPixelFormat = format;
  FColorTable = std::move(newTable);
  FDisplayPalette.reset();
  SetPaletteModified(IsIndexedFormat(format));
  Changed();
}
