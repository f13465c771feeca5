#pragma once
// Windows metafiles: WMF (placeable, or plain with a window the records set) and enhanced metafiles
// (EMF). The records are checked when the file is loaded and played, GDI style, whenever the picture
// is drawn: pens, brushes, shapes, paths, text, DIB blits, mapping modes, clipping and saved states.
// Records that draw nothing here are passed over.
//
// Its size in pixels is the one the file declares, on a 96 dpi screen: a placeable WMF's bounding box
// at its units per inch, a plain WMF's window at 1440 units per inch, an EMF's frame (hundredths of a
// millimetre). Unless Transparent() is set, drawing first lays white paper under the records.

#include <cstdint>
#include <vector>

#include "toolkit/graphics/graphic.h"
#include "toolkit/graphics/metafile_format.h"

class TMetafile : public TGraphic {
  ORVANTA_GRAPHIC_CLASS(TMetafile, TGraphic)

 public:
  TMetafile();
  ~TMetafile() override;

  bool Empty() const override { return FData.empty(); }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // The size the picture is drawn at by Canvas.Draw; the records scale to it.
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  // True for an EMF, false for a WMF.
  bool Enhanced() const { return FLayout.Enhanced; }

  // Reads the metafile from the stream's position to its end. A damaged file raises EInvalidGraphic
  // (or EReadError) and leaves the picture as it was; one that stops after a whole record but before
  // its end (no end-of-file record, less than its header counts) is read and flagged DataEndedEarly.
  void LoadFromStream(TStream& stream) override;
  // Writes back the bytes the picture was loaded from.
  void SaveToStream(TStream& stream) override;
  // Plays the records into rect of the canvas's bitmap (clipped to it). A picture memory cannot hold, or
  // records that ask for more bitmaps, brushes, clipping work or painting than the file's size allows
  // (see TMetafileBudget), raise EInvalidGraphic and leave the bitmap as it was; but a 24-bit bitmap
  // covered by more than 2^26 pixels is drawn on in place, and keeps what was drawn before a refusal.
  void Draw(TCanvas& canvas, const TRect& rect) override;
  void Assign(const TGraphic& source) override;

 private:
  std::vector<uint8_t> FData;
  TMetafileLayout FLayout;
  int FWidth = 0;
  int FHeight = 0;
};
