#pragma once
// ZSoft Paintbrush pictures (pcx, pcc) and the word-processor screen captures that share their layout
// (scr): one plane of 1, 2, 4 or 8 bits (palette from the header, the trailing 256-colour block or a
// gray ramp), two to four planes of 1 bit (a 16-colour picture), and three or four planes of 8 bits
// (true colour, with alpha in the fourth). Rows are run-length packed or stored as they are.

#include <cstdint>

#include "picture_formats/format_graphic.h"

class TPCXGraphic : public TFormatGraphic {
  ORVANTA_GRAPHIC_CLASS(TPCXGraphic, TFormatGraphic)
  ORVANTA_FORMAT_PROBES(TPCXGraphic)

 public:
  // Reads the 128-byte header; false when the manufacturer byte is neither 10 nor 205. A maximum
  // coordinate more than one below its minimum, or more than 255 bits per pixel, raises ERangeError.
  bool ReadImageProperties(TStream& stream, uint32_t imageIndex) override;
  // Decodes the picture at the stream's position. A stream without a PCX header leaves the picture
  // empty and raises nothing; a plane layout no bitmap holds, rows shorter than the width needs, and
  // rows of no pixels raise EInvalidGraphic; run-length data that end too early raise
  // EGraphicCompression.
  void LoadFromStream(TStream& stream) override;
};
