// Inflates one input through the deflate decoder in the ways its users call it: whole streams per
// call (TIFF strips, Paint Shop Pro channels) and one stream fed in chunks, row by row (PNG). Damaged
// data may only ever end in EGraphicCompression or in a Status that stops the stream.

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "picture_formats/decoder_lz77.h"

namespace {

using Bytes = std::vector<uint8_t>;

void WholeStream(int flush, bool autoReset, const Bytes& packed, size_t room) {
  TLZ77Decoder decoder(flush, autoReset);
  decoder.DecodeInit();
  const auto target = std::make_unique<uint8_t[]>(room);
  TSourceCursor source(std::span<const uint8_t>(packed.data(), packed.size()));
  TTargetCursor cursor(std::span<uint8_t>(target.get(), room));
  try {
    decoder.Decode(source, cursor, static_cast<int32_t>(packed.size()), static_cast<int32_t>(room));
  } catch (const EGraphicCompression&) {
  }
  decoder.DecodeEnd();
}

void InChunks(const Bytes& packed, size_t chunk, size_t rowSize) {
  TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
  decoder.DecodeInit();
  TSourceCursor source(std::span<const uint8_t>(packed.data(), packed.size()));
  size_t chunkEnd = 0;
  try {
    for (int row = 0; row < 64 && decoder.Status() == Z_OK; ++row) {
      const auto target = std::make_unique<uint8_t[]>(rowSize);
      TTargetCursor cursor(std::span<uint8_t>(target.get(), rowSize));
      while (cursor.Remaining() > 0 && decoder.Status() == Z_OK) {
        if (source.Position() == chunkEnd) {
          if (chunkEnd == packed.size()) break;
          chunkEnd = std::min(chunkEnd + chunk, packed.size());
        }
        decoder.Decode(source, cursor, static_cast<int32_t>(chunkEnd - source.Position()),
                       static_cast<int32_t>(cursor.Remaining()));
      }
    }
  } catch (const EGraphicCompression&) {
  }
  decoder.DecodeEnd();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first two bytes choose the room and the chunk size; the rest is the zlib stream.
  const size_t room = size_t{data[0]} * 16 + 1;
  const size_t chunk = data[1] % 32 + 1;
  const Bytes packed(data + 2, data + size);
  WholeStream(Z_PARTIAL_FLUSH, true, packed, room);
  WholeStream(Z_FINISH, false, packed, room);
  InChunks(packed, chunk, room % 97 + 1);
  return 0;
}
