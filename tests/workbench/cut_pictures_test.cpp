// LoadPicture on a frame cut short, as a full card or an interrupted copy leaves it: for every reader
// of the picture-format library and the BMP reader, the whole file loads (with exactly its reference
// colours where it has one), and its cut or pixel-less twin fails the load (refused, or kept by its
// reader but flagged as ended early), so a run counts it and leaves it out rather than merge a part
// picture.

#include <gtest/gtest.h>

#include "picture_formats/format_list.h"
#include "tests/picture_formats/reader_test_support.h"
#include "workbench/working_bitmap.h"

namespace {

struct TCutCase {
  const char* Extension;
  std::string File;       // below tests/data
  std::string Reference;  // below tests/data: raw R G B (".rgb") or a portable map
};

Bytes ReferenceColors(const std::string& reference) {
  return reference.ends_with(".rgb") ? Sample(reference) : ReadPNMReference(reference).Colors;
}

class CutPicturesTest : public testing::Test {
 protected:
  void SetUp() override { InitializePictureFormats(); }
  void TearDown() override { FinalizePictureFormats(); }

  TempDir temp;
};

TEST_F(CutPicturesTest, WholeFilesLoadExactlyAndTheirCutTwinsFail) {
  const TCutCase cases[] = {
      {"tga", "targa/rgb24.tga", "targa/rgb24.rgb"},
      {"tga", "targa/rgb24_rle.tga", "targa/rgb24.rgb"},
      {"pcx", "pcx/rgb24.pcx", "pcx/source.rgb"},
      {"pcx", "pcx/im_rgb24_raw.pcx", "pcx/source.rgb"},
      {"sgi", "sgi/rgb_rle.sgi", "sgi/source.rgb"},
      {"rgb", "sgi/rgb_raw.sgi", "sgi/source.rgb"},
      {"psd", "psd/rgb_rle.psd", "psd/source.rgb"},
      {"psd", "psd/gray_raw.psd", "psd/source.rgb"},
      {"psp", "psp/rgb_rle_v5.psp", "psp/source.rgb"},
      {"psp", "psp/rgb_lz77_v3.psp", "psp/source.rgb"},
      {"rla", "rla/rgb.rla", "rla/rgb.rgb"},
      {"ppm", "pnm/p6.ppm", "pnm/p6.rgb"},
      {"pgm", "pnm/p2.pgm", "pnm/p2.rgb"},
      {"cel", "autodesk/picture.cel", "autodesk/picture.rgb"},
      {"png", "png/pictures/rgb.png", "png/pictures/rgb.rgb"},
      {"png", "png/pictures/indexed_i.png", "png/pictures/sixteen.rgb"},
      {"bmp", "bmp/rle8-delta.bmp", "bmp/rle8-delta.ppm"},
      {"bmp", "bmp/rle4-delta.bmp", "bmp/rle4-delta.ppm"},
  };
  for (const TCutCase& c : cases) {
    SCOPED_TRACE(c.File);
    const Bytes file = Sample(c.File);
    const std::string name = temp.File(std::string("whole.") + c.Extension);
    WriteWholeFile(name, file);
    TBitmap bitmap;
    ASSERT_TRUE(LoadPicture(bitmap, name));
    const std::string reference = c.Reference;
    if (c.File.find("gray_raw") != std::string::npos) {
      // The gray picture's reference is its source's gray levels.
      Bytes levels;
      for (const uint8_t level : Sample("psd/gray.gray")) levels.insert(levels.end(), 3, level);
      EXPECT_EQ(PixelColors(bitmap), levels);
    } else {
      EXPECT_EQ(PixelColors(bitmap), ReferenceColors(reference));
    }
    // Cut inside its pixel data, a quarter from the end.
    const std::string cutName = temp.File(std::string("cut.") + c.Extension);
    WriteWholeFile(cutName, Bytes(file.begin(), file.end() - static_cast<long>(file.size() / 4)));
    EXPECT_FALSE(LoadPicture(bitmap, cutName));
  }
}

TEST_F(CutPicturesTest, TheDrHaloAndPhotoCDReadersFailCutFilesToo) {
  // Dr. Halo: the picture with its palette file beside it.
  const Bytes cut = Sample("cut/picture.cut");
  WriteWholeFile(temp.File("p.pal"), Sample("cut/picture.pal"));
  WriteWholeFile(temp.File("p.cut"), cut);
  TBitmap bitmap;
  ASSERT_TRUE(LoadPicture(bitmap, temp.File("p.cut")));
  EXPECT_EQ(PixelColors(bitmap), Sample("cut/picture.rgb"));
  WriteWholeFile(temp.File("p.cut"), Bytes(cut.begin(), cut.end() - static_cast<long>(cut.size() / 4)));
  EXPECT_FALSE(LoadPicture(bitmap, temp.File("p.cut")));
  // Photo-CD: a pack cut inside its base image.
  const Bytes pack = Sample("pcd/landscape.pcd.gz");
  WriteWholeFile(temp.File("p.pcd"), pack);
  ASSERT_TRUE(LoadPicture(bitmap, temp.File("p.pcd")));
  EXPECT_EQ(bitmap.Width(), 768);
  WriteWholeFile(temp.File("p.pcd"), Bytes(pack.begin(), pack.begin() + 96 * 2048 + 5000));
  EXPECT_FALSE(LoadPicture(bitmap, temp.File("p.pcd")));
}

TEST_F(CutPicturesTest, CompleteTIFFEPSAndGIFFilesLoadAndTheirCutOrEmptyTwinsFail) {
  const auto loads = [](const std::string& relativePath) {
    TBitmap bitmap;
    return LoadPicture(bitmap, TestData(relativePath));
  };
  for (const char* whole : {"tiff/rgb-lzw.tif", "tiff/rgb-none.tif", "tiff/rgb-packbits.tif",
                            "tiff/rgb-zip-pred.tif", "tiff/fax-g3.tif", "tiffjpeg/rgb.tif", "tiff/pal3.eps",
                            "gif/p87.gif", "gif/notrailer.gif", "gif/extension.gif"})
    EXPECT_TRUE(loads(whole)) << whole;
  for (const char* damaged :
       {"tiff/rgb-lzw-short.tif", "tiff/rgb-none-short.tif", "tiff/rgb-packbits-short.tif",
        "tiff/rgb-zip-short.tif", "tiff/fax-g3-short.tif", "tiff/jpeg-short.tif", "tiff/rgb-none-fewer.tif",
        "tiff/rgb-none-nodata.tif", "tiff/rgb-lzw-cut.tif", "tiff/empty.tif", "gif/cut.gif",
        "gif/noimage.gif"})
    EXPECT_FALSE(loads(damaged)) << damaged;
}

}  // namespace
