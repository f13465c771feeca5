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
  // False for a file shorter than the header and screen descriptor, a signature other than "GIF" (in
  // any case) or a version whose first two characters are not digits; a file without an image keeps a
  // size of 0 x 0.
  bool ReadImageProperties(TStream& stream, uint32_t imageIndex) override;
  // Loads the first image. Refused with "Cannot load image. Invalid or unexpected GIF image format.":
  // a file without an image or without any pixel data for it (one that ends before them included), an
  // LZW minimum code size outside 1..8, an image of more than 2^31 - 1 pixels or more than its data
  // could unpack to (checked before any room is made for it). Image data that end early leave the
  // rest of the picture in palette entry 0 and the picture flagged DataEndedEarly; a missing trailer
  // is no matter.
  void LoadFromStream(TStream& stream) override;

 private:
  // Reads past extension blocks (every label, by its sub-blocks) and stray bytes; returns the image
  // separator (0x2C) or the trailer (0x3B) that ends the search, or -1 at the end of the file.
  static int SkipExtensions(TStream& stream);
};
