#pragma once
// Camera-like night pictures for the benchmarks: a dark sky brightening towards the horizon, a darker
// ground, sensor noise (mostly in luminance) and a few hundred stars of one to three pixels, saved as
// JPEG the way the program saves them.

#include <cstdint>
#include <string>

#include "toolkit/graphics/bitmap.h"

// xorshift32: fast, reproducible noise.
struct TNoise {
  uint32_t State;
  uint32_t Next() {
    State ^= State << 13;
    State ^= State >> 17;
    State ^= State << 5;
    return State;
  }
};

// One night shot of its own: the stars fall where the seed puts them.
void PaintNightSky(TBitmap& bitmap, int width, int height, uint32_t seed);

// Exposure number frame of one night: the same stars in every frame, a little further along in each
// (so the maximum draws trails), and noise of the frame's own.
void PaintExposure(TBitmap& bitmap, int width, int height, int frame);

// Saved through the program's JPEG class at its defaults (quality 90, 4:2:0).
void SaveAsJpeg(const TBitmap& bitmap, const std::string& fileName);
