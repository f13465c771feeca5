#include "workbench/uflyimage.h"

#include <QPaintEvent>
#include <QPainter>

#include "toolkit/ui/guarded.h"

namespace {

// The shortest time between two repaints asked by InvalidateSoon.
constexpr std::chrono::milliseconds kRepaintInterval{200};

}  // namespace

tFlyImage::tFlyImage(TComponent* owner, TControl* parent) : TImage(owner, parent) {
  FRepaintLater.setSingleShot(true);
  QObject::connect(&FRepaintLater, &QTimer::timeout, this, [this] {
    FLastRepaint = std::chrono::steady_clock::now();
    update();
  });
}

void tFlyImage::ShowShared(const std::unique_ptr<TBitmap>* slot) {
  if (FShared == slot) return;
  FShared = slot;
  Invalidate();
}

void tFlyImage::InvalidateSoon() {
  FSampleValid = false;
  if (FRepaintLater.isActive()) return;
  const auto now = std::chrono::steady_clock::now();
  const auto since = now - FLastRepaint;
  if (since >= kRepaintInterval) {
    FLastRepaint = now;
    update();
  } else {
    FRepaintLater.start(std::chrono::duration_cast<std::chrono::milliseconds>(kRepaintInterval - since) +
                        std::chrono::milliseconds(1));
  }
}

TBitmap& tFlyImage::OwnBitmap() {
  FShared = nullptr;
  // TImage::Bitmap invalidates the control.
  return Bitmap();
}

const TBitmap* tFlyImage::ShownBitmap() {
  if (FShared) return FShared->get();
  return dynamic_cast<const TBitmap*>(Picture().Graphic());
}

void tFlyImage::Invalidate() {
  FSampleValid = false;
  TImage::Invalidate();
}

QRect tFlyImage::PictureRect(const TBitmap& bitmap) const {
  if (Stretch()) return rect();
  const int x = Center() ? (width() - bitmap.Width()) / 2 : 0;
  const int y = Center() ? (height() - bitmap.Height()) / 2 : 0;
  return QRect(x, y, bitmap.Width(), bitmap.Height());
}

QImage tFlyImage::RenderArea(const QRect& area) {
  const TBitmap* bitmap = ShownBitmap();
  if (!bitmap || bitmap->Empty()) return {};
  const QRect picture = PictureRect(*bitmap);
  const QRect shown = area.intersected(picture);
  if (shown.isEmpty()) return {};
  return SampleBitmap(*bitmap, picture.width(), picture.height(), shown.translated(-picture.topLeft()));
}

void tFlyImage::paintEvent(QPaintEvent* event) {
  Guarded([this, event] {
    const TBitmap* bitmap = ShownBitmap();
    if (!bitmap) {
      // Another kind of graphic (or none): the image control draws it.
      if (!FShared) TImage::paintEvent(event);
      return;
    }
    if (bitmap->Empty()) return;
    const QRect area = event->rect().intersected(PictureRect(*bitmap));
    if (area.isEmpty()) return;
    if (!FSampleValid || !FSampleArea.contains(area)) {
      FSample = RenderArea(area);
      FSampleArea = area;
      FSampleValid = true;
    }
    QPainter painter(this);
    painter.drawImage(area.topLeft(), FSample, area.translated(-FSampleArea.topLeft()));
  });
}

void tFlyImage::resizeEvent(QResizeEvent* event) {
  TImage::resizeEvent(event);
  FSampleValid = false;
}

void tFlyImage::enterEvent(QEnterEvent* event) {
  TImage::enterEvent(event);
  Guarded([this] {
    if (onMouseEnter) onMouseEnter();
  });
}

void tFlyImage::leaveEvent(QEvent* event) {
  TImage::leaveEvent(event);
  Guarded([this] {
    if (onMouseLeave) onMouseLeave();
  });
}
