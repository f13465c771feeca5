#include "picture_formats/decoder_tiff_jpeg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "tests/picture_formats/decoder_test_support.h"
#include "tests/support/test_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A JPEG-compressed TIFF sample of tests/data/tiffjpeg (little-endian, one directory), taken apart as
// the TIFF reader does: its properties, its strips and the reference pixels of make.sh.
struct TSample {
  TImageProperties Properties;
  std::vector<Bytes> Strips;
  Bytes Reference;  // rows top first, R G B (gray: one byte)
};

uint32_t Little(const Bytes& data, size_t offset, size_t size) {
  if (offset + size > data.size()) throw std::runtime_error("TIFF sample cut short");
  uint32_t value = 0;
  for (size_t i = size; i-- > 0;) value = value << 8 | data[offset + i];
  return value;
}

TSample LoadSample(const std::string& name) {
  const Bytes file = ReadWholeFile(TestData("tiffjpeg/" + name + ".tif"));
  EXPECT_EQ(Little(file, 0, 4), 0x002A4949u);
  // Tag -> values (SHORT and LONG lists; byte lists as bytes).
  std::map<uint16_t, std::vector<uint32_t>> numbers;
  std::map<uint16_t, Bytes> bytes;
  const uint32_t directory = Little(file, 4, 4);
  for (uint32_t i = 0, count = Little(file, directory, 2); i < count; ++i) {
    const size_t entry = directory + 2 + 12 * i;
    const auto tag = static_cast<uint16_t>(Little(file, entry, 2));
    const uint32_t type = Little(file, entry + 2, 2);
    const uint32_t values = Little(file, entry + 4, 4);
    const size_t valueSize = type == 3 ? 2 : type == 4 ? 4 : 1;
    const size_t at = valueSize * values <= 4 ? entry + 8 : Little(file, entry + 8, 4);
    for (uint32_t v = 0; v < values; ++v) {
      if (type == 3 || type == 4) numbers[tag].push_back(Little(file, at + v * valueSize, valueSize));
      if (type == 7 || type == 1) bytes[tag].push_back(file.at(at + v));
    }
  }
  TSample sample;
  auto& p = sample.Properties;
  p.Width = numbers[256].at(0);
  p.Height = numbers[257].at(0);
  p.BitsPerSample = static_cast<uint8_t>(numbers[258].at(0));
  p.SamplesPerPixel = static_cast<uint8_t>(numbers.count(277) ? numbers[277][0] : 1);
  const uint32_t photometric = numbers[262].at(0);
  p.ColorScheme = photometric == 6 ? scYCbCr : photometric == 2 ? scRGB : scGray;
  if (numbers.count(284)) p.PlanarConfiguration = numbers[284][0];
  p.RowsPerStrip = {numbers[278].at(0)};
  if (photometric == 6) {
    p.YCbCrSubsampling = {2, 2};
    if (numbers.count(530)) p.YCbCrSubsampling = {uint8_t(numbers[530][0]), uint8_t(numbers[530][1])};
  }
  p.JPEGTables = bytes[347];
  p.BytesPerLine = (p.BitsPerSample * p.SamplesPerPixel * p.Width + 7) / 8;
  for (size_t s = 0; s < numbers[273].size(); ++s) {
    const uint32_t offset = numbers[273][s];
    sample.Strips.emplace_back(file.begin() + offset, file.begin() + offset + numbers[279].at(s));
  }
  sample.Reference = ReadWholeFile(TestData("tiffjpeg/" + name + ".ref"));
  return sample;
}

// Decodes every strip as the TIFF reader does (a zeroed buffer of RowsPerStrip rows per strip, the
// rows of the picture kept) and returns the picture in R G B order.
Bytes DecodePicture(TSample& sample, TTIFFJPEGDecoder& decoder) {
  auto& p = sample.Properties;
  const size_t rowSize = p.BytesPerLine;
  Bytes picture;
  p.CurrentRow = 0;
  for (const Bytes& strip : sample.Strips) {
    const size_t rows = p.RowsPerStrip[0];
    const auto out = DecodeOnce(decoder, strip, rows * rowSize, static_cast<int32_t>(rows * rowSize));
    EXPECT_EQ(out.SourcePosition, 0u);
    EXPECT_EQ(out.DestPosition, 0u);
    const size_t kept = std::min<size_t>(rows, p.Height - p.CurrentRow);
    picture.insert(picture.end(), out.Output.begin(), out.Output.begin() + kept * rowSize);
    p.CurrentRow += static_cast<uint32_t>(kept);
  }
  if (p.SamplesPerPixel == 3)
    for (size_t i = 0; i + 2 < picture.size(); i += 3) std::swap(picture[i], picture[i + 2]);
  return picture;
}

std::string CompressionMessage(const std::function<void()>& action) {
  try {
    action();
  } catch (const EGraphicCompression& e) {
    return e.Message();
  }
  return "";
}

class TIFFJPEGDecoder : public ::testing::TestWithParam<std::string> {};

TEST_P(TIFFJPEGDecoder, DecodesEveryStripLikeTheReferenceDecoder) {
  TSample sample = LoadSample(GetParam());
  ASSERT_EQ(sample.Strips.size(), 3u);
  ASSERT_FALSE(sample.Properties.JPEGTables.empty());
  TTIFFJPEGDecoder decoder(sample.Properties);
  decoder.DecodeInit();
  const Bytes picture = DecodePicture(sample, decoder);
  decoder.DecodeEnd();
  EXPECT_EQ(picture, sample.Reference);
  EXPECT_EQ(decoder.TruncatedStrips(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Samples, TIFFJPEGDecoder, ::testing::Values("ycbcr", "rgb", "gray"));

TEST(TIFFJPEGDecoderChecks, StripsThatDisagreeWithTheHeaderRaiseTheirMessage) {
  TSample sample = LoadSample("ycbcr");
  auto& p = sample.Properties;
  TTIFFJPEGDecoder decoder(p);
  decoder.DecodeInit();
  const Bytes& strip = sample.Strips[0];
  const size_t room = 16 * p.BytesPerLine;
  auto decode = [&] { DecodeOnce(decoder, strip, room, static_cast<int32_t>(room)); };

  p.RowsPerStrip = {32};  // the file would expect 32 rows, the strip has 16
  EXPECT_EQ(CompressionMessage(decode), "Improper JPEG strip/tile size.");
  p.RowsPerStrip = {16};
  p.Width = 41;
  EXPECT_EQ(CompressionMessage(decode), "Improper JPEG strip/tile size.");
  p.Width = 40;
  p.SamplesPerPixel = 4;
  EXPECT_EQ(CompressionMessage(decode), "Improper JPEG component count.");
  p.SamplesPerPixel = 3;
  p.PlanarConfiguration = 2;  // separate planes hold one component each
  EXPECT_EQ(CompressionMessage(decode), "Improper JPEG component count.");
  p.PlanarConfiguration = 1;
  p.BitsPerSample = 12;
  EXPECT_EQ(CompressionMessage(decode), "Improper JPEG data precision.");
  p.BitsPerSample = 8;

  // The strip's luma is sampled 2 x 2, its chroma 1 x 1.
  TTIFFJPEGDecoder wrongSubsampling(p);
  p.YCbCrSubsampling = {2, 1};
  wrongSubsampling.DecodeInit();
  EXPECT_EQ(
      CompressionMessage([&] { DecodeOnce(wrongSubsampling, strip, room, static_cast<int32_t>(room)); }),
      "Improper JPEG sampling factors.");
  TTIFFJPEGDecoder noSubsampling(p);
  p.YCbCrSubsampling = {};
  noSubsampling.DecodeInit();
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(noSubsampling, strip, room, static_cast<int32_t>(room)); }),
            "Improper JPEG sampling factors.");

  // After all these the decompressor is back at its start: the strip decodes.
  p.YCbCrSubsampling = {2, 2};
  EXPECT_NO_THROW(decode());
}

TEST(TIFFJPEGDecoderChecks, AFractionalRowIsReportedAsSuch) {
  TSample sample = LoadSample("rgb");
  TTIFFJPEGDecoder decoder(sample.Properties);
  decoder.DecodeInit();
  const size_t room = 16 * sample.Properties.BytesPerLine - 1;
  EXPECT_EQ(
      CompressionMessage([&] { DecodeOnce(decoder, sample.Strips[0], room, static_cast<int32_t>(room)); }),
      "Fractional JPEG scanline unsupported.");
  // The next call with whole rows decodes: the first pixel comes out blue, green, red.
  const auto out = DecodeOnce(decoder, sample.Strips[0], room + 1, static_cast<int32_t>(room + 1));
  EXPECT_EQ(Bytes(out.Output.begin(), out.Output.begin() + 3),
            (Bytes{sample.Reference[2], sample.Reference[1], sample.Reference[0]}));
}

TEST(TIFFJPEGDecoderChecks, RowsTooShortForThePixelsRaiseInsteadOfOverflowing) {
  // A colour strip whose rows the TIFF header makes one byte per pixel: the exact-size target would
  // be overrun by three bytes per pixel.
  TSample sample = LoadSample("rgb");
  auto& p = sample.Properties;
  p.BytesPerLine = p.Width;
  TTIFFJPEGDecoder decoder(p);
  decoder.DecodeInit();
  const size_t room = 16 * p.BytesPerLine;
  EXPECT_EQ(
      CompressionMessage([&] { DecodeOnce(decoder, sample.Strips[0], room, static_cast<int32_t>(room)); }),
      "Improper JPEG strip/tile size.");
}

TEST(TIFFJPEGDecoderChecks, BogusTablesRaiseInDecodeInit) {
  // A whole image (tables, then the first strip) where only tables belong.
  TSample sample = LoadSample("gray");
  auto& p = sample.Properties;
  const Bytes strip = sample.Strips[0];
  p.JPEGTables.resize(p.JPEGTables.size() - 2);
  p.JPEGTables.insert(p.JPEGTables.end(), strip.begin() + 2, strip.end());
  TTIFFJPEGDecoder decoder(p);
  EXPECT_EQ(CompressionMessage([&] { decoder.DecodeInit(); }), "Bogus JPEG tables field.");
}

TEST(TIFFJPEGDecoderDamage, DamagedStripsGiveTheLibrarysErrorAndTheNextStripStillDecodes) {
  TSample sample = LoadSample("ycbcr");
  auto& p = sample.Properties;
  TTIFFJPEGDecoder decoder(p);
  decoder.DecodeInit();
  const size_t room = 16 * p.BytesPerLine;
  Bytes notJPEG = sample.Strips[0];
  notJPEG[0] = 0x00;  // no start-of-image marker
  Bytes headerCut(sample.Strips[0].begin(), sample.Strips[0].begin() + 8);
  for (const Bytes& damaged : {notJPEG, headerCut, Bytes{}}) {
    try {
      DecodeOnce(decoder, damaged, room, static_cast<int32_t>(room));
      ADD_FAILURE() << "a damaged strip decoded";
    } catch (const EJPEG& e) {
      EXPECT_EQ(e.Message().rfind("JPEG error #", 0), 0u) << e.Message();
    }
  }
  const auto out = DecodeOnce(decoder, sample.Strips[0], room, static_cast<int32_t>(room));
  Bytes first(out.Output.begin(), out.Output.begin() + 3);
  EXPECT_EQ(first, (Bytes{sample.Reference[2], sample.Reference[1], sample.Reference[0]}));
}

TEST(TIFFJPEGDecoderDamage, ATruncatedStripFinishesWithFlatBlocksAndIsCounted) {
  TSample sample = LoadSample("gray");
  auto& p = sample.Properties;
  TTIFFJPEGDecoder decoder(p);
  decoder.DecodeInit();
  const size_t room = 16 * p.BytesPerLine;
  const Bytes& strip = sample.Strips[0];
  const Bytes cut(strip.begin(), strip.begin() + static_cast<std::ptrdiff_t>(strip.size() * 3 / 4));
  const auto out = DecodeOnce(decoder, cut, room, static_cast<int32_t>(room));
  EXPECT_EQ(decoder.TruncatedStrips(), 1u);
  // The first row is there; the last block, past the cut, is flat where the picture is not.
  EXPECT_TRUE(std::equal(out.Output.begin(), out.Output.begin() + 40, sample.Reference.begin()));
  const Bytes lastBlock(out.Output.end() - 8, out.Output.end());
  const Bytes referenceBlock(sample.Reference.begin() + 16 * 40 - 8, sample.Reference.begin() + 16 * 40);
  EXPECT_EQ(std::count(lastBlock.begin(), lastBlock.end(), lastBlock[0]), 8);
  EXPECT_LT(std::count(referenceBlock.begin(), referenceBlock.end(), referenceBlock[0]), 8);
}

TEST(TIFFJPEGDecoderDamage, SizesBeyondTheBuffersRaise) {
  TSample sample = LoadSample("gray");
  TTIFFJPEGDecoder decoder(sample.Properties);
  decoder.DecodeInit();
  const Bytes& strip = sample.Strips[0];
  EXPECT_EQ(CompressionMessage(
                [&] { DecodeOnce(decoder, strip, 640, static_cast<int32_t>(strip.size() + 1), 640); }),
            "Cannot load image. The JPEG data end inside a packet.");
  EXPECT_EQ(CompressionMessage([&] { DecodeOnce(decoder, strip, 639, 640); }),
            "Cannot load image. The JPEG data unpack past the room given for them.");
}

TEST(TIFFJPEGDecoderLifeCycle, DecodeWithoutInitAndRepeatedInitWork) {
  TSample sample = LoadSample("gray");
  TTIFFJPEGDecoder decoder(sample.Properties);
  // Without DecodeInit the first Decode sets the decoder up.
  EXPECT_EQ(DecodePicture(sample, decoder), sample.Reference);
  decoder.DecodeInit();
  decoder.DecodeInit();
  EXPECT_EQ(DecodePicture(sample, decoder), sample.Reference);
  decoder.DecodeEnd();
  decoder.DecodeEnd();
}

}  // namespace
