#pragma once
// Inside the drawing layer: the numbers of the BMP file format shared by its reader and writer, and the
// little-endian field helpers.

#include <cstdint>

inline constexpr uint16_t kBmpSignature = 0x4D42;  // "BM"
inline constexpr uint32_t kBmpFileHeaderSize = 14;
inline constexpr uint32_t kBmpCoreHeaderSize = 12;  // OS/2 1.x BITMAPCOREHEADER
inline constexpr uint32_t kBmpInfoHeaderSize = 40;  // BITMAPINFOHEADER
inline constexpr uint32_t kBmpV2HeaderSize = 52;    // with the three colour masks
inline constexpr uint32_t kBmpV3HeaderSize = 56;    // with the alpha mask too
inline constexpr uint32_t kBmpV4HeaderSize = 108;
inline constexpr uint32_t kBmpV5HeaderSize = 124;
inline constexpr uint32_t kBmpOs2MinHeaderSize = 16;  // OS/2 2.x headers are 16 to 64 bytes long
inline constexpr uint32_t kBmpOs2MaxHeaderSize = 64;

inline constexpr uint32_t BI_RGB = 0;
inline constexpr uint32_t BI_RLE8 = 1;
inline constexpr uint32_t BI_RLE4 = 2;
inline constexpr uint32_t BI_BITFIELDS = 3;
inline constexpr uint32_t BI_ALPHABITFIELDS = 6;

// The depths a BMP-style image may have (BMP files and the images inside icons).
constexpr bool IsBmpBitCount(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

inline uint16_t ReadLE16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t ReadLE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void WriteLE16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void WriteLE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
