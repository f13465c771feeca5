// Merging a picture file band by band: the row form's start check decides, before any row, what
// becomes of the picture.
#include "workbench/band_merge.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "picture_formats/format_list.h"
#include "tests/support/test_files.h"
#include "tests/workbench/pixel_test_support.h"
#include "toolkit/core/exceptions.h"
#include "workbench/working_bitmap.h"

namespace {

TRowStart StartDecision = TRowStart::rsMerge;
bool StartRaises = false;
int RowsMerged = 0;

TRowStart DecidingStart(TBitmap&, intptr_t) {
  if (StartRaises) throw EIntOverflow("overflow");
  return StartDecision;
}

void CopyingRows(uint8_t* resultRow, const uint8_t* pictureRow, int width, int, intptr_t) {
  ++RowsMerged;
  std::copy_n(pictureRow, width * 3, resultRow);
}

class BandMergeTest : public testing::Test {
 protected:
  void SetUp() override { InitializePictureFormats(); }
  void TearDown() override { FinalizePictureFormats(); }
  TempDir Temp;
};

TEST_F(BandMergeTest, TheStartCheckDecidesBeforeAnyRow) {
  std::string file = Temp.File("frame.jpg");
  ASSERT_TRUE(SavePicture(*NoisePicture(21, 19, 1), file, "unused.bmp", pf24bit));
  TBitmap decoded;
  ASSERT_TRUE(LoadPicture(decoded, file));
  const TRowForm form{CopyingRows, DecidingStart};
  TBandMerger merger;
  auto result = NoisePicture(21, 19, 2);
  const auto before = CopyOf(*result);

  StartDecision = TRowStart::rsWhole;
  EXPECT_EQ(merger.Merge(file, *result, form, 0), TBandMergeResult::bmLoadWhole);
  // An exception of the operation's own reaches the caller, not taken for a picture that failed.
  StartRaises = true;
  EXPECT_THROW(merger.Merge(file, *result, form, 0), EIntOverflow);
  StartRaises = false;
  EXPECT_EQ(RowsMerged, 0);
  EXPECT_TRUE(SamePixels(*result, *before));
  // A result of another size is left to the whole road (which says why it does not fit) before the
  // start check is asked.
  StartRaises = true;
  auto other = NoisePicture(21, 18, 3);
  EXPECT_EQ(merger.Merge(file, *other, form, 0), TBandMergeResult::bmLoadWhole);
  StartRaises = false;
  // A file the decoder refuses fails here, with the decoder's reason.
  const std::string damaged = Temp.File("damaged.jpg");
  WriteWholeFile(damaged, {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x02, 0xFF, 0xC0, 0x00, 0x03, 0x08});
  EXPECT_EQ(merger.Merge(damaged, *result, form, 0), TBandMergeResult::bmFailed);
  EXPECT_FALSE(merger.FailureReason().empty());

  StartDecision = TRowStart::rsMerge;
  EXPECT_EQ(merger.Merge(file, *result, form, 0), TBandMergeResult::bmMerged);
  EXPECT_EQ(RowsMerged, 19);
  EXPECT_TRUE(SamePixels(*result, decoded));
}

}  // namespace
