#pragma once
// Reader classes whose formats cannot be read yet. They are registered under their own names so the
// format list stands complete; loading one raises the library's "not supported" error.

#include "toolkit/graphics/bitmap.h"

[[noreturn]] void RaiseFormatNotReadable(const char* formatName);

#define ORVANTA_PENDING_READER(Type, FormatName)                                   \
  class Type : public TBitmap {                                                    \
    ORVANTA_GRAPHIC_CLASS(Type, TBitmap)                                           \
   public:                                                                         \
    void LoadFromStream(TStream&) override { RaiseFormatNotReadable(FormatName); } \
  };

ORVANTA_PENDING_READER(TTIFFGraphic, "TIFF")
ORVANTA_PENDING_READER(TEPSGraphic, "EPS")
ORVANTA_PENDING_READER(TGIFGraphic, "GIF")

#undef ORVANTA_PENDING_READER
