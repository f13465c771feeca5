#include "picture_formats/psp_graphic.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "picture_formats/byte_fields.h"
#include "picture_formats/decoder_lz77.h"
#include "picture_formats/decoders_rle.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "toolkit/core/checked.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"
#include "toolkit/core/string_utils.h"

namespace {

constexpr int64_t kFileHeaderSize = 36;
constexpr const char* kSignature = "Paint Shop Pro Image File";
constexpr size_t kSignatureLength = 25;
constexpr uint16_t kFirstVersion = 3;
constexpr const char* kPSP = "PSP";

// Block ids.
constexpr uint16_t kPaletteBlock = 2;
constexpr uint16_t kLayerBankBlock = 3;
constexpr uint16_t kLayerBlock = 4;

// The general attributes the reader uses: width, height, resolution, its unit, compression, bit depth,
// plane count, colour count and the greyscale flag.
constexpr size_t kAttributesUsed = 28;
constexpr uint8_t kPerCentimetre = 2;
constexpr size_t kLayerNameSize = 256;         // of major version 3
constexpr int64_t kLayerAttributesSize = 115;  // the layer type first

constexpr size_t kMaxPaletteEntries = 256;

struct TFileHeader {
  bool Valid = false;
  uint16_t MajorVersion = 0;
};

TFileHeader ReadFileHeader(TStream& stream) {
  std::array<uint8_t, kFileHeaderSize> bytes{};
  stream.ReadBuffer(bytes.data(), kFileHeaderSize);
  TFileHeader header;
  header.MajorVersion = LittleEndian16(bytes, 32);
  header.Valid = StrLIComp(reinterpret_cast<const char*>(bytes.data()), kSignature, kSignatureLength) == 0 &&
                 header.MajorVersion >= kFirstVersion;
  return header;
}

uint8_t CompressionOf(uint16_t value) {
  switch (value) {
    case 0:
      return ctNone;
    case 1:
      return ctRunLength;
    case 2:
      return ctDeflate;
    case 3:
      return ctJPEG;
    default:
      return ctUnknown;
  }
}

// The most bytes one packed byte of a channel can unpack to (stored bytes one for one).
uint64_t MostExpansion(uint8_t compression) {
  return compression == ctNone ? 1 : compression == ctRunLength ? kByteRunMaxExpansion : kDeflateMaxExpansion;
}

// The most bytes `packed` bytes of a channel can unpack to. A channel's stated unpacked length is only
// trusted up to that, so that a damaged length does not claim memory no data can fill.
uint64_t MostUnpacked(uint8_t compression, uint64_t packed) {
  return packed * MostExpansion(compression) + 64;
}

[[noreturn]] void InvalidColorFormat() {
  FormatErrorFmt(gesInvalidColorFormat, {kPSP});
}

}  // namespace

bool TPSPGraphic::CanLoad(TStream& stream) {
  TStreamPositionGuard guard(stream);
  if (BytesLeft(stream) <= kFileHeaderSize) return false;
  return ReadFileHeader(stream).Valid;
}

bool TPSPGraphic::ReadBlockHeader(TStream& stream, TBlockHeader& header) const {
  if (BytesLeft(stream) == 0) return false;
  // Major version 3 has the length of the block's initial data before its total length.
  const bool version3 = ImageProperties().Version == kFirstVersion;
  std::array<uint8_t, 14> bytes{};
  stream.ReadBuffer(bytes.data(), version3 ? 14 : 10);
  header.Marker = bytes[0];
  header.Id = LittleEndian16(bytes, 4);
  header.End = stream.Position() + int64_t{LittleEndian32(bytes, version3 ? 10 : 6)};
  return true;
}

int64_t TPSPGraphic::EnterChunk(TStream& stream) const {
  if (ImageProperties().Version == kFirstVersion) return 0;
  const int64_t start = stream.Position();
  return start + int64_t{ReadLittleEndian32(stream)};
}

bool TPSPGraphic::ReadGeneralAttributes(TStream& stream) {
  TBlockHeader block;
  if (!ReadBlockHeader(stream, block) || block.Marker != '~') return false;
  EnterChunk(stream);
  std::array<uint8_t, kAttributesUsed> bytes{};
  stream.ReadBuffer(bytes.data(), bytes.size());
  stream.SetPosition(block.End);

  const std::span<const uint8_t> b(bytes);
  TImageProperties& properties = ImageProperties();
  properties.Width = LittleEndian32(b, 0);
  properties.Height = LittleEndian32(b, 4);
  double resolution = 0;
  std::memcpy(&resolution, bytes.data() + 8, sizeof resolution);
  if (b[16] == kPerCentimetre) resolution *= 2.54;
  properties.XResolution = static_cast<float>(resolution);
  properties.YResolution = properties.XResolution;
  properties.Compression = CompressionOf(LittleEndian16(b, 17));
  const uint16_t depth = LittleEndian16(b, 19);
  if (depth == 24) {
    properties.BitsPerSample = 8;
    properties.SamplesPerPixel = 3;
    properties.ColorScheme = scRGB;
  } else {
    properties.BitsPerSample = CheckedByte(depth);
    properties.SamplesPerPixel = 1;
    properties.ColorScheme = b[27] != 0 ? scGray : scIndexed;
  }
  properties.BitsPerPixel = CheckedByte(properties.BitsPerSample * properties.SamplesPerPixel);
  return true;
}

bool TPSPGraphic::ReadImageProperties(TStream& stream, uint32_t imageIndex) {
  TFormatGraphic::ReadImageProperties(stream, imageIndex);
  const TFileHeader header = ReadFileHeader(stream);
  if (!header.Valid) return false;
  ImageProperties().Version = header.MajorVersion;
  return ReadGeneralAttributes(stream);
}

void TPSPGraphic::LoadFromStream(TStream& stream) {
  ReleaseHandle();
  struct TChannelGuard {
    TPSPGraphic& Reader;
    ~TChannelGuard() {
      for (auto& channel : Reader.FChannels) channel = {};
      Reader.FHasChannel = {};
    }
  } channelGuard{*this};
  BasePosition = stream.Position();
  const TImageProperties& properties = ImageProperties();
  // Rows without a pixel in them no bitmap holds.
  if (!ReadImageProperties(stream, 0) || (properties.Width == 0 && properties.Height != 0))
    FormatErrorFmt(gesInvalidImage, {kPSP});
  stream.SetPosition(BasePosition);
  ProgressRect = Rect(0, 0, RangeChecked<int32_t>(properties.Width), 1);
  ProgressStarting(gesPreparing);
  ReadFileHeader(stream);
  ReadGeneralAttributes(stream);

  TColorManager& colors = ColorManager();
  colors.SetSourceOptions(0);
  colors.SetTargetOptions(0);
  colors.SetSourceBitsPerSample(properties.BitsPerSample);
  colors.SetTargetBitsPerSample(properties.BitsPerSample);
  colors.SetSourceSamplesPerPixel(properties.SamplesPerPixel);
  colors.SetTargetSamplesPerPixel(properties.SamplesPerPixel);
  colors.SetSourceColorScheme(properties.ColorScheme);
  colors.SetTargetColorScheme(properties.ColorScheme == scRGB ? scBGR : properties.ColorScheme);
  SetPixelFormat(colors.GetPixelFormat(1));
  // Rows of 4-bit pixels take the bytes their pixels need, as those of 1-bit pixels do.
  const size_t width = properties.Width;
  switch (properties.BitsPerSample) {
    case 1:
      FRowLength = (width + 7) / 8;
      break;
    case 4:
      FRowLength = (width + 1) / 2;
      break;
    case 8:
      FRowLength = width;
      break;
    default:
      InvalidColorFormat();
  }
  // Rows without a pixel in them no bitmap holds.
  if (properties.Width == 0 || properties.Height == 0) FormatErrorFmt(gesInvalidImage, {kPSP});
  RangeChecked<int>(properties.Width);
  RangeChecked<int>(properties.Height);
  // A gray picture whose file holds no palette block is still shown gray. The bitmap takes its size
  // only once the layer's channels are known to fill it.
  if (properties.ColorScheme == scGray) SetPalette(colors.CreateGrayscalePalette(false));
  ProgressEnding();

  // Only the first layer bank that holds a shown layer gives the picture; later ones are passed over.
  FLayerLoaded = false;
  TBlockHeader block;
  while (ReadBlockHeader(stream, block) && block.Marker == '~') {
    if (block.Id == kPaletteBlock)
      ReadPalette(stream);
    else if (block.Id == kLayerBankBlock && !FLayerLoaded)
      ReadLayerBank(stream, block.End);
    stream.SetPosition(block.End);
  }
  // A file without a shown layer holds no picture.
  if (!FLayerLoaded) FormatErrorFmt(gesInvalidImage, {kPSP});
}

void TPSPGraphic::ReadPalette(TStream& stream) {
  const int64_t chunkEnd = EnterChunk(stream);
  const uint32_t count = ReadLittleEndian32(stream);
  if (count > kMaxPaletteEntries) InvalidColorFormat();
  if (chunkEnd > stream.Position()) stream.SetPosition(chunkEnd);
  const std::vector<uint8_t> entries = ReadBytes(stream, uint64_t{count} * 4);
  SetPalette(ColorManager().CreateColorPalette({std::span<const uint8_t>(entries)}, plInterleaved8Quads,
                                               count, true));
}

void TPSPGraphic::ReadLayerBank(TStream& stream, int64_t bankEnd) {
  const uint16_t version = ImageProperties().Version;
  TBlockHeader layer;
  while (stream.Position() < bankEnd && ReadBlockHeader(stream, layer) && layer.Id == kLayerBlock) {
    ProgressStarting(gesLoadingData);
    uint8_t type = 0;
    if (version == kFirstVersion) {
      stream.Seek(kLayerNameSize, TSeekOrigin::soCurrent);
      stream.ReadBuffer(&type, 1);
      stream.Seek(kLayerAttributesSize - 1, TSeekOrigin::soCurrent);
    } else {
      const int64_t chunkEnd = EnterChunk(stream);
      stream.Seek(ReadLittleEndian16(stream), TSeekOrigin::soCurrent);  // the name
      stream.ReadBuffer(&type, 1);
      stream.SetPosition(chunkEnd);
    }
    // Floating selections, vector and adjustment layers are not shown.
    const bool shown = version == kFirstVersion ? type == 0 : type < 2;
    if (!shown) {
      ProgressEnding();
      stream.SetPosition(layer.End);
      continue;
    }

    const int64_t chunkEnd = EnterChunk(stream);
    ReadLittleEndian16(stream);  // bitmap count
    const uint16_t channelCount = ReadLittleEndian16(stream);
    if (chunkEnd != 0) stream.SetPosition(chunkEnd);
    for (uint16_t i = 0; i < channelCount; ++i) ReadChannel(stream);
    // A true-colour layer's transparency mask (its composite channel) becomes the alpha of a 32-bit
    // bitmap.
    if (FHasChannel[0] && ImageProperties().ColorScheme == scRGB) {
      TColorManager& colors = ColorManager();
      colors.SetSourceColorScheme(scRGBA);
      colors.SetTargetColorScheme(scBGRA);
      colors.SetSourceSamplesPerPixel(4);
      colors.SetTargetSamplesPerPixel(4);
      SetPixelFormat(pf32bit);
    }
    ProgressEnding();
    ProgressStarting(gesTransfering);
    ConvertRows();
    ProgressEnding();
    FLayerLoaded = true;
    return;
  }
}

void TPSPGraphic::ReadChannel(TStream& stream) {
  TBlockHeader block;
  if (!ReadBlockHeader(stream, block)) throw EReadError(SReadError);
  const int64_t chunkEnd = EnterChunk(stream);
  std::array<uint8_t, 12> bytes{};
  stream.ReadBuffer(bytes.data(), bytes.size());
  if (chunkEnd > stream.Position()) stream.SetPosition(chunkEnd);
  const uint32_t packedLength = LittleEndian32(bytes, 0);
  const uint32_t unpackedLength = LittleEndian32(bytes, 4);
  const uint16_t type = LittleEndian16(bytes, 10);
  // Other channel types, and a second channel of a type already read (the transparency mask of a
  // palette or gray layer follows its picture as a second composite channel), are not shown.
  if (type >= kChannelTypes || FHasChannel[type]) {
    stream.SetPosition(block.End);
    return;
  }

  const uint8_t compression = ImageProperties().Compression;
  if (compression != ctNone && compression != ctRunLength && compression != ctDeflate) InvalidColorFormat();
  if (compression == ctNone && packedLength > unpackedLength) InvalidColorFormat();
  if (packedLength > static_cast<uint64_t>(BytesLeft(stream))) FormatErrorFmt(gesDataEnded, {kPSP});
  // The rows need height x row length bytes, which the channel's data must be able to give before
  // they are allocated (MostExpansion).
  const size_t rowsSize = CheckedMul<size_t>(ImageProperties().Height, FRowLength);
  RequireRowData(packedLength, MostExpansion(compression), FRowLength, ImageProperties().Height, kPSP, kPSP);
  std::vector<uint8_t>& channel = FChannels[type];
  if (compression == ctNone) {
    channel.assign(std::max<size_t>(rowsSize, packedLength), 0);
    stream.ReadBuffer(channel.data(), packedLength);
  } else {
    const std::vector<uint8_t> packed = ReadBytes(stream, packedLength);
    const auto room =
        static_cast<size_t>(std::min<uint64_t>(unpackedLength, MostUnpacked(compression, packedLength)));
    channel.assign(std::max(rowsSize, room), 0);
    TSourceCursor source{std::span<const uint8_t>(packed)};
    TTargetCursor target{std::span<uint8_t>(channel).first(room)};
    const auto packedSize = RangeChecked<int32_t>(packedLength);
    const auto unpackedSize = RangeChecked<int32_t>(room);
    // Rows the channel's data do not reach stay black.
    uint64_t unpacked = 0;
    if (compression == ctRunLength) {
      TPSPRLEDecoder decoder;
      decoder.Decode(source, target, packedSize, unpackedSize);
      unpacked = decoder.LastUnpackedBytes();
    } else {
      TLZ77Decoder decoder(Z_FINISH, false);
      decoder.DecodeInit();
      decoder.Decode(source, target, packedSize, unpackedSize);
      decoder.DecodeEnd();
      unpacked = decoder.LastUnpackedBytes();
    }
    if (unpacked < rowsSize) SetDataEndedEarly(true);
  }
  FHasChannel[type] = true;
  stream.SetPosition(block.End);
}

void TPSPGraphic::ConvertRows() {
  TColorManager& colors = ColorManager();
  // Channel types in the order of the source samples.
  std::array<size_t, 4> order{0};
  size_t planes = 1;
  switch (colors.SourceColorScheme()) {
    case scRGB:
      order = {1, 2, 3};
      planes = 3;
      break;
    case scRGBA:
      order = {1, 2, 3, 0};
      planes = 4;
      break;
    default:
      break;
  }
  std::array<TSourcePlane, 4> sources{};
  for (size_t k = 0; k < planes; ++k)
    if (!FHasChannel[order[k]]) InvalidColorFormat();
  // Only channels whose data can fill the picture have been read: now it may take its size.
  SetSize(static_cast<int>(ImageProperties().Width), static_cast<int>(ImageProperties().Height));
  const int height = Height();
  for (int y = 0; y < height; ++y) {
    for (size_t k = 0; k < planes; ++k)
      sources[k] = TSourcePlane(FChannels[order[k]].data() + static_cast<size_t>(y) * FRowLength, FRowLength);
    colors.ConvertRow(std::span(sources).first(planes), ScanLineBytes(y), static_cast<uint32_t>(Width()),
                      0xFF);
    ProgressRow(y, height);
  }
}
