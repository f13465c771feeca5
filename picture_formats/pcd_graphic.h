#pragma once
// Kodak Photo-CD image packs (pcd): a pack holds one photograph at several resolutions in sectors of
// 2048 bytes. The reader takes the 768 x 512 base image, stored uncompressed as full-size luma and
// half-size chroma (PhotoYCC), enlarges the chroma and turns the picture upright when the pack records
// a portrait orientation. The result is a 24-bit bitmap.

#include <array>
#include <cstdint>

#include "picture_formats/format_graphic.h"

class TPCDGraphic : public TFormatGraphic {
  ORVANTA_GRAPHIC_CLASS(TPCDGraphic, TFormatGraphic)
  ORVANTA_FORMAT_PROBES(TPCDGraphic)

 public:
  static constexpr size_t SectorSize = 2048;
  // The first three sectors of a pack hold everything the reader needs to know.
  static constexpr size_t HeaderSize = 3 * SectorSize;

  struct THeader {
    bool Overview = false;    // "PCD_OPA" at byte 0: a pack of thumbnails
    bool ImagePack = false;   // "PCD" at byte 2048
    uint16_t Value = 0;       // bytes 10 and 11, high byte first
    uint8_t Orientation = 0;  // byte 3586, low two bits: 0 landscape, 1 and 3 portrait, 2 as landscape
  };
  static THeader ParseHeader(const std::array<uint8_t, HeaderSize>& bytes);

  // Reads the header sectors at the stream's position (and leaves the stream after them) and describes
  // resolution level `imageIndex` (clamped to 5): 192 x 128 times 2 to the index, sides exchanged for a
  // portrait pack. False without either signature.
  bool ReadImageProperties(TStream& stream, uint32_t imageIndex) override;
  // Reads the base image of the pack at the stream's position. Without either signature the picture
  // stays empty, without an error; an overview pack raises "Cannot load image. Invalid or unexpected
  // PCD image format."; a pack that ends early raises the stream's read error.
  void LoadFromStream(TStream& stream) override;

 private:
  THeader FHeader;
};
