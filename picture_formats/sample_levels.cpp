#include "picture_formats/sample_levels.h"

#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"

TSampleLevels::TSampleLevels(unsigned bits) : FBits(bits) {
  if (bits < 1 || bits > 16) throw ERangeError(SRangeError);
  const uint32_t maximum = (1u << bits) - 1;
  FLevel.resize(maximum + 1);
  for (uint32_t value = 0; value <= maximum; ++value)
    FLevel[value] = static_cast<uint8_t>(value * 255 / maximum);
}

void TSampleLevels::Spread(std::span<const uint8_t> packed, std::span<uint8_t> levels) const {
  if (packed.size() < PackedBytes(levels.size())) throw ERangeError(SRangeError);
  const uint8_t* next = packed.data();
  const uint32_t mask = (1u << FBits) - 1;
  // Pending bits sit at the bottom of the buffer, the oldest highest; never more than 7 + 16 of them.
  uint32_t buffer = 0;
  unsigned pending = 0;
  for (uint8_t& level : levels) {
    while (pending < FBits) {
      buffer = (buffer << 8) | *next++;
      pending += 8;
    }
    pending -= FBits;
    level = FLevel[(buffer >> pending) & mask];
  }
}
