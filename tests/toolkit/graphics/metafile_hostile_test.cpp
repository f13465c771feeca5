// Metafiles made to hurt: records too short for what they announce (tests/data/metafile/hostile, one
// file for each record kind found read past its end), and floods of every record kind. Under the
// sanitizers the padding after each record copy is unreadable, so a read past a record fails here;
// tests/fuzz/valgrind replays the same files for the reads inside libUEMF.

#include <gtest/gtest.h>

#include <set>

#include "tests/support/metafile_floods.h"
#include "tests/toolkit/graphics/metafile_helpers.h"
#include "toolkit/core/messages.h"

namespace {

using namespace metafile_tests;

TEST(MetafileHostile, ShortWmfRecordsArePassedOverAndTheRestDrawn) {
  for (const char* name : {"dibbitblt.wmf", "dibstretchblt.wmf", "stretchdib.wmf", "patternbrush.wmf",
                           "setdibtodev.wmf", "windowext.wmf", "windoworg.wmf"}) {
    auto metafile = LoadMetafile(Sample(std::string("hostile/") + name));
    ASSERT_EQ(metafile->Width(), 100) << name;
    auto bitmap = Drawn(*metafile);
    // The frame drawn before the short record, and nothing of the record itself.
    EXPECT_EQ(bitmap->Canvas().Pixel(2, 50), clBlack) << name;
    EXPECT_EQ(bitmap->Canvas().Pixel(50, 50), clWhite) << name;
    EXPECT_EQ(bitmap->Canvas().Pixel(15, 15), clWhite) << name;
  }
}

TEST(MetafileHostile, ShortEmfRecordsMakeTheFileDamaged) {
  // The frame's three records follow the header: the short record is number 4, at byte 88 + 12 + 12 + 24.
  for (const char* name : {"extselectcliprgn.emf", "invertrgn.emf", "paintrgn.emf", "fillrgn.emf",
                           "framergn.emf", "regioncount.emf", "exttextout.emf"})
    EXPECT_EQ(LoadError(Sample(std::string("hostile/") + name)),
              std::string(SInvalidMetafile) + " : enregistrement 4 (octet 136) endommagé")
        << name;
}

TEST(MetafileHostile, ClippingPathsMillionsOfPixelsAway) {
  // A thin triangle from (50,50) up to four million pixels above the picture and back to (70,50), made
  // the clipping with the winding rule, then the picture filled black: only the triangle's foot.
  using namespace metafile_bytes;
  const TBytes file =
      Emf({EmfRecord(19, {2}), EmfRecord(59, {}), EmfRecord(27, {50, 50}), EmfRecord(54, {60, -4000000}),
           EmfRecord(54, {70, 50}), EmfRecord(61, {}), EmfRecord(60, {}), EmfRecord(67, {5}),
           EmfRecord(37, {0x80000004}), EmfRecord(37, {0x80000008}), EmfRecord(43, {0, 0, 100, 100})},
          100);
  auto bitmap = Drawn(*LoadMetafile(file));
  EXPECT_EQ(bitmap->Canvas().Pixel(60, 5), clBlack);
  EXPECT_EQ(bitmap->Canvas().Pixel(60, 45), clBlack);
  EXPECT_EQ(bitmap->Canvas().Pixel(45, 5), clWhite);
  EXPECT_EQ(bitmap->Canvas().Pixel(60, 55), clWhite);
}

TEST(MetafileHostile, FloodsOfEveryRecordKindLoadAndDraw) {
  // Each flood repeats one record kind after a frame; kinds whose fixed part of zeros announces
  // nothing valid (region records without region data, text records without their rectangle) make the
  // file damaged, every other flood loads and draws, its frame intact.
  const std::set<std::string> damaged = {"emf type 71", "emf type 72", "emf type 73", "emf type 74",
                                         "emf type 75", "emf type 83", "emf type 84", "emf type 108"};
  std::vector<metafile_bytes::TFlood> floods = metafile_bytes::WmfFloods(2000);
  for (auto& flood : metafile_bytes::EmfFloods(2000)) floods.push_back(std::move(flood));
  std::set<std::string> refused;
  for (const auto& flood : floods) {
    std::unique_ptr<TMetafile> metafile;
    try {
      metafile = LoadMetafile(flood.File);
    } catch (const EInvalidGraphic&) {
      refused.insert(flood.Name);
      continue;
    }
    auto bitmap = Drawn(*metafile);
    EXPECT_EQ(bitmap->Canvas().Pixel(2, 50), clBlack) << flood.Name;
  }
  EXPECT_EQ(refused, damaged);
}

}  // namespace
