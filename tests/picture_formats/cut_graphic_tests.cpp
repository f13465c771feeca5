#include "picture_formats/cut_graphic.h"

#include <gtest/gtest.h>

#include "picture_formats/decoder.h"
#include "tests/picture_formats/reader_test_support.h"

namespace {

Bytes LoadFile(const std::string& fileName) {
  TCUTGraphic picture;
  picture.LoadFromFile(fileName);
  return PixelColors(picture);
}

// The indices as gray levels: what a picture without its palette shows.
Bytes GrayColors() {
  Bytes colors;
  for (uint8_t index : Sample("cut/gray.gray")) colors.insert(colors.end(), 3, index);
  return colors;
}

// Files written after the format's description by tests/data/cut/make.py; ImageMagick's CUT reader
// gives the same colours for picture.cut with picture.pal.
TEST(CUTFiles, ThePaletteFileBesideThePictureGivesTheColours) {
  EXPECT_EQ(LoadFile(TestData("cut/picture.cut")), Sample("cut/picture.rgb"));
  // Without a palette file (or loaded from a stream alone) the indices show as gray levels.
  EXPECT_EQ(LoadFile(TestData("cut/gray.cut")), GrayColors());
  EXPECT_EQ(PixelColors(*LoadBytes<TCUTGraphic>(Sample("cut/picture.cut"))), GrayColors());
  EXPECT_FALSE(ProbeBytes<TCUTGraphic>(Sample("cut/picture.cut")));

  // Names from DOS: the palette is found with its extension in capitals too.
  TempDir folder;
  WriteWholeFile(folder.File("SCAN.CUT"), Sample("cut/picture.cut"));
  WriteWholeFile(folder.File("SCAN.PAL"), Sample("cut/picture.pal"));
  WriteWholeFile(folder.File("other.cut"), Sample("cut/picture.cut"));
  WriteWholeFile(folder.File("other.PAL"), Sample("cut/picture.pal"));
  EXPECT_EQ(LoadFile(folder.File("SCAN.CUT")), Sample("cut/picture.rgb"));
  EXPECT_EQ(LoadFile(folder.File("other.cut")), Sample("cut/picture.rgb"));
}

TEST(CUTFiles, DamagedPicturesAndPalettesRaiseCleanly) {
  TempDir folder;
  const std::string picture = folder.File("p.cut");
  WriteWholeFile(picture, Sample("cut/picture.cut"));
  const Bytes palette = Sample("cut/picture.pal");
  const auto withPalette = [&](const Bytes& bytes) {
    WriteWholeFile(folder.File("p.pal"), bytes);
    return LoadFile(picture);
  };
  // Loaded by file name, every failure is said in the library's words, naming the format.
  const std::string invalid = "Cannot load image. Invalid or unexpected CUT image format.";
  Bytes bright = palette;
  bright[40 + 6 * 3 + 1] = 1;  // green of entry 3 above 255
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { withPalette(bright); }), invalid);
  Bytes tooMany = palette;
  tooMany[12] = 0;
  tooMany[13] = 1;  // highest index 256
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { withPalette(tooMany); }), invalid);
  for (const long size : {511, 1024})
    EXPECT_EQ(
        RaisedMessage<EInvalidGraphic>([&] { withPalette(Bytes(palette.begin(), palette.begin() + size)); }),
        "Stream read error in CUT file.");

  // 2 x 2: rows carried on from one another; a row that unpacks past the width; rows missing.
  const auto load = [](const Bytes& bytes) { return PixelColors(*LoadBytes<TCUTGraphic>(bytes)); };
  EXPECT_EQ(load({2, 0, 2, 0, 0, 0, 4, 0, 0x82, 9, 0, 5, 0, 2, 7, 8, 0}),
            (Bytes{9, 9, 9, 9, 9, 9, 7, 7, 7, 8, 8, 8}));
  EXPECT_THROW(load({1, 0, 1, 0, 0, 0, 4, 0, 0x83, 9, 0}), EGraphicCompression);
  // Packed data that end early leave black rows, and the picture says so.
  const auto cut = LoadBytes<TCUTGraphic>({2, 0, 3, 0, 0, 0, 4, 0, 0x82, 9, 0, 5, 0, 2, 7, 8});
  EXPECT_TRUE(cut->DataEndedEarly());
  EXPECT_EQ(PixelColors(*cut), (Bytes{9, 9, 9, 9, 9, 9, 7, 7, 7, 8, 8, 8, 0, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(LoadBytes<TCUTGraphic>({1, 0, 1, 0, 0, 0, 3, 0, 0x81, 9, 0})->DataEndedEarly());
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] {
              load({2, 0, 9, 0, 0, 0, 4, 0, 0x82, 9, 0});
            }),
            "Stream read error in CUT file.");
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] {
              load({0, 0, 2, 0, 0, 0, 2, 0, 0, 2, 0, 0});
            }),
            "Cannot load image. Invalid or unexpected CUT image format.");
  EXPECT_THROW(load({2, 0}), EReadError);
}

}  // namespace
