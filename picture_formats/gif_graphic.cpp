#include "picture_formats/gif_graphic.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>
#include <vector>

#include "picture_formats/byte_fields.h"
#include "picture_formats/decoder_lzw.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "toolkit/core/checked.h"
#include "toolkit/core/conversions.h"
#include "toolkit/core/string_utils.h"

namespace {

constexpr const char* kGIF = "GIF";
constexpr int64_t kMinimumSize = 22;  // header, screen descriptor and a little more
constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kPlainTextLabel = 0x01;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kCommentLabel = 0xFE;
constexpr uint8_t kApplicationLabel = 0xFF;
constexpr uint8_t kColorTableFlag = 0x80;
constexpr uint8_t kInterlacedFlag = 0x40;

struct TGIFHeader {
  std::array<uint8_t, 6> Bytes{};
  bool SignatureMatches() const { return UpperCase(std::string(Bytes.begin(), Bytes.begin() + 3)) == "GIF"; }
  // "87a" or "89a": the first two version characters as a number.
  int32_t Version() const { return StrToInt(std::string(Bytes.begin() + 3, Bytes.begin() + 5)); }
};

struct TScreenDescriptor {
  uint16_t Width = 0;
  uint16_t Height = 0;
  uint8_t Flags = 0;
};

struct TImageDescriptor {
  uint16_t Width = 0;
  uint16_t Height = 0;
  uint8_t Flags = 0;
};

TGIFHeader ReadHeader(TStream& stream) {
  TGIFHeader header;
  stream.ReadBuffer(header.Bytes.data(), header.Bytes.size());
  return header;
}

TScreenDescriptor ReadScreenDescriptor(TStream& stream) {
  std::array<uint8_t, 7> bytes{};
  stream.ReadBuffer(bytes.data(), bytes.size());
  return {LittleEndian16(bytes, 0), LittleEndian16(bytes, 2), bytes[4]};
}

// The nine bytes after the image separator: left, top, width, height, flags.
TImageDescriptor ReadImageDescriptor(TStream& stream) {
  std::array<uint8_t, 9> bytes{};
  stream.ReadBuffer(bytes.data(), bytes.size());
  return {LittleEndian16(bytes, 4), LittleEndian16(bytes, 6), bytes[8]};
}

uint8_t ReadByte(TStream& stream) {
  uint8_t value = 0;
  stream.ReadBuffer(&value, 1);
  return value;
}

// Entries of a colour table with the given size code.
uint32_t ColorTableEntries(uint8_t flags) {
  return 2u << (flags & 7);
}

// Passes over data sub-blocks up to their terminating size byte 0.
void SkipSubBlocks(TStream& stream) {
  for (uint8_t size = ReadByte(stream); size != 0; size = ReadByte(stream))
    stream.Seek(size, TSeekOrigin::soCurrent);
}

// A colour table of `entries` red-green-blue triples read from the stream.
HPALETTE ReadColorTable(TStream& stream, uint32_t entries) {
  const std::vector<uint8_t> rgb = ReadBytes(stream, 3 * uint64_t{entries});
  TLogPalette palette;
  palette.palPalEntry.resize(entries);
  for (size_t i = 0; i < entries; ++i)
    palette.palPalEntry[i] = TPaletteEntry{rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2], 0};
  return CreatePalette(palette);
}

// The image data's sub-blocks joined, up to the terminating block or as far as the file goes.
std::vector<uint8_t> ReadImageData(TStream& stream) {
  std::vector<uint8_t> data;
  for (;;) {
    uint8_t size = 0;
    if (stream.Read(&size, 1) != 1 || size == 0) break;
    const size_t start = data.size();
    data.resize(start + size);
    const auto read = static_cast<size_t>(stream.Read(data.data() + start, size));
    if (read < size) {
      data.resize(start + read);
      break;
    }
  }
  return data;
}

// The bitmap row of each row of the image data: in order, or in the four passes of an interlaced
// image (rows 0, 8, 16...; 4, 12...; 2, 6...; 1, 3...).
class TRowOrder {
 public:
  TRowOrder(uint32_t height, bool interlaced) : FHeight(height), FInterlaced(interlaced) { Settle(); }

  bool Done() const { return FPass >= (FInterlaced ? 4u : 1u); }
  uint32_t Row() const { return FRow; }
  bool InLastPass() const { return FPass + 1 == (FInterlaced ? 4u : 1u); }
  void Next() {
    FRow += Step();
    Settle();
  }

 private:
  static constexpr uint32_t kStart[4] = {0, 4, 2, 1};
  static constexpr uint32_t kStep[4] = {8, 8, 4, 2};

  uint32_t Step() const { return FInterlaced ? kStep[FPass] : 1; }
  // Moves on to the next pass while the current one has no rows left.
  void Settle() {
    while (!Done() && FRow >= FHeight) {
      ++FPass;
      if (!Done()) FRow = kStart[FPass];
    }
  }

  const uint32_t FHeight;
  const bool FInterlaced;
  uint32_t FPass = 0;
  uint32_t FRow = 0;
};

}  // namespace

bool TGIFGraphic::CanLoad(TStream& stream) {
  TStreamPositionGuard guard(stream);
  if (BytesLeft(stream) <= kMinimumSize) return false;
  std::array<uint8_t, 3> signature{};
  return stream.Read(signature.data(), signature.size()) == 3 &&
         UpperCase(std::string(signature.begin(), signature.end())) == "GIF";
}

uint8_t TGIFGraphic::SkipExtensions(TStream& stream) {
  uint8_t byte = ReadByte(stream);
  while (byte != kImageSeparator && byte != kTrailer) {
    if (byte == kExtensionIntroducer) {
      byte = ReadByte(stream);
      switch (byte) {
        case kPlainTextLabel:
          stream.Seek(ReadByte(stream), TSeekOrigin::soCurrent);
          SkipSubBlocks(stream);
          break;
        case kGraphicControlLabel:
          // The block and its terminator.
          stream.Seek(ReadByte(stream) + 1, TSeekOrigin::soCurrent);
          break;
        case kCommentLabel:
        case kApplicationLabel:
          SkipSubBlocks(stream);
          break;
        default:
          break;
      }
      // The label just read ends the search when it happens to be a separator or the trailer.
      if (byte == kImageSeparator || byte == kTrailer) break;
    }
    byte = ReadByte(stream);
  }
  return byte;
}

bool TGIFGraphic::ReadImageProperties(TStream& stream, uint32_t imageIndex) {
  TFormatGraphic::ReadImageProperties(stream, imageIndex);
  TImageProperties& properties = ImageProperties();
  const TGIFHeader header = ReadHeader(stream);
  if (!header.SignatureMatches()) return false;
  properties.Version = static_cast<uint32_t>(header.Version());
  properties.ColorScheme = scIndexed;
  properties.SamplesPerPixel = 1;
  properties.BitsPerSample = 8;
  properties.Compression = ctLZW;

  const TScreenDescriptor screen = ReadScreenDescriptor(stream);
  if (screen.Flags & kColorTableFlag) {
    properties.BitsPerSample = (screen.Flags & 7) + 1;
    stream.Seek(3 * int64_t{ColorTableEntries(screen.Flags)}, TSeekOrigin::soCurrent);
  }
  if (SkipExtensions(stream) == kImageSeparator) {
    const TImageDescriptor image = ReadImageDescriptor(stream);
    properties.Width = image.Width != 0 ? image.Width : screen.Width;
    properties.Height = image.Height != 0 ? image.Height : screen.Height;
    properties.GIFLocalColorTable = (image.Flags & kColorTableFlag) ? 1 : 0;
    if (image.Flags & kColorTableFlag) properties.BitsPerSample = (image.Flags & 7) + 1;
    properties.Interlaced = (image.Flags & kInterlacedFlag) != 0;
  }
  properties.BitsPerPixel = CheckedByte(properties.SamplesPerPixel * properties.BitsPerSample);
  return true;
}

void TGIFGraphic::LoadFromStream(TStream& stream) {
  ReleaseHandle();
  BasePosition = stream.Position();
  Stream = &stream;
  if (!ReadImageProperties(stream, 0)) FormatErrorFmt(gesInvalidImage, {kGIF});
  const TImageProperties& properties = ImageProperties();
  const uint32_t width = properties.Width;
  const uint32_t height = properties.Height;
  stream.SetPosition(BasePosition);
  ProgressRect = Rect(0, 0, static_cast<int32_t>(width), 1);
  ProgressStarting(gesPreparing);

  ReadHeader(stream);
  SetPixelFormat(pf8bit);
  const TScreenDescriptor screen = ReadScreenDescriptor(stream);
  if (screen.Flags & kColorTableFlag) SetPalette(ReadColorTable(stream, ColorTableEntries(screen.Flags)));

  const uint8_t found = SkipExtensions(stream);
  ProgressEnding();
  if (found != kImageSeparator) return;

  ProgressStarting(gesLoadingData);
  const TImageDescriptor image = ReadImageDescriptor(stream);
  // The decoder counts the pixels in a signed 32-bit size.
  const uint64_t pixels = uint64_t{width} * height;
  if (pixels > uint64_t{std::numeric_limits<int32_t>::max()}) FormatErrorFmt(gesInvalidImage, {kGIF});
  SetSize(static_cast<int>(width), static_cast<int>(height));
  if (image.Flags & kColorTableFlag) SetPalette(ReadColorTable(stream, ColorTableEntries(image.Flags)));
  if (pixels == 0) {
    ProgressEnding();
    return;
  }

  const uint8_t minimumCodeSize = ReadByte(stream);
  const std::vector<uint8_t> packed = ReadImageData(stream);
  std::vector<uint8_t> indices = ZeroedBuffer(pixels);
  TGIFLZWDecoder decoder(minimumCodeSize);
  TSourceCursor source{std::span<const uint8_t>(packed)};
  TTargetCursor target{std::span<uint8_t>(indices)};
  const auto packedSize =
      static_cast<int32_t>(std::min<size_t>(packed.size(), std::numeric_limits<int32_t>::max()));
  decoder.Decode(source, target, packedSize, static_cast<int32_t>(pixels));
  ProgressEnding();

  ProgressStarting(gesTransfering);
  const int rows = static_cast<int>(height);
  const uint8_t* next = indices.data();
  for (TRowOrder order(height, properties.Interlaced); !order.Done(); order.Next(), next += width) {
    const auto row = static_cast<int>(order.Row());
    std::copy(next, next + width, ScanLine(row));
    // Interlaced images report their progress during the last pass only, when the rows stand in order.
    if (order.InLastPass()) ProgressRow(properties.Interlaced ? row + 1 : row, rows);
  }
  ProgressEnding();
}
