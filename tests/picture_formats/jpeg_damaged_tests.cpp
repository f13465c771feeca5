// Truncated and damaged JPEG files: which load partially, which raise EJPEG, and that none leaves a
// half-made bitmap behind or upsets the sanitizers.
#include <gtest/gtest.h>

#include <jerror.h>

#include <random>
#include <stdexcept>

#include "picture_formats/jpeg_error.h"
#include "picture_formats/jpeg_image.h"
#include "tests/picture_formats/jpeg_test_support.h"
#include "tests/support/test_files.h"
#include "toolkit/core/exceptions.h"

namespace {

std::vector<uint8_t> Sample(const char* name) {
  return ReadWholeFile(JpegSample(name));
}

// The message code of the EJPEG that running fn raises (0 when none is raised).
template <class Fn>
int JpegErrorOf(Fn fn) {
  try {
    fn();
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.Message(), "JPEG error #" + std::to_string(e.MessageCode()));
    return e.MessageCode();
  }
  return 0;
}

TEST(JpegTruncated, FileCutAfterItsHeaderDecodesAsGreyWithoutError) {
  std::vector<uint8_t> bytes = Sample("baseline.jpg");
  bytes.resize(static_cast<size_t>(SegmentEnd(bytes, 0xDA)));
  auto picture = LoadJpegBytes(bytes);
  EXPECT_EQ(picture->Width(), 64);
  EXPECT_EQ(picture->Height(), 40);
  const TRgbPicture decoded = BitmapPixels(picture->GetBitmap());
  ASSERT_EQ(decoded.Width, 64);
  ASSERT_EQ(decoded.Height, 40);
  // The first MCU (16 x 16) decodes from the zero bits that stand in for missing data; after it the
  // decoder knows the data ran out and leaves every block empty: the DC level everywhere.
  for (int y = 0; y < 40; ++y)
    for (int x = y < 16 ? 16 : 0; x < 64; ++x)
      for (int c = 0; c < 3; ++c) ASSERT_EQ(decoded.At(x, y)[c], 128) << x << ", " << y;
}

TEST(JpegTruncated, FileCutInItsScanKeepsTheRowsItHolds) {
  std::vector<uint8_t> bytes = Sample("baseline.jpg");
  bytes.resize(bytes.size() - 300);
  auto picture = LoadJpegBytes(bytes);
  const TRgbPicture decoded = BitmapPixels(picture->GetBitmap());
  // Exactly what djpeg makes of the same bytes; the top rows (up to where smooth chroma upsampling
  // reaches into the cut MCU row) are those of the whole file.
  EXPECT_EQ(MaxDifference(decoded, ReadPnm(JpegSample("baseline-cut300.ppm"))), 0);
  const TRgbPicture full = ReadPnm(JpegSample("baseline.ppm"));
  const size_t rowBytes = static_cast<size_t>(full.Width) * 3;
  EXPECT_TRUE(std::equal(full.Pixels.begin(), full.Pixels.begin() + 15 * rowBytes, decoded.Pixels.begin()));
  EXPECT_GT(MaxDifference(decoded, full), 0);
}

TEST(JpegTruncated, ProgressiveFileCutAfterItsFirstScanGivesTheCoarsePicture) {
  std::vector<uint8_t> bytes = Sample("progressive.jpg");
  const long secondScan =
      FindMarker(std::vector<uint8_t>(bytes.begin() + SegmentEnd(bytes, 0xDA), bytes.end()), 0xDA);
  ASSERT_GT(secondScan, 0);
  // Cut right before the second scan's header (the tables before it included).
  bytes.resize(static_cast<size_t>(SegmentEnd(bytes, 0xDA) + secondScan));
  auto picture = LoadJpegBytes(bytes);
  EXPECT_TRUE(picture->ProgressiveEncoding);
  const TRgbPicture decoded = BitmapPixels(picture->GetBitmap());
  const TRgbPicture full = ReadPnm(JpegSample("progressive.ppm"));
  EXPECT_GT(MaxDifference(decoded, full), 0);
  EXPECT_LT(MeanDifference(decoded, full), 40.0);
}

TEST(JpegTruncated, FileCutInsideItsHeaderRaisesOnLoad) {
  std::vector<uint8_t> bytes = Sample("baseline.jpg");
  // Inside the first quantisation table: the end-of-image marker arrives before any frame.
  bytes.resize(static_cast<size_t>(FindMarker(bytes, 0xDB) + 10));
  EXPECT_EQ(JpegErrorOf([&] { LoadJpegBytes(bytes); }), JERR_NO_IMAGE);
}

TEST(JpegTruncated, EmptyFileLoadsButFailsToDecode) {
  auto picture = LoadJpegBytes({});
  EXPECT_FALSE(picture->Empty());
  EXPECT_EQ(picture->Width(), 0);
  EXPECT_EQ(JpegErrorOf([&] { picture->GetBitmap(); }), JERR_INPUT_EMPTY);
  EXPECT_FALSE(picture->HasBitmap());
}

TEST(JpegDamaged, HeaderFaultsRaiseOnLoad) {
  const std::vector<uint8_t> good = Sample("baseline.jpg");

  std::vector<uint8_t> notJpeg = {'B', 'M', 0, 0, 0, 0};
  EXPECT_EQ(JpegErrorOf([&] { LoadJpegBytes(notJpeg); }), JERR_NO_SOI);

  std::vector<uint8_t> noWidth = good;
  const long frame = FindMarker(noWidth, 0xC0);
  noWidth[frame + 7] = 0;  // width, high and low byte
  noWidth[frame + 8] = 0;
  EXPECT_EQ(JpegErrorOf([&] { LoadJpegBytes(noWidth); }), JERR_EMPTY_IMAGE);

  std::vector<uint8_t> bigTable = good;
  const long table = FindMarker(bigTable, 0xC4);
  bigTable[table + 5] = 0xFF;  // count of 1-bit codes: more symbols than the segment holds
  EXPECT_EQ(JpegErrorOf([&] { LoadJpegBytes(bigTable); }), JERR_BAD_HUFF_TABLE);

  std::vector<uint8_t> twelveBit = good;
  twelveBit[frame + 4] = 12;  // sample precision
  EXPECT_EQ(JpegErrorOf([&] { LoadJpegBytes(twelveBit); }), JERR_BAD_PRECISION);
}

TEST(JpegDamaged, BadHuffmanCodesRaiseOnDecodeAndLeaveNoBitmap) {
  std::vector<uint8_t> bytes = Sample("baseline.jpg");
  const long table = FindMarker(bytes, 0xC4);
  // Three codes of length 1 cannot exist; the symbol count stays the same, so the header reads.
  uint8_t* counts = &bytes[table + 5];
  int moved = 0;
  for (int length = 15; length >= 1 && moved < 3; --length) {
    const int take = std::min<int>(counts[length], 3 - moved);
    counts[length] = static_cast<uint8_t>(counts[length] - take);
    moved += take;
  }
  counts[0] = static_cast<uint8_t>(counts[0] + moved);
  auto picture = LoadJpegBytes(bytes);
  EXPECT_EQ(picture->Width(), 64);
  EXPECT_EQ(JpegErrorOf([&] { picture->GetBitmap(); }), JERR_BAD_HUFF_TABLE);
  EXPECT_FALSE(picture->HasBitmap());
  // Asking again fails again rather than handing out a stale bitmap.
  EXPECT_EQ(JpegErrorOf([&] { picture->GetBitmap(); }), JERR_BAD_HUFF_TABLE);
}

TEST(JpegDamaged, CorruptScanDataDecodesWithoutError) {
  std::vector<uint8_t> bytes = Sample("baseline.jpg");
  const size_t scan = static_cast<size_t>(SegmentEnd(bytes, 0xDA));
  for (size_t i = scan + 200; i < scan + 260; ++i)
    bytes[i] = static_cast<uint8_t>((i * 37) & 0x7F);  // no marker
  auto picture = LoadJpegBytes(bytes);
  const TRgbPicture decoded = BitmapPixels(picture->GetBitmap());
  EXPECT_EQ(decoded.Width, 64);
  EXPECT_EQ(decoded.Height, 40);
  EXPECT_GT(MaxDifference(decoded, ReadPnm(JpegSample("baseline.ppm"))), 0);
}

// Every damage ends in one of two ways: a picture of the header's size, or an exception of the
// toolkit's family with no bitmap left behind.
void LoadDamaged(const std::vector<uint8_t>& bytes, int& decoded, int& failed, bool alsoEightBit = true,
                 bool progressiveDisplay = false) {
  std::unique_ptr<TJPEGImage> picture;
  try {
    picture = LoadJpegBytes(bytes);
  } catch (const Exception&) {
    ++failed;
    return;
  }
  for (const bool eightBit : {false, true}) {
    if (eightBit && !alsoEightBit) break;
    picture->FreeBitmap();
    picture->OutputFormat = eightBit ? jf8Bit : jf24Bit;
    picture->ProgressiveDisplay = progressiveDisplay;
    try {
      const TBitmap& bitmap = picture->GetBitmap();
      ASSERT_EQ(bitmap.Width(), picture->SharedData().Width);
      ASSERT_EQ(bitmap.Height(), picture->SharedData().Height);
      ++decoded;
    } catch (const Exception&) {
      ASSERT_FALSE(picture->HasBitmap());
      ++failed;
    }
  }
}

TEST(JpegDamaged, EveryByteOfEverySampleMayBeWrong) {
  int decoded = 0, failed = 0;
  for (const char* name : {"baseline.jpg", "progressive.jpg", "gray.jpg", "cmyk.jpg"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> good = Sample(name);
    // Headers byte by byte; scan data sampled.
    const size_t headerEnd = static_cast<size_t>(SegmentEnd(good, 0xDA));
    for (size_t i = 2; i < good.size(); i += i < headerEnd ? 1 : 11) {
      for (const uint8_t value : {uint8_t(good[i] ^ 0xFF), uint8_t(0x00)}) {
        std::vector<uint8_t> bytes = good;
        bytes[i] = value;
        LoadDamaged(bytes, decoded, failed, i % 2 == 0);
        if (HasFatalFailure()) return;
      }
    }
  }
  EXPECT_GT(decoded, 0);
  EXPECT_GT(failed, 0);
}

TEST(JpegDamaged, RandomCutsAndBursts) {
  std::mt19937 random(1234);
  int decoded = 0, failed = 0;
  for (const char* name : {"baseline.jpg", "progressive.jpg", "cmyk.jpg", "odd.jpg"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> good = Sample(name);
    for (int round = 0; round < 150; ++round) {
      std::vector<uint8_t> bytes = good;
      std::uniform_int_distribution<size_t> position(0, bytes.size() - 1);
      for (int burst = 0; burst < 4; ++burst) bytes[position(random)] = static_cast<uint8_t>(random());
      if (round % 3 == 0) bytes.resize(position(random));
      LoadDamaged(bytes, decoded, failed, true, round % 2 == 1);
      if (HasFatalFailure()) return;
    }
  }
  EXPECT_GT(decoded, 0);
  EXPECT_GT(failed, 0);
}

// Exceptions of a progress handler leave the library by its landing point and come out unchanged.
TEST(JpegHandlerExceptions, ForeignExceptionPassesOnAndLeavesNoBitmap) {
  TFakeClock clock(600);
  auto picture = LoadJpegSample("odd.jpg");
  picture->OnProgress = [](TGraphic&, TProgressStage stage, uint8_t, bool, const TRect&, const std::string&) {
    if (stage == TProgressStage::psRunning) throw std::runtime_error("handler failed");
  };
  EXPECT_THROW(picture->GetBitmap(), std::runtime_error);
  EXPECT_FALSE(picture->HasBitmap());
}

TEST(JpegHandlerExceptions, AbortStopsDecodingQuietlyAndKeepsThePartialBitmap) {
  TFakeClock clock(600);
  auto picture = LoadJpegSample("odd.jpg");
  std::vector<int> endings;
  picture->OnProgress = [&](TGraphic&, TProgressStage stage, uint8_t percent, bool, const TRect&,
                            const std::string&) {
    if (stage == TProgressStage::psRunning) Abort();
    if (stage == TProgressStage::psEnding) endings.push_back(percent);
  };
  const TBitmap& bitmap = picture->GetBitmap();
  EXPECT_EQ(bitmap.Width(), 101);
  EXPECT_EQ(bitmap.Height(), 51);
  EXPECT_EQ(endings, std::vector<int>{0});
  const TRgbPicture full = ReadPnm(JpegSample("odd.ppm"));
  EXPECT_GT(MaxDifference(BitmapPixels(bitmap), full), 0) << "decoding stopped early";
}

TEST(JpegHandlerExceptions, AbortInCompressionDiscardsTheData) {
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
