#include "picture_formats/ppm_graphic.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "picture_formats/byte_fields.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "toolkit/core/checked.h"

namespace {

constexpr const char* kPPM = "PPM";
constexpr const char* kPortableMaps = "PBM, PGM or PPM";
constexpr uint32_t kLargestMaxValue = 65535;

bool IsDigit(uint8_t c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool TPPMGraphic::CanLoad(TStream& stream) {
  TStreamPositionGuard guard(stream);
  if (BytesLeft(stream) <= 10) return false;
  std::array<uint8_t, 2> magic{};
  return stream.Read(magic.data(), 2) == 2 && magic[0] == 'P' && magic[1] >= '1' && magic[1] <= '6';
}

uint8_t TPPMGraphic::GetChar() {
  if (FIndex == FCount) {
    const int64_t read = Stream->Read(FBuffer.data(), kBufferSize);
    if (read <= 0) FormatErrorFmt(gesStreamReadError, {kPPM});
    FCount = static_cast<size_t>(read);
    FIndex = 0;
  }
  return FBuffer[FIndex++];
}

uint8_t TPPMGraphic::PeekChar() const {
  return FIndex < FCount ? FBuffer[FIndex] : 0;
}

std::string TPPMGraphic::ReadLine() {
  std::string line;
  for (;;) {
    const uint8_t c = GetChar();
    if (c == '\n') break;
    if (c == '\r') {
      if (PeekChar() == '\n') ++FIndex;
      break;
    }
    line += static_cast<char>(c);
  }
  return line.substr(0, line.find('#'));
}

uint8_t TPPMGraphic::GetDigit() {
  uint8_t c = GetChar();
  while (!IsDigit(c)) {
    if (c == '#') ReadLine();
    c = GetChar();
  }
  return c;
}

uint32_t TPPMGraphic::GetNumber() {
  uint8_t c = GetDigit();
  int32_t value = 0;
  for (;;) {
    value = CheckedAdd(CheckedMul(value, 10), static_cast<int32_t>(c - '0'));
    // A number may end the file: text maps need not end with a line break.
    if (FIndex == FCount && BytesLeft(*Stream) == 0) break;
    c = GetChar();
    if (!IsDigit(c)) break;
  }
  return static_cast<uint32_t>(value);
}

uint8_t TPPMGraphic::GetBit() {
  return GetDigit() & 1;
}

void TPPMGraphic::ReadData(uint8_t* target, size_t count) {
  while (count > 0) {
    if (FIndex == FCount) {
      // Refilled by reading one byte the usual way, then taking the rest of the block.
      *target++ = GetChar();
      --count;
      continue;
    }
    const size_t chunk = std::min(count, FCount - FIndex);
    std::memcpy(target, FBuffer.data() + FIndex, chunk);
    FIndex += chunk;
    target += chunk;
    count -= chunk;
  }
}

int64_t TPPMGraphic::DataLeft() {
  return static_cast<int64_t>(FCount - FIndex) + BytesLeft(*Stream);
}

bool TPPMGraphic::ReadImageProperties(TStream& stream, uint32_t imageIndex) {
  TFormatGraphic::ReadImageProperties(stream, imageIndex);
  Stream = &stream;
  FIndex = FCount = 0;
  FHeader = THeader{};
  if (GetChar() != 'P') return false;
  const uint8_t kind = GetChar();
  if (kind < '1' || kind > '6') return false;
  FHeader.Kind = static_cast<uint8_t>(kind - '0');
  FHeader.Width = GetNumber();
  FHeader.Height = GetNumber();
  if (FHeader.Width == 0 || FHeader.Height == 0) return false;
  const bool bitmap = FHeader.Kind == 1 || FHeader.Kind == 4;
  if (!bitmap) {
    FHeader.MaxValue = GetNumber();
    if (FHeader.MaxValue == 0 || FHeader.MaxValue > kLargestMaxValue) return false;
  }

  TImageProperties& properties = ImageProperties();
  properties.Compression = ctNone;
  properties.Width = FHeader.Width;
  properties.Height = FHeader.Height;
  const bool pixelMap = FHeader.Kind == 3 || FHeader.Kind == 6;
  properties.ColorScheme = pixelMap ? scRGB : scIndexed;
  properties.SamplesPerPixel = pixelMap ? 3 : 1;
  properties.BitsPerSample = bitmap ? 1 : FHeader.MaxValue > 255 ? 16 : 8;
  properties.BitsPerPixel = static_cast<uint8_t>(properties.SamplesPerPixel * properties.BitsPerSample);
  return true;
}

void TPPMGraphic::LoadFromStream(TStream& stream) {
  ReleaseHandle();
  BasePosition = stream.Position();
  if (!ReadImageProperties(stream, 0)) FormatErrorFmt(gesInvalidImage, {kPortableMaps});
  const auto width = static_cast<int>(FHeader.Width);
  const auto height = static_cast<int>(FHeader.Height);
  ProgressRect = Rect(0, 0, width, 1);
  ProgressStarting(gesTransfering);

  const bool text = FHeader.Kind <= 3;
  const bool bitmap = FHeader.Kind == 1 || FHeader.Kind == 4;
  const size_t samplesPerPixel = FHeader.Kind == 3 || FHeader.Kind == 6 ? 3 : 1;
  const size_t sampleBytes = FHeader.MaxValue > 255 ? 2 : 1;
  // The data must be there before the bitmap is made: a damaged header can ask for gigabytes. Text
  // needs a character per bitmap pixel and a digit and a separator per sample (the last one excepted).
  const uint64_t columns = FHeader.Width;
  const uint64_t rowNeeds =
      bitmap ? (text ? columns : (columns + 7) / 8) : columns * samplesPerPixel * (text ? 2 : sampleBytes);
  const uint64_t available = static_cast<uint64_t>(DataLeft()) + (text && !bitmap ? 1 : 0);
  if (FHeader.Height > available / rowNeeds) FormatErrorFmt(gesStreamReadError, {kPPM});

  TColorManager& colors = ColorManager();
  if (bitmap) {
    SetPixelFormat(pf1bit);
    colors.SetTargetSamplesPerPixel(1);
    colors.SetTargetBitsPerSample(1);
  } else if (samplesPerPixel == 1) {
    SetPixelFormat(pf8bit);
    colors.SetTargetSamplesPerPixel(1);
    colors.SetTargetBitsPerSample(8);
  } else {
    SetPixelFormat(pf24bit);
  }
  SetSize(width, height);
  if (samplesPerPixel == 1) SetPalette(colors.CreateGrayscalePalette(bitmap));

  if (bitmap)
    ReadBitmapRows(text);
  else
    ReadSampleRows(text, samplesPerPixel);
  ProgressEnding();
}

void TPPMGraphic::ReadBitmapRows(bool text) {
  const auto height = static_cast<int>(FHeader.Height);
  const size_t width = FHeader.Width;
  const size_t rowBytes = (width + 7) / 8;
  for (int y = 0; y < height; ++y) {
    uint8_t* row = ScanLine(y);
    if (text) {
      unsigned bits = 0;
      for (size_t x = 0; x < width; ++x) {
        bits = (bits << 1) | GetBit();
        if (x % 8 == 7) {
          row[x / 8] = static_cast<uint8_t>(bits);
          bits = 0;
        }
      }
      if (width % 8 != 0) row[width / 8] = static_cast<uint8_t>(bits << (8 - width % 8));
    } else {
      ReadData(row, rowBytes);
    }
    ProgressRow(y, height);
  }
}

void TPPMGraphic::ReadSampleRows(bool text, size_t samplesPerPixel) {
  const auto height = static_cast<int>(FHeader.Height);
  const size_t width = FHeader.Width;
  const uint32_t maxValue = FHeader.MaxValue;
  const size_t sampleBytes = maxValue > 255 ? 2 : 1;
  // Every possible value scaled to 0..255, rounded.
  std::vector<uint8_t> scaled(size_t{maxValue} + 1);
  for (uint32_t v = 0; v <= maxValue; ++v)
    scaled[v] = static_cast<uint8_t>((v * 255u + maxValue / 2) / maxValue);

  const size_t samples = width * samplesPerPixel;
  std::vector<uint8_t> raw(text ? 0 : samples * sampleBytes);
  size_t next = 0;  // next sample of `raw`
  const auto sample = [&]() -> uint8_t {
    uint32_t value;
    if (text) {
      value = GetNumber();
    } else if (sampleBytes == 2) {
      value = BigEndian16(raw, next);
      next += 2;
    } else {
      value = raw[next++];
    }
    if (value > maxValue) throw ERangeError(SRangeError);
    return scaled[value];
  };

  for (int y = 0; y < height; ++y) {
    if (!text) {
      ReadData(raw.data(), raw.size());
      next = 0;
    }
    uint8_t* row = ScanLine(y);
    if (samplesPerPixel == 1) {
      for (size_t x = 0; x < width; ++x) row[x] = sample();
    } else {
      for (size_t x = 0; x < width; ++x, row += 3) {
        row[2] = sample();
        row[1] = sample();
        row[0] = sample();
      }
    }
    ProgressRow(y, height);
  }
}
