#pragma once
// The JPEG picture class. A TJPEGImage keeps a file's compressed bytes in a shared holder (TJPEGData)
// and decompresses them into a TBitmap only when the bitmap is first needed (drawn, asked for,
// assigned to a bitmap); the other way round it compresses a bitmap into new JPEG data. All coding
// is libjpeg's; rows move straight between the library and the bitmap's rows.
//
// Loading into a working bitmap, reusing its rows:
//   TFileStream file(name, fmOpenRead);  TJPEGImage jpeg;  jpeg.DecodeToWorkingBitmap(file, working);
// Saving (quality 90 by default):
//   TJPEGImage jpeg;  jpeg.Assign(bitmap);  jpeg.Compress();  jpeg.SaveToFile(name);

#include <cstdint>
#include <memory>

#include "picture_formats/jpeg_exception.h"
#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/graphic.h"

// Pixel format of the decompressed bitmap.
enum TJPEGPixelFormat : uint8_t { jf24Bit = 0, jf8Bit = 1 };

// The compressed picture, shared between pictures assigned from one another.
struct TJPEGData {
  std::unique_ptr<TMemoryStream> DataStream;  // the whole JPEG file; none while the holder is new
  int32_t Height = 0;                         // from the file header (or the compressed bitmap)
  int32_t Width = 0;
  bool Grayscale = false;  // the file is grayscale (or was compressed as grayscale)
};

// The options every new picture starts with.
struct TJPEGDefaults {
  uint8_t Quality = 90;
  bool Grayscale = false;
  bool FastMode = false;
  TJPEGPixelFormat OutputFormat = jf24Bit;
  bool ProgressiveDisplay = false;
  bool ProgressiveEncoding = false;
  uint8_t ScaleShift = 0;
  bool BlockSmoothing = true;
  bool SubsampleHorizontally = true;
  bool SubsampleVertically = true;
  bool FloatDCT = false;
};
extern TJPEGDefaults JPEGDefaults;

// Chooses the default output format from the screen (more than 8 bits per pixel: 24-bit, else 8-bit
// with a palette). Runs at start-up; later calls change nothing.
void InitJPEGDefaults();

// Where TJPEGImage::DecodeBands hands the rows it decodes.
class TJPEGBandSink {
 public:
  virtual ~TJPEGBandSink() = default;
  // The picture's size, before any row is decoded; false refuses the picture and ends the decoding.
  // `final`: the file's data were all read, and found whole, before the first band, so no band handed
  // over will be taken back (else a single scan may still turn out garbled after its first bands).
  virtual bool Start(int width, int height, bool final) = 0;
  // Rows first .. first + count - 1 (top row first), each 3 x width bytes of blue, green and red, the
  // first at rows and each next one step bytes further.
  virtual void Band(int first, int count, const uint8_t* rows, size_t step) = 0;
};

enum class TJPEGBandResult { jbDecoded, jbRefused, jbNotWhole };

class TJPEGImage : public TGraphic {
  ORVANTA_GRAPHIC_CLASS(TJPEGImage, TGraphic)

 public:
  TJPEGImage();
  ~TJPEGImage() override;

  // Options, copied from JPEGDefaults at construction. A decompressed bitmap is kept when they change.
  uint8_t Quality;  // compression quality 0..100
  bool Grayscale;   // decompress to grey levels; compress as a grayscale JPEG
  bool FastMode;    // decompress with the fast integer DCT, ordered dither, one-pass colours
  TJPEGPixelFormat OutputFormat;
  bool ProgressiveDisplay;           // multi-scan files are shown pass by pass (with progress redraws)
  mutable bool ProgressiveEncoding;  // compress progressively; loading sets it from the file
  uint8_t ScaleShift;                // decompress at 1 / 2^ScaleShift of full size (0..3)
  bool BlockSmoothing;
  bool SubsampleHorizontally;  // off: no horizontal chroma subsampling in compression
  bool SubsampleVertically;
  bool FloatDCT;  // compress with the floating-point DCT

  // From a TJPEGImage: shares its data (and copies its bitmap when it has one); options stay. From a
  // TBitmap: becomes a bitmap-only picture holding a copy, compressed when data is needed.
  void Assign(const TGraphic& source) override;
  // Into a TBitmap: the bitmap receives a copy of the decompressed picture.
  bool AssignTo(TGraphic& target) const override;
  // True when the other picture is a TJPEGImage sharing this one's data.
  bool Equals(const TGraphic& other) const;

  bool Empty() const override;
  // The bitmap's size when decompressed, else the header's (scaled as ScaleShift asks).
  int Width() const override;
  int Height() const override;
  // Both raise EInvalidGraphicOperation: a JPEG's size is the file's.
  void SetWidth(int width) override;
  void SetHeight(int height) override;

  void LoadFromStream(TStream& stream) override;
  // Compresses first when there is no data, then writes the data as it is.
  void SaveToStream(TStream& stream) override;
  void Draw(TCanvas& canvas, const TRect& rect) override;

  HPALETTE Palette() const override;
  // A different palette drops the decompressed bitmap (8-bit output then maps to the palette).
  void SetPalette(HPALETTE palette) override;

  // Reads size bytes of JPEG file from the stream and its header; decodes nothing.
  void ReadStream(int64_t size, TStream& stream);
  // The stored-form "Data" layout: a 32-bit size, then the JPEG file.
  void ReadData(TStream& stream);
  void WriteData(TStream& stream) const;

  // The decompressed picture, decompressing first when there is none. A damaged picture raises EJPEG
  // (and leaves no bitmap), as does a header its data cannot code (EFormatError, before anything is
  // sized); one whose data libjpeg found lost or garbled, or whose scans left part of it uncoded,
  // decodes flagged DataEndedEarly; a progress handler's EAbort stops decoding and keeps what was
  // decoded.
  TBitmap& GetBitmap();
  bool HasBitmap() const { return FBitmap != nullptr; }
  // The working-bitmap load: decodes the JPEG file at the stream's position straight into the bitmap's
  // rows as 24-bit (blue, green, red), whatever the file's colour space and the output options, at full
  // size, reading the stream as it goes; nothing of the file is kept in the picture. The bitmap's pixel
  // memory is reused when it has the picture's size already, so a run that loads picture after picture
  // into one bitmap allocates and clears nothing. A damaged file raises EJPEG (the bitmap then holds
  // what was decoded), and a header claiming more pixels than the rest of the file can code is refused
  // before the bitmap is sized (jpeg_data_bound.h); DataEndedEarly tells whether the data ended before
  // the picture did, libjpeg found them lost or garbled, or the frame's scans left part of it uncoded
  // (a file that lacks no more than its end-of-image marker is whole).
  void DecodeToWorkingBitmap(TStream& stream, TBitmap& target);
  // Decodes the JPEG file held whole in the memory stream (from its position) as 24-bit rows, a band of
  // a few rows at a time, for a caller that uses each band once and never needs the whole picture at
  // once. The file is decoded this way only when it cannot end before its last row: a colour or grey
  // file that is one whole sequential scan, or one of several scans whose data were all read, and found
  // complete, before the first row. For any other file nothing is decoded and the result is jbNotWhole
  // (the caller decodes it whole); a refusal by the sink gives jbRefused. A damaged file raises EJPEG,
  // and so does one whose scan data libjpeg finds garbled partway (it cannot know sooner): then the
  // bands handed over before are not the file's picture, and the sink must take them back. A picture
  // refused for data lost or garbled is also flagged by DataEndedEarly.
  TJPEGBandResult DecodeBands(TMemoryStream& file, TJPEGBandSink& sink);
  // Hands the decompressed bitmap out (decompressing first when needed); the picture keeps its data
  // and decompresses again if asked. A bitmap-only picture is left empty.
  std::unique_ptr<TBitmap> ReleaseBitmap();

  // Compresses the bitmap into new data (an empty data stream for a missing or empty bitmap). A picture
  // holding data and no bitmap yet is decompressed first, so its pixels are what gets compressed.
  void Compress();
  // Compress, unless there is data already.
  void JPEGNeeded();

  const TJPEGData& SharedData() const { return *FSharedData; }
  void NewImage();
  void NewBitmap();
  void FreeBitmap();

 private:
  struct TDecompressContext;
  void InitDecompressor(TDecompressContext& context, TGraphic* progressTarget) const;
  void Decompress();
  void CalcOutputDimensions() const;

  std::shared_ptr<TJPEGData> FSharedData;
  std::unique_ptr<TBitmap> FBitmap;
  mutable int32_t FScaledWidth = 0;
  mutable int32_t FScaledHeight = 0;
  mutable HPALETTE FPaletteHandle;
};
