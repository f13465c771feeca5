#include "workbench/working_bitmap.h"

#include <gtest/gtest.h>

#include "picture_formats/format_list.h"
#include "tests/support/test_files.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_system.h"
#include "toolkit/graphics/canvas.h"

namespace {

class WorkingBitmapTest : public testing::Test {
 protected:
  void SetUp() override { InitializePictureFormats(); }
  void TearDown() override { FinalizePictureFormats(); }

  // A 24-bit picture whose pixels all differ, so any misplaced byte shows.
  static std::unique_ptr<TBitmap> Pattern(int width, int height) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(width, height);
    for (int y = 0; y < height; ++y) {
      uint8_t* row = bitmap->ScanLine(y);
      for (int x = 0; x < width * 3; ++x) row[x] = static_cast<uint8_t>(x * 7 + y * 13);
    }
    return bitmap;
  }

  static bool SamePixels(TBitmap& a, TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
      if (!std::equal(a.ScanLine(y), a.ScanLine(y) + a.Width() * 3, b.ScanLine(y))) return false;
    return true;
  }

  static bool IsEmptyState(TBitmap& bitmap) {
    return bitmap.PixelFormat() == pf24bit && bitmap.Width() == 1 && bitmap.Height() == 1 &&
           bitmap.Canvas().Pixel(0, 0) == clBlack;
  }

  TempDir temp;
};

TEST_F(WorkingBitmapTest, PixelFormatCodesAndBits) {
  const std::pair<TPixelFormat, int> table[] = {{pf1bit, 1},   {pf4bit, 4},   {pf8bit, 8},  {pf15bit, 15},
                                                {pf16bit, 16}, {pf24bit, 24}, {pf32bit, 32}};
  for (auto [format, bits] : table) {
    EXPECT_EQ(PixelFormatBits(format), bits);
    EXPECT_EQ(BitsPixelFormat(bits), format);
  }
  EXPECT_EQ(PixelFormatBits(pfDevice), -1);
  EXPECT_EQ(PixelFormatBits(pfCustom), -1);
  EXPECT_EQ(PixelFormatBits(static_cast<TPixelFormat>(42)), -1);
  EXPECT_EQ(BitsPixelFormat(12), pfCustom);
  EXPECT_EQ(BitsPixelFormat(0), pfCustom);
}

TEST_F(WorkingBitmapTest, SaveNamesFollowTheExtension) {
  struct Case {
    const char* given;
    const char* written;
    bool jpeg;
  };
  const Case cases[] = {{"photo.JPE", "photo.JPE", true},   {"photo.jpeg", "photo.jpeg", true},
                        {"photo.jps", "photo.jps", true},   {"photo.BMP", "photo.BMP", false},
                        {"photo.bm", "photo.bm", false},    {"photo.png", "photo.bmp", false},
                        {"photo.tif", "photo.bmp", false},  {"photo", "photo.bmp", false},
                        {"my.night/photo", "my.night/photo.bmp", false}};
  auto bitmap = Pattern(5, 3);
  std::filesystem::create_directory(temp.Path() / "my.night");
  for (const Case& c : cases) {
    std::string name = temp.File(c.given);
    ASSERT_TRUE(SavePicture(*bitmap, name, "process.bmp", pf24bit)) << c.given;
    EXPECT_EQ(name, temp.File(c.written)) << "the caller learns the name really written";
    EXPECT_EQ(IsJpegSaveName(c.given), c.jpeg) << c.given;
    const std::vector<uint8_t> bytes = ReadWholeFile(name);
    ASSERT_GE(bytes.size(), 2u);
    if (c.jpeg) {
      EXPECT_EQ(bytes[0], 0xFF);
      EXPECT_EQ(bytes[1], 0xD8);
    } else {
      EXPECT_EQ(bytes[0], 'B');
      EXPECT_EQ(bytes[1], 'M');
    }
  }
}

TEST_F(WorkingBitmapTest, EmptyNameTakesTheDefault) {
  auto bitmap = Pattern(2, 2);
  std::string name;
  const std::string fallback = temp.File("process.bmp");
  ASSERT_TRUE(SavePicture(*bitmap, name, fallback, pf24bit));
  EXPECT_EQ(name, fallback);
  EXPECT_TRUE(FileExists(fallback));
}

TEST_F(WorkingBitmapTest, BmpRoundTripKeepsEveryPixelAndReportsTheFileFormat) {
  auto bitmap = Pattern(7, 5);  // rows need padding
  std::string name = temp.File("a.bmp");
  ASSERT_TRUE(SavePicture(*bitmap, name, "", pf24bit));
  TBitmap loaded;
  TPixelFormat fileFormat = pfCustom;
  ASSERT_TRUE(LoadPicture(loaded, name, fileFormat));
  EXPECT_EQ(fileFormat, pf24bit);
  EXPECT_TRUE(SamePixels(*bitmap, loaded));

  // Saved through a conversion into 32 bits, it comes back the same in 24.
  std::string name32 = temp.File("a32.bmp");
  ASSERT_TRUE(SavePicture(*bitmap, name32, "", pf32bit));
  ASSERT_TRUE(LoadPicture(loaded, name32, fileFormat));
  EXPECT_EQ(fileFormat, pf32bit);
  EXPECT_EQ(loaded.PixelFormat(), pf24bit);
  EXPECT_TRUE(SamePixels(*bitmap, loaded));
}

TEST_F(WorkingBitmapTest, PalettePictureLoadsAs24BitWithItsColours) {
  TBitmap indexed;
  indexed.SetPixelFormat(pf8bit);
  indexed.SetSize(3, 2);
  TLogPalette palette;
  palette.palPalEntry = {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}};
  indexed.SetPalette(CreatePalette(palette));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) indexed.ScanLine(y)[x] = static_cast<uint8_t>((x + y) % 3);
  const std::string name = temp.File("indexed.bmp");
  indexed.SaveToFile(name);

  TBitmap loaded;
  TPixelFormat fileFormat = pf24bit;
  ASSERT_TRUE(LoadPicture(loaded, name, fileFormat));
  EXPECT_EQ(fileFormat, pf8bit);
  EXPECT_EQ(loaded.PixelFormat(), pf24bit);
  ASSERT_EQ(loaded.Width(), 3);
  ASSERT_EQ(loaded.Height(), 2);
  EXPECT_EQ(loaded.Canvas().Pixel(0, 0), clRed);
  EXPECT_EQ(loaded.Canvas().Pixel(1, 0), clLime);
  EXPECT_EQ(loaded.Canvas().Pixel(0, 1), clLime);
  EXPECT_EQ(loaded.Canvas().Pixel(2, 1), clRed);
}

TEST_F(WorkingBitmapTest, UnloadablePicturesFailAndLeaveTheEmptyState) {
  auto bitmap = Pattern(4, 4);
  EXPECT_FALSE(LoadPicture(*bitmap, temp.File("missing.jpg")));
  EXPECT_TRUE(IsEmptyState(*bitmap));

  bitmap = Pattern(4, 4);
  WriteWholeFile(temp.File("notes.txt"), {'h', 'i'});
  EXPECT_FALSE(LoadPicture(*bitmap, temp.File("notes.txt")));
  EXPECT_TRUE(IsEmptyState(*bitmap));

  // A damaged file of a registered format fails without touching the target.
  bitmap = Pattern(4, 4);
  WriteWholeFile(temp.File("broken.bmp"), {'B', 'M', 1, 2, 3});
  EXPECT_FALSE(LoadPicture(*bitmap, temp.File("broken.bmp")));
  EXPECT_EQ(bitmap->Width(), 4);
}

TEST_F(WorkingBitmapTest, JpegSaveLoadsBackCloseToTheOriginal) {
  TBitmap gradient;
  gradient.SetPixelFormat(pf24bit);
  gradient.SetSize(64, 48);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      uint8_t* p = gradient.ScanLine(y) + x * 3;
      p[0] = static_cast<uint8_t>(x * 4);
      p[1] = static_cast<uint8_t>(y * 5);
      p[2] = 128;
    }
  std::string name = temp.File("g.jpg");
  ASSERT_TRUE(SavePicture(gradient, name, "", pf24bit));
  TBitmap loaded;
  ASSERT_TRUE(LoadPicture(loaded, name));
  ASSERT_EQ(loaded.Width(), 64);
  ASSERT_EQ(loaded.Height(), 48);
  int worst = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64 * 3; ++x)
      worst = std::max(worst, std::abs(loaded.ScanLine(y)[x] - gradient.ScanLine(y)[x]));
  EXPECT_LE(worst, 12) << "quality 90 keeps a smooth gradient close";
}

TEST_F(WorkingBitmapTest, FailedWritesAreReportedAsTheirPathSays) {
  auto bitmap = Pattern(2, 2);
  std::string direct = temp.File("no/such/folder/x.bmp");
  EXPECT_THROW(SavePicture(*bitmap, direct, "", pf24bit), EFCreateError) << "same format: not guarded";
  std::string converted = temp.File("no/such/folder/y.bmp");
  EXPECT_FALSE(SavePicture(*bitmap, converted, "", pf32bit));
  std::string jpeg = temp.File("no/such/folder/z.jpg");
  EXPECT_FALSE(SavePicture(*bitmap, jpeg, "", pf24bit));
}

TEST_F(WorkingBitmapTest, ResetAndNewBitmapGiveTheEmptyState) {
  auto bitmap = Pattern(9, 9);
  ResetBitmap(bitmap.get());
  EXPECT_TRUE(IsEmptyState(*bitmap));
  ResetBitmap(nullptr);

  std::unique_ptr<TBitmap> variable = Pattern(3, 3);
  ASSERT_TRUE(NewBitmap(variable));
  ASSERT_TRUE(variable);
  EXPECT_TRUE(IsEmptyState(*variable));

  TBitmap filled;
  filled.SetPixelFormat(pf24bit);
  filled.SetSize(3, 2);
  FillBitmap(filled, clBlue);
  EXPECT_EQ(filled.Canvas().Pixel(2, 1), clBlue);
}

}  // namespace
