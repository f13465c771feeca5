#include "workbench/stack_ops.h"

#include "workbench/band_merge.h"

int32_t StackThreshold = 0;

namespace stack_detail {

bool PrepareMerge(TBitmap& Picture, TBitmap& Acc) {
  if (Acc.PixelFormat() != pf24bit) return false;
  if (Picture.Width() != Acc.Width() || Picture.Height() != Acc.Height()) return false;
  if (Picture.Width() == 0 || Picture.Height() == 0) return false;
  if (Picture.PixelFormat() != pf24bit) Picture.SetPixelFormat(pf24bit);
  return true;
}

}  // namespace stack_detail

// Each operation instantiates its own driver, so the byte operation inlines into the row loop.

bool StackMax(TBitmap& Picture, TBitmap& Result, intptr_t) {
  return CombineBitmaps(Picture, Result, [](uint8_t a, uint8_t p) { return MaxByte(a, p); });
}

bool StackMaxThreshold(TBitmap& Picture, TBitmap& Result, intptr_t) {
  // Read once: a store into the rows could otherwise be taken to change it and defeat vectorising.
  const int32_t threshold = StackThreshold;
  return CombineBitmaps(Picture, Result,
                        [threshold](uint8_t a, uint8_t p) { return MaxThresholdByteAt(a, p, threshold); });
}

bool StackMin(TBitmap& Picture, TBitmap& Result, intptr_t) {
  return CombineBitmaps(Picture, Result, [](uint8_t a, uint8_t p) { return MinByte(a, p); });
}

bool StackSub(TBitmap& Picture, TBitmap& Result, intptr_t) {
  return CombineBitmaps(Picture, Result, [](uint8_t a, uint8_t p) { return DiffByte(a, p); });
}

bool StackAdd(TBitmap& Picture, TBitmap& Result, intptr_t) {
  return CombineBitmaps(Picture, Result, [](uint8_t a, uint8_t p) { return SumByte(a, p); });
}

bool StackMaxLum(TBitmap& Picture, TBitmap& Result, intptr_t) {
  return CombineByLuminance(Picture, Result, [](int a, int p) { return LumLess(a, p); });
}

bool StackMinLum(TBitmap& Picture, TBitmap& Result, intptr_t) {
  return CombineByLuminance(Picture, Result, [](int a, int p) { return LumGreater(a, p); });
}

// ---- Row forms: the same merges, one row of a decoded band at a time, in place or into a row of its own
// (band_merge.h).

namespace {

template <class ByteOp>
void MergeRow(uint8_t* out, const uint8_t* acc, const uint8_t* pic, int width, ByteOp op) {
  const ptrdiff_t count = ptrdiff_t{width} * 3;
  if (out == acc)
    stack_detail::CombineRow(out, pic, count, op);
  else
    stack_detail::CombineRowInto(out, acc, pic, count, op);
}

template <class LumCompare>
void MergeRowByLuminance(uint8_t* out, const uint8_t* acc, const uint8_t* pic, int width,
                         LumCompare compare) {
  if (out == acc)
    stack_detail::CombineRowByLuminance(out, pic, width, compare);
  else
    stack_detail::CombineRowByLuminanceInto(out, acc, pic, width, compare);
}

const bool kRowFormsRegistered = [] {
  RegisterRowForm(StackMax, [](uint8_t* o, const uint8_t* a, const uint8_t* p, int w, int, intptr_t) {
    MergeRow(o, a, p, w, [](uint8_t x, uint8_t y) { return MaxByte(x, y); });
  });
  RegisterRowForm(StackMaxThreshold, [](uint8_t* o, const uint8_t* a, const uint8_t* p, int w, int,
                                        intptr_t) {
    const int32_t threshold = StackThreshold;
    MergeRow(o, a, p, w, [threshold](uint8_t x, uint8_t y) { return MaxThresholdByteAt(x, y, threshold); });
  });
  RegisterRowForm(StackMin, [](uint8_t* o, const uint8_t* a, const uint8_t* p, int w, int, intptr_t) {
    MergeRow(o, a, p, w, [](uint8_t x, uint8_t y) { return MinByte(x, y); });
  });
  RegisterRowForm(StackSub, [](uint8_t* o, const uint8_t* a, const uint8_t* p, int w, int, intptr_t) {
    MergeRow(o, a, p, w, [](uint8_t x, uint8_t y) { return DiffByte(x, y); });
  });
  RegisterRowForm(StackAdd, [](uint8_t* o, const uint8_t* a, const uint8_t* p, int w, int, intptr_t) {
    MergeRow(o, a, p, w, [](uint8_t x, uint8_t y) { return SumByte(x, y); });
  });
  RegisterRowForm(StackMaxLum, [](uint8_t* o, const uint8_t* a, const uint8_t* p, int w, int, intptr_t) {
    MergeRowByLuminance(o, a, p, w, [](int x, int y) { return LumLess(x, y); });
  });
  RegisterRowForm(StackMinLum, [](uint8_t* o, const uint8_t* a, const uint8_t* p, int w, int, intptr_t) {
    MergeRowByLuminance(o, a, p, w, [](int x, int y) { return LumGreater(x, y); });
  });
  return true;
}();

}  // namespace
