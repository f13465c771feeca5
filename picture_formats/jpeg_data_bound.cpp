#include "picture_formats/jpeg_data_bound.h"

#include <algorithm>

#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"

namespace {

constexpr const char* kJPEGName = "JPEG";
// Rows as the working bitmap holds them: blue, green, red.
constexpr uint64_t kWorkingBytesPerPixel = 3;

}  // namespace

// A frame of Hmax x Vmax sampling codes, for every Hmax x Vmax blocks' worth of pixels, Hc x Vc blocks
// of each component c.
uint64_t JPEGMaxExpansion(const jpeg_decompress_struct& info, uint64_t bytesPerPixel) {
  uint64_t hMax = 1, vMax = 1, blocks = 0;
  for (int c = 0; c < info.num_components; ++c) {
    const jpeg_component_info& component = info.comp_info[c];
    hMax = std::max<uint64_t>(hMax, static_cast<uint64_t>(std::max(component.h_samp_factor, 1)));
    vMax = std::max<uint64_t>(vMax, static_cast<uint64_t>(std::max(component.v_samp_factor, 1)));
    blocks += static_cast<uint64_t>(std::max(component.h_samp_factor, 1)) *
              static_cast<uint64_t>(std::max(component.v_samp_factor, 1));
  }
  return JPEGExpansion(hMax * vMax, blocks, bytesPerPixel,
                       info.progressive_mode ? kJPEGProgressiveBitsPerBlock : kJPEGSequentialBitsPerBlock);
}

void RequireJPEGFrameData(const jpeg_decompress_struct& info, uint64_t dataBytes) {
  const uint64_t width = info.image_width, height = info.image_height;
  const uint64_t expansion = JPEGMaxExpansion(info, kWorkingBytesPerPixel);
  if (info.arith_code) {
    if (width * height <= kMostFlatArithmeticPixels ||
        DataCanFill(dataBytes, expansion, kWorkingBytesPerPixel * width, height))
      return;
    FormatErrorFmt(gesPictureTooLarge, {kJPEGName});
  }
  RequireRowData(dataBytes, expansion, kWorkingBytesPerPixel * width, height, kJPEGName, kJPEGName);
}
