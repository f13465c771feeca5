#pragma once
// The one-dimensional run-length codes of ITU-T T.4 (modified Huffman): for each colour the 64
// terminating codes (runs 0..63) and the 27 make-up codes (runs 64..1728 in steps of 64), and the 13
// extended make-up codes (runs 1792..2560) that both colours share.

#include <array>
#include <cstddef>
#include <cstdint>

struct TFaxCode {
  uint16_t Bits;   // the code, right-aligned, first bit highest
  uint8_t Length;  // bits in the code
};

inline constexpr size_t kFaxTerminatingCodes = 64;
inline constexpr size_t kFaxMakeUpCodes = 27;
inline constexpr size_t kFaxExtendedMakeUpCodes = 13;

// Terminating codes in run order, then make-up codes for runs (i - 63) x 64, i = 64..90.
extern const std::array<TFaxCode, kFaxTerminatingCodes + kFaxMakeUpCodes> WhiteRunCodes;
extern const std::array<TFaxCode, kFaxTerminatingCodes + kFaxMakeUpCodes> BlackRunCodes;
// Make-up codes for runs 1792 + 64 i, i = 0..12.
extern const std::array<TFaxCode, kFaxExtendedMakeUpCodes> ExtendedMakeUpCodes;

// The run of entry i of a colour's table.
constexpr uint32_t FaxCodeRun(size_t i) {
  return i < kFaxTerminatingCodes ? static_cast<uint32_t>(i) : static_cast<uint32_t>(i - 63) * 64;
}
constexpr uint32_t ExtendedMakeUpRun(size_t i) {
  return 1792 + static_cast<uint32_t>(i) * 64;
}
