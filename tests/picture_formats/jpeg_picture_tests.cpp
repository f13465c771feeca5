// TJPEGImage as a picture: sharing, assignment, palettes, the stored-form data, the registry, handing
// the bitmap out, and the progress throttle.
#include <gtest/gtest.h>

#include <jerror.h>

#include "picture_formats/jpeg_image.h"
#include "tests/picture_formats/jpeg_test_support.h"
#include "tests/support/test_files.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/palette.h"
#include "toolkit/graphics/picture.h"

namespace {

TEST(JpegDefaults, NewPicturesTakeTheDefaults) {
  EXPECT_EQ(JPEGDefaults.OutputFormat, jf24Bit) << "the screen has more than 8 bits per pixel";
  TJPEGImage picture;
  EXPECT_EQ(picture.Quality, 90);
  EXPECT_FALSE(picture.Grayscale);
  EXPECT_FALSE(picture.FastMode);
  EXPECT_EQ(picture.OutputFormat, jf24Bit);
  EXPECT_FALSE(picture.ProgressiveDisplay);
  EXPECT_FALSE(picture.ProgressiveEncoding);
  EXPECT_EQ(picture.ScaleShift, 0);
  EXPECT_TRUE(picture.BlockSmoothing);
  EXPECT_TRUE(picture.SubsampleHorizontally);
  EXPECT_TRUE(picture.SubsampleVertically);
  EXPECT_FALSE(picture.FloatDCT);

  const TJPEGDefaults saved = JPEGDefaults;
  JPEGDefaults.Quality = 75;
  JPEGDefaults.ScaleShift = 2;
  TJPEGImage changed;
  EXPECT_EQ(changed.Quality, 75);
  EXPECT_EQ(changed.ScaleShift, 2);
  JPEGDefaults.OutputFormat = jf8Bit;
  InitJPEGDefaults();
  EXPECT_EQ(JPEGDefaults.OutputFormat, jf8Bit) << "the screen is asked once, at start-up";
  JPEGDefaults = saved;
}

TEST(JpegSharing, AssignSharesDataAndEqualsTellsIt) {
  auto first = LoadJpegSample("baseline.jpg");
  auto separate = LoadJpegSample("baseline.jpg");
  EXPECT_FALSE(first->Equals(*separate)) << "loaded separately";
  TJPEGImage second;
  second.Quality = 40;
  second.Assign(*first);
  EXPECT_TRUE(second.Equals(*first));
  EXPECT_TRUE(first->Equals(second));
  EXPECT_EQ(&second.SharedData(), &first->SharedData());
  EXPECT_EQ(second.Quality, 40) << "options are not copied";
  EXPECT_FALSE(second.HasBitmap());

  TBitmap bitmap;
  EXPECT_FALSE(second.Equals(bitmap));

  const TJPEGData* before = &first->SharedData();
  first->Assign(*first);
  EXPECT_EQ(&first->SharedData(), before);
}

TEST(JpegSharing, AssignCopiesADecodedBitmap) {
  auto first = LoadJpegSample("s444.jpg");
  const TBitmap& decoded = first->GetBitmap();
  TJPEGImage second;
  second.Assign(*first);
  ASSERT_TRUE(second.HasBitmap());
  EXPECT_NE(&second.GetBitmap(), &decoded);
  EXPECT_EQ(MaxDifference(BitmapPixels(second.GetBitmap()), BitmapPixels(decoded)), 0);
}

TEST(JpegSharing, NewDataDropsABitmapDecodedFromTheFormerData) {
  auto picture = LoadJpegSample("baseline.jpg");
  picture->GetBitmap();
  auto other = LoadJpegSample("odd.jpg");
  picture->Assign(*other);
  EXPECT_FALSE(picture->HasBitmap());
  EXPECT_EQ(picture->GetBitmap().Width(), 101);

  picture->LoadFromFile(JpegSample("baseline.jpg"));
  EXPECT_FALSE(picture->HasBitmap());
  EXPECT_EQ(picture->Width(), 64);
  EXPECT_EQ(MaxDifference(BitmapPixels(picture->GetBitmap()), ReadPnm(JpegSample("baseline.ppm"))), 0);
}

TEST(JpegSize, CannotBeChanged) {
  auto picture = LoadJpegSample("baseline.jpg");
  try {
    picture->SetWidth(10);
    FAIL() << "no error";
  } catch (const EInvalidGraphicOperation& e) {
    EXPECT_EQ(e.Message(), "Cannot change the size of a JPEG image");
  }
  EXPECT_THROW(picture->SetHeight(10), EInvalidGraphicOperation);
  EXPECT_EQ(picture->Width(), 64);
}

TEST(JpegSize, PictureWithoutDataHasNoSizeAndDecodesLikeAnEmptyFile) {
  TJPEGImage picture;
  picture.ScaleShift = 1;
  EXPECT_EQ(picture.Width(), 0);
  EXPECT_EQ(picture.Height(), 0);
  try {
    picture.GetBitmap();
    FAIL() << "no error";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.MessageCode(), JERR_INPUT_EMPTY);
  }
  EXPECT_FALSE(picture.HasBitmap());
}

TEST(JpegBitmap, OptionChangesKeepTheDecodedBitmap) {
  auto picture = LoadJpegSample("baseline.jpg");
  const TBitmap* first = &picture->GetBitmap();
  picture->Grayscale = true;
  picture->ScaleShift = 2;
  EXPECT_EQ(&picture->GetBitmap(), first);
  EXPECT_EQ(picture->Width(), 64) << "the bitmap's size wins";
}

TEST(JpegBitmap, ReleaseBitmapHandsTheDecodedRowsOut) {
  auto picture = LoadJpegSample("odd.jpg");
  std::unique_ptr<TBitmap> decoded = picture->ReleaseBitmap();
  ASSERT_NE(decoded, nullptr);
  EXPECT_FALSE(picture->HasBitmap());
  EXPECT_EQ(picture->Width(), 101) << "the picture keeps its data";
  const uint8_t* rows = decoded->ScanLine(0);

  TBitmap working;
  working.TakeOver(*decoded);
  EXPECT_EQ(working.ScanLine(0), rows) << "taken over without a copy";
  EXPECT_EQ(working.PixelFormat(), pf24bit);
  EXPECT_EQ(MaxDifference(BitmapPixels(working), ReadPnm(JpegSample("odd.ppm"))), 0);

  EXPECT_EQ(picture->GetBitmap().Height(), 51) << "decodes again when asked";
}

TEST(JpegBitmap, BitmapAssignAndDrawDecode) {
  const TRgbPicture expected = ReadPnm(JpegSample("baseline.ppm"));
  auto picture = LoadJpegSample("baseline.jpg");
  TBitmap assigned;
  assigned.Assign(*picture);
  EXPECT_EQ(MaxDifference(BitmapPixels(assigned), expected), 0);

  TBitmap canvasBitmap;
  canvasBitmap.SetPixelFormat(pf24bit);
  canvasBitmap.SetSize(64, 40);
  canvasBitmap.Canvas().Draw(0, 0, *LoadJpegSample("baseline.jpg"));
  EXPECT_EQ(MaxDifference(BitmapPixels(canvasBitmap), expected), 0);
}

TEST(JpegPalette, NoPaletteForTrueColourOnATrueColourScreen) {
  auto picture = LoadJpegSample("baseline.jpg");
  EXPECT_EQ(picture->Palette(), nullptr);
  picture->OutputFormat = jf8Bit;
  picture->GetBitmap();
  ASSERT_NE(picture->Palette(), nullptr);
  EXPECT_LE(GetPaletteEntries(picture->Palette(), 0, 256, nullptr), 236u);
}

TEST(JpegPalette, ADifferentPaletteDropsTheBitmap) {
  auto picture = LoadJpegSample("baseline.jpg");
  picture->GetBitmap();
  int changes = 0;
  picture->OnChange = [&](TGraphic&) { ++changes; };
  picture->SetPaletteModified(false);
  const HPALETTE halftone = CreateHalftonePalette();
  picture->SetPalette(halftone);
  EXPECT_FALSE(picture->HasBitmap());
  EXPECT_TRUE(picture->PaletteModified());
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(picture->Palette(), halftone);
  picture->SetPalette(halftone);
  EXPECT_EQ(changes, 1) << "the same palette changes nothing";
  // True-colour output has no use for it and drops it when decoding.
  EXPECT_EQ(picture->GetBitmap().PixelFormat(), pf24bit);
  picture->FreeBitmap();
  EXPECT_EQ(picture->Palette(), nullptr);
}

TEST(JpegPalette, EightBitOutputMapsToAGivenPalette) {
  auto picture = LoadJpegSample("baseline.jpg");
  picture->OutputFormat = jf8Bit;
  picture->SetPalette(CreateHalftonePalette());
  const TBitmap& bitmap = picture->GetBitmap();
  ASSERT_EQ(bitmap.PixelFormat(), pf8bit);
  const auto table = bitmap.ColorTable();
  ASSERT_EQ(table.size(), 256u);
  for (size_t i = 0; i < table.size(); ++i) EXPECT_EQ(table[i], HalftonePaletteEntries()[i]) << i;
  // Error diffusion over a coarse cube: close on average only.
  EXPECT_LT(MeanDifference(BitmapPixels(bitmap), ReadPnm(JpegSample("baseline.ppm"))), 30.0);
}

TEST(JpegStreams, LoadFromStreamReadsFromThePositionToTheEnd) {
  const std::vector<uint8_t> jpeg = ReadWholeFile(JpegSample("gray.jpg"));
  TMemoryStream stream;
  stream.WriteBuffer("prefix", 6);
  stream.WriteBuffer(jpeg.data(), static_cast<int64_t>(jpeg.size()));
  stream.SetPosition(6);
  TJPEGImage picture;
  picture.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), stream.Size());
  EXPECT_EQ(picture.SharedData().DataStream->Size(), static_cast<int64_t>(jpeg.size()));
  EXPECT_EQ(picture.Width(), 64);
}

TEST(JpegStreams, ReadStreamOfAShortStreamRaisesTheReadError) {
  TMemoryStream stream;
  stream.WriteBuffer("\xFF\xD8", 2);
  stream.SetPosition(0);
  TJPEGImage picture;
  EXPECT_THROW(picture.ReadStream(100, stream), EReadError);
  EXPECT_THROW(picture.ReadStream(-1, stream), EReadError);
}

TEST(JpegStreams, DataPropertyRoundTrip) {
  auto picture = LoadJpegSample("restart.jpg");
  TMemoryStream stored;
  picture->WriteData(stored);
  const std::vector<uint8_t> jpeg = ReadWholeFile(JpegSample("restart.jpg"));
  EXPECT_EQ(stored.Size(), static_cast<int64_t>(jpeg.size()) + 4);
  stored.SetPosition(0);
  TJPEGImage copy;
  copy.ReadData(stored);
  EXPECT_EQ(copy.Width(), 64);
  EXPECT_EQ(MaxDifference(BitmapPixels(copy.GetBitmap()), ReadPnm(JpegSample("restart.ppm"))), 0);

  TJPEGImage fresh;
  TMemoryStream empty;
  fresh.WriteData(empty);
  ASSERT_EQ(empty.Size(), 4);
  EXPECT_EQ(empty.Bytes()[0] | empty.Bytes()[1] | empty.Bytes()[2] | empty.Bytes()[3], 0);
}

TEST(JpegRegistry, PictureLoadsThroughTheRegisteredClass) {
  TempDir folder;
  const std::string name = folder.File("photo.JPE");
  WriteWholeFile(name, ReadWholeFile(JpegSample("odd.jpg")));
  TPicture::RegisterFileFormat("jpe", "JPE images", TJPEGImage::StaticClass());
  TPicture picture;
  picture.LoadFromFile(name);
  TPicture::UnregisterGraphicClass(TJPEGImage::StaticClass());
  auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Graphic());
  ASSERT_NE(jpeg, nullptr);
  EXPECT_EQ(picture.Width(), 101);
  EXPECT_EQ(MaxDifference(BitmapPixels(jpeg->GetBitmap()), ReadPnm(JpegSample("odd.ppm"))), 0);
}

// The throttle: one report per 500 ms at most, only for a new percentage, none on the first call.
TEST(JpegProgress, ReportsAreThrottledAndCarryTheRowsDone) {
  TFakeClock clock(100);
  TBitmap source;
  FillBitmap(source, SyntheticPicture(64, 400, 8));
  TJPEGImage compressed;
  compressed.Assign(source);
  compressed.Compress();
  auto picture = LoadJpegBytes(std::vector<uint8_t>(compressed.SharedData().DataStream->Bytes().begin(),
                                                    compressed.SharedData().DataStream->Bytes().end()));
  struct TReport {
    TProgressStage Stage;
    int Percent;
    bool Redraw;
    TRect Rect;
    uint32_t Time;
  };
  std::vector<TReport> reports;
  picture->OnProgress = [&](TGraphic&, TProgressStage stage, uint8_t percent, bool redraw, const TRect& rect,
                            const std::string&) {
    reports.push_back({stage, percent, redraw, rect, TFakeClock::Now()});
  };
  picture->GetBitmap();
  ASSERT_GE(reports.size(), 5u);
  EXPECT_EQ(reports.front().Stage, TProgressStage::psStarting);
  EXPECT_EQ(reports.back().Stage, TProgressStage::psEnding);
  EXPECT_EQ(reports.back().Percent, 100);
  int top = 0;
  for (size_t i = 1; i + 1 < reports.size(); ++i) {
    const TReport& report = reports[i];
    ASSERT_EQ(report.Stage, TProgressStage::psRunning);
    if (i > 1) {
      EXPECT_GE(report.Time - reports[i - 1].Time, 500u);
    }
    EXPECT_GT(report.Percent, reports[i - 1].Percent);
    EXPECT_EQ(report.Rect.Left, 0);
    EXPECT_EQ(report.Rect.Right, 64);
    EXPECT_EQ(report.Rect.Top, top) << "each report starts where the last ended";
    EXPECT_EQ(report.Redraw, report.Rect.Height() >= 4);
    top = report.Rect.Bottom;
  }
  // With a running 100 ms clock, about one call in five may report.
  EXPECT_LT(reports.size(), 400u / 4);
}

}  // namespace
