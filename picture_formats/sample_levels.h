#pragma once
// Samples of depths the colour manager's converters do not take (TIFF allows any from 1 to 16 bits),
// spread to 8-bit levels so that they convert as 8-bit samples.

#include <cstdint>
#include <span>
#include <vector>

class TSampleLevels {
 public:
  // Bits of one stored sample, 1 to 16; anything else raises ERangeError.
  explicit TSampleLevels(unsigned bits);

  // Bytes that `count` samples take when packed.
  size_t PackedBytes(size_t count) const { return (count * FBits + 7) / 8; }
  // Reads levels.size() samples packed one after another from the highest bit of the first byte on
  // (rows of samples that do not fill whole bytes stay continuous) and writes each as the 8-bit level
  // v x 255 div (2^bits - 1), truncated as the colour manager narrows 16-bit samples (and as
  // ImageMagick reads such files). `packed` must hold PackedBytes(levels.size()) bytes; less raises
  // ERangeError.
  void Spread(std::span<const uint8_t> packed, std::span<uint8_t> levels) const;

 private:
  unsigned FBits;
  std::vector<uint8_t> FLevel;  // the level of every stored value
};
