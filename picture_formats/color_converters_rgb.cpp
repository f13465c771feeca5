// RGB/BGR row converters: reorder, rescale and optionally gamma-correct colour samples, carrying alpha
// over when both sides have it. The sample helpers are picked once per row; the pixel loop is a
// template instantiated for each pick.

#include "picture_formats/color_manager.h"
#include "picture_formats/color_row_support.h"

using namespace color_rows;

namespace {

struct TRGBRow {
  TPixelSamples Samples;
  size_t SourceStep = 0;
  size_t TargetStep = 0;
  size_t TargetSampleBytes = 0;
  bool Reverse = false;
  bool CopyAlpha = false;
};

// color(p) and alpha(p) turn the source sample at p into the target value; store(t, v) writes it.
template <class Color, class Alpha, class Store>
void ConvertRGBRow(uint32_t count, uint8_t mask, uint8_t* target, const TRGBRow& row, Color color,
                   Alpha alpha, Store store) {
  const size_t step = row.TargetSampleBytes;
  const size_t first = row.Reverse ? 2 * step : 0;
  const size_t last = row.Reverse ? 0 : 2 * step;
  const bool copyAlpha = row.CopyAlpha;
  WalkColorRow(count, mask, row.Samples, row.SourceStep, target, row.TargetStep,
               [&](const TPixelSamples& p, uint8_t* t) {
                 store(t + first, color(p[0]));
                 store(t + step, color(p[1]));
                 store(t + last, color(p[2]));
                 if (copyAlpha) store(t + 3 * step, alpha(p[3]));
               });
}

}  // namespace

void TColorManager::RowConvertRGB2RGB(const TRowJob& job) const {
  ConvertRGBFamily(job, false);
}
void TColorManager::RowConvertRGB2BGR(const TRowJob& job) const {
  ConvertRGBFamily(job, true);
}
void TColorManager::RowConvertBGR2RGB(const TRowJob& job) const {
  ConvertRGBFamily(job, true);
}
void TColorManager::RowConvertBGR2BGR(const TRowJob& job) const {
  ConvertRGBFamily(job, false);
}

void TColorManager::ConvertRGBFamily(const TRowJob& job, bool reverse) const {
  const unsigned sourceBits = FSourceBitsPerSample;
  const unsigned targetBits = FTargetBitsPerSample;
  if ((sourceBits != 8 && sourceBits != 16) || (targetBits != 8 && targetBits != 16)) return;
  const bool sourceAlpha = (FSourceOptions & optAlpha) != 0;
  const bool targetAlpha = (FTargetOptions & optAlpha) != 0;
  const bool gamma = (FTargetOptions & optGamma) != 0;
  const bool swap = (FSourceOptions & optSwap16) != 0;
  const size_t sourceBytes = sourceBits / 8;
  const size_t targetBytes = targetBits / 8;
  const bool planar = job.PlaneCount > 1;

  TRGBRow row;
  row.Samples = planar ? PlanarSamples(job.Planes.data(), job.PlaneCount)
                       : InterleavedSamples(job.Planes[0], sourceBytes);
  row.SourceStep = planar ? sourceBytes : sourceBytes * (sourceAlpha ? 4 : 3);
  row.TargetStep = targetBytes * (targetAlpha ? 4 : 3);
  row.TargetSampleBytes = targetBytes;
  row.Reverse = reverse;
  row.CopyAlpha = sourceAlpha && targetAlpha;

  const auto run = [&](auto color, auto alpha, auto store) {
    ConvertRGBRow(job.Count, job.Mask, job.Target, row, color, alpha, store);
  };
  const auto byte = [](const uint8_t* p) -> unsigned { return *p; };
  const auto gammaByte = [this](const uint8_t* p) -> unsigned { return SampleGamma8(*p); };
  const auto store8 = [](uint8_t* t, unsigned v) { Store8(t, v); };
  const auto store16 = [](uint8_t* t, unsigned v) { Store16(t, static_cast<uint16_t>(v)); };
  const auto storeSwapped16 = [](uint8_t* t, unsigned v) { Store16(t, Swap16(static_cast<uint16_t>(v))); };

  if (sourceBits == 8 && targetBits == 8) {
    if (gamma)
      run(gammaByte, byte, store8);
    else
      run(byte, byte, store8);
  } else if (sourceBits == 8) {
    // Widened words are written high byte first when the source option says so.
    const auto widened = [](const uint8_t* p) -> unsigned { return Widen8(*p); };
    const auto widenedGamma = [this](const uint8_t* p) -> unsigned { return Widen8(SampleGamma8(*p)); };
    if (gamma && swap)
      run(widenedGamma, widened, storeSwapped16);
    else if (gamma)
      run(widenedGamma, widened, store16);
    else if (swap)
      run(widened, widened, storeSwapped16);
    else
      run(widened, widened, store16);
  } else if (targetBits == 8) {
    const auto scale = [](const uint8_t* p) -> unsigned { return SampleScale16(Load16(p)); };
    const auto swapScale = [](const uint8_t* p) -> unsigned { return SampleSwapScale16(Load16(p)); };
    const auto scaleGamma = [this](const uint8_t* p) -> unsigned { return SampleScaleGamma16(Load16(p)); };
    const auto swapScaleGamma = [this](const uint8_t* p) -> unsigned {
      return SampleSwapScaleGamma16(Load16(p));
    };
    if (gamma && swap)
      run(swapScaleGamma, swapScale, store8);
    else if (gamma)
      run(scaleGamma, scale, store8);
    else if (swap)
      run(swapScale, swapScale, store8);
    else
      run(scale, scale, store8);
  } else {
    const auto copy = [](const uint8_t* p) -> unsigned { return Load16(p); };
    const auto swapped = [](const uint8_t* p) -> unsigned { return Swap16(Load16(p)); };
    if (swap)
      run(swapped, swapped, store16);
    else
      run(copy, copy, store16);
  }
}
