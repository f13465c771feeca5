// The TIFF reader on hand-made files: the tag rules, the strip rules, and hostile or damaged files.

#include <gtest/gtest.h>

#include <random>

#include "picture_formats/byte_fields.h"
#include "picture_formats/color_types.h"
#include "picture_formats/decoder.h"
#include "picture_formats/tiff_graphic.h"
#include "tests/picture_formats/lzw_test_support.h"
#include "tests/picture_formats/tiff_test_support.h"

namespace {

const std::string kInvalid = "Cannot load image. Invalid or unexpected TIF/TIFF image format.";

std::string Unsupported(const std::string& feature) {
  return "Cannot load image. " + feature + " not supported for TIF/TIFF files.";
}

// The 4-bit levels of a 16-level gray picture.
Bytes Levels(const TBitmap& picture) {
  Bytes levels;
  const Bytes colors = PixelColors(picture);
  for (size_t i = 0; i < colors.size(); i += 3) levels.push_back(colors[i] / 17);
  return levels;
}

// A 3 x 2 gray picture, one byte per pixel.
const Bytes kGray{10, 20, 30, 40, 50, 60};

TEST(TIFFLayouts, TagDefaultsAndResolutions) {
  // No Compression and no RowsPerStrip tag: one uncompressed strip. 100 pixels per centimetre are 254
  // per inch; a resolution of 0/0 says nothing and leaves 0.
  TTIFFBuilder builder;
  builder.Picture(3, 2, 1, 8, 1, 1, kGray).Remove(259).Remove(278);
  builder.Rational(282, {100, 1}).Rational(283, {0, 0}).Short(296, {3});
  const auto picture = LoadBytes<TTIFFGraphic>(builder.Build());
  EXPECT_EQ(PixelColors(*picture),
            (Bytes{10, 10, 10, 20, 20, 20, 30, 30, 30, 40, 40, 40, 50, 50, 50, 60, 60, 60}));
  const TImageProperties& properties = picture->ImageProperties();
  EXPECT_EQ(properties.Version, 42u);
  EXPECT_EQ(properties.Compression, ctNone);
  EXPECT_FLOAT_EQ(properties.XResolution, 254.0f);
  EXPECT_FLOAT_EQ(properties.YResolution, 0.0f);
  EXPECT_EQ(properties.RowsPerStrip, (std::vector<uint32_t>{2}));

  // The same picture big-endian, with a predictor that uncompressed data ignore; and with fill order 2,
  // where every byte holds its bits lowest first, as libtiff reads it: 10 (00001010) is 80 (01010000).
  TTIFFBuilder mm(true);
  mm.Picture(3, 2, 1, 8, 1, 1, kGray).Short(317, {2});
  EXPECT_EQ(PixelColors(*LoadBytes<TTIFFGraphic>(mm.Build())), PixelColors(*picture));
  const auto reversed = LoadBytes<TTIFFGraphic>(mm.Short(266, {2}).Build());
  EXPECT_EQ(PixelColors(*reversed),
            (Bytes{80, 80, 80, 40, 40, 40, 120, 120, 120, 20, 20, 20, 76, 76, 76, 60, 60, 60}));
  EXPECT_EQ(reversed->ImageProperties().HeaderFlags & (hfBigEndian | hfReversedBits),
            hfBigEndian | hfReversedBits);
}

TEST(TIFFLayouts, StripRowsAreCutToThePicture) {
  // Rows per strip far beyond the height (no gigabyte buffer), and a RowsPerStrip list shorter than the
  // strip list repeating its last value: strips of 1, 2, 2 rows... for a picture of 4.
  TTIFFBuilder huge;
  huge.Picture(3, 2, 1, 8, 1, 1, kGray).Long(278, {0x7FFFFFFF});
  EXPECT_EQ(PixelColors(*LoadBytes<TTIFFGraphic>(huge.Build()))[15], 60);
  TTIFFBuilder strips;
  strips.Picture(3, 4, 1, 8, 1, 1, {});
  const uint32_t a = strips.Data({1, 2, 3}), b = strips.Data({4, 5, 6, 7, 8, 9}),
                 c = strips.Data({10, 11, 12});
  strips.Long(273, {a, b, c}).Long(279, {3, 6, 3}).Short(278, {1, 2});
  const auto picture = LoadBytes<TTIFFGraphic>(strips.Build());
  EXPECT_EQ(StoredRows(*picture, 3), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_FALSE(picture->DataEndedEarly());
  // Fewer strips than rows: the picture can never be whole, and is refused before it is sized.
  strips.Long(273, {a}).Long(279, {3}).Short(278, {1});
  EXPECT_EQ(LoadMessage(strips.Build()), kInvalid);
}

TEST(TIFFLayouts, YCbCrPalettesAndThunderScan) {
  // Uncompressed YCbCr without subsampling: Cb = Cr = 128 is gray Y; with the default 2 x 2 it is refused.
  TTIFFBuilder ycbcr(true);
  ycbcr.Picture(2, 1, 3, 8, 6, 1, {90, 128, 128, 200, 128, 128}).Short(530, {1, 1});
  EXPECT_EQ(PixelColors(*LoadBytes<TTIFFGraphic>(ycbcr.Build())), (Bytes{90, 90, 90, 200, 200, 200}));
  ycbcr.Remove(530);
  EXPECT_EQ(LoadMessage(ycbcr.Build()), Unsupported("YCbCr subsampling is"));

  // A 16-bit colour map, big-endian: red, green and blue planes.
  TTIFFBuilder palette(true);
  palette.Picture(2, 1, 1, 1, 3, 1, {0x40}).Short(320, {0xFFFF, 0x0000, 0x1234, 0x8080, 0x0000, 0xFFFF});
  EXPECT_EQ(PixelColors(*LoadBytes<TTIFFGraphic>(palette.Build())), (Bytes{255, 18, 0, 0, 128, 255}));
  // A colour map larger than the room for it (a 16-bit palette) is refused.
  palette.Short(320, std::vector<uint32_t>(3 * 65536, 7));
  EXPECT_EQ(LoadMessage(palette.Build()), kInvalid);

  // ThunderScan, 4-bit gray: a raw 7, deltas 0 0 +1, a run of 2; rows restart at a fresh byte.
  TTIFFBuilder thunder;
  thunder.Picture(5, 2, 1, 4, 1, 32809, {0xC7, 0x41, 0x02, 0xCF, 0x05});
  EXPECT_EQ(Levels(*LoadBytes<TTIFFGraphic>(thunder.Build())), (Bytes{7, 7, 7, 8, 8, 15, 15, 15, 15, 15}));

  // Below 8 bits a predictor has no samples to difference: 4-bit LZW rows come out as stored.
  TTIFFBuilder nibbles;
  nibbles.Picture(4, 1, 1, 4, 1, 5,
                  TLZWTestEncoder(TLZWTestDialect::TIFF, 8, TLZWFull::Clear).Encode({0x12, 0x34}));
  EXPECT_EQ(Levels(*LoadBytes<TTIFFGraphic>(nibbles.Short(317, {2}).Build())), (Bytes{1, 2, 3, 4}));
}

TEST(TIFFLayouts, SchemesWithTooFewSamplesAndUnknownOnesAreRefused) {
  TTIFFBuilder rgb;
  rgb.Picture(3, 2, 1, 8, 2, 1, kGray);
  EXPECT_EQ(LoadMessage(rgb.Build()), kInvalid);
  TTIFFBuilder cmyk;
  cmyk.Picture(1, 2, 3, 8, 5, 1, kGray);
  EXPECT_EQ(LoadMessage(cmyk.Build()), kInvalid);
  TTIFFBuilder lab16;
  lab16.Picture(1, 1, 3, 16, 8, 1, kGray);
  EXPECT_EQ(LoadMessage(lab16.Build()), Unsupported("16-bit CIE L*a*b* samples are"));
  TTIFFBuilder mask;
  mask.Picture(3, 2, 1, 8, 4, 1, kGray);
  EXPECT_EQ(LoadMessage(mask.Build()), "Invalid color format in TIF/TIFF file.");
  TTIFFBuilder oldJPEG;
  oldJPEG.Picture(3, 2, 1, 8, 1, 6, kGray);
  EXPECT_EQ(LoadMessage(oldJPEG.Build()), Unsupported("Old-style JPEG compression is"));
  // SampleFormat: unsigned and undefined samples load; complex ones are refused by name, unknown
  // formats as invalid.
  for (const auto& [format, message] :
       {std::pair{1u, std::string()},
        {4u, std::string()},
        {5u, Unsupported("Complex samples are")},
        {6u, Unsupported("Complex samples are")},
        {9u, std::string("Cannot load image. Invalid or unexpected TIF/TIFF image format.")}}) {
    TTIFFBuilder sampled;
    sampled.Picture(3, 2, 1, 8, 1, 1, kGray).Short(339, {format});
    EXPECT_EQ(LoadMessage(sampled.Build()), message) << format;
  }
  TTIFFBuilder uncompressedFax;
  uncompressedFax.Picture(3, 2, 1, 1, 0, 3, kGray).Long(292, {2});
  EXPECT_EQ(LoadMessage(uncompressedFax.Build()), Unsupported("Uncompressed fax mode is"));
}

TEST(TIFFLayouts, LyingHeadersAndStripListsAreRefused) {
  const auto picture = [] {
    TTIFFBuilder builder;
    builder.Picture(3, 2, 1, 8, 1, 1, kGray);
    return builder;
  };
  EXPECT_EQ(LoadMessage(picture().Remove(279).Build()), kInvalid);
  EXPECT_EQ(LoadMessage(picture().Remove(273).Build()), kInvalid);
  EXPECT_EQ(LoadMessage(picture().Long(279, {7000}).Build()), kInvalid);
  EXPECT_EQ(LoadMessage(picture().Long(273, {8, 20}).Build()), kInvalid);  // one byte count for two strips
  EXPECT_EQ(LoadMessage(picture().Long(273, {0xFFFFFFF0}).Build()), kInvalid);
  EXPECT_EQ(LoadMessage(picture().Long(256, {0}).Build()), kInvalid);
  EXPECT_EQ(LoadMessage(picture().Long(256, {0x80000000}).Build()), kInvalid);
  // A list whose values lie beyond the end of the file.
  EXPECT_EQ(LoadMessage(picture().Raw(273, 4, 1000000, 8).Build()), kInvalid);
  // A real file cut short, a directory that leaves the file, a foreign header.
  const Bytes real = Sample("tiff/rgb-lzw-pred.tif");
  EXPECT_EQ(LoadMessage(Bytes(real.begin(), real.begin() + long(real.size() / 2))), kInvalid);
  Bytes file = picture().Build();
  file[4] = 0xF0;
  EXPECT_EQ(LoadMessage(file), kInvalid);
  EXPECT_EQ(LoadMessage({'I', 'I', 43, 0, 8, 0, 0, 0, 0, 0}), kInvalid);
  // A size far beyond what the data hold is refused before any room is made for it.
  EXPECT_EQ(LoadMessage(picture().Long(256, {200000}).Long(257, {200000}).Build()), kInvalid);
  // An LZW strip that overflows its table without a clear code: the file's compression error.
  std::mt19937 random(1);
  Bytes noise(9000);
  for (uint8_t& byte : noise) byte = uint8_t(random());
  TTIFFBuilder lzw;
  lzw.Picture(90, 100, 1, 8, 1, 5,
              TLZWTestEncoder(TLZWTestDialect::TIFF, 8, TLZWFull::NoClear).Encode(noise));
  EXPECT_EQ(
      LoadMessage(lzw.Build()),
      "Cannot load image. Compression error found in TIF/TIFF file. The LZW data overflow their code table.");
}

TEST(TIFFLayouts, DirectoryChainsEndAtLoops) {
  // The directory's next offset points back at itself: image 0 exists, images 1 and 1000000 do not.
  TTIFFBuilder builder;
  builder.Picture(3, 2, 1, 8, 1, 1, kGray);
  Bytes file = builder.Build();
  const uint32_t directory = LittleEndian32(file, 4);
  file = builder.Build(directory);
  TMemoryStream stream;
  stream.WriteBuffer(file);
  TTIFFGraphic picture;
  EXPECT_TRUE(picture.ReadImageProperties(stream, 0));
  EXPECT_FALSE(picture.ReadImageProperties(stream, 1));
  EXPECT_FALSE(picture.ReadImageProperties(stream, 1000000));
  file = builder.Build(0x7FFFFFF0);
  TMemoryStream far;
  far.WriteBuffer(file);
  EXPECT_FALSE(picture.ReadImageProperties(far, 1));
}

TEST(TIFFLayouts, ProbesAndTheEPSHeader) {
  EXPECT_TRUE(ProbeBytes<TTIFFGraphic>({'M', 'M', 0, 42, 0, 0, 0, 8, 0}));
  EXPECT_FALSE(
      ProbeBytes<TTIFFGraphic>({'M', 'M', 0, 42, 0, 0, 0, 9, 0}));        // the directory lies beyond the end
  EXPECT_FALSE(ProbeBytes<TTIFFGraphic>({'I', 'I', 42, 0, 8, 0, 0, 0}));  // no more than 8 bytes
  EXPECT_FALSE(ProbeBytes<TTIFFGraphic>({'I', 'M', 42, 0, 8, 0, 0, 0, 0}));

  // DOS EPS: magic, PostScript, metafile and TIFF sections; a TIFF offset inside the header is no preview.
  TTIFFBuilder builder;
  builder.Picture(3, 2, 1, 8, 1, 1, kGray);
  const Bytes preview = builder.Build();
  const auto header = [&](uint32_t tiffOffset, uint32_t tiffLength) {
    return Bytes{0xC5, 0xD0, 0xD3, 0xC6} + Le(30, 4) + Bytes(12) + Le(tiffOffset, 4) + Le(tiffLength, 4) +
           Bytes{0xFF, 0xFF, '%', '!'} + preview;
  };
  EXPECT_TRUE(ProbeBytes<TEPSGraphic>(header(32, uint32_t(preview.size()))));
  EXPECT_FALSE(ProbeBytes<TEPSGraphic>(header(30, uint32_t(preview.size()))));
  EXPECT_FALSE(ProbeBytes<TEPSGraphic>(header(32, 0)));
  const std::string invalidEPS = "Cannot load image. Invalid or unexpected EPS image format.";
  Bytes wrongMagic = header(32, uint32_t(preview.size()));
  wrongMagic[0] = '%';
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TEPSGraphic>(wrongMagic); }), invalidEPS);
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { LoadBytes<TEPSGraphic>(header(0, 0)); }), invalidEPS);
}

}  // namespace
