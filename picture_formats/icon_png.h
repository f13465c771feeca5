#pragma once
// The PNG images inside Windows icons. The toolkit's icon reader cannot depend on this library, so the
// library hands it this decoder at its start-up and takes it back at shut-down.

#include <cstdint>
#include <span>

#include "toolkit/graphics/bitmap.h"

// Decodes a PNG file image with the library's PNG reader into the target as pf32bit pixels whose
// fourth byte is the opacity (the PNG's own alpha, or 255 for pictures without one).
void DecodeIconPng(std::span<const uint8_t> png, TBitmap& target);
