#pragma once
// The view's picture control: an image that reports the mouse entering and leaving it.
//
// Besides its own picture it can show a bitmap that lives elsewhere (the result buffer while a run
// grows it) without copying it: it keeps the address of the owner's slot, so a bitmap that the owner
// replaces or frees is never drawn from a stale address. Painting samples only the pixels of the
// region being repainted, straight from the bitmap's rows.

#include <chrono>
#include <functional>
#include <memory>

#include <QImage>
#include <QRect>
#include <QTimer>

#include "toolkit/ui/image.h"

using tproc = std::function<void()>;

class tFlyImage : public TImage {
 public:
  tFlyImage(TComponent* owner, TControl* parent);

  tproc onMouseEnter;
  tproc onMouseLeave;

  // Shows the bitmap held by the slot (by reference) until the own picture is asked for again. The
  // slot must outlive the control or be released with ShowOwn first.
  void ShowShared(const std::unique_ptr<TBitmap>* slot);
  // Shows the control's own picture again and returns its bitmap (for loading into).
  TBitmap& OwnBitmap();
  // Whether a bitmap held elsewhere is shown.
  bool ShowsShared() const { return FShared != nullptr; }
  // The bitmap shown: the shared one (null while its slot is empty) or the own picture's bitmap
  // (null when the picture holds another kind of graphic or none).
  const TBitmap* ShownBitmap();

  void Invalidate() override;
  // Invalidates for a picture that changes often (a run's result after every merge): the next paint
  // samples the new pixels, but the screen is repainted at most a few times a second, the last change
  // included.
  void InvalidateSoon();

  // What a paint of the given control area draws (the shown bitmap scaled to the control when
  // stretched, at its own size otherwise), clipped to the picture; exposed for tests.
  QImage RenderArea(const QRect& area);

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Where the shown bitmap is drawn in the control.
  QRect PictureRect(const TBitmap& bitmap) const;

  const std::unique_ptr<TBitmap>* FShared = nullptr;
  QTimer FRepaintLater;
  std::chrono::steady_clock::time_point FLastRepaint;
  // The last painted area, kept until the picture, its pixels or the control's size change.
  QImage FSample;
  QRect FSampleArea;
  bool FSampleValid = false;
};
