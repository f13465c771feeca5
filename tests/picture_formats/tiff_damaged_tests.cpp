// The TIFF and EPS readers on cut and lying files: a picture whose data end early is flagged, a file that
// cannot hold the picture its header claims is refused before any room is made for it, strips sharing one
// block of data cost what their rows cost, and every failure names the format.

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>

#include "picture_formats/decoder.h"
#include "picture_formats/tiff_graphic.h"
#include "tests/picture_formats/lzw_test_support.h"
#include "tests/picture_formats/tiff_test_support.h"
#include "tests/support/gray_jpeg.h"

namespace {

const std::string kInvalid = "Cannot load image. Invalid or unexpected TIF/TIFF image format.";
const std::string kCompression = "Cannot load image. Compression error found in TIF/TIFF file. ";

// Whether the bytes load as the file's whole picture: no failure, and nothing made up for missing data.
template <class G = TTIFFGraphic>
bool LoadsWhole(const Bytes& file) {
  try {
    return !LoadBytes<G>(file)->DataEndedEarly();
  } catch (const Exception&) {
    return false;
  }
}

// A DOS EPS file around a TIFF preview.
Bytes EPS(const Bytes& preview) {
  return Bytes{0xC5, 0xD0, 0xD3, 0xC6} + Le(30, 4) + Bytes(12) + Le(32, 4) + Le(uint32_t(preview.size()), 4) +
         Bytes{0xFF, 0xFF, '%', '!'} + preview;
}

TEST(TIFFDamaged, CompleteFilesAreWholeAndTheirCutTwinsAreNot) {
  // Every sample the reader loads is whole (the refused ones are the damaged twins and the features
  // the reader does not decode).
  const std::vector<std::string> refused{"short",  "fewer", "nodata", "cut",   "empty",  "tiled",
                                         "planar", "2d",    "g4",     "float", "signed", "eoi"};
  for (const std::string folder : {"tiff", "tiffjpeg"})
    for (const auto& entry : std::filesystem::directory_iterator(TestData(folder))) {
      const std::string name = entry.path().filename().string();
      if (!name.ends_with(".tif") && !name.ends_with(".eps")) continue;
      if (std::any_of(refused.begin(), refused.end(),
                      [&](const std::string& word) { return name.find(word) != std::string::npos; }))
        continue;
      const Bytes file = ReadWholeFile(entry.path().string());
      EXPECT_TRUE(name.ends_with(".eps") ? LoadsWhole<TEPSGraphic>(file) : LoadsWhole(file)) << name;
    }

  // Strips whose data end early (the last one's byte count halved): the rows before the cut are the
  // file's, the rest black, and the picture says so. A stream cut inside a PackBits packet or a zlib
  // stream cut short are the file's compression errors.
  for (const std::string name : {"rgb-lzw-short", "fax-g3-short", "jpeg-short"}) {
    SCOPED_TRACE(name);
    const auto picture = LoadBytes<TTIFFGraphic>(Sample("tiff/" + name + ".tif"));
    EXPECT_TRUE(picture->DataEndedEarly());
  }
  const Bytes rgb = ReadPNMReference("tiff/rgb.ppm").Colors;
  const Bytes lzwShort = PixelColors(*LoadBytes<TTIFFGraphic>(Sample("tiff/rgb-lzw-short.tif")));
  EXPECT_EQ(Bytes(lzwShort.begin(), lzwShort.begin() + 41 * 3 * 5),
            Bytes(rgb.begin(), rgb.begin() + 41 * 3 * 5));
  EXPECT_EQ(lzwShort.back(), 0);
  EXPECT_FALSE(LoadsWhole(Sample("tiff/rgb-packbits-short.tif")));
  EXPECT_EQ(LoadMessage(Sample("tiff/rgb-zip-short.tif")), kCompression + "LZ77 decompression error.");

  // Stored rows that are not all there, strips too few for the picture, no data at all, a file cut
  // before its directory, no bytes at all: refused before the picture is sized.
  for (const std::string name :
       {"rgb-none-short", "rgb-none-fewer", "rgb-none-nodata", "rgb-lzw-cut", "empty"})
    EXPECT_EQ(LoadMessage(Sample("tiff/" + name + ".tif")), kInvalid) << name;
  // Data that decode to no row at all: a clear code and the end code.
  TTIFFBuilder nothing;
  nothing.Picture(3, 2, 1, 8, 1, 5, TLZWTestEncoder::Pack(true, {{256, 9}, {257, 9}}));
  EXPECT_EQ(LoadMessage(nothing.Build()), kInvalid);
}

TEST(TIFFDamaged, HugeHeadersAreRefusedBeforeAnyRoomIsMade) {
  // Files of a couple of hundred bytes claiming 65535 x 65535 pixels, in every compression the reader
  // decodes: their data could not unpack to a thousandth of that.
  const struct {
    uint32_t Compression, Bits, Samples, Photometric;
  } cases[] = {{1, 8, 3, 2}, {32773, 8, 3, 2}, {5, 8, 3, 2},     {8, 8, 3, 2}, {3, 1, 1, 0},
               {2, 1, 1, 0}, {32771, 1, 1, 0}, {32809, 4, 1, 1}, {7, 8, 3, 6}, {5, 8, 1, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Compression);
    TTIFFBuilder builder;
    builder.Picture(65535, 65535, c.Samples, c.Bits, c.Photometric, c.Compression, Bytes(64, 0x55));
    if (c.Photometric == 6) builder.Short(530, {2, 2});
    const Bytes file = builder.Build();
    ASSERT_LT(file.size(), 300u);
    for (const bool eps : {false, true}) {
      TMemoryStream stream;
      stream.WriteBuffer(eps ? EPS(file) : file);
      stream.SetPosition(0);
      std::unique_ptr<TTIFFGraphic> picture =
          eps ? std::make_unique<TEPSGraphic>() : std::make_unique<TTIFFGraphic>();
      EXPECT_EQ(RaisedMessage<Exception>([&] { picture->LoadFromStream(stream); }), kInvalid);
      EXPECT_TRUE(picture->Empty());
    }
    // Loaded as the program loads a picture, without the memory the header claims.
    ExpectRefusedCheaply<TTIFFGraphic>(file, kInvalid);
    ExpectRefusedCheaply<TEPSGraphic>(EPS(file), kInvalid);
  }
  // An 11 KB file claiming 30000 x 30000: one strip of 11 KB of LZW data.
  TTIFFBuilder builder;
  builder.Picture(30000, 30000, 1, 8, 1, 5, Bytes(11000, 0x80));
  EXPECT_EQ(LoadMessage(builder.Build()), kInvalid);
}

TEST(TIFFDamaged, TheBoundsLeaveTheMostCompressibleRealPicturesAlone) {
  // A flat 2048 x 256 gray picture, as compact as each scheme makes it: LZW codes of ever longer
  // strings, one zlib stream, PackBits rows of 2-byte runs (64 to 1, the bound itself), and fax rows
  // that are one long white run each.
  const uint32_t width = 2048, height = 256;
  const Bytes flat(size_t{width} * height, 0);
  uLongf zipSize = compressBound(uLong(flat.size()));
  Bytes zip(zipSize);
  ASSERT_EQ(compress2(zip.data(), &zipSize, flat.data(), uLong(flat.size()), 9), Z_OK);
  zip.resize(zipSize);
  Bytes packBits;
  for (uint32_t i = 0; i < flat.size() / 128; ++i) packBits += Bytes{0x81, 0};
  // End of line, white make-up runs of 1728 and 320, the terminating white run 0; 8 rows in 37 bytes.
  Bytes fax;
  uint64_t bits = 0;
  int count = 0;
  const auto put = [&](uint32_t code, int length) {
    bits = bits << length | code;
    count += length;
    while (count >= 8) fax.push_back(uint8_t(bits >> (count -= 8)));
  };
  for (uint32_t row = 0; row < height; ++row) {
    put(1, 12);
    put(0x9B, 9);  // 010011011: 1728
    put(0x36, 8);  // 00110110: 320
    put(0x35, 8);  // 00110101: 0
  }
  put(0, 8 - count);
  const struct {
    uint32_t Compression, Bits, Photometric;
    Bytes Strip;
  } cases[] = {{5, 8, 1, TLZWTestEncoder(TLZWTestDialect::TIFF, 8, TLZWFull::Clear).Encode(flat)},
               {8, 8, 1, zip},
               {32773, 8, 1, packBits},
               {3, 1, 0, fax}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Compression);
    TTIFFBuilder builder;
    builder.Picture(width, height, 1, c.Bits, c.Photometric, c.Compression, c.Strip);
    const auto picture = LoadBytes<TTIFFGraphic>(builder.Build());
    EXPECT_FALSE(picture->DataEndedEarly());
    const Bytes rows = StoredRows(*picture, width * c.Bits / 8);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), 0), long(rows.size()));
  }
}

TEST(TIFFDamaged, StripsSharingOneBlockCostWhatTheirRowsCost) {
  // A writer that stores one coded row once and points every one-row strip at it: each strip is that
  // row.
  Bytes ramp(64);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = uint8_t(4 * i);
  const Bytes coded = TLZWTestEncoder(TLZWTestDialect::TIFF, 8, TLZWFull::Clear).Encode(ramp);
  TTIFFBuilder shared;
  shared.Picture(64, 500, 1, 8, 1, 5, {});
  const uint32_t at = shared.Data(coded);
  shared.Long(273, std::vector<uint32_t>(500, at))
      .Long(279, std::vector<uint32_t>(500, uint32_t(coded.size())));
  shared.Long(278, {1});
  const auto picture = LoadBytes<TTIFFGraphic>(shared.Build());
  EXPECT_FALSE(picture->DataEndedEarly());
  Bytes rows;
  for (int y = 0; y < 500; ++y) rows += ramp;
  EXPECT_EQ(StoredRows(*picture, 64), rows);
  // The same with fill order 2: the shared block's bits are put in order once, for every strip.
  Bytes reversed = coded;
  for (uint8_t& byte : reversed) {
    uint8_t mirrored = 0;
    for (int bit = 0; bit < 8; ++bit) mirrored = uint8_t(mirrored | (((byte >> bit) & 1) << (7 - bit)));
    byte = mirrored;
  }
  TTIFFBuilder lowBitFirst;
  lowBitFirst.Picture(64, 500, 1, 8, 1, 5, {}).Short(266, {2});
  const uint32_t block = lowBitFirst.Data(reversed);
  lowBitFirst.Long(273, std::vector<uint32_t>(500, block))
      .Long(279, std::vector<uint32_t>(500, uint32_t(coded.size())))
      .Long(278, {1});
  EXPECT_EQ(StoredRows(*LoadBytes<TTIFFGraphic>(lowBitFirst.Build()), 64), rows);

  // Thousands of one-row strips whose byte counts all cover one block: a coded row, then 256 KB that
  // decode to nothing (PackBits no-operation bytes; zero fill bits in group 3 fax data). Each strip's
  // decoder stops when its row is full, and no strip reads more than its row can need: the picture is
  // whole and as cheap as its rows.
  Bytes packBits = Bytes{63} + ramp;
  packBits += Bytes(256 * 1024, 0x80);
  Bytes fax{0x00, 0x1D, 0x9A, 0x80};  // end of line, white make-up 64, white 0
  fax += Bytes(256 * 1024, 0);
  const struct {
    uint32_t Compression, Bits, Photometric;
    const Bytes& Block;
    Bytes Row;
  } cases[] = {{32773, 8, 1, packBits, ramp}, {3, 1, 0, fax, Bytes(8, 0)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Compression);
    TTIFFBuilder builder;
    builder.Picture(64, 4000, 1, c.Bits, c.Photometric, c.Compression, {});
    const uint32_t block = builder.Data(c.Block);
    builder.Long(273, std::vector<uint32_t>(4000, block))
        .Long(279, std::vector<uint32_t>(4000, uint32_t(c.Block.size())))
        .Long(278, {1});
    const auto sharing = LoadBytes<TTIFFGraphic>(builder.Build());
    EXPECT_FALSE(sharing->DataEndedEarly());
    const Bytes rows = StoredRows(*sharing, c.Row.size());
    for (int y = 0; y < 4000; y += 999)
      EXPECT_EQ(Bytes(rows.begin() + long(y * c.Row.size()), rows.begin() + long((y + 1) * c.Row.size())),
                c.Row);
  }
}

TEST(TIFFDamaged, JpegStripsSharingTheirMarkersAreRefused) {
  // A JPEG strip of 16 rows behind 16 KB of comment markers is a whole picture when it stands alone;
  // a thousand strips all pointing at it would each walk the markers again.
  const Bytes strip = WithCommentMarkers(GrayJpeg(64, 16), 4096);
  TTIFFBuilder alone;
  alone.Picture(64, 16, 1, 8, 1, 7, strip);
  EXPECT_FALSE(LoadBytes<TTIFFGraphic>(alone.Build())->DataEndedEarly());
  TTIFFBuilder sharing;
  sharing.Picture(64, 16000, 1, 8, 1, 7, {});
  const uint32_t block = sharing.Data(strip);
  sharing.Long(273, std::vector<uint32_t>(1000, block))
      .Long(279, std::vector<uint32_t>(1000, uint32_t(strip.size())))
      .Long(278, {16});
  EXPECT_EQ(LoadMessage(sharing.Build()), kInvalid);
}

TEST(TIFFDamaged, FailuresNameTheFormat) {
  // Files too short for a header; a byte list holding a value beyond a byte.
  EXPECT_EQ(LoadMessage({}), kInvalid);
  EXPECT_EQ(LoadMessage({'I', 'I', 42, 0, 8}), kInvalid);
  EXPECT_EQ(RaisedMessage<Exception>([] {
              LoadBytes<TEPSGraphic>({0xC5, 0xD0, 0xD3, 0xC6, 30});
            }),
            "Cannot load image. Invalid or unexpected EPS image format.");
  TTIFFBuilder subsampling;
  subsampling.Picture(2, 2, 3, 8, 6, 7, Bytes(12, 0)).Short(530, {300, 2});
  EXPECT_EQ(LoadMessage(subsampling.Build()), kInvalid);
  // Decoders' failures, with their own words.
  TTIFFBuilder deflate;
  deflate.Picture(3, 2, 1, 8, 1, 8, {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(LoadMessage(deflate.Build()), kCompression + "LZ77 decompression error.");
  TTIFFBuilder packBits;
  packBits.Picture(3, 2, 1, 8, 1, 32773, {0x02, 1, 2, 3, 0xFE});
  EXPECT_EQ(LoadMessage(packBits.Build()), kCompression + "The PackBits data end inside a packet.");
  // Loaded as the program loads a picture, the same words: the failure net adds no second sentence.
  EXPECT_EQ(RefusalMessage<TTIFFGraphic>(packBits.Build()),
            kCompression + "The PackBits data end inside a packet.");
  EXPECT_EQ(RefusalMessage<TTIFFGraphic>(deflate.Build()), kCompression + "LZ77 decompression error.");
  TTIFFBuilder jpeg;
  jpeg.Picture(8, 8, 1, 8, 1, 7, Bytes(40, 0x55));
  EXPECT_TRUE(LoadMessage(jpeg.Build()).starts_with(kCompression + "JPEG error #"));
}

}  // namespace
