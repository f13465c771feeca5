#pragma once
// The device-independent bitmap: pf1bit .. pf32bit, rows bottom-up and padded to 4 bytes as in a BMP
// file. ScanLine(y) is the address of row y (row 0 = top); walkers take ScanLine(0) and the step
// ScanLine(1) - ScanLine(0) once and never assume its sign.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "toolkit/graphics/graphic.h"

class TBitmap : public TGraphic {
  ORVANTA_GRAPHIC_CLASS(TBitmap, TGraphic)

 public:
  TBitmap();
  ~TBitmap() override;

  void Assign(const TGraphic& source) override;
  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // Size changes keep the pixels that still fit (top-left anchored); new pixels are black.
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  void SetSize(int width, int height);

  // Reads a BMP file image (every header kind and depth, RLE4/RLE8, bitfields, top-down rows).
  void LoadFromStream(TStream& stream) override;
  // Writes a BMP file image in the bitmap's own pixel format.
  void SaveToStream(TStream& stream) override;
  void Draw(TCanvas& canvas, const TRect& rect) override;

  // A new bitmap reads pfDevice (laid out like pf32bit). Setting the format converts the pixels in
  // place: up through the palette, down to the nearest palette entry. pfCustom cannot be set.
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat format);
  int BitsPerPixel() const;

  // Row access; a row outside 0..Height-1 raises EInvalidGraphicOperation.
  uint8_t* ScanLine(int row);
  const uint8_t* ScanLine(int row) const;
  // Bytes of one row, padding included (always positive).
  int RowStride() const { return FStride; }

  // Palette of an indexed bitmap (1/4/8 bits): the colour table as a logical palette. Setting it
  // replaces the colour table (entries beyond 2^bits are dropped). Other formats keep the palette
  // only for display.
  HPALETTE Palette() const override;
  void SetPalette(HPALETTE palette) override;
  std::span<const TPaletteEntry> ColorTable() const { return FColorTable; }

  // The 16-bit layouts: pf15bit is 5-5-5, pf16bit 5-6-5 (red in the high bits).
  // Handle := 0: releases the image; the bitmap becomes 0 x 0 and keeps its pixel format.
  void ReleaseHandle();
  bool HandleAllocated() const { return !FPixels.empty(); }

  // Takes the other bitmap's pixels, format and palette without copying; the other ends 0 x 0.
  void TakeOver(TBitmap& other);

  TCanvas& Canvas();

 private:
  void Reallocate(int width, int height, TPixelFormat format, bool keepPixels);

  int FWidth = 0;
  int FHeight = 0;
  int FStride = 0;
  TPixelFormat FPixelFormat = pfDevice;
  std::vector<uint8_t> FPixels;  // bottom-up rows
  std::vector<TPaletteEntry> FColorTable;
  HPALETTE FDisplayPalette;
  std::unique_ptr<TCanvas> FCanvas;
};
