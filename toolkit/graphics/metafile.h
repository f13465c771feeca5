#pragma once
// Windows metafiles (.wmf, .emf). Not readable yet: loading one raises EInvalidGraphic with
// SMetafileNotSupported. The picture stays empty, 0 x 0.

#include "toolkit/graphics/graphic.h"

class TMetafile : public TGraphic {
  ORVANTA_GRAPHIC_CLASS(TMetafile, TGraphic)

 public:
  bool Empty() const override { return true; }
  int Width() const override { return 0; }
  int Height() const override { return 0; }
  // An empty metafile has no size to change.
  void SetWidth(int) override {}
  void SetHeight(int) override {}

  void LoadFromStream(TStream& stream) override;
  // Writes nothing: there is no picture.
  void SaveToStream(TStream&) override {}
  // Draws nothing.
  void Draw(TCanvas&, const TRect&) override {}
};
