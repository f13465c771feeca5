#pragma once
// Photoshop pictures (psd, pdd): the merged image at the end of the file, in bitmap, gray, duotone,
// indexed, RGB (with alpha from a fourth channel), CMYK and L*a*b* modes, 1, 8 or 16 bits a sample, raw
// or PackBits packed. Layers, image resources and colour-mode data other than an indexed palette are
// passed over; 16-bit samples are narrowed to 8 bits, and CMYK and L*a*b* pictures become 24-bit
// bitmaps.

#include <cstdint>

#include "picture_formats/format_graphic.h"

class TPSDGraphic : public TFormatGraphic {
  ORVANTA_GRAPHIC_CLASS(TPSDGraphic, TFormatGraphic)
  ORVANTA_FORMAT_PROBES(TPSDGraphic)

 public:
  // Reads the header and passes over the three sections before the image data, leaving the stream at
  // the image data; false for a signature other than "8BPS" or a version other than 1. A depth or
  // channel count above 255 raises ERangeError.
  bool ReadImageProperties(TStream& stream, uint32_t imageIndex) override;
  // Decodes the merged image at the stream's position. A foreign header, rows of no pixels, a channel
  // count too small for the colour mode, a depth the mode does not have and colour modes without a
  // colour scheme (5, 6 and above 9) raise EInvalidGraphic; so does a file too short for its rows (raw,
  // or PackBits data that cannot fill the picture), before the bitmap is made.
  void LoadFromStream(TStream& stream) override;

 private:
  // Sets the colour manager up for the scheme's `planes` channels of `depth` bits and answers the
  // bitmap's pixel format.
  TPixelFormat SetUpColorManager(TColorScheme scheme, size_t planes, unsigned depth);
  // Reads the colour-mode data: the palette of an indexed picture (at most 768 bytes; more are passed
  // over), a gray ramp for gray ones.
  void ReadColorModeData(TStream& stream);
};
