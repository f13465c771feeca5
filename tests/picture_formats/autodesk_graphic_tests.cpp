#include "picture_formats/autodesk_graphic.h"

#include <gtest/gtest.h>

#include "tests/picture_formats/reader_test_support.h"

namespace {

// A file written after the format's description by tests/data/autodesk/make.py, against its colours.
TEST(AutodeskFiles, PaletteAndPixels) {
  const Bytes file = Sample("autodesk/picture.cel");
  EXPECT_TRUE(ProbeBytes<TAutodeskGraphic>(file));
  const auto picture = LoadBytes<TAutodeskGraphic>(file);
  EXPECT_EQ(picture->PixelFormat(), pf8bit);
  EXPECT_EQ(picture->Width(), 37);
  EXPECT_EQ(picture->Height(), 23);
  EXPECT_EQ(PixelColors(*picture), Sample("autodesk/picture.rgb"));
  // The spare entry 255 is (63, 63, 0) x 4.
  EXPECT_EQ(picture->ColorTable()[255], (TPaletteEntry{252, 252, 0, 0}));

  // A picture whose pixels end early is refused; one without pixels (a header, perhaps with its palette,
  // alone) is no picture at all.
  const auto refused = [&](size_t size) {
    return RaisedMessage<EInvalidGraphic>(
        [&] { LoadBytes<TAutodeskGraphic>(Bytes(file.begin(), file.begin() + long(size))); });
  };
  EXPECT_EQ(refused(file.size() - 37 * 3),
            "Cannot load image. The Autodesk file ends before its picture does.");
  for (const size_t size : {size_t{32}, size_t{400}, size_t{800}})
    EXPECT_EQ(refused(size), "Cannot load image. Invalid or unexpected Autodesk image format.") << size;
}

TEST(AutodeskFiles, ProbeAndRefusals) {
  const Bytes good = Sample("autodesk/picture.cel");
  // 4 bits per pixel: the probe refuses it, the reader chosen by extension reads 8-bit data anyway.
  Bytes fourBits = good;
  fourBits[10] = 4;
  EXPECT_FALSE(ProbeBytes<TAutodeskGraphic>(fourBits));
  EXPECT_EQ(PixelColors(*LoadBytes<TAutodeskGraphic>(fourBits)), Sample("autodesk/picture.rgb"));
  Bytes compressed = good;
  compressed[11] = 1;
  EXPECT_FALSE(ProbeBytes<TAutodeskGraphic>(compressed));
  EXPECT_FALSE(ProbeBytes<TAutodeskGraphic>(Bytes(good.begin(), good.begin() + 32)));

  const std::string invalid = "Cannot load image. Invalid or unexpected Autodesk image format.";
  Bytes foreign = good;
  foreign[1] = 0x92;
  EXPECT_FALSE(ProbeBytes<TAutodeskGraphic>(foreign));
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TAutodeskGraphic>(foreign); }), invalid);
  Bytes noRows = good;
  noRows[4] = noRows[5] = 0;
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TAutodeskGraphic>(noRows); }), invalid);
  // A palette value beyond 6 bits does not fit a byte when multiplied by 4.
  Bytes bright = good;
  bright[32 + 5] = 64;
  EXPECT_THROW(LoadBytes<TAutodeskGraphic>(bright), ERangeError);
  EXPECT_THROW(LoadBytes<TAutodeskGraphic>(Bytes(good.begin(), good.begin() + 20)), EReadError);
}

}  // namespace
