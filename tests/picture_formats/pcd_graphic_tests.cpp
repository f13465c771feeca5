#include "picture_formats/pcd_graphic.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/picture_formats/reader_test_support.h"

namespace {

constexpr int kWidth = 768, kHeight = 512;

const Bytes& Landscape() {
  static const Bytes pack = Sample("pcd/landscape.pcd.gz");
  return pack;
}

// ImageMagick's reading of the pack's base image (tests/data/pcd/make.sh), turned into R G B by the
// PhotoYCC formula of the colour manager.
const Bytes& Reference() {
  static const Bytes colors = [] {
    const Bytes ycc = Sample("pcd/landscape.ycc.gz");
    TColorManager colors;
    colors.SetSourceColorScheme(scPhotoYCC);
    colors.SetTargetColorScheme(scRGB);
    colors.SetYCbCrParameters({0.2125f, 0.7154f, 0.0721f}, 2, 2);
    Bytes rgb(ycc.size());
    colors.ConvertRow({std::span<const uint8_t>(ycc)}, rgb, kWidth * kHeight, 0xFF);
    return rgb;
  }();
  return colors;
}

Bytes WithOrientation(uint8_t orientation) {
  Bytes pack = Landscape();
  pack[3586] = uint8_t((pack[3586] & ~3) | orientation);
  return pack;
}

TEST(PCDFiles, TheBaseImageOfAnImageMagickPackUprightInEveryOrientation) {
  ASSERT_EQ(Landscape().size(), 788480u);
  // Orientation 2 counts as landscape.
  for (uint8_t orientation : {0, 2}) {
    const auto picture = LoadBytes<TPCDGraphic>(WithOrientation(orientation));
    EXPECT_EQ(picture->PixelFormat(), pf24bit);
    EXPECT_EQ(picture->Width(), kWidth);
    EXPECT_EQ(PixelColors(*picture), Reference());
  }
  // Orientation 1 turns the picture a quarter counter-clockwise, 3 clockwise.
  for (uint8_t orientation : {1, 3}) {
    SCOPED_TRACE(int(orientation));
    const auto picture = LoadBytes<TPCDGraphic>(WithOrientation(orientation));
    ASSERT_EQ(picture->Width(), kHeight);
    ASSERT_EQ(picture->Height(), kWidth);
    const Bytes colors = PixelColors(*picture);
    size_t wrong = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const size_t at =
            orientation == 1 ? size_t(kWidth - 1 - x) * kHeight + y : size_t(x) * kHeight + kHeight - 1 - y;
        wrong += std::memcmp(&colors[3 * at], &Reference()[3 * (size_t(y) * kWidth + x)], 3) != 0;
      }
    EXPECT_EQ(wrong, 0u);
  }
}

TEST(PCDHeader, ProbeAndRefusals) {
  const Bytes& pack = Landscape();
  EXPECT_TRUE(ProbeBytes<TPCDGraphic>(pack));
  EXPECT_FALSE(ProbeBytes<TPCDGraphic>(Bytes(pack.begin(), pack.begin() + 6144)));
  EXPECT_TRUE(ProbeBytes<TPCDGraphic>(Bytes(pack.begin(), pack.begin() + 6145)));

  // An overview pack is recognised, described at the thumbnail size and refused.
  Bytes overview = pack;
  std::memcpy(overview.data(), "PCD_OPA", 7);
  std::memcpy(overview.data() + 2048, "XXX", 3);
  EXPECT_TRUE(ProbeBytes<TPCDGraphic>(overview));
  TMemoryStream stream;
  stream.WriteBuffer(overview);
  stream.SetPosition(0);
  TPCDGraphic header;
  EXPECT_TRUE(header.ReadImageProperties(stream, 4));
  EXPECT_EQ(header.ImageProperties().Width, 192u);
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TPCDGraphic>(overview); }),
            "Cannot load image. Invalid or unexpected PCD image format.");
  // Without either signature the picture stays empty.
  Bytes foreign = pack;
  foreign[2048] = 'X';
  EXPECT_FALSE(ProbeBytes<TPCDGraphic>(foreign));
  EXPECT_TRUE(LoadBytes<TPCDGraphic>(foreign)->Empty());

  // Packs that end early: inside the header sectors the stream's read error, inside the base image a
  // refusal before the planes are allocated.
  for (size_t size : {100u, 6143u})
    EXPECT_THROW(LoadBytes<TPCDGraphic>(Bytes(pack.begin(), pack.begin() + long(size))), EReadError) << size;
  for (size_t size : {196608u + 2304u * 100, 788479u - 2048u})
    EXPECT_EQ(RaisedMessage<EInvalidGraphic>(
                  [&] { LoadBytes<TPCDGraphic>(Bytes(pack.begin(), pack.begin() + long(size))); }),
              "Cannot load image. The PCD file ends before its picture does.")
        << size;
}

}  // namespace
