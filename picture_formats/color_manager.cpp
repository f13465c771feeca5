#include "picture_formats/color_manager.h"

#include <cmath>

#include "picture_formats/color_row_support.h"
#include "picture_formats/format_messages.h"

using namespace color_rows;

namespace {

bool IsIndexedOrGraySource(TColorScheme scheme) {
  return scheme == scIndexed || scheme == scGray || scheme == scGrayAlpha;
}
bool IsIndexedOrGrayTarget(TColorScheme scheme) {
  return scheme == scIndexed || scheme == scGray;
}
bool HasAlphaSample(TColorScheme scheme) {
  return scheme == scGrayAlpha || scheme == scRGBA || scheme == scBGRA;
}
bool IsRGBTarget(TColorScheme scheme) {
  return scheme == scRGB || scheme == scRGBA;
}
bool IsBGRTarget(TColorScheme scheme) {
  return scheme == scBGR || scheme == scBGRA;
}

TConvertFlags WithAlpha(TConvertFlags flags, bool alpha) {
  return static_cast<TConvertFlags>(alpha ? flags | optAlpha : flags & ~optAlpha);
}

// A table entry from a real product; hostile coefficients (zero green weight, NaN) must not reach an
// undefined float-to-int conversion, and beyond this range every result clamps the same way anyway.
int32_t TableEntry(double value) {
  constexpr double limit = 1 << 24;
  if (std::isnan(value)) return 0;
  if (value > limit) return static_cast<int32_t>(limit);
  if (value < -limit) return static_cast<int32_t>(-limit);
  return static_cast<int32_t>(std::nearbyint(value));
}

}  // namespace

TColorManager::TColorManager() {
  SetGamma(1.0f, 2.2f);
}

void TColorManager::Error(const char* message) {
  throw EColorConversionError(message);
}

void TColorManager::SetSourceBitsPerSample(uint8_t value) {
  if (value < 1 || value > 16) Error(gesInvalidColorDepth);
  if (value != FSourceBitsPerSample) {
    FSourceBitsPerSample = value;
    FChanged = true;
  }
}

void TColorManager::SetTargetBitsPerSample(uint8_t value) {
  if (value < 1 || value > 16) Error(gesInvalidColorDepth);
  if (value != FTargetBitsPerSample) {
    FTargetBitsPerSample = value;
    FChanged = true;
  }
}

void TColorManager::SetSourceSamplesPerPixel(uint8_t value) {
  if (value < 1 || value > 4) Error(gesInvalidSampleCount);
  if (value != FSourceSamplesPerPixel) {
    FSourceSamplesPerPixel = value;
    FChanged = true;
  }
}

void TColorManager::SetTargetSamplesPerPixel(uint8_t value) {
  if (value < 1 || value > 4) Error(gesInvalidSampleCount);
  if (value != FTargetSamplesPerPixel) {
    FTargetSamplesPerPixel = value;
    FChanged = true;
  }
}

void TColorManager::SetSourceColorScheme(TColorScheme value) {
  if (value != FSourceScheme) {
    FSourceScheme = value;
    FChanged = true;
  }
}

void TColorManager::SetTargetColorScheme(TColorScheme value) {
  if (value != FTargetScheme) {
    FTargetScheme = value;
    FChanged = true;
  }
}

// Readers write whole option bytes ("exactly optSwap16"); the alpha bit belongs to the scheme, so it
// survives such a write and a second load with unchanged schemes still sees its alpha samples.
void TColorManager::SetSourceOptions(TConvertFlags value) {
  FSourceOptions = WithAlpha(value, (FSourceOptions & optAlpha) != 0);
}

void TColorManager::SetTargetOptions(TConvertFlags value) {
  FTargetOptions = WithAlpha(value, (FTargetOptions & optAlpha) != 0);
}

TPixelFormat TColorManager::GetPixelFormat(int index) const {
  const unsigned samples = index == 0 ? FSourceSamplesPerPixel : FTargetSamplesPerPixel;
  const unsigned bits = index == 0 ? FSourceBitsPerSample : FTargetBitsPerSample;
  switch (samples) {
    case 1:
      if (bits == 1) return pf1bit;
      if (bits >= 2 && bits <= 4) return pf4bit;
      if (bits >= 8 && bits <= 16) return pf8bit;
      return pfCustom;
    case 3:
      if (bits >= 1 && bits <= 5) return pf15bit;
      if (bits >= 6 && bits <= 16) return pf24bit;
      return pfCustom;
    case 4:
      if (bits >= 8 && bits <= 16) return pf32bit;
      return pfCustom;
    default:
      return pfCustom;
  }
}

void TColorManager::SetGamma(float fileGamma, float displayGamma) {
  FFileGamma = fileGamma > 0 ? fileGamma : 1.0f;
  FDisplayGamma = displayGamma > 0 ? displayGamma : 2.2f;
  const float exponent = 1.0f / (FFileGamma * FDisplayGamma);
  const unsigned maxIn = FSourceBitsPerSample < 8 ? (1u << FSourceBitsPerSample) - 1 : 255;
  const unsigned maxOut = FTargetBitsPerSample < 8 ? (1u << FTargetBitsPerSample) - 1 : 255;
  for (unsigned i = 0; i <= maxIn; ++i) {
    const long double level =
        std::pow(static_cast<long double>(i) / maxIn, static_cast<long double>(exponent));
    FGammaTable[i] = static_cast<uint8_t>(std::nearbyint(level * maxOut));
  }
}

void TColorManager::SetYCbCrParameters(std::span<const float> values, uint8_t horizontal, uint8_t vertical) {
  if (values.empty()) throw ERangeError(SRangeError);
  for (size_t i = 0; i < values.size() && i < 3; ++i) FYCbCrCoefficients[i] = values[i];
  const auto valid = [](uint8_t value) { return value == 1 || value == 2 || value == 4; };
  if (!valid(horizontal) || !valid(vertical)) Error(gesInvalidSubSampling);
  if (vertical > horizontal) Error(gesVerticalSubSamplingError);
  FHorizontalSubsampling = horizontal;
  FVerticalSubsampling = vertical;
}

void TColorManager::CreateYCbCrLookup() {
  const float kr = FYCbCrCoefficients[0];
  const float kg = FYCbCrCoefficients[1];
  const float kb = FYCbCrCoefficients[2];
  const float crRed = 2 - 2 * kr;
  const float crGreen = kr * crRed / kg;
  const float cbBlue = 2 - 2 * kb;
  const float cbGreen = kb * cbBlue / kg;
  const bool photoYCC = FSourceScheme == scPhotoYCC;
  FCrToRed.assign(256, 0);
  FCbToBlue.assign(256, 0);
  FCrToGreen.assign(256, 0);
  FCbToGreen.assign(256, 0);
  for (int i = 0; i < 256; ++i) {
    const double cr = photoYCC ? i - 137 : i - 128;
    const double cb = photoYCC ? i - 156 : i - 128;
    FCrToRed[i] = TableEntry(cr * crRed);
    FCbToBlue[i] = TableEntry(cb * cbBlue);
    FCrToGreen[i] = -TableEntry(cr * crGreen);
    FCbToGreen[i] = -TableEntry(cb * cbGreen);
  }
}

void TColorManager::SelectConverter() {
  FConverter = TConverter::None;
  if (IsIndexedOrGraySource(FSourceScheme) != IsIndexedOrGrayTarget(FTargetScheme))
    Error(gesIndexedNotSupported);
  FSourceOptions = WithAlpha(FSourceOptions, HasAlphaSample(FSourceScheme));
  FTargetOptions = WithAlpha(FTargetOptions, HasAlphaSample(FTargetScheme));

  const unsigned sourceBits = FSourceBitsPerSample;
  const unsigned targetBits = FTargetBitsPerSample;
  const bool toRGB = IsRGBTarget(FTargetScheme);
  const bool toBGR = IsBGRTarget(FTargetScheme);
  const auto pick = [&](TConverter rgb, TConverter bgr) {
    return toRGB ? rgb : toBGR ? bgr : TConverter::None;
  };
  switch (FSourceScheme) {
    case scIndexed:
      if (sourceBits == 16 && targetBits == 16)
        FConverter = TConverter::IndexedBoth16;
      else if (sourceBits == 16)
        FConverter = TConverter::IndexedSource16;
      else if (targetBits == 16)
        FConverter = TConverter::IndexedTarget16;
      else
        FConverter = TConverter::Indexed8;
      break;
    case scGray:
      if (sourceBits != 16 && targetBits != 16)
        FConverter = TConverter::Indexed8;
      else if (sourceBits >= 8 && targetBits >= 8)
        FConverter = TConverter::Gray;
      break;
    case scGrayAlpha: {
      const auto eightOr16 = [](unsigned bits) { return bits == 8 || bits == 16; };
      if (eightOr16(sourceBits) && eightOr16(targetBits)) FConverter = TConverter::Gray;
      break;
    }
    case scRGB:
    case scRGBA:
      FConverter = pick(TConverter::RGB2RGB, TConverter::RGB2BGR);
      break;
    case scBGR:
    case scBGRA:
      FConverter = pick(TConverter::BGR2RGB, TConverter::BGR2BGR);
      break;
    case scCMYK:
      FConverter = pick(TConverter::CMYK2RGB, TConverter::CMYK2BGR);
      break;
    case scCIELab:
      FConverter = pick(TConverter::CIELab2RGB, TConverter::CIELab2BGR);
      break;
    case scYCbCr:
      CreateYCbCrLookup();
      FConverter = pick(TConverter::YCbCr2RGB, TConverter::YCbCr2BGR);
      break;
    case scPhotoYCC:
      CreateYCbCrLookup();
      FConverter = pick(TConverter::PhotoYCC2RGB, TConverter::PhotoYCC2BGR);
      break;
    default:
      break;
  }
  FChanged = false;
}

void TColorManager::EnsureConverter() {
  if (FChanged) SelectConverter();
  if (FConverter == TConverter::None) Error(gesColorConversion);
}

TRowFootprint TColorManager::FootprintOf(size_t planeCount, uint32_t count, uint8_t mask) const {
  const size_t selected = SelectedPixels(count, mask);
  const size_t sourceBits = FSourceBitsPerSample;
  const size_t targetBits = FTargetBitsPerSample;
  const bool colorDepths = (sourceBits == 8 || sourceBits == 16) && (targetBits == 8 || targetBits == 16);
  const size_t sourceBytes = sourceBits / 8;
  const size_t targetBytes = targetBits / 8;
  const bool sourceAlpha = (FSourceOptions & optAlpha) != 0;
  const size_t targetPixel = count * targetBytes * ((FTargetOptions & optAlpha) ? 4 : 3);
  // A colour converter reads `samples` interleaved samples from one buffer, or one from each plane.
  const auto colorRow = [&](bool planar, size_t samples) -> TRowFootprint {
    if (!colorDepths) return {};
    if (planar) return {samples, selected * sourceBytes, targetPixel};
    return {1, selected * sourceBytes * samples, targetPixel};
  };

  switch (FConverter) {
    case TConverter::None:
      return {};
    case TConverter::Indexed8:
      return {1, PackedBytes(selected, sourceBits), PackedBytes(count, targetBits)};
    case TConverter::IndexedSource16:
      return {1, selected * 2, PackedBytes(count, targetBits)};
    case TConverter::IndexedTarget16:
      return {1, PackedBytes(selected, sourceBits), static_cast<size_t>(count) * 2};
    case TConverter::IndexedBoth16:
      return {1, selected * 2, static_cast<size_t>(count) * 2};
    case TConverter::Gray:
      if (!colorDepths) return {};
      return {1, selected * sourceBytes * (sourceAlpha ? 2 : 1), count * targetBytes};
    case TConverter::RGB2RGB:
    case TConverter::RGB2BGR:
    case TConverter::BGR2RGB:
    case TConverter::BGR2BGR: {
      const bool planar = planeCount > 1;
      const size_t samples = sourceAlpha ? 4 : 3;
      return colorRow(planar, samples);
    }
    case TConverter::CMYK2RGB:
    case TConverter::CMYK2BGR:
      return colorRow(planeCount == 4, 4);
    case TConverter::CIELab2RGB:
    case TConverter::CIELab2BGR:
    case TConverter::YCbCr2RGB:
    case TConverter::YCbCr2BGR:
    case TConverter::PhotoYCC2RGB:
    case TConverter::PhotoYCC2BGR:
      return colorRow(planeCount != 1, 3);
  }
  return {};
}

TRowFootprint TColorManager::RowFootprint(size_t planeCount, uint32_t count, uint8_t mask) {
  EnsureConverter();
  return FootprintOf(planeCount, count, mask);
}

TColorManager::TRowConverter TColorManager::ConverterMethod(TConverter converter) {
  switch (converter) {
    case TConverter::None:
      break;
    case TConverter::Indexed8:
      return &TColorManager::RowConvertIndexed8;
    case TConverter::IndexedSource16:
      return &TColorManager::RowConvertIndexedSource16;
    case TConverter::IndexedTarget16:
      return &TColorManager::RowConvertIndexedTarget16;
    case TConverter::IndexedBoth16:
      return &TColorManager::RowConvertIndexedBoth16;
    case TConverter::Gray:
      return &TColorManager::RowConvertGray;
    case TConverter::RGB2RGB:
      return &TColorManager::RowConvertRGB2RGB;
    case TConverter::RGB2BGR:
      return &TColorManager::RowConvertRGB2BGR;
    case TConverter::BGR2RGB:
      return &TColorManager::RowConvertBGR2RGB;
    case TConverter::BGR2BGR:
      return &TColorManager::RowConvertBGR2BGR;
    case TConverter::CMYK2RGB:
      return &TColorManager::RowConvertCMYK2RGB;
    case TConverter::CMYK2BGR:
      return &TColorManager::RowConvertCMYK2BGR;
    case TConverter::CIELab2RGB:
      return &TColorManager::RowConvertCIELab2RGB;
    case TConverter::CIELab2BGR:
      return &TColorManager::RowConvertCIELab2BGR;
    case TConverter::YCbCr2RGB:
      return &TColorManager::RowConvertYCbCr2RGB;
    case TConverter::YCbCr2BGR:
      return &TColorManager::RowConvertYCbCr2BGR;
    case TConverter::PhotoYCC2RGB:
      return &TColorManager::RowConvertPhotoYCC2RGB;
    case TConverter::PhotoYCC2BGR:
      return &TColorManager::RowConvertPhotoYCC2BGR;
  }
  return nullptr;
}

void TColorManager::ConvertRow(TSourcePlanes source, std::span<uint8_t> target, uint32_t count,
                               uint8_t mask) {
  EnsureConverter();
  const TRowFootprint footprint = FootprintOf(source.size(), count, mask);
  if (source.size() < footprint.PlanesUsed || target.size() < footprint.TargetBytes)
    Error(gesRowBufferTooSmall);
  for (size_t k = 0; k < footprint.PlanesUsed; ++k)
    if (source[k].size() < footprint.SourceBytesPerPlane) Error(gesRowBufferTooSmall);
  if (footprint.TargetBytes == 0 && footprint.SourceBytesPerPlane == 0) return;

  TRowJob job;
  job.PlaneCount = source.size();
  for (size_t k = 0; k < source.size() && k < job.Planes.size(); ++k) job.Planes[k] = source[k].data();
  job.Target = target.data();
  job.Count = count;
  job.Mask = mask;
  (this->*ConverterMethod(FConverter))(job);
}
