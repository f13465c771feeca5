#include "toolkit/graphics/metafile.h"

#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"

void TMetafile::LoadFromStream(TStream&) {
  throw EInvalidGraphic(SMetafileNotSupported);
}
