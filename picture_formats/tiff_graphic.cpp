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
#include "picture_formats/jpeg_exception.h"
#include "picture_formats/tiff_tags.h"
#include "toolkit/core/format.h"

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
// With the depth in front: "12-bit palette indices are".
constexpr const char* kSamplesOfDepth = "samples are";
constexpr const char* kPaletteIndicesOfDepth = "palette indices are";
constexpr const char* kPaletteIndicesWithExtraSample = "palette indices with an extra sample are";
constexpr const char* kYCbCrOfDepth = "YCbCr samples are";
constexpr const char* kLabOfDepth = "CIE L*a*b* samples are";
constexpr const char* kCCITTGroup4 = "CCITT group 4 fax compression is";
constexpr const char* kOldStyleJPEG = "Old-style JPEG compression is";
constexpr const char* kSignedSamples = "Signed samples are";
constexpr const char* kFloatingPointSamples = "Floating-point samples are";
constexpr const char* kComplexSamples = "Complex samples are";

// SampleFormat values (TIFF 6.0 and its supplements): unsigned integers, signed integers, IEEE floating
// point, undefined (read as unsigned, as TIFF readers do), complex integers and complex floating point.
enum TSampleFormat : uint32_t {
  sfUnsigned = 1,
  sfSigned = 2,
  sfFloatingPoint = 3,
  sfUndefined = 4,
  sfComplexInteger = 5,
  sfComplexFloatingPoint = 6,
};

[[noreturn]] void Unsupported(const char* feature) {
  FormatErrorFmt(gesUnsupportedFeature, {feature, kTIFFName});
}

[[noreturn]] void UnsupportedDepth(unsigned bits, const char* feature) {
  Unsupported((std::to_string(bits) + "-bit " + feature).c_str());
}

[[noreturn]] void Invalid() {
  FormatErrorFmt(gesInvalidImage, {kTIFFName});
}

// The most bytes of rows one packed byte can give in each scheme, for the check of what a header
// promises against the data the file holds (each derived beside its decoder); stored rows give one.
uint64_t MaxExpansion(uint8_t compression) {
  switch (compression) {
    case ctPackBits:
      return kByteRunMaxExpansion;
    case ctLZW:
      return kTIFFLZWMaxExpansion;
    case ctDeflate:
      return kDeflateMaxExpansion;
    case ctCCITTFax3:
    case ctCCITTModifiedHuffman:
    case ctCCITTModifiedHuffmanW:
      return kCCITTMaxExpansion;
    case ctThunderscan:
      return kThunderMaxExpansion;
    case ctJPEG:
      return kTIFFJPEGMaxExpansion;
    default:
      return 1;
  }
}

// The most packed bytes a strip of `rows` rows and `stripBytes` bytes can need from any sane encoder
// (with room to spare); a strip's decoder is given no more, so that strips whose byte counts reach over
// one shared block cost what their rows cost, not the block:
//   PackBits 2n: a row of one byte takes two;   LZW 3n: 12-bit codes of one byte each, and clear codes;
//   deflate 2n and 16 bytes a row: stored blocks and a flush per row;   ThunderScan 2n: a byte a pixel;
//   CCITT fax 5n and 96 bytes a row: runs of one pixel cost 4.5 bits, and an end-of-line code with
//   fill bits for a fax line's minimum transmission time;   JPEG 8 bytes per sample of whole 32 x 32
//   blocks: 27 bits per coefficient at worst, doubled by byte stuffing, and kJpegMarkerBytes of tables
//   and markers.
// Every scheme gets 64 bytes more per strip.
constexpr uint64_t kJpegMarkerBytes = 16384;
uint64_t PackedLimit(uint8_t compression, uint64_t stripBytes, uint64_t rows, const TImageProperties& image) {
  constexpr uint64_t kSlack = 64;
  switch (compression) {
    case ctPackBits:
      return 2 * stripBytes + kSlack;
    case ctLZW:
      return 3 * stripBytes + kSlack;
    case ctDeflate:
      return 2 * stripBytes + 16 * rows + kSlack;
    case ctThunderscan:
      return 2 * stripBytes + 2 * rows + kSlack;
    case ctCCITTFax3:
    case ctCCITTModifiedHuffman:
    case ctCCITTModifiedHuffmanW:
      return 5 * stripBytes + 96 * rows + kSlack;
    case ctJPEG: {
      const auto whole = [](uint64_t value) { return (value + 31) / 32 * 32; };
      return 8 * whole(image.Width) * whole(rows) * image.SamplesPerPixel + kJpegMarkerBytes + kSlack;
    }
    default:
      return stripBytes;
  }
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
  TImageProperties& properties = ImageProperties();
  const uint64_t bytesPerLine = (uint64_t{properties.BitsPerPixel} * properties.Width + 7) / 8;
  if (bytesPerLine > kMaxBufferBytes) Invalid();
  properties.BytesPerLine = static_cast<uint32_t>(bytesPerLine);
  const std::vector<TTIFFStrip> strips = PlanStrips(ReadStrips());

  ProgressRect = Rect(0, 0, 0, 1);
  ProgressStarting(gesPreparing);
  SetupColors();
  SetSize(static_cast<int>(properties.Width), static_cast<int>(properties.Height));
  ProgressRect.Right = static_cast<int32_t>(properties.Width);
  SetupPalette();

  const std::unique_ptr<TDecoder> decoder = CreateDecoder();
  if (decoder) decoder->DecodeInit();
  ProgressEnding();
  ProgressStarting(gesTransfering);
  uint64_t filled = 0;
  try {
    filled = LoadStrips(strips, decoder.get());
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
  // Data that gave no row at all hold no picture; what data that ended early held is in the picture
  // and the rest black: a picture, but not the file's whole one.
  if (filled == 0) Invalid();
  SetDataEndedEarly(filled < uint64_t{properties.Height} * properties.BytesPerLine);
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
    case ctCCITTFax4:
      Unsupported(kCCITTGroup4);
    case ctOldJPEG:
      Unsupported(kOldStyleJPEG);
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
  if (scheme == scUnknown) FormatErrorFmt(gesInvalidColorFormat, {kTIFFName});
  if (samples < SamplesNeeded(scheme)) Invalid();
  if (samples > 4) Unsupported((std::to_string(samples) + " samples per pixel are").c_str());
  if ((scheme == scGray || scheme == scIndexed) && samples > 2) Invalid();
  if ((scheme == scYCbCr || scheme == scCIELab) && samples > 3) Invalid();
  if (scheme == scYCbCr && compression != ctJPEG &&
      (properties.YCbCrSubsampling[0] != 1 || properties.YCbCrSubsampling[1] != 1))
    Unsupported(kYCbCrSubsampling);

  // Every sample is read as an unsigned level: signed and floating-point samples would pass for wrong
  // levels (a float TIFF for an almost black picture).
  for (const uint32_t format : GetCardinalList(tagSampleFormat)) {
    if (format == sfSigned) Unsupported(kSignedSamples);
    if (format == sfFloatingPoint) Unsupported(kFloatingPointSamples);
    if (format == sfComplexInteger || format == sfComplexFloatingPoint) Unsupported(kComplexSamples);
    if (format != sfUnsigned && format != sfUndefined) Invalid();
  }

  // Depths: 8 and 16 bits convert as they stand, and so do gray and palette pictures of 1 to 8 bits;
  // other gray and colour depths are spread to 8-bit levels first (SetupColors). Palette indices
  // cannot be spread, nor YCbCr and CIE L*a*b* samples, whose levels are not plain intensities.
  const unsigned bits = properties.BitsPerSample;
  if (bits < 1 || bits > 16) UnsupportedDepth(bits, kSamplesOfDepth);
  const bool byteSized = bits == 8 || bits == 16;
  if (scheme == scIndexed && bits > 8 && bits != 16) UnsupportedDepth(bits, kPaletteIndicesOfDepth);
  if (scheme == scIndexed && samples == 2 && !byteSized)
    UnsupportedDepth(bits, kPaletteIndicesWithExtraSample);
  if (scheme == scYCbCr && !byteSized) UnsupportedDepth(bits, kYCbCrOfDepth);
  if (scheme == scCIELab && bits != 8) UnsupportedDepth(bits, kLabOfDepth);
}

std::vector<TTIFFStrip> TTIFFGraphic::ReadStrips() {
  const std::vector<uint32_t> offsets = GetCardinalList(tagStripOffsets);
  const std::vector<uint32_t> byteCounts = GetCardinalList(tagStripByteCounts);
  if (offsets.empty() || byteCounts.size() < offsets.size()) Invalid();
  const int64_t available = std::max<int64_t>(Stream->Size() - BasePosition, 0);
  std::vector<TTIFFStrip> strips(offsets.size());
  for (size_t i = 0; i < offsets.size(); ++i) {
    if (byteCounts[i] > kMaxBufferBytes || int64_t{offsets[i]} + byteCounts[i] > available) Invalid();
    strips[i].Offset = offsets[i];
    strips[i].ByteCount = byteCounts[i];
  }
  return strips;
}

// The strips that hold the picture's rows, each with its rows and the packed bytes its decoder is
// given (PackedLimit). A picture whose strips cannot give all its rows is refused before any room is
// made for it: strips too few for the height, or data too small for the rows by the largest expansion
// of the compression (MaxExpansion). No data at all is no picture.
std::vector<TTIFFStrip> TTIFFGraphic::PlanStrips(std::vector<TTIFFStrip> strips) const {
  const TImageProperties& properties = ImageProperties();
  const uint32_t height = properties.Height;
  const uint64_t bytesPerLine = properties.BytesPerLine;
  const std::vector<uint32_t>& rowsPerStrip = properties.RowsPerStrip;
  uint32_t covered = 0;
  size_t used = 0;
  uint64_t markerBytes = 0;
  std::vector<std::pair<uint64_t, uint64_t>> ranges;
  for (; used < strips.size() && covered < height; ++used) {
    TTIFFStrip& strip = strips[used];
    // A RowsPerStrip list shorter than the strips repeats its last value; no strip reaches past the
    // picture, however many rows it claims.
    strip.Rows = std::min(rowsPerStrip[std::min(used, rowsPerStrip.size() - 1)], height - covered);
    covered += strip.Rows;
    // Strips are handed to the decoders whole, with 32-bit signed sizes.
    const uint64_t stripBytes = strip.Rows * bytesPerLine;
    if (stripBytes > kMaxBufferBytes) Invalid();
    if (strip.Rows == 0) continue;
    const uint64_t limit = PackedLimit(properties.Compression, stripBytes, strip.Rows, properties);
    strip.Packed = static_cast<uint32_t>(std::min<uint64_t>(strip.ByteCount, limit));
    const uint64_t rowsNeed = limit - (properties.Compression == ctJPEG ? kJpegMarkerBytes : 0);
    markerBytes += strip.Packed - std::min<uint64_t>(strip.Packed, rowsNeed);
    ranges.emplace_back(strip.Offset, uint64_t{strip.Offset} + strip.ByteCount);
  }
  strips.resize(used);
  uint64_t dataBytes = 0;
  for (const auto& [begin, end] : MergedRanges(std::move(ranges))) dataBytes += end - begin;
  if (covered < height || dataBytes == 0 ||
      !DataCanFill(dataBytes, MaxExpansion(properties.Compression), bytesPerLine, height))
    Invalid();
  // JPEG tables and markers are the one part of a strip that does not grow with its rows. A writer's
  // strips each hold their own, so together they are no more than the file's data; strips that all
  // reach over one shared block would each walk its markers again (16 KB of them before one JPEG row,
  // walked by each of 65535 strips, cost seconds).
  if (markerBytes > 2 * dataBytes) Invalid();
  return strips;
}

void TTIFFGraphic::SetupColors() {
  const TImageProperties& properties = ImageProperties();
  TColorManager& colors = ColorManager();
  const uint8_t samples = properties.SamplesPerPixel;
  uint8_t bits = properties.BitsPerSample;
  TColorScheme source = properties.ColorScheme;
  // The JPEG decoder delivers three-component pictures blue, green, red.
  if (properties.Compression == ctJPEG && samples == 3 && (source == scRGB || source == scYCbCr))
    source = scBGR;

  // Depths the converters do not take arrive as 8-bit levels: any but 8 and 16 bits in colour, gray
  // with an extra sample and deep gray; gray of 3, 5, 6 or 7 bits too, which a 4- or 8-bit gray
  // palette could only approximate. (Palette indices keep their depth.)
  const bool byteSized = bits == 8 || bits == 16;
  const bool exactGray = samples == 1 && (bits == 1 || bits == 2 || bits == 4);
  FLevels.reset();
  if (source != scIndexed && properties.Compression != ctJPEG && !byteSized && !exactGray) {
    FLevels = std::make_unique<TSampleLevels>(bits);
    bits = 8;
  }

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
  if (format == pfCustom) FormatErrorFmt(gesInvalidColorFormat, {kTIFFName});
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
  // The fax decoders are not asked to swap bits: the strips' bytes (TTIFFStripBytes) come with their
  // bits in order already.
  switch (properties.Compression) {
    case ctPackBits:
      return std::make_unique<TPackbitsRLEDecoder>();
    case ctLZW:
      return std::make_unique<TTIFFLZWDecoder>();
    case ctCCITTFax3:
      return std::make_unique<TCCITTFax3Decoder>(GetValue(tagT4Options, 0), false, false, properties.Width);
    case ctCCITTModifiedHuffman:
    case ctCCITTModifiedHuffmanW:
      return std::make_unique<TCCITTMHDecoder>(GetValue(tagT4Options, 0), false,
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

// Decodes the planned strips into the bitmap and returns the bytes of rows their data filled (rows
// whose data ended early stay black).
uint64_t TTIFFGraphic::LoadStrips(const std::vector<TTIFFStrip>& strips, TDecoder* decoder) {
  TImageProperties& properties = ImageProperties();
  const uint32_t height = properties.Height;
  const size_t bytesPerLine = properties.BytesPerLine;
  properties.CurrentRow = 0;
  properties.StripCount = static_cast<uint32_t>(strips.size());
  // Fill order 2 puts the first pixel in the lowest bit for every compression but JPEG, whose data are
  // bytes.
  TTIFFStripBytes packed(*Stream, BasePosition, strips,
                         (properties.HeaderFlags & hfReversedBits) != 0 && properties.Compression != ctJPEG);
  std::vector<uint8_t> levels(FLevels ? size_t{properties.Width} * properties.SamplesPerPixel : 0);
  uint64_t filled = 0;
  for (size_t i = 0; i < strips.size(); ++i) {
    const uint32_t rows = strips[i].Rows;
    if (rows == 0) continue;
    std::vector<uint8_t> strip = ZeroedBuffer(uint64_t{rows} * bytesPerLine);
    properties.CurrentStrip = static_cast<uint32_t>(i);
    filled += DecodeStrip(packed.Of(strips[i]), strip, decoder);
    for (uint32_t row = 0; row < rows; ++row) {
      const std::span<uint8_t> data(strip.data() + row * bytesPerLine, bytesPerLine);
      UndoPredictor(data);
      const std::span<uint8_t> target = ScanLineBytes(static_cast<int>(properties.CurrentRow));
      if (FLevels) {
        FLevels->Spread(data, levels);
        ColorManager().ConvertRow({levels}, target, properties.Width, 0xFF);
      } else {
        ColorManager().ConvertRow({data}, target, properties.Width, 0xFF);
      }
      ++properties.CurrentRow;
      ProgressRow(static_cast<int>(properties.CurrentRow), static_cast<int>(height));
    }
  }
  return filled;
}

// Decodes one strip's packed bytes into `target` (its rows, zero-filled) and returns the bytes they
// filled. A decoder's failure is told as this file's.
size_t TTIFFGraphic::DecodeStrip(std::span<const uint8_t> packed, std::span<uint8_t> target,
                                 TDecoder* decoder) {
  if (!decoder) {
    const size_t stored = std::min(packed.size(), target.size());
    std::copy(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(stored), target.begin());
    return stored;
  }
  TSourceCursor source{packed};
  TTargetCursor room{target};
  try {
    decoder->Decode(source, room, static_cast<int32_t>(packed.size()), static_cast<int32_t>(target.size()));
  } catch (const EGraphicCompression& error) {
    StripFailed(error);
  } catch (const EJPEG& error) {
    StripFailed(error);
  }
  return decoder->LastUnpackedBytes();
}

// "Cannot load image. Compression error found in TIF/TIFF file." and the decoder's own words, raised as
// the library's own message: the failure net passes it as it stands rather than wrap it in a second
// compression sentence.
void TTIFFGraphic::StripFailed(const Exception& error) {
  std::string detail = error.Message();
  const std::string prefix = "Cannot load image. ";
  if (detail.starts_with(prefix)) detail.erase(0, prefix.size());
  FormatError(Format(gesCompression, {kTIFFName}) + " " + detail);
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
