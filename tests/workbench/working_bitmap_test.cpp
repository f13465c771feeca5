// The working bitmap: the names SavePicture writes under, and what LoadPicture makes of good, paletted,
// JPEG, missing and damaged files.
#include "workbench/working_bitmap.h"

#include <gtest/gtest.h>

#include "picture_formats/format_list.h"
#include "tests/support/test_files.h"
#include "tests/workbench/pixel_test_support.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_system.h"
#include "toolkit/graphics/canvas.h"

namespace {

class WorkingBitmapTest : public testing::Test {
 protected:
  void SetUp() override { InitializePictureFormats(); }
  void TearDown() override { FinalizePictureFormats(); }

  static bool IsEmptyState(TBitmap& bitmap) {
    return bitmap.PixelFormat() == pf24bit && bitmap.Width() == 1 && bitmap.Height() == 1 &&
           bitmap.Canvas().Pixel(0, 0) == clBlack;
  }

  TempDir temp;
};

TEST_F(WorkingBitmapTest, SaveNamesFollowTheExtension) {
  struct Case {
    const char* given;
    const char* written;
    bool jpeg;
  };
  const Case cases[] = {{"photo.JPE", "photo.JPE", true},
                        {"photo.jpeg", "photo.jpeg", true},
                        {"photo.jps", "photo.jps", true},
                        {"photo.BMP", "photo.BMP", false},
                        {"photo.bm", "photo.bm", false},
                        {"photo.png", "photo.bmp", false},
                        {"photo.tif", "photo.bmp", false},
                        {"photo", "photo.bmp", false},
                        {"my.night/photo", "my.night/photo.bmp", false}};
  auto bitmap = NoisePicture(5, 3, 1);
  std::filesystem::create_directory(temp.Path() / "my.night");
  for (const Case& c : cases) {
    std::string name = temp.File(c.given);
    ASSERT_TRUE(SavePicture(*bitmap, name, "process.bmp", pf24bit)) << c.given;
    EXPECT_EQ(name, temp.File(c.written)) << "the caller learns the name really written";
    EXPECT_EQ(IsJpegSaveName(c.given), c.jpeg) << c.given;
    const std::vector<uint8_t> bytes = ReadWholeFile(name);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], c.jpeg ? 0xFF : 'B') << c.given;
    EXPECT_EQ(bytes[1], c.jpeg ? 0xD8 : 'M') << c.given;
  }
  // An empty name takes the default.
  std::string name;
  ASSERT_TRUE(SavePicture(*bitmap, name, temp.File("process.bmp"), pf24bit));
  EXPECT_EQ(name, temp.File("process.bmp"));
}

TEST_F(WorkingBitmapTest, BmpRoundTripKeepsEveryPixelAndReportsTheFileFormat) {
  auto bitmap = NoisePicture(7, 5, 2);  // rows need padding
  TBitmap loaded;
  TPixelFormat fileFormat = pfCustom;
  for (TPixelFormat saved : {pf24bit, pf32bit}) {
    std::string name = temp.File(saved == pf24bit ? "a24.bmp" : "a32.bmp");
    ASSERT_TRUE(SavePicture(*bitmap, name, "", saved));
    ASSERT_TRUE(LoadPicture(loaded, name, fileFormat));
    EXPECT_EQ(fileFormat, saved);
    EXPECT_TRUE(SamePixels(*bitmap, loaded));
  }
}

TEST_F(WorkingBitmapTest, PaletteAndJpegPicturesLoadAs24BitWithTheirColours) {
  TBitmap indexed;
  indexed.SetPixelFormat(pf8bit);
  indexed.SetSize(3, 2);
  TLogPalette palette;
  palette.palPalEntry = {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}};
  indexed.SetPalette(CreatePalette(palette));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) indexed.ScanLine(y)[x] = static_cast<uint8_t>((x + y) % 3);
  indexed.SaveToFile(temp.File("indexed.bmp"));
  TBitmap loaded;
  TPixelFormat fileFormat = pf24bit;
  ASSERT_TRUE(LoadPicture(loaded, temp.File("indexed.bmp"), fileFormat));
  EXPECT_EQ(fileFormat, pf8bit);
  EXPECT_EQ(loaded.PixelFormat(), pf24bit);
  EXPECT_EQ(loaded.Canvas().Pixel(0, 0), clRed);
  EXPECT_EQ(loaded.Canvas().Pixel(1, 0), clLime);
  EXPECT_EQ(loaded.Canvas().Pixel(2, 1), clRed);

  // A flat colour saved as JPEG comes back close, its channels in their places.
  TBitmap flat;
  flat.SetPixelFormat(pf24bit);
  flat.SetSize(16, 16);
  FillBitmap(flat, 0x2080C0);
  std::string name = temp.File("flat.jpg");
  ASSERT_TRUE(SavePicture(flat, name, "", pf24bit));
  ASSERT_TRUE(LoadPicture(loaded, name));
  ASSERT_EQ(loaded.Width(), 16);
  const uint8_t* p = loaded.ScanLine(9) + 9 * 3;  // B, G, R
  EXPECT_NEAR(p[0], 0x20, 4);
  EXPECT_NEAR(p[1], 0x80, 4);
  EXPECT_NEAR(p[2], 0xC0, 4);
}

TEST_F(WorkingBitmapTest, UnloadablePicturesFailAndLeaveTheEmptyState) {
  // A missing file is a failure, not a black 1 x 1 success.
  auto bitmap = NoisePicture(4, 4, 3);
  EXPECT_FALSE(LoadPicture(*bitmap, temp.File("missing.jpg")));
  EXPECT_TRUE(IsEmptyState(*bitmap));

  bitmap = NoisePicture(4, 4, 3);
  WriteWholeFile(temp.File("notes.txt"), {'h', 'i'});
  EXPECT_FALSE(LoadPicture(*bitmap, temp.File("notes.txt")));
  EXPECT_TRUE(IsEmptyState(*bitmap));

  // A damaged file of a registered format fails without touching the target.
  bitmap = NoisePicture(4, 4, 3);
  WriteWholeFile(temp.File("broken.bmp"), {'B', 'M', 1, 2, 3});
  EXPECT_FALSE(LoadPicture(*bitmap, temp.File("broken.bmp")));
  EXPECT_EQ(bitmap->Width(), 4);

  ResetBitmap(bitmap.get());
  EXPECT_TRUE(IsEmptyState(*bitmap));
  ASSERT_TRUE(NewBitmap(bitmap));
  EXPECT_TRUE(IsEmptyState(*bitmap));
}

}  // namespace

namespace {

TEST_F(WorkingBitmapTest, MetafilesLoadAs24BitPicturesOnWhite) {
  for (const char* name : {"metafile/beef.wmf", "metafile/shapes.emf"}) {
    TBitmap bitmap;
    TPixelFormat format = pfCustom;
    ASSERT_TRUE(LoadPicture(bitmap, TestData(name), format)) << name;
    EXPECT_EQ(format, pf24bit);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), clWhite) << name;
  }
  TBitmap bitmap;
  ASSERT_TRUE(LoadPicture(bitmap, TestData("metafile/shapes.emf")));
  EXPECT_EQ(bitmap.Width(), 192);
  EXPECT_EQ(bitmap.Canvas().Pixel(35, 30), clRed);
}

}  // namespace
