// Feeds one input to both LZW decoders with buffers of exactly the sizes they are given. The first byte
// chooses the GIF minimum code size, the second the room. Damaged data may only end quietly, or in
// ERangeError where a TIFF stream adds a string to a full table.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "picture_formats/decoder_lzw.h"

namespace {

void DecodeInto(TDecoder& decoder, const std::vector<uint8_t>& packed, size_t room) {
  const auto source = std::make_unique<uint8_t[]>(packed.size());
  std::copy(packed.begin(), packed.end(), source.get());
  const auto target = std::make_unique<uint8_t[]>(room);
  TSourceCursor sourceCursor(std::span<const uint8_t>(source.get(), packed.size()));
  TTargetCursor targetCursor(std::span<uint8_t>(target.get(), room));
  decoder.Decode(sourceCursor, targetCursor, static_cast<int32_t>(packed.size()), static_cast<int32_t>(room));
  if (sourceCursor.Position() != 0 || targetCursor.Position() != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const auto minimumCodeSize = static_cast<uint8_t>(data[0] % 8 + 1);
  const size_t room = (size_t{data[1]} + 1) * 64;
  const std::vector<uint8_t> packed(data + 2, data + size);

  TGIFLZWDecoder gif(minimumCodeSize);
  DecodeInto(gif, packed, room);
  TTIFFLZWDecoder tiff;
  try {
    DecodeInto(tiff, packed, room);
  } catch (const ERangeError&) {
  }
  return 0;
}
