// The PNG reader on damaged and hostile files: each ends in a clear error, never in a read or write
// outside a buffer, a giant allocation, or a picture made of bytes that were never unpacked.

#include <gtest/gtest.h>

#include "picture_formats/byte_fields.h"
#include "picture_formats/decoder.h"
#include "tests/picture_formats/png_test_support.h"
#include "tests/picture_formats/reader_test_support.h"
#include "toolkit/core/messages.h"

namespace {

const std::string kInvalid = "Cannot load image. Invalid or unexpected PNG image format.";
const std::string kLZ77 = "LZ77 decompression error.";

TEST(PngDamaged, CutFilesAndChangedBytesAreRefused) {
  // A 5 x 3 indexed picture with every chunk the loader reads, its image data in three IDAT chunks.
  const Bytes packed = Deflate({0, 0, 1, 2, 1, 0, 2, 1, 0, 0, 0, 1, 0, 2, 2, 2, 2, 2});
  const auto third = static_cast<long>(packed.size() / 3);
  const std::vector<Bytes> chunks{IHDR(5, 3, 8, 3),
                                  Chunk("gAMA", {0, 0, 0xB1, 0x8F}),
                                  Chunk("PLTE", Bytes(9, 50)),
                                  Chunk("bKGD", {1}),
                                  Chunk("tRNS", {0, 255}),
                                  Chunk("IDAT", Bytes(packed.begin(), packed.begin() + third)),
                                  Chunk("IDAT", Bytes(packed.begin() + third, packed.begin() + 2 * third)),
                                  Chunk("IDAT", Bytes(packed.begin() + 2 * third, packed.end())),
                                  Chunk("tEXt", {'k', 0, 'v'}),
                                  Chunk("IEND", {})};
  const Bytes file = Png(chunks);
  // Cut before the CRC of IEND (which nothing reads) only the stream ends early; after it, nothing.
  EXPECT_EQ(LoadError(Bytes(file.begin(), file.end() - 5)), SReadError);
  EXPECT_EQ(LoadError(Bytes(file.begin(), file.end() - 4)), "<nothing raised>");
  // A changed data or CRC byte in any chunk that is read (all but tEXt and IEND).
  size_t offset = 8;
  for (size_t i = 0; i + 2 < chunks.size(); offset += chunks[i++].size())
    for (const size_t at : {offset + 8 + (chunks[i].size() - 12) / 2, offset + chunks[i].size() - 1}) {
      Bytes changed = file;
      changed[at] ^= 0x10;
      EXPECT_EQ(LoadError(changed), "Cannot load image. CRC error found in PNG file.") << at;
    }
}

TEST(PngDamaged, ImageDataEndingBeforeThePictureAreFlaggedOrRefused) {
  Bytes raw;
  for (uint8_t y = 0; y < 8; ++y) raw.insert(raw.end(), {0, y, 1, 2, 3});
  const Bytes packed = Deflate(raw), stored = Deflate(raw, 0);
  Bytes noDeflate = packed;
  noDeflate[0] = 0x77;  // a zlib header without the deflate method
  const auto file = [](const Bytes& idat) {
    return Png({IHDR(4, 8, 8, 0), Chunk("IDAT", idat), Chunk("IEND", {})});
  };
  // Streams cut short (correct CRCs), and one that ends after fewer rows: the rows they give are kept,
  // the rest shows the background, and the picture says its data ended early.
  for (const Bytes& idat :
       {Bytes(packed.begin(), packed.begin() + 2), Bytes(stored.begin(), stored.end() - 6),
        Deflate(Bytes(raw.begin(), raw.begin() + 37))}) {
    const auto picture = LoadBytes<TPNGGraphic>(file(idat));
    EXPECT_TRUE(picture->DataEndedEarly()) << idat.size();
    EXPECT_EQ(picture->Height(), 8);
  }
  const auto partial = LoadBytes<TPNGGraphic>(file(Deflate(Bytes(raw.begin(), raw.begin() + 37))));
  EXPECT_EQ(Bytes(partial->ScanLine(6), partial->ScanLine(6) + 4), (Bytes{6, 1, 2, 3}));
  EXPECT_EQ(Bytes(partial->ScanLine(7), partial->ScanLine(7) + 4), Bytes(4, 255));
  EXPECT_FALSE(LoadBytes<TPNGGraphic>(file(packed))->DataEndedEarly());
  // No image data at all cannot give the picture; damaged streams are the deflate decoder's error.
  EXPECT_EQ(LoadError(file({})), kInvalid);
  for (const Bytes& idat : {Bytes(40, 0xFF), noDeflate})
    EXPECT_EQ(LoadError(file(idat)), kLZ77) << idat.size();
  // Bytes after the stream's end are refused; rows beyond the picture are not read.
  Bytes extra = Deflate({0, 9, 0, 8});
  extra.insert(extra.end(), {1, 2, 3});
  EXPECT_EQ(LoadError(Png({IHDR(1, 2, 8, 0), Chunk("IDAT", extra), Chunk("IEND", {})})),
            "Cannot load image. Extra compressed data found in PNG file.");
  EXPECT_EQ(LoadBytes<TPNGGraphic>(SimplePng(1, 2, 8, 0, {0, 9, 0, 8, 0, 7}))->ScanLine(1)[0], 8);
}

TEST(PngDamaged, HugeSizesAndLengthsAreRefusedBeforeAnythingIsAllocated) {
  const Bytes idat = Chunk("IDAT", Deflate({0, 0})), iend = Chunk("IEND", {});
  for (const Bytes& header :
       {IHDR(0x7FFFFFFF, 0x7FFFFFFF, 16, 6), IHDR(0x7FFFFFFF, 2, 8, 2), IHDR(30000, 30000, 8, 6)})
    EXPECT_EQ(LoadError(Png({header, idat, iend})), kInvalid);
  // A chunk running past the file's end: the stream's read error, first in the header's walk...
  Bytes beyond = Png({IHDR(1, 1, 8, 0), idat, iend});
  beyond[33] = 0x7F;
  EXPECT_EQ(LoadError(beyond), SReadError);
  beyond[33] = 0x80;  // lengths from 2^31 on are no PNG lengths
  EXPECT_EQ(LoadError(beyond), kInvalid);
  // ...and in the loader, which does not make room for a palette of almost 2 GiB first.
  Bytes palette =
      Png({IHDR(1, 1, 8, 3), Chunk("gAMA", {0, 1, 0x86, 0xA0}), Chunk("PLTE", {1, 2, 3}), idat, iend});
  for (size_t i = 0; i < 4; ++i) palette[49 + i] = Bytes{0x7F, 0xFF, 0xFF, 0xFE}[i];  // a multiple of 3
  EXPECT_EQ(LoadError(palette), SReadError);
}

TEST(PngDamaged, BadLayoutsGiveTheirMessagesAndTheReaderLoadsAfterwards) {
  const Bytes idat = Chunk("IDAT", Deflate(Bytes(9, 0))), iend = Chunk("IEND", {});
  EXPECT_EQ(LoadError(Png({IHDR(1, 1, 8, 3), Chunk("PLTE", Bytes(7, 1)), idat, iend})),
            "Cannot load image. Palette in PNG file is invalid.");
  for (const auto& [depth, type] : {std::pair{8, 1}, {8, 5}, {3, 0}, {4, 2}, {16, 3}, {2, 6}})
    EXPECT_EQ(LoadError(Png({IHDR(1, 1, uint8_t(depth), uint8_t(type)), idat, iend})),
              "Invalid color format in PNG file.")
        << depth << " bits, type " << type;
  // No image data; image data in two runs, the second being data left after the picture.
  EXPECT_EQ(LoadError(Png({IHDR(1, 1, 8, 0), iend})), kInvalid);
  EXPECT_EQ(LoadError(Png({IHDR(1, 1, 8, 0), idat, Chunk("tEXt", {'a'}), idat, iend})),
            "Cannot load image. Extra compressed data found in PNG file.");
  EXPECT_EQ(LoadError(Png({IHDR(1, 1, 8, 0, 0, 1), idat, iend})),
            "Cannot load image. The compression scheme is not supported for PNG files.");
  TPNGGraphic graphic;
  EXPECT_ANY_THROW(LoadInto(graphic, Png({IHDR(2, 1, 8, 2), Chunk("IDAT", {1, 2})})));
  LoadInto(graphic, SimplePng(2, 1, 8, 2, {0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(PixelColors(graphic), (Bytes{1, 2, 3, 4, 5, 6}));
}

// What image data hold beyond the picture, around a file ImageMagick wrote (tests/data/png/pictures):
// IDAT chunks after those the rows need, and data for rows past the last one, are checked and passed
// over, so a second compressed stream in an extra IDAT chunk loads; bytes after the stream's end inside
// the chunk that ends it, and IDAT chunks that come back after another chunk, are refused; a stream that
// ends before the last row leaves the picture cut short, whatever follows it.
TEST(PngDamaged, DataBeyondThePictureArePassedOverOrRefused) {
  const Bytes file = Sample("png/pictures/rgb.png");
  const Bytes colors = Sample("png/pictures/rgb.rgb");
  // The file's chunks before and after its image data, and the rows those data inflate to.
  std::vector<Bytes> before, after;
  Bytes packed;
  for (size_t at = 8; at + 12 <= file.size();) {
    const size_t length = BigEndian32(file.data() + at);
    const std::string type(file.begin() + static_cast<long>(at) + 4,
                           file.begin() + static_cast<long>(at) + 8);
    const Bytes data(file.begin() + static_cast<long>(at) + 8,
                     file.begin() + static_cast<long>(at + 8 + length));
    if (type == "IDAT")
      packed += data;
    else
      (packed.empty() ? before : after).push_back(Chunk(type, data));
    at += 12 + length;
  }
  constexpr size_t kRowBytes = 37 * 3 + 1, kHeight = 23;
  Bytes rows(kRowBytes * kHeight);
  uLongf size = rows.size();
  ASSERT_EQ(uncompress(rows.data(), &size, packed.data(), packed.size()), Z_OK);
  ASSERT_EQ(size, rows.size());
  Bytes moreRows = rows;
  for (size_t i = 0; i < 3 * kRowBytes; ++i)
    moreRows.push_back(static_cast<uint8_t>(i % kRowBytes == 0 ? 0 : i));
  const Bytes firstRows(rows.begin(), rows.begin() + 10 * kRowBytes),
      lastRows(rows.begin() + 10 * kRowBytes, rows.end());
  std::vector<Bytes> smallChunks;
  const Bytes packedMore = Deflate(moreRows);
  for (size_t at = 0; at < packedMore.size(); at += 50)
    smallChunks.push_back(
        Chunk("IDAT", Bytes(packedMore.begin() + static_cast<long>(at),
                            packedMore.begin() + static_cast<long>(std::min(at + 50, packedMore.size())))));

  enum class Outcome { Loads, Refused, EndsEarly };
  const struct {
    const char* what;
    std::vector<Bytes> imageData;  // the chunks that stand where the file's IDAT chunks stood
    Outcome outcome;
  } cases[] = {
      {"as written", {Chunk("IDAT", packed)}, Outcome::Loads},
      {"a second stream in an extra IDAT chunk",
       {Chunk("IDAT", packed), Chunk("IDAT", Deflate(Bytes(500, 7)))},
       Outcome::Loads},
      {"an empty IDAT chunk after the data", {Chunk("IDAT", packed), Chunk("IDAT", {})}, Outcome::Loads},
      {"rows beyond the picture", {Chunk("IDAT", packedMore)}, Outcome::Loads},
      {"rows beyond the picture in many chunks", smallChunks, Outcome::Loads},
      {"bytes after the stream's end in its chunk",
       {Chunk("IDAT", packed + Bytes{1, 2, 3})},
       Outcome::Refused},
      {"IDAT chunks again after another chunk",
       {Chunk("IDAT", packed), Chunk("tEXt", {'k', 0, 'v'}), Chunk("IDAT", Deflate(Bytes(9, 0)))},
       Outcome::Refused},
      {"a stream ending before the last row, the rest in a second one",
       {Chunk("IDAT", Deflate(firstRows)), Chunk("IDAT", Deflate(lastRows))},
       Outcome::EndsEarly},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(each.what);
    std::vector<Bytes> chunks = before;
    chunks.insert(chunks.end(), each.imageData.begin(), each.imageData.end());
    chunks.insert(chunks.end(), after.begin(), after.end());
    const Bytes changed = Png(chunks);
    if (each.outcome == Outcome::Refused) {
      EXPECT_EQ(LoadError(changed), "Cannot load image. Extra compressed data found in PNG file.");
      continue;
    }
    const auto picture = LoadBytes<TPNGGraphic>(changed);
    EXPECT_EQ(picture->DataEndedEarly(), each.outcome == Outcome::EndsEarly);
    if (each.outcome == Outcome::Loads) {
      EXPECT_EQ(PixelColors(*picture), colors);
    }
  }
}

}  // namespace
