// Writing BMP file images in the bitmap's own pixel format: a 14-byte file header, a 40-byte
// BITMAPINFOHEADER, the colour table of indexed formats (clrUsed = its length), the 5-6-5 masks of
// pf16bit (BI_BITFIELDS), then the bottom-up rows. pf15bit is written as BI_RGB 16-bit, pfDevice as
// 32-bit.

#include <vector>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/bmp_format.h"
#include "toolkit/graphics/pixel_rows.h"

void TBitmap::SaveToStream(TStream& stream) {
  const int bits = BitsPerPixel();
  const bool masks = FPixelFormat == pf16bit;
  std::vector<TPaletteEntry> table;
  if (IsIndexedFormat(FPixelFormat))
    table = FColorTable.empty() ? DefaultColorTable(FPixelFormat) : FColorTable;

  const uint32_t maskBytes = masks ? 12 : 0;
  const auto offBits =
      static_cast<uint32_t>(kBmpFileHeaderSize + kBmpInfoHeaderSize + maskBytes + 4 * table.size());
  const uint64_t imageSize = static_cast<uint64_t>(FStride) * static_cast<uint64_t>(FHeight);
  const uint64_t fileSize = offBits + imageSize;
  if (fileSize > UINT32_MAX) throw EWriteError(SWriteError);

  std::vector<uint8_t> header(offBits, 0);
  uint8_t* p = header.data();
  WriteLE16(p, kBmpSignature);
  WriteLE32(p + 2, static_cast<uint32_t>(fileSize));
  WriteLE32(p + 10, offBits);
  p += kBmpFileHeaderSize;
  WriteLE32(p, kBmpInfoHeaderSize);
  WriteLE32(p + 4, static_cast<uint32_t>(FWidth));
  WriteLE32(p + 8, static_cast<uint32_t>(FHeight));
  WriteLE16(p + 12, 1);
  WriteLE16(p + 14, static_cast<uint16_t>(bits));
  WriteLE32(p + 16, masks ? BI_BITFIELDS : BI_RGB);
  WriteLE32(p + 20, static_cast<uint32_t>(imageSize));
  WriteLE32(p + 32, static_cast<uint32_t>(table.size()));
  p += kBmpInfoHeaderSize;
  if (masks) {
    WriteLE32(p, 0xF800);
    WriteLE32(p + 4, 0x07E0);
    WriteLE32(p + 8, 0x001F);
    p += maskBytes;
  }
  for (const TPaletteEntry& e : table) {
    p[0] = e.peBlue;
    p[1] = e.peGreen;
    p[2] = e.peRed;
    p += 4;
  }
  stream.WriteBuffer(header.data(), static_cast<int64_t>(header.size()));
  // Memory rows are bottom-up, as the file wants them.
  if (imageSize > 0) stream.WriteBuffer(FPixels.get(), static_cast<int64_t>(imageSize));
}
