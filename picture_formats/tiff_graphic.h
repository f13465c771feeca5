#pragma once
// Tagged Image File Format pictures (tiff, tif, fax) and the TIFF preview of DOS binary Encapsulated
// PostScript files (eps): the first image of the file, in strips, through the decoders of its
// compression (none, PackBits, LZW, deflate, JPEG, CCITT modified Huffman and one-dimensional group 3,
// ThunderScan), the horizontal-difference predictor undone per sample, and every row through the colour
// manager: bilevel, gray and palette pictures of 1 to 8 and 16 bits, gray and palette with an extra
// sample, RGB and RGBA, CMYK, CIE L*a*b*, YCbCr; 16-bit samples in either byte order; gray and colour
// samples of the other depths up to 16 bits as 8-bit levels. Either fill order, for every compression.
//
// Refused with "Cannot load image. %s not supported for TIF/TIFF files.": tiled pictures, signed,
// floating-point and complex samples (SampleFormat), CCITT group 4 and old-style JPEG compression,
// separate colour planes, two-dimensional and uncompressed-mode fax coding, YCbCr subsampling outside JPEG
// data, samples beyond 16 bits or more than 4 of them, palette indices of 9 to 15 bits, YCbCr samples of
// other depths than 8 and 16 bits, CIE L*a*b* samples of other depths than 8, and the compressions not
// listed. Refused as invalid: headers and directories
// that do not hold together, fewer samples per pixel than the colour scheme needs, strips without byte
// counts or reaching past the end of the file, colour maps larger than 788 values, and pictures whose
// strips cannot give all their rows: too few strips, no data, or more rows than the data could unpack
// to (checked before any room is made for the picture). Unknown colour schemes raise "Invalid color
// format in TIF/TIFF file.", decoders' failures "Cannot load image. Compression error found in TIF/TIFF
// file." with the decoder's words. A strip whose data end before its rows do leaves those rows black
// and the picture flagged DataEndedEarly; strips whose data give no row at all are refused as invalid.
// Nothing is written: SaveToStream does nothing.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "picture_formats/format_graphic.h"
#include "picture_formats/sample_levels.h"
#include "picture_formats/tiff_strip_bytes.h"

class Exception;
class TDecoder;

// One directory entry, with its tag, type and count in native order and its value field as the file
// stores it (values of up to four bytes, left-justified, else their offset).
struct TIFFEntry {
  uint16_t Tag = 0;
  uint16_t DataType = 0;
  uint32_t DataLength = 0;  // the value count
  std::array<uint8_t, 4> Value{};
};

class TTIFFGraphic : public TFormatGraphic {
  ORVANTA_GRAPHIC_CLASS(TTIFFGraphic, TFormatGraphic)
  ORVANTA_FORMAT_PROBES(TTIFFGraphic)

 public:
  TTIFFGraphic();
  ~TTIFFGraphic() override;

  // Reads the header at BasePosition and directory `imageIndex` into ImageProperties(). False for a
  // foreign header, a directory that does not exist (or whose chain loops or leaves the file), a width
  // or height of 0 or beyond 2^31 - 1, or sample sizes beyond a byte.
  bool ReadImageProperties(TStream& stream, uint32_t imageIndex) override;
  // Decodes the first image at the stream's position into the bitmap.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream&) override {}

 protected:
  // Directory helpers. A tag's value list is read from the entry or at BasePosition + its offset; a
  // list reaching past the end of the stream raises the invalid-format message.
  bool FindTag(uint16_t tag, size_t& index) const;
  // Count 1: the value (BYTE, SHORT, LONG and their signed kinds; other types the default); another
  // count: the raw value/offset field; absent: the default.
  uint32_t GetValue(uint16_t tag, uint32_t defaultValue) const;
  uint32_t GetValueAndCount(uint16_t tag, uint32_t defaultValue, uint32_t& count) const;
  // Count 1 of an integer, rational or floating-point type: the value; a rational with denominator 0,
  // another count or an absent tag: the default.
  float GetFloatValue(uint16_t tag, float defaultValue);
  // Every value of the tag (empty when it is absent, has no values or a type that does not convert).
  // GetByteList raises the invalid-format message for a value above 255.
  std::vector<uint8_t> GetByteList(uint16_t tag);
  std::vector<uint32_t> GetCardinalList(uint16_t tag);
  std::vector<float> GetFloatList(uint16_t tag);
  void SortIFD();
  // Big-endian files: tag, type and count to native order (values are read in the file's order).
  void SwapIFD();

 private:
  bool BigEndian() const { return (ImageProperties().HeaderFlags & hfBigEndian) != 0; }
  uint16_t FileWord(const uint8_t* bytes) const;
  uint32_t FileLong(const uint8_t* bytes) const;
  // The entry of `tag` when it is there with a field type this reader knows.
  std::optional<TIFFEntry> KnownEntry(uint16_t tag) const;
  // The bytes of an entry's values.
  std::vector<uint8_t> EntryBytes(const TIFFEntry& entry);
  // Reads the directory at BasePosition + offset into FIFDEntries; false when it leaves the stream.
  bool ReadDirectory(uint32_t offset);

  // Loading (tiff_graphic.cpp).
  void CheckSupported();
  std::vector<TTIFFStrip> ReadStrips();
  std::vector<TTIFFStrip> PlanStrips(std::vector<TTIFFStrip> strips) const;
  void SetupColors();
  void SetupPalette();
  std::unique_ptr<TDecoder> CreateDecoder();
  uint64_t LoadStrips(const std::vector<TTIFFStrip>& strips, TDecoder* decoder);
  static size_t DecodeStrip(std::span<const uint8_t> packed, std::span<uint8_t> target, TDecoder* decoder);
  [[noreturn]] static void StripFailed(const Exception& error);
  void UndoPredictor(std::span<uint8_t> row) const;

  std::vector<TIFFEntry> FIFDEntries;
  std::vector<uint8_t> FColorMapData;  // the colour map's 16-bit values as the file stores them
  uint32_t FYCbCrPositioning = 1;
  std::vector<float> FYCbCrCoefficients;
  // Set while the samples' depth is spread to 8-bit levels before conversion.
  std::unique_ptr<TSampleLevels> FLevels;
};

class TEPSGraphic : public TTIFFGraphic {
  ORVANTA_GRAPHIC_CLASS(TEPSGraphic, TTIFFGraphic)
  ORVANTA_FORMAT_PROBES(TEPSGraphic)

 public:
  // Reads the 30-byte DOS EPS header at the stream's position and loads the TIFF preview it points
  // at; a wrong magic number, or no TIFF preview, raises the invalid-format message with "EPS".
  void LoadFromStream(TStream& stream) override;
};
