#pragma once
// TColorManager turns pixel rows as a file stores them (twelve colour schemes, 1 to 16 bits per sample,
// planar or interleaved, either byte order, one interlace pass or all pixels) into bitmap rows.
//
// Calling order: set source and target bits, samples and schemes; set the option bytes; optionally
// SetGamma (after the bits: the table depends on them) and SetYCbCrParameters; read GetPixelFormat(1)
// for the bitmap; build the palette of indexed or gray targets; then ConvertRow once per row or pass.
//
// Every row buffer is handed over with its size. ConvertRow works out from the pixel count, the mask
// and the set-up exactly how many bytes it reads from each source plane and writes into the target
// (RowFootprint tells a reader beforehand) and refuses buffers that are too small with
// EColorConversionError before touching anything.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "picture_formats/color_types.h"
#include "toolkit/graphics/palette.h"
#include "toolkit/graphics/types.h"

// One source plane (or the single interleaved buffer) of a row.
using TSourcePlane = std::span<const uint8_t>;
using TSourcePlanes = std::span<const TSourcePlane>;

// What one ConvertRow call touches.
struct TRowFootprint {
  size_t PlanesUsed = 0;           // source planes read (1 for interleaved data)
  size_t SourceBytesPerPlane = 0;  // bytes read from each of those planes
  size_t TargetBytes = 0;          // bytes of the target row that may be written
};

class TColorManager {
 public:
  TColorManager();

  // Bits per sample, 1..16; anything else raises "Color depth is invalid...".
  uint8_t SourceBitsPerSample() const { return FSourceBitsPerSample; }
  uint8_t TargetBitsPerSample() const { return FTargetBitsPerSample; }
  void SetSourceBitsPerSample(uint8_t value);
  void SetTargetBitsPerSample(uint8_t value);
  // Samples per pixel, 1..4; anything else raises "Sample count per pixel does not correspond...".
  uint8_t SourceSamplesPerPixel() const { return FSourceSamplesPerPixel; }
  uint8_t TargetSamplesPerPixel() const { return FTargetSamplesPerPixel; }
  void SetSourceSamplesPerPixel(uint8_t value);
  void SetTargetSamplesPerPixel(uint8_t value);
  TColorScheme SourceColorScheme() const { return FSourceScheme; }
  TColorScheme TargetColorScheme() const { return FTargetScheme; }
  void SetSourceColorScheme(TColorScheme value);
  void SetTargetColorScheme(TColorScheme value);

  // The option bytes. Writing them does not ask for a new converter choice; optAlpha stays as that
  // choice derived it from the scheme.
  TConvertFlags SourceOptions() const { return FSourceOptions; }
  TConvertFlags TargetOptions() const { return FTargetOptions; }
  void SetSourceOptions(TConvertFlags value);
  void SetTargetOptions(TConvertFlags value);

  // True while a setting the converter choice depends on changed since the last choice.
  bool Changed() const { return FChanged; }

  // Bitmap pixel format holding pixels of the source (index 0) or target (any other index) description.
  TPixelFormat GetPixelFormat(int index) const;

  // Converts one row of `count` pixels. `source` holds one buffer of interleaved samples or one buffer
  // per plane; only the pixels that `mask` selects are stored there, one after another (bit 7 is the
  // row's first pixel, repeating every 8 pixels; 0xFF selects all). In the target every pixel has its
  // place; unselected places keep their contents.
  void ConvertRow(TSourcePlanes source, std::span<uint8_t> target, uint32_t count, uint8_t mask);
  void ConvertRow(std::initializer_list<TSourcePlane> source, std::span<uint8_t> target, uint32_t count,
                  uint8_t mask) {
    ConvertRow(TSourcePlanes(source.begin(), source.size()), target, count, mask);
  }
  // What ConvertRow with `planeCount` source buffers would read and write (choosing the converter first
  // when a setting changed, with the same errors as ConvertRow).
  TRowFootprint RowFootprint(size_t planeCount, uint32_t count, uint8_t mask);

  // Stores the gammas (a value not above 0 gives 1.0 and 2.2) and rebuilds the gamma table for the bits
  // in force now.
  void SetGamma(float fileGamma, float displayGamma);
  float FileGamma() const { return FFileGamma; }
  float DisplayGamma() const { return FDisplayGamma; }
  std::span<const uint8_t, 256> GammaTable() const { return FGammaTable; }

  // Luma coefficients (red, then green and blue when given; at least one) and subsampling (1, 2 or 4,
  // vertical not above horizontal). The coefficients are kept even when a subsampling test fails.
  void SetYCbCrParameters(std::span<const float> values, uint8_t horizontal, uint8_t vertical);
  void SetYCbCrParameters(std::initializer_list<float> values, uint8_t horizontal, uint8_t vertical) {
    SetYCbCrParameters(std::span<const float>(values.begin(), values.size()), horizontal, vertical);
  }
  std::array<float, 3> YCbCrCoefficients() const { return FYCbCrCoefficients; }
  uint8_t HorizontalSubsampling() const { return FHorizontalSubsampling; }
  uint8_t VerticalSubsampling() const { return FVerticalSubsampling; }
  // The lookup tables of the last choice with a YCbCr or PhotoYCC source (empty before).
  std::span<const int32_t> CrToRedTable() const { return FCrToRed; }
  std::span<const int32_t> CbToBlueTable() const { return FCbToBlue; }
  std::span<const int32_t> CrToGreenTable() const { return FCrToGreen; }
  std::span<const int32_t> CbToGreenTable() const { return FCbToGreen; }

  // A palette from a file's palette data (`data` holds one buffer, or three planes for the planar
  // layouts), spread over the target depth as the indexed converters scale indices. Entries the data
  // does not hold in full stay black.
  HPALETTE CreateColorPalette(std::span<const std::span<const uint8_t>> data, TPaletteLayout layout,
                              uint32_t colorCount, bool bgr) const;
  HPALETTE CreateColorPalette(std::initializer_list<std::span<const uint8_t>> data, TPaletteLayout layout,
                              uint32_t colorCount, bool bgr) const {
    return CreateColorPalette(std::span<const std::span<const uint8_t>>(data.begin(), data.size()), layout,
                              colorCount, bgr);
  }
  // Gray levels for the target depth, black first (white first with minimumIsWhite).
  HPALETTE CreateGrayscalePalette(bool minimumIsWhite) const;

  // Per-sample helpers.
  static uint8_t SampleCopy8(uint8_t value) { return value; }
  static uint16_t SampleCopy16(uint16_t value) { return value; }
  uint8_t SampleGamma8(uint8_t value) const { return FGammaTable[value]; }
  static uint8_t SampleScale16(uint16_t value) { return static_cast<uint8_t>(value * 255u / 65535u); }
  uint8_t SampleScaleGamma16(uint16_t value) const { return FGammaTable[SampleScale16(value)]; }
  uint8_t SampleSwapScaleGamma16(uint16_t value) const { return FGammaTable[SampleSwapScale16(value)]; }
  static uint8_t SampleSwapScale16(uint16_t value) { return SampleScale16(SampleSwap16(value)); }
  static uint16_t SampleSwap16(uint16_t value) { return static_cast<uint16_t>((value << 8) | (value >> 8)); }

 private:
  enum class TConverter : uint8_t {
    None,
    Indexed8,
    IndexedSource16,
    IndexedTarget16,
    IndexedBoth16,
    Gray,
    RGB2RGB,
    RGB2BGR,
    BGR2RGB,
    BGR2BGR,
    CMYK2RGB,
    CMYK2BGR,
    CIELab2RGB,
    CIELab2BGR,
    YCbCr2RGB,
    YCbCr2BGR,
    PhotoYCC2RGB,
    PhotoYCC2BGR,
  };

  // A row whose buffers have been checked against its footprint.
  struct TRowJob {
    std::array<const uint8_t*, 4> Planes{};
    size_t PlaneCount = 0;
    uint8_t* Target = nullptr;
    uint32_t Count = 0;
    uint8_t Mask = 0xFF;
  };
  using TRowConverter = void (TColorManager::*)(const TRowJob&) const;

  [[noreturn]] static void Error(const char* message);
  void SelectConverter();
  void CreateYCbCrLookup();
  void EnsureConverter();
  TRowFootprint FootprintOf(size_t planeCount, uint32_t count, uint8_t mask) const;
  static TRowConverter ConverterMethod(TConverter converter);

  // Palette and gray family.
  void RowConvertIndexed8(const TRowJob& job) const;
  void RowConvertIndexedSource16(const TRowJob& job) const;
  void RowConvertIndexedTarget16(const TRowJob& job) const;
  void RowConvertIndexedBoth16(const TRowJob& job) const;
  void RowConvertGray(const TRowJob& job) const;
  // RGB/BGR family; the two pairs that keep and the two that reverse the colour order share a body.
  void RowConvertRGB2RGB(const TRowJob& job) const;
  void RowConvertRGB2BGR(const TRowJob& job) const;
  void RowConvertBGR2RGB(const TRowJob& job) const;
  void RowConvertBGR2BGR(const TRowJob& job) const;
  void ConvertRGBFamily(const TRowJob& job, bool reverse) const;
  // Formula families; the BGR converters write blue, green, red.
  void RowConvertCMYK2RGB(const TRowJob& job) const;
  void RowConvertCMYK2BGR(const TRowJob& job) const;
  void ConvertCMYK(const TRowJob& job, bool bgr) const;
  void RowConvertCIELab2RGB(const TRowJob& job) const;
  void RowConvertCIELab2BGR(const TRowJob& job) const;
  void ConvertCIELab(const TRowJob& job, bool bgr) const;
  void RowConvertYCbCr2RGB(const TRowJob& job) const;
  void RowConvertYCbCr2BGR(const TRowJob& job) const;
  void RowConvertPhotoYCC2RGB(const TRowJob& job) const;
  void RowConvertPhotoYCC2BGR(const TRowJob& job) const;
  void ConvertYCbCrTables(const TRowJob& job, bool bgr) const;
  void ConvertPhotoYCC16(const TRowJob& job, bool bgr) const;

  bool FChanged = true;
  uint8_t FSourceBitsPerSample = 8;
  uint8_t FTargetBitsPerSample = 8;
  uint8_t FSourceSamplesPerPixel = 3;
  uint8_t FTargetSamplesPerPixel = 3;
  float FFileGamma = 1.0f;
  float FDisplayGamma = 2.2f;
  std::array<uint8_t, 256> FGammaTable{};
  std::array<float, 3> FYCbCrCoefficients{0.299f, 0.587f, 0.114f};
  uint8_t FHorizontalSubsampling = 1;
  uint8_t FVerticalSubsampling = 1;
  std::vector<int32_t> FCrToRed;
  std::vector<int32_t> FCbToBlue;
  std::vector<int32_t> FCrToGreen;
  std::vector<int32_t> FCbToGreen;
  TColorScheme FSourceScheme = scRGB;
  TColorScheme FTargetScheme = scBGR;
  TConverter FConverter = TConverter::None;
  TConvertFlags FSourceOptions = 0;
  TConvertFlags FTargetOptions = 0;
};
