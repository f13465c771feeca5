#include "picture_formats/sgi_graphic.h"

#include <algorithm>
#include <array>
#include <bit>

#include "picture_formats/byte_fields.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "toolkit/core/checked.h"

namespace {

constexpr int64_t kHeaderSize = 512;
constexpr uint16_t kMagic = 474;
constexpr const char* kSGINames = "sgi, bw or rgb(a)";
constexpr const char* kSGI = "SGI";

struct TSGIHeader {
  uint16_t Magic = 0;
  uint8_t Storage = 0;  // 1: run-length packed rows
  uint8_t BytesPerChannel = 0;
  uint16_t Dimension = 0;
  uint16_t XSize = 0;
  uint16_t YSize = 0;
  uint16_t ZSize = 0;  // channels
};

TSGIHeader ReadHeader(TStream& stream) {
  std::array<uint8_t, kHeaderSize> bytes{};
  stream.ReadBuffer(bytes.data(), kHeaderSize);
  const std::span<const uint8_t> b(bytes);
  TSGIHeader header;
  header.Magic = BigEndian16(b, 0);
  header.Storage = b[2];
  header.BytesPerChannel = b[3];
  header.Dimension = BigEndian16(b, 4);
  header.XSize = BigEndian16(b, 6);
  header.YSize = BigEndian16(b, 8);
  header.ZSize = BigEndian16(b, 10);
  return header;
}

// Reads the table of `count` big-endian 32-bit entries at the stream's position; entries the stream
// does not hold stay 0.
void ReadTable(TStream& stream, std::vector<uint32_t>& table, size_t count) {
  table.assign(count, 0);
  stream.Read(table.data(), static_cast<int64_t>(CheckedMul<size_t>(count, 4)));
  if constexpr (std::endian::native == std::endian::little) SwapLongs(table);
}

}  // namespace

TSGIGraphic::TSGIGraphic() = default;

TSGIGraphic::~TSGIGraphic() = default;

bool TSGIGraphic::CanLoad(TStream& stream) {
  TStreamPositionGuard guard(stream);
  if (BytesLeft(stream) <= kHeaderSize) return false;
  const TSGIHeader header = ReadHeader(stream);
  return header.Magic == kMagic && (header.BytesPerChannel == 1 || header.BytesPerChannel == 2) &&
         header.Dimension >= 1 && header.Dimension <= 3;
}

bool TSGIGraphic::ReadImageProperties(TStream& stream, uint32_t imageIndex) {
  TFormatGraphic::ReadImageProperties(stream, imageIndex);
  const TSGIHeader header = ReadHeader(stream);
  if (header.Magic != kMagic) return false;
  TImageProperties& properties = ImageProperties();
  properties.HeaderFlags = hfBigEndian;
  properties.BitsPerSample = CheckedByte(header.BytesPerChannel * 8);
  properties.Width = header.XSize;
  properties.Height = header.YSize;
  properties.SamplesPerPixel = CheckedByte(header.ZSize);
  properties.ColorScheme = header.ZSize == 3 ? scRGB : header.ZSize == 4 ? scRGBA : scIndexed;
  properties.HasAlpha = header.ZSize == 4;
  properties.BitsPerPixel = CheckedByte(properties.BitsPerSample * properties.SamplesPerPixel);
  properties.Compression = header.Storage == 1 ? ctRunLength : ctNone;
  return true;
}

void TSGIGraphic::ReleaseLoadState() {
  FDecoder.reset();
  FPackedRow = {};
  Stream = nullptr;
}

void TSGIGraphic::LoadFromStream(TStream& stream) {
  ReleaseHandle();
  struct TLoadStateGuard {
    TSGIGraphic& Reader;
    ~TLoadStateGuard() { Reader.ReleaseLoadState(); }
  } loadStateGuard{*this};
  Stream = &stream;
  BasePosition = stream.Position();
  const TImageProperties& properties = ImageProperties();
  // Rows without a pixel in them no bitmap holds.
  if (!ReadImageProperties(stream, 0) || properties.Width == 0 || properties.Height == 0)
    FormatErrorFmt(gesInvalidImage, {kSGINames});
  ProgressRect = Rect(0, 0, static_cast<int32_t>(properties.Width), 1);
  ProgressStarting(gesPreparing);

  stream.SetPosition(BasePosition);
  const TSGIHeader header = ReadHeader(stream);
  const uint32_t width = properties.Width;
  const uint32_t height = properties.Height;
  const uint32_t channels = header.ZSize;
  const uint32_t bytesPerChannel = header.BytesPerChannel;
  // Gray with alpha is shown as gray: only the first channel is read. Other channel counts are left to
  // the colour manager to refuse.
  const bool color = properties.ColorScheme == scRGB || properties.ColorScheme == scRGBA;
  const uint8_t samples = color || channels > 2 ? properties.SamplesPerPixel : uint8_t{channels > 0};
  TColorManager& colors = ColorManager();
  colors.SetSourceOptions(optSwap16);
  colors.SetTargetOptions(0);
  colors.SetSourceBitsPerSample(properties.BitsPerSample);
  colors.SetTargetBitsPerSample(8);
  colors.SetSourceSamplesPerPixel(samples);
  colors.SetTargetSamplesPerPixel(samples);
  colors.SetSourceColorScheme(color ? properties.ColorScheme : scIndexed);
  colors.SetTargetColorScheme(!color ? scIndexed : properties.ColorScheme == scRGBA ? scBGRA : scBGR);
  SetPixelFormat(colors.GetPixelFormat(1));
  // The rows shown, stored or packed, must be able to come from the bytes after the header, however
  // many rows share their packed data. Stored rows take theirs one for one.
  const size_t fileRowBytes = size_t{width} * bytesPerChannel;
  // Files of one or two dimensions may leave the channel count 0: they hold one channel. Only the
  // channels shown are read (gray with alpha shows the gray one).
  const size_t fileRows = CheckedMul<size_t>(height, std::max<uint32_t>(channels, 1));
  const size_t rowsRead = CheckedMul<size_t>(height, std::max<uint8_t>(samples, 1));
  const bool runLength = properties.Compression == ctRunLength;
  RequireRowData(static_cast<uint64_t>(BytesLeft(stream)), runLength ? kByteRunMaxExpansion : 1, fileRowBytes,
                 rowsRead, kSGI, kSGINames);
  if (runLength) {
    // Both tables, 4 bytes a row each, must be there before they are allocated.
    if (CheckedMul<uint64_t>(fileRows, 8) > static_cast<uint64_t>(BytesLeft(stream)))
      FormatErrorFmt(gesDataEnded, {kSGI});
    ReadTable(stream, FRowStart, fileRows);
    ReadTable(stream, FRowSize, fileRows);
    FDecoder = std::make_unique<TSGIRLEDecoder>(properties.BitsPerSample);
  }
  SetSize(static_cast<int>(width), static_cast<int>(height));
  if (!color) SetPalette(colors.CreateGrayscalePalette(false));
  ProgressEnding();
  ProgressStarting(gesTransfering);

  // 8-bit gray rows go straight into the bitmap; everything else through one buffer per channel.
  const bool straight = !color && bytesPerChannel == 1;
  const size_t planeCount = straight ? 0 : samples;
  const size_t planeSize = size_t{width} * bytesPerChannel;
  std::vector<uint8_t> planeMemory(planeCount * planeSize);
  std::array<std::span<uint8_t>, 4> targets{};
  std::array<TSourcePlane, 4> sources{};
  for (size_t c = 0; c < planeCount; ++c) {
    targets[c] = std::span<uint8_t>(planeMemory).subspan(c * planeSize, planeSize);
    sources[c] = targets[c];
  }
  for (uint32_t y = 0; y < height; ++y) {
    const int row = static_cast<int>(height - 1 - y);
    if (straight) {
      targets[0] = ScanLineBytes(row).first(width);
      ReadRow(std::span(targets).first(1), y);
    } else {
      ReadRow(std::span(targets).first(planeCount), y);
      colors.ConvertRow(std::span(sources).first(planeCount), ScanLineBytes(row), width, 0xFF);
    }
    ProgressRow(static_cast<int>(y), static_cast<int>(height));
  }
  ProgressEnding();
}

void TSGIGraphic::ReadRow(std::span<const std::span<uint8_t>> targets, uint32_t fileRow) {
  const uint64_t height = ImageProperties().Height;
  for (size_t c = 0; c < targets.size(); ++c) {
    const std::span<uint8_t> target = targets[c];
    if (target.empty()) continue;
    const uint64_t fileRowOfChannel = fileRow + c * height;
    if (!FDecoder) {
      // The load made sure the stream holds every stored row.
      const uint64_t offset = kHeaderSize + fileRowOfChannel * target.size();
      Stream->SetPosition(BasePosition + RangeChecked<int64_t>(offset));
      Stream->ReadBuffer(target.data(), static_cast<int64_t>(target.size()));
      continue;
    }
    // Every packet gives at least one sample for its header and sample (at most two samples' room),
    // and an ending header follows: no more of a packed row is read, however long its table entry says
    // it is, so that rows sharing one long block of packed data cost no more than their own.
    const size_t sampleBytes = FDecoder->SampleSize() == 16 ? 2 : 1;
    const uint64_t longestRow = 2 * uint64_t{target.size()} + sampleBytes;
    const size_t index = static_cast<size_t>(fileRowOfChannel);
    const int64_t start = BasePosition + int64_t{FRowStart[index]};
    const uint64_t stated = std::min<uint64_t>(FRowSize[index], longestRow);
    const uint64_t present = start < Stream->Size() ? static_cast<uint64_t>(Stream->Size() - start) : 0;
    // A row the file does not hold in full comes out black from where its data stop.
    if (present < stated) SetDataEndedEarly(true);
    const size_t size = static_cast<size_t>(std::min(stated, present));
    // A zero count ends a packed row: two zero bytes after its data end it where they stop.
    FPackedRow.assign(size + 2, 0);
    if (size > 0) {
      Stream->SetPosition(start);
      Stream->ReadBuffer(FPackedRow.data(), static_cast<int64_t>(size));
    }
    std::fill(target.begin(), target.end(), uint8_t{0});
    TSourceCursor source{std::span<const uint8_t>(FPackedRow)};
    TTargetCursor unpacked{target};
    FDecoder->Decode(source, unpacked, RangeChecked<int32_t>(size), static_cast<int32_t>(target.size()));
  }
}
