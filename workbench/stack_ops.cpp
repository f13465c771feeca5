#include "workbench/stack_ops.h"

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
