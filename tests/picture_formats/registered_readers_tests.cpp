// The readers of portable maps, RLA, Photo-CD, Autodesk and Dr. Halo pictures as the workbench reaches
// them: by file name, through the picture registry the library fills at start-up.

#include <gtest/gtest.h>

#include "picture_formats/format_list.h"
#include "tests/picture_formats/reader_test_support.h"
#include "toolkit/graphics/picture.h"

namespace {

TEST(RegisteredReaders, EveryExtensionLoadsItsSampleByName) {
  InitializePictureFormats();
  TempDir folder;
  // The CUT picture's colours come from the palette file beside it.
  WriteWholeFile(folder.File("a.pal"), Sample("cut/picture.pal"));
  for (const auto& [extension, file] : {std::pair{"ppm", "pnm/p6.ppm"},
                                        {"pgm", "pnm/p2.pgm"},
                                        {"pbm", "pnm/p4.pbm"},
                                        {"rla", "rla/rgb.rla"},
                                        {"rpf", "rla/rgb.rla"},
                                        {"cel", "autodesk/picture.cel"},
                                        {"pic", "autodesk/picture.cel"},
                                        {"cut", "cut/picture.cut"}}) {
    SCOPED_TRACE(extension);
    const std::string name = folder.File(std::string("a.") + extension);
    WriteWholeFile(name, Sample(file));
    TPicture picture;
    picture.LoadFromFile(name);
    const std::string reference = file;
    EXPECT_EQ(PixelColors(dynamic_cast<const TBitmap&>(*picture.Graphic())),
              Sample(reference.substr(0, reference.find('.')) + ".rgb"));
  }
  WriteWholeFile(folder.File("a.pcd"), ReadGzipFile(TestData("pcd/landscape.pcd.gz")));
  TPicture photo;
  photo.LoadFromFile(folder.File("a.pcd"));
  EXPECT_EQ(photo.Width(), 768);
  EXPECT_EQ(photo.Height(), 512);
  FinalizePictureFormats();
}

}  // namespace
