// TJPEGImage as a picture: sharing, the bitmap, streams, compression and its options.
#include <gtest/gtest.h>

#include "tests/picture_formats/jpeg_test_support.h"
#include "tests/support/test_files.h"

namespace {

// The header facts of a JPEG file, as libjpeg reads them.
struct TJpegFacts {
  J_COLOR_SPACE ColorSpace = JCS_UNKNOWN;
  int LuminanceQuantDC = 0;  // first entry of quantisation table 0
};
TJpegFacts ReadJpegFacts(const Bytes& jpeg) {
  const TPlainDecoder decoder(jpeg);
  return {decoder.Info.jpeg_color_space, decoder.Info.quant_tbl_ptrs[0]->quantval[0]};
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
  auto first = LoadJpegSample("baseline.jpg");
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
  // New data, assigned or loaded, drop a bitmap decoded from the former data.
  first->Assign(*LoadJpegSample("odd.jpg"));
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

TEST(JpegCompress, QualityAndGreyShapeTheFile) {
  const TRgbPicture source = SyntheticPicture(48, 32, 2);
  const auto facts = [&](auto configure) { return ReadJpegFacts(CompressPicture(source, configure)); };
  EXPECT_EQ(facts([](TJPEGImage& p) { p.Quality = 30; }).LuminanceQuantDC, 27);  // 16 x 5000 / 30 / 100
  EXPECT_EQ(facts([](TJPEGImage& p) { p.Quality = 0; }).LuminanceQuantDC, 255);  // quality 1
  const Bytes grey = CompressPicture(source, [](TJPEGImage& p) { p.Grayscale = true; });
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

}  // namespace
