// TJPEGImage as a picture: sharing, the bitmap, streams, compression and its options, and the progress
// throttle.
#include <gtest/gtest.h>

#include "tests/picture_formats/jpeg_test_support.h"
#include "tests/support/test_files.h"

namespace {

// The header facts of a JPEG file, as libjpeg reads them.
struct TJpegFacts {
  int Components = 0;
  bool Progressive = false;
  J_COLOR_SPACE ColorSpace = JCS_UNKNOWN;
  int MaxHorizontalSampling = 0;
  int MaxVerticalSampling = 0;
  int LuminanceQuantDC = 0;  // first entry of quantisation table 0
};
TJpegFacts ReadJpegFacts(const Bytes& jpeg) {
  const TPlainDecoder decoder(jpeg);
  const jpeg_decompress_struct& info = decoder.Info;
  return {info.num_components,    info.progressive_mode != FALSE, info.jpeg_color_space,
          info.max_h_samp_factor, info.max_v_samp_factor,         info.quant_tbl_ptrs[0]->quantval[0]};
}

Bytes DataBytes(const TJPEGImage& picture) {
  const auto bytes = picture.SharedData().DataStream->Bytes();
  return {bytes.begin(), bytes.end()};
}

// The file that compressing the picture with the options set by configure gives.
template <class Configure>
Bytes CompressPicture(const TRgbPicture& source, Configure configure) {
  TBitmap bitmap;
  FillBitmap(bitmap, source);
  TJPEGImage picture;
  configure(picture);
  picture.Assign(bitmap);
  picture.JPEGNeeded();
  return DataBytes(picture);
}

TEST(JpegSharing, AssignSharesDataAndCopiesADecodedBitmap) {
  EXPECT_TRUE(TJPEGImage().Empty());
  auto first = LoadJpegSample("baseline.jpg");
  EXPECT_FALSE(first->Empty());
  EXPECT_FALSE(first->Equals(*LoadJpegSample("baseline.jpg"))) << "loaded separately";
  TJPEGImage second;
  second.Quality = 40;
  second.Assign(*first);
  EXPECT_TRUE(second.Equals(*first));
  EXPECT_EQ(second.Quality, 40) << "options are not copied";
  EXPECT_FALSE(second.HasBitmap());

  const TBitmap& decoded = first->GetBitmap();
  TJPEGImage third;
  third.Assign(*first);
  ASSERT_TRUE(third.HasBitmap());
  EXPECT_NE(&third.GetBitmap(), &decoded);
  EXPECT_EQ(MaxDifference(BitmapPixels(third.GetBitmap()), BitmapPixels(decoded)), 0);

  // New data drop a bitmap decoded from the former data.
  first->Assign(*LoadJpegSample("odd.jpg"));
  EXPECT_FALSE(first->HasBitmap());
  EXPECT_EQ(first->GetBitmap().Width(), 101);
  first->LoadFromFile(JpegSample("baseline.jpg"));
  EXPECT_FALSE(first->HasBitmap());
}

TEST(JpegBitmap, ReleasedAndAssignedBitmapsHoldTheDecodedPicture) {
  auto picture = LoadJpegSample("odd.jpg");
  std::unique_ptr<TBitmap> decoded = picture->ReleaseBitmap();
  ASSERT_NE(decoded, nullptr);
  EXPECT_FALSE(picture->HasBitmap());
  const uint8_t* rows = decoded->ScanLine(0);
  TBitmap working;
  working.TakeOver(*decoded);
  EXPECT_EQ(working.ScanLine(0), rows) << "taken over without a copy";
  const TRgbPicture expected = ReadPnm(JpegSample("odd.ppm"));
  EXPECT_EQ(MaxDifference(BitmapPixels(working), expected), 0);
  EXPECT_EQ(picture->GetBitmap().Height(), 51) << "decodes again when asked";

  TBitmap assigned;
  assigned.Assign(*LoadJpegSample("odd.jpg"));
  EXPECT_EQ(MaxDifference(BitmapPixels(assigned), expected), 0);
}

TEST(JpegStreams, LoadingReadsFromThePositionToTheEnd) {
  const Bytes jpeg = JpegSampleBytes("gray.jpg");
  TMemoryStream stream;
  stream.WriteBuffer("prefix", 6);
  stream.WriteBuffer(jpeg);
  stream.SetPosition(6);
  TJPEGImage picture;
  picture.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_EQ(DataBytes(picture), jpeg);

  // A stream shorter than the size asked for is the stream's read error.
  stream.SetPosition(6);
  EXPECT_THROW(picture.ReadStream(stream.Size(), stream), EReadError);
}

TEST(JpegCompress, SavedFileLoadsBackAndSavingALoadedFileWritesItsOwnBytes) {
  const TRgbPicture source = SyntheticPicture(97, 61, 1);
  TBitmap bitmap;
  FillBitmap(bitmap, source);
  TempDir folder;
  const std::string name = folder.File("result.jpg");
  TJPEGImage picture;
  picture.Assign(bitmap);
  EXPECT_EQ(picture.SharedData().DataStream, nullptr) << "bitmap only until compressed";
  picture.SaveToFile(name);
  EXPECT_EQ(ReadJpegFacts(ReadWholeFile(name)).LuminanceQuantDC, 3) << "quality 90";
  auto loaded = LoadBytes<TJPEGImage>(ReadWholeFile(name));
  EXPECT_EQ(loaded->Width(), 97);
  EXPECT_EQ(loaded->Height(), 61);
  EXPECT_LT(MeanDifference(BitmapPixels(loaded->GetBitmap()), source), 5.0);

  // A loaded file is written as it is; compressing replaces the data of that picture alone.
  TMemoryStream out;
  loaded->SaveToStream(out);
  EXPECT_EQ(Bytes(out.Bytes().begin(), out.Bytes().end()), ReadWholeFile(name));
  TJPEGImage second;
  second.Assign(*loaded);
  second.Quality = 50;
  second.Compress();
  EXPECT_FALSE(second.Equals(*loaded));
  EXPECT_EQ(DataBytes(*loaded), ReadWholeFile(name));
  EXPECT_EQ(ReadJpegFacts(DataBytes(second)).LuminanceQuantDC, 16);
}

TEST(JpegCompress, ALoadedPictureNeverDecodedIsCompressedFromItsPixels) {
  auto picture = LoadJpegSample("baseline.jpg");
  picture->Quality = 50;
  picture->Compress();
  const Bytes data = DataBytes(*picture);
  ASSERT_FALSE(data.empty());
  EXPECT_EQ(ReadJpegFacts(data).LuminanceQuantDC, 16);
  EXPECT_LT(MeanDifference(BitmapPixels(LoadBytes<TJPEGImage>(data)->GetBitmap()),
                           ReadPnm(JpegSample("baseline.ppm"))),
            10.0);
}

TEST(JpegCompress, OptionsShapeTheFile) {
  const TRgbPicture source = SyntheticPicture(48, 32, 2);
  const auto facts = [&](auto configure) { return ReadJpegFacts(CompressPicture(source, configure)); };
  EXPECT_EQ(facts([](TJPEGImage& p) { p.Quality = 30; }).LuminanceQuantDC, 27);  // 16 x 5000 / 30 / 100
  EXPECT_EQ(facts([](TJPEGImage& p) { p.Quality = 0; }).LuminanceQuantDC, 255);  // quality 1
  const TJpegFacts standard = facts([](TJPEGImage&) {});
  EXPECT_EQ(standard.MaxHorizontalSampling, 2);
  EXPECT_EQ(standard.MaxVerticalSampling, 2);
  const TJpegFacts noHorizontal = facts([](TJPEGImage& p) { p.SubsampleHorizontally = false; });
  EXPECT_EQ(noHorizontal.MaxHorizontalSampling, 1);
  EXPECT_EQ(noHorizontal.MaxVerticalSampling, 2);
  EXPECT_EQ(facts([](TJPEGImage& p) { p.SubsampleVertically = false; }).MaxVerticalSampling, 1);
  EXPECT_TRUE(facts([](TJPEGImage& p) { p.ProgressiveEncoding = true; }).Progressive);
  EXPECT_NE(CompressPicture(source, [](TJPEGImage& p) { p.FloatDCT = true; }),
            CompressPicture(source, [](TJPEGImage&) {}));

  const Bytes grey = CompressPicture(source, [](TJPEGImage& p) { p.Grayscale = true; });
  EXPECT_EQ(ReadJpegFacts(grey).Components, 1);
  EXPECT_EQ(ReadJpegFacts(grey).ColorSpace, JCS_GRAYSCALE);
  EXPECT_EQ(LoadBytes<TJPEGImage>(grey)->GetBitmap().PixelFormat(), pf8bit);
}

TEST(JpegCompress, EightBitBitmapsAreCompressedFromTrueColour) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(40, 24);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 40; ++x)
      bitmap.ScanLine(y)[x] = static_cast<uint8_t>(x < 20 ? 249 : 252);  // red, blue
  TJPEGImage picture;
  picture.Assign(bitmap);
  picture.Compress();
  const TRgbPicture decoded = BitmapPixels(LoadBytes<TJPEGImage>(DataBytes(picture))->GetBitmap());
  EXPECT_GT(decoded.At(5, 12)[0], 200);
  EXPECT_LT(decoded.At(5, 12)[2], 60);
  EXPECT_LT(decoded.At(34, 12)[0], 60);
  EXPECT_GT(decoded.At(34, 12)[2], 200);
}

TEST(JpegCompress, AnEmptyBitmapGivesAnEmptyDataStream) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(0, 10);
  TJPEGImage picture;
  picture.Assign(bitmap);
  picture.Compress();
  ASSERT_NE(picture.SharedData().DataStream, nullptr);
  EXPECT_EQ(picture.SharedData().DataStream->Size(), 0);
  TempDir folder;
  picture.SaveToFile(folder.File("empty.jpg"));
  EXPECT_TRUE(ReadWholeFile(folder.File("empty.jpg")).empty());
}

// The throttle: one report per 500 ms at most, only for a new percentage, none on the first call; each
// report covers the rows decoded since the last one.
TEST(JpegProgress, ReportsAreThrottledAndCarryTheRowsDone) {
  TFakeClock clock(100);
  auto picture = LoadBytes<TJPEGImage>(CompressPicture(SyntheticPicture(64, 400, 8), [](TJPEGImage&) {}));
  std::vector<std::tuple<TProgressStage, int, bool, TRect, uint32_t>> reports;
  picture->OnProgress = [&](TGraphic&, TProgressStage stage, uint8_t percent, bool redraw, const TRect& rect,
                            const std::string&) {
    reports.emplace_back(stage, percent, redraw, rect, TFakeClock::Now());
  };
  picture->GetBitmap();
  ASSERT_GE(reports.size(), 5u);
  EXPECT_LT(reports.size(), 400u / 4) << "with a running 100 ms clock, about one call in five may report";
  EXPECT_EQ(std::get<0>(reports.front()), TProgressStage::psStarting);
  EXPECT_EQ(std::get<0>(reports.back()), TProgressStage::psEnding);
  EXPECT_EQ(std::get<1>(reports.back()), 100);
  EXPECT_EQ(std::get<3>(reports[1]).Top, 0);
  for (size_t i = 2; i + 1 < reports.size(); ++i) {
    const auto& [stage, percent, redraw, rect, time] = reports[i];
    const auto& [lastStage, lastPercent, lastRedraw, lastRect, lastTime] = reports[i - 1];
    ASSERT_EQ(stage, TProgressStage::psRunning);
    EXPECT_GE(time - lastTime, 500u);
    EXPECT_GT(percent, lastPercent);
    EXPECT_EQ(rect, Rect(0, lastRect.Bottom, 64, rect.Bottom)) << "each report starts where the last ended";
    EXPECT_EQ(redraw, rect.Height() >= 4);
  }
}

}  // namespace
