#include "picture_formats/cut_graphic.h"

#include <array>
#include <vector>

#include "picture_formats/byte_fields.h"
#include "picture_formats/decoders_rle.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "toolkit/core/checked.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/file_system.h"

namespace {

constexpr const char* kCUT = "CUT";
constexpr int64_t kHeaderSize = 6;
// Each row holds at least its 2-byte length and the 0 that ends its packets.
constexpr uint64_t kShortestRow = 3;

// Palette files: 512-byte blocks; the first holds a 40-byte header with the highest colour index at byte
// 12, then entries of three 16-bit words (red, green, blue); no entry crosses a block.
constexpr size_t kBlockSize = 512;
constexpr size_t kPaletteHeaderSize = 40;
constexpr size_t kEntrySize = 6;
constexpr size_t kLastEntryStart = kBlockSize - kEntrySize;

}  // namespace

bool TCUTGraphic::CanLoad(TStream&) {
  return false;
}

void TCUTGraphic::LoadFromFile(const std::string& fileName) {
  FPaletteFile = ChangeFileExt(fileName, ".pal");
  TFormatGraphic::LoadFromFile(fileName);
}

bool TCUTGraphic::ReadImageProperties(TStream& stream, uint32_t imageIndex) {
  TFormatGraphic::ReadImageProperties(stream, imageIndex);
  SetPixelFormat(pf8bit);
  FHeader.Width = ReadLittleEndian16(stream);
  FHeader.Height = ReadLittleEndian16(stream);
  SetIndexed8Properties(ImageProperties(), FHeader.Width, FHeader.Height, ctRunLength);
  return true;
}

void TCUTGraphic::LoadFromStream(TStream& stream) {
  ReleaseHandle();
  BasePosition = stream.Position();
  ReadImageProperties(stream, 0);
  if (FHeader.Width == 0 || FHeader.Height == 0) FormatErrorFmt(gesInvalidImage, {kCUT});
  const int width = FHeader.Width;
  const int height = FHeader.Height;
  stream.SetPosition(BasePosition + kHeaderSize);
  ProgressRect = Rect(0, 0, width, 1);
  ProgressStarting(gesTransfering);

  const int64_t size = BytesLeft(stream);
  RequireRowData(static_cast<uint64_t>(size), kByteRunMaxExpansion, FHeader.Width, FHeader.Height, kCUT,
                 kCUT);
  if (static_cast<uint64_t>(size) < kShortestRow * FHeader.Height) FormatErrorFmt(gesStreamReadError, {kCUT});
  const std::vector<uint8_t> packed = ReadBytes(stream, RangeChecked<uint32_t>(size));

  SetPixelFormat(pf8bit);
  SetSize(width, height);
  LoadPalette();

  // The rows follow one another: each decode starts where the one before stopped, with every byte
  // that is left.
  TCUTRLEDecoder decoder;
  TSourceCursor source{std::span<const uint8_t>(packed)};
  // Rows after the data's end stay black, and the picture says so.
  for (int y = 0; y < height; ++y) {
    TTargetCursor target(std::span<uint8_t>(ScanLine(y), static_cast<size_t>(width)));
    try {
      decoder.Decode(source, target, static_cast<int32_t>(source.Remaining()), width);
    } catch (const EPackedDataEnded&) {
      SetDataEndedEarly(true);
      break;
    }
    ProgressRow(y, height);
  }
  ProgressEnding();
}

void TCUTGraphic::LoadPalette() {
  std::string fileName = FPaletteFile;
  // Palette files from DOS often carry the extension in capitals.
  if (!fileName.empty() && !FileExists(fileName)) fileName = ChangeFileExt(fileName, ".PAL");
  TLogPalette palette;
  if (fileName.empty() || !FileExists(fileName)) {
    palette.palPalEntry.resize(256);
    for (size_t i = 0; i < 256; ++i) {
      const auto level = static_cast<uint8_t>(i);
      palette.palPalEntry[i] = {level, level, level, 0};
    }
  } else {
    TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
    std::array<uint8_t, kBlockSize> block{};
    file.ReadBuffer(block.data(), kBlockSize);
    const size_t count = size_t{LittleEndian16(block, 12)} + 1;
    if (count > 256) throw ERangeError(SRangeError);
    palette.palPalEntry.resize(count);
    size_t at = kPaletteHeaderSize;
    const auto component = [&](size_t offset) { return CheckedByte(LittleEndian16(block, at + offset)); };
    for (TPaletteEntry& entry : palette.palPalEntry) {
      if (at > kLastEntryStart) {
        file.ReadBuffer(block.data(), kBlockSize);
        at = 0;
      }
      entry.peRed = component(0);
      entry.peGreen = component(2);
      entry.peBlue = component(4);
      at += kEntrySize;
    }
  }
  SetPalette(CreatePalette(palette));
}
