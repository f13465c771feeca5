#pragma once
// Integer helpers of the platform.

#include <cstdint>

// a * b / c with a 64-bit product, rounded to the nearest integer (halves away from zero). -1 when c is 0
// or when the result does not fit in 32 bits.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// Rounds to the nearest integer, halves to the even neighbour (Round(2.5) = 2, Round(3.5) = 4). Raises
// EInvalidOp for NaN, infinities and values outside the 64-bit range.
int64_t Round(double value);
