#include "toolkit/graphics/palette.h"

#include <algorithm>

namespace {

constexpr size_t kMaxPaletteEntries = 256;

constexpr TPaletteEntry Entry(uint8_t r, uint8_t g, uint8_t b) {
  return TPaletteEntry{r, g, b, 0};
}

// The halftone palette keeps the 20 colours a 256-colour display reserves at its two ends (10 at the
// start, 10 at the end), a 6 x 6 x 6 colour cube in between (levels 0, 51, ..., 255; red varying
// slowest) and 20 grey levels that the cube lacks.
std::vector<TPaletteEntry> BuildHalftoneEntries() {
  std::vector<TPaletteEntry> entries = {
      Entry(0x00, 0x00, 0x00), Entry(0x80, 0x00, 0x00), Entry(0x00, 0x80, 0x00), Entry(0x80, 0x80, 0x00),
      Entry(0x00, 0x00, 0x80), Entry(0x80, 0x00, 0x80), Entry(0x00, 0x80, 0x80), Entry(0xC0, 0xC0, 0xC0),
      Entry(0xC0, 0xDC, 0xC0), Entry(0xA6, 0xCA, 0xF0),
  };
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        entries.push_back(
            Entry(static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51), static_cast<uint8_t>(b * 51)));
  for (int k = 1; k <= 20; ++k) {
    const auto level = static_cast<uint8_t>(k * 255 / 21);
    entries.push_back(Entry(level, level, level));
  }
  const TPaletteEntry tail[] = {
      Entry(0xFF, 0xFB, 0xF0), Entry(0xA0, 0xA0, 0xA4), Entry(0x80, 0x80, 0x80), Entry(0xFF, 0x00, 0x00),
      Entry(0x00, 0xFF, 0x00), Entry(0xFF, 0xFF, 0x00), Entry(0x00, 0x00, 0xFF), Entry(0xFF, 0x00, 0xFF),
      Entry(0x00, 0xFF, 0xFF), Entry(0xFF, 0xFF, 0xFF),
  };
  entries.insert(entries.end(), std::begin(tail), std::end(tail));
  return entries;
}

}  // namespace

HPALETTE CreatePalette(const TLogPalette& logPalette) {
  if (logPalette.palPalEntry.empty()) return nullptr;
  auto palette = std::make_shared<TLogPalette>();
  palette->palVersion = logPalette.palVersion;
  const size_t count = std::min(logPalette.palPalEntry.size(), kMaxPaletteEntries);
  palette->palPalEntry.assign(logPalette.palPalEntry.begin(),
                              logPalette.palPalEntry.begin() + static_cast<std::ptrdiff_t>(count));
  return palette;
}

uint32_t GetPaletteEntries(const HPALETTE& palette, uint32_t start, uint32_t count, TPaletteEntry* entries) {
  if (!palette) return 0;
  const auto size = static_cast<uint32_t>(palette->palPalEntry.size());
  if (!entries) return size;
  if (start >= size) return 0;
  const uint32_t copied = std::min(count, size - start);
  std::copy_n(palette->palPalEntry.begin() + start, copied, entries);
  return copied;
}

void DeleteObject(HPALETTE& palette) {
  palette.reset();
}

HPALETTE CopyPalette(const HPALETTE& palette) {
  if (!palette) return nullptr;
  return std::make_shared<const TLogPalette>(*palette);
}

const std::vector<TPaletteEntry>& HalftonePaletteEntries() {
  static const std::vector<TPaletteEntry> entries = BuildHalftoneEntries();
  return entries;
}

HPALETTE CreateHalftonePalette() {
  TLogPalette log;
  log.palPalEntry = HalftonePaletteEntries();
  return CreatePalette(log);
}

const std::vector<TPaletteEntry>& StandardPalette16() {
  static const std::vector<TPaletteEntry> entries = {
      Entry(0x00, 0x00, 0x00), Entry(0x80, 0x00, 0x00), Entry(0x00, 0x80, 0x00), Entry(0x80, 0x80, 0x00),
      Entry(0x00, 0x00, 0x80), Entry(0x80, 0x00, 0x80), Entry(0x00, 0x80, 0x80), Entry(0xC0, 0xC0, 0xC0),
      Entry(0x80, 0x80, 0x80), Entry(0xFF, 0x00, 0x00), Entry(0x00, 0xFF, 0x00), Entry(0xFF, 0xFF, 0x00),
      Entry(0x00, 0x00, 0xFF), Entry(0xFF, 0x00, 0xFF), Entry(0x00, 0xFF, 0xFF), Entry(0xFF, 0xFF, 0xFF),
  };
  return entries;
}

int ScreenBitsPerPixel() {
  return 24;
}
