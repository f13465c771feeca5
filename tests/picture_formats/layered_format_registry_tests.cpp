// The PCX, SGI, Photoshop and Paint Shop Pro readers as the program reaches them: through the picture
// registry, by the file's extension.
#include <gtest/gtest.h>

#include "picture_formats/format_list.h"
#include "picture_formats/pcx_graphic.h"
#include "picture_formats/psd_graphic.h"
#include "picture_formats/psp_graphic.h"
#include "picture_formats/sgi_graphic.h"
#include "tests/picture_formats/picture_test_support.h"
#include "tests/support/test_files.h"
#include "toolkit/graphics/picture.h"

namespace {

class LayeredFormatRegistry : public testing::Test {
 protected:
  void SetUp() override { InitializePictureFormats(); }
  void TearDown() override { FinalizePictureFormats(); }
};

TEST_F(LayeredFormatRegistry, EveryExtensionLoadsItsReader) {
  TempDir temp;
  const struct {
    const char* Extension;
    const char* Sample;
    TGraphicClass Class;
  } rows[] = {
      {"pcx", "pcx/im_rgb24.pcx", TPCXGraphic::StaticClass()},
      {"PCC", "pcx/planes4.pcx", TPCXGraphic::StaticClass()},
      {"scr", "pcx/mono.pcx", TPCXGraphic::StaticClass()},
      {"sgi", "sgi/rgb_rle.sgi", TSGIGraphic::StaticClass()},
      {"rgba", "sgi/im_rgba_rle.sgi", TSGIGraphic::StaticClass()},
      {"rgb", "sgi/rgb_raw.sgi", TSGIGraphic::StaticClass()},
      {"bw", "sgi/gray_rle.bw", TSGIGraphic::StaticClass()},
      {"psd", "psd/cmyk_rle.psd", TPSDGraphic::StaticClass()},
      {"pdd", "psd/rgb_rle.psd", TPSDGraphic::StaticClass()},
      {"psp", "psp/rgb_rle_v5.psp", TPSPGraphic::StaticClass()},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Extension);
    const std::string name = temp.File(std::string("picture.") + row.Extension);
    WriteWholeFile(name, ReadWholeFile(TestData(row.Sample)));
    TPicture picture;
    picture.LoadFromFile(name);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Graphic()->ClassType(), row.Class);
    EXPECT_EQ(picture.Width(), 37);
    EXPECT_EQ(picture.Height(), 23);
  }
}

}  // namespace
