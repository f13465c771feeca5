// The working bitmap: the names SavePicture writes under, and what LoadPicture makes of paletted,
// metafile, missing and damaged files.
#include "workbench/working_bitmap.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "picture_formats/format_list.h"
#include "tests/picture_formats/tiff_test_support.h"
#include "tests/support/test_files.h"
#include "tests/workbench/pixel_test_support.h"
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
  // The extension is looked up as text inside ".BMP.JPG.JPS.JPEG": a part of one counts too, and so
  // does a bare dot (found in the JPEG names first).
  const struct {
    const char* given;
    const char* written;
    bool jpeg;
  } cases[] = {{"photo.JPE", "photo.JPE", true},  {"photo.jps", "photo.jps", true},
               {"photo.bm", "photo.bm", false},   {"photo.png", "photo.bmp", false},
               {"photo", "photo.bmp", false},     {"my.night/photo", "my.night/photo.bmp", false},
               {"photo.B", "photo.B", false},     {"photo.jp", "photo.jp", true},
               {"photo.J", "photo.J", true},      {"photo.", "photo.", true},
               {"photo.bmpx", "photo.bmp", false}};
  auto bitmap = NoisePicture(5, 3, 1);
  std::filesystem::create_directory(temp.Path() / "my.night");
  for (const auto& c : cases) {
    std::string name = temp.File(c.given);
    ASSERT_TRUE(SavePicture(*bitmap, name, "process.bmp", pf24bit)) << c.given;
    EXPECT_EQ(name, temp.File(c.written)) << "the caller learns the name really written";
    EXPECT_EQ(ReadWholeFile(name).at(0), c.jpeg ? 0xFF : 'B') << c.given;
  }
  std::string name;  // an empty name takes the default
  ASSERT_TRUE(SavePicture(*bitmap, name, temp.File("process.bmp"), pf24bit));
  EXPECT_EQ(name, temp.File("process.bmp"));
}

TEST_F(WorkingBitmapTest, PalettedPicturesAndMetafilesLoadAs24BitWithTheirColours) {
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
  EXPECT_EQ(loaded.Canvas().Pixel(1, 0), clLime);
  EXPECT_EQ(loaded.Canvas().Pixel(2, 1), clRed);

  // A metafile is drawn on white into a 24-bit bitmap at its own size.
  ASSERT_TRUE(LoadPicture(loaded, TestData("metafile/shapes.emf"), fileFormat));
  EXPECT_EQ(fileFormat, pf24bit);
  EXPECT_EQ(loaded.PixelFormat(), pf24bit);
  EXPECT_EQ(loaded.Width(), 192);
  EXPECT_EQ(loaded.Canvas().Pixel(0, 0), clWhite);
  EXPECT_EQ(loaded.Canvas().Pixel(35, 30), clRed);
  // One cut after a record is part drawing, part paper, and one asking for far more bitmap memory than
  // its size justifies is refused: no run takes either.
  for (const char* name : {"cut/shapes-cut.emf", "cut/shapes-cut.wmf", "costly/sparse-dib-1000.wmf"})
    EXPECT_FALSE(LoadPicture(loaded, TestData(std::string("metafile/") + name), fileFormat)) << name;
}

TEST_F(WorkingBitmapTest, UnloadablePicturesFail) {
  // A missing file or an unregistered extension is a failure, not a black 1 x 1 success.
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
}

// A picture whose 24-bit working form would need more than 4 GiB is refused with the toolkit's message
// once its reader has loaded it, and the working form is never made: a bilevel deflate TIFF of 48000 x
// 30000 pixels (180 MB as read, 4.3 GB as 24-bit).
TEST_F(WorkingBitmapTest, APictureWhoseWorkingFormPassesFourGiBIsRefused) {
  constexpr uint32_t kWidth = 48000, kHeight = 30000, kRowsPerStrip = 1000;
  const Bytes rows(kWidth / 8 * kRowsPerStrip, 0x0F);  // stripes
  uLongf size = compressBound(static_cast<uLong>(rows.size()));
  Bytes strip(size);
  ASSERT_EQ(compress2(strip.data(), &size, rows.data(), static_cast<uLong>(rows.size()), 9), Z_OK);
  strip.resize(size);
  TTIFFBuilder tiff;
  std::vector<uint32_t> offsets, counts;
  for (uint32_t row = 0; row < kHeight; row += kRowsPerStrip) {
    offsets.push_back(tiff.Data(strip));
    counts.push_back(static_cast<uint32_t>(strip.size()));
  }
  tiff.Long(256, {kWidth}).Long(257, {kHeight}).Short(277, {1}).Short(258, {1}).Short(262, {1});
  tiff.Short(259, {8}).Long(278, {kRowsPerStrip}).Long(273, offsets).Long(279, counts);
  WriteWholeFile(temp.File("huge.tif"), tiff.Build());
  TBitmap bitmap;
  std::string reason;
  EXPECT_FALSE(LoadPicture(bitmap, temp.File("huge.tif"), reason));
  EXPECT_EQ(reason, "Ressources système insuffisantes");
}

}  // namespace
