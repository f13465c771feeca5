#include "workbench/band_merge.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

#include "picture_formats/jpeg_image.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/file_system.h"
#include "toolkit/graphics/picture.h"
#include "toolkit/graphics/pixel_memory.h"
#include "workbench/working_bitmap.h"

namespace {

std::vector<std::pair<TImageOp, TRowForm>>& RowForms() {
  static std::vector<std::pair<TImageOp, TRowForm>> forms;
  return forms;
}

// Result rows as they were before a picture's merge, in 16-byte blocks. They are kept with streaming
// stores, which go to memory without first reading there what they overwrite: keeping them costs one
// more write of the result per picture. The memory is pixel memory, kept from run to run, so it is not
// paged in afresh by every run.
class TRowsBefore {
 public:
  explicit TRowsBefore(TPixelMemory& memory) : FMemory(memory) {}

  void Prepare(size_t rowBytes, size_t rows) {
    FRowBytes = rowBytes;
    FPitch = (rowBytes + kBlock - 1) / kBlock;
    if (FMemory.size() != FPitch * kBlock * rows) FMemory = TPixelMemory(FPitch * kBlock * rows);
  }
  void Keep(size_t y, const uint8_t* row) {
    uint8_t* target = FMemory.get() + FPitch * kBlock * y;
    const size_t whole = FRowBytes / kBlock * kBlock;
#if defined(__SSE2__)
    for (size_t i = 0; i < whole; i += kBlock)
      _mm_stream_si128(reinterpret_cast<__m128i*>(target + i),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i)));
#else
    std::memcpy(target, row, whole);
#endif
    std::memcpy(target + whole, row + whole, FRowBytes - whole);
  }
  // Orders the streaming stores before whatever follows them.
  static void Settle() {
#if defined(__SSE2__)
    _mm_sfence();
#endif
  }
  void PutBack(size_t y, uint8_t* row) const {
    std::memcpy(row, FMemory.get() + FPitch * kBlock * y, FRowBytes);
  }

 private:
  // Streamed 16 bytes at a time; every kept row starts on a multiple of 16 (the memory does: it comes
  // from operator new).
  static constexpr size_t kBlock = 16;
  TPixelMemory& FMemory;
  size_t FRowBytes = 0;
  size_t FPitch = 0;  // blocks per kept row
};

// Hands each decoded band to the row form, row by row, onto the result's rows. libjpeg may find a
// picture's data garbled only after some of its bands were merged (in a single scan, a drift that began
// anywhere shows at its end), so each result row is kept as it was before its merge until the picture is
// through, and put back if it fails.
class TResultBands : public TJPEGBandSink {
 public:
  TResultBands(TBitmap& result, const TRowForm& form, intptr_t param, TPixelMemory& before)
      : FResult(result), FRows(form.Rows), FStart(form.Start), FParam(param), FBefore(before) {}

  bool Start(int width, int height, bool final) override {
    if (FResult.PixelFormat() != pf24bit || width != FResult.Width() || height != FResult.Height() ||
        width == 0 || height == 0)
      return false;
    if (FStart) {
      TRowStart start = TRowStart::rsWhole;
      try {
        start = FStart(FResult, FParam);
      } catch (...) {
        FRaised = std::current_exception();  // the operation's own failure, not the file's
        return false;
      }
      if (start != TRowStart::rsMerge) return false;
    }
    FWalk = WalkRows(FResult);
    FKeep = !final;
    if (FKeep) FBefore.Prepare(static_cast<size_t>(width) * 3, static_cast<size_t>(height));
    return true;
  }

  void Band(int first, int count, const uint8_t* rows, size_t step) override {
    // The result's rows in the order they lie in memory (bottom-up bitmaps hold the band's last row
    // first): the memory streams forward, which costs markedly less than walking it backwards.
    const bool backwards = FWalk.Step < 0;
    for (int j = 0; j < count; ++j) {
      const int k = backwards ? count - 1 - j : j;
      uint8_t* row = FWalk.Row0 + FWalk.Step * (first + k);
      if (FKeep) FBefore.Keep(static_cast<size_t>(first + k), row);
      FRows(row, rows + step * static_cast<size_t>(k), FResult.Width(), first + k, FParam);
    }
    if (FKeep) TRowsBefore::Settle();
    FMerged = std::max(FMerged, first + count);
  }

  // Puts back the rows merged so far (bands that were final are never taken back).
  void TakeBack() {
    if (!FKeep) return;
    for (int y = 0; y < FMerged; ++y) FBefore.PutBack(static_cast<size_t>(y), FWalk.Row0 + FWalk.Step * y);
    FMerged = 0;
  }

  // After a refusal: whether the start check raised.
  std::exception_ptr Raised() const { return FRaised; }

 private:
  TBitmap& FResult;
  TRowOp FRows;
  TRowStartCheck FStart;
  intptr_t FParam;
  TRowsBefore FBefore;
  TRowWalk FWalk{};
  int FMerged = 0;
  bool FKeep = false;  // bands may be taken back: the rows before them are kept
  std::exception_ptr FRaised;
};

}  // namespace

void RegisterRowForm(TImageOp op, TRowOp rows, TRowStartCheck start) {
  for (auto& [known, form] : RowForms())
    if (known == op) {
      form = {rows, start};
      return;
    }
  RowForms().emplace_back(op, TRowForm{rows, start});
}

TRowForm RowFormOf(TImageOp op) {
  for (const auto& [known, form] : RowForms())
    if (known == op) return form;
  return {};
}

TBandMergeResult TBandMerger::Merge(const std::string& fileName, TBitmap& result, const TRowForm& form,
                                    intptr_t param) {
  // Missing files, pipes and devices (never opened here) and other formats take the whole road, which
  // reports them as it always does.
  FFailureReason.clear();
  if (!IsPictureExtension(fileName) || FileKindOf(fileName) != TFileKind::fkRegular ||
      TPicture::FindGraphicClass(ExtractFileExt(fileName).erase(0, 1)) != TJPEGImage::StaticClass())
    return TBandMergeResult::bmLoadWhole;
  std::exception_ptr raised;
  TResultBands bands(result, form, param, FRowsBefore);
  TJPEGImage jpeg;
  try {
    FFile.LoadFromFile(fileName);
    switch (jpeg.DecodeBands(FFile, bands)) {
      case TJPEGBandResult::jbDecoded:
        return TBandMergeResult::bmMerged;
      case TJPEGBandResult::jbRefused:
        // A picture that does not fit (another size, a reference the operation refuses) goes the whole
        // road too, which refuses it alike and finds the sizes that tell the user why.
        raised = bands.Raised();
        if (!raised) return TBandMergeResult::bmLoadWhole;
        break;
      case TJPEGBandResult::jbNotWhole:
        return TBandMergeResult::bmLoadWhole;
    }
  } catch (const std::exception& error) {
    bands.TakeBack();
    FFailureReason = jpeg.DataEndedEarly() ? kDataEndedEarlyReason : error.what();
    return TBandMergeResult::bmFailed;
  }
  std::rethrow_exception(raised);
}
