#include "toolkit/graphics/icon.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"
#include "toolkit/graphics/blit.h"
#include "toolkit/graphics/bmp_format.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/graphics_messages.h"
#include "toolkit/graphics/pixel_rows.h"

namespace {

constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

[[noreturn]] void Fail(const std::string& detail) {
  throw EInvalidGraphic(std::string(SInvalidIcon) + " : " + detail);
}

// One image of the file, as its BMP-style header describes it.
struct TIconImage {
  int Index = 0;
  std::span<const uint8_t> Bytes;  // the entry's bytes inside the file
  uint32_t HeaderSize = 0;
  int Width = 0;
  int Height = 0;  // half the header's height: the AND mask follows the XOR image
  int Bits = 0;
  size_t TableEntries = 0;
  size_t XorStride = 0;
  size_t AndStride = 0;
  bool HasMask = true;
  bool Png = false;  // a PNG image: Bytes is the whole PNG file
};

TIconPngDecoder PngDecoder = nullptr;

TPixelFormat FormatOfDepth(int bits) {
  switch (bits) {
    case 1:
      return pf1bit;
    case 4:
      return pf4bit;
    case 8:
      return pf8bit;
    case 16:
      return pf15bit;
    case 24:
      return pf24bit;
    default:
      return pf32bit;
  }
}

TIconImage ParseImage(int index, std::span<const uint8_t> bytes) {
  const auto fail = [&]() { Fail(Format(SIconImage, {index})); };
  TIconImage image;
  image.Index = index;
  image.Bytes = bytes;
  if (bytes.size() < kBmpInfoHeaderSize) fail();
  const uint8_t* p = bytes.data();
  image.HeaderSize = ReadLE32(p);
  const auto width = static_cast<int32_t>(ReadLE32(p + 4));
  const auto doubledHeight = static_cast<int32_t>(ReadLE32(p + 8));
  image.Bits = ReadLE16(p + 14);
  const uint32_t compression = ReadLE32(p + 16);
  const uint32_t colorsUsed = ReadLE32(p + 32);
  if (image.HeaderSize < kBmpInfoHeaderSize || image.HeaderSize > kBmpV5HeaderSize ||
      image.HeaderSize > bytes.size())
    fail();
  // Icons are at most 256 pixels each way; PNG entries carry the larger sizes.
  if (width <= 0 || width > 1024 || doubledHeight <= 1 || doubledHeight > 2048) fail();
  if (compression != BI_RGB || colorsUsed > 256 || !IsBmpBitCount(image.Bits)) fail();
  image.Width = width;
  image.Height = doubledHeight / 2;
  image.TableEntries =
      image.Bits <= 8 ? (colorsUsed != 0 ? colorsUsed : size_t{1} << image.Bits) : colorsUsed;
  image.XorStride = static_cast<size_t>(PaddedRowBytes(width, image.Bits));
  image.AndStride = static_cast<size_t>(PaddedRowBytes(width, 1));
  const size_t xorEnd =
      image.HeaderSize + 4 * image.TableEntries + image.XorStride * static_cast<size_t>(image.Height);
  const size_t andEnd = xorEnd + image.AndStride * static_cast<size_t>(image.Height);
  if (xorEnd > bytes.size()) fail();
  // 32-bit images carry their transparency in the alpha channel and may leave the mask out.
  if (andEnd > bytes.size()) {
    if (image.Bits != 32) fail();
    image.HasMask = false;
  }
  return image;
}

bool IsPng(std::span<const uint8_t> bytes) {
  return bytes.size() >= sizeof kPngSignature &&
         std::memcmp(bytes.data(), kPngSignature, sizeof kPngSignature) == 0;
}

// Size and depth of a PNG image from its IHDR chunk, which the PNG format puts first.
TIconImage ParsePngImage(int index, std::span<const uint8_t> bytes) {
  static constexpr uint8_t kIhdr[8] = {0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  static constexpr size_t kIhdrEnd = 8 + 8 + 13;
  if (bytes.size() < kIhdrEnd || std::memcmp(bytes.data() + 8, kIhdr, sizeof kIhdr) != 0)
    Fail(Format(SIconImage, {index}));
  const auto bigEndian = [&](size_t at) {
    return (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) | (uint32_t{bytes[at + 2]} << 8) |
           bytes[at + 3];
  };
  const uint32_t width = bigEndian(16);
  const uint32_t height = bigEndian(20);
  if (width == 0 || height == 0 || width > 1024 || height > 1024) Fail(Format(SIconImage, {index}));
  int channels = 1;  // grey, indexed
  switch (bytes[25]) {
    case 2:
      channels = 3;
      break;
    case 4:
      channels = 2;
      break;
    case 6:
      channels = 4;
      break;
  }
  TIconImage image;
  image.Index = index;
  image.Bytes = bytes;
  image.Width = static_cast<int>(width);
  image.Height = static_cast<int>(height);
  image.Bits = bytes[24] * channels;
  image.Png = true;
  return image;
}

// The image as pf32bit pixels whose fourth byte is the opacity.
void DecodeImage(const TIconImage& image, TBitmap& target) {
  const uint8_t* p = image.Bytes.data() + image.HeaderSize;
  std::vector<TPaletteEntry> table;
  for (size_t i = 0; i < image.TableEntries && i < 256; ++i, p += 4)
    table.push_back(TPaletteEntry{p[2], p[1], p[0], 0});
  if (image.Bits > 8) p = image.Bytes.data() + image.HeaderSize + 4 * image.TableEntries;
  const uint8_t* xorRows = p;
  const uint8_t* andRows =
      image.HasMask ? xorRows + image.XorStride * static_cast<size_t>(image.Height) : nullptr;
  const TPixelFormat format = FormatOfDepth(image.Bits);

  bool useAlpha = false;
  if (image.Bits == 32)
    for (int i = 0; i < image.Height && !useAlpha; ++i)
      for (int x = 0; x < image.Width && !useAlpha; ++x)
        useAlpha = xorRows[image.XorStride * static_cast<size_t>(i) + 4 * static_cast<size_t>(x) + 3] != 0;

  target.SetPixelFormat(pf32bit);
  target.SetSize(image.Width, image.Height);
  std::vector<TQuad> quads(static_cast<size_t>(image.Width));
  for (int i = 0; i < image.Height; ++i) {  // file rows run bottom-up
    const int y = image.Height - 1 - i;
    DecodeRow(format, xorRows + image.XorStride * static_cast<size_t>(i), 0, image.Width, table,
              quads.data());
    const uint8_t* mask = andRows ? andRows + image.AndStride * static_cast<size_t>(i) : nullptr;
    for (int x = 0; x < image.Width; ++x) {
      uint8_t opacity = 255;
      if (useAlpha)
        opacity = QuadX(quads[static_cast<size_t>(x)]);
      else if (mask && GetPixelIndex(pf1bit, mask, x) != 0)
        opacity = 0;
      quads[static_cast<size_t>(x)] = (quads[static_cast<size_t>(x)] & 0xFFFFFF) | (TQuad{opacity} << 24);
    }
    EncodeRow(pf32bit, quads.data(), 0, image.Width, target.ScanLine(y), nullptr);
  }
}

uint8_t Blend(uint8_t source, uint8_t target, uint8_t opacity) {
  return static_cast<uint8_t>((source * opacity + target * (255 - opacity) + 127) / 255);
}

}  // namespace

void SetIconPngDecoder(TIconPngDecoder decoder) {
  PngDecoder = decoder;
}

TIcon::TIcon() = default;
TIcon::~TIcon() = default;

void TIcon::SetWidth(int) {
  throw EInvalidGraphicOperation(SChangeIconSize);
}
void TIcon::SetHeight(int) {
  throw EInvalidGraphicOperation(SChangeIconSize);
}

// A file that ends inside its directory is an invalid icon, said as such.
void TIcon::LoadFromStream(TStream& stream) try {
  const int64_t base = stream.Position();
  const int64_t available = stream.Size() - base;
  uint8_t directory[kDirectorySize];
  stream.ReadBuffer(directory, kDirectorySize);
  const uint16_t count = ReadLE16(directory + 4);
  if (ReadLE16(directory) != 0 || ReadLE16(directory + 2) != 1 || count == 0) Fail(SIconHeader);
  std::vector<uint8_t> entries(kEntrySize * count);
  stream.ReadBuffer(entries.data(), static_cast<int64_t>(entries.size()));

  const int64_t directoryEnd = static_cast<int64_t>(kDirectorySize + entries.size());
  int64_t end = directoryEnd;
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = entries.data() + kEntrySize * static_cast<size_t>(i);
    const int64_t size = ReadLE32(e + 8);
    const int64_t offset = ReadLE32(e + 12);
    if (offset < directoryEnd || offset + size > available || size == 0) Fail(Format(SIconEntry, {i}));
    end = std::max(end, offset + size);
  }
  std::vector<uint8_t> data(static_cast<size_t>(end));
  std::memcpy(data.data(), directory, kDirectorySize);
  std::memcpy(data.data() + kDirectorySize, entries.data(), entries.size());
  stream.ReadBuffer(data.data() + directoryEnd, end - directoryEnd);

  // The largest image wins, the deepest among equally large ones; PNG images only with a decoder.
  std::optional<TIconImage> best;
  bool sawPng = false;
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = entries.data() + kEntrySize * static_cast<size_t>(i);
    const std::span<const uint8_t> bytes(data.data() + ReadLE32(e + 12), ReadLE32(e + 8));
    if (IsPng(bytes) && !PngDecoder) {
      sawPng = true;
      continue;
    }
    const TIconImage image = IsPng(bytes) ? ParsePngImage(i, bytes) : ParseImage(i, bytes);
    const int64_t area = int64_t{image.Width} * image.Height;
    if (!best || area > int64_t{best->Width} * best->Height ||
        (area == int64_t{best->Width} * best->Height && image.Bits > best->Bits))
      best = image;
  }
  if (!best) Fail(sawPng ? SIconPng : SIconHeader);

  TBitmap image;
  if (best->Png)
    PngDecoder(best->Bytes, image);
  else
    DecodeImage(*best, image);
  if (image.Empty() || image.PixelFormat() != pf32bit) Fail(Format(SIconImage, {best->Index}));
  FImage.TakeOver(image);
  FData = std::move(data);
  Changed();
} catch (const EReadError&) {
  Fail(SFileTruncated);
}

void TIcon::SaveToStream(TStream& stream) {
  if (!FData.empty()) stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) {
  TBitmap& target = canvas.Bitmap();
  if (FImage.Empty() || target.Empty()) return;
  const TStretchMap map = BuildStretchMap(target.Width(), target.Height(), rect, FImage.Width(),
                                          FImage.Height(), Rect(0, 0, FImage.Width(), FImage.Height()));
  if (map.Width() == 0) return;
  const TPixelFormat format = target.PixelFormat();
  TColorMatcher matcher(target.ColorTable());
  std::vector<TQuad> source(static_cast<size_t>(FImage.Width()));
  std::vector<TQuad> behind(static_cast<size_t>(map.Width()));
  for (int j = 0; j < map.Height(); ++j) {
    DecodeRow(pf32bit, FImage.ScanLine(map.SourceY[j]), 0, FImage.Width(), {}, source.data());
    uint8_t* row = target.ScanLine(map.Top + j);
    DecodeRow(format, row, map.Left, map.Width(), target.ColorTable(), behind.data());
    for (int i = 0; i < map.Width(); ++i) {
      const TQuad s = source[static_cast<size_t>(map.SourceX[i])];
      const TQuad d = behind[static_cast<size_t>(i)];
      const uint8_t opacity = QuadX(s);
      if (opacity == 0) continue;  // transparent: the target stays as it is
      const TQuad mixed =
          opacity == 255 ? (s & 0xFFFFFF) | (d & 0xFF000000u)
                         : MakeQuad(Blend(QuadR(s), QuadR(d), opacity), Blend(QuadG(s), QuadG(d), opacity),
                                    Blend(QuadB(s), QuadB(d), opacity), QuadX(d));
      EncodeRow(format, &mixed, map.Left + i, 1, row, &matcher);
    }
  }
  target.Changed();
}

bool TIcon::AssignTo(TGraphic& target) const {
  if (!target.ClassType()->InheritsFrom(TBitmap::StaticClass())) return false;
  target.Assign(FImage);
  return true;
}

void TIcon::Assign(const TGraphic& source) {
  if (&source == this) return;
  if (source.ClassType()->InheritsFrom(TIcon::StaticClass())) {
    const auto& icon = static_cast<const TIcon&>(source);
    FImage.Assign(icon.FImage);
    FData = icon.FData;
    Changed();
    return;
  }
  TGraphic::Assign(source);
}
