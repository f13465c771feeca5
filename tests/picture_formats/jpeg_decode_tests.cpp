// Decoding JPEG files made by other programs, compared with djpeg's (or ImageMagick's) decoding.
#include <gtest/gtest.h>

#include <jerror.h>

#include <filesystem>

#include "picture_formats/jpeg_error.h"
#include "picture_formats/jpeg_image.h"
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
  const TBitmap& bitmap = picture->GetBitmap();
  EXPECT_EQ(bitmap.PixelFormat(), variant.Format);
  if (variant.Format == pf8bit) {
    EXPECT_LE(bitmap.ColorTable().size(), 236u);
    EXPECT_TRUE(picture->PaletteModified());
  }
  ASSERT_EQ(bitmap.Width(), expected.Width);
  ASSERT_EQ(bitmap.Height(), expected.Height);
  EXPECT_EQ(MaxDifference(BitmapPixels(bitmap), expected), 0);
}

INSTANTIATE_TEST_SUITE_P(
    DjpegOutputs, JpegReferenceDecoding,
    testing::Values(
        TVariant{"baseline.jpg", "baseline.ppm"}, TVariant{"progressive.jpg", "progressive.ppm"},
        TVariant{"s444.jpg", "s444.ppm"}, TVariant{"restart.jpg", "restart.ppm"},
        TVariant{"odd.jpg", "odd.ppm"},
        // Scaled output: the library's rounded-up sizes 51 x 26, 26 x 13, 13 x 7; past an
        // eighth stays an eighth.
        TVariant{.File = "odd.jpg", .Reference = "odd-half.ppm", .ScaleShift = 1},
        TVariant{.File = "odd.jpg", .Reference = "odd-quarter.ppm", .ScaleShift = 2},
        TVariant{.File = "odd.jpg", .Reference = "odd-eighth.ppm", .ScaleShift = 3},
        TVariant{.File = "odd.jpg", .Reference = "odd-eighth.ppm", .ScaleShift = 200},
        // Fast mode: fast integer DCT (and ordered dither, one pass for 8-bit).
        TVariant{.File = "baseline.jpg", .Reference = "baseline-fast.ppm", .Fast = true},
        TVariant{"baseline.jpg", "baseline-236.ppm", pf8bit, jf8Bit},
        TVariant{"baseline.jpg", "baseline-236-fast.ppm", pf8bit, jf8Bit, true},
        // Grey output has at most 236 levels, whatever the output format says.
        TVariant{"gray.jpg", "gray-236.pgm", pf8bit, jf24Bit},
        TVariant{"gray.jpg", "gray-236.pgm", pf8bit, jf8Bit},
        TVariant{
            .File = "baseline.jpg", .Reference = "baseline-gray-236.pgm", .Format = pf8bit, .Grey = true},
        // Progressive display ends with a pass of the normal settings.
        TVariant{.File = "progressive.jpg", .Reference = "progressive.ppm", .ProgressiveDisplay = true},
        TVariant{.File = "progressive.jpg",
                 .Reference = "progressive-236.ppm",
                 .Format = pf8bit,
                 .Output = jf8Bit,
                 .ProgressiveDisplay = true}));

TEST(JpegHeader, LoadingReadsTheHeaderWithoutDecoding) {
  TJPEGImage fresh;
  EXPECT_TRUE(fresh.Empty());
  EXPECT_EQ(fresh.Width(), 0);
  EXPECT_EQ(fresh.Height(), 0);

  auto baseline = LoadJpegSample("baseline.jpg");
  EXPECT_FALSE(baseline->Empty());
  EXPECT_FALSE(baseline->ProgressiveEncoding);
  EXPECT_FALSE(baseline->SharedData().Grayscale);
  EXPECT_TRUE(LoadJpegSample("progressive.jpg")->ProgressiveEncoding);
  EXPECT_TRUE(LoadJpegSample("gray.jpg")->SharedData().Grayscale);
}

TEST(JpegProgressiveDisplay, RedrawsEachPassWithProgressReports) {
  TFakeClock clock(600);
  auto picture = LoadJpegSample("progressive.jpg");
  picture->ProgressiveDisplay = true;
  int running = 0, redraws = 0, fullHeight = 0;
  picture->OnProgress = [&](TGraphic&, TProgressStage stage, uint8_t, bool redraw, const TRect& rect,
                            const std::string&) {
    if (stage != TProgressStage::psRunning) return;
    ++running;
    redraws += redraw;
    EXPECT_LE(rect.Bottom, 40);
    EXPECT_GE(rect.Bottom, rect.Top);
    if (rect.Bottom == 40) ++fullHeight;
  };
  picture->GetBitmap();
  EXPECT_GT(running, 3);
  EXPECT_GT(redraws, 0);
  EXPECT_GT(fullHeight, 1) << "several passes reach the bottom row";
}

TEST(JpegInkFiles, AdobeYcckConvertsToBlueGreenRed) {
  auto picture = LoadJpegSample("cmyk.jpg");
  EXPECT_EQ(picture->Width(), 64);
  const TBitmap& bitmap = picture->GetBitmap();
  EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
  const TRgbPicture decoded = BitmapPixels(bitmap);
  // ImageMagick's own reading of its file, and the picture it was made from.
  EXPECT_LE(MaxDifference(decoded, ReadPnm(JpegSample("cmyk.ppm"))), 1);
  EXPECT_LT(MeanDifference(decoded, ReadPnm(JpegSample("src.ppm"))), 3.0);
}

TEST(JpegInkFiles, ConversionFollowsTheAdobeMarker) {
  // ImageMagick writes YCCK under an Adobe marker (transform 2). The same file with transform 0 is
  // Adobe CMYK, and without the marker it is plain CMYK; Adobe inks are stored inverted.
  const std::vector<uint8_t> ycck = ReadWholeFile(JpegSample("cmyk.jpg"));
  const long start = FindMarker(ycck, 0xEE), end = SegmentEnd(ycck, 0xEE);
  ASSERT_GT(start, 0);
  ASSERT_EQ(end - start, 16);
  ASSERT_EQ(ycck[start + 15], 2);
  std::vector<uint8_t> adobeCmyk = ycck;
  adobeCmyk[start + 15] = 0;
  std::vector<uint8_t> plainCmyk = ycck;
  plainCmyk.erase(plainCmyk.begin() + start, plainCmyk.begin() + end);

  const struct {
    const char* Name;
    const std::vector<uint8_t>& Bytes;
    bool Inverted;
  } variants[] = {{"YCCK", ycck, true}, {"Adobe CMYK", adobeCmyk, true}, {"plain CMYK", plainCmyk, false}};
  for (const auto& variant : variants) {
    SCOPED_TRACE(variant.Name);
    int width = 0, height = 0;
    const std::vector<uint8_t> inks = DecodeInksWithLibjpeg(variant.Bytes, width, height);
    const TRgbPicture decoded = BitmapPixels(LoadJpegBytes(variant.Bytes)->GetBitmap());
    ASSERT_EQ(decoded.Width, width);
    ASSERT_EQ(decoded.Height, height);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
      const uint8_t* ink = &inks[i * 4];
      for (int channel = 0; channel < 3; ++channel) {
        const unsigned c = ink[channel], k = ink[3];
        const unsigned expected =
            variant.Inverted ? (c * k + 127) / 255 : ((255 - c) * (255 - k) + 127) / 255;
        ASSERT_EQ(decoded.Pixels[i * 3 + channel], expected) << "pixel " << i << " channel " << channel;
      }
    }
  }
}

TEST(JpegInkFiles, EightBitOutputStillGivesTrueColour) {
  auto picture = LoadJpegSample("cmyk.jpg");
  picture->OutputFormat = jf8Bit;
  EXPECT_EQ(picture->GetBitmap().PixelFormat(), pf24bit);
}

TEST(JpegInkFiles, GreyOutputIsRefusedAndLeavesNoBitmap) {
  auto picture = LoadJpegSample("cmyk.jpg");
  picture->Grayscale = true;
  try {
    picture->GetBitmap();
    FAIL() << "no error";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.MessageCode(), JERR_CONVERSION_NOTIMPL);
  }
  EXPECT_FALSE(picture->HasBitmap());
}

// Sample files of another project, read from the installed package when it is there.
class JpegInstalledSamples : public testing::TestWithParam<const char*> {};

TEST_P(JpegInstalledSamples, DecodeAsPlainLibjpeg) {
  const std::string file = std::string("/usr/share/doc/libsixel-examples/examples/images/") + GetParam();
  if (!std::filesystem::exists(file)) GTEST_SKIP() << file << " is not installed";
  TJPEGImage picture;
  picture.LoadFromFile(file);
  EXPECT_EQ(picture.Width(), 600);
  EXPECT_EQ(picture.Height(), 450);
  const TRgbPicture decoded = BitmapPixels(picture.GetBitmap());
  const TRgbPicture plain = DecodeWithLibjpeg(ReadWholeFile(file));
  if (picture.SharedData().Grayscale) {
    // 236 grey levels with error diffusion against 256: close, not equal.
    EXPECT_EQ(picture.GetBitmap().PixelFormat(), pf8bit);
    EXPECT_LE(MaxDifference(decoded, plain), 4);
    EXPECT_LT(MeanDifference(decoded, plain), 1.0);
  } else {
    EXPECT_EQ(MaxDifference(decoded, plain), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Snake, JpegInstalledSamples,
                         testing::Values("snake.jpg", "snake-progressive.jpg", "snake-grayscale.jpg"));

}  // namespace
