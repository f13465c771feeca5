#pragma once
// Paint Shop Pro pictures (psp), major file versions 3 and above: a chain of blocks from which the reader
// takes the picture attributes, the colour palette and the first shown raster layer of the layer bank,
// whose channels are stored as they are, run-length coded or deflated. The result is a 1-, 4- or 8-bit
// bitmap with a palette, a 24-bit bitmap, or a 32-bit one when a true-colour layer has a transparency
// mask.

#include <array>
#include <cstdint>
#include <vector>

#include "picture_formats/format_graphic.h"

class TPSPGraphic : public TFormatGraphic {
  ORVANTA_GRAPHIC_CLASS(TPSPGraphic, TFormatGraphic)
  ORVANTA_FORMAT_PROBES(TPSPGraphic)

 public:
  // Reads the file header and the general attributes (the first block); false for a foreign signature,
  // a major version below 3 or a first block without the block marker.
  bool ReadImageProperties(TStream& stream, uint32_t imageIndex) override;
  // Decodes the picture at the stream's position. A foreign header, or rows of no pixels, raise
  // EInvalidGraphic; so do a bit depth other than 1, 4, 8 and 24, an unknown channel compression, a
  // stored channel longer than its unpacked length, a layer without the channels its rows need and a
  // palette of more than 256 entries ("Invalid color format in PSP file."), a file without a shown
  // layer, and channel data that cannot fill the picture (refused before the bitmap is made). Rows
  // that run-length data end before stay black and set DataEndedEarly. Only the first layer bank with
  // a shown layer is read.
  void LoadFromStream(TStream& stream) override;

 private:
  struct TBlockHeader {
    uint8_t Marker = 0;  // the first byte of the block marker, "~"
    uint16_t Id = 0;
    int64_t End = 0;  // stream position after the block
  };
  // The channel types: composite (the picture of a palette or gray layer, or a mask), red, green, blue.
  static constexpr size_t kChannelTypes = 4;

  // Reads a block header at the stream's position when any bytes remain, and answers whether it did.
  bool ReadBlockHeader(TStream& stream, TBlockHeader& header) const;
  // Reads the general attributes block into ImageProperties (after the file header) and leaves the
  // stream after the block; false when it lacks the block marker.
  bool ReadGeneralAttributes(TStream& stream);
  // The chunk at the stream's position: from version 4 on it starts with its size. Answers the stream
  // position after the chunk (0 before version 4, where the caller knows the chunk's length itself).
  int64_t EnterChunk(TStream& stream) const;
  void ReadPalette(TStream& stream);
  // Loads the first shown layer of the layer bank ending at `bankEnd`.
  void ReadLayerBank(TStream& stream, int64_t bankEnd);
  // Reads one channel block into the buffer of its channel type.
  void ReadChannel(TStream& stream);
  void ConvertRows();

  std::array<std::vector<uint8_t>, kChannelTypes> FChannels;
  std::array<bool, kChannelTypes> FHasChannel{};
  bool FLayerLoaded = false;  // a shown layer has given the picture
  size_t FRowLength = 0;      // bytes of one row of a channel
};
