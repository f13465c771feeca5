#include "workbench/band_merge.h"

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

// Hands each decoded band to the row form, row by row, onto the result's rows.
class TResultBands : public TJPEGBandSink {
 public:
  TResultBands(TBitmap& result, const TRowForm& form, intptr_t param)
      : FResult(result), FRows(form.Rows), FStart(form.Start), FParam(param) {}

  bool Start(int width, int height) override {
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
    return true;
  }

  void Band(int first, int count, const uint8_t* rows, size_t step) override {
    // The result's rows in the order they lie in memory (bottom-up bitmaps hold the band's last row
    // first): the memory streams forward, which costs markedly less than walking it backwards.
    const bool backwards = FWalk.Step < 0;
    for (int j = 0; j < count; ++j) {
      const int k = backwards ? count - 1 - j : j;
      FRows(FWalk.Row0 + FWalk.Step * (first + k), rows + step * static_cast<size_t>(k), FResult.Width(),
            first + k, FParam);
    }
  }

  // After a refusal: whether the start check raised.
  std::exception_ptr Raised() const { return FRaised; }

 private:
  TBitmap& FResult;
  TRowOp FRows;
  TRowStartCheck FStart;
  intptr_t FParam;
  TRowWalk FWalk{};
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
  try {
    FFile.LoadFromFile(fileName);
    TJPEGImage jpeg;
    TResultBands bands(result, form, param);
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
    FFailureReason = error.what();
    return TBandMergeResult::bmFailed;
  }
  std::rethrow_exception(raised);
}
