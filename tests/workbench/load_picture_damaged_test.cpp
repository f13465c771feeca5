// LoadPicture on TIFF, EPS and GIF files cut short or without pixels: such a file is a failed load (a run
// counts it and leaves it out), while its complete twin loads.
#include <gtest/gtest.h>

#include "picture_formats/format_list.h"
#include "tests/support/test_files.h"
#include "workbench/working_bitmap.h"

namespace {

class LoadPictureDamagedTest : public testing::Test {
 protected:
  void SetUp() override { InitializePictureFormats(); }
  void TearDown() override { FinalizePictureFormats(); }

  static bool Loads(const std::string& relativePath) {
    TBitmap bitmap;
    return LoadPicture(bitmap, TestData(relativePath));
  }
};

TEST_F(LoadPictureDamagedTest, CompleteFilesLoadAndTheirCutOrEmptyTwinsFail) {
  for (const char* whole : {"tiff/rgb-lzw.tif", "tiff/rgb-none.tif", "tiff/rgb-packbits.tif",
                            "tiff/rgb-zip-pred.tif", "tiff/fax-g3.tif", "tiffjpeg/rgb.tif", "tiff/pal3.eps",
                            "gif/p87.gif", "gif/notrailer.gif", "gif/extension.gif"})
    EXPECT_TRUE(Loads(whole)) << whole;
  for (const char* damaged :
       {"tiff/rgb-lzw-short.tif", "tiff/rgb-none-short.tif", "tiff/rgb-packbits-short.tif",
        "tiff/rgb-zip-short.tif", "tiff/fax-g3-short.tif", "tiff/jpeg-short.tif", "tiff/rgb-none-fewer.tif",
        "tiff/rgb-none-nodata.tif", "tiff/rgb-lzw-cut.tif", "tiff/empty.tif", "gif/cut.gif",
        "gif/noimage.gif"})
    EXPECT_FALSE(Loads(damaged)) << damaged;
}

}  // namespace
