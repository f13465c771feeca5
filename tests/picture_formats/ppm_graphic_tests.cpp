#include "picture_formats/ppm_graphic.h"

#include <gtest/gtest.h>

#include "tests/picture_formats/reader_test_support.h"

namespace {

const std::string kSixel = "/usr/share/doc/libsixel-examples/examples/images/";

// The characters of a literal, NUL bytes included.
template <size_t N>
Bytes Text(const char (&text)[N]) {
  return Bytes(text, text + N - 1);
}
Bytes Colors(const Bytes& file) {
  return PixelColors(*LoadBytes<TPPMGraphic>(file));
}
std::string Refusal(const Bytes& file) {
  return RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TPPMGraphic>(file); });
}

// Files written by netpbm, against netpbm's own decoding (tests/data/pnm/make.sh).
TEST(PortableMapFiles, EveryKindAndDepthMatchesNetpbm) {
  const std::pair<const char*, TPixelFormat> samples[] = {
      {"p6.ppm", pf24bit},      {"p3.ppm", pf24bit}, {"p6-16.ppm", pf24bit}, {"p6-1000.ppm", pf24bit},
      {"p3-4095.ppm", pf24bit}, {"p5.pgm", pf8bit},  {"p2.pgm", pf8bit},     {"p5-100.pgm", pf8bit},
      {"p4.pbm", pf1bit},       {"p1.pbm", pf1bit}};
  for (const auto& [name, format] : samples) {
    SCOPED_TRACE(name);
    const std::string file = std::string("pnm/") + name;
    const auto picture = LoadBytes<TPPMGraphic>(Sample(file));
    EXPECT_EQ(picture->PixelFormat(), format);
    EXPECT_EQ(PixelColors(*picture), Sample(file.substr(0, file.find('.')) + ".rgb"));
  }
  // Gray maps get an ascending gray palette, bitmaps white for 0 and black for 1.
  EXPECT_EQ(LoadBytes<TPPMGraphic>(Sample("pnm/p5.pgm"))->ColorTable()[200],
            (TPaletteEntry{200, 200, 200, 0}));
  const auto bits = LoadBytes<TPPMGraphic>(Sample("pnm/p4.pbm"));
  EXPECT_EQ(bits->ColorTable()[0], (TPaletteEntry{255, 255, 255, 0}));
  EXPECT_EQ(bits->ColorTable()[1], (TPaletteEntry{0, 0, 0, 0}));
}

// libsixel's snake in all six kinds: its plain bitmap writes the digits without spaces, and its
// pixel map is the picture of the package's BMP.
TEST(PortableMapFiles, TextAndBinaryFormsOfOnePictureAgree) {
  const auto load = [](const std::string& name) {
    TPPMGraphic picture;
    picture.LoadFromFile(kSixel + name);
    return PixelColors(picture);
  };
  TBitmap reference;
  reference.LoadFromFile(kSixel + "snake.bmp");
  EXPECT_EQ(load("snake.ppm"), PixelColors(reference));
  EXPECT_EQ(load("snake-ascii.ppm"), PixelColors(reference));
  EXPECT_EQ(load("snake-ascii.pgm"), load("snake.pgm"));
  EXPECT_EQ(load("snake-ascii.pbm"), load("snake.pbm"));
}

TEST(PortableMapHeader, NumbersMayShareTheMagicLineAndCommentsMayStandAnywhere) {
  const Bytes expected{10, 20, 30, 40, 50, 60};
  EXPECT_EQ(Colors(Text("P6 2 1 255\n\x0a\x14\x1e\x28\x32\x3c")), expected);
  EXPECT_EQ(Colors(Text("P6\r\n# one\r\n# two\r\n2 # width\r\n1\r\n255\n\x0a\x14\x1e\x28\x32\x3c")),
            expected);
  // A text map need not end with a line break.
  EXPECT_EQ(Colors(Text("P3 2 1 255 10 20 30 40 50 60")), expected);
  // Plain bitmap digits with or without blanks between them; 1 is black.
  const Bytes blackWhiteBlack{0, 0, 0, 255, 255, 255, 0, 0, 0};
  EXPECT_EQ(Colors(Text("P1\n3 1\n101")), blackWhiteBlack);
  EXPECT_EQ(Colors(Text("P1\n3 1\n1 0\n1\n")), blackWhiteBlack);
  // Ten pixels fill two bytes a row, the second in its top bits.
  const auto ten = LoadBytes<TPPMGraphic>(Text("P1 10 1 1100000011"));
  EXPECT_EQ(ten->ScanLine(0)[1], 0xC0);
  // 16-bit samples are big-endian and scaled by the maximum.
  EXPECT_EQ(Colors(Text("P5 2 1 300\n\x01\x2c\x00\x96")), (Bytes{255, 255, 255, 128, 128, 128}));
}

TEST(PortableMapHeader, ProbeAndRefusals) {
  EXPECT_TRUE(ProbeBytes<TPPMGraphic>(Text("P5 1 1 255\n\x01")));
  EXPECT_FALSE(ProbeBytes<TPPMGraphic>(Text("P5 1 1 255")));  // exactly 10 bytes
  EXPECT_FALSE(ProbeBytes<TPPMGraphic>(Text("P7 1 1 255\n\x01")));

  const std::string invalid = "Cannot load image. Invalid or unexpected PBM, PGM or PPM image format.";
  for (const Bytes& file :
       {Text("P5 1 1 0\n\x01"), Text("P5 1 1 65536\n\x01\x01"), Text("Q5 1 1 255\n\x01"),
        Text("P8 1 1 255\n\x01"), Text("P5 0 3 255\n\x01"), Text("P4 3 0\n\x01"), Sample("pnm/p7.pam")})
    EXPECT_EQ(Refusal(file), invalid);

  // Data that end early, found before the bitmap is made or where the text stops, also after the
  // first block read.
  std::string longText = "P2 3000 1 255\n";
  for (int i = 0; i < 2000; ++i) longText += "  7";
  for (const Bytes& file :
       {Text("P6 2 1 255\n\x01\x02\x03\x04\x05"), Text("P5 1 1 65535\n\x01"), Text("P2 2 2 255 1 2 3"),
        Text("P1 3 2 101 00"), Text("P6 60000 60000 255\n\x01"), Text("P1\n# no line end"),
        Text("P2 2 2 255 1 2 3 #\n"), Bytes(longText.begin(), longText.end())})
    EXPECT_EQ(Refusal(file), "Stream read error in PPM file.") << std::string(file.begin(), file.end());

  EXPECT_THROW(LoadBytes<TPPMGraphic>(Text("P2 1 1 255 256")), ERangeError);
  EXPECT_THROW(LoadBytes<TPPMGraphic>(Text("P5 2 1 99\n\x10\x64")), ERangeError);
  EXPECT_THROW(LoadBytes<TPPMGraphic>(Text("P2 1 1 4294967296 1")), EIntOverflow);
}

}  // namespace
