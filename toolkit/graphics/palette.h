#pragma once
// Logical palettes as Windows GDI knows them (up to 256 entries of red, green, blue and flags), which
// the readers hand to paletted bitmaps. A palette handle is an immutable, shared palette object;
// "deleting" it drops this holder's reference.

#include <cstdint>
#include <memory>
#include <vector>

struct TPaletteEntry {
  uint8_t peRed = 0;
  uint8_t peGreen = 0;
  uint8_t peBlue = 0;
  uint8_t peFlags = 0;
  friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

struct TLogPalette {
  uint16_t palVersion = 0x300;
  std::vector<TPaletteEntry> palPalEntry;  // at most 256 entries are kept by CreatePalette
};

using HPALETTE = std::shared_ptr<const TLogPalette>;

// A palette object holding the entries of the logical palette (none for an empty one).
HPALETTE CreatePalette(const TLogPalette& logPalette);
// Copies up to count entries from start into entries and returns how many were copied; with entries
// null returns the palette's entry count. A null palette gives 0.
uint32_t GetPaletteEntries(const HPALETTE& palette, uint32_t start, uint32_t count, TPaletteEntry* entries);
// Releases the handle and clears it.
void DeleteObject(HPALETTE& palette);
// A new palette with the same entries (null for null).
HPALETTE CopyPalette(const HPALETTE& palette);
// The 256-entry halftone palette of a 256-colour display: entries 0..9 the first ten reserved colours
// (black, maroon, green, olive, navy, purple, teal, silver, money green, sky blue), 10..225 a 6 x 6 x 6
// colour cube (levels 0, 51, 102, 153, 204, 255; red slowest, blue fastest), 226..245 twenty grey levels
// (k * 255 / 21 for k = 1..20), 246..255 the last ten reserved colours (cream, medium grey, grey, red,
// lime, yellow, blue, fuchsia, aqua, white). Each call makes a new palette object.
HPALETTE CreateHalftonePalette();
// The entries of the halftone palette (the default colour table of a new 8-bit bitmap).
const std::vector<TPaletteEntry>& HalftonePaletteEntries();
// The standard 16-colour palette, the VGA colours in the usual Windows order: black, maroon, green,
// olive, navy, purple, teal, silver, gray, red, lime, yellow, blue, fuchsia, aqua, white.
const std::vector<TPaletteEntry>& StandardPalette16();
// Bits per pixel of the screen, for the choices the program makes from it (24 here).
int ScreenBitsPerPixel();
