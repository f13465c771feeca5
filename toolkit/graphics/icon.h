#pragma once
// Windows icons (.ico): the directory and its images, BMP-style (1, 4, 8, 16, 24 or 32 bits with the
// 1-bit AND mask) or PNG-compressed. Loading keeps the largest image (the deepest among equally large
// ones). The toolkit reads no PNG itself: PNG images need the decoder that the picture-format library
// installs (SetIconPngDecoder); without one they are passed over, and a file holding only such images
// raises EInvalidGraphic.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/graphic.h"

// Decodes one PNG image into the target as pf32bit pixels whose fourth byte is the opacity; raises
// (EInvalidGraphic or another Exception) on damaged data.
using TIconPngDecoder = void (*)(std::span<const uint8_t> png, TBitmap& target);
// Installs the decoder of the PNG images of icons (null removes it).
void SetIconPngDecoder(TIconPngDecoder decoder);

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
