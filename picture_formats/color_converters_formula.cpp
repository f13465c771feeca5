// CMYK, CIE L*a*b*, YCbCr and PhotoYCC row converters. Each turns a pixel's samples into red, green and
// blue by a formula; results are clamped to 0..255 and widened for 16-bit targets. 16-bit samples
// stored high byte first (optSwap16) are put in order before the formula, so big-endian files keep
// their colours. Source alpha is not read; a target alpha sample is left as it was.

#include <cmath>
#include <optional>

#include "picture_formats/color_manager.h"
#include "picture_formats/color_row_support.h"

using namespace color_rows;

namespace {

struct TFormulaRow {
  TPixelSamples Samples;
  size_t SourceStep = 0;
  size_t TargetStep = 0;
  unsigned SourceBits = 0;
  bool Swap = false;   // 16-bit source samples stored high byte first
  bool Words = false;  // 16-bit target samples
};

// The frame shared by the formula families: depth check, sample addressing (`samples` interleaved
// samples from one buffer, or one per plane) and target stepping. Empty for depths other than 8 and 16.
std::optional<TFormulaRow> MakeFormulaRow(const uint8_t* const* planes, size_t planeCount, bool planar,
                                          size_t samples, unsigned sourceBits, unsigned targetBits,
                                          TConvertFlags sourceOptions, TConvertFlags targetOptions) {
  if ((sourceBits != 8 && sourceBits != 16) || (targetBits != 8 && targetBits != 16)) return std::nullopt;
  const size_t sourceBytes = sourceBits / 8;
  TFormulaRow row;
  row.Samples = planar ? PlanarSamples(planes, planeCount) : InterleavedSamples(planes[0], sourceBytes);
  row.SourceStep = planar ? sourceBytes : sourceBytes * samples;
  row.TargetStep = (targetBits / 8) * ((targetOptions & optAlpha) ? 4 : 3);
  row.SourceBits = sourceBits;
  row.Swap = (sourceOptions & optSwap16) != 0;
  row.Words = targetBits == 16;
  return row;
}

// A rounded real clamped into a byte; the clamp comes first so that no out-of-range real is converted.
uint8_t ClampRound(long double value) {
  if (!(value > 0)) return 0;
  if (value >= 255) return 255;
  return static_cast<uint8_t>(std::nearbyint(value));
}

}  // namespace

void TColorManager::RowConvertCMYK2RGB(const TRowJob& job) const {
  ConvertCMYK(job, false);
}
void TColorManager::RowConvertCMYK2BGR(const TRowJob& job) const {
  ConvertCMYK(job, true);
}

void TColorManager::ConvertCMYK(const TRowJob& job, bool bgr) const {
  const auto row = MakeFormulaRow(job.Planes.data(), job.PlaneCount, job.PlaneCount == 4, 4,
                                  FSourceBitsPerSample, FTargetBitsPerSample, FSourceOptions, FTargetOptions);
  if (!row) return;
  const bool words = row->Words;
  const bool swap = row->Swap;
  if (row->SourceBits == 8) {
    WalkColorRow(job.Count, job.Mask, row->Samples, row->SourceStep, job.Target, row->TargetStep,
                 [&](const TPixelSamples& p, uint8_t* t) {
                   const uint8_t k = *p[3];
                   const auto level = [k, words](uint8_t x) -> unsigned {
                     const unsigned value = ClampByte(255 - (x + k - MulDiv16(x, k, 255)));
                     return words ? Widen8(value) : value;
                   };
                   StoreColor(t, words, bgr, level(*p[0]), level(*p[1]), level(*p[2]));
                 });
  } else {
    WalkColorRow(job.Count, job.Mask, row->Samples, row->SourceStep, job.Target, row->TargetStep,
                 [&](const TPixelSamples& p, uint8_t* t) {
                   const uint16_t k = Load16(p[3], swap);
                   const auto level = [k, words](uint16_t x) -> unsigned {
                     // x + k - x k / 65535 never exceeds 65535.
                     const unsigned covered = x + k - MulDiv16(x, k, 65535);
                     if (words) return 65535 - covered;
                     return ClampByte(255 - static_cast<int>(covered * 255 / 65535));
                   };
                   StoreColor(t, words, bgr, level(Load16(p[0], swap)), level(Load16(p[1], swap)),
                              level(Load16(p[2], swap)));
                 });
  }
}

void TColorManager::RowConvertCIELab2RGB(const TRowJob& job) const {
  ConvertCIELab(job, false);
}
void TColorManager::RowConvertCIELab2BGR(const TRowJob& job) const {
  ConvertCIELab(job, true);
}

void TColorManager::ConvertCIELab(const TRowJob& job, bool bgr) const {
  const auto row = MakeFormulaRow(job.Planes.data(), job.PlaneCount, job.PlaneCount != 1, 3,
                                  FSourceBitsPerSample, FTargetBitsPerSample, FSourceOptions, FTargetOptions);
  if (!row) return;
  const bool lScaled = (FSourceOptions & optLScaled) != 0;
  const bool chromaOffset = (FSourceOptions & optChromaOffset) != 0;
  const bool words = row->Words;
  const bool bytes = row->SourceBits == 8;
  const bool swap = row->Swap;
  const auto sample = [bytes, swap](const uint8_t* p) -> unsigned { return bytes ? *p : Load16(p, swap); };
  // a* and b*: the low byte as a signed value, or the stored value less 128.
  const auto chroma = [chromaOffset](unsigned stored) -> long double {
    if (chromaOffset) return static_cast<long double>(static_cast<int>(stored) - 128);
    return static_cast<long double>(static_cast<int8_t>(static_cast<uint8_t>(stored)));
  };
  WalkColorRow(job.Count, job.Mask, row->Samples, row->SourceStep, job.Target, row->TargetStep,
               [&](const TPixelSamples& p, uint8_t* t) {
                 long double l = sample(p[0]);
                 if (lScaled) l /= 2.55L;
                 const long double a = chroma(sample(p[1]));
                 const long double b = chroma(sample(p[2]));
                 const long double fy = (l + 16) / 116;
                 long double x, y, z;
                 if (l >= 7.9996L) {
                   const long double fx = fy + a / 500;
                   const long double fz = fy - b / 200;
                   x = fx * fx * fx;
                   y = fy * fy * fy;
                   z = fz * fz * fz;
                 } else {
                   y = l / 903.3L;
                   x = y + a / 3893.5L;
                   z = y - b / 1557.4L;
                 }
                 unsigned red = ClampRound(255 * (2.998L * x - 1.458L * y - 0.541L * z));
                 unsigned green = ClampRound(255 * (-0.952L * x + 1.893L * y + 0.059L * z));
                 unsigned blue = ClampRound(255 * (0.099L * x - 0.198L * y + 1.099L * z));
                 if (words) red = Widen8(red), green = Widen8(green), blue = Widen8(blue);
                 StoreColor(t, words, bgr, red, green, blue);
               });
}

void TColorManager::RowConvertYCbCr2RGB(const TRowJob& job) const {
  ConvertYCbCrTables(job, false);
}
void TColorManager::RowConvertYCbCr2BGR(const TRowJob& job) const {
  ConvertYCbCrTables(job, true);
}

void TColorManager::RowConvertPhotoYCC2RGB(const TRowJob& job) const {
  if (FSourceBitsPerSample == 16 && FTargetBitsPerSample == 16)
    ConvertPhotoYCC16(job, false);
  else
    ConvertYCbCrTables(job, false);
}

void TColorManager::RowConvertPhotoYCC2BGR(const TRowJob& job) const {
  if (FSourceBitsPerSample == 16 && FTargetBitsPerSample == 16)
    ConvertPhotoYCC16(job, true);
  else
    ConvertYCbCrTables(job, true);
}

// Table formula on 8-bit levels (16-bit samples narrowed first, results widened for 16-bit targets).
// YCbCr from 16 to 16 bits takes this path too, so that it honours the luma coefficients.
void TColorManager::ConvertYCbCrTables(const TRowJob& job, bool bgr) const {
  const auto row = MakeFormulaRow(job.Planes.data(), job.PlaneCount, job.PlaneCount != 1, 3,
                                  FSourceBitsPerSample, FTargetBitsPerSample, FSourceOptions, FTargetOptions);
  if (!row) return;
  const bool words = row->Words;
  const bool bytes = row->SourceBits == 8;
  const bool swap = row->Swap;
  const int32_t* crToRed = FCrToRed.data();
  const int32_t* cbToBlue = FCbToBlue.data();
  const int32_t* crToGreen = FCrToGreen.data();
  const int32_t* cbToGreen = FCbToGreen.data();
  const auto level = [bytes, swap](const uint8_t* p) -> unsigned {
    return bytes ? *p : Narrow16(Load16(p, swap));
  };
  WalkColorRow(job.Count, job.Mask, row->Samples, row->SourceStep, job.Target, row->TargetStep,
               [&](const TPixelSamples& p, uint8_t* t) {
                 const int y = static_cast<int>(level(p[0]));
                 const unsigned cb = level(p[1]);
                 const unsigned cr = level(p[2]);
                 unsigned red = ClampByte(y + crToRed[cr]);
                 unsigned green = ClampByte(y + cbToGreen[cb] + crToGreen[cr]);
                 unsigned blue = ClampByte(y + cbToBlue[cb]);
                 if (words) red = Widen8(red), green = Widen8(green), blue = Widen8(blue);
                 StoreColor(t, words, bgr, red, green, blue);
               });
}

// PhotoYCC from 16 to 16 bits, in 32-bit floats; a result outside 0..65535 is a range error.
void TColorManager::ConvertPhotoYCC16(const TRowJob& job, bool bgr) const {
  const auto row = MakeFormulaRow(job.Planes.data(), job.PlaneCount, job.PlaneCount != 1, 3,
                                  FSourceBitsPerSample, FTargetBitsPerSample, FSourceOptions, FTargetOptions);
  if (!row) return;
  const bool swap = row->Swap;
  const auto word = [](float value) -> unsigned {
    return RangeChecked<uint16_t>(static_cast<int64_t>(std::nearbyint(value)));
  };
  WalkColorRow(job.Count, job.Mask, row->Samples, row->SourceStep, job.Target, row->TargetStep,
               [&](const TPixelSamples& p, uint8_t* t) {
                 const float y = 1.3584f * static_cast<float>(Load16(p[0], swap));
                 const float c1 = static_cast<float>(Load16(p[1], swap)) - 40092.0f;
                 const float c2 = static_cast<float>(Load16(p[2], swap)) - 35209.0f;
                 const unsigned blue = word(y + 2.2179f * c1);
                 const unsigned green = word(y - 0.9271435f * c2 - 0.4302726f * c1);
                 const unsigned red = word(y + 1.8215f * c2);
                 StoreColor(t, true, bgr, red, green, blue);
               });
}
