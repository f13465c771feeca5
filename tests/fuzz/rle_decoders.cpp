// Feeds one input to every run-length decoder, each with buffers of exactly the size it is given, row
// after row where the decoder carries its source from row to row. Damaged data may only ever end in
// EGraphicCompression. Packing with the Targa encoder and unpacking again must give the input back.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "picture_formats/decoders_rle.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Decodes rows of `rowSize` bytes (`unpacked` as the decoder counts them) from one source until the
// data run out or `rows` rows are done.
void DecodeRows(TDecoder& decoder, const Bytes& packed, size_t rowSize, int32_t unpacked, int rows) {
  TSourceCursor source(std::span<const uint8_t>(packed.data(), packed.size()));
  for (int row = 0; row < rows; ++row) {
    const auto target = std::make_unique<uint8_t[]>(rowSize);
    TTargetCursor cursor(std::span<uint8_t>(target.get(), rowSize));
    try {
      decoder.Decode(source, cursor, static_cast<int32_t>(source.Remaining()), unpacked);
    } catch (const EGraphicCompression&) {
      return;
    }
    if (cursor.Position() != 0) std::abort();  // no run-length decoder moves its target
  }
}

void EncodeAndDecode(uint32_t depth, size_t pixelSize, const Bytes& pixels) {
  const auto count = static_cast<uint32_t>(pixels.size() / pixelSize);
  const size_t size = count * pixelSize;
  Bytes packed(2 * size + 1);
  uint32_t stored = 0;
  TTargaRLEDecoder codec(depth);
  codec.Encode(TSourceCursor(std::span<const uint8_t>(pixels.data(), size)),
               TTargetCursor(std::span<uint8_t>(packed.data(), packed.size())), count, stored);
  packed.resize(stored);
  Bytes unpacked(size);
  TSourceCursor source(std::span<const uint8_t>(packed.data(), packed.size()));
  TTargetCursor target(std::span<uint8_t>(unpacked.data(), unpacked.size()));
  codec.Decode(source, target, 0, static_cast<int32_t>(count));
  if (unpacked != Bytes(pixels.begin(), pixels.begin() + static_cast<std::ptrdiff_t>(size)) ||
      source.Position() != packed.size())
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The first byte chooses the row size; the rest is the packed data.
  const size_t rowSize = data[0] % 64 + 1;
  const Bytes packed(data + 1, data + size);
  const auto rowBytes = static_cast<int32_t>(rowSize);

  for (uint32_t depth : {8u, 15u, 16u, 24u, 32u}) {
    const size_t pixelSize = (depth + 1) / 8;
    TTargaRLEDecoder targa(depth);
    DecodeRows(targa, packed, rowSize * pixelSize, rowBytes, 4);
    EncodeAndDecode(depth, pixelSize, packed);
  }
  TPackbitsRLEDecoder packbits;
  DecodeRows(packbits, packed, rowSize, rowBytes, 1);
  TPCXRLEDecoder pcx;
  DecodeRows(pcx, packed, rowSize, rowBytes, 1);
  TSGIRLEDecoder sgi8(8);
  DecodeRows(sgi8, packed, rowSize, rowBytes, 1);
  TSGIRLEDecoder sgi16(16);
  DecodeRows(sgi16, packed, 2 * rowSize, rowBytes, 1);
  TCUTRLEDecoder cut;
  DecodeRows(cut, packed, rowSize, rowBytes, 4);
  TPSPRLEDecoder psp;
  DecodeRows(psp, packed, rowSize, 0, 1);
  TRLADecoder rla;
  DecodeRows(rla, packed, rowSize, 0, 1);
  return 0;
}
