// Feeds one input to the CCITT fax decoders (group 3 and modified Huffman, byte- and word-aligned,
// either bit order) and the ThunderScan decoder, with buffers of exactly the sizes they are given. The
// first two bytes choose the width (1..1024 pixels) and the number of rows (1..16). Damaged data may
// only end quietly, having filled whole rows or fewer.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "picture_formats/decoder_ccitt.h"
#include "picture_formats/decoder_thunder.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint32_t width = (uint32_t{data[0]} << 2 | (data[1] >> 6)) + 1;
  const size_t rows = (data[1] & 0x0F) + 1;
  const bool swapBits = (data[1] & 0x10) != 0;
  const std::vector<uint8_t> packed(data + 2, data + size);

  // What each decoder says its data filled is whole rows of its room.
  const auto decode = [&](TDecoder& decoder, size_t rowBytes) {
    DecodeInto(decoder, packed, rowBytes * rows);
    if (decoder.LastUnpackedBytes() > rowBytes * rows || decoder.LastUnpackedBytes() % rowBytes != 0)
      std::abort();
  };
  const size_t faxRow = (size_t{width} + 7) / 8;
  TCCITTFax3Decoder fax3(0, swapBits, false, width);
  decode(fax3, faxRow);
  TCCITTMHDecoder huffman(0, swapBits, false, width);
  decode(huffman, faxRow);
  TCCITTMHDecoder wordAligned(0, swapBits, true, width);
  decode(wordAligned, faxRow);
  TThunderDecoder thunder(width);
  decode(thunder, (size_t{width} + 1) / 2);
  return 0;
}
