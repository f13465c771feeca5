#pragma once
// Checked integer arithmetic: an overflow raises EIntOverflow and a value that does not fit its target
// raises ERangeError; nothing wraps.

#include <concepts>
#include <limits>
#include <utility>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"

template <std::integral T>
T CheckedAdd(T a, T b) {
  T r;
  if (__builtin_add_overflow(a, b, &r)) throw EIntOverflow(SIntOverflow);
  return r;
}

template <std::integral T>
T CheckedSub(T a, T b) {
  T r;
  if (__builtin_sub_overflow(a, b, &r)) throw EIntOverflow(SIntOverflow);
  return r;
}

template <std::integral T>
T CheckedMul(T a, T b) {
  T r;
  if (__builtin_mul_overflow(a, b, &r)) throw EIntOverflow(SIntOverflow);
  return r;
}

// Stores a value into a narrower (or differently signed) integer type, raising ERangeError when it
// does not fit.
template <std::integral To, std::integral From>
To RangeChecked(From value) {
  if (!std::in_range<To>(value)) throw ERangeError(SRangeError);
  return static_cast<To>(value);
}

// Checked conversion into 0..255.
template <std::integral From>
unsigned char CheckedByte(From value) {
  return RangeChecked<unsigned char>(value);
}
