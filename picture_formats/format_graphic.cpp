#include "picture_formats/format_graphic.h"

#include <algorithm>

#include "toolkit/core/numbers.h"

TFormatGraphic::TFormatGraphic() : FColorManager(std::make_unique<TColorManager>()) {}

TFormatGraphic::~TFormatGraphic() = default;

void TFormatGraphic::Assign(const TGraphic& source) {
  if (const auto* reader = dynamic_cast<const TFormatGraphic*>(&source))
    FImageProperties = reader->FImageProperties;
  TBitmap::Assign(source);
}

bool TFormatGraphic::CanLoad(TStream&) {
  return false;
}

bool TFormatGraphic::ReadImageProperties(TStream&, uint32_t) {
  FImageProperties = TImageProperties{};
  FImageProperties.FileGamma = 1.0f;
  return false;
}

void TFormatGraphic::ProgressStarting(const std::string& stage) {
  Progress(TProgressStage::psStarting, 0, false, ProgressRect, stage);
}

void TFormatGraphic::ProgressRow(int row, int height) {
  const int32_t percent = std::clamp(MulDiv(row, 100, height), 0, 100);
  Progress(TProgressStage::psRunning, static_cast<uint8_t>(percent), true, ProgressRect, "");
  OffsetRect(ProgressRect, 0, 1);
}

void TFormatGraphic::ProgressEnding() {
  Progress(TProgressStage::psEnding, 0, false, ProgressRect, "");
}
