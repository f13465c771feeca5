#include "picture_formats/format_graphic.h"

#include <algorithm>
#include <string_view>

#include "picture_formats/format_failures.h"
#include "picture_formats/format_messages.h"
#include "toolkit/core/format.h"
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

void TFormatGraphic::LoadFromFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadChecked(stream);
}

void TFormatGraphic::LoadChecked(TStream& stream) {
  try {
    LoadFromStream(stream);
  } catch (const EAbort&) {
    throw;
  } catch (const std::exception& error) {
    throw EInvalidGraphic(FailureMessage(error, FormatName()));
  }
  if (Empty()) throw EInvalidGraphic(Format(gesInvalidImage, {FormatName()}));
}

std::string TFormatGraphic::FormatName() const {
  std::string_view name = ClassType()->ClassName;
  if (name.starts_with('T')) name.remove_prefix(1);
  if (name.ends_with("Graphic")) name.remove_suffix(std::string_view("Graphic").size());
  return std::string(name);
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
