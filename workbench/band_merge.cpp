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

std::vector<std::pair<TImageOp, TRowOp>>& RowForms() {
  static std::vector<std::pair<TImageOp, TRowOp>> forms;
  return forms;
}

// Hands each decoded band to the row form, row by row, onto the result's rows.
class TResultBands : public TJPEGBandSink {
 public:
  TResultBands(TBitmap& result, TRowOp rows, intptr_t param) : FResult(result), FRows(rows), FParam(param) {}

  bool Start(int width, int height) override {
    if (FResult.PixelFormat() != pf24bit || width != FResult.Width() || height != FResult.Height() ||
        width == 0 || height == 0)
      return false;
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

 private:
  TBitmap& FResult;
  TRowOp FRows;
  intptr_t FParam;
  TRowWalk FWalk{};
};

}  // namespace

void RegisterRowForm(TImageOp op, TRowOp rows) {
  for (auto& [known, form] : RowForms())
    if (known == op) {
      form = rows;
      return;
    }
  RowForms().emplace_back(op, rows);
}

TRowOp RowFormOf(TImageOp op) {
  for (const auto& [known, form] : RowForms())
    if (known == op) return form;
  return nullptr;
}

TBandMergeResult TBandMerger::Merge(const std::string& fileName, TBitmap& result, TRowOp rows,
                                    intptr_t param) {
  // Missing files and other formats take the whole road, which reports them as it always does.
  if (!IsPictureExtension(fileName) || !FileExists(fileName) ||
      TPicture::FindGraphicClass(ExtractFileExt(fileName).erase(0, 1)) != TJPEGImage::StaticClass())
    return TBandMergeResult::bmLoadWhole;
  try {
    FFile.LoadFromFile(fileName);
    TJPEGImage jpeg;
    TResultBands bands(result, rows, param);
    switch (jpeg.DecodeBands(FFile, bands)) {
      case TJPEGBandResult::jbDecoded:
        return TBandMergeResult::bmMerged;
      case TJPEGBandResult::jbRefused:
        return TBandMergeResult::bmFailed;
      case TJPEGBandResult::jbNotWhole:
        break;
    }
  } catch (const std::exception&) {
    return TBandMergeResult::bmFailed;
  }
  return TBandMergeResult::bmLoadWhole;
}
