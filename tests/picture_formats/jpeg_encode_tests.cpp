// Compressing bitmaps: save then load, and the options that shape the file.
#include <gtest/gtest.h>

#include <jpeglib.h>

#include "picture_formats/jpeg_image.h"
#include "tests/picture_formats/jpeg_test_support.h"
#include "tests/support/test_files.h"
#include "toolkit/core/streams.h"

namespace {

std::vector<uint8_t> DataBytes(const TJPEGImage& picture) {
  const auto bytes = picture.SharedData().DataStream->Bytes();
  return {bytes.begin(), bytes.end()};
}

// Compresses the picture with the options set by configure and hands back the file bytes.
template <class Configure>
std::vector<uint8_t> CompressPicture(const TRgbPicture& source, Configure configure) {
  TBitmap bitmap;
  FillBitmap(bitmap, source);
  TJPEGImage picture;
  configure(picture);
  picture.Assign(bitmap);
  picture.JPEGNeeded();
  return DataBytes(picture);
}

std::vector<uint8_t> CompressPicture(const TRgbPicture& source) {
  return CompressPicture(source, [](TJPEGImage&) {});
}

TEST(JpegSaveLoad, SavedFileLoadsBackWithSizeAndColours) {
  const TRgbPicture source = SyntheticPicture(97, 61, 1);
  TBitmap bitmap;
  FillBitmap(bitmap, source);
  TempDir folder;
  const std::string name = folder.File("result.jpg");
  {
    TJPEGImage picture;
    picture.Assign(bitmap);
    EXPECT_FALSE(picture.Empty());
    EXPECT_EQ(picture.SharedData().DataStream, nullptr) << "bitmap only until compressed";
    picture.JPEGNeeded();
    picture.Compress();
    EXPECT_EQ(picture.SharedData().Width, 97);
    EXPECT_EQ(picture.SharedData().Height, 61);
    picture.SaveToFile(name);
  }
  TJPEGImage loaded;
  loaded.LoadFromFile(name);
  EXPECT_EQ(loaded.Width(), 97);
  EXPECT_EQ(loaded.Height(), 61);
  const TRgbPicture decoded = BitmapPixels(loaded.GetBitmap());
  EXPECT_LT(MeanDifference(decoded, source), 5.0);
  EXPECT_LT(MaxDifference(decoded, source), 60);
  EXPECT_EQ(ReadJpegFacts(ReadWholeFile(name)).LuminanceQuantDC, 3) << "quality 90";
}

TEST(JpegSaveLoad, EightBitBitmapsAreCompressedFromTrueColour) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(40, 24);
  for (int y = 0; y < 24; ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < 40; ++x) row[x] = static_cast<uint8_t>(x < 20 ? 249 : 252);  // halftone red, blue
  }
  TJPEGImage picture;
  picture.Assign(bitmap);
  picture.Compress();
  const TRgbPicture decoded = BitmapPixels(LoadJpegBytes(DataBytes(picture))->GetBitmap());
  const uint8_t* left = decoded.At(5, 12);
  const uint8_t* right = decoded.At(34, 12);
  EXPECT_GT(left[0], 200);
  EXPECT_LT(left[2], 60);
  EXPECT_LT(right[0], 60);
  EXPECT_GT(right[2], 200);
}

TEST(JpegCompressOptions, QualityShapesTheTablesAndTheError) {
  const TRgbPicture source = SyntheticPicture(96, 64, 2);
  const auto low = CompressPicture(source, [](TJPEGImage& p) { p.Quality = 30; });
  const auto high = CompressPicture(source, [](TJPEGImage& p) { p.Quality = 95; });
  const auto zero = CompressPicture(source, [](TJPEGImage& p) { p.Quality = 0; });
  EXPECT_EQ(ReadJpegFacts(low).LuminanceQuantDC, 27);    // 16 * 5000 / 30 / 100
  EXPECT_EQ(ReadJpegFacts(high).LuminanceQuantDC, 2);    // 16 * 10 / 100
  EXPECT_EQ(ReadJpegFacts(zero).LuminanceQuantDC, 255);  // quality 1, baseline tables
  EXPECT_LT(low.size(), high.size());
  EXPECT_LT(MeanDifference(DecodeWithLibjpeg(high), source), MeanDifference(DecodeWithLibjpeg(low), source));
}

TEST(JpegCompressOptions, GrayscaleWritesOneComponent) {
  TBitmap bitmap;
  FillBitmap(bitmap, SyntheticPicture(50, 30, 3));
  TJPEGImage picture;
  picture.Grayscale = true;
  picture.Assign(bitmap);
  picture.Compress();
  EXPECT_TRUE(picture.SharedData().Grayscale);
  const auto bytes = DataBytes(picture);
  const TJpegFacts facts = ReadJpegFacts(bytes);
  EXPECT_EQ(facts.Components, 1);
  EXPECT_EQ(facts.ColorSpace, JCS_GRAYSCALE);
  auto loaded = LoadJpegBytes(bytes);
  EXPECT_TRUE(loaded->SharedData().Grayscale);
  EXPECT_EQ(loaded->GetBitmap().PixelFormat(), pf8bit);
}

TEST(JpegCompressOptions, ProgressiveEncodingWritesAMultiScanFile) {
  const TRgbPicture source = SyntheticPicture(64, 48, 4);
  const auto bytes = CompressPicture(source, [](TJPEGImage& p) { p.ProgressiveEncoding = true; });
  EXPECT_TRUE(ReadJpegFacts(bytes).Progressive);
  EXPECT_FALSE(ReadJpegFacts(CompressPicture(source)).Progressive);
  auto loaded = LoadJpegBytes(bytes);
  EXPECT_TRUE(loaded->ProgressiveEncoding);
  EXPECT_LT(MeanDifference(BitmapPixels(loaded->GetBitmap()), source), 5.0);
}

TEST(JpegCompressOptions, SubsamplingSwitches) {
  const TRgbPicture source = SyntheticPicture(48, 32, 5);
  const TJpegFacts standard = ReadJpegFacts(CompressPicture(source));
  EXPECT_EQ(standard.MaxHorizontalSampling, 2);
  EXPECT_EQ(standard.MaxVerticalSampling, 2);
  const TJpegFacts noHorizontal =
      ReadJpegFacts(CompressPicture(source, [](TJPEGImage& p) { p.SubsampleHorizontally = false; }));
  EXPECT_EQ(noHorizontal.MaxHorizontalSampling, 1);
  EXPECT_EQ(noHorizontal.MaxVerticalSampling, 2);
  const TJpegFacts none = ReadJpegFacts(CompressPicture(source, [](TJPEGImage& p) {
    p.SubsampleHorizontally = false;
    p.SubsampleVertically = false;
  }));
  EXPECT_EQ(none.MaxHorizontalSampling, 1);
  EXPECT_EQ(none.MaxVerticalSampling, 1);
}

TEST(JpegCompressOptions, FloatDctChangesTheCoefficients) {
  const TRgbPicture source = SyntheticPicture(64, 64, 6);
  const auto integer = CompressPicture(source);
  const auto floating = CompressPicture(source, [](TJPEGImage& p) { p.FloatDCT = true; });
  EXPECT_NE(integer, floating);
  EXPECT_LT(MeanDifference(DecodeWithLibjpeg(floating), source), 5.0);
}

TEST(JpegCompressEmpty, EmptyBitmapGivesAnEmptyDataStream) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(0, 10);
  TJPEGImage picture;
  picture.Assign(bitmap);
  picture.Compress();
  ASSERT_NE(picture.SharedData().DataStream, nullptr);
  EXPECT_EQ(picture.SharedData().DataStream->Size(), 0);
  EXPECT_FALSE(picture.Empty());
  TMemoryStream out;
  picture.SaveToStream(out);
  EXPECT_EQ(out.Size(), 0);
  TempDir folder;
  picture.SaveToFile(folder.File("empty.jpg"));
  EXPECT_TRUE(ReadWholeFile(folder.File("empty.jpg")).empty());

  TJPEGImage noBitmap;
  noBitmap.Compress();
  EXPECT_EQ(noBitmap.SharedData().DataStream->Size(), 0);
}

TEST(JpegCompressData, SavingALoadedFileWritesItsOwnBytes) {
  const std::vector<uint8_t> original = ReadWholeFile(JpegSample("progressive.jpg"));
  auto picture = LoadJpegBytes(original);
  picture->GetBitmap();
  TMemoryStream out;
  picture->SaveToStream(out);
  const auto written = out.Bytes();
  EXPECT_EQ(std::vector<uint8_t>(written.begin(), written.end()), original);
}

TEST(JpegCompressData, CompressingReplacesSharedDataOnlyForItself) {
  auto first = LoadJpegSample("baseline.jpg");
  first->GetBitmap();
  TJPEGImage second;
  second.Assign(*first);
  ASSERT_TRUE(second.Equals(*first));
  second.Quality = 50;
  second.Compress();
  EXPECT_FALSE(second.Equals(*first));
  EXPECT_EQ(DataBytes(*first), ReadWholeFile(JpegSample("baseline.jpg")));
  EXPECT_NE(DataBytes(second), DataBytes(*first));
  EXPECT_EQ(ReadJpegFacts(DataBytes(second)).LuminanceQuantDC, 16);
}

TEST(JpegCompressProgress, ReportsStartRunningAndEnd) {
  TFakeClock clock(200);
  TBitmap bitmap;
  FillBitmap(bitmap, SyntheticPicture(64, 200, 7));
  TJPEGImage picture;
  picture.Assign(bitmap);
  std::vector<TProgressStage> stages;
  std::vector<int> percents;
  uint32_t lastReport = 0;
  picture.OnProgress = [&](TGraphic& sender, TProgressStage stage, uint8_t percent, bool redraw,
                           const TRect& rect, const std::string& message) {
    EXPECT_EQ(&sender, &picture);
    EXPECT_TRUE(message.empty());
    EXPECT_EQ(rect, TRect{});
    EXPECT_FALSE(redraw);
    stages.push_back(stage);
    percents.push_back(percent);
    if (stage == TProgressStage::psRunning) {
      if (lastReport != 0) {
        EXPECT_GE(TFakeClock::Now() - lastReport, 500u);
      }
      lastReport = TFakeClock::Now();
    }
  };
  picture.Compress();
  ASSERT_GE(stages.size(), 4u);
  EXPECT_EQ(stages.front(), TProgressStage::psStarting);
  EXPECT_EQ(percents.front(), 0);
  EXPECT_EQ(stages.back(), TProgressStage::psEnding);
  EXPECT_EQ(percents.back(), 100);
  for (size_t i = 2; i + 1 < percents.size(); ++i) EXPECT_GT(percents[i], percents[i - 1]);
}

}  // namespace
