// The stacking operations' pixel drivers on odd sizes, in place and on other formats, and their refusals
// (the commands that use them are tested through the window in processing_commands_test.cpp).
#include "workbench/stack_ops.h"

#include <algorithm>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "tests/workbench/pixel_test_support.h"
#include "workbench/band_merge.h"

namespace {

// The operations that merge byte by byte, with what each makes of one byte of the result and one of
// the picture (the threshold of 100 that the tests set).
const std::pair<TImageOp, std::function<uint8_t(uint8_t, uint8_t)>> kByteOps[] = {
    {StackMax, MaxByte},
    {StackMaxThreshold, [](uint8_t a, uint8_t p) { return MaxThresholdByteAt(a, p, 100); }},
    {StackMin, MinByte},
    {StackSub, DiffByte},
    {StackAdd, SumByte}};

class StackOpsTest : public testing::Test {
 protected:
  void TearDown() override { StackThreshold = 0; }
};

TEST_F(StackOpsTest, ThresholdWorkedValues) {
  StackThreshold = 40;
  EXPECT_EQ(MaxThresholdByte(30, 10), 10);  // below the threshold the picture wins, even darker
  EXPECT_EQ(MaxThresholdByte(50, 60), 60);
  EXPECT_EQ(MaxThresholdByte(40, 20), 40);
  StackThreshold = -5;
  EXPECT_EQ(MaxThresholdByte(9, 3), 9);
  StackThreshold = 256;
  EXPECT_EQ(MaxThresholdByte(255, 3), 3);
}

// Sizes that walk one row, one column, padded rows and rows longer than one vector block with a tail
// (noise also gives luminance ties and truncations).
TEST_F(StackOpsTest, DriversMatchTheReferenceOnOddSizes) {
  StackThreshold = 100;
  uint32_t seed = 1;
  for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {13, 1}, {7, 4}, {50, 3}, {43, 5}}) {
    SCOPED_TRACE(testing::Message() << w << " x " << h);
    for (const auto& [stack, bytes] : kByteOps) {
      auto acc = NoisePicture(w, h, seed++), picture = NoisePicture(w, h, seed++);
      auto expected = CopyOf(*acc);
      ReferenceBytes(*expected, *picture, bytes);
      EXPECT_TRUE(stack(*picture, *acc, 0));
      EXPECT_TRUE(SamePixels(*acc, *expected));
    }
    for (bool brighter : {true, false}) {
      auto acc = NoisePicture(w, h, seed++), picture = NoisePicture(w, h, seed++);
      auto expected = CopyOf(*acc);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          uint8_t* e = expected->ScanLine(y) + x * 3;
          const uint8_t* p = picture->ScanLine(y) + x * 3;
          const int le = (e[0] + e[1] + e[2]) / 3, lp = (p[0] + p[1] + p[2]) / 3;
          if (brighter ? le < lp : le > lp) std::copy(p, p + 3, e);
        }
      EXPECT_TRUE((brighter ? StackMaxLum : StackMinLum)(*picture, *acc, 0));
      EXPECT_TRUE(SamePixels(*acc, *expected));
    }
  }
}

// The row forms into a row of their own, which is written with streaming stores where it is aligned:
// every alignment of that row, lengths shorter and longer than a block with tails, and nothing written
// past the row's end.
TEST_F(StackOpsTest, RowFormsIntoARowOfTheirOwnMatchTheReferenceAtEveryAlignment) {
  StackThreshold = 100;
  constexpr uint8_t kGuard = 0xA5;
  uint32_t seed = 7;
  auto noise = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<uint8_t>(seed >> 16);
  };
  for (const auto& [op, bytes] : kByteOps) {
    const TRowOp rows = RowFormOf(op).Rows;
    ASSERT_NE(rows, nullptr);
    for (int width : {1, 5, 11, 16, 33, 101}) {
      const size_t count = static_cast<size_t>(width) * 3;
      std::vector<uint8_t> acc(count), picture(count);
      for (size_t k = 0; k < count; ++k) acc[k] = noise(), picture[k] = noise();
      for (size_t offset = 0; offset < 16; ++offset) {
        SCOPED_TRACE(testing::Message() << "width " << width << ", offset " << offset);
        alignas(16) uint8_t out[16 + 101 * 3 + 16];
        std::fill(std::begin(out), std::end(out), kGuard);
        rows(out + offset, acc.data(), picture.data(), width, 0, 0);
        for (size_t k = 0; k < count; ++k) ASSERT_EQ(out[offset + k], bytes(acc[k], picture[k])) << k;
        for (size_t k = offset + count; k < sizeof(out); ++k) ASSERT_EQ(out[k], kGuard) << k;
        for (size_t k = 0; k < offset; ++k) ASSERT_EQ(out[k], kGuard) << k;
      }
    }
  }
}

TEST_F(StackOpsTest, APictureMergesIntoItselfAndAnEightBitOneIsConvertedInPlace) {
  auto picture = NoisePicture(43, 5, 99);
  auto expected = CopyOf(*picture);
  ReferenceBytes(*expected, *CopyOf(*picture), SumByte);
  EXPECT_TRUE(StackAdd(*picture, *picture, 0));
  EXPECT_TRUE(SamePixels(*picture, *expected));

  auto indexed = NoisePicture(7, 3, 5);
  indexed->SetPixelFormat(pf8bit);
  auto as24 = CopyOf(*indexed);
  as24->SetPixelFormat(pf24bit);
  auto acc = NoisePicture(7, 3, 77);
  expected = CopyOf(*acc);
  ReferenceBytes(*expected, *as24, MaxByte);
  EXPECT_TRUE(StackMax(*indexed, *acc, 0));
  EXPECT_EQ(indexed->PixelFormat(), pf24bit);
  EXPECT_TRUE(SamePixels(*acc, *expected));
}

TEST_F(StackOpsTest, RefusalsLeaveTheResultUnchanged) {
  auto acc = NoisePicture(64, 48, 5);
  const auto before = CopyOf(*acc);
  for (TImageOp op : {StackMax, StackMaxThreshold, StackMin, StackSub, StackAdd, StackMaxLum, StackMinLum}) {
    EXPECT_FALSE(op(*NoisePicture(64, 47, 6), *acc, 0));
    EXPECT_FALSE(op(*NoisePicture(63, 48, 6), *acc, 0));
    EXPECT_TRUE(SamePixels(*acc, *before));
    // An accumulator that is not 24-bit is refused, and the picture is not converted.
    auto acc32 = NoisePicture(4, 4, 8);
    acc32->SetPixelFormat(pf32bit);
    auto picture8 = NoisePicture(4, 4, 9);
    picture8->SetPixelFormat(pf8bit);
    EXPECT_FALSE(op(*picture8, *acc32, 0));
    EXPECT_EQ(picture8->PixelFormat(), pf8bit);
    TBitmap empty, emptyAcc;
    emptyAcc.SetPixelFormat(pf24bit);
    EXPECT_FALSE(op(empty, emptyAcc, 0));
  }
}

}  // namespace
