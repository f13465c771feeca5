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

ORVANTA_PENDING_READER(TPCXGraphic, "PCX")
ORVANTA_PENDING_READER(TRLAGraphic, "RLA")
ORVANTA_PENDING_READER(TSGIGraphic, "SGI")
ORVANTA_PENDING_READER(TPSDGraphic, "PSD")
ORVANTA_PENDING_READER(TPPMGraphic, "PPM")
ORVANTA_PENDING_READER(TAutodeskGraphic, "Autodesk")
ORVANTA_PENDING_READER(TPCDGraphic, "PCD")
ORVANTA_PENDING_READER(TCUTGraphic, "CUT")
ORVANTA_PENDING_READER(TPSPGraphic, "PSP")

#undef ORVANTA_PENDING_READER
