#include "picture_formats/pcx_graphic.h"

#include <algorithm>
#include <array>
#include <vector>

#include "picture_formats/byte_fields.h"
#include "picture_formats/decoders_rle.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "toolkit/core/checked.h"

namespace {

constexpr int64_t kHeaderSize = 128;
// The byte 12 and 256 red-green-blue triples at the end of a 256-colour file.
constexpr int64_t kPaletteBlockSize = 769;
constexpr uint8_t kPaletteBlockMark = 12;
constexpr uint16_t kGrayPaletteInfo = 2;
constexpr const char* kPCXOrSCR = "PCX or SCR";
constexpr const char* kPCX = "PCX";
// The most bytes a plane's row may hold beyond those its pixels need (writers round rows to 2 or 4
// bytes; a few more are allowed).
constexpr size_t kMostLinePadding = 16;

struct TPCXHeader {
  uint8_t Manufacturer = 0;
  uint8_t Version = 0;
  uint8_t Encoding = 0;
  uint8_t BitsPerPixel = 0;  // of one plane
  uint16_t XMin = 0;
  uint16_t YMin = 0;
  uint16_t XMax = 0;
  uint16_t YMax = 0;
  uint16_t HorizontalResolution = 0;
  uint16_t VerticalResolution = 0;
  std::array<uint8_t, 48> ColorMap{};  // 16 red-green-blue triples
  uint8_t Planes = 0;
  uint16_t BytesPerLine = 0;  // of one plane
  uint16_t PaletteInfo = 0;
};

TPCXHeader ReadHeader(TStream& stream) {
  std::array<uint8_t, kHeaderSize> bytes{};
  stream.ReadBuffer(bytes.data(), kHeaderSize);
  const std::span<const uint8_t> b(bytes);
  TPCXHeader header;
  header.Manufacturer = b[0];
  header.Version = b[1];
  header.Encoding = b[2];
  header.BitsPerPixel = b[3];
  header.XMin = LittleEndian16(b, 4);
  header.YMin = LittleEndian16(b, 6);
  header.XMax = LittleEndian16(b, 8);
  header.YMax = LittleEndian16(b, 10);
  header.HorizontalResolution = LittleEndian16(b, 12);
  header.VerticalResolution = LittleEndian16(b, 14);
  std::copy_n(b.begin() + 16, header.ColorMap.size(), header.ColorMap.begin());
  header.Planes = b[65];
  header.BytesPerLine = LittleEndian16(b, 66);
  header.PaletteInfo = LittleEndian16(b, 68);
  return header;
}

bool IsPCXManufacturer(uint8_t manufacturer) {
  return manufacturer == 10 || manufacturer == 205;
}

// max - min + 1; a maximum more than one below its minimum does not fit the unsigned extent.
uint32_t Extent(uint16_t minimum, uint16_t maximum) {
  return RangeChecked<uint32_t>(int32_t{maximum} - int32_t{minimum} + 1);
}

// The plane layouts a bitmap can hold.
enum class TPlaneLayout {
  Packed,     // one plane of 1, 2, 4 or 8 bits per pixel
  BitPlanes,  // two to four planes of 1 bit: plane k holds bit k of a 4-bit pixel
  RGB,        // three planes of 8 bits: red, green, blue
  RGBA,       // four planes of 8 bits: red, green, blue, alpha
};

TPlaneLayout LayoutOf(uint8_t planes, uint8_t bits) {
  if (planes == 1 && (bits == 1 || bits == 2 || bits == 4 || bits == 8)) return TPlaneLayout::Packed;
  if (planes >= 2 && planes <= 4 && bits == 1) return TPlaneLayout::BitPlanes;
  if (planes == 3 && bits == 8) return TPlaneLayout::RGB;
  if (planes == 4 && bits == 8) return TPlaneLayout::RGBA;
  FormatErrorFmt(gesInvalidColorFormat, {kPCX});
}

// One row of 1-bit planes, `bytesPerLine` apart, into 4-bit pixels (first pixel in the high nibble).
void CombineBitPlanes(const uint8_t* row, size_t bytesPerLine, unsigned planes, uint32_t width,
                      uint8_t* target) {
  for (uint32_t x = 0; x < width; ++x) {
    const size_t byte = x >> 3;
    const unsigned shift = 7 - (x & 7);
    unsigned index = 0;
    for (unsigned k = 0; k < planes; ++k) index |= ((row[k * bytesPerLine + byte] >> shift) & 1u) << k;
    if (x & 1)
      target[x >> 1] = static_cast<uint8_t>(target[x >> 1] | index);
    else
      target[x >> 1] = static_cast<uint8_t>(index << 4);
  }
}

// Sets the colour manager up for the layout and answers the bitmap's pixel format.
TPixelFormat SetUpColors(TColorManager& colors, TPlaneLayout layout, const TPCXHeader& header) {
  colors.SetSourceOptions(0);
  colors.SetTargetOptions(0);
  switch (layout) {
    case TPlaneLayout::Packed:
    case TPlaneLayout::BitPlanes: {
      // Bit planes combine into one index of as many bits as there are planes, stored as 4-bit pixels;
      // one packed plane of 2 bits is spread over 4-bit pixels by the colour manager.
      const bool packed = layout == TPlaneLayout::Packed;
      const uint8_t bits = packed ? header.BitsPerPixel : header.Planes;
      colors.SetSourceColorScheme(scIndexed);
      colors.SetTargetColorScheme(scIndexed);
      colors.SetSourceSamplesPerPixel(1);
      colors.SetTargetSamplesPerPixel(1);
      colors.SetSourceBitsPerSample(bits);
      colors.SetTargetBitsPerSample(packed && bits == 2 ? 4 : bits);
      return packed ? colors.GetPixelFormat(1) : pf4bit;
    }
    case TPlaneLayout::RGB:
    case TPlaneLayout::RGBA:
      break;
  }
  const bool alpha = layout == TPlaneLayout::RGBA;
  colors.SetSourceColorScheme(alpha ? scRGBA : scRGB);
  colors.SetTargetColorScheme(alpha ? scBGRA : scBGR);
  colors.SetSourceSamplesPerPixel(header.Planes);
  colors.SetTargetSamplesPerPixel(header.Planes);
  colors.SetSourceBitsPerSample(8);
  colors.SetTargetBitsPerSample(8);
  return alpha ? pf32bit : pf24bit;
}

// Whether the stream, from its position, ends with the 256-colour palette block (the byte 12 769 bytes
// before the end). The stream is left where it was.
bool EndsWithPaletteBlock(TStream& stream) {
  if (BytesLeft(stream) < kPaletteBlockSize) return false;
  TStreamPositionGuard guard(stream);
  stream.SetPosition(stream.Size() - kPaletteBlockSize);
  uint8_t mark = 0;
  stream.ReadBuffer(&mark, 1);
  return mark == kPaletteBlockMark;
}

// The palette of a picture of the given pixel format: the standard 16 colours for version 3, black and
// white for 1 bit, the header's 16 colours for 4 bits and the trailing block's 256 for 8 bits (a gray
// ramp where the palette info says so and the file has no such block), none for true colour. The stream
// is left where it was.
HPALETTE PaletteFor(TStream& stream, const TPCXHeader& header, TPixelFormat format, bool paletteBlock,
                    const TColorManager& colors) {
  if (format == pf24bit || format == pf32bit) return nullptr;
  if (header.Version == 3 && format != pf1bit) {
    TLogPalette palette;
    palette.palPalEntry = StandardPalette16();
    return CreatePalette(palette);
  }
  const bool grayInfo = header.PaletteInfo == kGrayPaletteInfo;
  if (format == pf1bit) return colors.CreateGrayscalePalette(false);
  if (format == pf4bit)
    return grayInfo ? colors.CreateGrayscalePalette(false)
                    : colors.CreateColorPalette({std::span<const uint8_t>(header.ColorMap)},
                                                plInterleaved8Triples, 16, false);
  if (paletteBlock) {
    TStreamPositionGuard guard(stream);
    stream.SetPosition(stream.Size() - kPaletteBlockSize + 1);
    std::array<uint8_t, 768> map{};
    stream.ReadBuffer(map.data(), map.size());
    return colors.CreateColorPalette({std::span<const uint8_t>(map)}, plInterleaved8Triples, 256, false);
  }
  return grayInfo ? colors.CreateGrayscalePalette(false) : nullptr;
}

}  // namespace

bool TPCXGraphic::CanLoad(TStream& stream) {
  TStreamPositionGuard guard(stream);
  if (BytesLeft(stream) <= kHeaderSize) return false;
  const TPCXHeader header = ReadHeader(stream);
  const bool knownVersion =
      header.Version == 0 || header.Version == 2 || header.Version == 3 || header.Version == 5;
  return IsPCXManufacturer(header.Manufacturer) && knownVersion && header.Encoding < 2;
}

bool TPCXGraphic::ReadImageProperties(TStream& stream, uint32_t imageIndex) {
  TFormatGraphic::ReadImageProperties(stream, imageIndex);
  const TPCXHeader header = ReadHeader(stream);
  if (!IsPCXManufacturer(header.Manufacturer)) return false;
  TImageProperties& properties = ImageProperties();
  properties.Width = Extent(header.XMin, header.XMax);
  properties.Height = Extent(header.YMin, header.YMax);
  properties.SamplesPerPixel = header.Planes;
  properties.BitsPerSample = header.BitsPerPixel;
  properties.BitsPerPixel = CheckedByte(header.Planes * header.BitsPerPixel);
  // Four 8-bit planes carry alpha in the last one.
  if (properties.BitsPerPixel <= 8)
    properties.ColorScheme = scIndexed;
  else
    properties.ColorScheme = header.Planes == 4 ? scRGBA : scRGB;
  properties.HasAlpha = properties.ColorScheme == scRGBA;
  properties.Compression = header.Encoding == 1 ? ctRunLength : ctNone;
  properties.XResolution = header.HorizontalResolution;
  properties.YResolution = header.VerticalResolution;
  return true;
}

void TPCXGraphic::LoadFromStream(TStream& stream) {
  ReleaseHandle();
  BasePosition = stream.Position();
  if (!ReadImageProperties(stream, 0)) return;
  stream.SetPosition(BasePosition);
  const TImageProperties& properties = ImageProperties();
  ProgressRect = Rect(0, 0, Width(), 1);
  ProgressStarting(gesPreparing);

  const TPCXHeader header = ReadHeader(stream);
  if (!IsPCXManufacturer(header.Manufacturer)) FormatErrorFmt(gesInvalidImage, {kPCXOrSCR});
  auto byteCount = RangeChecked<uint32_t>(BytesLeft(stream));
  const uint32_t width = properties.Width;
  const uint32_t height = properties.Height;
  const TPlaneLayout layout = LayoutOf(header.Planes, header.BitsPerPixel);
  // Each plane's row must hold the width's pixels (a shorter one would be read past its end), and no
  // writer pads it by more than a few bytes: a bytes-per-line far beyond the width is a damaged header,
  // which would otherwise size the rows at up to 64 KB each whatever the picture. Rows without a pixel
  // in them no bitmap holds.
  const size_t rowNeeds = (size_t{width} * header.BitsPerPixel + 7) / 8;
  if (header.BytesPerLine < rowNeeds || header.BytesPerLine > rowNeeds + kMostLinePadding || width == 0 ||
      height == 0)
    FormatErrorFmt(gesInvalidImage, {kPCXOrSCR});

  TColorManager& colors = ColorManager();
  const TPixelFormat format = SetUpColors(colors, layout, header);
  // The 256-colour palette block at the end of an 8-bit file is no pixel data.
  const bool paletteBlock = format == pf8bit && EndsWithPaletteBlock(stream);
  if (paletteBlock) byteCount -= kPaletteBlockSize;

  const size_t lineSize = size_t{header.Planes} * header.BytesPerLine;
  const bool runLength = properties.Compression == ctRunLength;
  // Stored rows take their bytes one for one.
  RequireRowData(byteCount, runLength ? kPCXRLEMaxExpansion : 1, lineSize, height, kPCX, kPCXOrSCR);

  SetPixelFormat(format);
  if (HPALETTE palette = PaletteFor(stream, header, format, paletteBlock, colors)) SetPalette(palette);

  SetSize(RangeChecked<int>(width), RangeChecked<int>(height));
  const size_t rowsSize = CheckedMul<size_t>(height, lineSize);
  // Rows the run-length data do not reach stay zero (black, or index 0), and the picture says so.
  std::vector<uint8_t> rows = ZeroedBuffer(rowsSize);
  if (runLength) {
    const std::vector<uint8_t> packed = ReadBytes(stream, byteCount);
    TPCXRLEDecoder decoder;
    TSourceCursor source{std::span<const uint8_t>(packed)};
    TTargetCursor target{std::span<uint8_t>(rows)};
    try {
      decoder.Decode(source, target, RangeChecked<int32_t>(byteCount), RangeChecked<int32_t>(rowsSize));
    } catch (const EPackedDataEnded&) {
      SetDataEndedEarly(true);
    }
  } else {
    stream.ReadBuffer(rows.data(), static_cast<int64_t>(rowsSize));
  }
  ProgressEnding();

  ProgressStarting(gesTransfering);
  const size_t bytesPerLine = header.BytesPerLine;
  for (uint32_t y = 0; y < height; ++y) {
    const int row = static_cast<int>(y);
    const uint8_t* line = rows.data() + y * lineSize;
    const auto plane = [&](size_t k) { return TSourcePlane(line + k * bytesPerLine, bytesPerLine); };
    switch (layout) {
      case TPlaneLayout::Packed:
        colors.ConvertRow({TSourcePlane(line, lineSize)}, ScanLineBytes(row), width, 0xFF);
        break;
      case TPlaneLayout::BitPlanes:
        CombineBitPlanes(line, bytesPerLine, header.Planes, width, ScanLine(row));
        break;
      case TPlaneLayout::RGB:
        colors.ConvertRow({plane(0), plane(1), plane(2)}, ScanLineBytes(row), width, 0xFF);
        break;
      case TPlaneLayout::RGBA:
        colors.ConvertRow({plane(0), plane(1), plane(2), plane(3)}, ScanLineBytes(row), width, 0xFF);
        break;
    }
    ProgressRow(row, static_cast<int>(height));
  }
  ProgressEnding();
}
