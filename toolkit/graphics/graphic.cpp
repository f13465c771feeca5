#include "toolkit/graphics/graphic.h"

#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_replace.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"

bool TGraphicClassInfo::InheritsFrom(const TGraphicClassInfo* other) const {
  if (!other) return false;
  for (const TGraphicClassInfo* info = this; info; info = info->Parent)
    if (info == other) return true;
  return false;
}

void TGraphic::Assign(const TGraphic& source) {
  if (&source == this) return;
  if (source.AssignTo(*this)) return;
  throw EConvertError(Format(SAssignError, {source.ClassType()->ClassName, ClassType()->ClassName}));
}

bool TGraphic::AssignTo(TGraphic&) const {
  return false;
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName) {
  TFileReplacement file(fileName);
  SaveToStream(file.Stream());
  file.Commit();
}

void TGraphic::Changed() {
  FModified = true;
  if (OnChange) OnChange(*this);
}

void TGraphic::Progress(TProgressStage stage, uint8_t percentDone, bool redrawNow, const TRect& rect,
                        const std::string& message) {
  if (OnProgress) OnProgress(*this, stage, percentDone, redrawNow, rect, message);
}
