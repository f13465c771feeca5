#pragma once
// Helpers of the metafile tests: samples, loading from bytes, drawing at the picture's own size.

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/metafile_floods.h"
#include "tests/support/test_files.h"
#include "tests/toolkit/graphics/graphics_helpers.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"
#include "toolkit/graphics/metafile.h"

namespace metafile_tests {

using Bytes = std::vector<uint8_t>;

inline Bytes Sample(const std::string& name) {
  return ReadWholeFile(TestData("metafile/" + name));
}

using metafile_bytes::Drawn;
using metafile_bytes::LoadMetafile;

// The message of the EInvalidGraphic that loading raises ("" when it loads).
inline std::string LoadError(const Bytes& bytes) {
  try {
    LoadMetafile(bytes);
  } catch (const EInvalidGraphic& e) {
    return e.Message();
  }
  return "";
}

// The detail of the refusal after "Le métafichier n'est pas valide : ", "" when the file loads and draws
// (into a bitmap of the format).
inline std::string Refusal(const Bytes& file, TPixelFormat format = pf24bit) {
  try {
    Drawn(*LoadMetafile(file), format);
  } catch (const EInvalidGraphic& e) {
    const std::string prefix = std::string(SInvalidMetafile) + " : ";
    return e.Message().starts_with(prefix) ? e.Message().substr(prefix.size()) : e.Message();
  }
  return "";
}

// The start of a message, up to its first number.
inline std::string Kind(const char* message) {
  const std::string text = message;
  return text.substr(0, text.find('%'));
}

// How far a bitmap lies from a reference over the reference's area (the bitmap may be larger): the
// pixels whose red, green or blue value is off by more than far, and the mean over the pixels of
// their largest difference.
struct TOffReference {
  int Far = 0;
  double Mean = 0;
};

inline TOffReference OffReference(TBitmap& bitmap, const QImage& reference, int far) {
  TOffReference off;
  for (int y = 0; y < reference.height(); ++y)
    for (int x = 0; x < reference.width(); ++x) {
      const TColor got = bitmap.Canvas().Pixel(x, y);
      const QRgb want = reference.pixel(x, y);
      const int d = std::max({std::abs(GetRValue(got) - qRed(want)), std::abs(GetGValue(got) - qGreen(want)),
                              std::abs(GetBValue(got) - qBlue(want))});
      off.Far += d > far;
      off.Mean += d;
    }
  off.Mean /= std::max(1, reference.width() * reference.height());
  return off;
}

}  // namespace metafile_tests
