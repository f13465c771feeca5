#pragma once
// Reference pictures in binary PBM, PGM or PPM (gzip-compressed when the name ends in ".gz"), brought to
// the form the readers give: 8-bit R, G, B colours, other maxima scaled by 255 / maximum and truncated
// as the colour manager scales 16-bit samples (and as 2- and 4-bit levels spread exactly).

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "tests/picture_formats/picture_test_support.h"
#include "tests/support/test_files.h"

struct TPNMReference {
  int Width = 0;
  int Height = 0;
  Bytes Colors;  // R, G, B of every pixel, rows top first
};

inline Bytes ReadMaybeCompressed(const std::string& fileName) {
  if (fileName.size() < 3 || fileName.compare(fileName.size() - 3, 3, ".gz") != 0)
    return ReadWholeFile(fileName);
  gzFile file = gzopen(fileName.c_str(), "rb");
  Bytes bytes;
  uint8_t chunk[1 << 15];
  int read = 0;
  while (file && (read = gzread(file, chunk, sizeof chunk)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + read);
  if (file) gzclose(file);
  return bytes;
}

// `path` is below tests/data.
inline TPNMReference ReadPNMReference(const std::string& path) {
  const Bytes file = ReadMaybeCompressed(TestData(path));
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
