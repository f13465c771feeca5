#pragma once
// The shape of every operation a list run puts pictures through: the picture just loaded (24-bit), the
// result buffer it merges into, and one parameter (0 for the stacking operations, the address of the
// operation's own record for the others). True means the result was updated; false that the picture
// could not be merged (wrong size or format) and the result was left as it was.

#include <cstdint>

#include "toolkit/graphics/bitmap.h"

using TImageOp = bool (*)(TBitmap& Picture, TBitmap& Result, intptr_t Param);
