#pragma once
// TFormatGraphic: the base of every picture reader of the library. A reader is a TBitmap that decodes a
// file into its own rows through its colour manager, after reading the file's header facts into
// TImageProperties.
//
// Reader contract (each reader class):
//   - ORVANTA_GRAPHIC_CLASS(TXxxGraphic, TFormatGraphic) and ORVANTA_FORMAT_PROBES(TXxxGraphic) in the
//     class body, and a definition of the stream probe `static bool TXxxGraphic::CanLoad(TStream&)`:
//     true only when more bytes than the format's minimum header remain and the header's identifying
//     fields are valid; never raises for short or foreign data; leaves the stream where it was
//     (TStreamPositionGuard). The probes are class-level (static): `TXxxGraphic::CanLoad(stream)`,
//     `TXxxGraphic::CanLoad(fileName)`, or generically `TFormatGraphic::CanLoadFile<TXxxGraphic>(name)`;
//     no registry and no instance is needed.
//   - ReadImageProperties(stream, imageIndex): calls the base first (which clears the record), reads
//     the header and answers whether it is valid.
//   - LoadFromStream(stream): empties the bitmap (ReleaseHandle), stores BasePosition, reads the header,
//     checks that the bytes left can give the rows the header promises (DataCanFill) before sizing the
//     bitmap, sets pixel format and size, sets up ColorManager(), converts each row with
//     ColorManager().ConvertRow(..., ScanLineBytes(y), ...) and reports progress with ProgressStarting,
//     ProgressRow and ProgressEnding. A picture whose data end before its last row may be kept, flagged
//     with SetDataEndedEarly(true); a picture without pixel data is refused.
//   - Loading by file name (and LoadChecked) goes through the base's failure net: every failure reaches
//     the caller as EInvalidGraphic with an English message naming the format (FormatName), and a load
//     that gives no pixels fails.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "picture_formats/color_manager.h"
#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"

// HeaderFlags bits.
using THeaderFlags = uint8_t;
inline constexpr THeaderFlags hfTiled = 0x01;         // TIFF tiles
inline constexpr THeaderFlags hfBigEndian = 0x02;     // the file's multi-byte numbers are big-endian
inline constexpr THeaderFlags hfMinIsWhite = 0x04;    // sample 0 is white
inline constexpr THeaderFlags hfReversedBits = 0x08;  // bits of each byte in reverse order
inline constexpr THeaderFlags hfGammaApplied = 0x10;  // the file gamma went to the colour manager

// The library's compression numbers (TImageProperties::Compression).
enum TCompressionType : uint8_t {
  ctUnknown = 0,
  ctNone = 1,
  ctRunLength = 2,  // the format's own run-length kind (Targa, SGI, PCX, Dr. Halo, RLA)
  ctPackBits = 3,
  ctLZW = 4,  // TIFF, GIF
  ctCCITTFax3 = 5,
  ctCCITTModifiedHuffman = 6,
  ctCCITTFax4 = 7,
  ctCCITTModifiedHuffmanW = 8,  // word-aligned
  ctDeflate = 9,                // TIFF, PNG
  ctJPEG = 10,
  ctOldJPEG = 11,
  ctThunderscan = 12,
  ctNeXT = 13,
  ctIT8CTPad = 14,
  ctIT8LineWork = 15,
  ctIT8Monochrome = 16,
  ctIT8BinaryLineArt = 17,
  ctPixarFilm = 18,
  ctPixarLog = 19,
  ctKodakDCS = 20,
  ctJBIG = 21,
  ctPhotoCDHuffman = 22,
};

// Header facts of the file being read. Value-initialised it is all zero and empty, as the base's
// ReadImageProperties leaves it apart from FileGamma.
struct TImageProperties {
  uint32_t Version = 0;  // TIFF magic (42), GIF 87/89, Paint Shop Pro major version
  THeaderFlags HeaderFlags = 0;
  uint32_t Width = 0;
  uint32_t Height = 0;
  TColorScheme ColorScheme = scUnknown;
  uint8_t BitsPerSample = 0;
  uint8_t SamplesPerPixel = 0;
  uint8_t BitsPerPixel = 0;         // BitsPerSample x SamplesPerPixel where a reader computes it
  uint8_t Compression = ctUnknown;  // TCompressionType
  float FileGamma = 0;
  float XResolution = 0;
  float YResolution = 0;
  bool Interlaced = false;
  bool HasAlpha = false;
  // TIFF.
  uint32_t FirstIFDOffset = 0;
  uint32_t PlanarConfiguration = 0;
  uint32_t CurrentRow = 0;
  uint32_t TileWidth = 0;
  uint32_t TileLength = 0;
  uint32_t BytesPerLine = 0;
  std::vector<uint32_t> RowsPerStrip;
  std::vector<uint8_t> YCbCrSubsampling;
  std::vector<uint8_t> JPEGTables;
  uint32_t JPEGColorMode = 0;
  uint32_t JPEGTablesMode = 0;
  uint32_t CurrentStrip = 0;
  uint32_t StripCount = 0;
  uint32_t Predictor = 0;
  // Per-format facts.
  uint8_t PCDOverview = 0;
  uint8_t PCDOrientation = 0;
  uint16_t PCDHeaderValue = 0;  // file bytes 10 and 11, high byte first
  uint8_t GIFLocalColorTable = 0;
  uint8_t RLABottomUp = 0;
  uint8_t PSDChannelCount = 0;
  uint8_t PNGFilterMethod = 0;
};

// The header facts of a picture of one 8-bit palette index per pixel.
inline void SetIndexed8Properties(TImageProperties& properties, uint32_t width, uint32_t height,
                                  uint8_t compression) {
  properties.ColorScheme = scIndexed;
  properties.Width = width;
  properties.Height = height;
  properties.BitsPerSample = 8;
  properties.SamplesPerPixel = 1;
  properties.BitsPerPixel = 8;
  properties.Compression = compression;
}

// Declares a reader's class-level probes: the stream probe it defines itself and the file-name probe
// built on it. Use in the class body after ORVANTA_GRAPHIC_CLASS.
#define ORVANTA_FORMAT_PROBES(Type)                  \
 public:                                             \
  static bool CanLoad(TStream& stream);              \
  static bool CanLoad(const std::string& fileName) { \
    return CanLoadFile<Type>(fileName);              \
  }

class TFormatGraphic : public TBitmap {
  ORVANTA_GRAPHIC_CLASS(TFormatGraphic, TBitmap)

 public:
  TFormatGraphic();
  ~TFormatGraphic() override;

  // Copies the image properties of another reader, then the bitmap.
  void Assign(const TGraphic& source) override;

  // The base's probes: no stream is a picture of the base class; the file-name probe opens the file
  // (read, deny write; EFOpenError when it cannot) and asks the stream probe of `Reader`.
  static bool CanLoad(TStream& stream);
  static bool CanLoad(const std::string& fileName) { return CanLoadFile<TFormatGraphic>(fileName); }
  template <class Reader>
  static bool CanLoadFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    return Reader::CanLoad(stream);
  }

  // Reads the header of image `imageIndex` at the stream's position into ImageProperties(). The base
  // clears the record, sets FileGamma to 1.0 and answers false.
  virtual bool ReadImageProperties(TStream& stream, uint32_t imageIndex);

  // Opens the file (read, deny write; the toolkit's EFOpenError when it cannot) and loads it with
  // LoadChecked.
  void LoadFromFile(const std::string& fileName) override;
  // LoadFromStream behind the failure net: any failure raises EInvalidGraphic whose message names the
  // format (format_failures.h), and a load that leaves the picture empty raises "Cannot load image.
  // Invalid or unexpected %s image format.". A user's abort passes unchanged. A picture kept although
  // its data ended early loads (DataEndedEarly tells).
  void LoadChecked(TStream& stream);
  // The format's short name in messages: the class name without its "T" and "Graphic" ("PNG", "Targa").
  std::string FormatName() const;

  TColorManager& ColorManager() { return *FColorManager; }
  const TColorManager& ColorManager() const { return *FColorManager; }
  TImageProperties& ImageProperties() { return FImageProperties; }
  const TImageProperties& ImageProperties() const { return FImageProperties; }

 protected:
  // Stage start: 0 %, no redraw, ProgressRect, one of the stage texts ("Preparing..." ...).
  void ProgressStarting(const std::string& stage);
  // Row done: MulDiv(row, 100, height) %, redraw, ProgressRect; then ProgressRect moves down one row.
  void ProgressRow(int row, int height);
  // Stage end: 0 %, no redraw, ProgressRect.
  void ProgressEnding();

  // Bitmap row `row` with its size, as ConvertRow and the decoders want it.
  std::span<uint8_t> ScanLineBytes(int row) { return {ScanLine(row), static_cast<size_t>(RowStride())}; }

  // Reader state of a load.
  int64_t BasePosition = 0;   // stream position where the picture starts
  TStream* Stream = nullptr;  // the stream being loaded (not owned)
  TRect ProgressRect;         // (0, 0, width, 1) at the start of a load

 private:
  std::unique_ptr<TColorManager> FColorManager;
  TImageProperties FImageProperties;
};
