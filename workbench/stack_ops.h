#pragma once
// The stacking operations: each merges one more picture into the result, pixel by pixel, per colour
// channel (maximum, maximum above a threshold, minimum, difference, sum) or per whole pixel by
// luminance (brighter or darker pixel kept).
//
// The pixel drivers are templates over the byte operation or the predicate so that it inlines into one
// pass over the rows; the per-channel driver works on whole rows of bytes, which the compiler turns
// into vector code.

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "toolkit/graphics/bitmap.h"
#include "workbench/image_op.h"
#include "workbench/working_bitmap.h"

// The threshold of StackMaxThreshold; 0 at start, set by the threshold prompt, kept for the run of the
// program. Any int32 is allowed: below 1 the operation is the plain maximum, above 255 the picture
// always wins.
extern int32_t StackThreshold;

// ---- Byte operations: the new accumulator byte from the accumulator's and the picture's byte.
using TStackByteOp = uint8_t (*)(uint8_t Acc, uint8_t Pic);

constexpr uint8_t MaxByte(uint8_t Acc, uint8_t Pic) {
  return Acc >= Pic ? Acc : Pic;
}
// Below the threshold the picture's byte wins even when it is darker.
constexpr uint8_t MaxThresholdByteAt(uint8_t Acc, uint8_t Pic, int32_t Threshold) {
  return static_cast<int32_t>(Acc) < Threshold ? Pic : MaxByte(Acc, Pic);
}
inline uint8_t MaxThresholdByte(uint8_t Acc, uint8_t Pic) {
  return MaxThresholdByteAt(Acc, Pic, StackThreshold);
}
constexpr uint8_t MinByte(uint8_t Acc, uint8_t Pic) {
  return Acc <= Pic ? Acc : Pic;
}
constexpr uint8_t DiffByte(uint8_t Acc, uint8_t Pic) {
  return Acc > Pic ? static_cast<uint8_t>(Acc - Pic) : 0;
}
constexpr uint8_t SumByte(uint8_t Acc, uint8_t Pic) {
  const int sum = Acc + Pic;
  return sum < 255 ? static_cast<uint8_t>(sum) : 255;
}

// ---- Luminance predicates: true when the picture's pixel replaces the accumulator's.
using TLumCompare = bool (*)(int LumAcc, int LumPic);

constexpr bool LumLess(int LumAcc, int LumPic) {
  return LumAcc < LumPic;
}
constexpr bool LumGreater(int LumAcc, int LumPic) {
  return LumAcc > LumPic;
}

namespace stack_detail {

// The checks both drivers make before touching a pixel; on success the picture is 24-bit (converted
// in place when it was not).
bool PrepareMerge(TBitmap& Picture, TBitmap& Acc);

// The first rows and steps of the two bitmaps' walk, by the row-walking rule; when both lie bottom-up
// the walk starts at the bottom row, so that memory streams forward (every row is merged with its
// own, so the order of the rows does not matter), which costs markedly less than walking backwards.
struct TRowPair {
  uint8_t* AccRow;
  const uint8_t* PicRow;
  ptrdiff_t AccStep;
  ptrdiff_t PicStep;
};
inline TRowPair RowsInMemoryOrder(TBitmap& Picture, TBitmap& Acc) {
  const TRowWalk acc = WalkRows(Acc);
  const TRowWalk pic = WalkRows(Picture);
  if (acc.Step >= 0 || pic.Step >= 0) return {acc.Row0, pic.Row0, acc.Step, pic.Step};
  const ptrdiff_t last = Acc.Height() - 1;
  return {acc.Row0 + acc.Step * last, pic.Row0 + pic.Step * last, -acc.Step, -pic.Step};
}

// Bytes combined per block of the row loop.
inline constexpr ptrdiff_t BlockBytes = 32;

// One row of bytes. The rows of two bitmaps never overlap (restrict), and blocks of a fixed length
// vectorise even under -O2's cheap cost model; the tail goes byte by byte.
template <class ByteOp>
inline void CombineRow(uint8_t* __restrict a, const uint8_t* __restrict p, ptrdiff_t count, ByteOp Op) {
  ptrdiff_t k = 0;
  for (; k + BlockBytes <= count; k += BlockBytes)
    for (ptrdiff_t j = 0; j < BlockBytes; ++j) a[k + j] = Op(a[k + j], p[k + j]);
  for (; k < count; ++k) a[k] = Op(a[k], p[k]);
}

// One row of bytes into a row of its own: out := Op(a, p), none of the three rows overlapping. The
// row of its own is the band merger's second result buffer, written once per picture and read again
// only by the next picture, long after it left the cache: it is written with streaming stores, which
// skip fetching the bytes they overwrite, so the merge moves as many bytes as a merge in place (the
// merger fences them after each band).
template <class ByteOp>
inline void CombineRowInto(uint8_t* __restrict out, const uint8_t* __restrict a, const uint8_t* __restrict p,
                           ptrdiff_t count, ByteOp Op) {
  ptrdiff_t k = 0;
#if defined(__SSE2__)
  const ptrdiff_t head = std::min<ptrdiff_t>(count, (16 - reinterpret_cast<uintptr_t>(out) % 16) % 16);
  for (; k < head; ++k) out[k] = Op(a[k], p[k]);
  alignas(16) uint8_t block[BlockBytes];
  for (; k + BlockBytes <= count; k += BlockBytes) {
    for (ptrdiff_t j = 0; j < BlockBytes; ++j) block[j] = Op(a[k + j], p[k + j]);
    for (ptrdiff_t j = 0; j < BlockBytes; j += 16)
      _mm_stream_si128(reinterpret_cast<__m128i*>(out + k + j),
                       _mm_load_si128(reinterpret_cast<const __m128i*>(block + j)));
  }
#else
  for (; k + BlockBytes <= count; k += BlockBytes)
    for (ptrdiff_t j = 0; j < BlockBytes; ++j) out[k + j] = Op(a[k + j], p[k + j]);
#endif
  for (; k < count; ++k) out[k] = Op(a[k], p[k]);
}

// One row of pixels by luminance: where Compare holds, the picture's pixel replaces the accumulator's.
template <class LumCompare>
inline void CombineRowByLuminance(uint8_t* a, const uint8_t* p, int width, LumCompare Compare) {
  for (int x = 0; x < width; ++x, a += 3, p += 3) {
    const int lumAcc = (a[0] + a[1] + a[2]) / 3;
    const int lumPic = (p[0] + p[1] + p[2]) / 3;
    if (Compare(lumAcc, lumPic)) {
      a[0] = p[0];
      a[1] = p[1];
      a[2] = p[2];
    }
  }
}

// The same into a row of its own: every pixel of out is the accumulator's or the picture's.
template <class LumCompare>
inline void CombineRowByLuminanceInto(uint8_t* __restrict out, const uint8_t* __restrict a,
                                      const uint8_t* __restrict p, int width, LumCompare Compare) {
  for (int x = 0; x < width; ++x, out += 3, a += 3, p += 3) {
    const int lumAcc = (a[0] + a[1] + a[2]) / 3;
    const int lumPic = (p[0] + p[1] + p[2]) / 3;
    const uint8_t* kept = Compare(lumAcc, lumPic) ? p : a;
    out[0] = kept[0];
    out[1] = kept[1];
    out[2] = kept[2];
  }
}

// A picture merged into itself: the same rows on both sides, so no restrict promise can be made.
template <class ByteOp>
inline void CombineRowInPlace(uint8_t* a, ptrdiff_t count, ByteOp Op) {
  for (ptrdiff_t k = 0; k < count; ++k) a[k] = Op(a[k], a[k]);
}

}  // namespace stack_detail

// ---- Pixel drivers. Both refuse (false, nothing changed) an accumulator that is not 24-bit, a picture
// of another size, or an empty picture; the picture is converted to 24-bit in place.

// Every byte of the accumulator := Op(accumulator byte, picture byte). Op is any callable taking two
// bytes and returning one (a TStackByteOp or a small function object).
template <class ByteOp>
bool CombineBitmaps(TBitmap& Picture, TBitmap& Acc, ByteOp Op) {
  if (!stack_detail::PrepareMerge(Picture, Acc)) return false;
  const stack_detail::TRowPair rows = stack_detail::RowsInMemoryOrder(Picture, Acc);
  const ptrdiff_t rowBytes = static_cast<ptrdiff_t>(Acc.Width()) * 3;
  uint8_t* accRow = rows.AccRow;
  const uint8_t* picRow = rows.PicRow;
  const bool samePixels = &Picture == &Acc;
  for (int y = 0; y < Acc.Height(); ++y, accRow += rows.AccStep, picRow += rows.PicStep) {
    if (samePixels)
      stack_detail::CombineRowInPlace(accRow, rowBytes, Op);
    else
      stack_detail::CombineRow(accRow, picRow, rowBytes, Op);
  }
  return true;
}

// Where Compare(luminance of the accumulator's pixel, luminance of the picture's pixel) holds, the
// accumulator's pixel := the picture's (all three bytes; channels are never mixed). The luminance is
// (blue + green + red) div 3.
template <class LumCompare>
bool CombineByLuminance(TBitmap& Picture, TBitmap& Acc, LumCompare Compare) {
  if (!stack_detail::PrepareMerge(Picture, Acc)) return false;
  const stack_detail::TRowPair rows = stack_detail::RowsInMemoryOrder(Picture, Acc);
  uint8_t* accRow = rows.AccRow;
  const uint8_t* picRow = rows.PicRow;
  for (int y = 0; y < Acc.Height(); ++y, accRow += rows.AccStep, picRow += rows.PicStep)
    stack_detail::CombineRowByLuminance(accRow, picRow, Acc.Width(), Compare);
  return true;
}

// ---- The picture operations of the stacking commands (Param is not read). Each has a row form too
// (band_merge.h), registered at start-up, so that a run merges JPEG pictures while they are decoded.
bool StackMax(TBitmap& Picture, TBitmap& Result, intptr_t Param);
bool StackMaxThreshold(TBitmap& Picture, TBitmap& Result, intptr_t Param);
bool StackMin(TBitmap& Picture, TBitmap& Result, intptr_t Param);
bool StackSub(TBitmap& Picture, TBitmap& Result, intptr_t Param);
bool StackAdd(TBitmap& Picture, TBitmap& Result, intptr_t Param);
// The brighter pixel by luminance is kept; a tie keeps the result's.
bool StackMaxLum(TBitmap& Picture, TBitmap& Result, intptr_t Param);
// The darker pixel by luminance is kept; a tie keeps the result's.
bool StackMinLum(TBitmap& Picture, TBitmap& Result, intptr_t Param);
