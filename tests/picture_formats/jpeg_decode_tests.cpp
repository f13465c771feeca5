// Decoding JPEG files made by other programs, compared with djpeg's (or ImageMagick's) decoding.
#include <gtest/gtest.h>

#include <jerror.h>

#include <filesystem>

#include "picture_formats/jpeg_structure.h"
#include "tests/picture_formats/jpeg_test_support.h"
#include "tests/support/test_files.h"

namespace {

// A file decoded with some options must give exactly the reference picture.
struct TVariant {
  const char* File;
  const char* Reference;
  TPixelFormat Format = pf24bit;
  TJPEGPixelFormat Output = jf24Bit;
  bool Fast = false;
  bool Grey = false;
  bool ProgressiveDisplay = false;
  uint8_t ScaleShift = 0;
};

class JpegReferenceDecoding : public testing::TestWithParam<TVariant> {};

TEST_P(JpegReferenceDecoding, MatchesTheReferenceExactly) {
  const TVariant& variant = GetParam();
  auto picture = LoadJpegSample(variant.File);
  picture->OutputFormat = variant.Output;
  picture->FastMode = variant.Fast;
  picture->Grayscale = variant.Grey;
  picture->ProgressiveDisplay = variant.ProgressiveDisplay;
  picture->ScaleShift = variant.ScaleShift;
  const TRgbPicture expected = ReadPnm(JpegSample(variant.Reference));
  // The size comes from the header (scaled as asked) before anything is decoded.
  EXPECT_EQ(picture->Width(), expected.Width);
  EXPECT_EQ(picture->Height(), expected.Height);
  EXPECT_FALSE(picture->HasBitmap());
  EXPECT_EQ(picture->ProgressiveEncoding, std::string(variant.File) == "progressive.jpg");
  EXPECT_EQ(picture->SharedData().Grayscale, std::string(variant.File) == "gray.jpg");
  const TBitmap& bitmap = picture->GetBitmap();
  EXPECT_EQ(bitmap.PixelFormat(), variant.Format);
  if (variant.Format == pf8bit) {
    // Quantised colour has at most 236 entries; grey has one entry per level.
    const bool grey = std::string(variant.Reference).ends_with(".pgm");
    if (grey)
      EXPECT_EQ(bitmap.ColorTable().size(), 256u);
    else
      EXPECT_LE(bitmap.ColorTable().size(), 236u);
    EXPECT_TRUE(picture->PaletteModified());
  }
  EXPECT_EQ(MaxDifference(BitmapPixels(bitmap), expected), 0);
}

INSTANTIATE_TEST_SUITE_P(
    DjpegOutputs, JpegReferenceDecoding,
    testing::Values(
        TVariant{"baseline.jpg", "baseline.ppm"}, TVariant{"progressive.jpg", "progressive.ppm"},
        TVariant{"odd.jpg", "odd.ppm"},
        // Scaled output: the library's rounded-up size 51 x 26; past an eighth stays an eighth.
        TVariant{.File = "odd.jpg", .Reference = "odd-half.ppm", .ScaleShift = 1},
        TVariant{.File = "odd.jpg", .Reference = "odd-eighth.ppm", .ScaleShift = 200},
        // Fast mode: fast integer DCT (and ordered dither, one pass for 8-bit).
        TVariant{.File = "baseline.jpg", .Reference = "baseline-fast.ppm", .Fast = true},
        TVariant{"baseline.jpg", "baseline-236.ppm", pf8bit, jf8Bit},
        TVariant{"baseline.jpg", "baseline-236-fast.ppm", pf8bit, jf8Bit, true},
        // Grey output keeps all 256 levels, whatever the output format says.
        TVariant{"gray.jpg", "gray.pgm", pf8bit, jf24Bit}, TVariant{"gray.jpg", "gray.pgm", pf8bit, jf8Bit},
        TVariant{.File = "baseline.jpg", .Reference = "baseline-gray.pgm", .Format = pf8bit, .Grey = true},
        // Progressive display ends with a pass of the normal settings.
        TVariant{.File = "progressive.jpg", .Reference = "progressive.ppm", .ProgressiveDisplay = true},
        TVariant{.File = "progressive.jpg",
                 .Reference = "progressive-236.ppm",
                 .Format = pf8bit,
                 .Output = jf8Bit,
                 .ProgressiveDisplay = true}));

TEST(JpegInkFiles, AdobeYcckGivesTrueColourAndNoGrey) {
  auto picture = LoadJpegSample("cmyk.jpg");
  picture->OutputFormat = jf8Bit;  // still true colour
  const TBitmap& bitmap = picture->GetBitmap();
  EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
  // ImageMagick's own reading of its file, and the picture it was made from.
  EXPECT_LE(MaxDifference(BitmapPixels(bitmap), ReadPnm(JpegSample("cmyk.ppm"))), 1);
  EXPECT_LT(MeanDifference(BitmapPixels(bitmap), ReadPnm(JpegSample("src.ppm"))), 3.0);

  auto grey = LoadJpegSample("cmyk.jpg");
  grey->Grayscale = true;
  EXPECT_EQ(
      RaisedMessage<EJPEG>([&] { grey->GetBitmap(); }),
      "JPEG error #" + std::to_string(JERR_CONVERSION_NOTIMPL) + ": Unsupported color conversion request");
  EXPECT_FALSE(grey->HasBitmap());
}

TEST(JpegInkFiles, ConversionFollowsTheAdobeMarker) {
  // ImageMagick writes YCCK under an Adobe marker (transform 2). The same file with transform 0 is
  // Adobe CMYK, and without the marker it is plain CMYK; Adobe inks are stored inverted.
  const Bytes ycck = JpegSampleBytes("cmyk.jpg");
  const long start = FindMarker(ycck, 0xEE), end = SegmentEnd(ycck, 0xEE);
  ASSERT_EQ(end - start, 16);
  ASSERT_EQ(ycck[start + 15], 2);
  Bytes adobeCmyk = ycck, plainCmyk = ycck;
  adobeCmyk[start + 15] = 0;
  plainCmyk.erase(plainCmyk.begin() + start, plainCmyk.begin() + end);
  for (const auto& [bytes, inverted] : {std::pair{ycck, true}, {adobeCmyk, true}, {plainCmyk, false}}) {
    const TRgbPicture inks = DecodeWithLibjpeg(bytes, JCS_CMYK);
    const TRgbPicture decoded = BitmapPixels(LoadBytes<TJPEGImage>(bytes)->GetBitmap());
    ASSERT_EQ(decoded.Width, inks.Width);
    ASSERT_EQ(decoded.Height, inks.Height);
    for (size_t i = 0; i < decoded.Pixels.size(); ++i) {
      const unsigned c = inks.Pixels[i / 3 * 4 + i % 3], k = inks.Pixels[i / 3 * 4 + 3];
      ASSERT_EQ(decoded.Pixels[i], inverted ? (c * k + 127) / 255 : ((255 - c) * (255 - k) + 127) / 255)
          << "sample " << i << (inverted ? " (Adobe)" : " (plain)");
    }
  }
}

TEST(JpegStreamSource, SkipsSegmentsLongerThanItsBuffer) {
  Bytes bytes = JpegSampleBytes("baseline.jpg");
  Bytes comment = {0xFF, 0xFE, 0x27, 0x12};  // 10000 bytes right after the start of image
  comment.resize(0x2712 + 2, 'x');
  bytes.insert(bytes.begin() + 2, comment.begin(), comment.end());
  const TRgbPicture decoded = BitmapPixels(LoadBytes<TJPEGImage>(bytes)->GetBitmap());
  EXPECT_EQ(MaxDifference(decoded, ReadPnm(JpegSample("baseline.ppm"))), 0);
}

// The workbench's roads: whole into a working bitmap (24-bit, whatever the file), and band by band.
TEST(JpegWorkingBitmap, EveryKindOfFileDecodesTo24BitRowsReusingTheBitmap) {
  TBitmap working;
  for (const auto& [file, reference] : {std::pair{"baseline.jpg", "baseline.ppm"},
                                        {"progressive.jpg", "progressive.ppm"},
                                        {"gray.jpg", "gray.pgm"},
                                        {"cmyk.jpg", "cmyk.ppm"}}) {
    SCOPED_TRACE(file);
    TFileStream stream(JpegSample(file), fmOpenRead);
    TJPEGImage picture;
    picture.DecodeToWorkingBitmap(stream, working);
    EXPECT_EQ(working.PixelFormat(), pf24bit);
    EXPECT_LE(MaxDifference(BitmapPixels(working), ReadPnm(JpegSample(reference))), file[0] == 'c' ? 1 : 0);
    EXPECT_FALSE(picture.DataEndedEarly());
    EXPECT_FALSE(picture.HasBitmap());
  }
  const uint8_t* rows = working.ScanLine(0);
  TMemoryStream cut;
  const Bytes bytes = JpegSampleBytes("cmyk.jpg");
  cut.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()) - 300);
  cut.SetPosition(0);
  TJPEGImage picture;
  picture.DecodeToWorkingBitmap(cut, working);
  EXPECT_TRUE(picture.DataEndedEarly());
  EXPECT_EQ(working.ScanLine(0), rows) << "a picture of the same size is decoded into the same rows";
}

// Keeps the bands handed over, checking that they come in order.
struct TBandCopy : TJPEGBandSink {
  bool Start(int width, int height, bool) override {
    Picture = {width, height, {}};
    return Accept;
  }
  void Band(int first, int count, const uint8_t* rows, size_t step) override {
    EXPECT_EQ(first, Next);
    EXPECT_LE(count, 16);
    for (int k = 0; k < count; ++k, rows += step)
      for (size_t x = 0; x < step; x += 3)
        Picture.Pixels.insert(Picture.Pixels.end(), {rows[x + 2], rows[x + 1], rows[x]});
    Next += count;
  }
  bool Accept = true;
  int Next = 0;
  TRgbPicture Picture;
};

TJPEGBandResult DecodeBands(const Bytes& bytes, TBandCopy& bands) {
  TMemoryStream file;
  file.WriteBuffer(bytes);
  file.SetPosition(0);
  return TJPEGImage().DecodeBands(file, bands);
}

TEST(JpegBands, OnlyFilesThatCannotFailAfterTheirFirstRowsAreHandedOverInBands) {
  for (const auto& [file, reference] : {std::pair{"baseline.jpg", "baseline.ppm"},
                                        {"progressive.jpg", "progressive.ppm"},
                                        {"gray.jpg", "gray.pgm"}}) {
    SCOPED_TRACE(file);
    TBandCopy bands;
    ASSERT_EQ(DecodeBands(JpegSampleBytes(file), bands), TJPEGBandResult::jbDecoded);
    EXPECT_EQ(bands.Next, 40);
    EXPECT_EQ(MaxDifference(bands.Picture, ReadPnm(JpegSample(reference))), 0);
  }
  const Bytes whole = JpegSampleBytes("baseline.jpg");
  EXPECT_TRUE(IsOneWholeSequentialScan(whole));
  EXPECT_FALSE(IsOneWholeSequentialScan(JpegSampleBytes("progressive.jpg")));
  // Cut, cut just before its end marker, or with stray bytes between segments: decoded whole instead.
  Bytes stray = whole;
  stray.insert(stray.begin() + SegmentEnd(whole, 0xDB), {0x00, 0x00});
  for (const Bytes& bytes :
       {Bytes(whole.begin(), whole.end() - 300), Bytes(whole.begin(), whole.end() - 2), stray}) {
    EXPECT_FALSE(IsOneWholeSequentialScan(bytes));
    TBandCopy bands;
    EXPECT_EQ(DecodeBands(bytes, bands), TJPEGBandResult::jbNotWhole);
    EXPECT_EQ(bands.Next, 0);
  }
  TBandCopy ink, refused;
  EXPECT_EQ(DecodeBands(JpegSampleBytes("cmyk.jpg"), ink), TJPEGBandResult::jbNotWhole);
  refused.Accept = false;
  EXPECT_EQ(DecodeBands(whole, refused), TJPEGBandResult::jbRefused);
  EXPECT_EQ(refused.Next, 0);
  // A progressive file cut short is found out before any row; one that lacks only its end marker is
  // whole.
  const Bytes progressive = JpegSampleBytes("progressive.jpg");
  TBandCopy cut;
  EXPECT_THROW(DecodeBands(Bytes(progressive.begin(), progressive.end() - 200), cut), EJPEG);
  EXPECT_EQ(cut.Next, 0);
  TBandCopy noEnd;
  ASSERT_EQ(DecodeBands(Bytes(progressive.begin(), progressive.end() - 2), noEnd),
            TJPEGBandResult::jbDecoded);
  EXPECT_EQ(MaxDifference(noEnd.Picture, ReadPnm(JpegSample("progressive.ppm"))), 0);
}

// Sample files of another project, installed by libsixel-examples (scripts/deps).
TEST(JpegInstalledSamples, DecodeAsPlainLibjpeg) {
  for (const char* name : {"snake.jpg", "snake-progressive.jpg", "snake-grayscale.jpg"}) {
    SCOPED_TRACE(name);
    const std::string file = std::string("/usr/share/doc/libsixel-examples/examples/images/") + name;
    ASSERT_TRUE(std::filesystem::exists(file)) << "install libsixel-examples (scripts/deps)";
    TJPEGImage picture;
    picture.LoadFromFile(file);
    EXPECT_EQ(picture.Width(), 600);
    EXPECT_EQ(picture.Height(), 450);
    EXPECT_EQ(MaxDifference(BitmapPixels(picture.GetBitmap()), DecodeWithLibjpeg(ReadWholeFile(file))), 0);
  }
}

}  // namespace
