#include "picture_formats/format_list.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "picture_formats/targa_graphic.h"
#include "picture_formats/tiff_graphic.h"
#include "tests/picture_formats/picture_test_support.h"
#include "toolkit/core/lists.h"
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
  // The description of the extension's latest toolkit entry, the one loading by file name uses.
  static std::string ToolkitDescription(const std::string& extension) {
    const auto& formats = TPicture::RegisteredFormats();
    for (auto e = formats.rbegin(); e != formats.rend(); ++e)
      if (e->Extension == extension) return e->Description;
    return "<absent>";
  }
};

TEST_F(FormatListTest, StartUpRegistersTheFortyTwoExtensionsInOrder) {
  EXPECT_EQ(List().FindExtension("JPG"), 5);
  EXPECT_EQ(List().FindExtension("Jpg"), 5);
  EXPECT_EQ(List().FindExtension(".jpg"), -1);
  EXPECT_EQ(List().FindExtension(""), -1);

  TStringList list;
  list.Add("left over");
  List().GetExtensionList(list);
  std::string extensions;
  for (int i = 0; i < list.Count(); ++i) extensions += list.Strings(i) + " ";
  EXPECT_EQ(extensions,
            "bmp ico wmf emf jfif jpg jpe jpeg jps thm rle dib win vst vda tga icb tiff tif fax eps "
            "pcx pcc scr rpf rla sgi rgba rgb bw psd pdd ppm pgm pbm cel pic pcd gif cut psp png ");
  EXPECT_EQ(TPicture::RegisteredFormats().size(), 42u);
  EXPECT_EQ(List().Classes().size(), 18u);
  // The toolkit gets the individual description when there is one.
  EXPECT_EQ(ToolkitDescription("emf"), "Windows enhanced meta files");
  EXPECT_EQ(ToolkitDescription("jps"), "JPEG images");
  EXPECT_EQ(List().Classes()[3]->CommonDescription, "JPG images");
}

TEST_F(FormatListTest, RegisteringTwiceRaisesAndEmptyNamesRegisterNothing) {
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>(
                [&] { List().RegisterFileFormat("BMP", "x", "y", 8, false, TTestGraphic::StaticClass()); }),
            "Attempt to register BMP twice.");
  EXPECT_EQ(List().Extensions().size(), 42u);
  List().RegisterFileFormat("", "desc", "", 8, false, TTestGraphic::StaticClass());
  EXPECT_EQ(List().FindGraphicClass(TTestGraphic::StaticClass()), -1);
  EXPECT_EQ(ToolkitEntriesOf(TTestGraphic::StaticClass()), 0u);

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
  // Replacing the only extension of a class drops its class entry.
  List().RegisterFileFormat("tga", "", "", 8, true, TTargaGraphic::StaticClass());
  EXPECT_EQ(List().FindGraphicClass(TTestGraphic::StaticClass()), -1);
  EXPECT_EQ(List().Classes()[4]->ExtensionCount, 5u);
  // Replacing does not withdraw the toolkit's entry of the class it left.
  TPicture::UnregisterGraphicClass(TTestGraphic::StaticClass());
}

TEST_F(FormatListTest, UnregisteringByExtensionAndByClass) {
  List().UnregisterFileFormat("rle", TBitmap::StaticClass());
  EXPECT_EQ(List().Classes()[0]->ExtensionCount, 2u);
  EXPECT_EQ(ToolkitEntriesOf(TBitmap::StaticClass()), 3u)
      << "the toolkit keeps the entry while the class stays";
  List().UnregisterFileFormat("bmp", TBitmap::StaticClass());
  List().UnregisterFileFormat("dib", TBitmap::StaticClass());
  EXPECT_EQ(ToolkitEntriesOf(TBitmap::StaticClass()), 0u);
  EXPECT_EQ(List().FindGraphicClass(TBitmap::StaticClass()), -1);
  List().UnregisterFileFormat("nothing", TBitmap::StaticClass());  // absent: no error
  EXPECT_EQ(List().Extensions().size(), 39u);

  List().UnregisterFileFormat("", TTIFFGraphic::StaticClass());
  for (const char* gone : {"tiff", "tif", "fax"}) EXPECT_EQ(List().FindExtension(gone), -1) << gone;
  EXPECT_NE(List().FindExtension("eps"), -1);
  EXPECT_EQ(ToolkitEntriesOf(TTIFFGraphic::StaticClass()), 0u);
  EXPECT_THROW(List().UnregisterFileFormat("", TTIFFGraphic::StaticClass()), EListError);
  EXPECT_EQ(List().Classes().size(), 16u);
  // Shut-down unregisters the class by name again, which needs an entry.
  List().RegisterFileFormat("tif", "", "", 12, false, TTIFFGraphic::StaticClass());
}

}  // namespace
