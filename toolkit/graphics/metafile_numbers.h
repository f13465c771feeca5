#pragma once
// Inside the drawing layer: whole numbers made from the doubles a metafile's drawing works with. A
// record's numbers, scaled by its mapping, can lie anywhere a double reaches (or be no number at all),
// and a double beyond the range of the integer it is turned into is undefined behaviour: every such
// conversion on the metafile road goes through these, which look at the value first.

#include <algorithm>
#include <cmath>
#include <cstdint>

// v rounded to the nearest whole number and held to low..high; fallback when v is no number.
inline int RoundedWithin(double v, int low, int high, int fallback) {
  if (std::isnan(v)) return fallback;
  return static_cast<int>(std::lround(std::clamp(v, static_cast<double>(low), static_cast<double>(high))));
}

// The smallest whole number not below v, held to low..high; fallback when v is no number.
inline int CeilWithin(double v, int low, int high, int fallback) {
  if (std::isnan(v)) return fallback;
  return static_cast<int>(std::ceil(std::clamp(v, static_cast<double>(low), static_cast<double>(high))));
}

// A count of pixels or steps worked out in doubles: limit when it is no number or passes limit, 0 when
// it is negative. Work that cannot be told counts as too much.
inline uint64_t CountWithin(double v, uint64_t limit) {
  if (std::isnan(v) || v >= static_cast<double>(limit)) return limit;
  return v <= 0 ? 0 : std::min(static_cast<uint64_t>(v), limit);
}
