// The batch operations' byte arithmetic and their application to whole bitmaps.
#include "workbench/reference_ops.h"

#include <gtest/gtest.h>

#include "tests/workbench/pixel_test_support.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/graphics/canvas.h"

namespace {

TEST(ReferenceOpsTest, ByteOperationsGiveTheirWorkedValues) {
  EXPECT_EQ(SubByte(100, 30, 0, 0), 70);      // factor 0 subtracts the whole reference
  EXPECT_EQ(SubByte(100, 30, -256, 0), 100);  // k = 1: 30 div 256 is 0
  EXPECT_EQ(SubByte(10, 100, -300, 0), 27);   // -4400 div 256 truncates toward zero: -17
  EXPECT_EQ(AddByte(100, 30, 0, 0), 130);
  EXPECT_EQ(DivByte(100, 200, 256, 0), 128);
  EXPECT_EQ(DivByte(100, 0, 256, 0), 255);
  EXPECT_EQ(DivByte(100, 0, 256, -255), 0);
  EXPECT_EQ(DivByte(10, 200, -256, 100), 88);  // -12.8 truncates to -12
  EXPECT_EQ(DivByte(7, 2, 0, 0), 3);           // factor 0 divides by 1
  EXPECT_EQ(MulByte(200, 128, 256, 0), 100);
  EXPECT_EQ(MulByte(200, 128, -5, 0), 0);  // a negative factor divides as a huge unsigned number
  EXPECT_EQ(MulByte(200, 128, -5, 77), 77);
  EXPECT_EQ(SquareByte(255, 9, 256, 0), 254);
  EXPECT_EQ(CubeByte(255, 0, 65536, 0), 253);
  EXPECT_EQ(CubeByte(128, 0, 65536, 0), 32);
  // Far outside the window's ranges the arithmetic raises instead of wrapping.
  EXPECT_THROW(SubByte(0, 255, 2147483647, 0), EIntOverflow);
  EXPECT_THROW(DivByte(255, 1, 1 << 30, 0), EIntOverflow);
  EXPECT_THROW(AddByte(255, 0, 0, 2147483647), EIntOverflow);
}

// Every byte of the expected result from the byte operation, one ScanLine call per row.
std::unique_ptr<TBitmap> ExpectedResult(TBitmap& picture, TBitmap& reference, int32_t factor, int32_t offset,
                                        TRefByteOp op) {
  auto expected = CopyOf(picture);
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width() * 3; ++x)
      expected->ScanLine(y)[x] = op(picture.ScanLine(y)[x], reference.ScanLine(y)[x], factor, offset);
  return expected;
}

// The six picture operations over odd sizes and over factors and offsets that take each way through
// the rows (16-bit vector arithmetic, tables of every pair of bytes, byte by byte), against the plain
// reference.
TEST(ReferenceOpsTest, PictureOperationsMatchTheByteOperations) {
  struct Case {
    TImageOp Image;
    TRefByteOp Byte;
    int32_t Factor;
    int32_t Offset;
  };
  const Case cases[] = {{SubImage, SubByte, 0, 0},          {SubImage, SubByte, -256, 0},
                        {SubImage, SubByte, 256, 255},      {SubImage, SubByte, -100, -255},
                        {SubImage, SubByte, 1000, 20},      {SubImage, SubByte, -700, 3},
                        {AddImage, AddByte, 0, 0},          {AddImage, AddByte, 256, -255},
                        {AddImage, AddByte, 5000, -40},     {DivImage, DivByte, 256, 0},
                        {DivImage, DivByte, -7, 100},       {DivImage, DivByte, 0, -3},
                        {MulImage, MulByte, 256, 0},        {MulImage, MulByte, -3, 17},
                        {MulImage, MulByte, 1 << 23, 9},    {SquareImage, SquareByte, 256, 0},
                        {SquareImage, SquareByte, 1, -1},   {CubeImage, CubeByte, 65536, 0},
                        {CubeImage, CubeByte, -65536, 200}, {CubeImage, CubeByte, 1000, 1 << 30}};
  const std::pair<int, int> sizes[] = {{1, 1}, {1, 9}, {13, 1}, {5, 3}, {50, 3}, {43, 5}};
  uint32_t seed = 1;
  for (auto [w, h] : sizes)
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message()
                   << w << " x " << h << ", factor " << c.Factor << ", offset " << c.Offset);
      auto picture = NoisePicture(w, h, seed++);
      TProcessRec record;
      record.Reference = NoisePicture(w, h, seed++);
      record.Factor = c.Factor;
      record.Offset = c.Offset;
      auto expected = ExpectedResult(*picture, *record.Reference, c.Factor, c.Offset, c.Byte);
      auto result = NoisePicture(w, h, seed++);  // its old pixels must not matter
      EXPECT_TRUE(c.Image(*picture, *result, reinterpret_cast<intptr_t>(&record)));
      EXPECT_TRUE(SamePixels(*result, *expected));
      // In place (the list driver's first picture): the same bytes.
      EXPECT_TRUE(c.Image(*picture, *picture, reinterpret_cast<intptr_t>(&record)));
      EXPECT_TRUE(SamePixels(*picture, *expected));
    }
  auto picture = NoisePicture(3, 3, 1);
  EXPECT_FALSE(SubImage(*picture, *picture, 0));
}

// A reference of 1 x 1 (a file that loaded as nothing) turns black of the picture's size and stays so;
// other misfits are refused without writing; other formats are made 24-bit first.
TEST(ReferenceOpsTest, ReferenceSizesAndPixelFormats) {
  auto picture = NoisePicture(6, 4, 1);
  auto result = NoisePicture(6, 4, 2);
  auto reference = NoisePicture(1, 1, 3);
  ASSERT_TRUE(ApplyImageOperation(*picture, *result, *reference, 0, 7, SubByte));
  EXPECT_EQ(reference->Width(), 6);
  auto plus7 = CopyOf(*picture);  // the whole picture shifted by the offset: the reference is black
  ReferenceBytes(*plus7, *picture,
                 [](uint8_t a, uint8_t) { return static_cast<uint8_t>(std::min(a + 7, 255)); });
  EXPECT_TRUE(SamePixels(*result, *plus7));
  auto before = CopyOf(*result);
  EXPECT_FALSE(ApplyImageOperation(*NoisePicture(5, 4, 5), *result, *reference, 0, 0, SubByte));
  EXPECT_FALSE(ApplyImageOperation(*picture, *result, *NoisePicture(6, 3, 6), 0, 0, SubByte));
  TBitmap result32;
  result32.SetPixelFormat(pf32bit);
  result32.SetSize(6, 4);
  EXPECT_FALSE(ApplyImageOperation(*picture, result32, *reference, 0, 0, SubByte));
  EXPECT_TRUE(SamePixels(*result, *before));

  // A 1 x 1 picture keeps its 1 x 1 reference; 32-bit pictures and references are converted.
  auto dot = NoisePicture(1, 1, 7);
  auto dotReference = NoisePicture(1, 1, 8);
  auto dotResult = NoisePicture(1, 1, 9);
  auto expected = ExpectedResult(*dot, *dotReference, 0, 0, AddByte);
  dot->SetPixelFormat(pf32bit);
  dotReference->SetPixelFormat(pf32bit);
  ASSERT_TRUE(ApplyImageOperation(*dot, *dotResult, *dotReference, 0, 0, AddByte));
  EXPECT_TRUE(SamePixels(*dotResult, *expected));
  EXPECT_EQ(dotReference->PixelFormat(), pf24bit);
}

}  // namespace
