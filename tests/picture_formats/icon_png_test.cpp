// PNG-compressed icon images, read through the decoder the library installs at its start-up.

#include <gtest/gtest.h>
#include <zlib.h>

#include "picture_formats/format_list.h"
#include "picture_formats/icon_png.h"
#include "tests/picture_formats/reader_test_support.h"
#include "tests/support/test_files.h"
#include "tests/toolkit/graphics/graphics_helpers.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/graphics/icon.h"

namespace {

class IconPngTest : public testing::Test {
 protected:
  void SetUp() override { InitializePictureFormats(); }
  void TearDown() override { FinalizePictureFormats(); }
  const Bytes File = ReadWholeFile(TestData("ico/png256.ico"));
};

TEST_F(IconPngTest, TheLargestImageIsThePngOneAndDrawsLikeTheReference) {
  auto icon = LoadBytes<TIcon>(File);
  ASSERT_EQ(icon->Width(), 256);
  ASSERT_EQ(icon->Height(), 256);
  const uint8_t* disc = icon->Image().ScanLine(96) + 4 * 160;
  EXPECT_EQ(disc[3], 0);
  EXPECT_EQ(icon->Image().ScanLine(210)[4 * 20 + 3], 128);
  EXPECT_EQ(icon->Image().ScanLine(10)[4 * 10 + 3], 255);

  TBitmap onWhite;
  onWhite.SetPixelFormat(pf24bit);
  onWhite.SetSize(256, 256);
  onWhite.Canvas().FillRect(Rect(0, 0, 256, 256));
  onWhite.Canvas().Draw(0, 0, *icon);
  EXPECT_LE(MaxDifference(onWhite, Reference(TestData("ico/png256-on-white.png"))), 1);
}

TEST_F(IconPngTest, WithoutTheLibraryThePngImageIsPassedOver) {
  FinalizePictureFormats();
  auto icon = LoadBytes<TIcon>(File);
  EXPECT_EQ(icon->Width(), 32);
  InitializePictureFormats();
  EXPECT_EQ(LoadBytes<TIcon>(File)->Width(), 256);
}

TEST_F(IconPngTest, DamagedPngImagesRaise) {
  // The PNG image starts at byte 38 and its IHDR data at 38 + 16.
  Bytes wrongChunk = File;
  wrongChunk[38 + 12] = 'X';
  EXPECT_NE(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TIcon>(wrongChunk); }), "");
  Bytes huge = File;
  huge[38 + 16 + 1] = 0x40;  // a width of 4 million pixels
  EXPECT_NE(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TIcon>(huge); }), "");
  // Damage inside the image data: the PNG reader's checks raise, in the library's words naming PNG.
  Bytes damaged = File;
  damaged[38 + 600] ^= 0x5A;
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TIcon>(damaged); }),
            "Cannot load image. CRC error found in PNG file.");
  // A PNG image whose image data end before its picture does: an icon has no way to show part of one.
  Bytes taller = Sample("png/pictures/rgb.png");
  Poke(taller, 20, Be(23 * 2, 4));  // twice the rows the image data hold
  Poke(taller, 29, Be(static_cast<uint32_t>(crc32(0, taller.data() + 12, 17)), 4));
  TBitmap image;
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { DecodeIconPng(taller, image); }),
            "Cannot load image. The PNG file ends before its picture does.");
  // An entry cut short: the directory still promises 1176 bytes of the PNG image.
  Bytes cut(File.begin(), File.begin() + 38 + 600);
  EXPECT_THROW(LoadBytes<TIcon>(cut), Exception);
}

}  // namespace
