#pragma once
// CompuServe GIF pictures (87a and 89a): the first image of the file into an 8-bit palette bitmap.
// Animation frames after the first, transparency and the background colour are not used. The LZW
// decoder's palette indices go into the bitmap rows as they are; interlaced images are put back in
// order.

#include <cstdint>

#include "picture_formats/format_graphic.h"

class TGIFGraphic : public TFormatGraphic {
  ORVANTA_GRAPHIC_CLASS(TGIFGraphic, TFormatGraphic)
  ORVANTA_FORMAT_PROBES(TGIFGraphic)

 public:
  // Reads the header, the screen descriptor and the first image descriptor at the stream's position.
  // False for a signature other than "GIF" (in any case); a version whose first two characters are not
  // digits raises EConvertError; a file without an image keeps a size of 0 x 0.
  bool ReadImageProperties(TStream& stream, uint32_t imageIndex) override;
  // Loads the first image. A file that ends before an image descriptor or the trailer raises the
  // stream's read error; image data cut short leave the rest of the picture black; a file without an
  // image loads as an empty picture; an image of more than 2^31 - 1 pixels is refused.
  void LoadFromStream(TStream& stream) override;

 private:
  // Reads past extension blocks and stray bytes; returns the image separator (0x2C) or the trailer
  // (0x3B) that ends the search.
  static uint8_t SkipExtensions(TStream& stream);
};
