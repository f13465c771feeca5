#pragma once
// What the picture-reader tests share: sample files (gzip-compressed ones too), bytes of hand-made files,
// the probe check, and sample files compared with their reference pixels (raw colours, or portable maps
// that netpbm or ImageMagick decoded).

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <span>
#include <sstream>
#include <stdexcept>
#include <string>

#include "tests/picture_formats/picture_test_support.h"
#include "tests/support/peak_memory.h"
#include "tests/support/test_files.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/streams.h"

// The most memory (KiB) a refusal of a lying header may take: far less than any of the claimed
// pictures, far more than a refusal needs.
inline constexpr int64_t kMostGrowthKiB = 100 * 1024;

// Refused by G's failure net with `message`, taking at most kMostGrowthKiB more memory to do so.
template <class G>
void ExpectRefusedCheaply(const Bytes& file, const std::string& message) {
  EXPECT_EQ(RefusalMessage<G>(file), message);
  EXPECT_LT(PeakMemoryGrowthKiB([&] { RefusalMessage<G>(file); }), kMostGrowthKiB);
}

// The answer of G's stream probe for the bytes; the probe must leave the stream at its start.
template <class G>
bool ProbeBytes(const Bytes& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes);
  stream.SetPosition(0);
  const bool result = G::CanLoad(stream);
  EXPECT_EQ(stream.Position(), 0);
  return result;
}

// The whole content of a file, uncompressed first when its name ends in ".gz".
inline Bytes ReadGzipFile(const std::string& fileName) {
  if (!fileName.ends_with(".gz")) return ReadWholeFile(fileName);
  gzFile file = gzopen(fileName.c_str(), "rb");
  if (!file) throw std::runtime_error("cannot read " + fileName);
  Bytes bytes;
  Bytes block(1 << 16);
  int read;
  while ((read = gzread(file, block.data(), static_cast<unsigned>(block.size()))) > 0)
    bytes.insert(bytes.end(), block.begin(), block.begin() + read);
  gzclose(file);
  return bytes;
}

// A file below tests/data.
inline Bytes Sample(const std::string& relativePath) {
  return ReadGzipFile(TestData(relativePath));
}

// The low `size` bytes of a number, lowest first or highest first.
inline Bytes Le(uint32_t value, int size) {
  Bytes bytes;
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  return bytes;
}
inline Bytes Be(uint32_t value, int size) {
  Bytes bytes;
  for (int i = size - 1; i >= 0; --i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  return bytes;
}
inline Bytes& operator+=(Bytes& a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
inline Bytes operator+(Bytes a, const Bytes& b) {
  return a += b;
}
// Writes `bytes` over the file's bytes from `offset` on.
inline void Poke(Bytes& file, size_t offset, const Bytes& bytes) {
  std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(offset));
}

// The first `rowBytes` stored bytes of each row, top row first.
inline Bytes StoredRows(const TBitmap& picture, size_t rowBytes) {
  Bytes bytes;
  for (int y = 0; y < picture.Height(); ++y)
    bytes.insert(bytes.end(), picture.ScanLine(y), picture.ScanLine(y) + rowBytes);
  return bytes;
}

// A binary PBM, PGM or PPM below tests/data (gzip-compressed when its name ends in ".gz") brought to the
// form the readers give: 8-bit R, G, B colours, other maxima scaled by 255 / maximum and truncated as
// the colour manager scales 16-bit samples (and as 2- and 4-bit levels spread exactly).
struct TPNMReference {
  int Width = 0;
  int Height = 0;
  Bytes Colors;  // R, G, B of every pixel, rows top first
};

inline TPNMReference ReadPNMReference(const std::string& path) {
  const Bytes file = Sample(path);
  std::istringstream header(std::string(file.begin(), file.begin() + std::min<size_t>(file.size(), 64)));
  std::string magic;
  int maximum = 1;
  TPNMReference reference;
  header >> magic >> reference.Width >> reference.Height;
  if (magic != "P4") header >> maximum;
  EXPECT_TRUE((magic == "P4" || magic == "P5" || magic == "P6") && maximum >= 1 && maximum <= 65535) << path;
  const size_t start = static_cast<size_t>(header.tellg()) + 1;
  const auto width = size_t(reference.Width), height = size_t(reference.Height);
  if (magic == "P4") {
    const size_t rowBytes = (width + 7) / 8;
    EXPECT_EQ(file.size(), start + rowBytes * height) << path;
    for (size_t y = 0; y < height; ++y)
      for (size_t x = 0; x < width; ++x) {
        const size_t at = start + y * rowBytes + x / 8;
        const uint8_t level = at < file.size() && ((file[at] >> (7 - x % 8)) & 1) ? 0 : 255;
        reference.Colors.insert(reference.Colors.end(), 3, level);
      }
    return reference;
  }
  const size_t channels = magic == "P6" ? 3 : 1;
  const size_t sampleSize = maximum > 255 ? 2 : 1;
  const size_t samples = width * height * channels;
  EXPECT_EQ(file.size(), start + samples * sampleSize) << path;
  for (size_t i = 0; i < samples && start + (i + 1) * sampleSize <= file.size(); ++i) {
    const uint8_t* p = &file[start + i * sampleSize];
    const unsigned value = sampleSize == 1 ? p[0] : unsigned(p[0] << 8 | p[1]);
    const auto level = uint8_t(value * 255u / unsigned(maximum));
    reference.Colors.insert(reference.Colors.end(), 4 - channels, level);
  }
  return reference;
}

// The largest difference between two colour lists of the same length (256 when the lengths differ).
inline int MaxColorDifference(const Bytes& a, const Bytes& b) {
  if (a.size() != b.size()) return 256;
  int most = 0;
  for (size_t i = 0; i < a.size(); ++i) most = std::max(most, std::abs(int(a[i]) - int(b[i])));
  return most;
}

// A sample file (below the folder, or a full path), its reference below the folder, and the pixel
// format it must load as. A reference ending in ".rgb", ".rgba" or ".gray" holds raw colours, rows top
// first (R G B; R G B A; one gray byte); any other is a portable map.
struct TReaderSample {
  std::string File;
  std::string Reference;
  TPixelFormat Format;
};

// Loads every sample with G and compares its pixels with its reference, each sample within `tolerance`.
template <class G>
void ExpectSamplesMatchReferences(const std::string& folder, std::span<const TReaderSample> samples,
                                  int tolerance = 0) {
  for (const TReaderSample& sample : samples) {
    SCOPED_TRACE(sample.File);
    const std::string file =
        sample.File.starts_with("/") ? sample.File : TestData(folder + "/" + sample.File);
    std::unique_ptr<G> picture;
    ASSERT_NO_THROW(picture = LoadBytes<G>(ReadWholeFile(file)));
    ASSERT_EQ(picture->PixelFormat(), sample.Format);
    const std::string reference = folder + "/" + sample.Reference;
    const bool gray = reference.ends_with(".gray");
    Bytes colors = PixelColors(*picture, reference.ends_with(".rgba"));
    Bytes expected;
    if (gray || reference.ends_with(".rgb") || reference.ends_with(".rgba")) {
      expected = Sample(reference);
    } else {
      const TPNMReference pnm = ReadPNMReference(reference);
      ASSERT_EQ(picture->Width(), pnm.Width);
      ASSERT_EQ(picture->Height(), pnm.Height);
      expected = pnm.Colors;
    }
    if (gray) {
      Bytes levels;
      for (size_t i = 0; i < colors.size(); i += 3) {
        EXPECT_TRUE(colors[i] == colors[i + 1] && colors[i] == colors[i + 2]) << "pixel " << i / 3;
        levels.push_back(colors[i]);
      }
      colors = levels;
    }
    if (tolerance == 0)
      EXPECT_EQ(colors, expected);
    else
      EXPECT_LE(MaxColorDifference(colors, expected), tolerance);
  }
}
template <class G>
void ExpectSamplesMatchReferences(const std::string& folder, std::initializer_list<TReaderSample> samples,
                                  int tolerance = 0) {
  ExpectSamplesMatchReferences<G>(folder, std::span<const TReaderSample>(samples.begin(), samples.size()),
                                  tolerance);
}
