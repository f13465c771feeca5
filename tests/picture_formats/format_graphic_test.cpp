// The picture reader base and the helpers readers share: predictor undo, plane upsampling, probes.

#include "picture_formats/format_graphic.h"

#include <gtest/gtest.h>

#include "picture_formats/format_helpers.h"
#include "picture_formats/png_graphic.h"
#include "tests/picture_formats/picture_test_support.h"
#include "tests/support/test_files.h"

namespace {

TEST(FormatHelpers, HorizontalDifferenceUndo) {
  Bytes row{1, 2, 3, 1, 1, 1};
  UndoHorizontalDifference24(row, 1);
  EXPECT_EQ(row, (Bytes{1, 2, 3, 2, 3, 4}));
  Bytes wrapping{200, 100, 1, 1};
  UndoHorizontalDifference8(wrapping, 3);
  EXPECT_EQ(wrapping, (Bytes{200, 44, 45, 46}));
  Bytes quads{1, 2, 3, 4, 1, 1, 1, 1};
  UndoHorizontalDifference32(quads, 1);
  EXPECT_EQ(quads, (Bytes{1, 2, 3, 4, 2, 3, 4, 5}));
  // A row shorter than the steps is refused untouched.
  Bytes shortRow{1, 2, 3, 4, 5};
  EXPECT_THROW(UndoHorizontalDifference24(shortRow, 1), ERangeError);
  EXPECT_EQ(shortRow, (Bytes{1, 2, 3, 4, 5}));
}

TEST(FormatHelpers, UpsamplePlaneDoublesBothDirectionsWithinItsBuffer) {
  Bytes plane(16, 0);
  plane[0] = 10, plane[1] = 20, plane[4] = 30, plane[5] = 40;
  UpsamplePlane(2, 2, 4, plane);
  EXPECT_EQ(plane, (Bytes{10, 15, 20, 20, 20, 25, 30, 30, 30, 35, 40, 40, 30, 35, 40, 40}));
  // Rows further apart than the enlarged row: the bytes between stay as they were.
  Bytes wide(4 * 7, 0xEE);
  wide[0] = 10, wide[1] = 20, wide[2] = 40, wide[7] = 30, wide[8] = 50, wide[9] = 90;
  UpsamplePlane(3, 2, 7, wide);
  EXPECT_EQ(Bytes(wide.begin() + 7, wide.begin() + 14), (Bytes{20, 28, 35, 50, 65, 65, 0xEE}));

  Bytes refused(64, 1);
  EXPECT_THROW(UpsamplePlane(1, 4, 8, refused), EIntOverflow);
  EXPECT_THROW(UpsamplePlane(4, 1, 8, refused), EIntOverflow);
  EXPECT_THROW(UpsamplePlane(4, 4, 7, refused), ERangeError);  // pitch below 2 x width
  EXPECT_THROW(UpsamplePlane(4, 4, 8, std::span(refused).first(63)), ERangeError);
  EXPECT_EQ(refused, Bytes(64, 1));
}

TEST(FormatGraphic, TheBaseHeaderReaderClearsTheRecordAndAMissingFileCannotBeProbed) {
  TFormatGraphic graphic;
  TImageProperties& properties = graphic.ImageProperties();
  properties.Width = 7;
  properties.RowsPerStrip = {1, 2};
  TMemoryStream stream;
  stream.WriteBuffer(Bytes{1, 2, 3, 4, 5});
  EXPECT_FALSE(graphic.ReadImageProperties(stream, 0));
  EXPECT_FLOAT_EQ(properties.FileGamma, 1.0f);
  EXPECT_EQ(properties.Width, 0u);
  EXPECT_TRUE(properties.RowsPerStrip.empty());
  TempDir dir;
  EXPECT_THROW(TPNGGraphic::CanLoad(dir.File("missing.png")), EFOpenError);
}

}  // namespace
