// The colour manager's palette builders: a file's palette data, and gray levels for the target depth.

#include <algorithm>

#include "picture_formats/color_manager.h"
#include "picture_formats/color_row_support.h"

using namespace color_rows;

namespace {

// Reads the palette entries of one layout. Entries whose bytes the data does not hold in full are not
// read and stay black.
template <class Level>
void FillEntries(std::vector<TPaletteEntry>& entries, std::span<const std::span<const uint8_t>> data,
                 TPaletteLayout layout, bool bgr, Level level) {
  const auto set = [&](size_t i, unsigned red, unsigned green, unsigned blue) {
    entries[i].peRed = static_cast<uint8_t>(red);
    entries[i].peGreen = static_cast<uint8_t>(green);
    entries[i].peBlue = static_cast<uint8_t>(blue);
  };
  switch (layout) {
    case plInterleaved8Triples:
    case plInterleaved8Quads:
    case plInterleaved16Triples:
    case plInterleaved16Quads: {
      if (data.empty()) return;
      const bool words = layout >= plInterleaved16Triples;
      const size_t sample = words ? 2 : 1;
      const size_t stride =
          sample * ((layout == plInterleaved8Quads || layout == plInterleaved16Quads) ? 4 : 3);
      // Blue comes first in 8-bit data when the flag is set, and in 16-bit data when it is clear.
      const bool blueFirst = words ? !bgr : bgr;
      const std::span<const uint8_t> bytes = data[0];
      for (size_t i = 0; i < entries.size() && i * stride + 3 * sample <= bytes.size(); ++i) {
        const uint8_t* p = bytes.data() + i * stride;
        const unsigned first = level(p), green = level(p + sample), last = level(p + 2 * sample);
        if (blueFirst)
          set(i, last, green, first);
        else
          set(i, first, green, last);
      }
      return;
    }
    case plPlanar8:
    case plPlanar8Alt:
    case plPlanar16:
    case plPlanar16Alt: {
      if (data.size() < 3) return;
      const size_t sample = layout >= plPlanar16 ? 2 : 1;
      const size_t held = std::min({data[0].size(), data[1].size(), data[2].size()}) / sample;
      for (size_t i = 0; i < entries.size() && i < held; ++i)
        set(i, level(data[0].data() + i * sample), level(data[1].data() + i * sample),
            level(data[2].data() + i * sample));
      return;
    }
  }
}

}  // namespace

HPALETTE TColorManager::CreateColorPalette(std::span<const std::span<const uint8_t>> data,
                                           TPaletteLayout layout, uint32_t colorCount, bool bgr) const {
  std::vector<TPaletteEntry> entries(std::min<uint32_t>(colorCount, 256));
  const bool gamma = (FTargetOptions & optGamma) != 0;
  const bool swap = (FSourceOptions & optSwap16) != 0;
  if (layout <= plPlanar8Alt) {
    if (gamma)
      FillEntries(entries, data, layout, bgr,
                  [this](const uint8_t* p) -> unsigned { return SampleGamma8(*p); });
    else
      FillEntries(entries, data, layout, bgr, [](const uint8_t* p) -> unsigned { return *p; });
  } else if (layout <= plPlanar16Alt) {
    if (gamma && swap)
      FillEntries(entries, data, layout, bgr,
                  [this](const uint8_t* p) -> unsigned { return SampleSwapScaleGamma16(Load16(p)); });
    else if (gamma)
      FillEntries(entries, data, layout, bgr,
                  [this](const uint8_t* p) -> unsigned { return SampleScaleGamma16(Load16(p)); });
    else if (swap)
      FillEntries(entries, data, layout, bgr,
                  [](const uint8_t* p) -> unsigned { return SampleSwapScale16(Load16(p)); });
    else
      FillEntries(entries, data, layout, bgr,
                  [](const uint8_t* p) -> unsigned { return SampleScale16(Load16(p)); });
  }

  // Spread the entries over the target depth the way the indexed converters scale an index v: to
  // v x maxTarget div maxSource. Place j first takes the colour of index j x maxSource div maxTarget
  // (a source index the palette does not have reads as black). Towards a deeper target that reverse
  // misses the converters wherever the target depth is not a multiple of the source depth (a 3-bit
  // index 1 goes to place 2, whose reverse is index 0), so there every index then puts its own colour
  // where the converters send it.
  const auto maxSource = static_cast<uint16_t>((1u << FSourceBitsPerSample) - 1);
  const auto maxTarget = static_cast<uint16_t>((1u << FTargetBitsPerSample) - 1);
  if (FTargetBitsPerSample <= 8 && maxSource != maxTarget) {
    std::vector<TPaletteEntry> spread(maxTarget + 1u);
    for (uint16_t j = 0; j <= maxTarget; ++j) {
      const uint16_t index = MulDiv16(j, maxSource, maxTarget);
      if (index < entries.size()) spread[j] = entries[index];
    }
    if (maxSource < maxTarget) {
      for (size_t v = 0; v < entries.size() && v <= maxSource; ++v)
        spread[MulDiv16(static_cast<uint16_t>(v), maxTarget, maxSource)] = entries[v];
    }
    entries = std::move(spread);
  }
  TLogPalette logPalette;
  logPalette.palPalEntry = std::move(entries);
  return CreatePalette(logPalette);
}

HPALETTE TColorManager::CreateGrayscalePalette(bool minimumIsWhite) const {
  const unsigned bits = std::min(FTargetBitsPerSample * FTargetSamplesPerPixel, 8);
  const unsigned last = (1u << bits) - 1;
  const unsigned step = 255 / last;
  const bool gamma = (FTargetOptions & optGamma) != 0;
  TLogPalette logPalette;
  logPalette.palPalEntry.resize(last + 1);
  for (unsigned i = 0; i <= last; ++i) {
    auto value = static_cast<uint8_t>(step * i);
    if (gamma) value = SampleGamma8(value);
    TPaletteEntry& entry = logPalette.palPalEntry[minimumIsWhite ? last - i : i];
    entry.peRed = entry.peGreen = entry.peBlue = value;
  }
  return CreatePalette(logPalette);
}
