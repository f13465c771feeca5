#pragma once
// The picture control. It paints straight from the bitmap's rows: the on-screen image is sampled
// (nearest pixel) from the bitmap's memory at the size shown, so a huge bitmap costs only the shown
// pixels per repaint, and the result is kept until the picture or the size changes. After changing the
// bitmap's pixels in place, call Invalidate.

#include <QImage>
#include <QWidget>

#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/picture.h"
#include "toolkit/ui/component.h"

class TImage : public TWidgetControl<QWidget> {
 public:
  TImage(TComponent* owner, TControl* parent);

  TPicture& Picture() { return FPicture; }
  // The picture's bitmap; a picture holding no bitmap is given an empty one.
  TBitmap& Bitmap();

  // Scaled to the control's bounds.
  bool Stretch() const { return FStretch; }
  void SetStretch(bool stretch);
  // Unstretched pictures are centred.
  bool Center() const { return FCenter; }
  void SetCenter(bool center);
  // Stretched pictures keep their proportions (and are never enlarged).
  bool Proportional() const { return FProportional; }
  void SetProportional(bool proportional);

  void Invalidate() override;

  // Where the picture is drawn in the control's client area.
  TRect DestRect() const;
  // The image painted on screen for the current picture and size (what the paint draws in DestRect,
  // clipped to the client area); exposed for tests.
  const QImage& Rendered();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  TPicture FPicture;
  bool FStretch = false;
  bool FCenter = false;
  bool FProportional = false;
  QImage FCache;
  bool FCacheValid = false;
  QSize FCacheSize;  // the control's size the cache was made for
};

// Samples the bitmap scaled to scaledWidth x scaledHeight (nearest pixel) and returns the part inside
// the clip rectangle (in scaled coordinates) as a 32-bit RGB image. Every pixel format is read.
QImage SampleBitmap(const TBitmap& bitmap, int scaledWidth, int scaledHeight, const QRect& clip);
