#pragma once
// Autodesk Animator cel and pic pictures: a 32-byte little-endian header, a palette of 256 colours with
// 6-bit components, then one byte per pixel, top row first, uncompressed. They become 8-bit bitmaps.

#include <cstdint>

#include "picture_formats/format_graphic.h"

class TAutodeskGraphic : public TFormatGraphic {
  ORVANTA_GRAPHIC_CLASS(TAutodeskGraphic, TFormatGraphic)
  ORVANTA_FORMAT_PROBES(TAutodeskGraphic)

 public:
  static constexpr uint16_t FileID = 0x9119;

  struct THeader {
    uint16_t FileID = 0;
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint8_t BitsPerPixel = 0;  // 8 in the files the probe accepts
    uint8_t Compression = 0;   // 0 in the files the probe accepts
  };

  // Reads the 32-byte header at the stream's position; false for another file identifier (the depth
  // and compression bytes are not tested here).
  bool ReadImageProperties(TStream& stream, uint32_t imageIndex) override;
  // Reads the picture at the stream's position. A foreign header, or a width or height of 0, raises
  // "Cannot load image. Invalid or unexpected Autodesk image format."; a palette value above 63 raises
  // ERangeError; a file too short for its palette and rows is refused before the bitmap is made
  // ("...ends before its picture does.").
  void LoadFromStream(TStream& stream) override;

 private:
  THeader FHeader;
};
