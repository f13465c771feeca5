#include "picture_formats/jpeg_progress.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>

#include "picture_formats/jpeg_error.h"
#include "toolkit/graphics/graphic.h"

namespace {

inline constexpr uint32_t ProgressInterval = 500;

uint32_t SteadyTickCount() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

TJPEGTickSource TickSource = SteadyTickCount;

TJPEGProgressRecord& RecordOf(j_common_ptr info) {
  return *reinterpret_cast<TJPEGProgressRecord*>(info->progress);
}

// Reports to the picture; false when its handler raised (the exception is parked).
bool Report(j_common_ptr info, TGraphic& picture, uint8_t percent, const TRect& rect) noexcept {
  try {
    picture.Progress(TProgressStage::psRunning, percent, rect.Height() >= 4, rect, std::string());
    return true;
  } catch (...) {
    JPEGParkException(info);
    return false;
  }
}

void JPEGProgressMonitor(j_common_ptr info) {
  if (info->progress == nullptr) return;
  TJPEGProgressRecord& record = RecordOf(info);
  if (info->is_decompressor) JPEGNoteScan(*reinterpret_cast<j_decompress_ptr>(info), record.Scans);
  if (record.Picture == nullptr) return;

  const uint32_t now = TickSource();
  if (now - record.LastTime < ProgressInterval) return;
  const uint32_t previous = record.LastTime;
  record.LastTime = now;
  if (previous == 0) return;

  TRect rect{};
  JDIMENSION rowsDone = 0;
  if (info->is_decompressor) {
    const auto* decompressor = reinterpret_cast<j_decompress_ptr>(info);
    rowsDone = decompressor->output_scanline;
    JDIMENSION bottom = rowsDone;
    // Fewer rows than at the last report: a new output pass began; its rows reach the bottom.
    if (bottom < record.LastRow) bottom = decompressor->output_height;
    rect = Rect(0, static_cast<int32_t>(record.LastRow), static_cast<int32_t>(decompressor->output_width),
                static_cast<int32_t>(bottom));
  }

  const jpeg_progress_mgr& pub = record.Pub;
  if (pub.pass_limit <= 0 || pub.total_passes <= 0) return;
  const double done =
      static_cast<double>(pub.pass_counter) / static_cast<double>(pub.pass_limit) + pub.completed_passes;
  // The library's pass estimate can be exceeded in buffered-image mode; a percentage stays 0..100.
  const int percent = static_cast<int>(std::clamp(done * 100.0 / pub.total_passes, 0.0, 100.0));
  if (percent == record.LastPercent) return;
  record.LastPercent = percent;
  if (info->is_decompressor) record.LastRow = rowsDone;
  if (!Report(info, *record.Picture, static_cast<uint8_t>(percent), rect)) JPEGAbandon(info);
}

}  // namespace

void JPEGProgress(j_common_ptr info, TJPEGProgressRecord& record, TGraphic* picture) {
  record = TJPEGProgressRecord{};
  record.Pub.progress_monitor = JPEGProgressMonitor;
  record.Picture = picture;
  info->progress = &record.Pub;
}

TJPEGTickSource SetJPEGTickSource(TJPEGTickSource source) {
  return std::exchange(TickSource, source != nullptr ? source : SteadyTickCount);
}
