#pragma once
// The vocabulary of the colour manager: colour schemes, conversion options, palette layouts, its
// exception and the two integer helpers that the converters, the PNG reader and the Photo-CD decoder
// share.

#include <cstdint>

#include "toolkit/core/checked.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"

// Colour layout of one pixel. Stored as one byte; 8 and values above 12 have no name and no converter.
enum TColorScheme : uint8_t {
  scUnknown = 0,
  scIndexed = 1,
  scGray = 2,
  scGrayAlpha = 3,
  scRGB = 4,
  scRGBA = 5,
  scBGR = 6,   // the order of a 24-bit bitmap row
  scBGRA = 7,  // the order of a 32-bit bitmap row
  scCMYK = 9,
  scCIELab = 10,
  scYCbCr = 11,
  scPhotoYCC = 12,
};

// Conversion options, one byte for the source and one for the target; combine with |.
using TConvertFlags = uint8_t;
// The pixels carry an alpha sample after the colour samples. Owned by the converter choice, which
// derives it from the scheme; writing the option bytes keeps it.
inline constexpr TConvertFlags optAlpha = 0x01;
// Target: colour samples go through the gamma table.
inline constexpr TConvertFlags optGamma = 0x02;
// Source: 16-bit samples are stored high byte first.
inline constexpr TConvertFlags optSwap16 = 0x04;
// Source: CIE L* is stored as 0..255 instead of 0..100.
inline constexpr TConvertFlags optLScaled = 0x08;
// Source: CIE a* and b* are stored unsigned with 128 added instead of as signed bytes.
inline constexpr TConvertFlags optChromaOffset = 0x10;

// Layout of palette data handed to TColorManager::CreateColorPalette. Values of 8 and above read
// nothing (every entry stays black).
enum TPaletteLayout : uint8_t {
  plInterleaved8Triples = 0,   // R G B (or B G R), 3 bytes per colour
  plInterleaved8Quads = 1,     // as above with a fourth, skipped byte
  plPlanar8 = 2,               // three planes of bytes: red, green, blue
  plPlanar8Alt = 3,            // same as plPlanar8
  plInterleaved16Triples = 4,  // three 16-bit values per colour
  plInterleaved16Quads = 5,    // four 16-bit values per colour, the fourth skipped
  plPlanar16 = 6,              // three planes of 16-bit values: red, green, blue
  plPlanar16Alt = 7,           // same as plPlanar16
};

ORVANTA_EXCEPTION(EColorConversionError, Exception)

// An integer clamped to 0..255.
constexpr uint8_t ClampByte(int value) {
  return value < 0 ? 0 : value > 255 ? 255 : static_cast<uint8_t>(value);
}

// a * b / c for 16-bit values with a 32-bit product, truncated. A quotient that does not fit 16 bits
// raises ERangeError, a zero divisor EDivByZero.
inline uint16_t MulDiv16(uint16_t a, uint16_t b, uint16_t c) {
  if (c == 0) throw EDivByZero(SDivByZero);
  return RangeChecked<uint16_t>(static_cast<uint32_t>(a) * b / c);
}
