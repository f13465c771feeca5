#include "toolkit/core/numbers.h"

#include <cmath>
#include <limits>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  const int64_t product = static_cast<int64_t>(a) * b;
  const bool negative = (product < 0) != (c < 0);
  // |product| <= 2^62 and |c| <= 2^31, so the doubled values fit in 64 unsigned bits.
  const uint64_t magnitude =
      product < 0 ? 0 - static_cast<uint64_t>(product) : static_cast<uint64_t>(product);
  const uint64_t divisor =
      c < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(c)) : static_cast<uint64_t>(c);
  const uint64_t quotient = (2 * magnitude + divisor) / (2 * divisor);
  const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
  if (quotient > limit) return -1;
  return negative ? static_cast<int32_t>(0 - quotient) : static_cast<int32_t>(quotient);
}

int64_t Round(double value) {
  // 2^63 is exactly representable; every double below it converts without overflow.
  constexpr double kLimit = 9223372036854775808.0;
  // Worked out by hand so that the floating-point rounding mode does not matter.
  double rounded = std::floor(value);
  const double fraction = value - rounded;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0)) rounded += 1;
  if (!(rounded >= -kLimit && rounded < kLimit)) throw EInvalidOp(SInvalidOp);
  return static_cast<int64_t>(rounded);
}
