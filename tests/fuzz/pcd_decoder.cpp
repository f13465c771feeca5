// Feeds one input to the Photo-CD Huffman decoder as its stream: the first byte chooses the level's
// width (even: 1536, one table; odd: 3072, three tables), the second its height (1 to 16 rows); the
// planes are exactly their size, so a correction written past them is caught. Damaged data may only
// end in the stream's read error or the silent abort of an unknown plane.

#include <cstdlib>
#include <memory>

#include "picture_formats/decoder_pcd.h"
#include "toolkit/core/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int32_t width = data[0] % 2 ? 3072 : 1536;
  const int32_t height = data[1] % 16 + 1;
  const size_t planeSize = size_t(width) * size_t(height);
  const auto luma = std::make_unique<uint8_t[]>(planeSize);
  const auto chroma1 = std::make_unique<uint8_t[]>(planeSize);
  const auto chroma2 = std::make_unique<uint8_t[]>(planeSize);
  TMemoryStream stream;
  stream.WriteBuffer(data + 2, int64_t(size - 2));
  stream.SetPosition(0);
  TPCDDecoder decoder(stream);
  decoder.SetPlanes({{luma.get(), planeSize}, {chroma1.get(), planeSize}, {chroma2.get(), planeSize}});
  TSourceCursor source;
  TTargetCursor target;
  try {
    decoder.Decode(source, target, width, height);
  } catch (const EReadError&) {
  } catch (const EAbort&) {
  }
  return 0;
}
