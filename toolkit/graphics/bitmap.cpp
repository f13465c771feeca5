#include "toolkit/graphics/bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"
#include "toolkit/graphics/blit.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/pixel_rows.h"

namespace {

// One bitmap's pixel memory at most (4 GiB): a size beyond it is a mistake or a damaged file, and is
// refused before memory runs out.
constexpr int64_t kMaxBitmapBytes = int64_t{1} << 32;

}  // namespace

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

bool TBitmap::SizeWithinLimit(int width, int height, TPixelFormat format) {
  if (width < 0 || height < 0) return false;
  const int64_t rowBytes = (int64_t{width} * StoredBitsPerPixel(format) + 31) / 32 * 4;
  return rowBytes <= INT32_MAX && rowBytes * height <= kMaxBitmapBytes;
}

int TBitmap::BitsPerPixel() const {
  return StoredBitsPerPixel(FPixelFormat);
}

// --- memory ---

void TBitmap::Reallocate(int width, int height, TPixelFormat format, bool keepPixels, bool zeroFill) {
  if (width < 0 || height < 0) throw ERangeError(SRangeError);
  const int stride = PaddedRowBytes(width, StoredBitsPerPixel(format));
  TPixelMemory pixels;
  const int64_t size = static_cast<int64_t>(stride) * height;
  if (size > 0) {
    if (size > kMaxBitmapBytes) throw EOutOfResources(SOutOfResources);
    try {
      pixels = TPixelMemory(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
      throw EOutOfResources(SOutOfResources);
    }
    if (keepPixels && FPixels && StoredBitsPerPixel(format) == BitsPerPixel()) {
      // The rows and the part of each row that still fit are copied; everything else turns black,
      // including pixels past the old width that share a byte with kept ones.
      const int keptRows = std::min(height, FHeight);
      const int64_t keptBits = int64_t{std::min(width, FWidth)} * StoredBitsPerPixel(format);
      const auto keptBytes = static_cast<size_t>((keptBits + 7) / 8);
      const auto rowBytes = static_cast<size_t>(stride);
      // Both buffers are bottom-up: top row y lives at (height - 1 - y) * stride.
      for (int y = 0; y < height; ++y) {
        uint8_t* to = pixels.get() + static_cast<size_t>(height - 1 - y) * rowBytes;
        if (y >= keptRows) {
          std::memset(to, 0, rowBytes);
          continue;
        }
        const uint8_t* from =
            FPixels.get() + static_cast<size_t>(FHeight - 1 - y) * static_cast<size_t>(FStride);
        std::memcpy(to, from, keptBytes);
        if (keptBits % 8 != 0) to[keptBytes - 1] &= static_cast<uint8_t>(0xFF00 >> (keptBits % 8));
        std::memset(to + keptBytes, 0, rowBytes - keptBytes);
      }
    } else if (keepPixels || zeroFill) {
      std::memset(pixels.get(), 0, static_cast<size_t>(size));
    }
  }
  FPixels = std::move(pixels);
  FWidth = width;
  FHeight = height;
  FStride = stride;
  FPixelFormat = format;
}

void TBitmap::SetWidth(int width) {
  SetSize(width, FHeight);
}
void TBitmap::SetHeight(int height) {
  SetSize(FWidth, height);
}

void TBitmap::SetSize(int width, int height) {
  if (width == FWidth && height == FHeight) return;
  if (IsIndexedFormat(FPixelFormat) && FColorTable.empty()) FColorTable = DefaultColorTable(FPixelFormat);
  Reallocate(width, height, FPixelFormat, true, true);
  Changed();
}

void TBitmap::SetSizeForOverwrite(int width, int height, TPixelFormat format) {
  if (format == pfCustom || format > pfCustom) throw EInvalidGraphic(SInvalidPixelFormat);
  if (width < 0 || height < 0) throw ERangeError(SRangeError);
  const int stride = PaddedRowBytes(width, StoredBitsPerPixel(format));
  const bool keepTable = format == FPixelFormat && !FColorTable.empty();
  if (!FPixels || static_cast<int64_t>(stride) * height != static_cast<int64_t>(FStride) * FHeight) {
    FPixels.reset();  // the old pixels go before the new ones come: one picture's memory at a time
    Reallocate(width, height, format, false, false);
  } else {
    FWidth = width;
    FHeight = height;
    FStride = stride;
    FPixelFormat = format;
  }
  if (!IsIndexedFormat(format)) {
    FColorTable.clear();
    FDisplayPalette.reset();
  } else if (!keepTable) {
    SetColorTable(DefaultColorTable(format));
  }
  // Padding is written to files as it stands, so it must hold no old or uninitialised bytes; a last
  // byte that pixels share with padding is cleared whole before the writer sets its pixels.
  const auto used = static_cast<size_t>(static_cast<int64_t>(width) * StoredBitsPerPixel(format) / 8);
  if (FPixels && used < static_cast<size_t>(stride))
    for (int y = 0; y < height; ++y)
      std::memset(FPixels.get() + static_cast<size_t>(y) * static_cast<size_t>(stride) + used, 0,
                  static_cast<size_t>(stride) - used);
  Changed();
}

uint8_t* TBitmap::ScanLine(int row) {
  if (row < 0 || row >= FHeight || !FPixels) throw EInvalidGraphicOperation(SScanLine);
  return FPixels.get() + static_cast<size_t>(FHeight - 1 - row) * FStride;
}

const uint8_t* TBitmap::ScanLine(int row) const {
  return const_cast<TBitmap*>(this)->ScanLine(row);
}

void TBitmap::ReleaseHandle() {
  SetDataEndedEarly(false);
  FPixels.reset();
  FWidth = 0;
  FHeight = 0;
  FStride = 0;
  Changed();
}

void TBitmap::TakeOver(TBitmap& other) {
  if (&other == this) return;
  FPixels = std::move(other.FPixels);
  FWidth = other.FWidth;
  FHeight = other.FHeight;
  FStride = other.FStride;
  FPixelFormat = other.FPixelFormat;
  FColorTable = other.FColorTable;
  FDisplayPalette = other.FDisplayPalette;
  other.FWidth = 0;
  other.FHeight = 0;
  other.FStride = 0;
  Changed();
  other.Changed();
}

void TBitmap::ExchangePixels(TPixelMemory& pixels) {
  if (!FPixels || pixels.size() != static_cast<size_t>(FStride) * static_cast<size_t>(FHeight))
    throw ERangeError(SRangeError);
  std::swap(FPixels, pixels);
  Changed();
}

TCanvas& TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TCanvas>(*this);
  return *FCanvas;
}

// --- palette ---

void TBitmap::SetColorTable(std::vector<TPaletteEntry> table) {
  const size_t limit = size_t{1} << StoredBitsPerPixel(FPixelFormat);
  if (table.size() > limit) table.resize(limit);
  FColorTable = std::move(table);
  FDisplayPalette.reset();
}

HPALETTE TBitmap::Palette() const {
  if (!FDisplayPalette && IsIndexedFormat(FPixelFormat) && !FColorTable.empty()) {
    TLogPalette log;
    log.palPalEntry = FColorTable;
    FDisplayPalette = CreatePalette(log);
  }
  return FDisplayPalette;
}

void TBitmap::SetPalette(HPALETTE palette) {
  if (palette == FDisplayPalette) return;
  if (IsIndexedFormat(FPixelFormat) && palette) SetColorTable(palette->palPalEntry);
  FDisplayPalette = std::move(palette);
  SetPaletteModified(true);
  Changed();
}

// --- copies ---

void TBitmap::CopyFrom(const TBitmap& source) {
  Reallocate(source.FWidth, source.FHeight, source.FPixelFormat, false, false);
  if (FPixels)
    std::memcpy(FPixels.get(), source.FPixels.get(),
                static_cast<size_t>(FStride) * static_cast<size_t>(FHeight));
  FColorTable = source.FColorTable;
  FDisplayPalette = source.FDisplayPalette;
  SetTransparent(source.Transparent());
}

void TBitmap::Assign(const TGraphic& source) {
  if (&source == this) return;
  if (source.ClassType()->InheritsFrom(TBitmap::StaticClass())) {
    CopyFrom(static_cast<const TBitmap&>(source));
    Changed();
    return;
  }
  if (source.AssignTo(*this)) return;
  if (IsIndexedFormat(FPixelFormat) && FColorTable.empty()) FColorTable = DefaultColorTable(FPixelFormat);
  Reallocate(source.Width(), source.Height(), FPixelFormat, false, true);
  // Drawing does not change the picture; Draw is not const only because some pictures decode lazily.
  const_cast<TGraphic&>(source).Draw(Canvas(), Rect(0, 0, FWidth, FHeight));
  Changed();
}

void TBitmap::InstallLoaded(int width, int height, TPixelFormat format, std::vector<TPaletteEntry> table,
                            TPixelMemory pixels, int stride) {
  FPixels = std::move(pixels);
  FWidth = width;
  FHeight = height;
  FStride = stride;
  FPixelFormat = format;
  FColorTable.clear();
  FDisplayPalette.reset();
  if (IsIndexedFormat(format)) SetColorTable(std::move(table));
  SetPaletteModified(IsIndexedFormat(format));
  Changed();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
  StretchBlit(canvas.Bitmap(), rect, *this, Rect(0, 0, FWidth, FHeight));
  canvas.Bitmap().Changed();
}
