// The TIFF reader's header and directory: the probe, the header reader and the tag value helpers.

#include <algorithm>
#include <bit>
#include <limits>
#include <optional>
#include <set>

#include "picture_formats/byte_fields.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "picture_formats/tiff_graphic.h"
#include "picture_formats/tiff_tags.h"
#include "toolkit/core/checked.h"

namespace {

constexpr int64_t kHeaderSize = 8;
constexpr uint16_t kMagic = 42;
constexpr size_t kEntrySize = 12;

// Bytes of one value of each field type; 0 for types this reader does not know.
uint64_t TypeSize(uint16_t type) {
  switch (type) {
    case ttByte:
    case ttASCII:
    case ttSByte:
    case ttUndefined:
      return 1;
    case ttShort:
    case ttSShort:
      return 2;
    case ttLong:
    case ttSLong:
    case ttFloat:
    case ttIFD:
      return 4;
    case ttRational:
    case ttSRational:
    case ttDouble:
      return 8;
    default:
      return 0;
  }
}

// The library's number for a TIFF compression tag value.
uint8_t CompressionNumber(uint32_t value) {
  switch (value) {
    case 1:
      return ctNone;
    case 2:
      return ctCCITTModifiedHuffman;
    case 3:
      return ctCCITTFax3;
    case 4:
      return ctCCITTFax4;
    case 5:
      return ctLZW;
    case 6:
      return ctOldJPEG;
    case 7:
      return ctJPEG;
    case 8:
    case 32946:
      return ctDeflate;
    case 32766:
      return ctNeXT;
    case 32771:
      return ctCCITTModifiedHuffmanW;
    case 32773:
      return ctPackBits;
    case 32809:
      return ctThunderscan;
    case 32895:
      return ctIT8CTPad;
    case 32896:
      return ctIT8LineWork;
    case 32897:
      return ctIT8Monochrome;
    case 32898:
      return ctIT8BinaryLineArt;
    case 32908:
      return ctPixarFilm;
    case 32909:
      return ctPixarLog;
    case 32947:
      return ctKodakDCS;
    case 34661:
      return ctJBIG;
    default:
      return ctUnknown;
  }
}

TColorScheme SchemeOf(uint32_t photometric, uint32_t samplesPerPixel) {
  switch (photometric) {
    case 0:
    case 1:
      return scGray;
    case 2:
      return samplesPerPixel >= 4 ? scRGBA : scRGB;
    case 3:
      return scIndexed;
    case 5:
      return scCMYK;
    case 6:
      return scYCbCr;
    case 8:
      return scCIELab;
    default:
      return scUnknown;
  }
}

}  // namespace

TTIFFGraphic::TTIFFGraphic() = default;

TTIFFGraphic::~TTIFFGraphic() = default;

bool TTIFFGraphic::CanLoad(TStream& stream) {
  TStreamPositionGuard guard(stream);
  const int64_t left = BytesLeft(stream);
  if (left <= kHeaderSize) return false;
  std::array<uint8_t, kHeaderSize> header{};
  if (stream.Read(header.data(), kHeaderSize) != kHeaderSize) return false;
  const bool little = header[0] == 'I' && header[1] == 'I';
  const bool big = header[0] == 'M' && header[1] == 'M';
  if (!little && !big) return false;
  const uint16_t magic = little ? LittleEndian16(header, 2) : BigEndian16(header, 2);
  const uint32_t offset = little ? LittleEndian32(header, 4) : BigEndian32(header, 4);
  return magic == kMagic && offset < left;
}

uint16_t TTIFFGraphic::FileWord(const uint8_t* bytes) const {
  return BigEndian() ? BigEndian16(bytes) : LittleEndian16(bytes);
}

uint32_t TTIFFGraphic::FileLong(const uint8_t* bytes) const {
  return BigEndian() ? BigEndian32(bytes) : LittleEndian32(bytes);
}

bool TTIFFGraphic::ReadDirectory(uint32_t offset) {
  const int64_t start = BasePosition + offset;
  if (start + 2 > Stream->Size()) return false;
  Stream->SetPosition(start);
  std::array<uint8_t, 2> countBytes{};
  Stream->ReadBuffer(countBytes.data(), 2);
  const uint16_t count = FileWord(countBytes.data());
  const auto size = static_cast<int64_t>(count * kEntrySize);
  if (start + 2 + size > Stream->Size()) return false;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  Stream->ReadBuffer(bytes.data(), size);
  FIFDEntries.assign(count, {});
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* field = &bytes[i * kEntrySize];
    TIFFEntry& entry = FIFDEntries[i];
    entry.Tag = LittleEndian16(field);
    entry.DataType = LittleEndian16(field + 2);
    entry.DataLength = LittleEndian32(field + 4);
    std::copy(field + 8, field + 12, entry.Value.begin());
  }
  if (BigEndian()) SwapIFD();
  SortIFD();
  return true;
}

void TTIFFGraphic::SwapIFD() {
  for (TIFFEntry& entry : FIFDEntries) {
    entry.Tag = SwapShort(entry.Tag);
    entry.DataType = SwapShort(entry.DataType);
    entry.DataLength = SwapLong(entry.DataLength);
  }
}

void TTIFFGraphic::SortIFD() {
  std::stable_sort(FIFDEntries.begin(), FIFDEntries.end(),
                   [](const TIFFEntry& a, const TIFFEntry& b) { return a.Tag < b.Tag; });
}

bool TTIFFGraphic::FindTag(uint16_t tag, size_t& index) const {
  const auto found =
      std::lower_bound(FIFDEntries.begin(), FIFDEntries.end(), tag,
                       [](const TIFFEntry& entry, uint16_t value) { return entry.Tag < value; });
  index = static_cast<size_t>(found - FIFDEntries.begin());
  return found != FIFDEntries.end() && found->Tag == tag;
}

uint32_t TTIFFGraphic::GetValueAndCount(uint16_t tag, uint32_t defaultValue, uint32_t& count) const {
  size_t index = 0;
  count = 0;
  if (!FindTag(tag, index)) return defaultValue;
  const TIFFEntry& entry = FIFDEntries[index];
  count = entry.DataLength;
  if (count != 1) return FileLong(entry.Value.data());
  switch (entry.DataType) {
    case ttByte:
    case ttSByte:
    case ttUndefined:
      return entry.Value[0];
    case ttShort:
    case ttSShort:
      return FileWord(entry.Value.data());
    case ttLong:
    case ttSLong:
      return FileLong(entry.Value.data());
    default:
      return defaultValue;
  }
}

uint32_t TTIFFGraphic::GetValue(uint16_t tag, uint32_t defaultValue) const {
  uint32_t count = 0;
  return GetValueAndCount(tag, defaultValue, count);
}

std::vector<uint8_t> TTIFFGraphic::EntryBytes(const TIFFEntry& entry) {
  const uint64_t size = TypeSize(entry.DataType) * uint64_t{entry.DataLength};
  if (size <= entry.Value.size()) return {entry.Value.begin(), entry.Value.begin() + static_cast<long>(size)};
  const int64_t start = BasePosition + FileLong(entry.Value.data());
  if (size > static_cast<uint64_t>(std::max<int64_t>(Stream->Size() - start, 0)))
    FormatErrorFmt(gesInvalidImage, {kTIFFName});
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  Stream->SetPosition(start);
  Stream->ReadBuffer(bytes.data(), static_cast<int64_t>(size));
  return bytes;
}

std::optional<TIFFEntry> TTIFFGraphic::KnownEntry(uint16_t tag) const {
  size_t index = 0;
  if (!FindTag(tag, index) || TypeSize(FIFDEntries[index].DataType) == 0) return std::nullopt;
  return FIFDEntries[index];
}

std::vector<uint32_t> TTIFFGraphic::GetCardinalList(uint16_t tag) {
  const std::optional<TIFFEntry> entry = KnownEntry(tag);
  if (!entry || entry->DataType == ttFloat || entry->DataType == ttDouble) return {};
  const uint64_t size = TypeSize(entry->DataType);
  const std::vector<uint8_t> bytes = EntryBytes(*entry);
  std::vector<uint32_t> values(entry->DataLength);
  for (size_t i = 0; i < values.size(); ++i) {
    const uint8_t* value = &bytes[i * size];
    switch (size) {
      case 1:
        values[i] = *value;
        break;
      case 2:
        values[i] = FileWord(value);
        break;
      case 4:
        values[i] = FileLong(value);
        break;
      default: {  // rationals, truncated
        const uint32_t denominator = FileLong(value + 4);
        values[i] = denominator == 0 ? 0 : FileLong(value) / denominator;
        break;
      }
    }
  }
  return values;
}

std::vector<uint8_t> TTIFFGraphic::GetByteList(uint16_t tag) {
  std::vector<uint8_t> bytes;
  for (uint32_t value : GetCardinalList(tag)) {
    if (value > 255) FormatErrorFmt(gesInvalidImage, {kTIFFName});
    bytes.push_back(static_cast<uint8_t>(value));
  }
  return bytes;
}

std::vector<float> TTIFFGraphic::GetFloatList(uint16_t tag) {
  const std::optional<TIFFEntry> known = KnownEntry(tag);
  if (!known) return {};
  const TIFFEntry& entry = *known;
  const uint64_t size = TypeSize(entry.DataType);
  const std::vector<uint8_t> bytes = EntryBytes(entry);
  std::vector<float> values(entry.DataLength);
  for (size_t i = 0; i < values.size(); ++i) {
    const uint8_t* value = &bytes[i * size];
    switch (entry.DataType) {
      case ttFloat:
        values[i] = std::bit_cast<float>(FileLong(value));
        break;
      case ttDouble: {
        const uint64_t first = FileLong(value), second = FileLong(value + 4);
        values[i] = static_cast<float>(
            std::bit_cast<double>(BigEndian() ? first << 32 | second : second << 32 | first));
        break;
      }
      case ttRational:
      case ttSRational: {
        const uint32_t numerator = FileLong(value), denominator = FileLong(value + 4);
        if (denominator == 0) break;
        values[i] = entry.DataType == ttRational
                        ? static_cast<float>(double(numerator) / denominator)
                        : static_cast<float>(double(static_cast<int32_t>(numerator)) /
                                             static_cast<int32_t>(denominator));
        break;
      }
      case ttSByte:
        values[i] = static_cast<int8_t>(*value);
        break;
      case ttSShort:
        values[i] = static_cast<int16_t>(FileWord(value));
        break;
      case ttSLong:
        values[i] = static_cast<float>(static_cast<int32_t>(FileLong(value)));
        break;
      default:
        values[i] = static_cast<float>(size == 1 ? *value : size == 2 ? FileWord(value) : FileLong(value));
        break;
    }
  }
  return values;
}

float TTIFFGraphic::GetFloatValue(uint16_t tag, float defaultValue) {
  size_t index = 0;
  if (!FindTag(tag, index) || FIFDEntries[index].DataLength != 1) return defaultValue;
  const TIFFEntry entry = FIFDEntries[index];
  // A resolution of 0/0 is common: it means nothing was said.
  if (entry.DataType == ttRational || entry.DataType == ttSRational) {
    const std::vector<uint8_t> bytes = EntryBytes(entry);
    if (FileLong(&bytes[4]) == 0) return defaultValue;
  }
  const std::vector<float> values = GetFloatList(tag);
  return values.empty() ? defaultValue : values[0];
}

bool TTIFFGraphic::ReadImageProperties(TStream& stream, uint32_t imageIndex) {
  TFormatGraphic::ReadImageProperties(stream, imageIndex);
  Stream = &stream;
  TImageProperties& properties = ImageProperties();
  FIFDEntries.clear();

  stream.SetPosition(BasePosition);
  std::array<uint8_t, kHeaderSize> header{};
  // An empty or shorter file is no TIFF file.
  if (stream.Read(header.data(), kHeaderSize) != kHeaderSize) return false;
  if (header[0] == 'M' && header[1] == 'M')
    properties.HeaderFlags |= hfBigEndian;
  else if (header[0] != 'I' || header[1] != 'I')
    return false;
  properties.Version = FileWord(&header[2]);
  properties.FirstIFDOffset = FileLong(&header[4]);
  if (properties.Version != kMagic) return false;

  // Walk the chain to the directory asked for; a chain that comes back on itself has no more images.
  uint32_t offset = properties.FirstIFDOffset;
  std::set<uint32_t> visited{offset};
  for (uint32_t image = 0; image < imageIndex; ++image) {
    const int64_t start = BasePosition + offset;
    if (start + 2 > stream.Size()) return false;
    stream.SetPosition(start);
    std::array<uint8_t, 4> bytes{};
    stream.ReadBuffer(bytes.data(), 2);
    const int64_t next = start + 2 + int64_t{FileWord(bytes.data())} * int64_t{kEntrySize};
    if (next + 4 > stream.Size()) return false;
    stream.SetPosition(next);
    stream.ReadBuffer(bytes.data(), 4);
    offset = FileLong(bytes.data());
    if (offset == 0 || !visited.insert(offset).second) return false;
  }
  if (!ReadDirectory(offset)) return false;

  const uint32_t width = GetValue(tagImageWidth, 0);
  const uint32_t height = GetValue(tagImageLength, 0);
  constexpr uint32_t kMaxSide = std::numeric_limits<int32_t>::max();
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return false;
  properties.Width = width;
  properties.Height = height;

  properties.RowsPerStrip = GetCardinalList(tagRowsPerStrip);
  // No value, "all rows" and the meaningless 0 all make the picture one strip.
  if (properties.RowsPerStrip.empty() || properties.RowsPerStrip[0] == 0xFFFFFFFF ||
      properties.RowsPerStrip[0] == 0)
    properties.RowsPerStrip = {height};

  const uint32_t samples = GetValue(tagSamplesPerPixel, 1);
  const std::vector<uint32_t> bits = GetCardinalList(tagBitsPerSample);
  const uint32_t bitsPerSample = bits.empty() ? 1 : bits[0];
  if (samples > 255 || bitsPerSample > 255 || samples * bitsPerSample > 255) return false;
  properties.SamplesPerPixel = static_cast<uint8_t>(samples);
  properties.BitsPerSample = static_cast<uint8_t>(bitsPerSample);

  properties.TileWidth = GetValue(tagTileWidth, 0);
  properties.TileLength = GetValue(tagTileLength, 0);
  if (properties.TileWidth > 0 && properties.TileLength > 0) properties.HeaderFlags |= hfTiled;

  const uint32_t photometric = GetValue(tagPhotometricInterpretation, 0);
  properties.ColorScheme = SchemeOf(photometric, samples);
  if (photometric == 0) properties.HeaderFlags |= hfMinIsWhite;

  const std::vector<uint32_t> extraSamples = GetCardinalList(tagExtraSamples);
  properties.HasAlpha = !extraSamples.empty() && std::none_of(extraSamples.begin(), extraSamples.end(),
                                                              [](uint32_t v) { return v > 2; });
  properties.BitsPerPixel = CheckedByte(properties.BitsPerSample * properties.SamplesPerPixel);
  properties.Compression = CompressionNumber(GetValue(tagCompression, 1));

  if (properties.ColorScheme == scYCbCr) {
    properties.YCbCrSubsampling = GetByteList(tagYCbCrSubSampling);
    if (properties.YCbCrSubsampling.size() < 2) properties.YCbCrSubsampling = {2, 2};
    FYCbCrPositioning = GetValue(tagYCbCrPositioning, 1);
    FYCbCrCoefficients = GetFloatList(tagYCbCrCoefficients);
    if (FYCbCrCoefficients.size() < 3) FYCbCrCoefficients = {0.299f, 0.587f, 0.114f};
  }
  properties.JPEGColorMode = 0;
  properties.JPEGTablesMode = 3;
  properties.PlanarConfiguration = GetValue(tagPlanarConfiguration, 0);

  const float unitFactor = GetValue(tagResolutionUnit, 2) == 3 ? 2.54f : 1.0f;
  properties.XResolution = GetFloatValue(tagXResolution, 0) * unitFactor;
  properties.YResolution = GetFloatValue(tagYResolution, 0) * unitFactor;
  properties.Predictor = GetValue(tagPredictor, 0);
  if (GetValue(tagFillOrder, 1) == 2) properties.HeaderFlags |= hfReversedBits;
  return true;
}
