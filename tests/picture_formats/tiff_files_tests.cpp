// The TIFF and EPS readers on files written by libtiff, netpbm and ImageMagick (tests/data/tiff/make.sh)
// and on golang-golang-x-image-dev's TIFF set, against the pixels libtiff's tifftopnm decodes.

#include <gtest/gtest.h>

#include <filesystem>

#include "picture_formats/decoder.h"
#include "picture_formats/tiff_graphic.h"
#include "tests/picture_formats/reader_test_support.h"

namespace {

const std::string kGoSet = "/usr/share/gocode/src/golang.org/x/image/testdata/";

template <class G = TTIFFGraphic>
std::unique_ptr<G> LoadTIFF(const std::string& path) {
  return LoadBytes<G>(ReadWholeFile(path));
}

TEST(TIFFFiles, EveryCompressionByteOrderAndDepthMatchesLibtiff) {
  ExpectSamplesMatchReferences<TTIFFGraphic>("tiff", {{"rgb-none.tif", "rgb.ppm", pf24bit},
                                                      {"rgb-lzw.tif", "rgb.ppm", pf24bit},
                                                      {"rgb-lzw-pred.tif", "rgb.ppm", pf24bit},
                                                      {"rgb-zip-pred.tif", "rgb.ppm", pf24bit},
                                                      {"rgb-packbits.tif", "rgb.ppm", pf24bit},
                                                      {"rgb-mm-none.tif", "rgb.ppm", pf24bit},
                                                      {"rgb-mm-lzw-pred.tif", "rgb.ppm", pf24bit},
                                                      {"rgb16-none.tif", "rgb16.ppm", pf24bit},
                                                      {"rgb16-lzw-pred.tif", "rgb16.ppm", pf24bit},
                                                      {"rgb16-mm-none.tif", "rgb16.ppm", pf24bit},
                                                      {"rgb16-mm-zip-pred.tif", "rgb16.ppm", pf24bit},
                                                      {"rgba-lzw.tif", "rgba.ppm", pf32bit}});
}

TEST(TIFFFiles, GrayBilevelAndPalettePicturesMatchLibtiff) {
  ExpectSamplesMatchReferences<TTIFFGraphic>("tiff", {{"gray-lzw-pred.tif", "gray.pgm", pf8bit},
                                                      {"gray-mm-none.tif", "gray.pgm", pf8bit},
                                                      {"gray-minwhite.tif", "gray.pgm", pf8bit},
                                                      {"gray16-lzw-pred.tif", "gray16.pgm", pf8bit},
                                                      {"gray16-mm-zip-pred.tif", "gray16.pgm", pf8bit},
                                                      {"graya-lzw-pred.tif", "gray.pgm", pf8bit},
                                                      {"graya16-zip.tif", "gray16.pgm", pf8bit},
                                                      {"gray4.tif", "gray4.pgm", pf4bit},
                                                      {"gray2.tif", "gray2.pgm", pf4bit},
                                                      {"bw-none.tif", "bw.pbm", pf1bit},
                                                      {"bw-packbits.tif", "bw.pbm", pf1bit},
                                                      {"bw-lzw.tif", "bw.pbm", pf1bit},
                                                      {"pal8-lzw.tif", "pal8.ppm", pf8bit},
                                                      {"pal8-mm-packbits.tif", "pal8.ppm", pf8bit},
                                                      {"pal4-none.tif", "pal4.ppm", pf4bit},
                                                      {"pal2-zip.tif", "pal2.ppm", pf4bit}});
}

TEST(TIFFFiles, FaxFilesMatchTheirSource) {
  // Group 3 with and without byte-aligned end-of-line codes, in reversed bit order, and the modified
  // Huffman rows of the same picture, byte- and word-aligned.
  ExpectSamplesMatchReferences<TTIFFGraphic>("tiff", {{"fax-g3.tif", "fax.pbm", pf1bit},
                                                      {"fax-g3-fill.tif", "fax.pbm", pf1bit},
                                                      {"fax-g3-lsb.tif", "fax.pbm", pf1bit},
                                                      {"fax-mh.tif", "fax.pbm", pf1bit},
                                                      {"fax-mhw.tif", "fax.pbm", pf1bit}});
}

TEST(TIFFFiles, FormulaColorSchemes) {
  // CMYK: the library's formula truncates in 8-bit steps, ImageMagick's reference rounds.
  ExpectSamplesMatchReferences<TTIFFGraphic>(
      "tiff", {{"cmyk-lzw.tif", "cmyk.ppm", pf24bit}, {"cmyk16-none.tif", "cmyk16.ppm", pf24bit}}, 2);
  // CIE L*a*b*: no netpbm tool reads it; the picture must give the colour manager's conversion of the
  // file's own samples (L stored 0..255, a and b signed).
  const auto lab = LoadTIFF(TestData("tiff/lab-none.tif"));
  const Bytes samples = ReadWholeFile(TestData("tiff/lab.raw"));
  TColorManager colors;
  colors.SetSourceColorScheme(scCIELab);
  colors.SetSourceOptions(optLScaled);
  TBitmap expected;
  expected.SetPixelFormat(pf24bit);
  expected.SetSize(41, 27);
  for (int y = 0; y < 27; ++y)
    colors.ConvertRow({std::span<const uint8_t>(samples).subspan(size_t(y) * 41 * 3, 41 * 3)},
                      {expected.ScanLine(y), 41 * 3}, 41, 0xFF);
  EXPECT_EQ(PixelColors(*lab), PixelColors(expected));
  // The white rectangle of the source stays white (its b* is stored as -1).
  const Bytes labColors = PixelColors(*lab);
  for (int i = 0; i < 3; ++i) EXPECT_GE(labColors[3 * (41 * 10 + 30) + i], 250);

  // JPEG data: YCbCr with subsampling and shared tables, RGB, gray, as libjpeg decodes the strips.
  for (const char* name : {"ycbcr", "rgb", "gray"}) {
    SCOPED_TRACE(name);
    const auto jpeg = LoadTIFF(TestData(std::string("tiffjpeg/") + name + ".tif"));
    const Bytes reference = ReadWholeFile(TestData(std::string("tiffjpeg/") + name + ".ref"));
    Bytes colors = PixelColors(*jpeg);
    if (std::string(name) == "gray") {
      Bytes gray;
      for (size_t i = 0; i < colors.size(); i += 3) gray.push_back(colors[i]);
      colors = gray;
    }
    EXPECT_EQ(colors, reference);
  }
}

TEST(TIFFFiles, EPSPreview) {
  const auto eps = LoadTIFF<TEPSGraphic>(TestData("tiff/picture.eps"));
  EXPECT_EQ(PixelColors(*eps), ReadPNMReference("tiff/rgb.ppm").Colors);
  EXPECT_EQ(eps->ImageProperties().Compression, ctLZW);
  TFileStream stream(TestData("tiff/picture.eps"), fmOpenRead);
  EXPECT_TRUE(TEPSGraphic::CanLoad(stream));
  EXPECT_FALSE(TTIFFGraphic::CanLoad(stream));
  EXPECT_EQ(stream.Position(), 0);
}

TEST(TIFFFiles, GoTestSet) {
  ASSERT_TRUE(std::filesystem::is_directory(kGoSet)) << "install golang-golang-x-image-dev (scripts/deps)";
  ExpectSamplesMatchReferences<TTIFFGraphic>(
      "tiff", {{kGoSet + "video-001-uncompressed.tiff", "golang/video-001-uncompressed.pnm.gz", pf24bit},
               {kGoSet + "video-001.tiff", "golang/video-001-uncompressed.pnm.gz", pf24bit},
               {kGoSet + "video-001-strip-64.tiff", "golang/video-001-uncompressed.pnm.gz", pf24bit},
               {kGoSet + "video-001-16bit.tiff", "golang/video-001-uncompressed.pnm.gz", pf24bit},
               {kGoSet + "video-001-gray.tiff", "golang/video-001-gray.pnm.gz", pf8bit},
               {kGoSet + "video-001-gray-16bit.tiff", "golang/video-001-gray.pnm.gz", pf8bit},
               {kGoSet + "video-001-paletted.tiff", "golang/video-001-paletted.pnm.gz", pf8bit},
               {kGoSet + "blue-purple-pink.lzwcompressed.tiff",
                "golang/blue-purple-pink.lzwcompressed.pnm.gz", pf24bit},
               {kGoSet + "bw-uncompressed.tiff", "golang/bw-uncompressed.pnm.gz", pf1bit},
               {kGoSet + "bw-deflate.tiff", "golang/bw-uncompressed.pnm.gz", pf1bit},
               {kGoSet + "bw-packbits.tiff", "golang/bw-uncompressed.pnm.gz", pf1bit},
               {kGoSet + "bw-gopher_ccittGroup3.tiff", "golang/bw-uncompressed.pnm.gz", pf1bit},
               {kGoSet + "no_compress.tiff", "golang/no_compress.pnm.gz", pf32bit},
               {kGoSet + "no_rps.tiff", "golang/no_compress.pnm.gz", pf32bit}});
}

TEST(TIFFFiles, WhatIsNotDecodedIsRefusedByName) {
  const auto message = [](const std::string& path) {
    return RaisedMessage<EInvalidGraphic>([&] { LoadTIFF(path); });
  };
  const auto unsupported = [](const std::string& feature) {
    return "Cannot load image. " + feature + " not supported for TIF/TIFF files.";
  };
  EXPECT_EQ(message(TestData("tiff/tiled.tif")), unsupported("Tiled images are"));
  EXPECT_EQ(message(kGoSet + "video-001-tile-64x64.tiff"), unsupported("Tiled images are"));
  EXPECT_EQ(message(TestData("tiff/planar.tif")), unsupported("Separate color planes are"));
  EXPECT_EQ(message(TestData("tiff/fax-g3-2d.tif")), unsupported("Two-dimensional fax coding is"));
  EXPECT_EQ(message(TestData("tiff/fax-g4.tif")), unsupported("CCITT group 4 fax compression is"));
  // Samples that are not unsigned integers would pass for wrong levels
  // (tests/data/tiff/make_sample_formats.sh).
  EXPECT_EQ(message(TestData("tiff/float16.tif")), unsupported("Floating-point samples are"));
  EXPECT_EQ(message(TestData("tiff/float32.tif")), unsupported("Floating-point samples are"));
  EXPECT_EQ(message(TestData("tiff/signed16.tif")), unsupported("Signed samples are"));
}

// Compressions the reader does not decode, as other programs write them, are refused with the library's
// sentence for an unknown scheme; only CCITT group 4 and old-style JPEG are named. A 16-bit palette's
// colour map (3 x 65536 values) is more than the reader holds, and the picture is refused as invalid
// (tests/data/tiff/make_refused_compressions.sh).
TEST(TIFFFiles, CompressionsNotReadAndSixteenBitPalettesAreRefused) {
  const std::string scheme = "Cannot load image. The compression scheme is not supported for TIF/TIFF files.";
  const std::pair<const char*, std::string> cases[] = {
      {"zstd.tif", scheme},
      {"lzma.tif", scheme},
      {"webp.tif", scheme},
      {"jbig.tif", scheme},
      {"jpeg2000.tif", scheme},
      {"pal16.tif.gz", "Cannot load image. Invalid or unexpected TIF/TIFF image format."},
  };
  for (const auto& [name, message] : cases) {
    const Bytes file = Sample(std::string("tiff/refused/") + name);
    EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TTIFFGraphic>(file); }), message) << name;
  }
}

}  // namespace
