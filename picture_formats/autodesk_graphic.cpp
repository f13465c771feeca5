#include "picture_formats/autodesk_graphic.h"

#include <algorithm>
#include <array>

#include "picture_formats/byte_fields.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "toolkit/core/checked.h"

namespace {

constexpr const char* kAutodesk = "Autodesk";
constexpr int64_t kHeaderSize = 32;
constexpr size_t kPaletteSize = 3 * 256;

using THeaderBytes = std::array<uint8_t, kHeaderSize>;

TAutodeskGraphic::THeader ParseHeader(const THeaderBytes& bytes) {
  return {LittleEndian16(bytes, 0), LittleEndian16(bytes, 2), LittleEndian16(bytes, 4), bytes[10], bytes[11]};
}

}  // namespace

bool TAutodeskGraphic::CanLoad(TStream& stream) {
  TStreamPositionGuard guard(stream);
  if (BytesLeft(stream) <= kHeaderSize) return false;
  THeaderBytes bytes{};
  if (stream.Read(bytes.data(), kHeaderSize) != kHeaderSize) return false;
  const THeader header = ParseHeader(bytes);
  return header.FileID == FileID && header.BitsPerPixel == 8 && header.Compression == 0;
}

bool TAutodeskGraphic::ReadImageProperties(TStream& stream, uint32_t imageIndex) {
  TFormatGraphic::ReadImageProperties(stream, imageIndex);
  THeaderBytes bytes{};
  stream.ReadBuffer(bytes.data(), 2);
  if (LittleEndian16(bytes, 0) != FileID) return false;
  stream.ReadBuffer(bytes.data() + 2, kHeaderSize - 2);
  FHeader = ParseHeader(bytes);
  SetIndexed8Properties(ImageProperties(), FHeader.Width, FHeader.Height, ctNone);
  return true;
}

void TAutodeskGraphic::LoadFromStream(TStream& stream) {
  ReleaseHandle();
  BasePosition = stream.Position();
  if (!ReadImageProperties(stream, 0) || FHeader.Width == 0 || FHeader.Height == 0)
    FormatErrorFmt(gesInvalidImage, {kAutodesk});
  const int width = FHeader.Width;
  const int height = FHeader.Height;
  ProgressRect = Rect(0, 0, width, 1);
  ProgressStarting(gesTransfering);

  // The header has been read; the palette and the stored rows, a byte a pixel, follow it. A file
  // without all of them is refused before the bitmap is made.
  const auto left = static_cast<uint64_t>(BytesLeft(stream));
  RequireRowData(left - std::min<uint64_t>(left, kPaletteSize), 1, FHeader.Width, FHeader.Height, kAutodesk,
                 kAutodesk);
  std::array<uint8_t, kPaletteSize> colors{};
  stream.ReadBuffer(colors.data(), kPaletteSize);
  TLogPalette palette;
  palette.palPalEntry.resize(256);
  for (size_t i = 0; i < 256; ++i) {
    TPaletteEntry& entry = palette.palPalEntry[i];
    entry.peRed = CheckedByte(colors[3 * i] * 4);
    entry.peGreen = CheckedByte(colors[3 * i + 1] * 4);
    entry.peBlue = CheckedByte(colors[3 * i + 2] * 4);
  }

  SetPixelFormat(pf8bit);
  SetSize(width, height);
  SetPalette(CreatePalette(palette));
  for (int y = 0; y < height; ++y) {
    stream.ReadBuffer(ScanLine(y), width);
    ProgressRow(y, height);
  }
  ProgressEnding();
}
