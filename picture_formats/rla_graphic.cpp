#include "picture_formats/rla_graphic.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "picture_formats/byte_fields.h"
#include "picture_formats/decoders_rle.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "toolkit/core/checked.h"
#include "toolkit/core/conversions.h"
#include "toolkit/core/string_utils.h"

namespace {

constexpr const char* kRLA = "RLA";
constexpr const char* kRLARunLength = "RLA run-length";
constexpr int64_t kHeaderSize = sizeof(TRLAGraphic::THeader);
constexpr uint16_t kRevision = 0xFFFE;

void ToNative(int16_t& value) {
  if constexpr (std::endian::native == std::endian::little)
    value = static_cast<int16_t>(SwapShort(static_cast<uint16_t>(value)));
}
void ToNative(uint16_t& value) {
  if constexpr (std::endian::native == std::endian::little) value = SwapShort(value);
}
void ToNative(int32_t& value) {
  if constexpr (std::endian::native == std::endian::little)
    value = static_cast<int32_t>(SwapLong(static_cast<uint32_t>(value)));
}

// A text field up to its first zero byte (all of it when it has none).
std::string FieldText(const char* field, size_t size) {
  return {field, strnlen(field, size)};
}

std::string ChannelText(const TRLAGraphic::THeader& header) {
  return LowerCase(FieldText(header.Channel, sizeof(header.Channel)));
}

bool KnownChannels(const std::string& channels) {
  return channels == "rgb" || channels == "xyz";
}

}  // namespace

void TRLAGraphic::SwapHeader(THeader& header) {
  for (TWindow* window : {&header.Window, &header.ActiveWindow})
    for (int16_t* value : {&window->Left, &window->Right, &window->Bottom, &window->Top}) ToNative(*value);
  for (int16_t* value : {&header.Frame, &header.StorageType, &header.NumChannels, &header.NumMatte,
                         &header.NumAux, &header.Field, &header.ChannelBits, &header.MatteType,
                         &header.MatteBits, &header.AuxType, &header.AuxBits})
    ToNative(*value);
  ToNative(header.Revision);
  ToNative(header.JobNumber);
  ToNative(header.Next);
}

bool TRLAGraphic::CanLoad(TStream& stream) {
  TStreamPositionGuard guard(stream);
  if (BytesLeft(stream) <= kHeaderSize) return false;
  THeader header;
  if (stream.Read(&header, kHeaderSize) != kHeaderSize) return false;
  SwapHeader(header);
  return header.Revision == kRevision && KnownChannels(ChannelText(header));
}

bool TRLAGraphic::ReadImageProperties(TStream& stream, uint32_t imageIndex) {
  TFormatGraphic::ReadImageProperties(stream, imageIndex);
  stream.ReadBuffer(&FHeader, kHeaderSize);
  SwapHeader(FHeader);

  TImageProperties& properties = ImageProperties();
  properties.HeaderFlags = hfBigEndian;
  // Only the first matte channel is shown, however many there are.
  const int samples = FHeader.NumChannels + (FHeader.NumMatte >= 1 ? 1 : 0);
  properties.SamplesPerPixel = CheckedByte(samples);
  properties.BitsPerSample = CheckedByte(FHeader.ChannelBits);
  properties.BitsPerPixel = CheckedByte(samples * FHeader.ChannelBits);

  const std::string channels = ChannelText(FHeader);
  if (channels == "rgb")
    properties.ColorScheme = FHeader.NumMatte >= 1 ? scRGBA : scRGB;
  else if (channels != "xyz")
    return false;

  // The gamma is written with a full stop, whatever the reading machine's own number format.
  double gamma = 0;
  if (TryStrToFloat(FieldText(FHeader.Gamma, sizeof(FHeader.Gamma)), gamma))
    properties.FileGamma = static_cast<float>(gamma);

  properties.Compression = ctRunLength;
  const TWindow& active = FHeader.ActiveWindow;
  properties.Width = static_cast<uint32_t>(std::max(active.Right - active.Left + 1, 0));
  properties.Height = static_cast<uint32_t>(std::abs(active.Bottom - active.Top) + 1);
  properties.RLABottomUp = active.Bottom < active.Top ? 1 : 0;
  return true;
}

void TRLAGraphic::LoadFromStream(TStream& stream) {
  ReleaseHandle();
  BasePosition = stream.Position();
  if (!ReadImageProperties(stream, 0)) return;
  TImageProperties& properties = ImageProperties();
  const auto width = static_cast<int>(properties.Width);
  const auto height = static_cast<int>(properties.Height);
  ProgressRect = Rect(0, 0, width, 1);
  ProgressStarting(gesTransfering);

  if (width == 0) FormatErrorFmt(gesInvalidImage, {kRLA});
  // Rows hold one byte per sample for 8-bit channels; other depths and colour counts are not read.
  if (FHeader.NumChannels != 3 || FHeader.ChannelBits != 8) FormatErrorFmt(gesInvalidColorFormat, {kRLA});

  TColorManager& colors = ColorManager();
  colors.SetSourceSamplesPerPixel(properties.SamplesPerPixel);
  colors.SetTargetSamplesPerPixel(properties.SamplesPerPixel);
  colors.SetSourceBitsPerSample(properties.BitsPerSample);
  colors.SetTargetBitsPerSample(properties.BitsPerSample);
  colors.SetSourceColorScheme(properties.ColorScheme);
  colors.SetTargetColorScheme(properties.ColorScheme == scRGBA ? scBGRA : scBGR);
  colors.SetSourceOptions(0);
  colors.SetTargetOptions(0);
  SetPixelFormat(colors.GetPixelFormat(1));
  if (properties.FileGamma != 1.0f) {
    colors.SetGamma(properties.FileGamma, 2.2f);
    colors.SetTargetOptions(optGamma);
    properties.HeaderFlags |= hfGammaApplied;
  }

  // Every row holds a packed length and run-length data for each channel, however many rows share
  // their data. So the bytes after the header (the offset table included) must be able to give the rows
  // before the bitmap is made, and the table must be there.
  const size_t channelCount = properties.SamplesPerPixel;
  const int64_t tableSize = int64_t{height} * 4;
  RequireRowData(static_cast<uint64_t>(BytesLeft(stream)), kByteRunMaxExpansion, size_t(width) * channelCount,
                 size_t(height), kRLA, kRLA);
  if (BytesLeft(stream) < tableSize) FormatErrorFmt(gesDataEnded, {kRLA});
  std::vector<uint32_t> offsets(static_cast<size_t>(height));
  stream.ReadBuffer(offsets.data(), tableSize);
  if constexpr (std::endian::native == std::endian::little) SwapLongs(offsets);
  SetSize(width, height);

  // Rows lie after the header and the table. A row whose offset points elsewhere, or whose data the
  // file does not hold in full, stays black, and the picture says its data ended early.
  const int64_t firstRow = kHeaderSize + tableSize;
  const int64_t end = stream.Size();
  // P packed bytes unpack to at least P / 2 bytes (a run of two bytes gives one or more, a copy of k
  // bytes takes k + 1): more than twice the width cannot fit a row and is not even read.
  const size_t longestChannel = 2 * static_cast<size_t>(width) + 1;
  TRLADecoder decoder;
  std::array<std::vector<uint8_t>, 4> channels;
  for (size_t c = 0; c < channelCount; ++c) channels[c].resize(static_cast<size_t>(width));
  std::vector<uint8_t> packed;
  std::array<TSourcePlane, 4> planes;
  for (int y = 0; y < height; ++y) {
    const int64_t offset = offsets[static_cast<size_t>(y)];
    bool whole = offset >= firstRow && BasePosition + offset < end;
    if (whole) stream.SetPosition(BasePosition + offset);
    for (size_t c = 0; c < channelCount; ++c) {
      // A channel that unpacks to less than the width leaves black, not the row before (and the picture
      // says so).
      std::fill(channels[c].begin(), channels[c].end(), 0);
      planes[c] = channels[c];
      if (!whole) continue;
      if (BytesLeft(stream) < 2) {
        whole = false;
        continue;
      }
      const size_t size = ReadBigEndian16(stream);
      if (size > longestChannel) UnpackedRoomExceeded(kRLARunLength);
      if (static_cast<uint64_t>(BytesLeft(stream)) < size) {
        whole = false;
        continue;
      }
      if (packed.size() < size) packed.resize(size);
      stream.ReadBuffer(packed.data(), static_cast<int64_t>(size));
      TSourceCursor source(std::span<const uint8_t>(packed.data(), size));
      TTargetCursor target{std::span<uint8_t>(channels[c])};
      decoder.Decode(source, target, static_cast<int32_t>(size), width);
      // A channel of no data, or of fewer bytes than the width, leaves part of the row black.
      if (decoder.LastUnpackedBytes() < static_cast<size_t>(width)) SetDataEndedEarly(true);
    }
    if (!whole) SetDataEndedEarly(true);
    const int row = properties.RLABottomUp ? height - 1 - y : y;
    colors.ConvertRow(TSourcePlanes(planes.data(), channelCount), ScanLineBytes(row),
                      static_cast<uint32_t>(width), 0xFF);
    ProgressRow(y, height);
  }
  ProgressEnding();
}
