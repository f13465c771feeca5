// The picture registry, TPicture, TGraphic's events and icons.

#include <gtest/gtest.h>

#include "tests/support/test_files.h"
#include "tests/toolkit/graphics/graphics_helpers.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/messages.h"
#include "toolkit/graphics/icon.h"
#include "toolkit/graphics/metafile.h"
#include "toolkit/graphics/picture.h"

namespace {

class TTestBitmapKind : public TBitmap {
  ORVANTA_GRAPHIC_CLASS(TTestBitmapKind, TBitmap)
};

class TTestOtherKind : public TMetafile {
  ORVANTA_GRAPHIC_CLASS(TTestOtherKind, TMetafile)
};

// Every test leaves the process-wide registry as empty as it found it.
class Registry : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TPicture::RegisteredFormats().empty()); }
  void TearDown() override {
    for (TGraphicClass c : {TBitmap::StaticClass(), TIcon::StaticClass(), TTestBitmapKind::StaticClass(),
                            TTestOtherKind::StaticClass(), TMetafile::StaticClass()})
      TPicture::UnregisterGraphicClass(c);
  }
};

}  // namespace

TEST_F(Registry, FiltersMasksAndExtensions) {
  TPicture::RegisterFileFormat("bmp", "Windows bitmaps", TBitmap::StaticClass());
  TPicture::RegisterFileFormat("ico", "Windows icons", TIcon::StaticClass());
  TPicture::RegisterFileFormat("xyz", "", TTestBitmapKind::StaticClass());
  EXPECT_EQ(TPicture::GraphicFilter(TGraphic::StaticClass()),
            "Tous (*.bmp;*.ico;*.xyz)|*.bmp;*.ico;*.xyz|Windows bitmaps (*.bmp)|*.bmp|"
            "Windows icons (*.ico)|*.ico|(*.xyz)|*.xyz");
  EXPECT_EQ(TPicture::GraphicFileMask(TBitmap::StaticClass()), "*.bmp;*.xyz");
  EXPECT_EQ(TPicture::GraphicExtension(TBitmap::StaticClass()), "bmp");
  EXPECT_EQ(TPicture::GraphicExtension(TIcon::StaticClass()), "ico");
  EXPECT_EQ(TPicture::GraphicFilter(TMetafile::StaticClass()), "");
  EXPECT_TRUE(TTestBitmapKind::StaticClass()->InheritsFrom(TGraphic::StaticClass()));
  EXPECT_FALSE(TBitmap::StaticClass()->InheritsFrom(TTestBitmapKind::StaticClass()));
}

TEST_F(Registry, LatestRegistrationWinsAndUnregisteringRemovesAClass) {
  TPicture::RegisterFileFormat("xyz", "Kind A", TTestBitmapKind::StaticClass());
  TPicture::RegisterFileFormat("XYZ", "Kind B", TTestOtherKind::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass("Xyz"), TTestOtherKind::StaticClass());
  EXPECT_EQ(TPicture::GraphicFilter(TGraphic::StaticClass()), "Tous (*.XYZ)|*.XYZ|Kind B (*.XYZ)|*.XYZ");
  TPicture::UnregisterGraphicClass(TTestOtherKind::StaticClass());
  EXPECT_EQ(TPicture::FindGraphicClass("xyz"), TTestBitmapKind::StaticClass());
  TPicture::UnregisterGraphicClass(TBitmap::StaticClass());  // by identity: the derived class stays
  EXPECT_EQ(TPicture::RegisteredFormats().size(), 1u);
  EXPECT_EQ(TPicture::FindGraphicClass(""), nullptr);
}

TEST_F(Registry, LoadFromFilePicksTheClassByExtension) {
  TempDir folder;
  TBitmap bitmap;
  FillPattern(bitmap, pf24bit, 3, 2);
  bitmap.SaveToFile(folder.File("pic.XyZ"));
  TPicture::RegisterFileFormat("xyz", "", TTestBitmapKind::StaticClass());
  TPicture::RegisterFileFormat("bad", "", TBitmap::StaticClass());

  TPicture picture;
  picture.LoadFromFile(folder.File("pic.XyZ"));
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Graphic()->ClassType(), TTestBitmapKind::StaticClass());
  EXPECT_EQ(picture.Width(), 3);

  try {
    picture.LoadFromFile(folder.File("photo.qqq"));
    FAIL() << "an unknown extension must raise";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Extension de fichier image inconnue (.qqq)");
  }
  EXPECT_NE(picture.Graphic(), nullptr) << "the picture keeps what it had";
  EXPECT_THROW(picture.LoadFromFile(folder.File("dir.xyz/noextension")), EInvalidGraphic);

  WriteWholeFile(folder.File("broken.bad"), {'B', 'M', 1, 2, 3});
  EXPECT_THROW(picture.LoadFromFile(folder.File("broken.bad")), Exception);
  EXPECT_EQ(picture.Graphic(), nullptr) << "a failed load leaves no graphic";
  EXPECT_THROW(picture.LoadFromFile(folder.File("missing.bad")), EFOpenError);
  EXPECT_EQ(picture.Bitmap().Width(), 0);
}

TEST(Icon, ImagesAreDrawnWithTheirTransparency) {
  for (const char* name : {"alpha32", "mask4"}) {
    TIcon icon;
    icon.LoadFromFile(TestData(std::string("ico/") + name + ".ico"));
    EXPECT_EQ(icon.Width(), 32) << name;
    TBitmap onWhite;
    onWhite.SetPixelFormat(pf24bit);
    onWhite.SetSize(32, 32);
    onWhite.Canvas().FillRect(Rect(0, 0, 32, 32));
    onWhite.Canvas().Draw(0, 0, icon);
    EXPECT_EQ(MaxDifference(onWhite, Reference(TestData(std::string("ico/") + name + "-on-white.ppm"))), 0)
        << name;
    EXPECT_EQ(onWhite.Canvas().Pixel(0, 0), clWhite) << name;

    TBitmap pixels;
    pixels.Assign(icon);
    EXPECT_EQ(pixels.PixelFormat(), pf32bit);
    EXPECT_EQ(pixels.ScanLine(0)[3], 0) << "transparent corner";
    EXPECT_EQ(pixels.ScanLine(20)[4 * 20 + 3], 255);

    TMemoryStream saved;
    icon.SaveToStream(saved);
    EXPECT_EQ(saved.Size(),
              static_cast<int64_t>(ReadWholeFile(TestData(std::string("ico/") + name + ".ico")).size()));
    EXPECT_THROW(icon.SetWidth(3), EInvalidGraphicOperation);
  }
}

TEST(Icon, PngOnlyAndDamagedIconsRaise) {
  std::vector<uint8_t> png = {0, 0, 1, 0,    1,   0,   16,  16,   0,    0,    1,    0, 32, 0, 16, 0, 0, 0, 22,
                              0, 0, 0, 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0,  0, 0,  0, 0, 0, 0};
  TMemoryStream stream;
  stream.WriteBuffer(png.data(), static_cast<int64_t>(png.size()));
  stream.SetPosition(0);
  TIcon icon;
  try {
    icon.LoadFromStream(stream);
    FAIL() << "a PNG image must raise";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(e.Message().find("PNG"), std::string::npos);
  }
  const std::vector<uint8_t> good = ReadWholeFile(TestData("ico/mask4.ico"));
  for (size_t at = 0; at < 80; ++at)
    for (uint8_t value : {0x00, 0x01, 0x7F, 0xFF}) {
      std::vector<uint8_t> bytes = good;
      bytes[at] = value;
      TMemoryStream damaged;
      damaged.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
      damaged.SetPosition(0);
      try {
        TIcon another;
        another.LoadFromStream(damaged);
      } catch (const Exception&) {
      }
    }
  for (size_t length = 0; length < good.size(); length += 7) {
    TMemoryStream cut;
    cut.WriteBuffer(good.data(), static_cast<int64_t>(length));
    cut.SetPosition(0);
    EXPECT_THROW(icon.LoadFromStream(cut), Exception) << length;
  }
}
