// The PNG reader's image data: colour set-up, inflating the IDAT chunks row by row, undoing the
// filters, Adam7 passes, and converting rows into the bitmap.

#include <algorithm>
#include <limits>

#include "picture_formats/color_types.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "picture_formats/png_graphic.h"
#include "toolkit/graphics/canvas.h"

namespace {

constexpr const char* kPNG = "PNG";
// Neither a row buffer nor the bitmap may need more bytes than this: the decoder counts in 32-bit
// signed sizes, and larger pictures are beyond what the program can work with.
constexpr uint64_t kMaxBufferBytes = std::numeric_limits<int32_t>::max();

struct TAdam7Pass {
  uint32_t StartRow;
  uint32_t StartColumn;
  uint32_t RowStep;
  uint32_t ColumnStep;
  uint8_t Mask;  // the columns of each group of 8 the pass holds, first column in bit 7
};

constexpr TAdam7Pass kAdam7Passes[7] = {
    {0, 0, 8, 8, 0x80}, {0, 4, 8, 8, 0x08}, {4, 0, 8, 4, 0x88}, {0, 2, 4, 4, 0x22},
    {2, 0, 4, 2, 0xAA}, {0, 1, 2, 2, 0x55}, {1, 0, 2, 1, 0xFF},
};

}  // namespace

uint32_t TPNGGraphic::SetupColorDepth(uint8_t colorType, uint8_t bitDepth) {
  TColorManager& colors = ColorManager();
  const auto invalid = [] { FormatErrorFmt(gesInvalidColorFormat, {kPNG}); };
  const auto depthIn = [&](std::initializer_list<uint8_t> allowed) {
    if (std::find(allowed.begin(), allowed.end(), bitDepth) == allowed.end()) invalid();
  };
  const auto setup = [&](TColorScheme sourceScheme, uint8_t sourceSamples, TColorScheme targetScheme,
                         uint8_t targetSamples, uint8_t targetBits) {
    colors.SetSourceColorScheme(sourceScheme);
    colors.SetSourceSamplesPerPixel(sourceSamples);
    colors.SetSourceBitsPerSample(bitDepth);
    colors.SetTargetColorScheme(targetScheme);
    colors.SetTargetSamplesPerPixel(targetSamples);
    colors.SetTargetBitsPerSample(targetBits);
    SetPixelFormat(colors.GetPixelFormat(1));
  };

  switch (colorType) {
    case 0:
      depthIn({1, 2, 4, 8, 16});
      setup(scGray, 1, scGray, 1, bitDepth == 2 ? 4 : bitDepth == 16 ? 8 : bitDepth);
      FPalette = colors.CreateGrayscalePalette(false);
      return (bitDepth + 7) / 8;
    case 2:
      depthIn({8, 16});
      setup(scRGB, 3, scBGR, 3, 8);
      return 3 * bitDepth / 8;
    case 3:
      depthIn({1, 2, 4, 8});
      setup(scIndexed, 1, scIndexed, 1, bitDepth == 2 ? 4 : bitDepth);
      return 1;
    case 4:
      depthIn({8, 16});
      setup(scGrayAlpha, 1, scIndexed, 1, 8);
      FPalette = colors.CreateGrayscalePalette(false);
      return 2 * bitDepth / 8;
    case 6:
      depthIn({8, 16});
      setup(scRGBA, 4, scBGRA, 4, 8);
      return 4 * bitDepth / 8;
    default:
      invalid();
      return 0;
  }
}

void TPNGGraphic::LoadIDAT() {
  ProgressStarting(gesTransfering);
  if (!FColorDepthSet) {
    FBytesPerPixel = SetupColorDepth(FHeader.ColorType, FHeader.BitDepth);
    FColorDepthSet = true;
  }

  const uint32_t width = FHeader.Width;
  const uint32_t height = FHeader.Height;
  const uint64_t samplesFactor = FHeader.BitDepth == 16 ? FBytesPerPixel / 2 : FBytesPerPixel;
  // Bytes of a row of `pixels` pixels after its filter byte.
  const auto rowBytes = [&](uint64_t pixels) { return (pixels * FHeader.BitDepth + 7) / 8 * samplesFactor; };
  const uint64_t fullRow = rowBytes(width) + 1;
  const uint64_t bitmapStride = (uint64_t{width} * static_cast<unsigned>(BitsPerPixel()) + 31) / 32 * 4;
  if (fullRow > kMaxBufferBytes || bitmapStride * height > kMaxBufferBytes)
    FormatErrorFmt(gesInvalidImage, {kPNG});
  // An indexed picture takes its colours from the PLTE chunk before the image data; none may be made up.
  if (FHeader.ColorType == 3 && !FPalette) FormatErrorFmt(gesInvalidPalette, {kPNG});
  // The rows (filter bytes left aside) must be able to come from the image data before the bitmap is
  // made.
  RequireRowData(ImageDataBytes(), kDeflateMaxExpansion, rowBytes(width), height, kPNG, kPNG);

  if (FPalette) SetPalette(FPalette);
  SetSize(static_cast<int>(width), static_cast<int>(height));
  Canvas().Brush.Color = FBackgroundColor;
  Canvas().FillRect(Rect(0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)));
  if (FTransparentColor != NoTransparentColor) SetTransparent(true);

  // Two zero-filled rows alternate as the current and the previous one. A row the image data do not
  // give in full ends the picture: the rows after it keep the background, and the picture says so.
  std::vector<uint8_t> current(fullRow), previous(fullRow);
  const auto readRow = [&](size_t size, int row, uint32_t count, uint8_t mask) {
    const std::span<uint8_t> buffer(current.data(), size);
    if (!ReadIDATData(buffer)) {
      SetDataEndedEarly(true);
      return false;
    }
    const std::span<uint8_t> data = buffer.subspan(1);
    ApplyFilter(buffer[0], data, std::span<const uint8_t>(previous.data() + 1, data.size()), FBytesPerPixel);
    ColorManager().ConvertRow({data}, ScanLineBytes(row), count, mask);
    std::swap(current, previous);
    return true;
  };

  if (FHeader.InterlaceMethod == 1) {
    for (size_t pass = 0; pass < std::size(kAdam7Passes) && !DataEndedEarly(); ++pass) {
      const TAdam7Pass& p = kAdam7Passes[pass];
      if (width <= p.StartColumn) continue;
      const uint32_t passWidth = (width + p.ColumnStep - 1 - p.StartColumn) / p.ColumnStep;
      const size_t size = static_cast<size_t>(rowBytes(passWidth) + 1);
      std::fill(previous.begin(), previous.end(), uint8_t{0});
      for (uint32_t y = p.StartRow; y < height; y += p.RowStep) {
        if (!readRow(size, static_cast<int>(y), width, p.Mask)) break;
        if (pass == std::size(kAdam7Passes) - 1)
          ProgressRow(static_cast<int>(std::min<uint64_t>(uint64_t{y} + p.RowStep, height)),
                      static_cast<int>(height));
      }
    }
  } else {
    for (uint32_t y = 0; y < height; ++y) {
      if (!readRow(static_cast<size_t>(fullRow), static_cast<int>(y), width, 0xFF)) break;
      ProgressRow(static_cast<int>(y), static_cast<int>(height));
    }
  }
  FImageDataLoaded = true;

  // IDAT chunks left after the picture are checked and passed over.
  FCurrentInput = {};
  while (IsChunk(ChunkIDAT)) {
    ReadChunkData();
    ReadChunkHeader();
  }
}

bool TPNGGraphic::ReadIDATData(std::span<uint8_t> target) {
  TTargetCursor output(target);
  while (output.Remaining() > 0) {
    // The compressed stream has ended with rows still missing.
    if (FDecoder->Status() == Z_STREAM_END) return false;
    while (FCurrentInput.Remaining() == 0) {
      // The image data end before the picture does: no rows are made up from nothing.
      if (!IsChunk(ChunkIDAT)) return false;
      ReadChunkData();
      FCurrentInput = TSourceCursor(ChunkData());
      ReadChunkHeader();
    }
    FDecoder->Decode(FCurrentInput, output, static_cast<int32_t>(FCurrentInput.Remaining()),
                     static_cast<int32_t>(output.Remaining()));
    switch (FDecoder->Status()) {
      case Z_OK:
        break;
      case Z_STREAM_END:
        if (output.Remaining() > 0) return false;
        if (FCurrentInput.Remaining() > 0) FormatErrorFmt(gesExtraCompressedData, {kPNG});
        return true;
      default:
        CompressionError(gesLZ77Error);
    }
  }
  return true;
}
