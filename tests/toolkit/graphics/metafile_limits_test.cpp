// Metafiles at the reader's limits (tests/data/metafile/make_limits.sh writes them): pictures that
// memory cannot hold, drawn in a child process whose address space is limited; small files that ask
// for gigabytes of bitmaps and brushes or for minutes of clipping work, refused or drawn within the
// budget their size gives; lawful records a reader easily refuses; files cut after a record. And the
// clipping polygons' pixels against Qt's own test of a point inside a path.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QPainterPath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/address_space_limit.h"
#include "tests/toolkit/graphics/metafile_helpers.h"
#include "toolkit/core/messages.h"
#include "toolkit/graphics/bmp_format.h"
#include "toolkit/graphics/graphics_messages.h"
#include "toolkit/graphics/metafile_budget.h"
#include "toolkit/graphics/metafile_region.h"

namespace {

using namespace metafile_tests;

// Loads and draws the sample into a bitmap of the format with no more than extraMiB of address space
// beyond what the process holds, then ends the process: status 0 with the refusal's detail on the
// standard error, 2 when it was drawn.
[[noreturn]] void DrawWithinAddressSpace(const std::string& name, int64_t extraMiB,
                                         TPixelFormat format = pf24bit) {
  const Bytes file = Sample(name);
  LimitAddressSpace(extraMiB);
  const std::string refusal = Refusal(file, format);
  std::fprintf(stderr, "refused: %s\n", refusal.c_str());
  _exit(refusal.empty() ? 2 : 0);
}

using MetafileMemoryLimit = AddressSpaceLimitTest;

TEST_F(MetafileMemoryLimit, PictureMemoryCannotHoldIsTooLarge) {
  // 64 bytes declare a 16384 x 16384 picture. An 8-bit bitmap of it (268 MB) fits in 1 GB, the 1 GB of
  // 32-bit pixels its records are drawn into beside it does not.
  EXPECT_EXIT(DrawWithinAddressSpace("costly/canvas-16384.wmf", 1024, pf8bit), testing::ExitedWithCode(0),
              "refused: image de 16384 x 16384 pixels trop grande");
  // The 24-bit working bitmap of it (805 MB) is drawn on in place: the same 1 GB is enough.
  EXPECT_EXIT(DrawWithinAddressSpace("costly/canvas-16384.wmf", 1024), testing::ExitedWithCode(2), "");
}

TEST_F(MetafileMemoryLimit, PatternBrushesStopAtTheirBudget) {
  // 200 brushes of 4096 x 4096 pixels would hold 12.8 GB; the file's 15 KB allow 4.3 million pixels.
  EXPECT_EXIT(DrawWithinAddressSpace("costly/patternbrush-200.wmf", 1024), testing::ExitedWithCode(0),
              "refused: motifs de pinceau de plus de 4313248 pixels en tout, trop pour un fichier de 14868 "
              "octets");
}

TEST(MetafileLimits, CostlyFilesAreRefusedOrDrawnWithinTheirBudget) {
  const std::string bitmaps = Kind(SMetafileBitmapBudget), brushes = Kind(SMetafileBrushBudget),
                    clipping = Kind(SMetafileClipBudget);
  const struct {
    const char* Name;
    std::string Refused;  // the start of the refusal, "" when the file is drawn
  } cases[] = {
      // One 4096 x 4096 run-length DIB of a single end code is within the budget; a thousand or a
      // hundred of them are not, nor are a hundred pattern brushes of it.
      {"sparse-dib.wmf", ""},
      {"sparse-dib-1000.wmf", bitmaps},
      {"sparse-dib-100.emf", bitmaps},
      {"patternbrush-100.wmf", brushes},
      // Clipping paths of many figures cost the rows their edges cross, well within the budget.
      {"clippath-ellipses-1000.emf", ""},
      {"clippath-ellipses-10000.emf", ""},
      {"clippath-ellipses-30000.emf", ""},
      {"clippath-rectangles-100000.emf", ""},
      {"clippath-polygon-1000000.emf", ""},
      // A hundred thousand rectangles each combined with a region of thousands are not.
      {"intersectcliprect-rotated-100000.emf", clipping},
      {"excludecliprect-100000.wmf", clipping},
  };
  for (const auto& c : cases) {
    const std::string refusal = Refusal(Sample(std::string("costly/") + c.Name));
    if (c.Refused.empty())
      EXPECT_EQ(refusal, "") << c.Name;
    else
      EXPECT_TRUE(refusal.starts_with(c.Refused)) << c.Name << ": " << refusal;
  }
  // Drawn, the run-length DIB of colour 0 (black) covers the picture.
  auto sparse = Drawn(*LoadMetafile(Sample("costly/sparse-dib.wmf")));
  EXPECT_EQ(sparse->Canvas().Pixel(0, 0), clBlack);
  EXPECT_EQ(sparse->Canvas().Pixel(99, 99), clBlack);
}

TEST(MetafileLimits, ClippingPolygonsCoverThePixelCentresInside) {
  // A pentagram (its middle is inside by the winding rule only), a square with a square hole, and a
  // triangle reaching ten million pixels off the box to the left.
  const QPolygonF star({{30.3, 2.2}, {47.7, 56.1}, {2.1, 22.9}, {58.3, 22.8}, {12.6, 56.2}});
  const QPolygonF ring({{5.2, 5.3},
                        {25.1, 5.3},
                        {25.1, 25.4},
                        {5.2, 25.4},
                        {10.3, 10.2},
                        {10.3, 20.1},
                        {20.4, 20.1},
                        {20.4, 10.2},
                        {10.3, 10.2},
                        {5.2, 25.4}});
  const QPolygonF far({{-1e7, 40.1}, {55.2, 45.3}, {40.4, 58.6}});
  const QRect box(-1, -1, 62, 62);
  for (const Qt::FillRule rule : {Qt::OddEvenFill, Qt::WindingFill}) {
    QPainterPath path;
    path.setFillRule(rule);
    for (const QPolygonF& polygon : {star, ring, far}) {
      path.addPolygon(polygon);
      path.closeSubpath();
    }
    TMetafileBudget budget(1000);
    const QRegion region = PolygonsRegion({star, ring, far}, rule, box, budget);
    int inside = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
      for (int x = box.left(); x <= box.right(); ++x) {
        const bool want = path.contains(QPointF(x + 0.5, y + 0.5));
        inside += want;
        EXPECT_EQ(region.contains(QPoint(x, y)), want) << rule << " at " << x << ", " << y;
      }
    EXPECT_GT(inside, 500);
    // Rows of one set of spans make one band each: the region is as a region keeps itself.
    QRegion same;
    for (const QRect& r : region) same += r;
    EXPECT_EQ(region, same);
  }
  // A polygon whose edges cross more rows than the file's budget allows is refused before its rows are
  // walked.
  QPolygonF zigzag;
  for (int i = 0; i < 20000; ++i) zigzag << QPointF(i * 0.003, i % 2 ? 0.0 : 16000.0);
  TMetafileBudget small(0);
  EXPECT_THROW(PolygonsRegion({zigzag}, Qt::OddEvenFill, QRect(-1, -1, 16002, 16002), small),
               EInvalidGraphic);
}

TEST(MetafileLimits, LawfulRecordsDrawnAsPublished) {
  // SMALLTEXTOUT: "Orvanta" in 8-bit characters at (4, 4) without a rectangle, then "Hi" in 16-bit
  // characters at (62, 32) on the blue rectangle (60, 30)-(96, 56) that ETO_OPAQUE fills.
  auto text = Drawn(*LoadMetafile(Sample("lawful/smalltextout.emf")));
  ASSERT_EQ(text->Width(), 100);
  ASSERT_EQ(text->Height(), 60);
  const auto count = [&](const TRect& r, TColor color) {
    int found = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) found += text->Canvas().Pixel(x, y) == color;
    return found;
  };
  EXPECT_GT(count(TRect(4, 4, 80, 26), clBlack), 40);
  EXPECT_EQ(count(TRect(0, 0, 4, 60), clBlack), 0);
  EXPECT_EQ(count(TRect(0, 28, 58, 60), clBlack), 0);
  EXPECT_EQ(count(TRect(60, 30, 96, 56), clBlue) + count(TRect(60, 30, 96, 56), clBlack), 36 * 26);
  EXPECT_GT(count(TRect(62, 32, 96, 56), clBlack), 10);
  EXPECT_EQ(text->Canvas().Pixel(97, 57), clWhite);

  // BITBLT of a 4 x 2 bitmap whose header is a BITMAPCOREHEADER, to (10, 10).
  auto blit = Drawn(*LoadMetafile(Sample("lawful/bitblt-core.emf")));
  const TColor top[] = {clRed, clLime, clBlue, clWhite}, bottom[] = {clBlack, clYellow, clFuchsia, clAqua};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(blit->Canvas().Pixel(10 + x, 10), top[x]) << x;
    EXPECT_EQ(blit->Canvas().Pixel(10 + x, 11), bottom[x]) << x;
  }
  EXPECT_EQ(blit->Canvas().Pixel(9, 10), clWhite);
  EXPECT_EQ(blit->Canvas().Pixel(10, 12), clWhite);

  // The smallest placeable WMF: its header, two SAVEDC and EOF draw a white 40 x 30 picture.
  auto empty = LoadMetafile(Sample("lawful/placeable-58.wmf"));
  EXPECT_EQ(empty->Width(), 40);
  EXPECT_EQ(empty->Height(), 30);
  EXPECT_FALSE(empty->DataEndedEarly());
  EXPECT_EQ(Drawn(*empty)->Canvas().Pixel(20, 15), clWhite);
}

TEST(MetafileLimits, FilesCutAfterARecordEndEarly) {
  // Cut after a record, as a copy stopped early leaves them: read as far as they go, and flagged.
  for (const char* name : {"cut/shapes-cut.wmf", "cut/shapes-cut.emf"}) {
    auto cut = LoadMetafile(Sample(name));
    EXPECT_TRUE(cut->DataEndedEarly()) << name;
    TMetafile copy;
    copy.Assign(*cut);
    EXPECT_TRUE(copy.DataEndedEarly()) << name;
    Drawn(*cut);
  }
  // Whole files, made by this project's scripts, LibreOffice and Inkscape, are not.
  for (const char* name : {"shapes.wmf", "shapes.emf", "text.wmf", "plain.wmf", "beef.wmf", "fish.wmf",
                           "circles.wmf", "circles.emf", "lawful/smalltextout.emf", "lawful/bitblt-core.emf"})
    EXPECT_FALSE(LoadMetafile(Sample(name))->DataEndedEarly()) << name;

  // Each sign alone: the end-of-file record missing; a header counting more than the file holds.
  const Bytes wmf = Sample("shapes.wmf"), emf = Sample("shapes.emf");
  Bytes noEof(wmf.begin(), wmf.end() - 6);
  WriteLE32(noEof.data() + 28, static_cast<uint32_t>((noEof.size() - 22) / 2));
  Bytes wmfWords = wmf;
  WriteLE32(wmfWords.data() + 28, ReadLE32(wmf.data() + 28) + 12);
  Bytes emfNoEof(emf.begin(), emf.end() - 20);
  WriteLE32(emfNoEof.data() + 48, static_cast<uint32_t>(emfNoEof.size()));
  WriteLE32(emfNoEof.data() + 52, ReadLE32(emf.data() + 52) - 1);
  Bytes emfBytes = emf, emfRecords = emf;
  WriteLE32(emfBytes.data() + 48, static_cast<uint32_t>(emf.size() + 4));
  WriteLE32(emfRecords.data() + 52, ReadLE32(emf.data() + 52) + 1);
  for (const Bytes& file : {noEof, wmfWords, emfNoEof, emfBytes, emfRecords})
    EXPECT_TRUE(LoadMetafile(file)->DataEndedEarly());
  // A whole file loaded after a cut one is whole again.
  auto metafile = LoadMetafile(noEof);
  TMemoryStream stream;
  stream.WriteBuffer(wmf.data(), static_cast<int64_t>(wmf.size()));
  stream.SetPosition(0);
  metafile->LoadFromStream(stream);
  EXPECT_FALSE(metafile->DataEndedEarly());
}

}  // namespace
