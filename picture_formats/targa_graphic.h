#pragma once
// Truevision Targa pictures (win, vst, vda, tga, icb): read into the bitmap and written from it, raw or
// run-length packed. Targa pixels are stored blue-green-red(-alpha) like the bitmap's rows and are
// copied unchanged; the colour manager only chooses the pixel format and builds palettes.

#include <cstdint>

#include "picture_formats/format_graphic.h"

class TTargaGraphic : public TFormatGraphic {
  ORVANTA_GRAPHIC_CLASS(TTargaGraphic, TFormatGraphic)
  ORVANTA_FORMAT_PROBES(TTargaGraphic)

 public:
  // Reads the 18-byte header at the stream's position; always answers true.
  bool ReadImageProperties(TStream& stream, uint32_t imageIndex) override;
  // Reads the picture at the stream's position. Short reads of the header or the colour map raise the
  // stream's read error; raw rows the file cannot hold, or run-length data that cannot fill the
  // picture, are refused before the bitmap is made ("...ends before its picture does."). Run-length
  // data that end before the last row leave the rest black and set DataEndedEarly. Image type 0 (no
  // pixels), rows without pixels and unknown image types raise EInvalidGraphic; types 32 and 33 "...not
  // supported...".
  void LoadFromStream(TStream& stream) override;
  // Writes the picture run-length packed.
  void SaveToStream(TStream& stream) override;
  // Writes the picture top row first: 8-bit pictures (1- and 4-bit ones are first turned into 8-bit) with
  // a 256-entry colour map, 15- and 16-bit pictures as 16-bit pixels (16-bit 5-6-5 pictures are first
  // turned into 5-5-5), 24- and 32-bit pictures as they are. A side above 65535 raises ERangeError; an
  // empty picture writes nothing.
  void WriteTargaStream(TStream& stream, bool compressed);
};
