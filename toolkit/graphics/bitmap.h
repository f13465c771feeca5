#pragma once
// The device-independent bitmap: pf1bit .. pf32bit, rows bottom-up and padded to 4 bytes as in a BMP
// file. ScanLine(y) is the address of row y (row 0 = top); walkers take ScanLine(0) and the step
// ScanLine(1) - ScanLine(0) (= -RowStride()) once and never assume its sign.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "toolkit/graphics/graphic.h"
#include "toolkit/graphics/pixel_memory.h"

class TBitmap : public TGraphic {
  ORVANTA_GRAPHIC_CLASS(TBitmap, TGraphic)

 public:
  TBitmap();
  ~TBitmap() override;

  // From another TBitmap (or a class derived from it): a deep copy of pixels, format and palette.
  // From any other picture: the picture's own AssignTo when it has one, else the bitmap takes the
  // picture's size (keeping its pixel format), starts black and draws the picture into itself.
  void Assign(const TGraphic& source) override;
  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // Size changes keep the pixels that still fit (top-left anchored); new pixels are black (index 0 in
  // indexed formats). A negative size raises ERangeError; one needing more than 4 GiB of pixel memory
  // (or more than there is) EOutOfResources.
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  void SetSize(int width, int height);
  // Whether a bitmap of the format may have that size: no negative side, and pixel memory within the
  // limit above (memory may still run out).
  static bool SizeWithinLimit(int width, int height, TPixelFormat format);
  // Gives the bitmap the size and pixel format for a writer that sets every pixel (a decoder): the
  // pixel memory is kept when it has the size needed already (a picture of the same size and format,
  // say), else replaced; either way nothing is copied or cleared but the row padding. The pixels are
  // undefined until written. An indexed format keeps its colour table when the format stays, else
  // takes the format's default one. Raises as SetSize does.
  void SetSizeForOverwrite(int width, int height, TPixelFormat format);

  // Reads a BMP file image at the stream's position (every header kind and depth, RLE4/RLE8,
  // bitfields, top-down rows). A damaged file raises EInvalidGraphic (or EReadError) and leaves the
  // bitmap as it was.
  void LoadFromStream(TStream& stream) override;
  // Writes a BMP file image in the bitmap's own pixel format.
  void SaveToStream(TStream& stream) override;
  // Copies (or stretches, nearest pixel) the whole bitmap into rect of the canvas's bitmap, converting
  // to the target's pixel format.
  void Draw(TCanvas& canvas, const TRect& rect) override;

  // A new bitmap reads pfDevice (laid out like pf32bit). Setting the format converts the pixels in
  // place: up through the palette, down to the nearest entry of the new format's default palette
  // (between indexed formats going up, indices and colour table are kept). pfCustom (or any unknown
  // code) raises EInvalidGraphic with SInvalidPixelFormat.
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat format);
  // Bits of one stored pixel: 1, 4, 8, 16 (pf15bit, pf16bit), 24, 32 (pf32bit, pfDevice).
  int BitsPerPixel() const;

  // Row access; a row outside 0..Height-1 (and any row of a bitmap without pixels) raises
  // EInvalidGraphicOperation with SScanLine.
  uint8_t* ScanLine(int row);
  const uint8_t* ScanLine(int row) const;
  // Bytes of one row, padding included (always positive).
  int RowStride() const { return FStride; }

  // Palette of an indexed bitmap (1/4/8 bits): the colour table as a logical palette (the palette last
  // set when there is one, so the same handle reads back). Setting it replaces the colour table
  // (entries beyond 2^bits are dropped). Other formats keep the palette only for display.
  // Default colour tables: 1 bit black and white, 4 bits StandardPalette16, 8 bits the halftone palette.
  HPALETTE Palette() const override;
  void SetPalette(HPALETTE palette) override;
  std::span<const TPaletteEntry> ColorTable() const { return FColorTable; }

  // The 16-bit layouts: pf15bit is 5-5-5, pf16bit 5-6-5 (red in the high bits).
  // Handle := 0: releases the image; the bitmap becomes 0 x 0 and keeps its pixel format.
  void ReleaseHandle();
  bool HandleAllocated() const { return static_cast<bool>(FPixels); }

  // Takes the other bitmap's pixels, format and palette without copying; the other ends 0 x 0.
  void TakeOver(TBitmap& other);
  // Exchanges the pixel memory with a buffer of exactly RowStride() x Height() bytes laid out as the
  // bitmap's rows (padding included), so that pixels made beside the bitmap come in without a copy;
  // size, format and palette stay. A bitmap without pixels, or a buffer of another size, raises
  // ERangeError and changes nothing.
  void ExchangePixels(TPixelMemory& pixels);

  TCanvas& Canvas();

 private:
  // Replaces the pixel memory by a buffer of the given size and format; with keepPixels the part that
  // still fits is copied and the rest zeroed, with zeroFill everything is zeroed, else the contents
  // are left for the caller to overwrite.
  void Reallocate(int width, int height, TPixelFormat format, bool keepPixels, bool zeroFill);
  void CopyFrom(const TBitmap& source);
  void SetColorTable(std::vector<TPaletteEntry> table);
  void InstallLoaded(int width, int height, TPixelFormat format, std::vector<TPaletteEntry> table,
                     TPixelMemory pixels, int stride);

  int FWidth = 0;
  int FHeight = 0;
  int FStride = 0;
  TPixelFormat FPixelFormat = pfDevice;
  TPixelMemory FPixels;  // bottom-up rows, FStride * FHeight bytes; none when empty
  std::vector<TPaletteEntry> FColorTable;
  mutable HPALETTE FDisplayPalette;
  std::unique_ptr<TCanvas> FCanvas;
};
