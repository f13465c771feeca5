#include "workbench/band_merge.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

#include "picture_formats/jpeg_image.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/file_system.h"
#include "toolkit/graphics/picture.h"
#include "workbench/working_bitmap.h"

namespace {

std::vector<std::pair<TImageOp, TRowForm>>& RowForms() {
  static std::vector<std::pair<TImageOp, TRowForm>> forms;
  return forms;
}

// Hands each decoded band to the row form, row by row, onto the result's rows. libjpeg may find a
// picture's data garbled only after some of its bands were merged, so each result row is kept as it was
// before its merge until the picture is through, and put back if it fails.
class TResultBands : public TJPEGBandSink {
 public:
  TResultBands(TBitmap& result, const TRowForm& form, intptr_t param, std::vector<uint8_t>& before)
      : FResult(result), FRows(form.Rows), FStart(form.Start), FParam(param), FBefore(before) {}

  bool Start(int width, int height) override {
    if (FResult.PixelFormat() != pf24bit || width != FResult.Width() || height != FResult.Height() ||
        width == 0 || height == 0)
      return false;
    if (FStart) {
      TRowStart start = TRowStart::rsRefuse;
      try {
        start = FStart(FResult, FParam);
      } catch (...) {
        FRaised = std::current_exception();  // the operation's own failure, not the file's
        return false;
      }
      FWhole = start == TRowStart::rsWhole;
      if (start != TRowStart::rsMerge) return false;
    }
    FWalk = WalkRows(FResult);
    FRowBytes = static_cast<size_t>(width) * 3;
    FBefore.resize(FRowBytes * static_cast<size_t>(height));
    return true;
  }

  void Band(int first, int count, const uint8_t* rows, size_t step) override {
    // The result's rows in the order they lie in memory (bottom-up bitmaps hold the band's last row
    // first): the memory streams forward, which costs markedly less than walking it backwards.
    const bool backwards = FWalk.Step < 0;
    for (int j = 0; j < count; ++j) {
      const int k = backwards ? count - 1 - j : j;
      uint8_t* row = FWalk.Row0 + FWalk.Step * (first + k);
      std::memcpy(FBefore.data() + FRowBytes * static_cast<size_t>(first + k), row, FRowBytes);
      FRows(row, rows + step * static_cast<size_t>(k), FResult.Width(), first + k, FParam);
    }
    FMerged = std::max(FMerged, first + count);
  }

  // Puts back the rows merged so far.
  void TakeBack() {
    for (int y = 0; y < FMerged; ++y)
      std::memcpy(FWalk.Row0 + FWalk.Step * y, FBefore.data() + FRowBytes * static_cast<size_t>(y),
                  FRowBytes);
    FMerged = 0;
  }

  // After a refusal: whether the start check asked for the whole road, or raised.
  bool WantsWhole() const { return FWhole; }
  std::exception_ptr Raised() const { return FRaised; }

 private:
  TBitmap& FResult;
  TRowOp FRows;
  TRowStartCheck FStart;
  intptr_t FParam;
  std::vector<uint8_t>& FBefore;
  TRowWalk FWalk{};
  size_t FRowBytes = 0;
  int FMerged = 0;
  bool FWhole = false;
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
  // Missing files and other formats take the whole road, which reports them as it always does.
  if (!IsPictureExtension(fileName) || !FileExists(fileName) ||
      TPicture::FindGraphicClass(ExtractFileExt(fileName).erase(0, 1)) != TJPEGImage::StaticClass())
    return TBandMergeResult::bmLoadWhole;
  std::exception_ptr raised;
  TResultBands bands(result, form, param, FRowsBefore);
  try {
    FFile.LoadFromFile(fileName);
    TJPEGImage jpeg;
    switch (jpeg.DecodeBands(FFile, bands)) {
      case TJPEGBandResult::jbDecoded:
        return TBandMergeResult::bmMerged;
      case TJPEGBandResult::jbRefused:
        if (bands.WantsWhole()) return TBandMergeResult::bmLoadWhole;
        raised = bands.Raised();
        if (!raised) return TBandMergeResult::bmFailed;
        break;
      case TJPEGBandResult::jbNotWhole:
        return TBandMergeResult::bmLoadWhole;
    }
  } catch (const std::exception&) {
    bands.TakeBack();
    return TBandMergeResult::bmFailed;
  }
  std::rethrow_exception(raised);
}
