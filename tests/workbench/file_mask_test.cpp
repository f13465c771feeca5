// The browser's choice of files by extension filter and name mask.
#include <gtest/gtest.h>

#include "workbench/file_mask.h"

namespace {

constexpr const char* kDefault = "*.bmp;*.jpg;*.jpeg;*.thm;*.png;*.tif;*.psp";

// The names among these that pass.
std::string Passing(const std::string& filter, const std::string& mask) {
  static const char* const names[] = {"a.BMP",       "b.jpeg",    "c.txt",      "d",       "IMG_01.jpg",
                                      "my_img.JPG",  "x.img.tif", "scan.tiff",  "pic.jps", "IMG.tif.bak",
                                      ".hidden.png", "été.JPG",   "IMGIMG.bmp", "foo.jp"};
  const TFileNameFilter test(filter, mask);
  std::string passing;
  for (const char* name : names)
    if (test.Passes(name)) passing += std::string(passing.empty() ? "" : " ") + name;
  return passing;
}

TEST(FileMaskTest, FilterListsAndNameMasks) {
  // The default list: an extension inside the list passes, a name without one never does (nor, as
  // the list is searched for the extension's text, does the part of a listed one: ".jp").
  EXPECT_EQ(Passing(kDefault, "*"),
            "a.BMP b.jpeg IMG_01.jpg my_img.JPG x.img.tif .hidden.png été.JPG IMGIMG.bmp foo.jp");
  EXPECT_EQ(Passing("*.*", "*"),
            "a.BMP b.jpeg c.txt d IMG_01.jpg my_img.JPG x.img.tif scan.tiff pic.jps IMG.tif.bak .hidden.png "
            "été.JPG IMGIMG.bmp foo.jp");
  EXPECT_EQ(Passing("*", "*"), Passing("*.*", "*"));
  EXPECT_EQ(Passing("  *.TXT ", "*"), "c.txt");
  // img*: at the start; *img and #img: inside but not at the start; img: anywhere (name up to its
  // first dot).
  EXPECT_EQ(Passing(kDefault, "img*"), "IMG_01.jpg IMGIMG.bmp");
  EXPECT_EQ(Passing(kDefault, "*img"), "my_img.JPG");
  EXPECT_EQ(Passing(kDefault, "#img"), "my_img.JPG");
  EXPECT_EQ(Passing(kDefault, "*img*"), "my_img.JPG");
  EXPECT_EQ(Passing(kDefault, " img "), "IMG_01.jpg my_img.JPG IMGIMG.bmp");
  EXPECT_EQ(Passing("*.*", "ÉT*"), "été.JPG");
  // An extension in the mask replaces the filter.
  EXPECT_EQ(Passing("*.txt", "*.jp*"), "b.jpeg IMG_01.jpg my_img.JPG pic.jps été.JPG foo.jp");
  EXPECT_EQ(Passing(kDefault, "*.tif"), "x.img.tif scan.tiff");
  EXPECT_EQ(Passing(kDefault, "*.*pg"), "IMG_01.jpg my_img.JPG été.JPG");
  EXPECT_EQ(Passing(kDefault, "img*.tif"), "");
  EXPECT_EQ(Passing("*.*", "*.*"), Passing("*.*", "*"));
  // A dot with nothing after it keeps the filter.
  EXPECT_EQ(Passing(kDefault, "img*."), "IMG_01.jpg IMGIMG.bmp");
  EXPECT_EQ(Passing(kDefault, ""), Passing(kDefault, "*"));
}

}  // namespace
