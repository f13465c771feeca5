// The TIFF preview of DOS binary EPS files: a 30-byte header pointing at PostScript, a Windows
// metafile and a TIFF file within the same file.

#include <array>

#include "picture_formats/byte_fields.h"
#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "picture_formats/tiff_graphic.h"

namespace {

constexpr const char* kEPS = "EPS";
constexpr int64_t kHeaderSize = 30;
constexpr uint32_t kMagic = 0xC6D3D0C5;  // the bytes C5 D0 D3 C6

struct TEPSHeader {
  uint32_t Magic = 0;
  uint32_t TIFFOffset = 0;  // from the header's first byte
  uint32_t TIFFLength = 0;
};

TEPSHeader ParseHeader(const std::array<uint8_t, kHeaderSize>& bytes) {
  return {LittleEndian32(bytes, 0), LittleEndian32(bytes, 20), LittleEndian32(bytes, 24)};
}

bool HasPreview(const TEPSHeader& header) {
  return header.TIFFOffset > kHeaderSize && header.TIFFLength > 0;
}

}  // namespace

bool TEPSGraphic::CanLoad(TStream& stream) {
  TStreamPositionGuard guard(stream);
  if (BytesLeft(stream) <= kHeaderSize) return false;
  std::array<uint8_t, kHeaderSize> bytes{};
  if (stream.Read(bytes.data(), kHeaderSize) != kHeaderSize) return false;
  const TEPSHeader header = ParseHeader(bytes);
  return header.Magic == kMagic && HasPreview(header);
}

void TEPSGraphic::LoadFromStream(TStream& stream) {
  const int64_t start = stream.Position();
  std::array<uint8_t, kHeaderSize> bytes{};
  const bool whole = stream.Read(bytes.data(), kHeaderSize) == kHeaderSize;
  const TEPSHeader header = ParseHeader(bytes);
  if (!whole || header.Magic != kMagic || !HasPreview(header)) FormatErrorFmt(gesInvalidImage, {kEPS});
  stream.SetPosition(start + header.TIFFOffset);
  TTIFFGraphic::LoadFromStream(stream);
}
