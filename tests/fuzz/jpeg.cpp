// Loads one input as a JPEG file through the JPEG picture class and decodes it with options taken from
// its last byte (output format, grey, fast mode, progressive display, scale), whatever size its header
// claims: the reader refuses a header its bytes cannot code, and the run's memory and time limits catch
// a file that costs more than its size justifies. A damaged file may only ever end in one of the
// program's exceptions, with no bitmap left behind; a picture that decodes has the size its header
// promised, and compresses into a file that loads back at that size. The same input also goes the
// workbench's two roads: decoded whole into a working bitmap, and band by band. They must decide alike: a
// file decoded band by band must decode whole, to the same rows, without its data ending early; one the
// band road refuses (before its first band, or after some were handed over) must not decode whole either.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "picture_formats/jpeg_image.h"
#include "toolkit/core/streams.h"

namespace {

void SetOptions(TJPEGImage& picture, uint8_t choice) {
  picture.OutputFormat = choice & 1 ? jf8Bit : jf24Bit;
  picture.Grayscale = (choice & 2) != 0;
  picture.FastMode = (choice & 4) != 0;
  picture.ProgressiveDisplay = (choice & 8) != 0;
  picture.ScaleShift = static_cast<uint8_t>((choice >> 4) & 3);
}

// Keeps the bands, checking that they come in order, each row once.
class TBandCopy : public TJPEGBandSink {
 public:
  bool Start(int width, int height, bool) override {
    Width = width;
    Height = height;
    return true;
  }
  void Band(int first, int count, const uint8_t* rows, size_t step) override {
    if (first != Next || count <= 0 || first + count > Height) std::abort();
    for (int k = 0; k < count; ++k)
      Rows.insert(Rows.end(), rows + step * size_t(k), rows + step * size_t(k) + step);
    Next += count;
  }
  int Width = 0, Height = 0, Next = 0;
  std::vector<uint8_t> Rows;
};

void CheckTheWorkbenchRoads(const uint8_t* data, size_t size) {
  TMemoryStream file;
  file.WriteBuffer(data, static_cast<int64_t>(size));
  file.SetPosition(0);
  TBandCopy bands;
  bool banded = false, refused = false;
  try {
    banded = TJPEGImage().DecodeBands(file, bands) == TJPEGBandResult::jbDecoded;
  } catch (const Exception&) {
    refused = true;
  }
  file.SetPosition(0);
  TBitmap working;
  TJPEGImage whole;
  try {
    whole.DecodeToWorkingBitmap(file, working);
  } catch (const Exception&) {
    if (banded) std::abort();
    return;
  }
  if (refused && !whole.DataEndedEarly()) std::abort();
  if (!banded) return;
  if (whole.DataEndedEarly() || bands.Next != bands.Height || working.Width() != bands.Width ||
      working.Height() != bands.Height)
    std::abort();
  const size_t rowBytes = size_t(bands.Width) * 3;
  for (int y = 0; y < bands.Height; ++y)
    if (std::memcmp(working.ScanLine(y), bands.Rows.data() + rowBytes * size_t(y), rowBytes) != 0)
      std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  TJPEGImage picture;
  try {
    picture.LoadFromStream(stream);
  } catch (const Exception&) {
    return 0;
  }
  CheckTheWorkbenchRoads(data, size);
  SetOptions(picture, size > 0 ? data[size - 1] : 0);
  const int scaledWidth = picture.Width(), scaledHeight = picture.Height();
  try {
    const TBitmap& bitmap = picture.GetBitmap();
    if (bitmap.Width() != scaledWidth || bitmap.Height() != scaledHeight) std::abort();
  } catch (const Exception&) {
    if (picture.HasBitmap()) std::abort();
    return 0;
  }

  picture.Compress();
  TMemoryStream saved;
  picture.SaveToStream(saved);
  saved.SetPosition(0);
  TJPEGImage again;
  again.LoadFromStream(saved);
  if (again.Width() != scaledWidth || again.Height() != scaledHeight) std::abort();
  return 0;
}
