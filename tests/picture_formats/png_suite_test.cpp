// The PNG reader against PngSuite (installed by libsixel-examples): every valid file gives the
// samples ImageMagick decodes (tests/data/png, made by make.sh there), brought to the reader's rules:
// 16-bit samples scaled by 255 / 65535 and truncated, alpha left out of the colours, and the file gamma
// applied for a display gamma of 2.2. Every file of the suite's corrupted folder is refused.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include "picture_formats/byte_fields.h"
#include "picture_formats/png_graphic.h"
#include "tests/picture_formats/png_test_support.h"
#include "tests/picture_formats/reader_test_support.h"

namespace {

const std::string kSuite = "/usr/share/doc/libsixel-examples/examples/images/pngsuite/";

// round((i / 255) ^ (1 / (g x 2.2)) x 255) for the gamma g of a gAMA chunk before the image data, or
// the identity without one; the chunks are walked here on their own.
std::vector<uint8_t> GammaTable(const Bytes& file) {
  std::vector<uint8_t> table(256);
  for (int i = 0; i < 256; ++i) table[i] = uint8_t(i);
  for (size_t at = 8; at + 12 <= file.size() && std::string(&file[at + 4], &file[at + 8]) != "IDAT";
       at += 12 + size_t{BigEndian32(&file[at])}) {
    if (std::string(&file[at + 4], &file[at + 8]) != "gAMA" || BigEndian32(&file[at]) != 4) continue;
    const float gamma = static_cast<float>(BigEndian32(&file[at + 8]) / 100000.0);
    const float exponent = 1.0f / ((gamma > 0 ? gamma : 1.0f) * 2.2f);
    for (int i = 0; i < 256; ++i)
      table[i] = uint8_t(std::nearbyint(std::pow(i / 255.0, double{exponent}) * 255));
  }
  return table;
}

void RequireSuite() {
  ASSERT_TRUE(std::filesystem::is_directory(kSuite))
      << "PngSuite missing: install libsixel-examples (scripts/deps)";
}

TEST(PngSuite, EveryValidFileGivesTheReferenceColours) {
  RequireSuite();
  std::ifstream list(TestData("png/references.txt"));
  std::string file, referenceName;
  int files = 0;
  std::map<int, int> pixelFormats;
  while (list >> file >> referenceName) {
    SCOPED_TRACE(file);
    ++files;
    TPNGGraphic graphic;
    ASSERT_NO_THROW(graphic.LoadFromFile(kSuite + file));
    // 16-bit samples, narrowed as the reader narrows them.
    const TPNMReference reference = ReadPNMReference("png/ref/" + referenceName + ".ppm.gz");
    ASSERT_EQ(graphic.Width(), reference.Width);
    ASSERT_EQ(graphic.Height(), reference.Height);
    ++pixelFormats[graphic.BitsPerPixel()];

    const std::vector<uint8_t> table = GammaTable(ReadWholeFile(kSuite + file));
    const Bytes pixels = PixelColors(graphic);
    ASSERT_EQ(pixels.size(), reference.Colors.size());
    int wrong = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
      const uint8_t expected = table[reference.Colors[i]];
      if (pixels[i] != expected && ++wrong <= 3)
        ADD_FAILURE() << "pixel " << i / 3 << " sample " << i % 3 << ": " << int{pixels[i]} << " instead of "
                      << int{expected};
    }
    EXPECT_EQ(wrong, 0);
  }
  EXPECT_EQ(files, 160);
  // Every bitmap depth the reader chooses was met.
  for (const int bits : {1, 4, 8, 24, 32}) EXPECT_GT(pixelFormats[bits], 0) << bits << " bits";
}

TEST(PngSuite, EveryCorruptedFileIsRefused) {
  RequireSuite();
  const std::string invalid = "Cannot load image. Invalid or unexpected PNG image format.";
  const std::string colour = "Invalid color format in PNG file.";
  const std::string crc = "Cannot load image. CRC error found in PNG file.";
  const std::map<std::string, std::string> expected = {
      {"xc1n0g08.png", colour},   // colour type 1
      {"xc9n2c08.png", colour},   // colour type 9
      {"xcrn0g04.png", invalid},  // signature: added CR bytes
      {"xcsn0g01.png", crc},      // IDAT checksum
      {"xd0n2c08.png", colour},   // bit depth 0
      {"xd3n2c08.png", colour},   // bit depth 3
      {"xd9n2c08.png", colour},   // bit depth 99
      {"xdtn0g01.png", invalid},  // no IDAT chunk
      {"xhdn0g08.png", crc},      // IHDR checksum
      {"xlfn0g04.png", invalid},  // signature: added LF bytes
      {"xs1n0g01.png", invalid},  // signature byte 1
      {"xs2n0g01.png", invalid},  // signature byte 2
      {"xs4n0g01.png", invalid},  // signature byte 4
      {"xs7n0g01.png", invalid},  // signature byte 7
  };
  size_t seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kSuite + "corrupted")) {
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    ++seen;
    const std::string message = LoadError(ReadWholeFile(entry.path().string()));
    ASSERT_TRUE(expected.count(name)) << "unknown file, message " << message;
    EXPECT_EQ(message, expected.at(name));
    const bool badSignature = name.starts_with("xs") || name == "xcrn0g04.png" || name == "xlfn0g04.png";
    EXPECT_EQ(TPNGGraphic::CanLoad(entry.path().string()), !badSignature);
  }
  EXPECT_EQ(seen, expected.size());
}

}  // namespace
