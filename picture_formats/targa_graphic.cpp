#include "picture_formats/targa_graphic.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

#include "picture_formats/decoders_rle.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "toolkit/core/checked.h"

namespace {

constexpr const char* kTarga = "Targa";
constexpr int64_t kHeaderSize = 18;
constexpr uint8_t kTopFirst = 0x20;  // image descriptor: the first stored row is the top row

struct TTargaHeader {
  uint8_t IDLength = 0;
  uint8_t ColorMapType = 0;
  uint8_t ImageType = 0;
  uint16_t ColorMapOrigin = 0;  // the first entry's number: pixel value v means entry v - origin
  uint16_t ColorMapLength = 0;
  uint8_t ColorMapEntrySize = 0;
  uint16_t Width = 0;
  uint16_t Height = 0;
  uint8_t PixelSize = 0;
  uint8_t ImageDescriptor = 0;
};

TTargaHeader ParseHeader(const std::array<uint8_t, kHeaderSize>& bytes) {
  auto word = [&](size_t offset) { return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8); };
  TTargaHeader header;
  header.IDLength = bytes[0];
  header.ColorMapType = bytes[1];
  header.ImageType = bytes[2];
  header.ColorMapOrigin = word(3);
  header.ColorMapLength = word(5);
  header.ColorMapEntrySize = bytes[7];
  header.Width = word(12);
  header.Height = word(14);
  header.PixelSize = bytes[16];
  header.ImageDescriptor = bytes[17];
  return header;
}

TTargaHeader ReadHeader(TStream& stream) {
  std::array<uint8_t, kHeaderSize> bytes{};
  stream.ReadBuffer(bytes.data(), kHeaderSize);
  return ParseHeader(bytes);
}

bool IsRunLength(uint8_t imageType) {
  return imageType >= 9 && imageType <= 11;
}
bool IsGray(uint8_t imageType) {
  return imageType == 3 || imageType == 11;
}
// A gray picture of 16 bits a pixel holds gray and alpha bytes, as written for gray with alpha.
bool IsGrayWithAlpha(const TTargaHeader& header) {
  return IsGray(header.ImageType) && header.PixelSize == 16;
}

// Bytes of one pixel or colour-map entry of the given bit size (15-bit values take two bytes).
size_t BytesFor(uint8_t bits) {
  return (bits + 7u) / 8;
}

// A 15- or 16-bit colour map (little-endian, blue in bits 0-4, green 5-9, red 10-14) as a palette.
HPALETTE PaletteFrom16BitMap(std::span<const uint8_t> map, uint16_t entries) {
  if (entries > 256) throw ERangeError(SRangeError);
  TLogPalette palette;
  palette.palPalEntry.resize(entries);
  for (size_t i = 0; i < entries; ++i) {
    const unsigned value = map[2 * i] | map[2 * i + 1] << 8;
    auto& entry = palette.palPalEntry[i];
    entry.peBlue = static_cast<uint8_t>((value & 0x1F) << 3);
    entry.peGreen = static_cast<uint8_t>((value & 0x3E0) >> 2);
    entry.peRed = static_cast<uint8_t>((value & 0x7C00) >> 7);
  }
  return CreatePalette(palette);
}

}  // namespace

bool TTargaGraphic::CanLoad(TStream& stream) {
  TStreamPositionGuard guard(stream);
  if (BytesLeft(stream) <= kHeaderSize) return false;
  std::array<uint8_t, kHeaderSize> bytes{};
  if (stream.Read(bytes.data(), kHeaderSize) != kHeaderSize) return false;
  const TTargaHeader header = ParseHeader(bytes);
  const auto oneOf = [](uint8_t value, std::initializer_list<uint8_t> allowed) {
    return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
  };
  return (header.ImageType <= 3 || IsRunLength(header.ImageType)) && header.ColorMapType < 2 &&
         oneOf(header.ColorMapEntrySize, {15, 16, 24, 32}) && oneOf(header.PixelSize, {8, 15, 16, 24, 32});
}

bool TTargaGraphic::ReadImageProperties(TStream& stream, uint32_t imageIndex) {
  TFormatGraphic::ReadImageProperties(stream, imageIndex);
  const TTargaHeader header = ReadHeader(stream);
  auto& properties = ImageProperties();
  properties.Width = header.Width;
  properties.Height = header.Height;
  switch (header.PixelSize) {
    case 8:
      properties.ColorScheme = IsGray(header.ImageType) ? scGray : scIndexed;
      properties.BitsPerSample = 8;
      properties.SamplesPerPixel = 1;
      break;
    case 16:
      if (IsGrayWithAlpha(header)) {
        properties.ColorScheme = scGray;
        properties.BitsPerSample = 8;
        properties.SamplesPerPixel = 1;
        break;
      }
      [[fallthrough]];
    case 15:
      properties.ColorScheme = scRGB;
      properties.BitsPerSample = 5;
      properties.SamplesPerPixel = 3;
      break;
    case 24:
      properties.ColorScheme = scRGB;
      properties.BitsPerSample = 8;
      properties.SamplesPerPixel = 3;
      break;
    case 32:
      properties.ColorScheme = scRGBA;
      properties.BitsPerSample = 8;
      properties.SamplesPerPixel = 4;
      break;
    default:
      break;
  }
  properties.BitsPerPixel = CheckedByte(properties.BitsPerSample * properties.SamplesPerPixel);
  properties.Compression = IsRunLength(header.ImageType) ? ctRunLength : ctNone;
  return true;
}

void TTargaGraphic::LoadFromStream(TStream& stream) {
  ReleaseHandle();
  BasePosition = stream.Position();
  ReadImageProperties(stream, 0);
  stream.SetPosition(BasePosition);
  const TImageProperties& properties = ImageProperties();
  ProgressRect = Rect(0, 0, static_cast<int32_t>(properties.Width), 1);
  ProgressStarting(gesPreparing);

  const TTargaHeader header = ReadHeader(stream);
  // Image type 0 holds no pixels, and types 32 and 33 (Huffman-coded colour maps) are not read: neither
  // may pass for a picture, nor may rows without a pixel in them.
  if (header.ImageType == 32 || header.ImageType == 33)
    FormatErrorFmt(gesUnsupportedFeature, {gesCompressionScheme, kTarga});
  if ((header.ImageType < 1 || header.ImageType > 3) && !IsRunLength(header.ImageType))
    FormatErrorFmt(gesInvalidImage, {kTarga});
  if (header.Width == 0 || header.Height == 0) FormatErrorFmt(gesInvalidImage, {kTarga});
  if (properties.BitsPerPixel == 0) FormatErrorFmt(gesInvalidColorFormat, {kTarga});
  const bool topFirst = (header.ImageDescriptor & kTopFirst) != 0;
  stream.Seek(header.IDLength, TSeekOrigin::soCurrent);

  TColorManager& colors = ColorManager();
  colors.SetSourceSamplesPerPixel(properties.SamplesPerPixel);
  colors.SetTargetSamplesPerPixel(properties.SamplesPerPixel);
  colors.SetSourceBitsPerSample(properties.BitsPerSample);
  colors.SetTargetBitsPerSample(properties.BitsPerSample);
  colors.SetSourceColorScheme(properties.ColorScheme);
  colors.SetSourceOptions(0);
  colors.SetTargetColorScheme(scBGR);
  SetPixelFormat(colors.GetPixelFormat(1));

  // The colour map always stands between the header and the pixels, so it is passed over even where
  // it gives no palette (gray pictures, unusual entry sizes).
  HPALETTE palette;
  const bool hasMap = header.ColorMapType == 1 && header.ColorMapLength > 0;
  const size_t mapSize = hasMap ? size_t{header.ColorMapLength} * BytesFor(header.ColorMapEntrySize) : 0;
  if (IsGray(header.ImageType)) {
    palette = colors.CreateGrayscalePalette(false);
    stream.Seek(static_cast<int64_t>(mapSize), TSeekOrigin::soCurrent);
  } else if (hasMap) {
    // Pixel value v means entry v - origin: the palette's first `origin` entries (black) stand before
    // the map's, and only the first 256 can be reached by a byte.
    const size_t entryBytes = BytesFor(header.ColorMapEntrySize);
    std::vector<uint8_t> map(size_t{header.ColorMapOrigin} * entryBytes + mapSize);
    stream.ReadBuffer(map.data() + header.ColorMapOrigin * entryBytes, static_cast<int64_t>(mapSize));
    auto entries = static_cast<uint16_t>(header.ColorMapOrigin == 0
                                             ? header.ColorMapLength
                                             : std::min(header.ColorMapOrigin + header.ColorMapLength, 256));
    const std::span<const uint8_t> data = std::span<const uint8_t>(map).first(entries * entryBytes);
    switch (header.ColorMapEntrySize) {
      case 15:
      case 16:
        palette = PaletteFrom16BitMap(data, entries);
        break;
      case 24:
        palette = colors.CreateColorPalette({data}, plInterleaved8Triples, entries, true);
        break;
      case 32:
        palette = colors.CreateColorPalette({data}, plInterleaved8Quads, entries, true);
        break;
      default:
        break;
    }
  }

  const int height = header.Height;
  const size_t rowSize = size_t{header.Width} * BytesFor(header.PixelSize);
  const bool runLength = IsRunLength(header.ImageType);
  RequireRowData(static_cast<uint64_t>(BytesLeft(stream)), runLength ? kTargaRLEMaxExpansion : 1, rowSize,
                 header.Height, kTarga, kTarga);

  SetSize(header.Width, header.Height);
  if (palette) SetPalette(palette);
  ProgressEnding();

  ProgressStarting(gesTransfering);
  const auto bitmapRow = [&](int y) { return topFirst ? y : height - 1 - y; };
  // Gray and alpha pixels arrive through a row of their own, and only their gray bytes are kept.
  const bool grayWithAlpha = IsGrayWithAlpha(header);
  std::vector<uint8_t> wide(grayWithAlpha ? rowSize : 0);
  const auto rowTarget = [&](int y) { return grayWithAlpha ? wide.data() : ScanLine(bitmapRow(y)); };
  const auto rowDone = [&](int y) {
    if (!grayWithAlpha) return;
    uint8_t* gray = ScanLine(bitmapRow(y));
    for (size_t x = 0; x < header.Width; ++x) gray[x] = wide[2 * x];
  };
  if (!runLength) {
    for (int y = 0; y < height; ++y) {
      stream.ReadBuffer(rowTarget(y), static_cast<int64_t>(rowSize));
      rowDone(y);
      ProgressRow(y + 1, height);
    }
  } else {
    // Each row reads what its packets may need at most (a raw packet of 128 pixels takes 1 + 128 n
    // bytes) and gives back to the stream what they did not use; a packet that runs past the row's end
    // carries over into the next row. Packets that end with the file leave the rest of the picture
    // black, and the picture says so.
    TTargaRLEDecoder decoder(header.PixelSize);
    std::vector<uint8_t> packed(2 * rowSize);
    for (int y = 0; y < height; ++y) {
      const int64_t start = stream.Position();
      const auto count = static_cast<size_t>(stream.Read(packed.data(), static_cast<int64_t>(packed.size())));
      TSourceCursor source(std::span<const uint8_t>(packed.data(), count));
      TTargetCursor target(std::span<uint8_t>(rowTarget(y), rowSize));
      try {
        decoder.Decode(source, target, static_cast<int32_t>(count), header.Width);
      } catch (const EPackedDataEnded&) {
        SetDataEndedEarly(true);
        break;
      }
      rowDone(y);
      stream.SetPosition(start + static_cast<int64_t>(source.Position()));
      ProgressRow(y + 1, height);
    }
  }
  ProgressEnding();
}

void TTargaGraphic::SaveToStream(TStream& stream) {
  WriteTargaStream(stream, true);
}

void TTargaGraphic::WriteTargaStream(TStream& stream, bool compressed) {
  ProgressRect = Rect(0, 0, Width(), 1);
  ProgressStarting(gesPreparing);
  size_t pixelSize = 0;
  switch (PixelFormat()) {
    case pf1bit:
    case pf4bit:
      SetPixelFormat(pf8bit);
      [[fallthrough]];
    case pf8bit:
      pixelSize = 1;
      break;
    // Targa's 16-bit pixels are 5-5-5: 5-6-5 pixels would come back with wrong colours.
    case pf16bit:
      SetPixelFormat(pf15bit);
      [[fallthrough]];
    case pf15bit:
      pixelSize = 2;
      break;
    case pf24bit:
      pixelSize = 3;
      break;
    // A device bitmap is laid out like a 32-bit one.
    default:
      pixelSize = 4;
      break;
  }
  if (Empty()) {
    ProgressEnding();
    return;
  }

  const bool mapped = pixelSize == 1;
  const auto width = RangeChecked<uint16_t>(Width());
  const auto height = RangeChecked<uint16_t>(Height());
  std::array<uint8_t, kHeaderSize> header{};
  header[1] = mapped ? 1 : 0;
  header[2] = static_cast<uint8_t>((mapped ? 1 : 2) + (compressed ? 8 : 0));
  header[5] = 0x00;  // colour-map length 256
  header[6] = 0x01;
  header[7] = 24;  // colour-map entry size
  header[12] = static_cast<uint8_t>(width & 0xFF);
  header[13] = static_cast<uint8_t>(width >> 8);
  header[14] = static_cast<uint8_t>(height & 0xFF);
  header[15] = static_cast<uint8_t>(height >> 8);
  header[16] = static_cast<uint8_t>(pixelSize * 8);
  header[17] = kTopFirst;
  stream.WriteBuffer(header.data(), kHeaderSize);

  if (mapped) {
    // Entries the bitmap's palette does not have are written black.
    std::array<TPaletteEntry, 256> entries{};
    GetPaletteEntries(Palette(), 0, 256, entries.data());
    std::array<uint8_t, 3 * 256> map{};
    for (size_t i = 0; i < entries.size(); ++i) {
      map[3 * i] = entries[i].peBlue;
      map[3 * i + 1] = entries[i].peGreen;
      map[3 * i + 2] = entries[i].peRed;
    }
    stream.WriteBuffer(map.data(), map.size());
  }
  ProgressEnding();

  ProgressStarting(gesTransfering);
  const size_t rowSize = size_t{width} * pixelSize;
  TTargaRLEDecoder encoder(static_cast<uint32_t>(pixelSize * 8));
  std::vector<uint8_t> packed(compressed ? 2 * rowSize : 0);
  for (int y = 0; y < height; ++y) {
    const std::span<const uint8_t> row(ScanLine(y), rowSize);
    if (compressed) {
      uint32_t stored = 0;
      encoder.Encode(TSourceCursor(row), TTargetCursor(std::span<uint8_t>(packed)), width, stored);
      stream.WriteBuffer(packed.data(), stored);
    } else {
      stream.WriteBuffer(row.data(), static_cast<int64_t>(rowSize));
    }
    ProgressRow(y + 1, height);
  }
  ProgressEnding();
}
