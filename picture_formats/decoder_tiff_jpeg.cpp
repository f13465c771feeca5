#include "picture_formats/decoder_tiff_jpeg.h"

#include <algorithm>

#include "picture_formats/format_messages.h"
#include "picture_formats/jpeg_frame_scans.h"
#include "picture_formats/jpeg_stream_managers.h"

namespace {

constexpr const char* kJPEGName = "JPEG";

// libjpeg's compile-time limit on the components of one image.
constexpr int kMaxComponents = 10;

TTIFFJPEGDecoder::TStripSource& SourceOf(j_decompress_ptr info) {
  return *reinterpret_cast<TTIFFJPEGDecoder::TStripSource*>(info->src);
}

// The source manager's routines run inside libjpeg: none of them may raise.

// Hands the library the next few bytes of the strip.
void HandOver(TTIFFJPEGDecoder::TStripSource& source) {
  const size_t count = std::min(source.PendingCount, JPEGCarefulPieceBytes);
  source.Pub.next_input_byte = source.Pending;
  source.Pub.bytes_in_buffer = count;
  source.Pending += count;
  source.PendingCount -= count;
}

void InitSource(j_decompress_ptr info) {
  auto& source = SourceOf(info);
  source.Pending = source.Data;
  source.PendingCount = source.Size;
  HandOver(source);
}

// Asked for bytes the strip does not hold: serve an end-of-image marker, so that libjpeg ends the image
// as it ends any premature end of data.
boolean FillInputBuffer(j_decompress_ptr info) {
  static const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};
  auto& source = SourceOf(info);
  if (source.PendingCount > 0) {
    HandOver(source);
    return TRUE;
  }
  source.HitEnd = true;
  source.Pub.next_input_byte = kEndOfImage;
  source.Pub.bytes_in_buffer = sizeof kEndOfImage;
  return TRUE;
}

// A skip past the strip's end leaves the end-of-image marker.
void SkipInputData(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  auto& source = SourceOf(info);
  size_t remaining = static_cast<size_t>(count);
  if (remaining > source.Pub.bytes_in_buffer) {
    remaining -= source.Pub.bytes_in_buffer;
    source.Pub.bytes_in_buffer = 0;
    if (remaining > source.PendingCount) {
      source.PendingCount = 0;
      FillInputBuffer(info);
    } else {
      // The library asks for the bytes after these when it needs them.
      source.Pending += remaining;
      source.PendingCount -= remaining;
    }
    return;
  }
  source.Pub.next_input_byte += remaining;
  source.Pub.bytes_in_buffer -= remaining;
}

void TermSource(j_decompress_ptr) {}

}  // namespace

TTIFFJPEGDecoder::TTIFFJPEGDecoder(const TImageProperties& Properties) : FProperties(Properties) {
  FSource.Pub.init_source = InitSource;
  FSource.Pub.fill_input_buffer = FillInputBuffer;
  FSource.Pub.skip_input_data = SkipInputData;
  FSource.Pub.resync_to_restart = jpeg_resync_to_restart;
  FSource.Pub.term_source = TermSource;
}

TTIFFJPEGDecoder::~TTIFFJPEGDecoder() {
  if (FCreated) jpeg_destroy(reinterpret_cast<j_common_ptr>(&FInfo));
}

void TTIFFJPEGDecoder::DecodeInit() {
  DecodeEnd();
  FInfo.err = JPEGErrorManager(FError);
  JPEGProtected(FError, [this] { jpeg_CreateDecompress(&FInfo, JPEG_LIB_VERSION, sizeof(FInfo)); });
  FCreated = true;
  JPEGProgress(reinterpret_cast<j_common_ptr>(&FInfo), FScans, nullptr);

  const auto& subsampling = FProperties.YCbCrSubsampling;
  FHorizontalSubsampling = subsampling.size() >= 2 ? subsampling[0] : 1;
  FVerticalSubsampling = subsampling.size() >= 2 ? subsampling[1] : 1;

  FInfo.src = &FSource.Pub;
  if (!FProperties.JPEGTables.empty()) LoadTables();
  FSource.Data = nullptr;
  FSource.Size = 0;
  FSource.Pub.next_input_byte = nullptr;
  FSource.Pub.bytes_in_buffer = 0;
}

// The tables stay in the decompressor for every strip: jpeg_abort keeps them.
void TTIFFJPEGDecoder::LoadTables() {
  FSource.Data = FProperties.JPEGTables.data();
  FSource.Size = FProperties.JPEGTables.size();
  FSource.HitEnd = false;
  int result = 0;
  try {
    JPEGProtected(FError, [this, &result] { result = jpeg_read_header(&FInfo, FALSE); });
  } catch (...) {
    jpeg_abort(reinterpret_cast<j_common_ptr>(&FInfo));
    throw;
  }
  if (result != JPEG_HEADER_TABLES_ONLY) {
    jpeg_abort(reinterpret_cast<j_common_ptr>(&FInfo));
    CompressionError(gesJPEGBogusTableField);
  }
}

void TTIFFJPEGDecoder::Decode(TSourceCursor& Source, TTargetCursor& Dest, int32_t PackedSize,
                              int32_t UnpackedSize) {
  const size_t packed = PackedBytesAvailable(Source, PackedSize, kJPEGName);
  const size_t room = UnpackedRoomAvailable(Dest, UnpackedSize, 1, kJPEGName);
  SetLastUnpackedBytes(0);
  if (!FCreated) DecodeInit();
  // Every way out of a strip, raised or not, leaves the decompressor at its start; jpeg_abort raises
  // nothing, so the strip's own failure is the one the caller sees.
  try {
    DecodeStrip(Source.Current(), packed, Dest.Current(), room);
  } catch (...) {
    jpeg_abort(reinterpret_cast<j_common_ptr>(&FInfo));
    throw;
  }
}

void TTIFFJPEGDecoder::DecodeStrip(const uint8_t* packed, size_t packedSize, uint8_t* target, size_t room) {
  jpeg_abort(reinterpret_cast<j_common_ptr>(&FInfo));
  FSource.Data = packed;
  FSource.Size = packedSize;
  FSource.HitEnd = false;
  FScans.Scans = {};
  JPEGProtected(FError, [this] { jpeg_read_header(&FInfo, TRUE); });

  CheckStrip();
  ChooseColorSpaces();
  JPEGProtected(FError, [this] { jpeg_start_decompress(&FInfo); });

  const size_t rowSize = FProperties.BytesPerLine;
  if (rowSize == 0 ? room != 0 : room % rowSize != 0) CompressionError(gesJPEGFractionalLine);
  if (static_cast<size_t>(FInfo.output_components) * FInfo.output_width > rowSize)
    CompressionError(gesJPEGStripSize);

  const size_t rows = rowSize == 0 ? 0 : room / rowSize;
  size_t read = 0;
  JPEGProtected(FError, [this, target, rows, rowSize, &read] {
    for (; read < rows && FInfo.output_scanline < FInfo.output_height; ++read) {
      JSAMPROW line = target + read * rowSize;
      if (jpeg_read_scanlines(&FInfo, &line, 1) == 0) break;
    }
  });
  // A strip of several scans was read whole before its first row.
  const bool coded = JPEGScansCodedWholeFrame(FInfo, FScans.Scans);
  // Once the strip's rows are there, nothing after them is read (strips whose byte counts reach over
  // one shared block must not each walk it to its end): the decompressor goes back to its start.
  // Rows that were not read are an error of libjpeg's own, which finishing raises.
  if (read == rows)
    jpeg_abort(reinterpret_cast<j_common_ptr>(&FInfo));
  else
    JPEGProtected(FError, [this] { jpeg_finish_decompress(&FInfo); });
  // Rows libjpeg finished from an end of data it made up, from data it found lost or garbled, or with
  // what no scan coded, are not the file's.
  if (FSource.HitEnd || FError.DataCorrupt || !coded)
    ++FTruncatedStrips;
  else
    SetLastUnpackedBytes(read * rowSize);
}

void TTIFFJPEGDecoder::CheckStrip() const {
  const auto& properties = FProperties;
  uint32_t height = properties.Height > properties.CurrentRow ? properties.Height - properties.CurrentRow : 0;
  if (!properties.RowsPerStrip.empty()) height = std::min(height, properties.RowsPerStrip[0]);
  if (FInfo.image_width != properties.Width || FInfo.image_height != height)
    CompressionError(gesJPEGStripSize);

  // TIFF 6.0: a file without a PlanarConfiguration tag stores its samples contiguously.
  const bool contiguous = properties.PlanarConfiguration != 2;
  if (FInfo.num_components != (contiguous ? properties.SamplesPerPixel : 1))
    CompressionError(gesJPEGComponentCount);
  if (FInfo.data_precision != properties.BitsPerSample) CompressionError(gesJPEGDataPrecision);

  const jpeg_component_info* components = FInfo.comp_info;
  const bool firstMatches = contiguous ? components[0].h_samp_factor == FHorizontalSubsampling &&
                                             components[0].v_samp_factor == FVerticalSubsampling
                                       : components[0].h_samp_factor == 1 && components[0].v_samp_factor == 1;
  if (!firstMatches) CompressionError(gesJPEGSamplingFactors);
  if (contiguous) {
    for (int i = 1; i < std::min(FInfo.num_components, kMaxComponents); ++i)
      if (components[i].h_samp_factor != 1 || components[i].v_samp_factor != 1)
        CompressionError(gesJPEGSamplingFactors);
  }
}

// The JPEG colour space follows the TIFF's photometric interpretation, not libjpeg's guess from the
// stream's markers; the rows come out in the bitmap's blue-green-red order, or as gray bytes.
void TTIFFJPEGDecoder::ChooseColorSpaces() {
  const TColorScheme scheme = FProperties.ColorScheme;
  if (FInfo.num_components == 1) {
    FInfo.jpeg_color_space = JCS_GRAYSCALE;
    FInfo.out_color_space = JCS_GRAYSCALE;
  } else if (FInfo.num_components == 3 && scheme == scYCbCr) {
    FInfo.jpeg_color_space = JCS_YCbCr;
    FInfo.out_color_space = JCS_EXT_BGR;
  } else if (FInfo.num_components == 3 && (scheme == scRGB || scheme == scRGBA)) {
    FInfo.jpeg_color_space = JCS_RGB;
    FInfo.out_color_space = JCS_EXT_BGR;
  } else {
    // Separated, CIE L*a*b* and the like: the samples as stored.
    FInfo.jpeg_color_space = JCS_UNKNOWN;
    FInfo.out_color_space = JCS_UNKNOWN;
  }
  FInfo.raw_data_out = FALSE;
}

void TTIFFJPEGDecoder::DecodeEnd() {
  if (!FCreated) return;
  FCreated = false;
  jpeg_destroy(reinterpret_cast<j_common_ptr>(&FInfo));
}
