#include "toolkit/graphics/pixel_rows.h"

#include <cstring>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"

int StoredBitsPerPixel(TPixelFormat format) {
  switch (format) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf15bit:
    case pf16bit:
      return 16;
    case pf24bit:
      return 24;
    default:
      return 32;
  }
}

bool IsIndexedFormat(TPixelFormat format) {
  return format == pf1bit || format == pf4bit || format == pf8bit;
}

int PaddedRowBytes(int width, int bitsPerPixel) {
  const int64_t bytes = (static_cast<int64_t>(width) * bitsPerPixel + 31) / 32 * 4;
  if (width < 0 || bytes > INT32_MAX) throw EOutOfResources(SOutOfResources);
  return static_cast<int>(bytes);
}

std::vector<TPaletteEntry> DefaultColorTable(TPixelFormat format) {
  switch (format) {
    case pf1bit:
      return {TPaletteEntry{0, 0, 0, 0}, TPaletteEntry{255, 255, 255, 0}};
    case pf4bit:
      return StandardPalette16();
    case pf8bit:
      return HalftonePaletteEntries();
    default:
      return {};
  }
}

uint8_t ExpandBits(uint32_t value, int bits) {
  if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
  uint32_t result = 0;
  int filled = 0;
  while (filled < 8) {
    result = (result << bits) | value;
    filled += bits;
  }
  return static_cast<uint8_t>(result >> (filled - 8));
}

// --- TColorMatcher ---

TColorMatcher::TColorMatcher(std::span<const TPaletteEntry> table) : FTable(table.begin(), table.end()) {}

uint8_t TColorMatcher::Match(TQuad quad) {
  const uint32_t rgb = quad & 0xFFFFFF;
  const uint32_t slot = (rgb * 2654435761u) >> 20;
  const uint32_t key = rgb | 0x01000000;
  if (FKeys[slot] != key) {
    FKeys[slot] = key;
    FValues[slot] = NearestEntry(FTable, rgb);
  }
  return FValues[slot];
}

uint8_t NearestEntry(std::span<const TPaletteEntry> table, TQuad rgb) {
  const int r = QuadR(rgb), g = QuadG(rgb), b = QuadB(rgb);
  int best = 0;
  int bestDistance = INT32_MAX;
  for (size_t i = 0; i < table.size() && i < 256; ++i) {
    const int dr = table[i].peRed - r, dg = table[i].peGreen - g, db = table[i].peBlue - b;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<int>(i);
      if (distance == 0) break;
    }
  }
  return static_cast<uint8_t>(best);
}

// --- indices ---

uint8_t GetPixelIndex(TPixelFormat format, const uint8_t* row, int x) {
  switch (format) {
    case pf1bit:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case pf4bit:
      return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default:
      return row[x];
  }
}

void SetPixelIndex(TPixelFormat format, uint8_t* row, int x, uint8_t index) {
  switch (format) {
    case pf1bit: {
      const auto bit = static_cast<uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = static_cast<uint8_t>((index & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit));
      break;
    }
    case pf4bit:
      if (x & 1)
        row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0xF0) | (index & 0x0F));
      else
        row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0x0F) | (index << 4));
      break;
    default:
      row[x] = index;
      break;
  }
}

// --- rows ---

namespace {

TQuad Decode15(const uint8_t* p) {
  const uint32_t v = p[0] | (p[1] << 8);
  return MakeQuad(ExpandBits((v >> 10) & 31, 5), ExpandBits((v >> 5) & 31, 5), ExpandBits(v & 31, 5));
}

TQuad Decode16(const uint8_t* p) {
  const uint32_t v = p[0] | (p[1] << 8);
  return MakeQuad(ExpandBits(v >> 11, 5), ExpandBits((v >> 5) & 63, 6), ExpandBits(v & 31, 5));
}

void Encode16Bits(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

void DecodeRow(TPixelFormat format, const uint8_t* row, int first, int count,
               std::span<const TPaletteEntry> table, TQuad* out) {
  switch (format) {
    case pf1bit:
    case pf4bit:
    case pf8bit: {
      if (count < 32) {  // a few pixels (a canvas read): look each one up
        for (int i = 0; i < count; ++i) {
          const uint8_t index = GetPixelIndex(format, row, first + i);
          out[i] = index < table.size() ? QuadFromEntry(table[index]) : 0;
        }
        break;
      }
      TQuad lookup[256];
      for (size_t i = 0; i < 256; ++i) lookup[i] = i < table.size() ? QuadFromEntry(table[i]) : 0;
      if (format == pf8bit) {
        const uint8_t* p = row + first;
        for (int i = 0; i < count; ++i) out[i] = lookup[p[i]];
      } else {
        for (int i = 0; i < count; ++i) out[i] = lookup[GetPixelIndex(format, row, first + i)];
      }
      break;
    }
    case pf15bit: {
      const uint8_t* p = row + 2 * static_cast<size_t>(first);
      for (int i = 0; i < count; ++i, p += 2) out[i] = Decode15(p);
      break;
    }
    case pf16bit: {
      const uint8_t* p = row + 2 * static_cast<size_t>(first);
      for (int i = 0; i < count; ++i, p += 2) out[i] = Decode16(p);
      break;
    }
    case pf24bit: {
      const uint8_t* p = row + 3 * static_cast<size_t>(first);
      for (int i = 0; i < count; ++i, p += 3) out[i] = MakeQuad(p[2], p[1], p[0]);
      break;
    }
    default: {
      const uint8_t* p = row + 4 * static_cast<size_t>(first);
      for (int i = 0; i < count; ++i, p += 4) out[i] = MakeQuad(p[2], p[1], p[0], p[3]);
      break;
    }
  }
}

void EncodeRow(TPixelFormat format, const TQuad* in, int first, int count, uint8_t* row,
               TColorMatcher* matcher) {
  switch (format) {
    case pf1bit:
    case pf4bit:
    case pf8bit:
      for (int i = 0; i < count; ++i) {
        const uint8_t index = matcher ? matcher->Match(in[i]) : 0;
        if (format == pf8bit)
          row[first + i] = index;
        else
          SetPixelIndex(format, row, first + i, index);
      }
      break;
    case pf15bit: {
      uint8_t* p = row + 2 * static_cast<size_t>(first);
      for (int i = 0; i < count; ++i, p += 2)
        Encode16Bits(p, ((QuadR(in[i]) >> 3) << 10) | ((QuadG(in[i]) >> 3) << 5) | (QuadB(in[i]) >> 3));
      break;
    }
    case pf16bit: {
      uint8_t* p = row + 2 * static_cast<size_t>(first);
      for (int i = 0; i < count; ++i, p += 2)
        Encode16Bits(p, ((QuadR(in[i]) >> 3) << 11) | ((QuadG(in[i]) >> 2) << 5) | (QuadB(in[i]) >> 3));
      break;
    }
    case pf24bit: {
      uint8_t* p = row + 3 * static_cast<size_t>(first);
      for (int i = 0; i < count; ++i, p += 3) {
        p[0] = QuadB(in[i]);
        p[1] = QuadG(in[i]);
        p[2] = QuadR(in[i]);
      }
      break;
    }
    default: {
      uint8_t* p = row + 4 * static_cast<size_t>(first);
      for (int i = 0; i < count; ++i, p += 4) {
        p[0] = QuadB(in[i]);
        p[1] = QuadG(in[i]);
        p[2] = QuadR(in[i]);
        p[3] = QuadX(in[i]);
      }
      break;
    }
  }
}
