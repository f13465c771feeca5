#include "workbench/band_merge.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <jerror.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include "picture_formats/format_messages.h"
#include "picture_formats/jpeg_exception.h"
#include "picture_formats/jpeg_image.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/format.h"
#include "toolkit/graphics/picture.h"
#include "workbench/working_bitmap.h"

namespace {

std::vector<std::pair<TImageOp, TRowForm>>& RowForms() {
  static std::vector<std::pair<TImageOp, TRowForm>> forms;
  return forms;
}

// Hands each decoded band to the row form, row by row: onto the result's own rows when no band can be
// taken back, else into the second result buffer, which the result takes once the picture is through.
class TResultBands : public TJPEGBandSink {
 public:
  TResultBands(TBitmap& result, const TRowForm& form, intptr_t param, TSecondResult& second)
      : FResult(result), FRows(form.Rows), FStart(form.Start), FParam(param), FSecond(second) {}

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
    FInPlace = final;
    if (!FInPlace) PrepareSecond();
    return true;
  }

  void Band(int first, int count, const uint8_t* rows, size_t step) override {
    // The result's rows in the order they lie in memory (bottom-up bitmaps hold the band's last row
    // first): the memory streams forward, which costs markedly less than walking it backwards.
    const bool backwards = FWalk.Step < 0;
    const int width = FResult.Width();
    for (int j = 0; j < count; ++j) {
      const int k = backwards ? count - 1 - j : j;
      const int y = first + k;
      uint8_t* row = FWalk.Row0 + FWalk.Step * y;
      const uint8_t* picture = rows + step * static_cast<size_t>(k);
      FRows(FInPlace ? row : FSecond.Pixels.get() + (row - FLowest), row, picture, width, y, FParam);
    }
#if defined(__SSE2__)
    // Row forms may write the second buffer with streaming stores: ordered here, before anything reads it.
    if (!FInPlace) _mm_sfence();
#endif
  }

  // Once the picture is through: the result takes the merged pixels, and the second buffer the
  // result's old ones, for the next picture.
  void Finish() {
    if (!FInPlace) FResult.ExchangePixels(FSecond.Pixels);
  }

  // After a refusal: whether the start check raised.
  std::exception_ptr Raised() const {
    return FRaised;
  }

 private:
  // The second buffer sized and laid out as the result's pixels; its rows' padding is cleared once for
  // a layout (the merges write the pixels only, and a result's padding must hold no stray bytes, since
  // a save writes it as it stands). May raise std::bad_alloc.
  void PrepareSecond() {
    const int stride = FResult.RowStride(), height = FResult.Height();
    const size_t size = static_cast<size_t>(stride) * static_cast<size_t>(height);
    const size_t rowBytes = static_cast<size_t>(FResult.Width()) * 3;
    if (FSecond.Pixels.size() != size) {
      FSecond.Stride = 0;
      FSecond.Pixels.reset();  // given up before the new one is had: never both at once
      FSecond.Pixels = TPixelMemory(size);
    }
    if (FSecond.Stride != stride || FSecond.Height != height) {
      for (int y = 0; y < height; ++y)
        std::memset(FSecond.Pixels.get() + static_cast<size_t>(y) * static_cast<size_t>(stride) + rowBytes, 0,
                    static_cast<size_t>(stride) - rowBytes);
      FSecond.Stride = stride;
      FSecond.Height = height;
    }
    // Row y lies as far from the second buffer's start as from the start of the result's memory, its
    // lowest row, whichever way the rows run.
    FLowest = std::min(FWalk.Row0, FWalk.Row0 + FWalk.Step * (height - 1));
  }

  TBitmap& FResult;
  TRowOp FRows;
  TRowStartCheck FStart;
  intptr_t FParam;
  TSecondResult& FSecond;
  TRowWalk FWalk{};
  bool FInPlace = false;  // no band can be taken back: merged onto the result's rows
  const uint8_t* FLowest = nullptr;
  std::exception_ptr FRaised;
};

// Memory that could not be had, ours or the library's: the picture is too large for this machine, as
// every reader says it.
bool MemoryRanShort(const std::exception& error) {
  if (const auto* library = dynamic_cast<const EJPEG*>(&error))
    return library->MessageCode() == JERR_OUT_OF_MEMORY;
  return dynamic_cast<const std::bad_alloc*>(&error) || dynamic_cast<const std::length_error*>(&error) ||
         dynamic_cast<const EOutOfResources*>(&error);
}

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
  TResultBands bands(result, form, param, FSecond);
  TJPEGImage jpeg;
  try {
    FFile.LoadFromFile(fileName);
    switch (jpeg.DecodeBands(FFile, bands)) {
      case TJPEGBandResult::jbDecoded:
        bands.Finish();
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
    if (jpeg.DataEndedEarly())
      FFailureReason = kDataEndedEarlyReason;
    else if (MemoryRanShort(error))
      FFailureReason = Format(gesPictureTooLarge, {"JPEG"});
    else
      FFailureReason = error.what();
    return TBandMergeResult::bmFailed;
  }
  std::rethrow_exception(raised);
}
