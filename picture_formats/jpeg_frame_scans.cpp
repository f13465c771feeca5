#include "picture_formats/jpeg_frame_scans.h"

void JPEGNoteScan(const jpeg_decompress_struct& info, TJPEGScanRecord& record) {
  if (info.comps_in_scan < 1 || info.comps_in_scan > MAX_COMPS_IN_SCAN) return;
  for (int i = 0; i < info.comps_in_scan; ++i) {
    const jpeg_component_info* component = info.cur_comp_info[i];
    if (component != nullptr && component->component_index >= 0 && component->component_index < 32)
      record.Components |= uint32_t{1} << component->component_index;
  }
}

bool JPEGScansCodedWholeFrame(const jpeg_decompress_struct& info, const TJPEGScanRecord& record) {
  if (info.num_components < 1 || info.num_components > MAX_COMPONENTS) return false;
  if (info.progressive_mode) {
    // -1: never coded; above 0: coded down to that bit only.
    if (info.coef_bits == nullptr) return false;
    for (int c = 0; c < info.num_components; ++c)
      for (int k = 0; k < DCTSIZE2; ++k)
        if (info.coef_bits[c][k] != 0) return false;
    return true;
  }
  // The scan being read may not have been noted yet (a single scan is read row by row).
  TJPEGScanRecord all = record;
  JPEGNoteScan(info, all);
  const uint32_t every = (uint32_t{1} << info.num_components) - 1;
  return (all.Components & every) == every;
}
