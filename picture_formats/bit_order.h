#pragma once
// Bytes whose pixels stand lowest bit first (TIFF fill order 2) put in the usual order, highest bit first.

#include <array>
#include <cstdint>
#include <span>

// Every byte value with its eight bits in reverse order.
inline constexpr std::array<uint8_t, 256> kReversedBits = [] {
  std::array<uint8_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned reversed = 0;
    for (unsigned bit = 0; bit < 8; ++bit)
      if (i & (1u << bit)) reversed |= 0x80u >> bit;
    table[i] = static_cast<uint8_t>(reversed);
  }
  return table;
}();

inline void ReverseBitOrder(std::span<uint8_t> bytes) {
  for (uint8_t& byte : bytes) byte = kReversedBits[byte];
}
