// Truncated and damaged JPEG files: which load partially, which raise EJPEG, and that none leaves a
// half-made bitmap behind or upsets the sanitizers.
#include <gtest/gtest.h>

#include <jerror.h>

#include <stdexcept>

#include "tests/picture_formats/jpeg_test_support.h"

namespace {

// The message code of the EJPEG that running fn raises (0 when none is raised); its message says the
// code and libjpeg's words for it.
template <class Fn>
int JpegErrorOf(Fn fn) {
  try {
    fn();
  } catch (const EJPEG& e) {
    const std::string code = "JPEG error #" + std::to_string(e.MessageCode()) + ": ";
    EXPECT_TRUE(e.Message().starts_with(code) && e.Message().size() > code.size() + 4) << e.Message();
    return e.MessageCode();
  }
  return 0;
}

// Files cut short load and decode without an exception, the missing part filled as libjpeg fills it.
TEST(JpegTruncated, CutFilesDecodeAsDjpegDoes) {
  const Bytes good = JpegSampleBytes("baseline.jpg");
  const Bytes inScan(good.begin(), good.end() - 300);
  auto cut = LoadBytes<TJPEGImage>(inScan);
  const TRgbPicture decoded = BitmapPixels(cut->GetBitmap());
  EXPECT_TRUE(cut->DataEndedEarly());
  auto whole = LoadBytes<TJPEGImage>(good);
  whole->GetBitmap();
  EXPECT_FALSE(whole->DataEndedEarly());
  EXPECT_EQ(MaxDifference(decoded, ReadPnm(JpegSample("baseline-cut300.ppm"))), 0);
  EXPECT_GT(MaxDifference(decoded, ReadPnm(JpegSample("baseline.ppm"))), 0);
  // Cut right after the header: no byte is left to code the picture's blocks, so nothing is sized for
  // it (the header alone still reads).
  const Bytes afterHeader(good.begin(), good.begin() + SegmentEnd(good, 0xDA));
  auto headerOnly = LoadBytes<TJPEGImage>(afterHeader);
  EXPECT_EQ(headerOnly->Width(), 64);
  try {
    headerOnly->GetBitmap();
    ADD_FAILURE() << "a header without data decoded";
  } catch (const EInvalidGraphic& error) {
    EXPECT_EQ(error.Message(), "Cannot load image. Invalid or unexpected JPEG image format.");
  }
  EXPECT_FALSE(headerOnly->HasBitmap());
}

// Offset of the last marker of the kind (its FF byte), or -1.
long LastMarker(const Bytes& jpeg, uint8_t first, uint8_t last) {
  for (size_t i = jpeg.size() - 1; i > 0; --i)
    if (jpeg[i - 1] == 0xFF && jpeg[i] >= first && jpeg[i] <= last) return static_cast<long>(i - 1);
  return -1;
}

// The working-bitmap road's picture of the bytes, and whether its data ended early.
std::pair<TRgbPicture, bool> DecodedWhole(const Bytes& bytes) {
  TBitmap working;
  const bool whole = DecodeBytesToWorking(bytes, working);
  return {BitmapPixels(working), !whole};
}

// A file that lacks no more than its end-of-image marker holds its whole picture (djpeg only warns),
// sequential, with restart markers or progressive, on the working-bitmap road and the picture's own.
// Data that end before the last row do not: cut inside the last scan, at the last restart marker, or
// (progressive) before the last scan, which leaves every row there but not every coefficient's last bit.
TEST(JpegTruncated, OnlyALackingEndMarkerLeavesThePictureWhole) {
  for (const auto& [file, reference] : {std::pair{"baseline.jpg", "baseline.ppm"},
                                        {"restart.jpg", "baseline.ppm"},
                                        {"progressive.jpg", "progressive.ppm"}}) {
    SCOPED_TRACE(file);
    const Bytes good = JpegSampleBytes(file);
    const Bytes noEnd(good.begin(), good.end() - 2);
    const auto [whole, wholeEndedEarly] = DecodedWhole(noEnd);
    EXPECT_FALSE(wholeEndedEarly);
    EXPECT_EQ(MaxDifference(whole, ReadPnm(JpegSample(reference))), 0);
    auto picture = LoadBytes<TJPEGImage>(noEnd);
    EXPECT_EQ(MaxDifference(BitmapPixels(picture->GetBitmap()), ReadPnm(JpegSample(reference))), 0);
    EXPECT_FALSE(picture->DataEndedEarly());

    const long lastScan = LastMarker(good, 0xDA, 0xDA);
    const long lastRestart = LastMarker(good, 0xD0, 0xD7);
    std::vector<Bytes> cuts = {Bytes(good.begin(), good.end() - 12)};
    if (lastRestart > lastScan) cuts.emplace_back(good.begin(), good.begin() + lastRestart);
    if (file[0] == 'p') cuts.emplace_back(good.begin(), good.begin() + lastScan);
    for (const Bytes& cut : cuts) {
      SCOPED_TRACE(cut.size());
      EXPECT_TRUE(DecodedWhole(cut).second);
      auto cutPicture = LoadBytes<TJPEGImage>(cut);
      cutPicture->GetBitmap();
      EXPECT_TRUE(cutPicture->DataEndedEarly());
    }
  }
}

TEST(JpegDamaged, HeaderFaultsRaiseTheLibrarysCode) {
  const Bytes good = JpegSampleBytes("baseline.jpg");
  const long frame = FindMarker(good, 0xC0);
  Bytes noWidth = good, twelveBit = good;
  noWidth[frame + 7] = noWidth[frame + 8] = 0;
  twelveBit[frame + 4] = 12;  // sample precision
  // Cut inside the first quantisation table: the end of image arrives before any frame.
  const Bytes cut(good.begin(), good.begin() + FindMarker(good, 0xDB) + 10);
  for (const auto& [bytes, code] : {std::pair{Bytes{'B', 'M', 0, 0, 0, 0}, int{JERR_NO_SOI}},
                                    {noWidth, JERR_EMPTY_IMAGE},
                                    {twelveBit, JERR_BAD_PRECISION},
                                    {cut, JERR_NO_IMAGE}})
    EXPECT_EQ(JpegErrorOf([&] { LoadBytes<TJPEGImage>(bytes); }), code);
  // No bytes at all load, but fail to decode, like a picture that never had data.
  for (auto& empty : {LoadBytes<TJPEGImage>({}), std::make_unique<TJPEGImage>()}) {
    EXPECT_EQ(empty->Width(), 0);
    EXPECT_EQ(JpegErrorOf([&] { empty->GetBitmap(); }), JERR_INPUT_EMPTY);
    EXPECT_FALSE(empty->HasBitmap());
  }
}

TEST(JpegDamaged, BadHuffmanCodesRaiseOnDecodeAndLeaveNoBitmap) {
  Bytes bytes = JpegSampleBytes("baseline.jpg");
  // Three codes of length 1 cannot exist; the symbol count stays the same, so the header reads.
  uint8_t* counts = &bytes[FindMarker(bytes, 0xC4) + 5];
  int moved = 0;
  for (int length = 15; length >= 1 && moved < 3; --length) {
    const int take = std::min<int>(counts[length], 3 - moved);
    counts[length] = static_cast<uint8_t>(counts[length] - take);
    moved += take;
  }
  counts[0] = static_cast<uint8_t>(counts[0] + moved);
  auto picture = LoadBytes<TJPEGImage>(bytes);
  EXPECT_EQ(picture->Width(), 64);
  // Asking again fails again rather than handing out a stale bitmap.
  for (int call = 0; call < 2; ++call) {
    EXPECT_EQ(JpegErrorOf([&] { picture->GetBitmap(); }), JERR_BAD_HUFF_TABLE);
    EXPECT_FALSE(picture->HasBitmap());
  }
}

// Exceptions of a progress handler leave the library by its landing point and come out unchanged.
TEST(JpegHandlerExceptions, ForeignExceptionsPassOnAndAbortStopsQuietly) {
  TFakeClock clock(600);
  auto failing = LoadJpegSample("odd.jpg");
  failing->OnProgress = [](TGraphic&, TProgressStage stage, uint8_t, bool, const TRect&, const std::string&) {
    if (stage == TProgressStage::psRunning) throw std::runtime_error("handler failed");
  };
  EXPECT_THROW(failing->GetBitmap(), std::runtime_error);
  EXPECT_FALSE(failing->HasBitmap());

  // Abort keeps the rows decoded so far.
  auto aborted = LoadJpegSample("odd.jpg");
  std::vector<int> endings;
  aborted->OnProgress = [&](TGraphic&, TProgressStage stage, uint8_t percent, bool, const TRect&,
                            const std::string&) {
    if (stage == TProgressStage::psRunning) Abort();
    if (stage == TProgressStage::psEnding) endings.push_back(percent);
  };
  const TBitmap& bitmap = aborted->GetBitmap();
  EXPECT_EQ(bitmap.Width(), 101);
  EXPECT_EQ(endings, std::vector<int>{0});
  EXPECT_GT(MaxDifference(BitmapPixels(bitmap), ReadPnm(JpegSample("odd.ppm"))), 0)
      << "decoding stopped early";
}

TEST(JpegHandlerExceptions, AbortOrFailureInCompressionKeepsNoData) {
  TFakeClock clock(600);
  TBitmap source;
  FillBitmap(source, SyntheticPicture(80, 64, 5));
  TJPEGImage picture;
  picture.Assign(source);
  picture.OnProgress = [&](TGraphic&, TProgressStage stage, uint8_t, bool, const TRect&, const std::string&) {
    if (stage == TProgressStage::psRunning) Abort();
  };
  EXPECT_NO_THROW(picture.Compress());
  EXPECT_EQ(picture.SharedData().DataStream, nullptr);
  EXPECT_TRUE(picture.HasBitmap());
  picture.OnProgress = [&](TGraphic&, TProgressStage stage, uint8_t, bool, const TRect&, const std::string&) {
    if (stage == TProgressStage::psRunning) throw std::runtime_error("handler failed");
  };
  EXPECT_THROW(picture.Compress(), std::runtime_error);
  EXPECT_EQ(picture.SharedData().DataStream, nullptr) << "no half-written file is kept";
  picture.OnProgress = nullptr;
  picture.Compress();
  ASSERT_NE(picture.SharedData().DataStream, nullptr);
  EXPECT_GT(picture.SharedData().DataStream->Size(), 100);
}

}  // namespace
