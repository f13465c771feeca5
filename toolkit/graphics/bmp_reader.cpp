// Reading BMP file images: every header kind (OS/2 core and 2.x, Windows 40, 52, 56, 108 and 124 bytes),
// depths 1 to 32, RLE4 and RLE8, bitfields and top-down rows. Every field is checked before it is
// used, and the pixel memory is only taken once the file is known to hold the data.
//
// Choices where files leave room:
// - 16-bit bitfields with the 5-5-5 or 5-6-5 masks load as pf15bit or pf16bit; other 16-bit masks
//   load as pf24bit. 32-bit bitfields with the masks 00FF0000, 0000FF00, 000000FF (alpha FF000000 or
//   none) load as pf32bit unchanged; other 32-bit masks are converted to pf32bit with the alpha channel
//   (or 0) in the fourth byte.
// - Uncompressed data must all be there (only the padding of the last row may be missing); a shorter
//   file raises. RLE data that ends early (before an end-of-bitmap escape, with rows left) leaves the
//   pixels it did not reach at index 0 and sets DataEndedEarly (data too short even to be sized for the
//   picture raise); a run that crosses the end of its padded row (the row's bytes, padding included)
//   or of the picture raises; pixels of a run that fall into the padding are dropped.
// - Colour tables hold at most 256 entries; a table longer than 2^bits keeps its first 2^bits entries.

#include <bit>
#include <cstring>
#include <string>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/bmp_format.h"
#include "toolkit/graphics/data_bound.h"
#include "toolkit/graphics/graphics_messages.h"
#include "toolkit/graphics/pixel_rows.h"

namespace {

// Pixel memory one BMP may ask for; RLE pictures are held to less, as a few bytes of RLE escapes can
// describe any size.
constexpr int64_t kMaxPixelBytes = int64_t{1} << 30;
constexpr int64_t kMaxRlePixelBytes = int64_t{1} << 28;
// A run of two bytes gives at most 255 pixels: RLE data give less than 128 bytes of rows per byte (the
// largest expansion of the BMP run-length schemes).
// Pictures larger than that come only from delta and end-of-bitmap escapes that leave most pixels
// untouched; such sparse pictures are held to 16 million pixels, so that a file of a few bytes costs
// no more than about 64 MB once the workbench holds it as 24-bit.
constexpr int64_t kRleExpansion = 128;
constexpr int64_t kMaxSparseRlePixels = int64_t{1} << 24;

[[noreturn]] void Fail(const std::string& detail) {
  throw EInvalidGraphic(std::string(SInvalidBitmap) + " : " + detail);
}

struct TBmpHeader {
  uint32_t HeaderSize = 0;
  bool CoreColors = false;  // 3-byte colour table entries (OS/2 core header)
  bool Os2 = false;
  int32_t Width = 0;
  int32_t Height = 0;  // negative: top-down rows
  uint16_t Planes = 1;
  uint16_t BitCount = 0;
  uint32_t Compression = BI_RGB;
  uint32_t SizeImage = 0;
  uint32_t ColorsUsed = 0;
  uint32_t Masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  uint32_t MaskBytes = 0;            // masks stored after a 40-byte header
};

bool IsWindowsHeaderSize(uint32_t size) {
  return size == kBmpInfoHeaderSize || size == kBmpV2HeaderSize || size == kBmpV3HeaderSize ||
         size == kBmpV4HeaderSize || size == kBmpV5HeaderSize;
}

TBmpHeader ReadInfoHeader(TStream& stream) {
  TBmpHeader h;
  uint8_t sizeBytes[4];
  stream.ReadBuffer(sizeBytes, 4);
  h.HeaderSize = ReadLE32(sizeBytes);
  const bool os2 = h.HeaderSize >= kBmpOs2MinHeaderSize && h.HeaderSize <= kBmpOs2MaxHeaderSize &&
                   !IsWindowsHeaderSize(h.HeaderSize);
  if (h.HeaderSize != kBmpCoreHeaderSize && !os2 && !IsWindowsHeaderSize(h.HeaderSize))
    Fail(Format(SBmpHeaderSize, {h.HeaderSize}));
  uint8_t b[kBmpV5HeaderSize] = {};
  stream.ReadBuffer(b + 4, h.HeaderSize - 4);

  if (h.HeaderSize == kBmpCoreHeaderSize) {
    h.CoreColors = true;
    h.Width = ReadLE16(b + 4);
    h.Height = ReadLE16(b + 6);
    h.Planes = ReadLE16(b + 8);
    h.BitCount = ReadLE16(b + 10);
    return h;
  }
  h.Os2 = os2;
  h.Width = static_cast<int32_t>(ReadLE32(b + 4));
  h.Height = static_cast<int32_t>(ReadLE32(b + 8));
  h.Planes = ReadLE16(b + 12);
  h.BitCount = ReadLE16(b + 14);
  // Fields an OS/2 2.x header leaves out read as 0 (the buffer is zeroed).
  h.Compression = ReadLE32(b + 16);
  h.SizeImage = ReadLE32(b + 20);
  h.ColorsUsed = ReadLE32(b + 32);
  if (!os2 && h.HeaderSize >= kBmpV2HeaderSize) {
    h.Masks[0] = ReadLE32(b + 40);
    h.Masks[1] = ReadLE32(b + 44);
    h.Masks[2] = ReadLE32(b + 48);
    if (h.HeaderSize >= kBmpV3HeaderSize) h.Masks[3] = ReadLE32(b + 52);
  }
  return h;
}

bool IsContiguous(uint32_t mask) {
  if (mask == 0) return false;
  const uint32_t shifted = mask >> std::countr_zero(mask);
  return (shifted & (shifted + 1)) == 0;
}

void CheckMasks(const TBmpHeader& h) {
  const uint32_t limit = h.BitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
  uint32_t seen = 0;
  for (int i = 0; i < 4; ++i) {
    const uint32_t mask = h.Masks[i];
    if (i == 3 && mask == 0) continue;
    if (!IsContiguous(mask) || (mask & ~limit) != 0 || (mask & seen) != 0) Fail(SBmpMasks);
    seen |= mask;
  }
}

void CheckHeader(const TBmpHeader& h) {
  if (h.Width < 0) Fail(Format(SBmpWidth, {h.Width}));
  if (h.Height == INT32_MIN || (h.Height < 0 && (h.Os2 || h.CoreColors)))
    Fail(Format(SBmpHeight, {h.Height}));
  if (h.Planes != 1) Fail(Format(SBmpPlanes, {h.Planes}));
  if (!IsBmpBitCount(h.BitCount)) Fail(Format(SBmpBitCount, {h.BitCount}));
  const auto depthFits = [&](bool fits) {
    if (!fits) Fail(Format(SBmpCompressionDepth, {h.Compression, h.BitCount}));
  };
  switch (h.Compression) {
    case BI_RGB:
      break;
    case BI_RLE8:
      depthFits(h.BitCount == 8);
      break;
    case BI_RLE4:
      depthFits(h.BitCount == 4);
      break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
      // OS/2 2.x uses 3 for Huffman coding and 4 for RLE24, neither of which is read.
      if (h.Os2) Fail(Format(SBmpCompression, {h.Compression}));
      depthFits(h.BitCount == 16 || h.BitCount == 32);
      break;
    default:
      Fail(Format(SBmpCompression, {h.Compression}));
  }
  if ((h.Compression == BI_RLE4 || h.Compression == BI_RLE8) && h.Height < 0) Fail(SBmpTopDownRle);
  if (h.ColorsUsed > 256) Fail(Format(SBmpColorCount, {h.ColorsUsed}));
}

// How the pixels of a bitfields or plain 16/32-bit file reach the bitmap.
struct TFieldLayout {
  bool Raw = true;  // file rows are the bitmap's rows byte for byte
  TPixelFormat Format = pf24bit;
  int Shift[4] = {0, 0, 0, 0};
  int Bits[4] = {0, 0, 0, 0};
};

TFieldLayout ChooseLayout(const TBmpHeader& h) {
  TFieldLayout layout;
  switch (h.BitCount) {
    case 1:
      layout.Format = pf1bit;
      return layout;
    case 4:
      layout.Format = pf4bit;
      return layout;
    case 8:
      layout.Format = pf8bit;
      return layout;
    case 24:
      layout.Format = pf24bit;
      return layout;
    default:
      break;
  }
  const bool fields = h.Compression == BI_BITFIELDS || h.Compression == BI_ALPHABITFIELDS;
  if (h.BitCount == 16) {
    if (!fields || (h.Masks[0] == 0x7C00 && h.Masks[1] == 0x03E0 && h.Masks[2] == 0x001F)) {
      layout.Format = pf15bit;
      return layout;
    }
    if (h.Masks[0] == 0xF800 && h.Masks[1] == 0x07E0 && h.Masks[2] == 0x001F) {
      layout.Format = pf16bit;
      return layout;
    }
    layout.Format = pf24bit;
  } else {
    layout.Format = pf32bit;
    if (!fields || (h.Masks[0] == 0x00FF0000 && h.Masks[1] == 0x0000FF00 && h.Masks[2] == 0x000000FF &&
                    (h.Masks[3] == 0 || h.Masks[3] == 0xFF000000)))
      return layout;
  }
  layout.Raw = false;
  for (int i = 0; i < 4; ++i) {
    if (h.Masks[i] == 0) continue;
    layout.Shift[i] = std::countr_zero(h.Masks[i]);
    layout.Bits[i] = std::popcount(h.Masks[i]);
  }
  return layout;
}

uint8_t Field(uint32_t value, const TFieldLayout& layout, int channel) {
  if (layout.Bits[channel] == 0) return 0;
  const uint32_t part = (value >> layout.Shift[channel]) & ((uint64_t{1} << layout.Bits[channel]) - 1);
  return ExpandBits(part, layout.Bits[channel]);
}

// One file row of masked pixels into one bitmap row (pf24bit or pf32bit).
void ConvertFieldRow(const uint8_t* from, int width, int bitCount, const TFieldLayout& layout, uint8_t* to) {
  const int step = bitCount / 8;
  const int targetStep = layout.Format == pf32bit ? 4 : 3;
  for (int x = 0; x < width; ++x, from += step, to += targetStep) {
    const uint32_t v = step == 2 ? ReadLE16(from) : ReadLE32(from);
    to[0] = Field(v, layout, 2);
    to[1] = Field(v, layout, 1);
    to[2] = Field(v, layout, 0);
    if (targetStep == 4) to[3] = Field(v, layout, 3);
  }
}

// Decodes RLE8 or RLE4 data into zeroed bottom-up rows (row 0 of `pixels` is the bottom row, as in
// the file); with no pixels, only walks the data. Stops quietly where the data ends, and answers whether
// they gave the whole picture: an end-of-bitmap escape, or every row ended (a file that lacks only its
// end-of-bitmap escape is whole).
bool DecodeRle(std::span<const uint8_t> data, bool fourBit, int width, int height, uint8_t* pixels,
               int stride) {
  size_t pos = 0;
  int64_t x = 0;
  int64_t y = 0;  // counted from the bottom row
  // Some encoders (ImageMagick) encode the padding of each row as pixels: runs may reach into it,
  // and what falls there is dropped.
  const int64_t rowLimit = fourBit ? 2 * int64_t{stride} : stride;
  const auto checkRun = [&](int64_t count) {
    if (y >= height) Fail(SBmpRlePicture);
    if (x + count > rowLimit) Fail(Format(SBmpRleRow, {static_cast<int64_t>(height - 1 - y)}));
  };
  const auto put = [&](int64_t px, uint8_t value) {
    if (px >= width || !pixels) return;
    uint8_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(stride);
    if (fourBit)
      SetPixelIndex(pf4bit, row, static_cast<int>(px), value);
    else
      row[px] = value;
  };
  while (pos + 2 <= data.size()) {
    const uint8_t count = data[pos];
    const uint8_t value = data[pos + 1];
    pos += 2;
    if (count > 0) {  // encoded run
      checkRun(count);
      for (int i = 0; i < count; ++i)
        put(x + i, fourBit ? static_cast<uint8_t>((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
      x += count;
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of bitmap
        return true;
      case 2: {  // delta: moves right and up
        if (pos + 2 > data.size()) return false;
        const int64_t fromRow = height - 1 - y;
        x += data[pos];
        y += data[pos + 1];
        pos += 2;
        if (y > height) Fail(SBmpRlePicture);
        if (x > rowLimit) Fail(Format(SBmpRleRow, {fromRow}));
        break;
      }
      default: {  // absolute run of `value` pixels, padded to a 16-bit boundary
        checkRun(value);
        const size_t bytes = fourBit ? (value + 1u) / 2 : value;
        const size_t present = std::min(bytes, data.size() - pos);
        for (int i = 0; i < value; ++i) {
          const size_t at = fourBit ? static_cast<size_t>(i) / 2 : static_cast<size_t>(i);
          if (at >= present) return false;
          const uint8_t byte = data[pos + at];
          put(x + i, fourBit ? static_cast<uint8_t>((i & 1) ? (byte & 0x0F) : (byte >> 4)) : byte);
        }
        x += value;
        pos += bytes + (bytes & 1);
        break;
      }
    }
  }
  return y >= height || (y == height - 1 && x >= width);
}

TPixelMemory AllocatePixels(int64_t bytes, bool zeroed) {
  if (bytes == 0) return {};
  try {
    TPixelMemory pixels(static_cast<size_t>(bytes));
    if (zeroed) std::memset(pixels.get(), 0, static_cast<size_t>(bytes));
    return pixels;
  } catch (const std::bad_alloc&) {
    throw EOutOfResources(SOutOfResources);
  }
}

}  // namespace

// A file that ends inside its headers or colour table is an invalid bitmap, said as such.
void TBitmap::LoadFromStream(TStream& stream) try {
  SetDataEndedEarly(false);
  const int64_t base = stream.Position();
  const int64_t available = stream.Size() - base;

  uint8_t fileHeader[kBmpFileHeaderSize];
  stream.ReadBuffer(fileHeader, kBmpFileHeaderSize);
  if (ReadLE16(fileHeader) != kBmpSignature) Fail(SBmpSignature);
  const uint32_t offBits = ReadLE32(fileHeader + 10);

  TBmpHeader h = ReadInfoHeader(stream);
  CheckHeader(h);
  if (h.HeaderSize == kBmpInfoHeaderSize &&
      (h.Compression == BI_BITFIELDS || h.Compression == BI_ALPHABITFIELDS)) {
    h.MaskBytes = h.Compression == BI_BITFIELDS ? 12 : 16;
    uint8_t masks[16];
    stream.ReadBuffer(masks, h.MaskBytes);
    for (uint32_t i = 0; i < h.MaskBytes / 4; ++i) h.Masks[i] = ReadLE32(masks + 4 * i);
  }
  if (h.Compression == BI_BITFIELDS || h.Compression == BI_ALPHABITFIELDS) CheckMasks(h);

  const int64_t headerEnd = int64_t{kBmpFileHeaderSize} + h.HeaderSize + h.MaskBytes;
  if (offBits != 0 && offBits < headerEnd) Fail(Format(SBmpOffsetInHeader, {offBits}));
  if (offBits != 0 && offBits > available) Fail(Format(SBmpOffsetPastEnd, {offBits}));

  // The colour table: 2^bits entries unless the header counts them; an OS/2 core table may be cut
  // short by the pixel offset.
  const size_t entrySize = h.CoreColors ? 3 : 4;
  int64_t tableEntries = h.ColorsUsed;
  if (h.BitCount <= 8 && tableEntries == 0) {
    tableEntries = int64_t{1} << h.BitCount;
    if (h.CoreColors && offBits != 0)
      tableEntries = std::min<int64_t>(tableEntries, (offBits - headerEnd) / static_cast<int64_t>(entrySize));
  }
  std::vector<TPaletteEntry> table;
  if (h.BitCount <= 8) {
    std::vector<uint8_t> raw(static_cast<size_t>(tableEntries) * entrySize);
    stream.ReadBuffer(raw.data(), static_cast<int64_t>(raw.size()));
    const int64_t kept = std::min<int64_t>(tableEntries, int64_t{1} << h.BitCount);
    for (int64_t i = 0; i < kept; ++i) {
      const uint8_t* e = raw.data() + i * static_cast<int64_t>(entrySize);
      table.push_back(TPaletteEntry{e[2], e[1], e[0], 0});
    }
  }
  const int64_t dataStart =
      offBits != 0 ? offBits : headerEnd + tableEntries * static_cast<int64_t>(entrySize);
  if (dataStart > available) Fail(Format(SBmpOffsetPastEnd, {dataStart}));
  const int64_t dataAvailable = available - dataStart;

  const int width = h.Width;
  const int height = h.Height < 0 ? -h.Height : h.Height;
  const TFieldLayout layout = ChooseLayout(h);
  const int64_t fileStride = (int64_t{width} * h.BitCount + 31) / 32 * 4;
  const int64_t stride = (int64_t{width} * StoredBitsPerPixel(layout.Format) + 31) / 32 * 4;
  const bool rle = h.Compression == BI_RLE4 || h.Compression == BI_RLE8;
  const int64_t limit = rle ? kMaxRlePixelBytes : kMaxPixelBytes;
  if (height != 0 && stride > limit / height) Fail(Format(SBmpTooLarge, {width, height}));
  const int64_t pixelBytes = stride * height;

  TPixelMemory pixels;
  bool whole = true;
  if (pixelBytes > 0 && rle) {
    const int64_t packed = h.SizeImage != 0 ? std::min<int64_t>(h.SizeImage, dataAvailable) : dataAvailable;
    std::vector<uint8_t> data(static_cast<size_t>(packed));
    stream.SetPosition(base + dataStart);
    stream.ReadBuffer(data.data(), packed);
    const bool fourBit = h.Compression == BI_RLE4;
    // Data that end before the picture does (no end-of-bitmap escape, rows left) keep what they give,
    // flagged; but they must be able to give the rows they are sized for.
    whole = DecodeRle(data, fourBit, width, height, nullptr, static_cast<int>(stride));
    if (!DataCanFill(static_cast<uint64_t>(packed), kRleExpansion, static_cast<uint64_t>(stride),
                     static_cast<uint64_t>(height))) {
      if (!whole) Fail(Format(SBmpTruncated, {pixelBytes / kRleExpansion, packed}));
      if (int64_t{width} * height > kMaxSparseRlePixels) Fail(Format(SBmpTooLarge, {width, height}));
    }
    pixels = AllocatePixels(pixelBytes, true);
    DecodeRle(data, fourBit, width, height, pixels.get(), static_cast<int>(stride));
  } else if (pixelBytes > 0) {
    // Every row must be there; only the padding of the last one may be missing.
    const int64_t needed = fileStride * (height - 1) + (int64_t{width} * h.BitCount + 7) / 8;
    if (needed > dataAvailable) Fail(Format(SBmpTruncated, {needed, dataAvailable}));
    const int64_t present = std::min(fileStride * height, dataAvailable);
    stream.SetPosition(base + dataStart);
    pixels = AllocatePixels(pixelBytes, false);
    if (layout.Raw && h.Height > 0) {
      // Bottom-up file rows are our memory rows: one read.
      stream.ReadBuffer(pixels.get(), present);
      std::memset(pixels.get() + present, 0, static_cast<size_t>(pixelBytes - present));
    } else {
      std::vector<uint8_t> row(static_cast<size_t>(fileStride), 0);
      for (int i = 0; i < height; ++i) {
        const int64_t rowBytes = std::min(fileStride, present - fileStride * i);
        stream.ReadBuffer(row.data(), rowBytes);
        std::memset(row.data() + rowBytes, 0, static_cast<size_t>(fileStride - rowBytes));
        // File row i is the top row i of a top-down file and the bottom row i of a bottom-up one.
        const int memoryRow = h.Height < 0 ? height - 1 - i : i;
        uint8_t* to = pixels.get() + static_cast<size_t>(memoryRow) * static_cast<size_t>(stride);
        if (layout.Raw) {
          std::memcpy(to, row.data(), static_cast<size_t>(stride));
        } else {
          const int64_t used = int64_t{width} * (layout.Format == pf32bit ? 4 : 3);
          ConvertFieldRow(row.data(), width, h.BitCount, layout, to);
          std::memset(to + used, 0, static_cast<size_t>(stride - used));
        }
      }
    }
  }
  InstallLoaded(width, height, layout.Format, std::move(table), std::move(pixels), static_cast<int>(stride));
  SetDataEndedEarly(!whole);
} catch (const EReadError&) {
  Fail(SFileTruncated);
}
