// Chunk input of the PNG reader: headers, CRC-checked data, and the small chunks that set up colours.

#include <zlib.h>

#include <algorithm>

#include "picture_formats/byte_fields.h"
#include "picture_formats/color_types.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "picture_formats/png_graphic.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"

namespace {

constexpr const char* kPNG = "PNG";
// Chunk lengths above 2^31 - 1 are not allowed by the PNG standard.
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;

// A colour sample of a bKGD or tRNS chunk as an 8-bit value.
uint8_t ColorSample(uint16_t sample, uint8_t bitDepth) {
  return bitDepth == 16 ? static_cast<uint8_t>(MulDiv16(sample, 255, 65535)) : static_cast<uint8_t>(sample);
}

// A grey sample of a bKGD or tRNS chunk on the scale of the bitmap's pixels: 2-bit grey is stored as
// 4-bit indexes (x 15 / 3), 16-bit grey as 8-bit levels, other depths as they are.
uint8_t GreySample(uint16_t sample, uint8_t bitDepth) {
  switch (bitDepth) {
    case 2:
      return static_cast<uint8_t>((sample & 3) * 5);
    case 16:
      return static_cast<uint8_t>(MulDiv16(sample, 255, 65535));
    default:
      return static_cast<uint8_t>(sample);
  }
}

}  // namespace

bool TPNGGraphic::SameChunkType(const TChunkType& a, const TChunkType& b) {
  for (size_t i = 0; i < a.size(); ++i)
    if ((a[i] & 0xDF) != (b[i] & 0xDF)) return false;
  return true;
}

bool TPNGGraphic::IsChunk(const TChunkType& type) const {
  return SameChunkType(FChunkType, type);
}

void TPNGGraphic::ReadChunkHeader() {
  std::array<uint8_t, 8> header;
  Stream->ReadBuffer(header.data(), header.size());
  FChunkLength = BigEndian32(header.data());
  std::copy(header.begin() + 4, header.end(), FChunkType.begin());
  FCRC = crc32(0, FChunkType.data(), FChunkType.size());
  if (FChunkLength > kMaxChunkLength) FormatErrorFmt(gesInvalidImage, {kPNG});
}

void TPNGGraphic::ReadChunkData() {
  // A chunk running past the stream's end is a short read; refuse it before growing the buffer for it.
  if (int64_t{FChunkLength} + 4 > BytesLeft(*Stream)) throw EReadError(SReadError);
  if (FRawBuffer.size() < FChunkLength) FRawBuffer.resize(FChunkLength);
  Stream->ReadBuffer(FRawBuffer.data(), FChunkLength);
  std::array<uint8_t, 4> stored;
  Stream->ReadBuffer(stored.data(), stored.size());
  // zlib's crc32 answers its start value for a null buffer, whatever the running value is.
  if (FChunkLength > 0) FCRC = crc32(FCRC, FRawBuffer.data(), FChunkLength);
  if (FCRC != BigEndian32(stored.data())) FormatErrorFmt(gesInvalidCRC, {kPNG});
}

uint64_t TPNGGraphic::ImageDataBytes() {
  TStreamPositionGuard guard(*Stream);
  // Only what the stream holds of each chunk counts.
  const auto present = [&](int64_t start, uint32_t length) {
    return static_cast<uint64_t>(std::clamp<int64_t>(Stream->Size() - start, 0, length));
  };
  uint64_t total = present(Stream->Position(), FChunkLength);
  int64_t next = Stream->Position() + int64_t{FChunkLength} + 4;
  std::array<uint8_t, 8> header;
  while (next + 8 <= Stream->Size()) {
    Stream->SetPosition(next);
    Stream->ReadBuffer(header.data(), header.size());
    if (!SameChunkType({header[4], header[5], header[6], header[7]}, ChunkIDAT)) break;
    const uint32_t length = BigEndian32(header.data());
    total += present(next + 8, length);
    next += int64_t{length} + 12;
  }
  return total;
}

void TPNGGraphic::SkipChunk() {
  Stream->Seek(int64_t{FChunkLength} + 4, TSeekOrigin::soCurrent);
}

void TPNGGraphic::ReadHeaderRecord() {
  const uint8_t* p = FRawBuffer.data();
  FHeader.Width = BigEndian32(p);
  FHeader.Height = BigEndian32(p + 4);
  FHeader.BitDepth = p[8];
  FHeader.ColorType = p[9];
  FHeader.CompressionMethod = p[10];
  FHeader.FilterMethod = p[11];
  FHeader.InterlaceMethod = p[12];
}

void TPNGGraphic::ReadPalette() {
  if (FChunkLength % 3 != 0) FormatErrorFmt(gesInvalidPalette, {kPNG});
  ReadChunkData();
  if (FHeader.ColorType != 3) return;
  FBytesPerPixel = SetupColorDepth(FHeader.ColorType, FHeader.BitDepth);
  FColorDepthSet = true;
  FPalette = ColorManager().CreateColorPalette({ChunkData()}, plInterleaved8Triples, FChunkLength / 3, false);
}

std::optional<float> TPNGGraphic::ReadGammaValue() {
  ReadChunkData();
  // Ancillary chunks too short for their values are ignored, as damaged ancillary chunks may be.
  if (FChunkLength < 4) return std::nullopt;
  return static_cast<float>(BigEndian32(FRawBuffer.data()) / 100000.0);
}

void TPNGGraphic::ReadGamma() {
  const auto gamma = ReadGammaValue();
  if (!gamma) return;
  ColorManager().SetGamma(*gamma, 2.2f);
  ColorManager().SetTargetOptions(ColorManager().TargetOptions() | optGamma);
  ImageProperties().HeaderFlags |= hfGammaApplied;
}

void TPNGGraphic::ReadBackground() {
  ReadChunkData();
  const uint8_t* p = FRawBuffer.data();
  switch (FHeader.ColorType) {
    case 2:
    case 6:
      if (FChunkLength < 6) return;
      FBackgroundColor = RGB(ColorSample(BigEndian16(p), FHeader.BitDepth),
                             ColorSample(BigEndian16(p + 2), FHeader.BitDepth),
                             ColorSample(BigEndian16(p + 4), FHeader.BitDepth));
      break;
    case 0:
    case 4:
      // The grey level is taken as the colour value itself, as the loader always has.
      if (FChunkLength < 2) return;
      FBackgroundColor = GreySample(BigEndian16(p), FHeader.BitDepth);
      break;
    case 3:
      if (FChunkLength < 1) return;
      FBackgroundColor = p[0];
      break;
    default:
      break;
  }
}

void TPNGGraphic::ReadTransparency() {
  ReadChunkData();
  const uint8_t* p = FRawBuffer.data();
  switch (FHeader.ColorType) {
    case 2:
      if (FChunkLength < 6) return;
      FTransparentColor = RGB(ColorSample(BigEndian16(p), FHeader.BitDepth),
                              ColorSample(BigEndian16(p + 2), FHeader.BitDepth),
                              ColorSample(BigEndian16(p + 4), FHeader.BitDepth));
      break;
    case 0: {
      if (FChunkLength < 2) return;
      const uint8_t grey = GreySample(BigEndian16(p), FHeader.BitDepth);
      FTransparentColor = RGB(grey, grey, grey);
      break;
    }
    default:  // indexed and alpha pictures: read, without effect
      break;
  }
}

bool TPNGGraphic::PassOverChunk() {
  SkipChunk();
  if (IsChunk(ChunkIEND)) return true;
  if ((FChunkType[0] & 0x20) != 0) return false;  // ancillary
  FormatError(gesUnknownCriticalChunk);
}
