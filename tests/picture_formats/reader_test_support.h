#pragma once
// Helpers of the reader tests: committed samples, the stream probe and gzip-compressed samples.

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "tests/picture_formats/picture_test_support.h"
#include "tests/support/test_files.h"
#include "toolkit/core/exceptions.h"

inline Bytes Sample(const std::string& relativePath) {
  return ReadWholeFile(TestData(relativePath));
}

// The whole content of a gzip-compressed file.
inline Bytes ReadGzipFile(const std::string& fileName) {
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

// The stream probe of G on the bytes; fails the test when the probe moves the stream.
template <class G>
bool Probe(const Bytes& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes);
  stream.SetPosition(0);
  const bool result = G::CanLoad(stream);
  EXPECT_EQ(stream.Position(), 0);
  return result;
}
