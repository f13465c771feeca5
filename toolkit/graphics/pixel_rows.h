#pragma once
// Inside the drawing layer: moving pixels between the bitmap row layouts and one common form, the
// quad (bytes blue, green, red, x in memory, as the value 0xXXRRGGBB), and matching colours to palettes.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "toolkit/graphics/palette.h"
#include "toolkit/graphics/types.h"

using TQuad = uint32_t;

constexpr TQuad MakeQuad(uint8_t r, uint8_t g, uint8_t b, uint8_t x = 0) {
  return static_cast<TQuad>(b) | (static_cast<TQuad>(g) << 8) | (static_cast<TQuad>(r) << 16) |
         (static_cast<TQuad>(x) << 24);
}
constexpr uint8_t QuadB(TQuad q) {
  return static_cast<uint8_t>(q);
}
constexpr uint8_t QuadG(TQuad q) {
  return static_cast<uint8_t>(q >> 8);
}
constexpr uint8_t QuadR(TQuad q) {
  return static_cast<uint8_t>(q >> 16);
}
constexpr uint8_t QuadX(TQuad q) {
  return static_cast<uint8_t>(q >> 24);
}
constexpr TQuad QuadFromColor(TColor c) {
  return MakeQuad(GetRValue(c), GetGValue(c), GetBValue(c));
}
constexpr TColor ColorFromQuad(TQuad q) {
  return RGB(QuadR(q), QuadG(q), QuadB(q));
}
constexpr TQuad QuadFromEntry(const TPaletteEntry& e) {
  return MakeQuad(e.peRed, e.peGreen, e.peBlue);
}

// Bits one stored pixel takes: 1, 4, 8, 16 (pf15bit and pf16bit), 24, 32 (pf32bit and pfDevice).
int StoredBitsPerPixel(TPixelFormat format);
bool IsIndexedFormat(TPixelFormat format);
// Bytes of one row padded to 4 bytes; raises EOutOfResources when it does not fit an int.
int PaddedRowBytes(int width, int bitsPerPixel);
// The colour table a new bitmap of an indexed format starts with (empty for the other formats):
// 1 bit black and white, 4 bits the standard 16 colours, 8 bits the halftone palette.
std::vector<TPaletteEntry> DefaultColorTable(TPixelFormat format);

// Expands an n-bit channel value (1 <= n <= 8) to 8 bits by repeating its bits (5 bits abcde give
// abcdeabc), so 0 stays 0 and the largest value becomes 255.
uint8_t ExpandBits(uint32_t value, int bits);

// The index of the palette entry nearest to a colour: least squared distance of red, green and blue,
// the first entry on ties; 0 for an empty table.
uint8_t NearestEntry(std::span<const TPaletteEntry> table, TQuad quad);

// Finds the palette entry nearest to a colour: least squared distance of red, green and blue, the
// first entry on ties. Remembers recent answers, so large pictures with few colours stay quick.
class TColorMatcher {
 public:
  explicit TColorMatcher(std::span<const TPaletteEntry> table);
  uint8_t Match(TQuad quad);

 private:
  std::vector<TPaletteEntry> FTable;
  std::array<uint32_t, 4096> FKeys{};  // rgb | 0x01000000 when the slot holds an answer
  std::array<uint8_t, 4096> FValues{};
};

// Reads pixels first .. first + count - 1 of a row into quads. An index beyond the colour table reads
// as black. pf32bit and pfDevice keep their fourth byte; the other formats give x = 0.
void DecodeRow(TPixelFormat format, const uint8_t* row, int first, int count,
               std::span<const TPaletteEntry> table, TQuad* out);
// Writes quads into pixels first .. first + count - 1 of a row. Indexed formats take the matcher's
// entry; the 16-bit formats keep the high bits of each channel; pf32bit writes the x byte.
void EncodeRow(TPixelFormat format, const TQuad* in, int first, int count, uint8_t* row,
               TColorMatcher* matcher);

// Index of pixel x in a row of an indexed format, and its setter (the value is masked to the depth).
uint8_t GetPixelIndex(TPixelFormat format, const uint8_t* row, int x);
void SetPixelIndex(TPixelFormat format, uint8_t* row, int x, uint8_t index);
