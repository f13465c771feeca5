#pragma once
// The TIFF tags and field types the TIFF reader reads (TIFF 6.0 numbering).

#include <cstdint>

// Short name of the format in the library's messages.
inline constexpr const char* kTIFFName = "TIF/TIFF";

enum TTIFFFieldType : uint16_t {
  ttByte = 1,
  ttASCII = 2,
  ttShort = 3,
  ttLong = 4,
  ttRational = 5,
  ttSByte = 6,
  ttUndefined = 7,
  ttSShort = 8,
  ttSLong = 9,
  ttSRational = 10,
  ttFloat = 11,
  ttDouble = 12,
  ttIFD = 13,
};

enum TTIFFTag : uint16_t {
  tagImageWidth = 256,
  tagImageLength = 257,
  tagBitsPerSample = 258,
  tagCompression = 259,
  tagPhotometricInterpretation = 262,
  tagFillOrder = 266,
  tagStripOffsets = 273,
  tagSamplesPerPixel = 277,
  tagRowsPerStrip = 278,
  tagStripByteCounts = 279,
  tagXResolution = 282,
  tagYResolution = 283,
  tagPlanarConfiguration = 284,
  tagT4Options = 292,
  tagResolutionUnit = 296,
  tagPredictor = 317,
  tagColorMap = 320,
  tagTileWidth = 322,
  tagTileLength = 323,
  tagExtraSamples = 338,
  tagSampleFormat = 339,
  tagJPEGTables = 347,
  tagYCbCrCoefficients = 529,
  tagYCbCrSubSampling = 530,
  tagYCbCrPositioning = 531,
};
