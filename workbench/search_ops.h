#pragma once
// The search operations: whether a picture holds a bright object (more than a minimum number of pixels
// brighter than a level, counted inside margins), framing it with an ellipse or cropping a window
// around it; and the probe of the maximum search, which picture is brightest at one point.

#include <cstdint>

#include "toolkit/graphics/bitmap.h"
#include "workbench/reference_ops.h"

// Rec: Offset = the luminance level a pixel must exceed ((blue + green + red) div 3 > level), Factor =
// the count a picture must exceed, the four margins, and the window size. Mark: frame instead of crop.
// True when the picture holds a bright object. A picture that is not 24-bit or is empty is not found.
using TSearchOp = bool (*)(TBitmap& Picture, TProcessRec& Rec, bool Mark);

// Counts only; the picture is left as it is.
bool CountBrightPixels(TBitmap& Picture, TProcessRec& Rec, bool Mark);
// When found: with Mark, draws a white ellipse (outline) inscribed in the window around the bright
// pixels' centroid; without, the picture becomes that window, copied 1:1 (what lies outside the
// picture is black). The window of WindowWidth x WindowHeight has its top-left corner at
// (cx - WindowWidth div 2, cy - WindowHeight div 2 - 1).
bool SearchBrightObject(TBitmap& Picture, TProcessRec& Rec, bool Mark);
// SearchBrightObject that always marks.
bool MarkBrightObject(TBitmap& Picture, TProcessRec& Rec, bool Mark);

// The bright pixels of a picture: their number and the sums of their columns and rows (64-bit: a
// bright sky of many megapixels overflows 32 bits). Empty when the picture is not 24-bit or empty.
struct TBrightPixels {
  bool Walked = false;
  int64_t Count = 0;
  int64_t SumX = 0;
  int64_t SumY = 0;
};
TBrightPixels FindBrightPixels(TBitmap& Picture, const TProcessRec& Rec);

// The maximum search's probe: the point and the best sum of red, green and blue found there so far.
struct TProbeRec {
  int32_t X = -1;
  int32_t Y = -1;
  int32_t Best = -2147483647;
};

// Of the TImageOp shape (Param: the address of a TProbeRec; Result is not used): true, with Best
// raised, when the picture's sum at the point is greater than Best. A point outside the picture never
// counts.
bool BrighterAtProbe(TBitmap& Picture, TBitmap& Result, intptr_t Param);
