#include "picture_formats/rla_graphic.h"

#include <gtest/gtest.h>

#include "picture_formats/color_manager.h"
#include "picture_formats/decoder.h"
#include "tests/picture_formats/reader_test_support.h"

namespace {

// Header fields by their offset.
void Set16(Bytes& file, size_t offset, uint16_t value) {
  Poke(file, offset, Be(value, 2));
}
void SetText(Bytes& file, size_t offset, size_t size, const std::string& text) {
  std::fill_n(file.begin() + long(offset), size, 0);
  std::copy(text.begin(), text.end(), file.begin() + long(offset));
}
constexpr size_t kColourChannels = 20, kGamma = 28, kChannelText = 580, kChannelBits = 658;

// Files written after the format's description by tests/data/rla/make.py, against their drawings.
TEST(RLAFiles, ColoursMattesAndRowOrders) {
  const auto rgb = LoadBytes<TRLAGraphic>(Sample("rla/rgb.rla"));
  EXPECT_EQ(rgb->PixelFormat(), pf24bit);
  EXPECT_EQ(PixelColors(*rgb), Sample("rla/rgb.rgb"));

  // One matte, rows stored top first, the active window not at 0; then two mattes (and an auxiliary
  // channel) with rows placed in the file in reverse order: the first matte is the alpha.
  for (const char* name : {"rla/rgba.rla", "rla/two_mattes.rla"}) {
    SCOPED_TRACE(name);
    const auto rgba = LoadBytes<TRLAGraphic>(Sample(name));
    EXPECT_EQ(rgba->PixelFormat(), pf32bit);
    EXPECT_EQ(rgba->ImageProperties().SamplesPerPixel, 4);
    EXPECT_EQ(PixelColors(*rgba, true), Sample("rla/rgba.rgba"));
  }
}

TEST(RLAHeader, ChannelTextGammaAndRefusals) {
  const Bytes good = Sample("rla/rgb.rla");
  EXPECT_TRUE(ProbeBytes<TRLAGraphic>(good));
  EXPECT_FALSE(ProbeBytes<TRLAGraphic>(Bytes(good.begin(), good.begin() + 740)));

  // The channel text in capitals is accepted; a foreign one leaves an empty picture without an error.
  Bytes capitals = good;
  SetText(capitals, kChannelText, 32, "RGB");
  EXPECT_TRUE(ProbeBytes<TRLAGraphic>(capitals));
  EXPECT_EQ(PixelColors(*LoadBytes<TRLAGraphic>(capitals)), Sample("rla/rgb.rgb"));
  Bytes foreign = good;
  SetText(foreign, kChannelText, 32, "rgbz");
  EXPECT_FALSE(ProbeBytes<TRLAGraphic>(foreign));
  EXPECT_TRUE(LoadBytes<TRLAGraphic>(foreign)->Empty());
  // "xyz" has no colour conversion.
  Bytes xyz = good;
  SetText(xyz, kChannelText, 32, "xyz");
  EXPECT_TRUE(ProbeBytes<TRLAGraphic>(xyz));
  EXPECT_EQ(RaisedMessage<EColorConversionError>([&] { LoadBytes<TRLAGraphic>(xyz); }),
            "Color conversion failed. Could not find a proper method.");

  // The gamma text is read with a full stop; any value but 1.0 goes through the gamma table.
  Bytes gamma = good;
  SetText(gamma, kGamma, 16, "2.5");
  const auto brighter = LoadBytes<TRLAGraphic>(gamma);
  EXPECT_FLOAT_EQ(brighter->ImageProperties().FileGamma, 2.5f);
  EXPECT_TRUE(brighter->ImageProperties().HeaderFlags & hfGammaApplied);
  TColorManager reference;
  reference.SetGamma(2.5f, 2.2f);
  Bytes expected = Sample("rla/rgb.rgb");
  for (uint8_t& value : expected) value = reference.GammaTable()[value];
  EXPECT_EQ(PixelColors(*brighter), expected);
  SetText(gamma, kGamma, 16, "2,5");
  EXPECT_EQ(PixelColors(*LoadBytes<TRLAGraphic>(gamma)), Sample("rla/rgb.rgb"));

  // Fewer than three colour channels, or deeper channels than 8 bits, are refused.
  const std::string colourFormat = "Invalid color format in RLA file.";
  for (const auto& [offset, value] :
       {std::pair{kColourChannels, 2}, {kColourChannels, 1}, {kChannelBits, 16}}) {
    Bytes changed = good;
    Set16(changed, offset, uint16_t(value));
    EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TRLAGraphic>(changed); }), colourFormat);
  }
  Bytes noWidth = good;
  Set16(noWidth, 10, 0xFFFF);  // active right -1: no columns
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TRLAGraphic>(noWidth); }),
            "Cannot load image. Invalid or unexpected RLA image format.");
}

// A picture of `width` x 1 with the header of rgb.rla and one stored row of the given channels.
Bytes OneRow(uint16_t width, const std::vector<Bytes>& channels) {
  Bytes file = Sample("rla/rgb.rla");
  file.resize(740);
  Set16(file, 8, 0);
  Set16(file, 10, uint16_t(width - 1));
  Set16(file, 12, 0);
  Set16(file, 14, 0);
  file.insert(file.end(), {0, 0, 0x02, 0xE8});  // the row follows the offset table, at 744
  for (const Bytes& channel : channels) {
    file.insert(file.end(), {uint8_t(channel.size() >> 8), uint8_t(channel.size())});
    file.insert(file.end(), channel.begin(), channel.end());
  }
  return file;
}

TEST(RLAHeader, DamagedFilesRaiseCleanly) {
  // Runs and copies; a channel that unpacks to less than the width, or holds no data at all, leaves
  // black, and the picture says its data ended early.
  const auto shortChannel = LoadBytes<TRLAGraphic>(OneRow(3, {{2, 9}, {0xFE, 1, 2}, {1, 5, 0xFF, 6}}));
  EXPECT_EQ(PixelColors(*shortChannel), (Bytes{9, 1, 5, 9, 2, 5, 9, 0, 6}));
  EXPECT_TRUE(shortChannel->DataEndedEarly());
  const auto empty = LoadBytes<TRLAGraphic>(OneRow(2, {{1, 9}, {}, {1, 5}}));
  EXPECT_EQ(PixelColors(*empty), (Bytes{9, 0, 5, 9, 0, 5}));
  EXPECT_TRUE(empty->DataEndedEarly());
  EXPECT_FALSE(LoadBytes<TRLAGraphic>(OneRow(2, {{1, 9}, {1, 8}, {1, 5}}))->DataEndedEarly());
  EXPECT_THROW(LoadBytes<TRLAGraphic>(OneRow(2, {{5, 7}, {1, 7}, {1, 7}})), EGraphicCompression);
  // A packed length no row of the width can take is refused unread.
  EXPECT_THROW(LoadBytes<TRLAGraphic>(OneRow(2, {Bytes(6), {1, 7}, {1, 7}})), EGraphicCompression);
  // A row cut short keeps what it holds; one whose offset points past the file or into its header
  // stays black; the picture says its data ended early.
  const auto cut = LoadBytes<TRLAGraphic>(OneRow(2, {{1, 7}, {1, 7}}));
  EXPECT_TRUE(cut->DataEndedEarly());
  EXPECT_EQ(PixelColors(*cut), (Bytes{7, 7, 0, 7, 7, 0}));
  Bytes farOffset = OneRow(2, {{1, 7}, {1, 7}, {1, 7}});
  EXPECT_FALSE(LoadBytes<TRLAGraphic>(farOffset)->DataEndedEarly());
  farOffset[740] = 0x7F;
  EXPECT_TRUE(LoadBytes<TRLAGraphic>(farOffset)->DataEndedEarly());
  farOffset[740] = 0;
  farOffset[743] = 0;
  EXPECT_TRUE(LoadBytes<TRLAGraphic>(farOffset)->DataEndedEarly());
  // A height whose offset table the file does not hold is refused before the bitmap is made.
  Bytes shortTable = Sample("rla/rgb.rla");
  Set16(shortTable, 14, 30000);
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TRLAGraphic>(shortTable); }),
            "Cannot load image. The RLA file ends before its picture does.");
}

}  // namespace
