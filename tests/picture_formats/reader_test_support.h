#pragma once
// Checks the picture-reader tests share: committed and gzip-compressed sample files, sample files against their reference pixels, the stream probe
// leaves the stream where it was, and damaged or cut copies of sample files either load or raise one of
// the program's exceptions.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>

#include "tests/picture_formats/picture_test_support.h"
#include "tests/support/test_files.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/streams.h"

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

// Loads each sample with one byte changed, and cut before that byte, for every byte below `dense` and
// every `step`-th byte after it (bytes for which `unchanged` answers true are cut but not changed).
// Each copy must load or raise an Exception; both must happen.
template <class G>
void ExpectDamagedSamplesLoadOrRaise(std::initializer_list<Bytes> samples, size_t dense, size_t step,
                                     const std::function<bool(size_t)>& unchanged = {}) {
  int loaded = 0, failed = 0;
  for (const Bytes& good : samples) {
    for (size_t i = 0; i < good.size(); i += i < dense ? 1 : step) {
      Bytes changed = good;
      if (!unchanged || !unchanged(i)) changed[i] ^= 0x5A;
      for (const Bytes& bytes : {changed, Bytes(good.begin(), good.begin() + static_cast<long>(i))}) {
        try {
          LoadBytes<G>(bytes);
          ++loaded;
        } catch (const Exception&) {
          ++failed;
        }
      }
    }
  }
  EXPECT_GT(loaded, 0);
  EXPECT_GT(failed, 0);
}

// A sample file, the file of its reference pixels (rows top first: R G B, or R G B A for ".rgba", or
// one gray byte for ".gray") and the pixel format it must load as.
struct TReaderSample {
  const char* File;
  const char* Reference;
  TPixelFormat Format;
};

// Loads every sample of tests/data/<folder> with G and compares its pixels with its reference.
template <class G>
void ExpectSamplesMatchReferences(const std::string& folder, std::span<const TReaderSample> samples) {
  for (const TReaderSample& sample : samples) {
    SCOPED_TRACE(sample.File);
    const auto picture = LoadBytes<G>(ReadWholeFile(TestData(folder + "/" + sample.File)));
    ASSERT_EQ(picture->PixelFormat(), sample.Format);
    Bytes colors = PixelColors(*picture, true);
    if (std::string(sample.Reference).ends_with(".gray")) {
      Bytes gray;
      for (size_t i = 0; i < colors.size(); i += 3) {
        EXPECT_TRUE(colors[i] == colors[i + 1] && colors[i] == colors[i + 2]) << "pixel " << i / 3;
        gray.push_back(colors[i]);
      }
      colors = gray;
    }
    EXPECT_EQ(colors, ReadWholeFile(TestData(folder + "/" + sample.Reference)));
  }
}
