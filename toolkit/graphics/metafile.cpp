#include "toolkit/graphics/metafile.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/graphics_messages.h"
#include "toolkit/graphics/metafile_budget.h"
#include "toolkit/graphics/pixel_rows.h"

namespace {

// Files beyond this are not metafiles anyone draws; reading them whole would only cost memory.
constexpr int64_t kMaxFileSize = int64_t{256} << 20;

}  // namespace

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

void TMetafile::SetWidth(int width) {
  if (width < 0) throw ERangeError(SRangeError);
  FWidth = width;
  Changed();
}

void TMetafile::SetHeight(int height) {
  if (height < 0) throw ERangeError(SRangeError);
  FHeight = height;
  Changed();
}

void TMetafile::LoadFromStream(TStream& stream) {
  const int64_t size = stream.Size() - stream.Position();
  if (size > kMaxFileSize) throw EInvalidGraphic(std::string(SInvalidMetafile) + " : " + SMetafileTooLarge);
  std::vector<uint8_t> data(static_cast<size_t>(std::max<int64_t>(size, 0)));
  stream.ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
  const TMetafileLayout layout = ReadMetafileLayout(data);
  FData = std::move(data);
  FLayout = layout;
  FWidth = layout.Width;
  FHeight = layout.Height;
  SetDataEndedEarly(layout.EndedEarly);
  Changed();
}

void TMetafile::SaveToStream(TStream& stream) {
  if (!FData.empty()) stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

namespace {

// Pictures of more pixels than this are drawn straight into a 24-bit bitmap's own rows: a copy of 32
// bits a pixel would hold more than 256 MB beside it (a 16384 x 16384 picture, 805 MB, would need 1 GB).
// Smaller ones, and bitmaps of the other formats, are drawn into such a copy, where Qt paints lines and
// text faster, and taken back from it.
constexpr int64_t kMaxCopiedPixels = int64_t{1} << 26;

// The covered part of a 24-bit bitmap's rows, bottom-up as they are stored, turned top-down in place
// (each row's covered bytes swapped with those of its mirror row) for as long as it lives, so that Qt
// draws on the bitmap's own memory; turned back however the drawing ends.
class TRowsTurned {
 public:
  TRowsTurned(TBitmap& bitmap, int left, int top, int width, int height)
      : FBitmap(bitmap), FLeft(left), FTop(top), FWidth(width), FHeight(height) {}
  TRowsTurned(const TRowsTurned&) = delete;
  TRowsTurned& operator=(const TRowsTurned&) = delete;
  ~TRowsTurned() { Turn(); }

  // Swaps the covered rows' order.
  void Turn() {
    const size_t offset = static_cast<size_t>(FLeft) * 3, bytes = static_cast<size_t>(FWidth) * 3;
    for (int i = 0; i < FHeight / 2; ++i) {
      uint8_t* upper = FBitmap.ScanLine(FTop + i) + offset;
      std::swap_ranges(upper, upper + bytes, FBitmap.ScanLine(FTop + FHeight - 1 - i) + offset);
    }
  }
  // The covered part as an image whose row 0 is the top row.
  QImage Image() {
    return QImage(FBitmap.ScanLine(FTop + FHeight - 1) + static_cast<size_t>(FLeft) * 3, FWidth, FHeight,
                  FBitmap.RowStride(), QImage::Format_BGR888);
  }

 private:
  TBitmap& FBitmap;
  int FLeft, FTop, FWidth, FHeight;
};

}  // namespace

void TMetafile::Draw(TCanvas& canvas, const TRect& rect) {
  TBitmap& target = canvas.Bitmap();
  if (FData.empty() || target.Empty() || rect.Width() <= 0 || rect.Height() <= 0) return;
  const int left = std::max(rect.Left, 0);
  const int top = std::max(rect.Top, 0);
  const int right = std::min(rect.Right, target.Width());
  const int bottom = std::min(rect.Bottom, target.Height());
  if (left >= right || top >= bottom) return;
  const int width = right - left;
  const int height = bottom - top;
  // The picture's place on the covered part.
  const QRectF place(rect.Left - left, rect.Top - top, rect.Width(), rect.Height());
  const TPixelFormat format = target.PixelFormat();

  if (format == pf24bit && int64_t{width} * height > kMaxCopiedPixels) {
    // White paper, or what lies there already; what is drawn before a refusal stays.
    TRowsTurned rows(target, left, top, width, height);
    if (Transparent()) rows.Turn();
    QImage image = rows.Image();
    if (!Transparent()) image.fill(Qt::white);
    {
      QPainter painter(&image);
      PlayMetafile(FData, FLayout, painter, place);
    }
    target.Changed();
    return;
  }

  // The covered part of the target, as Qt draws on it: white paper, or what lies there already.
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) RefuseTooLarge(width, height);
  if (Transparent()) {
    for (int y = 0; y < height; ++y)
      DecodeRow(format, target.ScanLine(top + y), left, width, target.ColorTable(),
                reinterpret_cast<TQuad*>(image.scanLine(y)));
  } else {
    image.fill(Qt::white);
  }
  {
    QPainter painter(&image);
    PlayMetafile(FData, FLayout, painter, place);
  }
  TColorMatcher matcher(target.ColorTable());
  for (int y = 0; y < height; ++y)
    EncodeRow(format, reinterpret_cast<const TQuad*>(image.constScanLine(y)), left, width,
              target.ScanLine(top + y), &matcher);
  target.Changed();
}

void TMetafile::Assign(const TGraphic& source) {
  if (&source == this) return;
  if (source.ClassType()->InheritsFrom(TMetafile::StaticClass())) {
    const auto& other = static_cast<const TMetafile&>(source);
    FData = other.FData;
    FLayout = other.FLayout;
    FWidth = other.FWidth;
    FHeight = other.FHeight;
    SetDataEndedEarly(other.DataEndedEarly());
    Changed();
    return;
  }
  TGraphic::Assign(source);
}
