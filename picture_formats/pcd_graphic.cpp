#include "picture_formats/pcd_graphic.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "picture_formats/byte_fields.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "toolkit/core/numbers.h"

namespace {

constexpr const char* kPCD = "PCD";
constexpr uint32_t kLargestLevel = 5;
constexpr uint32_t kBaseLevel = 2;
constexpr int kBaseWidth = 768;
constexpr int kBaseHeight = 512;
constexpr int64_t kBaseImageSector = 96;
// The luma coefficients of the PhotoYCC conversion (red, green, blue).
constexpr float kLumaRed = 0.2125f, kLumaGreen = 0.7154f, kLumaBlue = 0.0721f;

bool HasText(const uint8_t* bytes, const char* text) {
  return std::memcmp(bytes, text, std::strlen(text)) == 0;
}

bool Portrait(uint8_t orientation) {
  return orientation == 1 || orientation == 3;
}

}  // namespace

TPCDGraphic::THeader TPCDGraphic::ParseHeader(const std::array<uint8_t, HeaderSize>& bytes) {
  THeader header;
  header.Overview = HasText(bytes.data(), "PCD_OPA");
  header.ImagePack = HasText(bytes.data() + SectorSize, "PCD");
  header.Value = BigEndian16(bytes, 10);
  header.Orientation = bytes[3586] & 3;
  return header;
}

bool TPCDGraphic::CanLoad(TStream& stream) {
  TStreamPositionGuard guard(stream);
  if (BytesLeft(stream) <= static_cast<int64_t>(HeaderSize)) return false;
  std::array<uint8_t, SectorSize + 3> bytes{};
  if (stream.Read(bytes.data(), bytes.size()) != static_cast<int64_t>(bytes.size())) return false;
  return HasText(bytes.data(), "PCD_OPA") || HasText(bytes.data() + SectorSize, "PCD");
}

bool TPCDGraphic::ReadImageProperties(TStream& stream, uint32_t imageIndex) {
  uint32_t level = std::min(imageIndex, kLargestLevel);
  TFormatGraphic::ReadImageProperties(stream, level);
  std::array<uint8_t, HeaderSize> bytes{};
  stream.ReadBuffer(bytes.data(), HeaderSize);
  FHeader = ParseHeader(bytes);
  if (!FHeader.Overview && !FHeader.ImagePack) return false;

  TImageProperties& properties = ImageProperties();
  properties.PCDOverview = FHeader.Overview ? 1 : 0;
  properties.PCDOrientation = FHeader.Orientation;
  properties.PCDHeaderValue = FHeader.Value;
  if (FHeader.Overview) level = 0;
  properties.Width = uint32_t{192} << level;
  properties.Height = uint32_t{128} << level;
  if (Portrait(FHeader.Orientation)) std::swap(properties.Width, properties.Height);
  properties.ColorScheme = scPhotoYCC;
  properties.BitsPerSample = 8;
  properties.SamplesPerPixel = 3;
  properties.BitsPerPixel = 24;
  properties.Compression = level > kBaseLevel ? ctPhotoCDHuffman : ctNone;
  return true;
}

void TPCDGraphic::LoadFromStream(TStream& stream) {
  ReleaseHandle();
  BasePosition = stream.Position();
  if (!ReadImageProperties(stream, kBaseLevel)) return;
  // An overview pack holds thumbnails in a layout of its own, not a base image.
  if (FHeader.Overview) FormatErrorFmt(gesInvalidImage, {kPCD});
  TImageProperties& properties = ImageProperties();
  ProgressRect = Rect(0, 0, static_cast<int32_t>(properties.Width), 1);
  ProgressStarting(gesPreparing);

  properties.Width = kBaseWidth;
  properties.Height = kBaseHeight;
  // The base image is stored: each pair of rows holds two luma rows and a half row of each chroma.
  stream.SetPosition(BasePosition + kBaseImageSector * static_cast<int64_t>(SectorSize));
  RequireRowData(static_cast<uint64_t>(BytesLeft(stream)), 1, 3 * size_t{kBaseWidth}, kBaseHeight / 2, kPCD,
                 kPCD);
  const size_t planeSize = size_t{kBaseWidth} * kBaseHeight;
  std::vector<uint8_t> luma(planeSize), chroma1(planeSize), chroma2(planeSize);

  TColorManager& colors = ColorManager();
  colors.SetSourceColorScheme(scPhotoYCC);
  colors.SetSourceBitsPerSample(8);
  colors.SetSourceSamplesPerPixel(3);
  colors.SetTargetColorScheme(scBGR);
  colors.SetTargetBitsPerSample(8);
  colors.SetTargetSamplesPerPixel(3);
  colors.SetSourceOptions(0);
  colors.SetTargetOptions(0);
  SetPixelFormat(pf24bit);
  colors.SetYCbCrParameters({kLumaRed, kLumaGreen, kLumaBlue}, 2, 2);
  ProgressEnding();

  // Each pair of rows: two luma rows, then one row of each chroma plane at half the width.
  ProgressStarting(gesLoadingData);
  constexpr size_t kWidth = kBaseWidth;
  std::vector<uint8_t> pair(3 * kWidth);
  for (size_t y = 0; y < kBaseHeight; y += 2) {
    Progress(TProgressStage::psRunning, static_cast<uint8_t>(MulDiv(static_cast<int>(y), 100, kBaseHeight)),
             false, ProgressRect, "");
    stream.ReadBuffer(pair.data(), static_cast<int64_t>(pair.size()));
    std::copy_n(pair.data(), 2 * kWidth, luma.data() + y * kWidth);
    std::copy_n(pair.data() + 2 * kWidth, kWidth / 2, chroma1.data() + y / 2 * kWidth);
    std::copy_n(pair.data() + 2 * kWidth + kWidth / 2, kWidth / 2, chroma2.data() + y / 2 * kWidth);
  }
  ProgressEnding();

  ProgressStarting(gesUpsampling);
  Progress(TProgressStage::psRunning, static_cast<uint8_t>(MulDiv(4, 100, 5)), false, ProgressRect, "");
  UpsamplePlane(kBaseWidth / 2, kBaseHeight / 2, kWidth, chroma1);
  Progress(TProgressStage::psRunning, 100, false, ProgressRect, "");
  UpsamplePlane(kBaseWidth / 2, kBaseHeight / 2, kWidth, chroma2);
  ProgressEnding();

  ProgressStarting(gesTransfering);
  const uint8_t orientation = FHeader.Orientation;
  const bool portrait = Portrait(orientation);
  std::vector<uint8_t> row;
  std::vector<uint8_t*> targetRows;
  if (portrait) {
    SetSize(kBaseHeight, kBaseWidth);
    ProgressRect.Right = kBaseHeight;
    row.resize(3 * kWidth);
    targetRows.resize(kWidth);
    for (size_t i = 0; i < kWidth; ++i) targetRows[i] = ScanLine(static_cast<int>(i));
  } else {
    SetSize(kBaseWidth, kBaseHeight);
  }
  for (size_t y = 0; y < kBaseHeight; ++y) {
    const size_t start = y * kWidth;
    const std::span<uint8_t> target = portrait ? std::span<uint8_t>(row) : ScanLineBytes(static_cast<int>(y));
    colors.ConvertRow({std::span<const uint8_t>(luma).subspan(start, kWidth),
                       std::span<const uint8_t>(chroma1).subspan(start, kWidth),
                       std::span<const uint8_t>(chroma2).subspan(start, kWidth)},
                      target, kBaseWidth, 0xFF);
    if (orientation == 1) {
      // A quarter turn counter-clockwise: pixel x of row y goes to column y of row 767 - x.
      for (size_t x = 0; x < kWidth; ++x) std::copy_n(&row[3 * x], 3, targetRows[kWidth - 1 - x] + 3 * y);
    } else if (orientation == 3) {
      // A quarter turn clockwise: pixel x of row y goes to column 511 - y of row x.
      for (size_t x = 0; x < kWidth; ++x)
        std::copy_n(&row[3 * x], 3, targetRows[x] + 3 * (kBaseHeight - 1 - y));
    }
    ProgressRow(static_cast<int>(y), kBaseHeight);
  }
  ProgressEnding();
}
