#include "picture_formats/format_list.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "picture_formats/jpeg_image.h"
#include "picture_formats/pending_readers.h"
#include "picture_formats/targa_graphic.h"
#include "picture_formats/png_graphic.h"
#include "toolkit/core/lists.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/icon.h"
#include "toolkit/graphics/metafile.h"
#include "toolkit/graphics/picture.h"

namespace {

class TTestGraphic : public TBitmap {
  ORVANTA_GRAPHIC_CLASS(TTestGraphic, TBitmap)
};

// Every test starts from the library's start-up state and ends with its shut-down.
class FormatListTest : public testing::Test {
 protected:
  void SetUp() override { InitializePictureFormats(); }
  void TearDown() override {
    FinalizePictureFormats();
    EXPECT_TRUE(TPicture::RegisteredFormats().empty()) << "shut-down left toolkit registrations";
  }

  TFileFormatList& List() { return *FileFormatList; }

  static size_t ToolkitEntriesOf(TGraphicClass graphicClass) {
    const auto& formats = TPicture::RegisteredFormats();
    return static_cast<size_t>(std::count_if(formats.begin(), formats.end(), [&](const TFileFormatEntry& e) {
      return e.GraphicClass == graphicClass;
    }));
  }
  static std::string ToolkitDescription(const std::string& extension) {
    for (const TFileFormatEntry& e : TPicture::RegisteredFormats())
      if (e.Extension == extension) return e.Description;
    return "<absent>";
  }
};

TEST_F(FormatListTest, FindsExtensionsWithoutRegardToCaseAndNeverWithADot) {
  EXPECT_EQ(List().FindExtension("JPG"), 5);
  EXPECT_EQ(List().FindExtension("Jpg"), 5);
  EXPECT_EQ(List().FindExtension("jpg"), 5);
  EXPECT_EQ(List().FindExtension(".jpg"), -1);
  EXPECT_EQ(List().FindExtension(""), -1);
  EXPECT_EQ(List().FindExtension("png"), 41);
  EXPECT_EQ(List().FindGraphicClass(TTestGraphic::StaticClass()), -1);
}

TEST_F(FormatListTest, StartUpRegistersTheFortyTwoExtensionsInOrder) {
  TStringList list;
  list.Add("left over");
  List().GetExtensionList(list);
  const char* expected[] = {"bmp", "ico", "wmf", "emf", "jfif", "jpg", "jpe", "jpeg", "jps", "thm", "rle",
                            "dib", "win", "vst", "vda", "tga", "icb", "tiff", "tif", "fax", "eps", "pcx",
                            "pcc", "scr", "rpf", "rla", "sgi", "rgba", "rgb", "bw", "psd", "pdd", "ppm",
                            "pgm", "pbm", "cel", "pic", "pcd", "gif", "cut", "psp", "png"};
  ASSERT_EQ(list.Count(), 42);
  for (int i = 0; i < 42; ++i) EXPECT_EQ(list.Strings(i), expected[i]) << i;
  EXPECT_EQ(TPicture::RegisteredFormats().size(), 42u);

  // The class list: 18 classes in order of first registration, with their extension counts.
  const std::pair<TGraphicClass, uint32_t> classes[] = {
      {TBitmap::StaticClass(), 3},       {TIcon::StaticClass(), 1},          {TMetafile::StaticClass(), 2},
      {TJPEGImage::StaticClass(), 6},    {TTargaGraphic::StaticClass(), 5},  {TTIFFGraphic::StaticClass(), 3},
      {TEPSGraphic::StaticClass(), 1},   {TPCXGraphic::StaticClass(), 3},    {TRLAGraphic::StaticClass(), 2},
      {TSGIGraphic::StaticClass(), 4},   {TPSDGraphic::StaticClass(), 2},    {TPPMGraphic::StaticClass(), 3},
      {TAutodeskGraphic::StaticClass(), 2}, {TPCDGraphic::StaticClass(), 1}, {TGIFGraphic::StaticClass(), 1},
      {TCUTGraphic::StaticClass(), 1},   {TPSPGraphic::StaticClass(), 1},    {TPNGGraphic::StaticClass(), 1}};
  ASSERT_EQ(List().Classes().size(), 18u);
  for (size_t i = 0; i < 18; ++i) {
    EXPECT_EQ(List().Classes()[i]->PictureClass, classes[i].first) << i;
    EXPECT_EQ(List().Classes()[i]->ExtensionCount, classes[i].second) << i;
  }
}

TEST_F(FormatListTest, ToolkitDescriptionsPreferTheIndividualOne) {
  EXPECT_EQ(ToolkitDescription("emf"), "Windows enhanced meta files");
  EXPECT_EQ(ToolkitDescription("wmf"), "Windows metafiles");
  EXPECT_EQ(ToolkitDescription("vst"), "Truevision images");
  EXPECT_EQ(ToolkitDescription("jps"), "JPEG images");
  EXPECT_EQ(ToolkitDescription("dib"), "Device independant Windows bitmaps");
  // The class keeps the first non-empty common description; "jpg" gave none.
  EXPECT_EQ(List().Classes()[3]->CommonDescription, "JPG images");
}

TEST_F(FormatListTest, RegisteringAPresentExtensionWithoutReplaceRaisesAndChangesNothing) {
  try {
    List().RegisterFileFormat("BMP", "x", "y", 8, false, TTestGraphic::StaticClass());
    FAIL() << "no exception";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Attempt to register BMP twice.");
  }
  EXPECT_EQ(List().Extensions().size(), 42u);
  EXPECT_EQ(List().FindGraphicClass(TTestGraphic::StaticClass()), -1);
  EXPECT_EQ(ToolkitEntriesOf(TTestGraphic::StaticClass()), 0u);
}

TEST_F(FormatListTest, EmptyExtensionRegistersNothingAndEmptyDescriptionsReachTheToolkitEmpty) {
  List().RegisterFileFormat("", "desc", "", 8, false, TTestGraphic::StaticClass());
  EXPECT_EQ(List().FindGraphicClass(TTestGraphic::StaticClass()), -1);

  List().RegisterFileFormat("tst", "", "", 8, false, TTestGraphic::StaticClass());
  EXPECT_EQ(List().FindExtension("TST"), 42);
  EXPECT_EQ(ToolkitDescription("tst"), "");
  List().UnregisterFileFormat("tst", nullptr);
  EXPECT_EQ(ToolkitEntriesOf(TTestGraphic::StaticClass()), 0u);
}

TEST_F(FormatListTest, ReplacingMovesAnExtensionToAnotherClass) {
  List().RegisterFileFormat("tga", "Test pictures", "", 8, true, TTestGraphic::StaticClass());
  const auto& entry = *List().Extensions()[static_cast<size_t>(List().FindExtension("tga"))];
  EXPECT_EQ(entry.ClassEntry->PictureClass, TTestGraphic::StaticClass());
  EXPECT_EQ(List().Classes()[4]->ExtensionCount, 4u);  // Targa keeps its other four
  EXPECT_EQ(ToolkitEntriesOf(TTestGraphic::StaticClass()), 1u);
  EXPECT_EQ(TPicture::RegisteredFormats().back().Description, "Test pictures");

  // Replacing the only extension of a class drops its class entry.
  List().RegisterFileFormat("tga", "", "", 8, true, TTargaGraphic::StaticClass());
  EXPECT_EQ(List().FindGraphicClass(TTestGraphic::StaticClass()), -1);
  EXPECT_EQ(List().Classes().back()->ExtensionCount, 1u);
  EXPECT_EQ(List().Classes()[4]->ExtensionCount, 5u);
  // Replacing does not withdraw the toolkit's entry of the class it left.
  TPicture::UnregisterGraphicClass(TTestGraphic::StaticClass());
}

TEST_F(FormatListTest, UnregisteringExtensionsOneByOneDropsTheClassAtTheLast) {
  List().UnregisterFileFormat("rle", TBitmap::StaticClass());
  EXPECT_EQ(List().Classes()[0]->ExtensionCount, 2u);
  EXPECT_EQ(ToolkitEntriesOf(TBitmap::StaticClass()), 3u) << "the toolkit keeps the entry while the class stays";
  List().UnregisterFileFormat("bmp", TBitmap::StaticClass());
  EXPECT_EQ(ToolkitEntriesOf(TBitmap::StaticClass()), 3u);
  List().UnregisterFileFormat("dib", TBitmap::StaticClass());
  EXPECT_EQ(ToolkitEntriesOf(TBitmap::StaticClass()), 0u);
  EXPECT_EQ(List().FindGraphicClass(TBitmap::StaticClass()), -1);
  List().UnregisterFileFormat("nothing", TBitmap::StaticClass());  // absent: no error
  EXPECT_EQ(List().Extensions().size(), 39u);
}

TEST_F(FormatListTest, UnregisteringByClassRemovesOnlyThatClass) {
  List().UnregisterFileFormat("", TTIFFGraphic::StaticClass());
  EXPECT_EQ(List().FindExtension("tiff"), -1);
  EXPECT_EQ(List().FindExtension("tif"), -1);
  EXPECT_EQ(List().FindExtension("fax"), -1);
  EXPECT_NE(List().FindExtension("eps"), -1);
  EXPECT_EQ(ToolkitEntriesOf(TTIFFGraphic::StaticClass()), 0u);
  EXPECT_EQ(List().Classes().size(), 17u);

  EXPECT_THROW(List().UnregisterFileFormat("", TTIFFGraphic::StaticClass()), EListError);
  EXPECT_EQ(List().Classes().size(), 17u);
  // Shut-down unregisters the class by name again, which needs an entry.
  List().RegisterFileFormat("tif", "", "", 12, false, TTIFFGraphic::StaticClass());
}

TEST_F(FormatListTest, ReadersNotYetWrittenLoadWithAClearError) {
  TPicture picture;
  try {
    picture.LoadFromFile("/nonexistent/folder/x.sgi");
    FAIL() << "no exception";
  } catch (const Exception& e) {
    // The file is opened first; a missing file is a file error, not a format one.
    EXPECT_FALSE(e.Message().empty());
  }
  TMemoryStream empty;
  TSGIGraphic reader;
  try {
    reader.LoadFromStream(empty);
    FAIL() << "no exception";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Cannot load image. Reading this format is not supported for SGI files.");
  }
}

}  // namespace
