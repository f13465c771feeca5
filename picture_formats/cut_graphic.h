#pragma once
// Dr. Halo CUT pictures: a 6-byte little-endian header (width, height, 2 bytes not used) and rows of
// run-length packets. The colours live in a palette file beside the picture, of the same name with the
// extension ".pal" (or ".PAL"); without one the picture shows in gray levels. They become 8-bit bitmaps.

#include <cstdint>
#include <string>

#include "picture_formats/format_graphic.h"

class TCUTGraphic : public TFormatGraphic {
  ORVANTA_GRAPHIC_CLASS(TCUTGraphic, TFormatGraphic)
  ORVANTA_FORMAT_PROBES(TCUTGraphic)

 public:
  struct THeader {
    uint16_t Width = 0;
    uint16_t Height = 0;
  };

  // Remembers the palette file beside the picture, then loads the file.
  void LoadFromFile(const std::string& fileName) override;
  // Reads the header at the stream's position; always true (nothing in it can be tested).
  bool ReadImageProperties(TStream& stream, uint32_t imageIndex) override;
  // Reads the picture at the stream's position, with the palette file remembered by LoadFromFile (a
  // gray palette when there is none). A width or height of 0 raises "Cannot load image. Invalid or
  // unexpected CUT image format.", data too short for the rows "Stream read error in CUT file." or
  // "...ends before its picture does." (before the bitmap is made), damaged packets the run-length
  // decoder's error; a palette value above 255 or more than 256 entries raise ERangeError. Rows after
  // packed data that end early stay black and set DataEndedEarly.
  void LoadFromStream(TStream& stream) override;

 private:
  // Builds the bitmap's palette from the palette file, or gray levels without one.
  void LoadPalette();

  THeader FHeader;
  std::string FPaletteFile;
};
