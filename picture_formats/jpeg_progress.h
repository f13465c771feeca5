#pragma once
// The progress monitor libjpeg calls during a decompression or compression: at most one report per
// 500 ms, and only when the percentage changed. Reports go to the picture's Progress; an exception
// its handler raises (EAbort, say) is parked and raised once the library call returns. Decompressing, the
// monitor also notes each scan read (libjpeg calls it between the scans of a multi-scan file), picture or
// none.

#include <cstdint>
#include <cstdio>
#include <type_traits>

#include <jpeglib.h>

#include "picture_formats/jpeg_frame_scans.h"

class TGraphic;

struct TJPEGProgressRecord {
  jpeg_progress_mgr Pub;  // first member: the library only sees this part
  TGraphic* Picture;      // none: no reports
  int LastPercent;
  uint32_t LastTime;   // tick count of the last report, 0 before the first call
  JDIMENSION LastRow;  // rows output at the last report (decompression)
  // Decompressor settings kept aside while progressive display uses fast ones for its early passes.
  J_DCT_METHOD SavedDCTMethod;
  boolean SavedTwoPassQuantize;
  J_DITHER_MODE SavedDitherMode;
  TJPEGScanRecord Scans;  // the components of the scans read so far
};
static_assert(std::is_standard_layout_v<TJPEGProgressRecord>);

// Zeroes the record and points the object's progress pointer at it; reports go to picture (none: the
// scans are noted, nothing is reported).
void JPEGProgress(j_common_ptr info, TJPEGProgressRecord& record, TGraphic* picture);

// Milliseconds of a monotonic clock, wrapping at 2^32 (what the throttle compares).
using TJPEGTickSource = uint32_t (*)();
// Replaces the clock the throttle reads and returns the previous one (for tests of the throttle).
TJPEGTickSource SetJPEGTickSource(TJPEGTickSource source);
