#pragma once
// TPNGGraphic: Portable Network Graphics files (ISO/IEC 15948) into an 8-bit
// paletted, 24-bit or 32-bit bitmap: every chunk read is checked with zlib's CRC-32, the image data of
// one or more IDAT chunks is inflated as one stream, the five row filters are undone, Adam7 pictures are
// de-interlaced, and rows go through the colour manager (with the file's gamma when it gives one).
//
// Alpha samples are kept in the 32-bit rows of RGBA pictures and dropped for grey with alpha; nothing
// is blended against the background colour, which only fills the bitmap before the rows arrive.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "picture_formats/decoder_lz77.h"
#include "picture_formats/format_graphic.h"

// The 8 bytes every PNG file starts with.
inline constexpr std::array<uint8_t, 8> PNGSignature{0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// TransparentColor of a picture without a tRNS colour.
inline constexpr TColor NoTransparentColor = 0x1FFFFFFF;

// The Paeth predictor of the PNG filters: a (left), b (above) or c (upper left), whichever is closest
// to a + b - c, ties preferring a, then b.
uint8_t PaethPredictor(uint8_t a, uint8_t b, uint8_t c);

class TPNGGraphic : public TFormatGraphic {
  ORVANTA_GRAPHIC_CLASS(TPNGGraphic, TFormatGraphic)
  ORVANTA_FORMAT_PROBES(TPNGGraphic)

 public:
  TPNGGraphic();
  ~TPNGGraphic() override;

  // Reads the signature, the IHDR chunk and the file gamma (the first gAMA chunk before IEND). False
  // for a foreign signature, a first chunk other than a 13-byte IHDR, or a width or height of 0 or
  // beyond 2^31 - 1.
  bool ReadImageProperties(TStream& stream, uint32_t imageIndex) override;
  // Decodes the picture at the stream's position into the bitmap. An indexed picture without a PLTE
  // chunk, and image data that cannot fill the picture, are refused before the bitmap is made; image
  // data that end before the last row leave the rest in the background colour and set DataEndedEarly.
  void LoadFromStream(TStream& stream) override;

  // Colours of the last load: from tRNS (NoTransparentColor without one) and from bKGD (white without
  // one). Grey and indexed pictures give the chunk's sample as the number (see ReadBackground).
  TColor TransparentColor() const { return FTransparentColor; }
  TColor BackgroundColor() const { return FBackgroundColor; }

  // Undoes filter `filterType` in place on the row bytes after the filter byte, against the previous
  // row of the same size (zeros above a picture's or a pass's first row); `bytesPerPixel` is the
  // filter distance. Types above 4 leave the row as it is. Sums wrap at 256.
  static void ApplyFilter(uint8_t filterType, std::span<uint8_t> row, std::span<const uint8_t> previous,
                          size_t bytesPerPixel);

 private:
  using TChunkType = std::array<uint8_t, 4>;
  static constexpr TChunkType ChunkIHDR{'I', 'H', 'D', 'R'};
  static constexpr TChunkType ChunkIDAT{'I', 'D', 'A', 'T'};
  static constexpr TChunkType ChunkIEND{'I', 'E', 'N', 'D'};
  static constexpr TChunkType ChunkPLTE{'P', 'L', 'T', 'E'};
  static constexpr TChunkType ChunkgAMA{'g', 'A', 'M', 'A'};
  static constexpr TChunkType ChunkbKGD{'b', 'K', 'G', 'D'};
  static constexpr TChunkType ChunktRNS{'t', 'R', 'N', 'S'};

  // The IHDR record.
  struct THeaderRecord {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint8_t BitDepth = 0;
    uint8_t ColorType = 0;
    uint8_t CompressionMethod = 0;
    uint8_t FilterMethod = 0;
    uint8_t InterlaceMethod = 0;
  };

  // Chunk input (png_chunks.cpp). Chunk types compare without regard to letter case.
  static bool SameChunkType(const TChunkType& a, const TChunkType& b);
  bool IsChunk(const TChunkType& type) const;
  void ReadChunkHeader();
  // Reads the current chunk's data into FRawBuffer and checks its CRC.
  void ReadChunkData();
  // Moves past the current chunk's data and CRC without reading them.
  void SkipChunk();
  std::span<const uint8_t> ChunkData() const { return {FRawBuffer.data(), FChunkLength}; }
  void ReadHeaderRecord();
  void ReadPalette();
  // Reads the current gAMA chunk's data: the file gamma, none when the data are too short to hold it.
  std::optional<float> ReadGammaValue();
  void ReadGamma();
  void ReadBackground();
  void ReadTransparency();
  // Passes over a chunk the loader does not handle; true at IEND.
  bool PassOverChunk();

  // Image data (png_image_data.cpp).
  uint32_t SetupColorDepth(uint8_t colorType, uint8_t bitDepth);
  void LoadIDAT();
  // Fills the target with the next bytes of the image data; false when they end before it is full.
  bool ReadIDATData(std::span<uint8_t> target);
  // The bytes of the run of IDAT chunks that starts with the current chunk (whose header has been
  // read), found by their headers alone; the stream is left where it was.
  uint64_t ImageDataBytes();
  void ReleaseLoadState();

  THeaderRecord FHeader;
  std::unique_ptr<TLZ77Decoder> FDecoder;
  std::vector<uint8_t> FRawBuffer;  // the current chunk's data (grown to the longest chunk so far)
  TSourceCursor FCurrentInput;      // the current IDAT chunk's bytes not yet taken by the decoder
  uint32_t FChunkLength = 0;
  TChunkType FChunkType{};
  uint32_t FCRC = 0;
  uint32_t FBytesPerPixel = 0;
  HPALETTE FPalette;
  TColor FTransparentColor = NoTransparentColor;
  TColor FBackgroundColor = clWhite;
  bool FColorDepthSet = false;    // SetupColorDepth ran during this load
  bool FImageDataLoaded = false;  // the IDAT chunks of this load have been decoded
};
