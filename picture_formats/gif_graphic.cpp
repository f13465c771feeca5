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
#include "toolkit/core/string_utils.h"

namespace {

constexpr const char* kGIF = "GIF";
constexpr int64_t kMinimumSize = 22;  // header, screen descriptor and a little more
constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kColorTableFlag = 0x80;
constexpr uint8_t kInterlacedFlag = 0x40;
// The end of the file where a byte was wanted.
constexpr int kEndOfFile = -1;

[[noreturn]] void Invalid() {
  FormatErrorFmt(gesInvalidImage, {kGIF});
}

// Fills `bytes` from the stream; false when the file ends first.
bool ReadFully(TStream& stream, std::span<uint8_t> bytes) {
  return stream.Read(bytes.data(), static_cast<int64_t>(bytes.size())) == static_cast<int64_t>(bytes.size());
}

int NextByte(TStream& stream) {
  uint8_t value = 0;
  return stream.Read(&value, 1) == 1 ? value : kEndOfFile;
}

struct TGIFHeader {
  std::array<uint8_t, 6> Bytes{};
  bool SignatureMatches() const { return UpperCase(std::string(Bytes.begin(), Bytes.begin() + 3)) == "GIF"; }
  // "87a" or "89a": the first two version characters as a number; -1 when they are not digits.
  int32_t Version() const {
    const auto digit = [](uint8_t c) { return c >= '0' && c <= '9'; };
    if (!digit(Bytes[3]) || !digit(Bytes[4])) return -1;
    return (Bytes[3] - '0') * 10 + (Bytes[4] - '0');
  }
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

bool ReadScreenDescriptor(TStream& stream, TScreenDescriptor& screen) {
  std::array<uint8_t, 7> bytes{};
  if (!ReadFully(stream, bytes)) return false;
  screen = {LittleEndian16(bytes, 0), LittleEndian16(bytes, 2), bytes[4]};
  return true;
}

// The nine bytes after the image separator: left, top, width, height, flags.
bool ReadImageDescriptor(TStream& stream, TImageDescriptor& image) {
  std::array<uint8_t, 9> bytes{};
  if (!ReadFully(stream, bytes)) return false;
  image = {LittleEndian16(bytes, 4), LittleEndian16(bytes, 6), bytes[8]};
  return true;
}

// Entries of a colour table with the given size code.
uint32_t ColorTableEntries(uint8_t flags) {
  return 2u << (flags & 7);
}

// Passes over data sub-blocks up to their terminating size byte 0; false when the file ends first.
bool SkipSubBlocks(TStream& stream) {
  for (;;) {
    const int size = NextByte(stream);
    if (size == kEndOfFile) return false;
    if (size == 0) return true;
    stream.Seek(size, TSeekOrigin::soCurrent);
  }
}

// A colour table of `entries` red-green-blue triples read from the stream; none when the file ends
// inside it.
HPALETTE ReadColorTable(TStream& stream, uint32_t entries) {
  std::vector<uint8_t> rgb(3 * size_t{entries});
  if (!ReadFully(stream, rgb)) return nullptr;
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

int TGIFGraphic::SkipExtensions(TStream& stream) {
  for (;;) {
    const int byte = NextByte(stream);
    if (byte == kImageSeparator || byte == kTrailer || byte == kEndOfFile) return byte;
    // Every extension, whatever its label, is a chain of sub-blocks (the fixed blocks of plain text
    // and graphic control extensions are sub-blocks too); any other byte between blocks is passed over.
    if (byte == kExtensionIntroducer && (NextByte(stream) == kEndOfFile || !SkipSubBlocks(stream)))
      return kEndOfFile;
  }
}

bool TGIFGraphic::ReadImageProperties(TStream& stream, uint32_t imageIndex) {
  TFormatGraphic::ReadImageProperties(stream, imageIndex);
  TImageProperties& properties = ImageProperties();
  TGIFHeader header;
  if (!ReadFully(stream, header.Bytes) || !header.SignatureMatches() || header.Version() < 0) return false;
  properties.Version = static_cast<uint32_t>(header.Version());
  properties.ColorScheme = scIndexed;
  properties.SamplesPerPixel = 1;
  properties.BitsPerSample = 8;
  properties.Compression = ctLZW;

  TScreenDescriptor screen;
  if (!ReadScreenDescriptor(stream, screen)) return false;
  if (screen.Flags & kColorTableFlag) {
    properties.BitsPerSample = (screen.Flags & 7) + 1;
    stream.Seek(3 * int64_t{ColorTableEntries(screen.Flags)}, TSeekOrigin::soCurrent);
  }
  TImageDescriptor image;
  if (SkipExtensions(stream) == kImageSeparator && ReadImageDescriptor(stream, image)) {
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
  if (!ReadImageProperties(stream, 0)) Invalid();
  const TImageProperties& properties = ImageProperties();
  const uint32_t width = properties.Width;
  const uint32_t height = properties.Height;
  stream.SetPosition(BasePosition);
  ProgressRect = Rect(0, 0, static_cast<int32_t>(width), 1);
  ProgressStarting(gesPreparing);

  // The header and the screen descriptor are there: the header reader has read them.
  stream.Seek(6, TSeekOrigin::soCurrent);
  SetPixelFormat(pf8bit);
  TScreenDescriptor screen;
  ReadScreenDescriptor(stream, screen);
  if (screen.Flags & kColorTableFlag) {
    HPALETTE global = ReadColorTable(stream, ColorTableEntries(screen.Flags));
    if (!global) Invalid();
    SetPalette(std::move(global));
  }

  // A file without an image, or that ends before its image's data, has no pixels at all.
  const int found = SkipExtensions(stream);
  ProgressEnding();
  if (found != kImageSeparator) Invalid();
  ProgressStarting(gesLoadingData);
  TImageDescriptor image;
  if (!ReadImageDescriptor(stream, image)) Invalid();
  HPALETTE local;
  if (image.Flags & kColorTableFlag) {
    local = ReadColorTable(stream, ColorTableEntries(image.Flags));
    if (!local) Invalid();
  }
  // The decoder counts the pixels in a signed 32-bit size.
  const uint64_t pixels = uint64_t{width} * height;
  if (pixels == 0 || pixels > uint64_t{std::numeric_limits<int32_t>::max()}) Invalid();
  // The clear code must stand above the 2^n single-byte codes of a byte-wide table.
  const int minimumCodeSize = NextByte(stream);
  if (minimumCodeSize < 1 || minimumCodeSize > 8) Invalid();
  const std::vector<uint8_t> packed = ReadImageData(stream);
  // No room is made for pixels the data cannot hold.
  if (!DataCanFill(packed.size(), kGIFLZWMaxExpansion, width, height)) Invalid();
  SetSize(static_cast<int>(width), static_cast<int>(height));
  if (local) SetPalette(std::move(local));

  std::vector<uint8_t> indices = ZeroedBuffer(pixels);
  TGIFLZWDecoder decoder(static_cast<uint8_t>(minimumCodeSize));
  TSourceCursor source{std::span<const uint8_t>(packed)};
  TTargetCursor target{std::span<uint8_t>(indices)};
  const auto packedSize =
      static_cast<int32_t>(std::min<size_t>(packed.size(), std::numeric_limits<int32_t>::max()));
  decoder.Decode(source, target, packedSize, static_cast<int32_t>(pixels));
  ProgressEnding();
  if (decoder.LastUnpackedBytes() == 0) Invalid();
  // The rows after the data's end show palette entry 0: a picture, but not the file's whole one.
  SetDataEndedEarly(decoder.LastUnpackedBytes() < pixels);

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
