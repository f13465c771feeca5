#include "picture_formats/pending_readers.h"

#include "picture_formats/format_messages.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"

void RaiseFormatNotReadable(const char* formatName) {
  throw EInvalidGraphic(Format(gesUnsupportedFeature, {"Reading this format is", formatName}));
}
