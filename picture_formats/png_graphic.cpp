// The PNG reader's probe, header reader and chunk loop.

#include "picture_formats/png_graphic.h"

#include <array>
#include <limits>

#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"

namespace {

constexpr const char* kPNG = "PNG";
// Widths and heights above 2^31 - 1 are not allowed by the PNG standard.
constexpr uint32_t kMaxDimension = 0x7FFFFFFF;

}  // namespace

TPNGGraphic::TPNGGraphic() = default;

TPNGGraphic::~TPNGGraphic() = default;

bool TPNGGraphic::CanLoad(TStream& stream) {
  TStreamPositionGuard guard(stream);
  if (BytesLeft(stream) <= static_cast<int64_t>(PNGSignature.size())) return false;
  std::array<uint8_t, PNGSignature.size()> signature{};
  return stream.Read(signature.data(), signature.size()) == static_cast<int64_t>(signature.size()) &&
         signature == PNGSignature;
}

bool TPNGGraphic::ReadImageProperties(TStream& stream, uint32_t imageIndex) {
  TFormatGraphic::ReadImageProperties(stream, imageIndex);
  Stream = &stream;
  TImageProperties& properties = ImageProperties();

  std::array<uint8_t, PNGSignature.size()> signature{};
  stream.ReadBuffer(signature.data(), signature.size());
  if (signature != PNGSignature) return false;

  ReadChunkHeader();
  if (!IsChunk(ChunkIHDR) || FChunkLength != 13) return false;
  properties.HeaderFlags |= hfBigEndian;
  ReadChunkData();
  ReadHeaderRecord();
  if (FHeader.Width == 0 || FHeader.Height == 0) return false;
  if (FHeader.Width > kMaxDimension || FHeader.Height > kMaxDimension) return false;

  properties.Width = FHeader.Width;
  properties.Height = FHeader.Height;
  properties.Compression = FHeader.CompressionMethod == 0 ? ctDeflate : ctUnknown;
  properties.BitsPerSample = FHeader.BitDepth;
  properties.SamplesPerPixel = 1;
  switch (FHeader.ColorType) {
    case 0:
      properties.ColorScheme = scGray;
      break;
    case 2:
      properties.ColorScheme = scRGB;
      properties.SamplesPerPixel = 3;
      break;
    case 3:
      properties.ColorScheme = scIndexed;
      break;
    case 4:
      properties.ColorScheme = scGrayAlpha;
      break;
    case 6:
      properties.ColorScheme = scRGBA;
      properties.SamplesPerPixel = 4;
      break;
    default:
      properties.ColorScheme = scUnknown;
      break;
  }
  // No PNG colour layout comes near 255 bits per pixel; a header claiming more is damaged, and the
  // colour-format message says so more plainly than a bare range error.
  const unsigned bitsPerPixel = unsigned{properties.SamplesPerPixel} * properties.BitsPerSample;
  if (bitsPerPixel > std::numeric_limits<uint8_t>::max()) FormatErrorFmt(gesInvalidColorFormat, {kPNG});
  properties.BitsPerPixel = static_cast<uint8_t>(bitsPerPixel);
  properties.PNGFilterMethod = FHeader.FilterMethod;
  properties.Interlaced = FHeader.InterlaceMethod != 0;
  properties.HasAlpha = properties.ColorScheme == scGrayAlpha || properties.ColorScheme == scRGBA ||
                        properties.ColorScheme == scBGRA;

  // The file gamma: the first gAMA chunk, unless IEND comes first.
  for (;;) {
    ReadChunkHeader();
    if (IsChunk(ChunkgAMA)) {
      if (const auto gamma = ReadGammaValue()) properties.FileGamma = *gamma;
      break;
    }
    if (IsChunk(ChunkIEND)) break;
    SkipChunk();
  }
  return true;
}

void TPNGGraphic::ReleaseLoadState() {
  FDecoder.reset();
  FRawBuffer = {};
  FCurrentInput = {};
}

void TPNGGraphic::LoadFromStream(TStream& stream) {
  ReleaseHandle();
  BasePosition = stream.Position();
  ReleaseLoadState();
  // The decoder and the chunk buffer go on every way out of the load.
  struct TLoadStateGuard {
    TPNGGraphic& Reader;
    ~TLoadStateGuard() { Reader.ReleaseLoadState(); }
  } loadStateGuard{*this};

  if (!ReadImageProperties(stream, 0)) FormatErrorFmt(gesInvalidImage, {kPNG});
  stream.SetPosition(BasePosition + static_cast<int64_t>(PNGSignature.size()));
  ProgressRect = Rect(0, 0, static_cast<int32_t>(FHeader.Width), 1);
  ProgressStarting(gesPreparing);

  FPalette = nullptr;
  // Transparency belongs to the file being loaded, not to one loaded before it.
  SetTransparent(false);
  FTransparentColor = NoTransparentColor;
  FBackgroundColor = clWhite;
  FColorDepthSet = false;
  FImageDataLoaded = false;

  ReadChunkHeader();
  ReadChunkData();
  ReadHeaderRecord();
  // 16-bit PNG samples are big-endian. The target options and depths start afresh for every load, so
  // that neither the gamma of an earlier file nor its depths (on which the gamma table depends) stay.
  TColorManager& colors = ColorManager();
  colors.SetSourceOptions(optSwap16);
  colors.SetTargetOptions(0);
  colors.SetSourceBitsPerSample(8);
  colors.SetTargetBitsPerSample(8);

  if (ImageProperties().Compression != ctDeflate)
    FormatErrorFmt(gesUnsupportedFeature, {gesCompressionScheme, kPNG});
  FDecoder = std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, false);
  FDecoder->DecodeInit();

  bool ended = false;
  while (!ended) {
    ReadChunkHeader();
    if (IsChunk(ChunkIDAT)) {
      // The image data come as one run of IDAT chunks; a later run is data left after the picture.
      if (FImageDataLoaded) FormatErrorFmt(gesExtraCompressedData, {kPNG});
      ProgressEnding();
      LoadIDAT();
      // LoadIDAT leaves the header of the first chunk after the image data current.
      ended = PassOverChunk();
    } else if (IsChunk(ChunkPLTE)) {
      ReadPalette();
    } else if (IsChunk(ChunkgAMA)) {
      ReadGamma();
    } else if (IsChunk(ChunkbKGD)) {
      ReadBackground();
    } else if (IsChunk(ChunktRNS)) {
      ReadTransparency();
    } else {
      ended = PassOverChunk();
    }
  }
  // A file without image data has no picture to give.
  if (!FImageDataLoaded) FormatErrorFmt(gesInvalidImage, {kPNG});

  FDecoder->DecodeEnd();
  ReleaseLoadState();
  ProgressEnding();
}
