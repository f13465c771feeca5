#pragma once
// Silicon Graphics image files (sgi, rgb, rgba, bw): one to four channels of 8- or 16-bit samples,
// stored channel by channel with the bottom row first, run-length packed row by row or as plain planes.
// One channel (or gray with alpha) becomes an 8-bit gray bitmap, three a 24-bit and four a 32-bit one;
// 16-bit samples are narrowed to 8 bits.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "picture_formats/decoders_rle.h"
#include "picture_formats/format_graphic.h"

class TSGIGraphic : public TFormatGraphic {
  ORVANTA_GRAPHIC_CLASS(TSGIGraphic, TFormatGraphic)
  ORVANTA_FORMAT_PROBES(TSGIGraphic)

 public:
  TSGIGraphic();
  ~TSGIGraphic() override;

  // Reads the 512-byte header; false when the magic number is not 474. More than 31 bytes per channel
  // or more than 255 channels raise ERangeError.
  bool ReadImageProperties(TStream& stream, uint32_t imageIndex) override;
  // Decodes the picture at the stream's position. A foreign header, or rows of no pixels, raise
  // EInvalidGraphic; channel counts and depths the colour manager does not hold raise its
  // EColorConversionError; packed rows that run past their row raise EGraphicCompression. Rows the file
  // does not hold come out black.
  void LoadFromStream(TStream& stream) override;

 private:
  // Fills targets[c] (where not empty) with file row `fileRow` of channel c (each target is the row's
  // width x bytes per channel), zero-filled past what the file holds.
  void ReadRow(std::span<const std::span<uint8_t>> targets, uint32_t fileRow);
  void ReleaseLoadState();

  // Run-length files: where each packed row starts (from the picture's start) and how many bytes it
  // has, indexed by file row + channel x height.
  std::vector<uint32_t> FRowStart;
  std::vector<uint32_t> FRowSize;
  std::unique_ptr<TSGIRLEDecoder> FDecoder;  // none for plain planes
  std::vector<uint8_t> FPackedRow;           // the packed row being decoded
};
