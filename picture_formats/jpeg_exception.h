#pragma once
// The JPEG picture class's exceptions and messages.

#include <string>

#include "toolkit/core/exceptions.h"

inline constexpr const char* SJPEGError = "JPEG error #%d";
inline constexpr const char* SJPEGErrorText = "JPEG error #%d: %s";
inline constexpr const char* SJPEGImageCanNotChangeSize = "Cannot change the size of a JPEG image";

// A fatal libjpeg error: "JPEG error #53: Not a JPEG file: starts with 0x89 0x50", the library's message
// code and its own text of it.
class EJPEG : public EInvalidGraphic {
 public:
  // With the library's text of the code, any parameters it has taken as zero.
  explicit EJPEG(int messageCode);
  // With the text the library made of the code and its parameters (none: the code alone).
  EJPEG(int messageCode, const std::string& text);
  int MessageCode() const { return FMessageCode; }

 private:
  int FMessageCode;
};

// Raises EInvalidGraphicOperation "Cannot change the size of a JPEG image".
[[noreturn]] void JPEGInvalidOperation();
