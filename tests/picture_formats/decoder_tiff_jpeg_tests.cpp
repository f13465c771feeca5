#include "picture_formats/decoder_tiff_jpeg.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "picture_formats/tiff_graphic.h"
#include "tests/picture_formats/decoder_test_support.h"
#include "tests/picture_formats/jpeg_test_support.h"
#include "tests/support/test_files.h"

namespace {

// A JPEG-compressed TIFF sample of tests/data/tiffjpeg taken apart by the TIFF reader's directory
// code: its properties, its strips and the reference pixels of make.sh.
struct TSample {
  TImageProperties Properties;
  std::vector<Bytes> Strips;
  Bytes Reference;  // rows top first, R G B (gray: one byte)
};

class TSampleDirectory : public TTIFFGraphic {
 public:
  using TTIFFGraphic::GetByteList;
  using TTIFFGraphic::GetCardinalList;
};

TSample LoadSample(const std::string& name) {
  const Bytes file = ReadWholeFile(TestData("tiffjpeg/" + name + ".tif"));
  TMemoryStream stream;
  stream.WriteBuffer(file);
  TSampleDirectory directory;
  EXPECT_TRUE(directory.ReadImageProperties(stream, 0));
  TSample sample{directory.ImageProperties(), {}, ReadWholeFile(TestData("tiffjpeg/" + name + ".ref"))};
  auto& p = sample.Properties;
  p.JPEGTables = directory.GetByteList(347);
  p.BytesPerLine = (p.BitsPerSample * p.SamplesPerPixel * p.Width + 7) / 8;
  const std::vector<uint32_t> offsets = directory.GetCardinalList(273),
                              counts = directory.GetCardinalList(279);
  for (size_t s = 0; s < offsets.size(); ++s)
    sample.Strips.emplace_back(file.begin() + offsets[s], file.begin() + offsets[s] + counts.at(s));
  return sample;
}

// Decodes a strip into `rows` rows of exact-size room.
TDecodeResult DecodeRows(TTIFFJPEGDecoder& decoder, const TSample& sample, const Bytes& strip, size_t rows) {
  const size_t room = rows * sample.Properties.BytesPerLine;
  return DecodeOnce(decoder, strip, room, static_cast<int32_t>(room));
}

// Decodes every strip as the TIFF reader does (RowsPerStrip rows each, the picture's rows kept) and
// returns the picture in R G B order.
Bytes DecodePicture(TSample& sample, TTIFFJPEGDecoder& decoder) {
  auto& p = sample.Properties;
  Bytes picture;
  p.CurrentRow = 0;
  for (const Bytes& strip : sample.Strips) {
    const auto out = DecodeRows(decoder, sample, strip, p.RowsPerStrip[0]);
    EXPECT_EQ(out.SourcePosition, 0u);
    EXPECT_EQ(out.DestPosition, 0u);
    const size_t kept = std::min<size_t>(p.RowsPerStrip[0], p.Height - p.CurrentRow);
    picture.insert(picture.end(), out.Output.begin(), out.Output.begin() + kept * p.BytesPerLine);
    p.CurrentRow += static_cast<uint32_t>(kept);
  }
  if (p.SamplesPerPixel == 3)
    for (size_t i = 0; i + 2 < picture.size(); i += 3) std::swap(picture[i], picture[i + 2]);
  return picture;
}

// The first pixel of decoded colour rows (blue, green, red) is the reference's.
void ExpectFirstPixel(const TSample& sample, const Bytes& rows) {
  EXPECT_EQ((Bytes{rows[2], rows[1], rows[0]}),
            Bytes(sample.Reference.begin(), sample.Reference.begin() + 3));
}

// The TIFF reader's tests compare the three samples through the reader, which sets the decoder up first;
// here the first Decode does it.
TEST(TIFFJPEGDecoder, WithoutInitTheFirstStripSetsTheDecoderUp) {
  TSample sample = LoadSample("ycbcr");
  ASSERT_EQ(sample.Strips.size(), 3u);
  TTIFFJPEGDecoder decoder(sample.Properties);
  EXPECT_EQ(DecodePicture(sample, decoder), sample.Reference);
  EXPECT_EQ(decoder.TruncatedStrips(), 0u);
  decoder.DecodeEnd();
  decoder.DecodeEnd();  // a second end does nothing
}

TEST(TIFFJPEGDecoderChecks, StripsAndTablesThatDisagreeWithTheHeaderRaiseTheirMessage) {
  TSample sample = LoadSample("ycbcr");
  auto& p = sample.Properties;
  TTIFFJPEGDecoder decoder(p);
  decoder.DecodeInit();
  const Bytes& strip = sample.Strips[0];
  const auto message = [&](TTIFFJPEGDecoder& d) {
    return RaisedMessage<EGraphicCompression>([&] { DecodeRows(d, sample, strip, 16); });
  };
  p.RowsPerStrip = {32};  // the file would expect 32 rows, the strip has 16
  EXPECT_EQ(message(decoder), "Improper JPEG strip/tile size.");
  p.RowsPerStrip = {16};
  p.SamplesPerPixel = 4;
  EXPECT_EQ(message(decoder), "Improper JPEG component count.");
  p.SamplesPerPixel = 3;
  p.PlanarConfiguration = 2;  // separate planes hold one component each
  EXPECT_EQ(message(decoder), "Improper JPEG component count.");
  p.PlanarConfiguration = 1;
  p.BitsPerSample = 12;
  EXPECT_EQ(message(decoder), "Improper JPEG data precision.");
  p.BitsPerSample = 8;
  // The strip's luma is sampled 2 x 2, its chroma 1 x 1; the TIFF's factors are read at DecodeInit.
  p.YCbCrSubsampling = {2, 1};
  TTIFFJPEGDecoder wrongSubsampling(p);
  wrongSubsampling.DecodeInit();
  EXPECT_EQ(message(wrongSubsampling), "Improper JPEG sampling factors.");
  p.YCbCrSubsampling = {2, 2};
  // Room that is not whole rows.
  EXPECT_EQ(RaisedMessage<EGraphicCompression>([&] {
              const size_t room = 16 * p.BytesPerLine - 1;
              DecodeOnce(decoder, strip, room, static_cast<int32_t>(room));
            }),
            "Fractional JPEG scanline unsupported.");
  // After all these the decompressor is back at its start: the strip decodes.
  ExpectFirstPixel(sample, DecodeRows(decoder, sample, strip, 16).Output);
  // Rows too short for three bytes per pixel would be overrun: refused.
  p.BytesPerLine = p.Width;
  EXPECT_EQ(message(decoder), "Improper JPEG strip/tile size.");
  // A whole image (tables, then the first strip) where only tables belong.
  p.JPEGTables.resize(p.JPEGTables.size() - 2);
  p.JPEGTables.insert(p.JPEGTables.end(), strip.begin() + 2, strip.end());
  TTIFFJPEGDecoder bogusTables(p);
  EXPECT_EQ(RaisedMessage<EGraphicCompression>([&] { bogusTables.DecodeInit(); }),
            "Bogus JPEG tables field.");
}

TEST(TIFFJPEGDecoderDamage, DamagedStripsAndSizesRaiseAndTheNextStripStillDecodes) {
  TSample sample = LoadSample("ycbcr");
  TTIFFJPEGDecoder decoder(sample.Properties);
  decoder.DecodeInit();
  const Bytes& strip = sample.Strips[0];
  Bytes notJPEG = strip;
  notJPEG[0] = 0x00;  // no start-of-image marker
  for (const Bytes& damaged : {notJPEG, Bytes(strip.begin(), strip.begin() + 8), Bytes{}}) {
    const std::string message = RaisedMessage<EJPEG>([&] { DecodeRows(decoder, sample, damaged, 16); });
    EXPECT_EQ(message.rfind("JPEG error #", 0), 0u) << message;
  }
  ExpectFirstPixel(sample, DecodeRows(decoder, sample, strip, 16).Output);
  // Sizes beyond the buffers.
  EXPECT_EQ(RaisedMessage<EGraphicCompression>([&] { DecodeOnce(decoder, strip, 1919, 1920); }),
            RoomExceededMessage("JPEG"));
}

TEST(TIFFJPEGDecoderDamage, ATruncatedStripFinishesWithFlatBlocksAndIsCounted) {
  TSample sample = LoadSample("gray");
  TTIFFJPEGDecoder decoder(sample.Properties);
  decoder.DecodeInit();
  const Bytes& strip = sample.Strips[0];
  const Bytes cut(strip.begin(), strip.begin() + static_cast<std::ptrdiff_t>(strip.size() * 3 / 4));
  DecodeRows(decoder, sample, strip, 16);
  EXPECT_EQ(decoder.LastUnpackedBytes(), 16 * sample.Properties.BytesPerLine);
  const Bytes out = DecodeRows(decoder, sample, cut, 16).Output;
  EXPECT_EQ(decoder.TruncatedStrips(), 1u);
  // Rows finished from made-up data are not counted as the strip's.
  EXPECT_EQ(decoder.LastUnpackedBytes(), 0u);
  // The first row is there; the last block, past the cut, is flat where the picture is not.
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + 40, sample.Reference.begin()));
  const Bytes lastBlock(out.end() - 8, out.end());
  const Bytes referenceBlock(sample.Reference.begin() + 16 * 40 - 8, sample.Reference.begin() + 16 * 40);
  EXPECT_EQ(std::count(lastBlock.begin(), lastBlock.end(), lastBlock[0]), 8);
  EXPECT_LT(std::count(referenceBlock.begin(), referenceBlock.end(), referenceBlock[0]), 8);
}

// Offsets of the strip's start-of-scan markers.
std::vector<size_t> ScanStarts(const Bytes& jpeg) {
  std::vector<size_t> starts;
  for (size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) starts.push_back(i);
  return starts;
}

// A strip whose scans leave part of its picture out, whose data hold a code no table has, or that has junk
// before a later scan's marker, is finished as libjpeg finishes it, and counted; its whole twin is not.
TEST(TIFFJPEGDecoderDamage, StripsWithPartOfTheirPictureUncodedOrGarbledAreCounted) {
  TSample sample = LoadSample("ycbcr");
  // A progressive strip of the picture's first 16 rows, as the JPEG class writes one (YCbCr, 2 x 2).
  TBitmap rows;
  FillBitmap(rows, SyntheticPicture(40, 16, 9));
  TJPEGImage writer;
  writer.ProgressiveEncoding = true;
  writer.Assign(rows);
  TMemoryStream saved;
  writer.SaveToStream(saved);
  const Bytes progressive(saved.Bytes().begin(), saved.Bytes().end());
  const std::vector<size_t> scans = ScanStarts(progressive);
  ASSERT_GE(scans.size(), 6u);

  struct TCase {
    std::string Name;
    Bytes Strip;
  };
  std::vector<TCase> damaged;
  for (size_t k = 1; k < scans.size(); ++k) {
    Bytes cut(progressive.begin(), progressive.begin() + static_cast<long>(scans[k]));
    cut.insert(cut.end(), {0xFF, 0xD9});
    damaged.push_back({"cut before scan " + std::to_string(k + 1), cut});
  }
  Bytes junk = progressive;
  junk.insert(junk.begin() + static_cast<long>(scans[2]), 24, 0x41);
  damaged.push_back({"junk before scan 3", junk});
  Bytes badCode = sample.Strips[0];
  const long middle = (SegmentEnd(badCode, 0xDA) + static_cast<long>(badCode.size())) / 2;
  for (int k = 0; k < 80; ++k) badCode.insert(badCode.begin() + middle, {0xFF, 0x00});
  damaged.push_back({"a code no table holds", badCode});

  TTIFFJPEGDecoder decoder(sample.Properties);
  decoder.DecodeInit();
  uint32_t counted = 0;
  for (const TCase& c : damaged) {
    SCOPED_TRACE(c.Name);
    DecodeRows(decoder, sample, c.Strip, 16);
    EXPECT_EQ(decoder.TruncatedStrips(), ++counted);
    EXPECT_EQ(decoder.LastUnpackedBytes(), 0u);
  }
  // The whole strip decodes as libjpeg decodes it, blue, green, red.
  Bytes decoded = DecodeRows(decoder, sample, progressive, 16).Output;
  EXPECT_EQ(decoder.TruncatedStrips(), counted);
  EXPECT_EQ(decoder.LastUnpackedBytes(), 16 * sample.Properties.BytesPerLine);
  for (size_t i = 0; i + 2 < decoded.size(); i += 3) std::swap(decoded[i], decoded[i + 2]);
  EXPECT_EQ(decoded, DecodeWithLibjpeg(progressive).Pixels);
}

}  // namespace
