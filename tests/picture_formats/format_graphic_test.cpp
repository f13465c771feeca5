// The picture reader base and the helpers readers share: errors, swaps, predictor undo, plane
// upsampling, probes, progress and rows converted into the reader's own bitmap.

#include "picture_formats/format_graphic.h"

#include <gtest/gtest.h>

#include <vector>

#include "picture_formats/format_helpers.h"
#include "picture_formats/format_messages.h"
#include "tests/support/test_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(FormatHelpers, ErrorsAreInvalidGraphics) {
  try {
    FormatErrorFmt(gesInvalidImage, {"PNG"});
    FAIL() << "nothing raised";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Cannot load image. Invalid or unexpected PNG image format.");
  }
  try {
    FormatErrorFmt(gesUnsupportedFeature, {gesCompressionScheme, "TIF/TIFF"});
    FAIL() << "nothing raised";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Cannot load image. The compression scheme is not supported for TIF/TIFF files.");
  }
  EXPECT_THROW(FormatError("x"), EInvalidGraphic);
}

TEST(FormatHelpers, ByteOrderSwaps) {
  std::vector<uint16_t> shorts{0x1234, 0xAB00};
  SwapShorts(shorts);
  EXPECT_EQ(shorts, (std::vector<uint16_t>{0x3412, 0x00AB}));
  std::vector<uint32_t> longs{0x12345678, 0x000000FF};
  SwapLongs(longs);
  EXPECT_EQ(longs, (std::vector<uint32_t>{0x78563412, 0xFF000000}));
  EXPECT_EQ(SwapLong(0x0D0C0B0A), 0x0A0B0C0Du);
}

TEST(FormatHelpers, HorizontalDifferenceUndo) {
  Bytes row{1, 2, 3, 1, 1, 1};
  UndoHorizontalDifference24(row, 1);
  EXPECT_EQ(row, (Bytes{1, 2, 3, 2, 3, 4}));
  Bytes wrapping{200, 100, 1, 1};
  UndoHorizontalDifference8(wrapping, 3);
  EXPECT_EQ(wrapping, (Bytes{200, 44, 45, 46}));
  Bytes quads{1, 2, 3, 4, 1, 1, 1, 1, 1, 1, 1, 1};
  UndoHorizontalDifference32(quads, 2);
  EXPECT_EQ(quads, (Bytes{1, 2, 3, 4, 2, 3, 4, 5, 3, 4, 5, 6}));
  // Count 0 changes nothing; a row shorter than the steps is refused untouched.
  Bytes single{7};
  UndoHorizontalDifference8(single, 0);
  EXPECT_EQ(single, Bytes{7});
  Bytes shortRow{1, 2, 3, 4, 5};
  EXPECT_THROW(UndoHorizontalDifference24(shortRow, 1), ERangeError);
  EXPECT_EQ(shortRow, (Bytes{1, 2, 3, 4, 5}));
}

TEST(FormatHelpers, UpsamplePlaneDoublesBothDirections) {
  Bytes plane(16, 0);
  plane[0] = 10, plane[1] = 20, plane[4] = 30, plane[5] = 40;
  UpsamplePlane(2, 2, 4, plane);
  EXPECT_EQ(plane, (Bytes{10, 15, 20, 20, 20, 25, 30, 30, 30, 35, 40, 40, 30, 35, 40, 40}));

  // Three columns, pitch larger than the enlarged row: bytes past 2 x width stay as they were.
  Bytes wide(4 * 7, 0xEE);
  const Bytes top{10, 20, 40}, bottom{30, 50, 90};
  std::copy(top.begin(), top.end(), wide.begin());
  std::copy(bottom.begin(), bottom.end(), wide.begin() + 7);
  UpsamplePlane(3, 2, 7, wide);
  EXPECT_EQ(Bytes(wide.begin(), wide.begin() + 7), (Bytes{10, 15, 20, 30, 40, 40, 0xEE}));
  EXPECT_EQ(Bytes(wide.begin() + 7, wide.begin() + 14), (Bytes{20, 28, 35, 50, 65, 65, 0xEE}));
  EXPECT_EQ(Bytes(wide.begin() + 14, wide.begin() + 20), (Bytes{30, 40, 50, 70, 90, 90}));
  EXPECT_EQ(Bytes(wide.begin() + 21, wide.begin() + 27), (Bytes{30, 40, 50, 70, 90, 90}));
}

TEST(FormatHelpers, UpsamplePlaneRefusesWhatItCannotHold) {
  Bytes plane(64, 1);
  EXPECT_THROW(UpsamplePlane(1, 4, 8, plane), EIntOverflow);
  EXPECT_THROW(UpsamplePlane(4, 1, 8, plane), EIntOverflow);
  EXPECT_THROW(UpsamplePlane(0, 0, 8, plane), EIntOverflow);
  EXPECT_THROW(UpsamplePlane(4, 4, 7, plane), ERangeError);  // pitch below 2 x width
  EXPECT_THROW(UpsamplePlane(4, 4, 8, std::span(plane).first(63)), ERangeError);
  EXPECT_EQ(plane, Bytes(64, 1));
  EXPECT_NO_THROW(UpsamplePlane(4, 4, 8, std::span(plane).first(7 * 8 + 8)));
}

TEST(FormatHelpers, ProbesLeaveTheStreamWhereItWas) {
  TMemoryStream stream;
  const Bytes bytes{1, 2, 3, 4, 5};
  stream.WriteBuffer(bytes);
  stream.SetPosition(2);
  EXPECT_EQ(BytesLeft(stream), 3);
  {
    TStreamPositionGuard guard(stream);
    stream.SetPosition(5);
    EXPECT_EQ(BytesLeft(stream), 0);
  }
  EXPECT_EQ(stream.Position(), 2);
  try {
    TStreamPositionGuard guard(stream);
    uint8_t buffer[8];
    stream.ReadBuffer(buffer, sizeof(buffer));
  } catch (const EReadError&) {
  }
  EXPECT_EQ(stream.Position(), 2);
}

// A reader of two-byte "AB" files, to check the class-level probes and the base's services.
class TABGraphic : public TFormatGraphic {
  ORVANTA_GRAPHIC_CLASS(TABGraphic, TFormatGraphic)
  ORVANTA_FORMAT_PROBES(TABGraphic)

 public:
  // Loads "AB", width, then width RGB pixels: one row, converted into a 24-bit bitmap.
  void LoadFromStream(TStream& stream) override {
    ReleaseHandle();
    BasePosition = stream.Position();
    if (!ReadImageProperties(stream, 0)) FormatErrorFmt(gesInvalidImage, {"AB"});
    const int width = static_cast<int>(ImageProperties().Width);
    ProgressRect = Rect(0, 0, width, 1);
    ProgressStarting(gesTransfering);
    Bytes row(static_cast<size_t>(width) * 3);
    stream.ReadBuffer(row);
    ColorManager().SetSourceColorScheme(scRGB);
    ColorManager().SetTargetColorScheme(scBGR);
    SetPixelFormat(ColorManager().GetPixelFormat(1));
    SetSize(width, 1);
    ColorManager().ConvertRow({row}, ScanLineBytes(0), static_cast<uint32_t>(width), 0xFF);
    ProgressRow(0, 1);
    ProgressEnding();
  }
  bool ReadImageProperties(TStream& stream, uint32_t imageIndex) override {
    TFormatGraphic::ReadImageProperties(stream, imageIndex);
    uint8_t header[3];
    stream.ReadBuffer(header, 3);
    if (header[0] != 'A' || header[1] != 'B') return false;
    ImageProperties().Width = header[2];
    ImageProperties().Height = 1;
    ImageProperties().ColorScheme = scRGB;
    return true;
  }
};

bool TABGraphic::CanLoad(TStream& stream) {
  TStreamPositionGuard guard(stream);
  if (BytesLeft(stream) <= 3) return false;
  uint8_t header[2];
  stream.ReadBuffer(header, 2);
  return header[0] == 'A' && header[1] == 'B';
}

TEST(FormatGraphic, BaseHeaderReaderClearsTheRecord) {
  TFormatGraphic graphic;
  TImageProperties& properties = graphic.ImageProperties();
  properties.Width = 7;
  properties.HeaderFlags = hfBigEndian;
  properties.RowsPerStrip = {1, 2};
  properties.PNGFilterMethod = 3;
  TMemoryStream stream;
  EXPECT_FALSE(graphic.ReadImageProperties(stream, 0));
  EXPECT_FLOAT_EQ(properties.FileGamma, 1.0f);
  EXPECT_EQ(properties.Width, 0u);
  EXPECT_EQ(properties.HeaderFlags, 0);
  EXPECT_TRUE(properties.RowsPerStrip.empty());
  EXPECT_EQ(properties.PNGFilterMethod, 0);
  EXPECT_EQ(graphic.ColorManager().TargetColorScheme(), scBGR);
  EXPECT_TRUE(TFormatGraphic::StaticClass()->InheritsFrom(TBitmap::StaticClass()));
  EXPECT_EQ(TABGraphic::StaticClass()->Parent, TFormatGraphic::StaticClass());
}

TEST(FormatGraphic, ClassLevelProbes) {
  TempDir dir;
  EXPECT_THROW(TFormatGraphic::CanLoad(dir.File("missing.ab")), EFOpenError);
  EXPECT_THROW(TABGraphic::CanLoad(dir.File("missing.ab")), EFOpenError);
  WriteWholeFile(dir.File("one.ab"), {'A', 'B', 1, 9, 9, 9});
  EXPECT_FALSE(TFormatGraphic::CanLoad(dir.File("one.ab")));
  EXPECT_TRUE(TABGraphic::CanLoad(dir.File("one.ab")));
  EXPECT_TRUE(TFormatGraphic::CanLoadFile<TABGraphic>(dir.File("one.ab")));

  TMemoryStream stream;
  const Bytes bytes{0, 'A', 'B', 1};
  stream.WriteBuffer(bytes);
  stream.SetPosition(1);
  EXPECT_FALSE(TABGraphic::CanLoad(stream));  // exactly the header size left
  EXPECT_EQ(stream.Position(), 1);
  stream.Seek(0, TSeekOrigin::soEnd);
  stream.WriteBuffer(bytes);
  stream.SetPosition(1);
  EXPECT_TRUE(TABGraphic::CanLoad(stream));
  EXPECT_EQ(stream.Position(), 1);
}

TEST(FormatGraphic, LoadsRowsReportsProgressAndAssigns) {
  TABGraphic reader;
  std::vector<std::pair<TProgressStage, TRect>> reports;
  std::vector<std::string> messages;
  reader.OnProgress = [&](TGraphic&, TProgressStage stage, uint8_t, bool, const TRect& rect,
                          const std::string& message) {
    reports.emplace_back(stage, rect);
    messages.push_back(message);
  };
  TMemoryStream stream;
  const Bytes file{'A', 'B', 2, 10, 20, 30, 40, 50, 60};
  stream.WriteBuffer(file);
  stream.SetPosition(0);
  reader.LoadFromStream(stream);
  ASSERT_EQ(reader.Width(), 2);
  EXPECT_EQ(reader.PixelFormat(), pf24bit);
  const uint8_t* row = reader.ScanLine(0);
  EXPECT_EQ(Bytes(row, row + 6), (Bytes{30, 20, 10, 60, 50, 40}));

  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[0].first, TProgressStage::psStarting);
  EXPECT_EQ(messages[0], gesTransfering);
  EXPECT_EQ(reports[1].first, TProgressStage::psRunning);
  EXPECT_EQ(reports[1].second, Rect(0, 0, 2, 1));
  EXPECT_EQ(reports[2].first, TProgressStage::psEnding);
  EXPECT_EQ(reports[2].second, Rect(0, 1, 2, 2));

  TABGraphic copy;
  copy.Assign(reader);
  EXPECT_EQ(copy.ImageProperties().Width, 2u);
  EXPECT_EQ(copy.Width(), 2);

  stream.SetPosition(1);
  EXPECT_THROW(reader.LoadFromStream(stream), EInvalidGraphic);
}

}  // namespace
