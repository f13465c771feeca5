// The TIFF reader's loader: what it refuses, the colour set-up, the decoders and the strips.

#include "picture_formats/tiff_graphic.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

#include "picture_formats/decoder_ccitt.h"
#include "picture_formats/decoder_lz77.h"
#include "picture_formats/decoder_lzw.h"
#include "picture_formats/decoder_thunder.h"
#include "picture_formats/decoder_tiff_jpeg.h"
#include "picture_formats/decoders_rle.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "picture_formats/tiff_tags.h"

namespace {

// ColorMapData's room: three planes of 256 values and a little more.
constexpr uint32_t kMaxColorMapValues = 788;
// T4Options bits.
constexpr uint32_t kT4TwoDimensional = 0x01;
constexpr uint32_t kT4Uncompressed = 0x02;
// Strips and rows are handed to the decoders with 32-bit signed sizes.
constexpr uint64_t kMaxBufferBytes = std::numeric_limits<int32_t>::max();

// Feature phrases for "Cannot load image. %s not supported for %s files.".
constexpr const char* kTiledImages = "Tiled images are";
constexpr const char* kSeparatePlanes = "Separate color planes are";
constexpr const char* kTwoDimensionalFax = "Two-dimensional fax coding is";
constexpr const char* kUncompressedFax = "Uncompressed fax mode is";
constexpr const char* kYCbCrSubsampling = "YCbCr subsampling is";
constexpr const char* kLab16 = "16-bit CIE L*a*b* samples are";

[[noreturn]] void Unsupported(const char* feature) {
  FormatErrorFmt(gesUnsupportedFeature, {feature, kTIFFName});
}

[[noreturn]] void Invalid() {
  FormatErrorFmt(gesInvalidImage, {kTIFFName});
}

// Samples a pixel needs at least for its colour scheme.
uint8_t SamplesNeeded(TColorScheme scheme) {
  switch (scheme) {
    case scRGB:
    case scRGBA:
    case scYCbCr:
    case scCIELab:
      return 3;
    case scCMYK:
      return 4;
    default:
      return 1;
  }
}

// Target depth of gray and palette pictures: one the bitmap has a pixel format for.
uint8_t IndexedTargetBits(uint8_t bits) {
  return bits <= 1 ? 1 : bits <= 4 ? 4 : 8;
}

}  // namespace

void TTIFFGraphic::LoadFromStream(TStream& stream) {
  ReleaseHandle();
  BasePosition = stream.Position();
  Stream = &stream;
  if (!ReadImageProperties(stream, 0)) Invalid();
  CheckSupported();
  const std::vector<TStrip> strips = ReadStrips();

  TImageProperties& properties = ImageProperties();
  ProgressRect = Rect(0, 0, 0, 1);
  ProgressStarting(gesPreparing);
  SetupColors();
  const uint64_t bytesPerLine = (uint64_t{properties.BitsPerPixel} * properties.Width + 7) / 8;
  if (bytesPerLine > kMaxBufferBytes) Invalid();
  properties.BytesPerLine = static_cast<uint32_t>(bytesPerLine);
  SetSize(static_cast<int>(properties.Width), static_cast<int>(properties.Height));
  ProgressRect.Right = static_cast<int32_t>(properties.Width);
  SetupPalette();

  const std::unique_ptr<TDecoder> decoder = CreateDecoder();
  if (decoder) decoder->DecodeInit();
  ProgressEnding();
  ProgressStarting(gesTransfering);
  try {
    LoadStrips(strips, decoder.get());
  } catch (...) {
    ProgressEnding();
    try {
      if (decoder) decoder->DecodeEnd();
    } catch (...) {
      // The failure that stopped the strips is the one to report.
    }
    throw;
  }
  ProgressEnding();
  if (decoder) decoder->DecodeEnd();
}

void TTIFFGraphic::CheckSupported() {
  const TImageProperties& properties = ImageProperties();
  if (properties.HeaderFlags & hfTiled) Unsupported(kTiledImages);
  if (properties.PlanarConfiguration == 2 && properties.SamplesPerPixel > 1) Unsupported(kSeparatePlanes);

  const uint8_t compression = properties.Compression;
  switch (compression) {
    case ctNone:
    case ctPackBits:
    case ctLZW:
    case ctDeflate:
    case ctJPEG:
      break;
    case ctCCITTFax3:
    case ctCCITTModifiedHuffman:
    case ctCCITTModifiedHuffmanW:
    case ctThunderscan: {
      // The fax decoders write bilevel rows, the ThunderScan decoder 4-bit ones.
      const uint8_t bits = compression == ctThunderscan ? 4 : 1;
      if (properties.BitsPerSample != bits || properties.SamplesPerPixel != 1) Invalid();
      break;
    }
    default:
      Unsupported(gesCompressionScheme);
  }
  if (compression == ctCCITTFax3) {
    const uint32_t options = GetValue(tagT4Options, 0);
    if (options & kT4TwoDimensional) Unsupported(kTwoDimensionalFax);
    if (options & kT4Uncompressed) Unsupported(kUncompressedFax);
  }

  // Fewer samples than the colour scheme needs would have the converters read past the rows; gray
  // and palette pictures may carry one extra sample, which is passed over.
  const TColorScheme scheme = properties.ColorScheme;
  const uint8_t samples = properties.SamplesPerPixel;
  if (samples < SamplesNeeded(scheme)) Invalid();
  if ((scheme == scGray || scheme == scIndexed) && samples > 2) Invalid();
  if ((scheme == scYCbCr || scheme == scCIELab) && samples > 3) Invalid();
  if (scheme == scYCbCr && compression != ctJPEG &&
      (properties.YCbCrSubsampling[0] != 1 || properties.YCbCrSubsampling[1] != 1))
    Unsupported(kYCbCrSubsampling);
  if (scheme == scCIELab && properties.BitsPerSample == 16) Unsupported(kLab16);
}

std::vector<TTIFFGraphic::TStrip> TTIFFGraphic::ReadStrips() {
  const std::vector<uint32_t> offsets = GetCardinalList(tagStripOffsets);
  const std::vector<uint32_t> byteCounts = GetCardinalList(tagStripByteCounts);
  if (offsets.empty() || byteCounts.size() < offsets.size()) Invalid();
  const int64_t available = std::max<int64_t>(Stream->Size() - BasePosition, 0);
  std::vector<TStrip> strips(offsets.size());
  for (size_t i = 0; i < offsets.size(); ++i) {
    if (byteCounts[i] > kMaxBufferBytes || int64_t{offsets[i]} + byteCounts[i] > available) Invalid();
    strips[i] = {offsets[i], byteCounts[i]};
  }
  return strips;
}

void TTIFFGraphic::SetupColors() {
  const TImageProperties& properties = ImageProperties();
  TColorManager& colors = ColorManager();
  const uint8_t samples = properties.SamplesPerPixel;
  const uint8_t bits = properties.BitsPerSample;
  TColorScheme source = properties.ColorScheme;
  // The JPEG decoder delivers three-component pictures blue, green, red.
  if (properties.Compression == ctJPEG && samples == 3 && (source == scRGB || source == scYCbCr))
    source = scBGR;

  TColorScheme target = source;
  uint8_t targetSamples = samples;
  uint8_t targetBits = 8;
  switch (source) {
    case scGray:
    case scIndexed:
      if (samples == 2) source = scGrayAlpha;  // the converter steps over the extra sample
      targetSamples = 1;
      targetBits = IndexedTargetBits(bits);
      break;
    case scRGB:
    case scBGR:
    case scCMYK:
    case scCIELab:
    case scYCbCr:
      target = scBGR;
      targetSamples = 3;
      break;
    case scRGBA:
      target = scBGRA;
      targetSamples = 4;
      break;
    default:
      targetBits = bits;
      break;
  }

  colors.SetSourceOptions(static_cast<TConvertFlags>(
      ((properties.HeaderFlags & hfBigEndian) ? optSwap16 : 0) | (source == scCIELab ? optLScaled : 0)));
  colors.SetTargetOptions(0);
  colors.SetSourceBitsPerSample(bits);
  colors.SetTargetBitsPerSample(targetBits);
  colors.SetSourceSamplesPerPixel(samples);
  colors.SetTargetSamplesPerPixel(targetSamples);
  colors.SetSourceColorScheme(source);
  colors.SetTargetColorScheme(target);
  const TPixelFormat format = colors.GetPixelFormat(1);
  if (format == pfCustom) throw EColorConversionError(gesColorConversion);
  SetPixelFormat(format);
}

void TTIFFGraphic::SetupPalette() {
  const TImageProperties& properties = ImageProperties();
  TColorManager& colors = ColorManager();
  FColorMapData.clear();
  if (colors.TargetColorScheme() == scIndexed) {
    size_t index = 0;
    if (!FindTag(tagColorMap, index) || FIFDEntries[index].DataLength == 0) return;
    const TIFFEntry entry = FIFDEntries[index];
    if (entry.DataType != ttShort || entry.DataLength > kMaxColorMapValues) Invalid();
    FColorMapData = EntryBytes(entry);
    // Three planes of 16-bit values, red, green and blue, in the file's byte order (the colour manager
    // swaps them for big-endian files).
    const size_t plane = entry.DataLength / 3 * 2;
    const std::span<const uint8_t> data(FColorMapData);
    SetPalette(colors.CreateColorPalette(
        {data.subspan(0, plane), data.subspan(plane, plane), data.subspan(2 * plane, plane)}, plPlanar16,
        entry.DataLength / 3, false));
  } else if (colors.TargetColorScheme() == scGray) {
    SetPalette(colors.CreateGrayscalePalette((properties.HeaderFlags & hfMinIsWhite) != 0));
  } else if (colors.SourceColorScheme() == scYCbCr) {
    colors.SetYCbCrParameters(FYCbCrCoefficients, properties.YCbCrSubsampling[0],
                              properties.YCbCrSubsampling[1]);
  }
}

std::unique_ptr<TDecoder> TTIFFGraphic::CreateDecoder() {
  TImageProperties& properties = ImageProperties();
  const bool reversedBits = (properties.HeaderFlags & hfReversedBits) != 0;
  switch (properties.Compression) {
    case ctPackBits:
      return std::make_unique<TPackbitsRLEDecoder>();
    case ctLZW:
      return std::make_unique<TTIFFLZWDecoder>();
    case ctCCITTFax3:
      return std::make_unique<TCCITTFax3Decoder>(GetValue(tagT4Options, 0), reversedBits, false,
                                                 properties.Width);
    case ctCCITTModifiedHuffman:
    case ctCCITTModifiedHuffmanW:
      return std::make_unique<TCCITTMHDecoder>(GetValue(tagT4Options, 0), reversedBits,
                                               properties.Compression == ctCCITTModifiedHuffmanW,
                                               properties.Width);
    case ctDeflate:
      return std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, true);
    case ctJPEG:
      properties.JPEGTables = GetByteList(tagJPEGTables);
      return std::make_unique<TTIFFJPEGDecoder>(properties);
    case ctThunderscan:
      return std::make_unique<TThunderDecoder>(properties.Width);
    default:
      return nullptr;
  }
}

void TTIFFGraphic::LoadStrips(const std::vector<TStrip>& strips, TDecoder* decoder) {
  TImageProperties& properties = ImageProperties();
  const uint32_t height = properties.Height;
  const size_t bytesPerLine = properties.BytesPerLine;
  const std::vector<uint32_t> rowsPerStrip = properties.RowsPerStrip;
  properties.CurrentRow = 0;
  properties.StripCount = static_cast<uint32_t>(strips.size());
  std::vector<uint8_t> packed;
  for (size_t i = 0; i < strips.size() && properties.CurrentRow < height; ++i) {
    // A RowsPerStrip list shorter than the strips repeats its last value; no strip reaches past the
    // picture, however many rows it claims.
    const uint32_t rows =
        std::min(rowsPerStrip[std::min(i, rowsPerStrip.size() - 1)], height - properties.CurrentRow);
    if (rows == 0) continue;
    const uint64_t stripSize = uint64_t{rows} * bytesPerLine;
    if (stripSize > kMaxBufferBytes) Invalid();
    std::vector<uint8_t> strip = ZeroedBuffer(stripSize);
    properties.CurrentStrip = static_cast<uint32_t>(i);
    Stream->SetPosition(BasePosition + strips[i].Offset);
    if (decoder) {
      packed.resize(strips[i].ByteCount);
      packed.resize(static_cast<size_t>(Stream->Read(packed.data(), static_cast<int64_t>(packed.size()))));
      TSourceCursor source{std::span<const uint8_t>(packed)};
      TTargetCursor target{std::span<uint8_t>(strip)};
      decoder->Decode(source, target, static_cast<int32_t>(packed.size()), static_cast<int32_t>(stripSize));
    } else {
      Stream->Read(strip.data(), static_cast<int64_t>(std::min<uint64_t>(strips[i].ByteCount, stripSize)));
    }
    for (uint32_t row = 0; row < rows; ++row) {
      const std::span<uint8_t> data(strip.data() + row * bytesPerLine, bytesPerLine);
      UndoPredictor(data);
      ColorManager().ConvertRow({data}, ScanLineBytes(static_cast<int>(properties.CurrentRow)),
                                properties.Width, 0xFF);
      ++properties.CurrentRow;
      ProgressRow(static_cast<int>(properties.CurrentRow), static_cast<int>(height));
    }
  }
}

// Horizontal differencing is undone sample by sample, each sample adding the same sample of the pixel
// before it; 16-bit samples in the file's byte order. Other depths have no meaningful differences here
// and are left as they are.
void TTIFFGraphic::UndoPredictor(std::span<uint8_t> row) const {
  const TImageProperties& properties = ImageProperties();
  if (properties.Predictor != 2 || (properties.Compression != ctLZW && properties.Compression != ctDeflate))
    return;
  const size_t distance = properties.SamplesPerPixel;
  const size_t samples = size_t{properties.Width} * distance;
  if (properties.BitsPerSample == 8) {
    uint8_t* bytes = row.data();
    for (size_t i = distance; i < samples; ++i)
      bytes[i] = static_cast<uint8_t>(bytes[i] + bytes[i - distance]);
  } else if (properties.BitsPerSample == 16) {
    uint8_t* bytes = row.data();
    const bool bigEndian = (properties.HeaderFlags & hfBigEndian) != 0;
    const size_t high = bigEndian ? 0 : 1, low = 1 - high;
    for (size_t i = distance; i < samples; ++i) {
      uint8_t* value = bytes + 2 * i;
      const uint8_t* before = value - 2 * distance;
      const auto sum =
          static_cast<uint16_t>(((value[high] << 8) | value[low]) + ((before[high] << 8) | before[low]));
      value[high] = static_cast<uint8_t>(sum >> 8);
      value[low] = static_cast<uint8_t>(sum);
    }
  }
}
