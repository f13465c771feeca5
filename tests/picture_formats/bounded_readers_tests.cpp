// Every reader on the files a night of real use produces and on lying headers: a picture without
// pixels is refused with the reader's invalid-format message, a header claiming 65535 x 65535 pixels
// over a few KB of data is refused without the memory it claims, and every failure reaches the caller
// (through the failure net of loading by file name) in the library's English, naming the format.

#include <gtest/gtest.h>
#include <zlib.h>

#include "picture_formats/autodesk_graphic.h"
#include "picture_formats/byte_fields.h"
#include "picture_formats/cut_graphic.h"
#include "picture_formats/decoder.h"
#include "picture_formats/format_failures.h"
#include "picture_formats/pcd_graphic.h"
#include "picture_formats/pcx_graphic.h"
#include "picture_formats/png_graphic.h"
#include "picture_formats/ppm_graphic.h"
#include "picture_formats/psd_graphic.h"
#include "picture_formats/psp_graphic.h"
#include "picture_formats/rla_graphic.h"
#include "picture_formats/sgi_graphic.h"
#include "picture_formats/targa_graphic.h"
#include "picture_formats/tiff_graphic.h"
#include "tests/picture_formats/reader_test_support.h"
#include "toolkit/core/messages.h"

namespace {

std::string Ended(const std::string& format) {
  return "Cannot load image. The " + format + " file ends before its picture does.";
}
std::string Invalid(const std::string& format) {
  return "Cannot load image. Invalid or unexpected " + format + " image format.";
}

// A PNG file with its IHDR width and height replaced and the chunk's CRC made right again.
Bytes PngSized(Bytes file, uint32_t width, uint32_t height) {
  Poke(file, 16, Be(width, 4) + Be(height, 4));
  Poke(file, 29, Be(static_cast<uint32_t>(crc32(0, file.data() + 12, 17)), 4));
  return file;
}

TEST(BoundedReaders, HeadersClaiming65535By65535PixelsOverAFewKBAreRefusedWithoutTheirMemory) {
  constexpr uint16_t kMost = 0xFFFF;
  // A sample with its width and height (from `at` on) replaced.
  const auto claimed = [](const char* name, size_t at, const Bytes& size) {
    Bytes file = Sample(name);
    Poke(file, at, size);
    return file;
  };
  const Bytes le16 = Le(kMost, 2) + Le(kMost, 2), be16 = Be(kMost, 2) + Be(kMost, 2);
  const Bytes le32 = Le(kMost, 4) + Le(kMost, 4), be32 = Be(kMost, 4) + Be(kMost, 4);
  ExpectRefusedCheaply<TTargaGraphic>(claimed("targa/rgb24_rle.tga", 12, le16), Ended("Targa"));
  ExpectRefusedCheaply<TTargaGraphic>(claimed("targa/rgb24.tga", 12, le16), Ended("Targa"));
  // XMin, YMin, XMax, YMax, and each plane's row as long as the width needs.
  Bytes pcx = claimed("pcx/rgb24.pcx", 4, Le(0, 2) + Le(0, 2) + Le(kMost - 1, 2) + Le(kMost - 1, 2));
  Poke(pcx, 66, Le(kMost, 2));
  ExpectRefusedCheaply<TPCXGraphic>(pcx, Ended("PCX"));
  for (const char* name : {"sgi/rgb_rle.sgi", "sgi/rgb_raw.sgi"})
    ExpectRefusedCheaply<TSGIGraphic>(claimed(name, 6, be16), Ended("SGI"));
  // A PackBits file too short for its row counts is cut inside them: the stream's error.
  ExpectRefusedCheaply<TPSDGraphic>(claimed("psd/rgb_rle.psd", 14, be32), "Stream read error in PSD file.");
  ExpectRefusedCheaply<TPSDGraphic>(claimed("psd/rgb_raw.psd", 14, be32), Ended("PSD"));
  // The general attributes come after the file and block headers.
  for (const char* name : {"psp/rgb_rle_v5.psp", "psp/index8_lz77_v5.psp"})
    ExpectRefusedCheaply<TPSPGraphic>(claimed(name, 50, le32), Ended("PSP"));
  // The active window: left, right, bottom, top.
  ExpectRefusedCheaply<TRLAGraphic>(
      claimed("rla/rgb.rla", 8, Be(0x8000, 2) + Be(0x7FFE, 2) + Be(0x8000, 2) + Be(0x7FFE, 2)), Ended("RLA"));
  const std::string ppmHeader = "P6\n65535 65535\n255\n";
  ExpectRefusedCheaply<TPPMGraphic>(Bytes(ppmHeader.begin(), ppmHeader.end()) + Bytes(4000, 7),
                                    "Stream read error in PPM file.");
  ExpectRefusedCheaply<TAutodeskGraphic>(claimed("autodesk/picture.cel", 2, le16), Ended("Autodesk"));
  ExpectRefusedCheaply<TCUTGraphic>(claimed("cut/picture.cut", 0, le16), Ended("CUT"));
  // Rows too many even for their lengths.
  ExpectRefusedCheaply<TCUTGraphic>(claimed("cut/picture.cut", 0, Le(1, 2) + Le(2000, 2)),
                                    "Stream read error in CUT file.");

  const Bytes png = Sample("png/pictures/rgb.png");
  ExpectRefusedCheaply<TPNGGraphic>(PngSized(png, kMost, kMost), Invalid("PNG"));
  // Within what a bitmap may hold, the image data must still be able to give the rows.
  ExpectRefusedCheaply<TPNGGraphic>(PngSized(png, 20000, 20000), Ended("PNG"));

  // The toolkit's BMP reader, run-length data claiming a picture they cannot give.
  TMemoryStream bmpStream;
  Bytes bmp = Sample("bmp/rle8-delta.bmp");
  Poke(bmp, 18, Le(kMost, 4) + Le(kMost, 4));
  EXPECT_LT(PeakMemoryGrowthKiB([&] {
              bmpStream.WriteBuffer(bmp);
              bmpStream.SetPosition(0);
              TBitmap bitmap;
              bitmap.LoadFromStream(bmpStream);
            }),
            kMostGrowthKiB);
  bmpStream.WriteBuffer(bmp);
  bmpStream.SetPosition(0);
  TBitmap bitmap;
  EXPECT_THROW(bitmap.LoadFromStream(bmpStream), EInvalidGraphic);
}

TEST(BoundedReaders, PicturesWithoutPixelsAreRefusedWithTheInvalidFormatMessage) {
  // Rows of no pixels, no image data, a header alone, a foreign header: nothing passes for a picture,
  // and none fails without a message.
  Bytes targa = Sample("targa/rgb24.tga");
  targa[2] = 0;  // image type 0: no image data
  EXPECT_EQ(RefusalMessage<TTargaGraphic>(targa), Invalid("Targa"));
  Bytes pcx = Sample("pcx/rgb24.pcx");
  pcx[0] = 12;  // not a PCX manufacturer: the reader leaves the picture empty
  EXPECT_EQ(RefusalMessage<TPCXGraphic>(pcx), Invalid("PCX"));
  Bytes sgi = Sample("sgi/rgb_raw.sgi");
  Poke(sgi, 8, Be(0, 2));
  EXPECT_EQ(RefusalMessage<TSGIGraphic>(sgi), Invalid("sgi, bw or rgb(a)"));
  Bytes psd = Sample("psd/rgb_raw.psd");
  Poke(psd, 14, Be(0, 4));
  EXPECT_EQ(RefusalMessage<TPSDGraphic>(psd), Invalid("PSD or PDD"));
  const Bytes psp = Sample("psp/rgb_rle_v5.psp");
  EXPECT_EQ(RefusalMessage<TPSPGraphic>(Bytes(psp.begin(), psp.begin() + 36 + 10 + 46)), Invalid("PSP"));
  Bytes rla = Sample("rla/rgb.rla");
  rla[580] = 'q';  // a foreign channel text: the reader leaves the picture empty
  EXPECT_EQ(RefusalMessage<TRLAGraphic>(rla), Invalid("RLA"));
  const std::string ppm = "P6\n0 5\n255\n";
  EXPECT_EQ(RefusalMessage<TPPMGraphic>(Bytes(ppm.begin(), ppm.end()) + Bytes(20)),
            Invalid("PBM, PGM or PPM"));
  Bytes cel = Sample("autodesk/picture.cel");
  EXPECT_EQ(RefusalMessage<TAutodeskGraphic>(Bytes(cel.begin(), cel.begin() + 32 + 768)),
            Invalid("Autodesk"));
  EXPECT_EQ(RefusalMessage<TCUTGraphic>({0, 0, 5, 0, 0, 0}), Invalid("CUT"));
  const Bytes png = Sample("png/pictures/rgb.png");
  EXPECT_EQ(RefusalMessage<TPNGGraphic>(Bytes(png.begin(), png.begin() + 33) + Be(0, 4) +
                                        Bytes{'I', 'E', 'N', 'D'} + Be(0xAE426082, 4)),
            Invalid("PNG"));
  Bytes pcd = Sample("pcd/landscape.pcd.gz");
  pcd[2048] = 'X';  // no pack signature: the reader leaves the picture empty
  EXPECT_EQ(RefusalMessage<TPCDGraphic>(pcd), Invalid("PCD"));
  pcd[2048] = 'P';
  EXPECT_EQ(RefusalMessage<TPCDGraphic>(Bytes(pcd.begin(), pcd.begin() + 96 * 2048)), Invalid("PCD"));
  EXPECT_EQ(RefusalMessage<TPCDGraphic>(Bytes(pcd.begin(), pcd.begin() + 97 * 2048)), Ended("PCD"));
}

TEST(BoundedReaders, AnIndexedPngWithoutAPaletteIsRefused) {
  Bytes png = Sample("png/pictures/indexed_i.png");
  EXPECT_EQ(RefusalMessage<TPNGGraphic>(png), "");
  // The same file without its PLTE chunk (right after IHDR): libpng and netpbm refuse it too.
  const size_t plte = 33;
  ASSERT_EQ(Bytes(png.begin() + plte + 4, png.begin() + plte + 8), (Bytes{'P', 'L', 'T', 'E'}));
  const size_t length = BigEndian32(png.data() + plte);
  png.erase(png.begin() + plte, png.begin() + static_cast<long>(plte + 12 + length));
  EXPECT_EQ(RefusalMessage<TPNGGraphic>(png), "Cannot load image. Palette in PNG file is invalid.");
}

TEST(FailureNet, EveryFailureIsSaidInTheLibrarysWordsNamingTheFormat) {
  const auto said = [](const std::exception& error) { return FailureMessage(error, "Targa"); };
  EXPECT_EQ(said(EReadError(SReadError)), "Stream read error in Targa file.");
  EXPECT_EQ(said(ERangeError(SRangeError)), Invalid("Targa"));
  EXPECT_EQ(said(EIntOverflow(SIntOverflow)), Invalid("Targa"));
  EXPECT_EQ(said(EConvertError("'x' n'est pas une valeur entière correcte")), Invalid("Targa"));
  // The toolkit's own picture errors are French: they do not pass either.
  EXPECT_EQ(said(EInvalidGraphic(SInvalidPixelFormat)), Invalid("Targa"));
  EXPECT_EQ(said(EOutOfResources(SOutOfResources)), "Cannot load image. The Targa picture is too large.");
  EXPECT_EQ(said(std::bad_alloc()), "Cannot load image. The Targa picture is too large.");
  // The decoders' and the colour manager's English details follow the sentence naming the format.
  EXPECT_EQ(
      said(EPackedDataEnded("Cannot load image. The Targa run-length data end inside a packet.")),
      "Cannot load image. Compression error found in Targa file. Cannot load image. The Targa run-length "
      "data end inside a packet.");
  EXPECT_EQ(said(EColorConversionError("Color conversion failed. Could not find a proper method.")),
            "Invalid color format in Targa file. Color conversion failed. Could not find a proper method.");
  // The library's own messages pass, with any byte from a file escaped.
  EXPECT_EQ(said(EFormatError("Cannot load image. Invalid or unexpected GIF image format.")), Invalid("GIF"));
  EXPECT_EQ(said(EFormatError(std::string("Version \x01\xFF"
                                          "a"))),
            "Version \\x01\\xFFa");
  EXPECT_EQ(PrintableText("caf\xC3\xA9\n"), "caf\\xC3\\xA9\\x0A");
}

TEST(FailureNet, LoadingByFileNameNamesTheFormatAndPassesAUsersAbort) {
  EXPECT_EQ(TPNGGraphic().FormatName(), "PNG");
  EXPECT_EQ(TTargaGraphic().FormatName(), "Targa");
  EXPECT_EQ(TCUTGraphic().FormatName(), "CUT");
  EXPECT_EQ(TTIFFGraphic().FormatName(), "TIFF");
  // A file cut inside a chunk: the toolkit's stream error becomes the library's.
  TempDir folder;
  const Bytes png = Sample("png/pictures/rgb.png");
  WriteWholeFile(folder.File("cut.png"), Bytes(png.begin(), png.begin() + 100));
  TPNGGraphic picture;
  EXPECT_EQ(RaisedMessage<EInvalidGraphic>([&] { picture.LoadFromFile(folder.File("cut.png")); }),
            "Stream read error in PNG file.");
  // A user's abort (from a progress handler) is no failure of the file.
  WriteWholeFile(folder.File("whole.png"), png);
  picture.OnProgress = [](TGraphic&, TProgressStage, uint8_t, bool, const TRect&, const std::string&) {
    Abort();
  };
  EXPECT_THROW(picture.LoadFromFile(folder.File("whole.png")), EAbort);
}

}  // namespace
