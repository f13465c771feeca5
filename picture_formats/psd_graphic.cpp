#include "picture_formats/psd_graphic.h"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

#include "picture_formats/byte_fields.h"
#include "picture_formats/decoder.h"
#include "picture_formats/decoders_rle.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "toolkit/core/checked.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"
#include "toolkit/core/string_utils.h"

namespace {

constexpr int64_t kHeaderSize = 26;
constexpr size_t kMaxColorTable = 768;  // 256 red values, then 256 green and 256 blue
constexpr const char* kPSDOrPDD = "PSD or PDD";
constexpr const char* kPSD = "PSD";

enum TColorMode : uint16_t {
  cmBitmap = 0,
  cmGrayscale = 1,
  cmIndexed = 2,
  cmRGB = 3,
  cmCMYK = 4,
  cmMultichannel = 7,
  cmDuotone = 8,
  cmLab = 9,
};

struct TPSDHeader {
  std::string Signature;
  uint16_t Version = 0;
  uint16_t Channels = 0;
  uint32_t Rows = 0;
  uint32_t Columns = 0;
  uint16_t Depth = 0;
  uint16_t Mode = 0;
};

TPSDHeader ReadHeader(TStream& stream) {
  std::array<uint8_t, kHeaderSize> bytes{};
  stream.ReadBuffer(bytes.data(), kHeaderSize);
  const std::span<const uint8_t> b(bytes);
  TPSDHeader header;
  header.Signature.assign(bytes.begin(), bytes.begin() + 4);
  header.Version = BigEndian16(b, 4);
  header.Channels = BigEndian16(b, 12);
  header.Rows = BigEndian32(b, 14);
  header.Columns = BigEndian32(b, 18);
  header.Depth = BigEndian16(b, 22);
  header.Mode = BigEndian16(b, 24);
  return header;
}

TColorScheme SchemeOfMode(uint16_t mode, uint16_t channels) {
  switch (mode) {
    case cmBitmap:
    case cmGrayscale:
    case cmDuotone:
      return scGray;
    case cmIndexed:
      return scIndexed;
    case cmRGB:
    case cmMultichannel:
      return channels == 3 ? scRGB : scRGBA;
    case cmCMYK:
      return scCMYK;
    case cmLab:
      return scCIELab;
    default:
      return scUnknown;
  }
}

// The channels a colour scheme is converted from: the colours, and alpha after them for RGBA. More
// channels may follow; they are not read.
size_t PlanesOf(TColorScheme scheme) {
  switch (scheme) {
    case scGray:
    case scIndexed:
      return 1;
    case scRGB:
    case scCIELab:
      return 3;
    case scRGBA:
    case scCMYK:
      return 4;
    default:
      return 0;
  }
}

void PassOverSection(TStream& stream) {
  stream.Seek(ReadBigEndian32(stream), TSeekOrigin::soCurrent);
}

// The big-endian byte counts of `count` PackBits rows at the stream's position; a stream too short for
// them raises EReadError before they are allocated.
std::vector<uint16_t> ReadByteCounts(TStream& stream, size_t count) {
  if (CheckedMul<size_t>(count, 2) > static_cast<uint64_t>(BytesLeft(stream))) throw EReadError(SReadError);
  std::vector<uint16_t> counts(count);
  stream.ReadBuffer(counts.data(), static_cast<int64_t>(count * 2));
  if constexpr (std::endian::native == std::endian::little) SwapShorts(counts);
  return counts;
}

// 16-bit L*a*b* samples (high byte first) become 8-bit ones, rounded, in place: neutral chroma (32768)
// stays neutral (128).
void NarrowSamples(std::span<uint8_t> samples) {
  const size_t count = samples.size() / 2;
  for (size_t i = 0; i < count; ++i)
    samples[i] = static_cast<uint8_t>((BigEndian16(samples, 2 * i) + 128u) / 257u);
}

}  // namespace

bool TPSDGraphic::CanLoad(TStream& stream) {
  TStreamPositionGuard guard(stream);
  if (BytesLeft(stream) <= kHeaderSize) return false;
  const TPSDHeader header = ReadHeader(stream);
  return UpperCase(header.Signature) == "8BPS" && header.Version == 1;
}

bool TPSDGraphic::ReadImageProperties(TStream& stream, uint32_t imageIndex) {
  TFormatGraphic::ReadImageProperties(stream, imageIndex);
  const TPSDHeader header = ReadHeader(stream);
  // Other versions (the large document format) give their section lengths in 64 bits.
  if (header.Signature != "8BPS" || header.Version != 1) return false;
  TImageProperties& properties = ImageProperties();
  properties.HeaderFlags = hfBigEndian;
  if (header.Mode == cmBitmap) properties.HeaderFlags |= hfMinIsWhite;
  properties.BitsPerSample = CheckedByte(header.Depth);
  properties.PSDChannelCount = CheckedByte(header.Channels);
  properties.SamplesPerPixel = static_cast<uint8_t>(std::min<uint16_t>(header.Channels, 4));
  properties.BitsPerPixel = CheckedByte(properties.BitsPerSample * properties.SamplesPerPixel);
  properties.ColorScheme = SchemeOfMode(header.Mode, header.Channels);
  properties.HasAlpha = properties.ColorScheme == scRGBA;
  properties.Width = header.Columns;
  properties.Height = header.Rows;
  PassOverSection(stream);  // colour-mode data
  PassOverSection(stream);  // image resources
  PassOverSection(stream);  // layer and mask information
  properties.Compression = ReadBigEndian16(stream) == 1 ? ctPackBits : ctNone;
  return true;
}

TPixelFormat TPSDGraphic::SetUpColorManager(TColorScheme scheme, size_t planes, unsigned depth) {
  TColorManager& colors = ColorManager();
  colors.SetSourceOptions(scheme == scCIELab ? optSwap16 | optLScaled | optChromaOffset : optSwap16);
  colors.SetTargetOptions(0);
  // The L*a*b* formula takes 8-bit samples: 16-bit ones are narrowed before it.
  colors.SetSourceBitsPerSample(static_cast<uint8_t>(scheme == scCIELab ? 8 : depth));
  colors.SetTargetBitsPerSample(static_cast<uint8_t>(depth == 16 ? 8 : depth));
  const auto samples = static_cast<uint8_t>(planes);
  colors.SetSourceSamplesPerPixel(samples);
  colors.SetTargetSamplesPerPixel(scheme == scCMYK ? 3 : samples);
  colors.SetSourceColorScheme(scheme);
  switch (scheme) {
    case scIndexed:
    case scGray:
      colors.SetTargetColorScheme(scheme);
      break;
    case scRGBA:
      colors.SetTargetColorScheme(scBGRA);
      break;
    default:
      colors.SetTargetColorScheme(scBGR);
      break;
  }
  return colors.GetPixelFormat(1);
}

void TPSDGraphic::ReadColorModeData(TStream& stream) {
  const TImageProperties& properties = ImageProperties();
  const uint32_t length = ReadBigEndian32(stream);
  uint32_t passedOver = length;
  if (properties.ColorScheme == scIndexed) {
    const std::vector<uint8_t> table = ReadBytes(stream, std::min<size_t>(length, kMaxColorTable));
    passedOver -= static_cast<uint32_t>(table.size());
    const size_t count = table.size() / 3;
    const std::span<const uint8_t> data(table);
    if (count > 0)
      SetPalette(ColorManager().CreateColorPalette(
          {data.first(count), data.subspan(count, count), data.subspan(2 * count, count)}, plPlanar8,
          static_cast<uint32_t>(count), false));
  } else if (properties.ColorScheme == scGray) {
    SetPalette(ColorManager().CreateGrayscalePalette((properties.HeaderFlags & hfMinIsWhite) != 0));
  }
  stream.Seek(passedOver, TSeekOrigin::soCurrent);
}

void TPSDGraphic::LoadFromStream(TStream& stream) {
  ReleaseHandle();
  BasePosition = stream.Position();
  const TImageProperties& properties = ImageProperties();
  // A picture without pixels, or in a colour mode no conversion is known for, has nothing to show.
  if (!ReadImageProperties(stream, 0) || properties.Width == 0 || properties.Height == 0)
    FormatErrorFmt(gesInvalidImage, {kPSDOrPDD});
  const TColorScheme scheme = properties.ColorScheme;
  const size_t planes = PlanesOf(scheme);
  if (planes == 0) FormatErrorFmt(gesInvalidColorFormat, {kPSD});
  const unsigned depth = properties.BitsPerSample;
  const unsigned channels = properties.PSDChannelCount;
  if (channels < planes) FormatErrorFmt(gesInvalidColorFormat, {kPSD});
  // Depths the colour manager would take but that no mode has (or bits for a colour picture).
  const bool knownDepth =
      depth == 8 || (depth == 16 && scheme != scIndexed) || (depth == 1 && scheme == scGray);
  if (!knownDepth && depth <= 16) FormatErrorFmt(gesInvalidColorFormat, {kPSD});

  // The channels converted, one after another, each `height` rows of `rowBytes`.
  const uint32_t height = properties.Height;
  const size_t rowBytes = (CheckedMul<size_t>(properties.Width, depth) + 7) / 8;
  const size_t rowCount = planes * size_t{height};
  const size_t planeSize = CheckedMul(rowCount, rowBytes);
  // The header reader stopped at the image data. A file too short for them, or whose packed rows
  // cannot fill the picture, fails here as it would when they are decoded, but before a bitmap of the
  // size it claims is made.
  const bool packBits = properties.Compression == ctPackBits;
  std::vector<uint16_t> counts;
  size_t packedSize = 0;
  if (packBits) {
    counts = ReadByteCounts(stream, CheckedMul<size_t>(height, channels));
    size_t allPacked = 0;
    for (size_t r = 0; r < counts.size(); ++r) {
      allPacked += counts[r];
      if (r < rowCount) packedSize += counts[r];
    }
    // The packed rows must be there, and able to give the rows shown.
    if (allPacked > static_cast<uint64_t>(BytesLeft(stream))) FormatErrorFmt(gesDataEnded, {kPSD});
    RequireRowData(packedSize, kByteRunMaxExpansion, rowBytes, rowCount, kPSD, kPSDOrPDD);
  } else {
    // Stored rows take their bytes one for one.
    RequireRowData(static_cast<uint64_t>(BytesLeft(stream)), 1, rowBytes, rowCount, kPSD, kPSDOrPDD);
  }

  stream.SetPosition(BasePosition);
  ProgressRect = Rect(0, 0, RangeChecked<int32_t>(properties.Width), 1);
  ProgressStarting(gesPreparing);
  ReadHeader(stream);
  SetPixelFormat(SetUpColorManager(scheme, planes, depth));
  const int width = RangeChecked<int>(properties.Width);
  SetSize(width, RangeChecked<int>(height));
  ReadColorModeData(stream);
  PassOverSection(stream);                                                    // image resources
  stream.Seek(int64_t{ReadBigEndian32(stream)} + 2, TSeekOrigin::soCurrent);  // layers, then the compression
  ProgressEnding();

  ProgressStarting(gesLoadingData);
  std::vector<uint8_t> planeMemory = ZeroedBuffer(planeSize);
  if (packBits) {
    stream.Seek(static_cast<int64_t>(counts.size() * 2), TSeekOrigin::soCurrent);
    const std::vector<uint8_t> packed = ReadBytes(stream, packedSize);
    TPackbitsRLEDecoder decoder;
    size_t offset = 0;
    for (size_t r = 0; r < rowCount; ++r) {
      TSourceCursor source(std::span<const uint8_t>(packed), offset);
      TTargetCursor target(std::span<uint8_t>(planeMemory).subspan(r * rowBytes, rowBytes));
      decoder.Decode(source, target, counts[r], static_cast<int32_t>(rowBytes));
      offset += counts[r];
    }
  } else {
    stream.ReadBuffer(planeMemory.data(), static_cast<int64_t>(planeMemory.size()));
  }
  ProgressEnding();

  ProgressStarting(gesTransfering);
  // CMYK is stored inverted (0 is full ink).
  if (scheme == scCMYK)
    for (uint8_t& byte : planeMemory) byte = static_cast<uint8_t>(255 - byte);
  size_t rowStride = rowBytes;
  if (scheme == scCIELab && depth == 16) {
    NarrowSamples(planeMemory);
    rowStride = rowBytes / 2;
  }
  std::array<TSourcePlane, 4> sources{};
  const std::span<const uint8_t> memory(planeMemory);
  for (uint32_t y = 0; y < height; ++y) {
    for (size_t k = 0; k < planes; ++k) sources[k] = memory.subspan((k * height + y) * rowStride, rowStride);
    const int row = static_cast<int>(y);
    ColorManager().ConvertRow(std::span(sources).first(planes), ScanLineBytes(row),
                              static_cast<uint32_t>(width), 0xFF);
    ProgressRow(row, static_cast<int>(height));
  }
  ProgressEnding();
}
