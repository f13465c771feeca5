#include "toolkit/graphics/metafile_budget.h"

#include <algorithm>
#include <string>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"
#include "toolkit/graphics/graphics_messages.h"
#include "toolkit/graphics/metafile_numbers.h"

namespace {

// Decoded bitmaps. The densest coding a DIB's pixels may have, a run-length run of 255 pixels in two
// bytes, gives 128 pixels for a byte of the file: a file whose bitmaps are coded so, or less densely,
// stays within this budget. Sparse run-length data (end-of-line, delta and end-of-bitmap codes) give
// any number of pixels for a few bytes; beyond that share they get 2^24 pixels in all, as much as one
// 4096 x 4096 bitmap (the largest sparse bitmap the BMP reader takes): 64 MB and about a tenth of a
// second of decoding.
constexpr uint64_t kBitmapPixelsPerByte = 128;
constexpr uint64_t kBitmapPixelsBeyond = uint64_t{1} << 24;

// Pattern brushes, kept as 32-bit pixels while the drawing lasts. 1-bit pixels, the densest
// uncompressed coding, put 8 pixels in a byte: kept, that is 32 bytes of memory for a byte of the file.
// Run-length patterns get 2^22 pixels (16 MB) beyond that share.
constexpr uint64_t kBrushPixelsPerByte = 8;
constexpr uint64_t kBrushPixelsBeyond = uint64_t{1} << 22;

// Clipping. Combining two regions costs a step for each of their rectangles, and so does each shape
// drawn through one; working out a clipping path costs a step for each point of it and each row of
// pixels an edge crosses. A step takes some ten nanoseconds: 2^25 steps, about a third of a second,
// for any file, and 16 more for each byte (a clipping record of 24 bytes gets 384), keep a file of
// a few megabytes within a second.
constexpr uint64_t kClipStepsPerByte = 16;
constexpr uint64_t kClipStepsBeyond = uint64_t{1} << 25;

// Painting, in pixels of a solid fill (0.16 to 0.44 ns each, measured; see metafile_paint_cost.cpp for
// what else counts, in the same pixels). 2^30 of them, a fifth to half a second, for any file: four
// fills of the largest picture, 16384 x 16384, or a background under a thousand shapes each a sixteenth
// of a 4096 x 4096 picture. And 4096 more for each byte: a shape's record of 14 to 40 bytes gets 57,000
// to 164,000, as much as filling a square of 240 to 400 pixels, so that a drawing of many records of
// that size still loads, and a file of a megabyte stays within about two seconds.
constexpr uint64_t kDrawingPixelsPerByte = 4096;
constexpr uint64_t kDrawingPixelsBeyond = uint64_t{1} << 30;

[[noreturn]] void Refuse(const char* what, uint64_t budget, uint64_t fileSize) {
  throw EInvalidGraphic(std::string(SInvalidMetafile) + " : " + Format(what, {budget, fileSize}));
}

// Adds cost to spent; refuses the drawing when the total passes budget.
void Spend(uint64_t& spent, uint64_t cost, uint64_t budget, const char* what, uint64_t fileSize) {
  spent += std::min(cost, budget + 1);
  if (spent > budget) Refuse(what, budget, fileSize);
}

}  // namespace

TMetafileBudget::TMetafileBudget(size_t fileSize) : FFileSize(fileSize) {}

void TMetafileBudget::SpendBitmapPixels(uint64_t pixels) {
  Spend(FBitmapPixels, pixels, kBitmapPixelsBeyond + kBitmapPixelsPerByte * FFileSize, SMetafileBitmapBudget,
        FFileSize);
}

void TMetafileBudget::SpendBrushPixels(uint64_t pixels) {
  Spend(FBrushPixels, pixels, kBrushPixelsBeyond + kBrushPixelsPerByte * FFileSize, SMetafileBrushBudget,
        FFileSize);
}

void TMetafileBudget::SpendClipWork(uint64_t steps) {
  Spend(FClipWork, steps, kClipStepsBeyond + kClipStepsPerByte * FFileSize, SMetafileClipBudget, FFileSize);
}

void TMetafileBudget::SpendDrawing(double solidFillPixels) {
  const uint64_t budget = kDrawingPixelsBeyond + kDrawingPixelsPerByte * FFileSize;
  Spend(FDrawing, CountWithin(solidFillPixels, budget + 1), budget, SMetafileDrawingBudget, FFileSize);
}

void RefuseTooLarge(int width, int height) {
  throw EInvalidGraphic(std::string(SInvalidMetafile) + " : " +
                        Format(SMetafilePictureTooLarge, {width, height}));
}
