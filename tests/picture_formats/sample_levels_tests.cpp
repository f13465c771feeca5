#include "picture_formats/sample_levels.h"

#include <gtest/gtest.h>

#include "tests/picture_formats/picture_test_support.h"
#include "toolkit/core/exceptions.h"

namespace {

Bytes Spread(unsigned bits, const Bytes& packed, size_t count) {
  Bytes levels(count);
  TSampleLevels(bits).Spread(packed, levels);
  return levels;
}

TEST(SampleLevels, EveryDepthSpreadsOverTheWholeByteAndRunsOnAcrossByteEnds) {
  // 0 is black and the largest value white at every depth; in between v x 255 div (2^bits - 1).
  EXPECT_EQ(Spread(1, {0xA0}, 3), (Bytes{255, 0, 255}));
  EXPECT_EQ(Spread(2, {0x1B}, 4), (Bytes{0, 85, 170, 255}));
  EXPECT_EQ(Spread(3, {0b00000101, 0b01110000}, 4), (Bytes{0, 36, 72, 255}));
  EXPECT_EQ(Spread(4, {0x0F, 0x7A}, 4), (Bytes{0, 255, 119, 170}));
  EXPECT_EQ(Spread(5, {0xFF, 0xC0}, 2), (Bytes{255, 255}));
  EXPECT_EQ(Spread(12, {0xFF, 0xF8, 0x00, 0x01, 0x1F, 0xFE}, 4), (Bytes{255, 127, 1, 254}));
  EXPECT_EQ(Spread(15, {0xFF, 0xFE, 0x00, 0x02}, 2), (Bytes{255, 0}));
  for (unsigned bits = 1; bits <= 16; ++bits) {
    const Bytes ones(bits, 0xFF);  // eight samples of all 1 bits
    EXPECT_EQ(Spread(bits, ones, 8), Bytes(8, 255)) << bits;
  }
}

TEST(SampleLevels, DepthsOutsideOneToSixteenBitsAndShortRowsAreRefused) {
  EXPECT_THROW(TSampleLevels(0), ERangeError);
  EXPECT_THROW(TSampleLevels(17), ERangeError);
  Bytes levels(3);
  EXPECT_THROW(TSampleLevels(12).Spread(Bytes{1, 2, 3, 4}, levels), ERangeError);  // 36 bits need 5 bytes
  EXPECT_NO_THROW(TSampleLevels(12).Spread(Bytes{1, 2, 3, 4, 5}, levels));
}

}  // namespace
