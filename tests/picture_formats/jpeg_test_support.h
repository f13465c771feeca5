#pragma once
// Helpers of the JPEG picture tests: reference pictures (PPM/PGM written by djpeg or ImageMagick), a
// bitmap's pixels, a plain libjpeg decoder to compare with, JPEG byte surgery and a fake clock.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "picture_formats/jpeg_error.h"
#include "picture_formats/jpeg_image.h"
#include "picture_formats/jpeg_progress.h"
#include "tests/picture_formats/picture_test_support.h"
#include "tests/support/test_files.h"
#include "toolkit/core/streams.h"

// A picture's samples, rows top first without padding: R G B (or C M Y K from DecodeWithLibjpeg).
struct TRgbPicture {
  int Width = 0;
  int Height = 0;
  Bytes Pixels;
  const uint8_t* At(int x, int y) const { return &Pixels[(static_cast<size_t>(y) * Width + x) * 3]; }
};

// Decodes the JPEG bytes on the working-bitmap road, from memory; whether its data were whole.
inline bool DecodeBytesToWorking(const Bytes& bytes, TBitmap& working) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes);
  stream.SetPosition(0);
  TJPEGImage picture;
  picture.DecodeToWorkingBitmap(stream, working);
  return !picture.DataEndedEarly();
}

// Reads a binary PPM (P6) or PGM (P5, grey expanded to RGB) of 8-bit samples.
inline TRgbPicture ReadPnmBytes(const Bytes& file, const std::string& what) {
  const std::string head(file.begin(), file.begin() + std::min<size_t>(file.size(), 40));
  char kind = 0;
  int width = 0, height = 0, maximum = 0, headerSize = 0;
  if (std::sscanf(head.c_str(), "P%c %d %d %d%n", &kind, &width, &height, &maximum, &headerSize) != 4 ||
      (kind != '5' && kind != '6') || maximum != 255)
    throw std::runtime_error("not a binary 8-bit PPM/PGM: " + what);
  TRgbPicture picture{width, height, {}};
  for (auto sample = file.begin() + headerSize + 1; sample < file.end(); ++sample)
    picture.Pixels.insert(picture.Pixels.end(), kind == '6' ? 1 : 3, *sample);
  if (picture.Pixels.size() != static_cast<size_t>(width) * height * 3)
    throw std::runtime_error("short PNM: " + what);
  return picture;
}
inline TRgbPicture ReadPnm(const std::string& fileName) {
  return ReadPnmBytes(ReadWholeFile(fileName), fileName);
}

inline TRgbPicture BitmapPixels(const TBitmap& bitmap) {
  return {bitmap.Width(), bitmap.Height(), PixelColors(bitmap)};
}

// A 24-bit bitmap holding the picture.
inline void FillBitmap(TBitmap& bitmap, const TRgbPicture& picture) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(picture.Width, picture.Height);
  for (int y = 0; y < picture.Height; ++y)
    for (int x = 0; x < picture.Width; ++x)
      std::reverse_copy(picture.At(x, y), picture.At(x, y) + 3, bitmap.ScanLine(y) + 3 * x);
}

// Largest difference of one sample, and the mean difference, of two pictures (256 for different sizes).
inline int MaxDifference(const TRgbPicture& a, const TRgbPicture& b) {
  if (a.Width != b.Width || a.Height != b.Height) return 256;
  int worst = 0;
  for (size_t i = 0; i < a.Pixels.size(); ++i) worst = std::max(worst, std::abs(a.Pixels[i] - b.Pixels[i]));
  return worst;
}
inline double MeanDifference(const TRgbPicture& a, const TRgbPicture& b) {
  if (a.Width != b.Width || a.Height != b.Height || a.Pixels.empty()) return 256;
  double sum = 0;
  for (size_t i = 0; i < a.Pixels.size(); ++i) sum += std::abs(a.Pixels[i] - b.Pixels[i]);
  return sum / static_cast<double>(a.Pixels.size());
}

// A plain decompressor over bytes in memory, the header read; fatal errors come out as EJPEG.
struct TPlainDecoder {
  TJPEGErrorManager Errors;
  jpeg_decompress_struct Info{};
  explicit TPlainDecoder(const Bytes& jpeg) {
    Info.err = JPEGErrorManager(Errors);
    JPEGProtected(Errors, [&] { jpeg_create_decompress(&Info); });
    try {
      JPEGProtected(Errors, [&] {
        jpeg_mem_src(&Info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
        jpeg_read_header(&Info, TRUE);
      });
    } catch (...) {
      jpeg_destroy_decompress(&Info);
      throw;
    }
  }
  ~TPlainDecoder() { jpeg_destroy_decompress(&Info); }
  TPlainDecoder(const TPlainDecoder&) = delete;
  TPlainDecoder& operator=(const TPlainDecoder&) = delete;
};

// Decodes with libjpeg's defaults (accurate integer DCT) into the colour space given.
inline TRgbPicture DecodeWithLibjpeg(const Bytes& jpeg, J_COLOR_SPACE space = JCS_RGB) {
  TPlainDecoder decoder(jpeg);
  jpeg_decompress_struct& info = decoder.Info;
  info.out_color_space = space;
  JPEGProtected(decoder.Errors, [&] { jpeg_start_decompress(&info); });
  TRgbPicture picture{static_cast<int>(info.output_width), static_cast<int>(info.output_height), {}};
  const size_t stride = info.output_width * static_cast<size_t>(info.output_components);
  picture.Pixels.resize(stride * info.output_height);
  uint8_t* const pixels = picture.Pixels.data();
  JPEGProtected(decoder.Errors, [&] {
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = pixels + info.output_scanline * stride;
      jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
  });
  return picture;
}

// Offset of the marker (its FF byte), or -1 when absent.
inline long FindMarker(const Bytes& jpeg, uint8_t marker) {
  for (size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) return static_cast<long>(i);
  return -1;
}
// Offset of the first byte after the marker's segment (FF xx length...), or -1 when absent.
inline long SegmentEnd(const Bytes& jpeg, uint8_t marker) {
  const long at = FindMarker(jpeg, marker);
  if (at < 0 || static_cast<size_t>(at) + 4 > jpeg.size()) return -1;
  return at + 2 + ((jpeg[at + 2] << 8) | jpeg[at + 3]);
}

// A smooth test picture with some noise.
inline TRgbPicture SyntheticPicture(int width, int height, unsigned seed) {
  TRgbPicture picture{width, height, Bytes(static_cast<size_t>(width) * height * 3)};
  std::mt19937 random(seed);
  for (size_t i = 0; i < picture.Pixels.size(); ++i) {
    const size_t x = i / 3 % width, y = i / 3 / width;
    picture.Pixels[i] = static_cast<uint8_t>(20 + 60 * y / height + 40 * (i % 3) * x / width + random() % 13);
  }
  return picture;
}

// A committed sample file under tests/data/jpeg, its bytes, and a picture loaded from it (nothing
// decoded yet).
inline std::string JpegSample(const std::string& name) {
  return TestData("jpeg/" + name);
}
inline Bytes JpegSampleBytes(const std::string& name) {
  return ReadWholeFile(JpegSample(name));
}
inline std::unique_ptr<TJPEGImage> LoadJpegSample(const std::string& name) {
  auto picture = std::make_unique<TJPEGImage>();
  picture->LoadFromFile(JpegSample(name));
  return picture;
}

// Replaces the progress throttle's clock while alive: every reading advances it by step ms.
class TFakeClock {
 public:
  explicit TFakeClock(uint32_t step) : FPrevious(SetJPEGTickSource(&TFakeClock::Tick)) {
    FNow = 1000;
    FStep = step;
  }
  ~TFakeClock() { SetJPEGTickSource(FPrevious); }
  TFakeClock(const TFakeClock&) = delete;
  TFakeClock& operator=(const TFakeClock&) = delete;
  static uint32_t Now() { return FNow; }

 private:
  static uint32_t Tick() { return FNow += FStep; }
  static inline uint32_t FNow = 0;
  static inline uint32_t FStep = 0;
  uint32_t (*FPrevious)();
};

// What the roads that decode a JPEG file make of its bytes.
struct TRoadOutcome {
  bool Whole = false;   // decoded, and not flagged
  std::string Message;  // of the exception, when one was raised
};

inline TRoadOutcome Outcome(const std::function<bool()>& decode) {
  try {
    return {decode(), ""};
  } catch (const Exception& error) {
    return {false, error.Message()};
  }
}

// Keeps every band in a bitmap, so the test sees what a merger would have merged.
class TBandKeeper : public TJPEGBandSink {
 public:
  bool Start(int width, int height, bool) override {
    Picture.SetPixelFormat(pf24bit);
    Picture.SetSize(width, height);
    return true;
  }
  void Band(int first, int count, const uint8_t* rows, size_t step) override {
    for (int k = 0; k < count; ++k)
      std::copy_n(rows + step * static_cast<size_t>(k), step, Picture.ScanLine(first + k));
  }
  TBitmap Picture;
};

// The outcome of each road for the file's bytes, in the order: picture class (memory), working bitmap
// from memory, working bitmap from a file, band road (a file it leaves to the whole road counts as the
// working-bitmap road's outcome). `keep` is handed the picture of each road that decoded it.
inline std::vector<TRoadOutcome> EveryRoad(
    const Bytes& bytes, const std::function<void(const TBitmap&)>& keep = [](const TBitmap&) {}) {
  std::vector<TRoadOutcome> outcomes;
  outcomes.push_back(Outcome([&] {
    auto picture = LoadBytes<TJPEGImage>(bytes);
    keep(picture->GetBitmap());
    return !picture->DataEndedEarly();
  }));
  outcomes.push_back(Outcome([&] {
    TBitmap working;
    const bool whole = DecodeBytesToWorking(bytes, working);
    keep(working);
    return whole;
  }));
  TempDir folder;
  const std::string path = folder.File("frame.jpg");
  WriteWholeFile(path, bytes);
  outcomes.push_back(Outcome([&] {
    TFileStream file(path, fmOpenRead);
    TBitmap working;
    TJPEGImage picture;
    picture.DecodeToWorkingBitmap(file, working);
    keep(working);
    return !picture.DataEndedEarly();
  }));
  outcomes.push_back(Outcome([&] {
    TMemoryStream stream;
    stream.WriteBuffer(bytes);
    stream.SetPosition(0);
    TBandKeeper bands;
    switch (TJPEGImage().DecodeBands(stream, bands)) {
      case TJPEGBandResult::jbDecoded:
        keep(bands.Picture);
        return true;
      case TJPEGBandResult::jbNotWhole:
        return outcomes[1].Whole;
      case TJPEGBandResult::jbRefused:
        break;
    }
    return false;
  }));
  return outcomes;
}

// The names of the JPEG files in a folder below tests/data, sorted.
inline std::vector<std::string> JpegFilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(TestData(folder)))
    if (entry.path().extension() == ".jpg") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
