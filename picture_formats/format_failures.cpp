#include "picture_formats/format_failures.h"

#include <new>
#include <stdexcept>

#include "picture_formats/color_types.h"
#include "picture_formats/decoder.h"
#include "picture_formats/format_messages.h"
#include "toolkit/core/format.h"

namespace {

// A detail in the library's English, after the sentence that names the format.
std::string WithDetail(const std::string& message, const std::string& detail) {
  return detail.empty() ? message : message + " " + PrintableText(detail);
}

}  // namespace

std::string PrintableText(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string printable;
  printable.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      printable += c;
    } else {
      printable += "\\x";
      printable += kHex[byte >> 4];
      printable += kHex[byte & 0x0F];
    }
  }
  return printable;
}

std::string FailureMessage(const std::exception& error, const std::string& formatName) {
  const std::string name = PrintableText(formatName);
  if (dynamic_cast<const EFormatError*>(&error)) return PrintableText(error.what());
  // A read that came short: the file ends early.
  if (dynamic_cast<const EReadError*>(&error)) return Format(gesStreamReadError, {name});
  // The decoders' and the colour manager's texts are the library's English, but name no format.
  if (dynamic_cast<const EGraphicCompression*>(&error))
    return WithDetail(Format(gesCompression, {name}), error.what());
  if (dynamic_cast<const EColorConversionError*>(&error))
    return WithDetail(Format(gesInvalidColorFormat, {name}), error.what());
  if (dynamic_cast<const EOutOfResources*>(&error) || dynamic_cast<const std::bad_alloc*>(&error) ||
      dynamic_cast<const std::length_error*>(&error))
    return Format(gesPictureTooLarge, {name});
  // The rest (checked arithmetic, conversions, the toolkit's own picture errors) means a header field
  // or a value the reader could not take.
  return Format(gesInvalidImage, {name});
}
