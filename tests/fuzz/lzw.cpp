// Feeds one input to both LZW decoders with buffers of exactly the sizes they are given. The first byte
// chooses the GIF minimum code size, the second the room. Damaged data may only end quietly, or in
// EGraphicCompression where a TIFF stream adds a string to a full table. Neither decoder may claim more
// bytes than its room.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "picture_formats/decoder_lzw.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const auto minimumCodeSize = static_cast<uint8_t>(data[0] % 8 + 1);
  const size_t room = (size_t{data[1]} + 1) * 64;
  const std::vector<uint8_t> packed(data + 2, data + size);

  TGIFLZWDecoder gif(minimumCodeSize);
  DecodeInto(gif, packed, room);
  if (gif.LastUnpackedBytes() > room) std::abort();
  TTIFFLZWDecoder tiff;
  try {
    DecodeInto(tiff, packed, room);
    if (tiff.LastUnpackedBytes() > room) std::abort();
  } catch (const EGraphicCompression&) {
  }
  return 0;
}
