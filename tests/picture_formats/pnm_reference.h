#pragma once
// Reference pictures made by netpbm (binary PPM, maximum 255 or 65535), brought to the form the
// readers give: 8-bit colours, 16-bit samples scaled by 255 / 65535 and truncated as the colour
// manager scales them.

#include <gtest/gtest.h>

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

inline TPNMReference ReadPNMReference(const std::string& relativePath) {
  const Bytes file = ReadWholeFile(TestData(relativePath));
  std::istringstream header(std::string(file.begin(), file.begin() + std::min<size_t>(file.size(), 64)));
  std::string magic;
  int maximum = 0;
  TPNMReference reference;
  header >> magic >> reference.Width >> reference.Height >> maximum;
  EXPECT_TRUE(magic == "P6" && (maximum == 255 || maximum == 65535)) << relativePath;
  const size_t start = static_cast<size_t>(header.tellg()) + 1;
  const size_t samples = size_t(reference.Width) * size_t(reference.Height) * 3;
  const size_t sampleSize = maximum == 65535 ? 2 : 1;
  EXPECT_EQ(file.size(), start + samples * sampleSize) << relativePath;
  for (size_t i = 0; i < samples && start + (i + 1) * sampleSize <= file.size(); ++i) {
    const uint8_t* p = &file[start + i * sampleSize];
    reference.Colors.push_back(sampleSize == 1 ? p[0] : uint8_t((p[0] << 8 | p[1]) * 255u / 65535u));
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
