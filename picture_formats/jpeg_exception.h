#pragma once
// The JPEG picture class's exceptions and messages.

#include "toolkit/core/exceptions.h"

inline constexpr const char* SJPEGError = "JPEG error #%d";
inline constexpr const char* SJPEGImageCanNotChangeSize = "Cannot change the size of a JPEG image";

// A fatal libjpeg error; the message carries the library's message code.
class EJPEG : public EInvalidGraphic {
 public:
  explicit EJPEG(int messageCode);
  int MessageCode() const { return FMessageCode; }

 private:
  int FMessageCode;
};

// Raises EInvalidGraphicOperation "Cannot change the size of a JPEG image".
[[noreturn]] void JPEGInvalidOperation();
