// The readers as the program reaches them: by file name, through the picture registry the library
// fills at start-up.

#include <gtest/gtest.h>

#include "picture_formats/autodesk_graphic.h"
#include "picture_formats/cut_graphic.h"
#include "picture_formats/format_list.h"
#include "picture_formats/gif_graphic.h"
#include "picture_formats/pcd_graphic.h"
#include "picture_formats/pcx_graphic.h"
#include "picture_formats/ppm_graphic.h"
#include "picture_formats/psd_graphic.h"
#include "picture_formats/psp_graphic.h"
#include "picture_formats/rla_graphic.h"
#include "picture_formats/sgi_graphic.h"
#include "picture_formats/tiff_graphic.h"
#include "tests/picture_formats/reader_test_support.h"
#include "toolkit/graphics/picture.h"

namespace {

TEST(RegisteredReaders, EveryExtensionLoadsItsSampleByName) {
  InitializePictureFormats();
  TempDir folder;
  const struct {
    const char* Extension;
    const char* Sample;
    TGraphicClass Class;
    int Width;
  } rows[] = {{"tif", "tiff/rgb-lzw.tif", TTIFFGraphic::StaticClass(), 41},
              {"TIFF", "tiff/gray16-lzw-pred.tif", TTIFFGraphic::StaticClass(), 41},
              {"fax", "tiff/fax-g3.tif", TTIFFGraphic::StaticClass(), 2600},
              {"eps", "tiff/picture.eps", TEPSGraphic::StaticClass(), 41},
              {"gif", "gif/four.gif", TGIFGraphic::StaticClass(), 61},
              {"pcx", "pcx/im_rgb24.pcx", TPCXGraphic::StaticClass(), 37},
              {"PCC", "pcx/planes4.pcx", TPCXGraphic::StaticClass(), 37},
              {"scr", "pcx/mono.pcx", TPCXGraphic::StaticClass(), 37},
              {"sgi", "sgi/rgb_rle.sgi", TSGIGraphic::StaticClass(), 37},
              {"rgba", "sgi/im_rgba_rle.sgi", TSGIGraphic::StaticClass(), 37},
              {"rgb", "sgi/rgb_raw.sgi", TSGIGraphic::StaticClass(), 37},
              {"bw", "sgi/gray_rle.bw", TSGIGraphic::StaticClass(), 37},
              {"psd", "psd/cmyk_rle.psd", TPSDGraphic::StaticClass(), 37},
              {"pdd", "psd/rgb_rle.psd", TPSDGraphic::StaticClass(), 37},
              {"psp", "psp/rgb_rle_v5.psp", TPSPGraphic::StaticClass(), 37},
              {"ppm", "pnm/p6.ppm", TPPMGraphic::StaticClass(), 37},
              {"pgm", "pnm/p2.pgm", TPPMGraphic::StaticClass(), 37},
              {"pbm", "pnm/p4.pbm", TPPMGraphic::StaticClass(), 37},
              {"rla", "rla/rgb.rla", TRLAGraphic::StaticClass(), 37},
              {"rpf", "rla/rgb.rla", TRLAGraphic::StaticClass(), 37},
              {"cel", "autodesk/picture.cel", TAutodeskGraphic::StaticClass(), 37},
              {"pic", "autodesk/picture.cel", TAutodeskGraphic::StaticClass(), 37},
              {"cut", "cut/picture.cut", TCUTGraphic::StaticClass(), 37},
              {"pcd", "pcd/landscape.pcd.gz", TPCDGraphic::StaticClass(), 768}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Extension);
    const std::string name = folder.File(std::string("a.") + row.Extension);
    WriteWholeFile(name, Sample(row.Sample));
    TPicture picture;
    picture.LoadFromFile(name);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Graphic()->ClassType(), row.Class);
    EXPECT_EQ(picture.Width(), row.Width);
  }
  // The CUT picture's colours come from the palette file beside it.
  WriteWholeFile(folder.File("a.pal"), Sample("cut/picture.pal"));
  TPicture cut;
  cut.LoadFromFile(folder.File("a.cut"));
  EXPECT_EQ(PixelColors(dynamic_cast<const TBitmap&>(*cut.Graphic())), Sample("cut/picture.rgb"));
  FinalizePictureFormats();
}

}  // namespace
