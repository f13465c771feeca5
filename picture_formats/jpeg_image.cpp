#include "picture_formats/jpeg_image.h"

#include <algorithm>
#include <cstddef>
#include <exception>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include <jerror.h>

#include "picture_formats/jpeg_data_bound.h"
#include "picture_formats/jpeg_error.h"
#include "picture_formats/jpeg_frame_scans.h"
#include "picture_formats/jpeg_progress.h"
#include "picture_formats/jpeg_stream_managers.h"
#include "picture_formats/jpeg_structure.h"
#include "toolkit/core/checked.h"
#include "toolkit/core/messages.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/palette.h"

TJPEGDefaults JPEGDefaults;

void InitJPEGDefaults() {
  static bool initialized = false;
  if (initialized) return;
  initialized = true;
  JPEGDefaults.OutputFormat = ScreenBitsPerPixel() > 8 ? jf24Bit : jf8Bit;
}

namespace {

// Module start-up: the default output format follows the screen.
const bool JPEGDefaultsReady = (InitJPEGDefaults(), true);

// Colours of the 8-bit output: the 20 reserved system colours stay free in a 256-entry palette.
inline constexpr int QuantizedColorCount = 236;
inline constexpr uint8_t MaxScaleShift = 3;

j_common_ptr Common(jpeg_decompress_struct& info) {
  return reinterpret_cast<j_common_ptr>(&info);
}
j_common_ptr Common(jpeg_compress_struct& info) {
  return reinterpret_cast<j_common_ptr>(&info);
}

// Rows of a bitmap as pointer and step, taken once (the step is negative for bottom-up rows).
template <class Byte>
struct TRowWalk {
  Byte* Row0 = nullptr;
  ptrdiff_t Step = 0;
  Byte* Row(JDIMENSION row) const { return Row0 + Step * static_cast<ptrdiff_t>(row); }
};

template <class Bitmap, class Byte = std::conditional_t<std::is_const_v<Bitmap>, const uint8_t, uint8_t>>
TRowWalk<Byte> WalkRows(Bitmap& bitmap) {
  TRowWalk<Byte> walk;
  walk.Row0 = bitmap.ScanLine(0);
  if (bitmap.Height() > 1) walk.Step = bitmap.ScanLine(1) - walk.Row0;
  return walk;
}

// Four-component (CMYK or YCCK) files come out of the library as C, M, Y, K. Adobe files (and every
// YCCK file) store the inks inverted, so 255 means no ink.
void InkRowToBGR(const JSAMPLE* source, uint8_t* target, JDIMENSION width, bool inverted) {
  const JSAMPLE* const end = source + static_cast<size_t>(width) * 4;
  if (inverted) {
    for (; source != end; source += 4, target += 3) {
      const unsigned k = source[3];
      target[0] = static_cast<uint8_t>((source[2] * k + 127) / 255);
      target[1] = static_cast<uint8_t>((source[1] * k + 127) / 255);
      target[2] = static_cast<uint8_t>((source[0] * k + 127) / 255);
    }
  } else {
    for (; source != end; source += 4, target += 3) {
      const unsigned k = 255u - source[3];
      target[0] = static_cast<uint8_t>(((255u - source[2]) * k + 127) / 255);
      target[1] = static_cast<uint8_t>(((255u - source[1]) * k + 127) / 255);
      target[2] = static_cast<uint8_t>(((255u - source[0]) * k + 127) / 255);
    }
  }
}

// The palette of grey output: entry i is grey level i.
HPALETTE CreateGreyPalette() {
  TLogPalette palette;
  palette.palPalEntry.resize(256);
  for (int i = 0; i < 256; ++i) {
    TPaletteEntry& entry = palette.palPalEntry[static_cast<size_t>(i)];
    entry.peRed = entry.peGreen = entry.peBlue = static_cast<uint8_t>(i);
  }
  return CreatePalette(palette);
}

// The palette of the library's colour map: one grey row, or red, green and blue rows.
HPALETTE CreatePaletteFromColormap(const jpeg_decompress_struct& info) {
  if (info.out_color_components != 1 && info.out_color_components != 3) throw EJPEG(JERR_CONVERSION_NOTIMPL);
  const int count = std::clamp(info.actual_number_of_colors, 0, 256);
  TLogPalette palette;
  palette.palPalEntry.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    TPaletteEntry& entry = palette.palPalEntry[static_cast<size_t>(i)];
    if (info.out_color_components == 1) {
      entry.peRed = entry.peGreen = entry.peBlue = info.colormap[0][i];
    } else {
      entry.peRed = info.colormap[0][i];
      entry.peGreen = info.colormap[1][i];
      entry.peBlue = info.colormap[2][i];
    }
  }
  return CreatePalette(palette);
}

struct TCompressContext {
  TJPEGErrorManager Error;
  TJPEGProgressRecord Progress{};
  jpeg_compress_struct Info{};
  TJPEGStreamDestination Destination{};

  TCompressContext() {
    Info.err = JPEGErrorManager(Error);
    JPEGProtected(Error, [this] { jpeg_create_compress(&Info); });
  }
  ~TCompressContext() { jpeg_destroy_compress(&Info); }
  TCompressContext(const TCompressContext&) = delete;
  TCompressContext& operator=(const TCompressContext&) = delete;
};

}  // namespace

struct TJPEGImage::TDecompressContext {
  TJPEGErrorManager Error;
  TJPEGProgressRecord Progress{};
  jpeg_decompress_struct Info{};
  TJPEGStreamSource Source{};

  TDecompressContext() {
    Info.err = JPEGErrorManager(Error);
    JPEGProtected(Error, [this] { jpeg_create_decompress(&Info); });
  }
  ~TDecompressContext() { jpeg_destroy_decompress(&Info); }
  TDecompressContext(const TDecompressContext&) = delete;
  TDecompressContext& operator=(const TDecompressContext&) = delete;

  // CMYK or YCCK delivered as four components, converted row by row.
  bool InkColours() const { return Info.out_color_space == JCS_CMYK; }

  // Whether the picture lacks data: libjpeg reported data lost or garbled (the error manager notes
  // which warnings count), the frame's scans did not code all of it (jpeg_frame_scans.h), or the file
  // ended before the data of its picture did. The source finishes a file that ends early with an
  // end-of-image marker; that is all a file lacking no more than its own end marker needs, and its
  // picture is whole. A file cut inside a scan leaves the entropy decoder short of data (which it says);
  // one cut between scans leaves the later scans' part of the frame uncoded. Arithmetic-coded files,
  // whose decoder cannot tell a cut, and files cut before their last row count as lacking data when
  // they end early. Valid once NoteDataRead was called.
  bool PictureDataMissing() const {
    if (Error.DataCorrupt || !FrameCoded) return true;
    if (!Source.EndedEarly) return false;
    return !RowsComplete || Info.arith_code;
  }

  // Notes what PictureDataMissing needs, once the data were read (every row, or every scan of a
  // multi-scan file) and before the decompression is finished, which frees the library's record of
  // the coefficients.
  void NoteDataRead(bool rowsComplete) {
    RowsComplete = rowsComplete;
    FrameCoded = JPEGScansCodedWholeFrame(Info, Progress.Scans);
  }
  bool RowsComplete = false;
  bool FrameCoded = false;

  // Points the source at the stream's current position and reads the header.
  void ReadHeader(TStream* data) {
    JPEGStreamSource(&Info, Source, data);
    JPEGProtected(Error, [this] { jpeg_read_header(&Info, TRUE); });
  }

  // Refuses a frame that the bytes left after its header cannot code, before anything is sized for it.
  void RequireFrameData() { RequireJPEGFrameData(Info, JPEGSourceBytesLeft(Source)); }

  bool HasMultipleScans() {
    boolean multiple = FALSE;
    JPEGProtected(Error, [&] { multiple = jpeg_has_multiple_scans(&Info); });
    return multiple != FALSE;
  }

  // Hands the palette's entries to the library as the colour map to quantise to.
  void SetExternalColormap(const HPALETTE& palette) {
    TPaletteEntry entries[256];
    const uint32_t count = GetPaletteEntries(palette, 0, 256, entries);
    if (count == 0) return;
    JSAMPARRAY map = nullptr;
    JPEGProtected(Error, [&] { map = (*Info.mem->alloc_sarray)(Common(Info), JPOOL_IMAGE, count, 3); });
    for (uint32_t i = 0; i < count; ++i) {
      map[0][i] = entries[i].peRed;
      map[1][i] = entries[i].peGreen;
      map[2][i] = entries[i].peBlue;
    }
    Info.colormap = map;
    Info.actual_number_of_colors = static_cast<int>(count);
  }

  // Reads the rows left in the current output pass, top row first, straight into the bitmap's rows.
  void ReadRows(const TRowWalk<uint8_t>& rows, std::vector<JSAMPLE>& inkRow) {
    JPEGProtected(Error, [&] {
      const bool inverted = Info.saw_Adobe_marker || Info.jpeg_color_space == JCS_YCCK;
      while (Info.output_scanline < Info.output_height) {
        JSAMPROW target = rows.Row(Info.output_scanline);
        JSAMPROW row = InkColours() ? inkRow.data() : target;
        if (jpeg_read_scanlines(&Info, &row, 1) != 1) break;
        if (InkColours()) InkRowToBGR(row, target, Info.output_width, inverted);
      }
    });
  }

  // The same for colour rows of a bitmap, up to 16 rows per call (the library gives what it has).
  void ReadColourRows(const TRowWalk<uint8_t>& rows) {
    JPEGProtected(Error, [&] {
      constexpr JDIMENSION kPerCall = 16;
      JSAMPROW batch[kPerCall];
      while (Info.output_scanline < Info.output_height) {
        const JDIMENSION count = std::min(kPerCall, Info.output_height - Info.output_scanline);
        for (JDIMENSION k = 0; k < count; ++k) batch[k] = rows.Row(Info.output_scanline + k);
        if (jpeg_read_scanlines(&Info, batch, count) == 0) break;
      }
    });
  }
};

TJPEGImage::TJPEGImage()
    : Quality(JPEGDefaults.Quality),
      Grayscale(JPEGDefaults.Grayscale),
      FastMode(JPEGDefaults.FastMode),
      OutputFormat(JPEGDefaults.OutputFormat),
      ProgressiveDisplay(JPEGDefaults.ProgressiveDisplay),
      ProgressiveEncoding(JPEGDefaults.ProgressiveEncoding),
      ScaleShift(JPEGDefaults.ScaleShift),
      BlockSmoothing(JPEGDefaults.BlockSmoothing),
      SubsampleHorizontally(JPEGDefaults.SubsampleHorizontally),
      SubsampleVertically(JPEGDefaults.SubsampleVertically),
      FloatDCT(JPEGDefaults.FloatDCT) {
  NewImage();
}

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::NewImage() {
  FSharedData = std::make_shared<TJPEGData>();
}

void TJPEGImage::NewBitmap() {
  FBitmap = std::make_unique<TBitmap>();
}

void TJPEGImage::FreeBitmap() {
  FBitmap.reset();
}

void TJPEGImage::Assign(const TGraphic& source) {
  if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&source)) {
    if (jpeg == this) return;
    FSharedData = jpeg->FSharedData;
    // A bitmap decoded from the former data would no longer match it.
    FreeBitmap();
    if (jpeg->FBitmap) {
      NewBitmap();
      FBitmap->Assign(*jpeg->FBitmap);
    }
  } else if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
    NewImage();
    NewBitmap();
    FBitmap->Assign(*bitmap);
  } else {
    TGraphic::Assign(source);
  }
}

bool TJPEGImage::AssignTo(TGraphic& target) const {
  if (auto* bitmap = dynamic_cast<TBitmap*>(&target)) {
    // Decompressing only fills the cache; the picture itself is unchanged.
    bitmap->Assign(const_cast<TJPEGImage*>(this)->GetBitmap());
    return true;
  }
  return TGraphic::AssignTo(target);
}

bool TJPEGImage::Equals(const TGraphic& other) const {
  const auto* jpeg = dynamic_cast<const TJPEGImage*>(&other);
  return jpeg != nullptr && jpeg->FSharedData == FSharedData;
}

bool TJPEGImage::Empty() const {
  if (FSharedData->DataStream) return false;
  return !FBitmap || FBitmap->Empty();
}

int TJPEGImage::Width() const {
  if (FBitmap) return FBitmap->Width();
  if (ScaleShift == 0) return FSharedData->Width;
  CalcOutputDimensions();
  return FScaledWidth;
}

int TJPEGImage::Height() const {
  if (FBitmap) return FBitmap->Height();
  if (ScaleShift == 0) return FSharedData->Height;
  CalcOutputDimensions();
  return FScaledHeight;
}

void TJPEGImage::SetWidth(int) {
  JPEGInvalidOperation();
}

void TJPEGImage::SetHeight(int) {
  JPEGInvalidOperation();
}

void TJPEGImage::LoadFromStream(TStream& stream) {
  ReadStream(stream.Size() - stream.Position(), stream);
}

void TJPEGImage::SaveToStream(TStream& stream) {
  JPEGNeeded();
  const std::span<const uint8_t> bytes = FSharedData->DataStream->Bytes();
  if (!bytes.empty()) stream.WriteBuffer(bytes);
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) {
  canvas.StretchDraw(rect, GetBitmap());
}

HPALETTE TJPEGImage::Palette() const {
  if (FBitmap) return FBitmap->Palette();
  if (FPaletteHandle) return FPaletteHandle;
  if (OutputFormat == jf24Bit && ScreenBitsPerPixel() <= 8) {
    FPaletteHandle = CreateHalftonePalette();
    return FPaletteHandle;
  }
  return nullptr;
}

void TJPEGImage::SetPalette(HPALETTE palette) {
  if (palette == FPaletteHandle) return;
  bool freed = false;
  if (FBitmap && FBitmap->Palette() != palette) {
    FreeBitmap();
    freed = true;
  }
  FPaletteHandle = std::move(palette);
  if (freed) {
    SetPaletteModified(true);
    Changed();
  }
}

void TJPEGImage::ReadStream(int64_t size, TStream& stream) {
  if (size < 0) throw EReadError(SReadError);
  NewImage();
  // The new data replaces the picture: a bitmap decoded from the former data must not survive it.
  FreeBitmap();
  FSharedData->DataStream = std::make_unique<TMemoryStream>();
  TMemoryStream& data = *FSharedData->DataStream;
  data.SetSize(size);
  if (size > 0) {
    stream.ReadBuffer(data.Memory(), size);
    TDecompressContext context;
    data.SetPosition(0);
    context.ReadHeader(&data);
    FSharedData->Width = static_cast<int32_t>(context.Info.image_width);
    FSharedData->Height = static_cast<int32_t>(context.Info.image_height);
    FSharedData->Grayscale = context.Info.jpeg_color_space == JCS_GRAYSCALE;
    ProgressiveEncoding = context.HasMultipleScans();
  }
  SetPaletteModified(true);
  Changed();
}

void TJPEGImage::ReadData(TStream& stream) {
  const auto size = stream.ReadValue<int32_t>();
  ReadStream(size, stream);
}

void TJPEGImage::WriteData(TStream& stream) const {
  const TMemoryStream* data = FSharedData->DataStream.get();
  const int32_t size = data != nullptr ? RangeChecked<int32_t>(data->Bytes().size()) : 0;
  stream.WriteBuffer(&size, sizeof(size));
  if (size > 0) stream.WriteBuffer(data->Bytes());
}

void TJPEGImage::InitDecompressor(TDecompressContext& context, TGraphic* progressTarget) const {
  jpeg_decompress_struct& info = context.Info;
  JPEGProgress(Common(info), context.Progress, progressTarget);
  if (progressTarget == nullptr) info.progress = nullptr;
  TMemoryStream* data = FSharedData->DataStream.get();
  if (data != nullptr) data->SetPosition(0);
  context.ReadHeader(data);

  info.scale_num = 1;
  info.scale_denom = 1u << std::min(ScaleShift, MaxScaleShift);
  info.do_block_smoothing = BlockSmoothing ? TRUE : FALSE;
  // The library only hands four-component files out as C, M, Y, K; they are converted here.
  const bool ink = !Grayscale && (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK);
  if (Grayscale)
    info.out_color_space = JCS_GRAYSCALE;
  else if (ink)
    info.out_color_space = JCS_CMYK;
  else if (info.out_color_space != JCS_GRAYSCALE)
    // Colour output as the bitmap stores it (24-bit rows are blue, green, red); the colour map of
    // 8-bit output has red, green and blue rows.
    info.out_color_space = OutputFormat == jf8Bit ? JCS_RGB : JCS_EXT_BGR;

  // Only colour is quantised for 8-bit output; grey output keeps all 256 levels, one palette entry each.
  if (!ink && OutputFormat == jf8Bit && info.out_color_space != JCS_GRAYSCALE) {
    info.quantize_colors = TRUE;
    info.desired_number_of_colors = QuantizedColorCount;
  }
  if (FastMode) {
    info.dct_method = JDCT_IFAST;
    info.two_pass_quantize = FALSE;
    info.dither_mode = JDITHER_ORDERED;
  }
  context.Progress.SavedDCTMethod = info.dct_method;
  context.Progress.SavedTwoPassQuantize = info.two_pass_quantize;
  context.Progress.SavedDitherMode = info.dither_mode;

  if (ProgressiveDisplay && context.HasMultipleScans()) {
    // Early passes are drawn fast; the final pass uses the settings kept above.
    info.enable_2pass_quant = info.two_pass_quantize;
    info.dct_method = JDCT_IFAST;
    info.two_pass_quantize = FALSE;
    info.dither_mode = JDITHER_ORDERED;
    info.buffered_image = TRUE;
  }
}

void TJPEGImage::CalcOutputDimensions() const {
  if (!FSharedData->DataStream) {
    // Nothing loaded: nothing to measure.
    FScaledWidth = FScaledHeight = 0;
    return;
  }
  TDecompressContext context;
  InitDecompressor(context, nullptr);
  JPEGProtected(context.Error, [&] { jpeg_calc_output_dimensions(&context.Info); });
  FScaledWidth = static_cast<int32_t>(context.Info.output_width);
  FScaledHeight = static_cast<int32_t>(context.Info.output_height);
  ProgressiveEncoding = context.HasMultipleScans();
}

TBitmap& TJPEGImage::GetBitmap() {
  if (!FBitmap) Decompress();
  return *FBitmap;
}

std::unique_ptr<TBitmap> TJPEGImage::ReleaseBitmap() {
  GetBitmap();
  return std::move(FBitmap);
}

void TJPEGImage::Decompress() {
  NewBitmap();
  SetDataEndedEarly(false);
  bool newPalette = true;
  bool paletteModified = false;
  std::exception_ptr failure;
  try {
    TDecompressContext context;
    jpeg_decompress_struct& info = context.Info;
    InitDecompressor(context, this);
    context.RequireFrameData();

    const bool grey = info.out_color_space == JCS_GRAYSCALE;
    const bool indexed = info.quantize_colors != FALSE || grey;
    FBitmap->ReleaseHandle();
    FBitmap->SetPixelFormat(indexed ? pf8bit : pf24bit);
    Progress(TProgressStage::psStarting, 0, false, TRect{}, std::string());

    bool externalMap = false;
    if (FPaletteHandle) {
      if (OutputFormat == jf8Bit) {
        // Only colour output maps to a palette; grey output keeps its own grey levels.
        if (indexed && info.out_color_space != JCS_GRAYSCALE) {
          context.SetExternalColormap(FPaletteHandle);
          externalMap = info.colormap != nullptr;
          FBitmap->SetPalette(CopyPalette(FPaletteHandle));
          newPalette = false;
        }
      } else {
        DeleteObject(FPaletteHandle);
      }
    }

    JPEGProtected(context.Error, [&] { jpeg_start_decompress(&info); });
    // Each row must be exactly what the bitmap row holds: one index, or blue, green and red.
    const int expectedComponents = indexed ? 1 : (context.InkColours() ? 4 : 3);
    if (info.output_components != expectedComponents) throw EJPEG(JERR_CONVERSION_NOTIMPL);
    const int width = RangeChecked<int>(info.output_width), height = RangeChecked<int>(info.output_height);
    // Every row gets written unless a progress handler stops the decoding: only then must the rows
    // not reached start black.
    if (OnProgress)
      FBitmap->SetSize(width, height);
    else
      FBitmap->SetSizeForOverwrite(width, height, FBitmap->PixelFormat());
    const TRowWalk<uint8_t> rows = WalkRows(*FBitmap);
    std::vector<JSAMPLE> inkRow(context.InkColours() ? static_cast<size_t>(info.output_width) * 4 : 0);

    auto installPalette = [&](HPALETTE palette) {
      FBitmap->SetPalette(std::move(palette));
      paletteModified = true;
      SetPaletteModified(true);
    };
    if (grey && newPalette) installPalette(CreateGreyPalette());

    if (info.buffered_image) {
      int passes = 0;
      for (;;) {
        int status = 0;
        JPEGProtected(context.Error, [&] { status = jpeg_consume_input(&info); });
        // Read scan by scan here, not inside jpeg_start_decompress: the monitor sees no scan go by.
        JPEGNoteScan(info, context.Progress.Scans);
        if (status == JPEG_REACHED_EOI) break;
        JPEGProtected(context.Error, [&] { jpeg_start_output(&info, info.input_scan_number); });
        if (passes == 0 && info.colormap != nullptr && indexed && newPalette)
          installPalette(CreatePaletteFromColormap(info));
        context.ReadRows(rows, inkRow);
        JPEGProtected(context.Error, [&] { jpeg_finish_output(&info); });
        ++passes;
      }
      info.dct_method = context.Progress.SavedDCTMethod;
      info.dither_mode = context.Progress.SavedDitherMode;
      if (context.Progress.SavedTwoPassQuantize) {
        info.two_pass_quantize = TRUE;
        // The library's own one-pass map makes way for the final two-pass one; a palette handed in
        // from outside stays the map, since the bitmap already carries it.
        if (!externalMap) info.colormap = nullptr;
      }
      JPEGProtected(context.Error, [&] { jpeg_start_output(&info, info.input_scan_number); });
    }
    if (!info.buffered_image || context.Progress.SavedTwoPassQuantize) {
      if (info.colormap != nullptr && newPalette) installPalette(CreatePaletteFromColormap(info));
    }
    context.ReadRows(rows, inkRow);
    context.NoteDataRead(info.output_scanline >= info.output_height);
    SetDataEndedEarly(context.PictureDataMissing());
    if (info.buffered_image) JPEGProtected(context.Error, [&] { jpeg_finish_output(&info); });
    JPEGProtected(context.Error, [&] { jpeg_finish_decompress(&info); });
    SetDataEndedEarly(context.PictureDataMissing());
  } catch (...) {
    failure = std::current_exception();
  }

  try {
    Progress(TProgressStage::psEnding, failure ? 0 : 100, paletteModified, TRect{}, std::string());
    if (paletteModified) Changed();
  } catch (...) {
    failure = std::current_exception();
  }
  if (failure) {
    try {
      std::rethrow_exception(failure);
    } catch (const EAbort&) {
      // Stopped by a progress handler: the bitmap keeps what was decoded.
    } catch (...) {
      // A half-made bitmap must not pass for the picture.
      FreeBitmap();
      throw;
    }
  }
}

void TJPEGImage::DecodeToWorkingBitmap(TStream& stream, TBitmap& target) {
  SetDataEndedEarly(false);
  std::exception_ptr failure;
  try {
    TDecompressContext context;
    jpeg_decompress_struct& info = context.Info;
    JPEGProgress(Common(info), context.Progress, this);
    context.ReadHeader(&stream);
    context.RequireFrameData();
    info.do_block_smoothing = BlockSmoothing ? TRUE : FALSE;
    if (FastMode) info.dct_method = JDCT_IFAST;
    // Colour and grey files come out of the library as blue, green and red rows; ink files as C, M, Y,
    // K rows that are converted here.
    const bool ink = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = ink ? JCS_CMYK : JCS_EXT_BGR;
    Progress(TProgressStage::psStarting, 0, false, TRect{}, std::string());
    JPEGProtected(context.Error, [&] { jpeg_start_decompress(&info); });
    if (info.output_components != (ink ? 4 : 3)) throw EJPEG(JERR_CONVERSION_NOTIMPL);
    target.SetSizeForOverwrite(RangeChecked<int>(info.output_width), RangeChecked<int>(info.output_height),
                               pf24bit);
    const TRowWalk<uint8_t> rows = WalkRows(target);
    if (ink) {
      std::vector<JSAMPLE> inkRow(static_cast<size_t>(info.output_width) * 4);
      context.ReadRows(rows, inkRow);
    } else {
      context.ReadColourRows(rows);
    }
    context.NoteDataRead(info.output_scanline >= info.output_height);
    SetDataEndedEarly(context.PictureDataMissing());
    JPEGProtected(context.Error, [&] { jpeg_finish_decompress(&info); });
    SetDataEndedEarly(context.PictureDataMissing());
  } catch (...) {
    failure = std::current_exception();
  }
  try {
    Progress(TProgressStage::psEnding, failure ? 0 : 100, false, TRect{}, std::string());
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  if (failure) std::rethrow_exception(failure);
}

TJPEGBandResult TJPEGImage::DecodeBands(TMemoryStream& file, TJPEGBandSink& sink) {
  SetDataEndedEarly(false);
  const int64_t start = std::clamp<int64_t>(file.Position(), 0, file.Size());
  TDecompressContext context;
  jpeg_decompress_struct& info = context.Info;
  // No reports, but the scans read are noted.
  JPEGProgress(Common(info), context.Progress, nullptr);
  context.ReadHeader(&file);
  const bool multipleScans = context.HasMultipleScans();
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)
    return TJPEGBandResult::jbNotWhole;
  if (!multipleScans && !IsOneWholeSequentialScan(file.Bytes().subspan(static_cast<size_t>(start))))
    return TJPEGBandResult::jbNotWhole;
  context.RequireFrameData();
  if (!sink.Start(RangeChecked<int>(info.image_width), RangeChecked<int>(info.image_height), multipleScans))
    return TJPEGBandResult::jbRefused;
  info.do_block_smoothing = BlockSmoothing ? TRUE : FALSE;
  if (FastMode) info.dct_method = JDCT_IFAST;
  info.out_color_space = JCS_EXT_BGR;
  // Several scans are all read here, before any row, and every row follows from them; a single whole
  // scan cannot end early, but its data may still turn out garbled after the first bands.
  JPEGProtected(context.Error, [&] { jpeg_start_decompress(&info); });
  context.NoteDataRead(true);
  // A picture whose data were lost or garbled is flagged as well as refused, so that its caller can
  // tell the user so rather than give the library's message code.
  const auto refuseDataMissing = [this] {
    SetDataEndedEarly(true);
    throw EJPEG(JWRN_JPEG_EOF);
  };
  if (context.PictureDataMissing()) refuseDataMissing();
  if (info.output_components != 3 || info.output_width != info.image_width ||
      info.output_height != info.image_height)
    throw EJPEG(JERR_CONVERSION_NOTIMPL);

  // Sixteen rows: a few of the library's row groups, small enough to stay in the processor's cache
  // while the caller uses them.
  constexpr JDIMENSION kBandRows = 16;
  const size_t step = static_cast<size_t>(info.output_width) * 3;
  std::vector<JSAMPLE> band(step * kBandRows);
  JSAMPROW rows[kBandRows];
  for (JDIMENSION k = 0; k < kBandRows; ++k) rows[k] = band.data() + step * k;
  while (info.output_scanline < info.output_height) {
    const JDIMENSION first = info.output_scanline;
    const JDIMENSION count = std::min(kBandRows, info.output_height - first);
    JDIMENSION done = 0;
    JPEGProtected(context.Error, [&] {
      while (done < count) {
        const JDIMENSION got = jpeg_read_scanlines(&info, rows + done, count - done);
        if (got == 0) break;
        done += got;
      }
    });
    if (done != count || context.PictureDataMissing()) refuseDataMissing();
    sink.Band(static_cast<int>(first), static_cast<int>(count), band.data(), step);
  }
  JPEGProtected(context.Error, [&] { jpeg_finish_decompress(&info); });
  if (context.PictureDataMissing()) refuseDataMissing();
  return TJPEGBandResult::jbDecoded;
}

void TJPEGImage::JPEGNeeded() {
  if (!FSharedData->DataStream) Compress();
}

void TJPEGImage::Compress() {
  // Loaded data that was never decoded would otherwise be replaced by the compression of no bitmap.
  if (!FBitmap && FSharedData->DataStream && FSharedData->DataStream->Size() > 0) GetBitmap();
  TCompressContext context;
  jpeg_compress_struct& info = context.Info;
  JPEGProgress(Common(info), context.Progress, this);

  if (FSharedData->DataStream) NewImage();
  FSharedData->DataStream = std::make_unique<TMemoryStream>();
  JPEGStreamDestination(&info, context.Destination, *FSharedData->DataStream);
  if (!FBitmap || FBitmap->Width() == 0 || FBitmap->Height() == 0) return;

  std::exception_ptr failure;
  bool started = false;
  try {
    info.image_width = static_cast<JDIMENSION>(FBitmap->Width());
    info.image_height = static_cast<JDIMENSION>(FBitmap->Height());
    FSharedData->Width = FBitmap->Width();
    FSharedData->Height = FBitmap->Height();
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;

    // Rows go to the library as blue, green, red: a 24-bit bitmap as it is, others through a copy.
    const TBitmap* source = FBitmap.get();
    std::unique_ptr<TBitmap> converted;
    if (source->PixelFormat() != pf24bit) {
      converted = std::make_unique<TBitmap>();
      converted->Assign(*source);
      converted->SetPixelFormat(pf24bit);
      source = converted.get();
    }

    JPEGProtected(context.Error, [&] {
      jpeg_set_defaults(&info);
      jpeg_set_quality(&info, Quality, TRUE);
    });
    if (Grayscale) {
      FSharedData->Grayscale = true;
      JPEGProtected(context.Error, [&] { jpeg_set_colorspace(&info, JCS_GRAYSCALE); });
    }
    if (ProgressiveEncoding) JPEGProtected(context.Error, [&] { jpeg_simple_progression(&info); });
    for (int i = 0; i < MAX_COMPONENTS; ++i) {
      if (!SubsampleHorizontally) info.comp_info[i].h_samp_factor = 1;
      if (!SubsampleVertically) info.comp_info[i].v_samp_factor = 1;
    }
    if (FloatDCT) info.dct_method = JDCT_FLOAT;

    started = true;
    Progress(TProgressStage::psStarting, 0, false, TRect{}, std::string());
    JPEGProtected(context.Error, [&] { jpeg_start_compress(&info, TRUE); });
    const TRowWalk<const uint8_t> rows = WalkRows(*source);
    JPEGProtected(context.Error, [&] {
      while (info.next_scanline < info.image_height) {
        // The library only reads input rows.
        JSAMPROW row = const_cast<JSAMPROW>(rows.Row(info.next_scanline));
        if (jpeg_write_scanlines(&info, &row, 1) != 1) break;
      }
    });
    JPEGProtected(context.Error, [&] { jpeg_finish_compress(&info); });
  } catch (...) {
    failure = std::current_exception();
  }

  if (started) {
    try {
      Progress(TProgressStage::psEnding, failure ? 0 : 100, false, TRect{}, std::string());
    } catch (...) {
      failure = std::current_exception();
    }
  }
  if (failure) {
    // Unfinished data is no JPEG file: drop it, whatever stopped the compression.
    NewImage();
    try {
      std::rethrow_exception(failure);
    } catch (const EAbort&) {
    }
  }
}
