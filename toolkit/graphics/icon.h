#pragma once
// Windows icons (.ico): the directory and its BMP-style images (1, 4, 8, 16, 24 or 32 bits with the
// 1-bit AND mask). Loading keeps the largest image (the deepest among equally large ones); images
// stored as PNG are passed over, and a file holding only such images raises EInvalidGraphic.

#include <cstdint>
#include <memory>
#include <vector>

#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/graphic.h"

class TIcon : public TGraphic {
  ORVANTA_GRAPHIC_CLASS(TIcon, TGraphic)

 public:
  TIcon();
  ~TIcon() override;

  bool Empty() const override { return FImage.Empty(); }
  int Width() const override { return FImage.Width(); }
  int Height() const override { return FImage.Height(); }
  // An icon's size is fixed by its file: raises EInvalidGraphicOperation.
  void SetWidth(int width) override;
  void SetHeight(int height) override;

  // Reads an .ico file image at the stream's position. A damaged file raises EInvalidGraphic (or
  // EReadError) and leaves the icon as it was.
  void LoadFromStream(TStream& stream) override;
  // Writes back the bytes the icon was loaded from (nothing for an icon never loaded).
  void SaveToStream(TStream& stream) override;
  // Draws the image into rect (stretched by nearest pixel when the sizes differ): pixels the AND mask
  // marks transparent leave the target unchanged; 32-bit images with an alpha channel are blended.
  void Draw(TCanvas& canvas, const TRect& rect) override;
  // A TBitmap target becomes a pf32bit copy of the image, its fourth byte the opacity (0 transparent,
  // 255 opaque, or the image's own alpha).
  bool AssignTo(TGraphic& target) const override;
  void Assign(const TGraphic& source) override;

  // The image as 32-bit pixels: blue, green, red and opacity.
  const TBitmap& Image() const { return FImage; }

 private:
  TBitmap FImage;
  std::vector<uint8_t> FData;  // the file as loaded
};
