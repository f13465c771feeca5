// JPEG decoding against the true floor: plain libjpeg-turbo decoding every file into one reused buffer.
// In one process and over the same files it times, in turn, the floor; the JPEG picture class as its
// callers use it (a picture loaded from the file, its bitmap decoded); LoadPicture, the workbench's
// load, into one working bitmap kept from file to file; and the band road of runs (the file read into
// memory, then decoded band by band, the bands used by no one). It prints the medians and each one's ratio to
// the floor, and fails when the decoded pixels differ from the floor's.
//
//   bench_jpeg_decode FOLDER [repetitions]                 the folder's JPEG files
//   bench_jpeg_decode COUNT WIDTH HEIGHT [repetitions]     COUNT camera-like pictures generated first

#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/support/night_sky.h"
#include "bench/support/plain_jpeg.h"
#include "bench/support/timing.h"
#include "picture_formats/format_list.h"
#include "picture_formats/jpeg_image.h"
#include "toolkit/core/string_utils.h"
#include "toolkit/graphics/bitmap.h"
#include "workbench/working_bitmap.h"

namespace {

namespace fs = std::filesystem;

double Seconds(const std::function<void()>& work) {
  const auto start = BenchClock::now();
  work();
  return SecondsSince(start);
}

std::vector<std::string> Files(int argc, char** argv, const std::string& scratch) {
  std::vector<std::string> files;
  if (argc >= 4) {
    TBitmap bitmap;
    for (int i = 0; i < atoi(argv[1]); ++i) {
      PaintNightSky(bitmap, atoi(argv[2]), atoi(argv[3]), 0x9E3779B9u * static_cast<uint32_t>(i + 1));
      files.push_back(scratch + "/night" + std::to_string(i) + ".jpg");
      SaveAsJpeg(bitmap, files.back());
    }
    return files;
  }
  for (const auto& entry : fs::directory_iterator(argv[1])) {
    const std::string extension = AnsiUpperCase(entry.path().extension().string());
    if (entry.is_regular_file() && (extension == ".JPG" || extension == ".JPEG"))
      files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Keeps the rows handed over, when asked to.
class TBandRows : public TJPEGBandSink {
 public:
  bool Start(int width, int height, bool) override {
    Width = width;
    Height = height;
    if (Keep) Rows.assign(static_cast<size_t>(width) * 3 * static_cast<size_t>(height), 0);
    return true;
  }
  void Band(int first, int count, const uint8_t* rows, size_t step) override {
    if (!Keep) return;
    for (int k = 0; k < count; ++k)
      std::copy_n(rows + step * static_cast<size_t>(k), step,
                  Rows.data() + step * static_cast<size_t>(first + k));
  }
  bool Keep = false;
  int Width = 0, Height = 0;
  std::vector<uint8_t> Rows;
};

// Decodes the file on the band road; false when it did not go that road whole.
bool DecodeInBands(const std::string& file, TMemoryStream& bytes, TBandRows& bands) {
  bytes.LoadFromFile(file);
  TJPEGImage jpeg;
  return jpeg.DecodeBands(bytes, bands) == TJPEGBandResult::jbDecoded && !jpeg.DataEndedEarly();
}

void ExpectFloorPixels(const TPlainJpegDecoder& floor, const TBitmap& bitmap, const char* what) {
  bool same = bitmap.Width() == floor.Width && bitmap.Height() == floor.Height;
  const size_t rowBytes = static_cast<size_t>(floor.Width) * 3;
  for (int y = 0; same && y < floor.Height; ++y)
    same = std::equal(floor.Pixels.begin() + static_cast<ptrdiff_t>(rowBytes * static_cast<size_t>(y)),
                      floor.Pixels.begin() + static_cast<ptrdiff_t>(rowBytes * static_cast<size_t>(y + 1)),
                      bitmap.ScanLine(y));
  if (!same) throw std::runtime_error(std::string(what) + " decodes differently from plain libjpeg-turbo");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 5) {
    std::fprintf(stderr, "usage: %s FOLDER [repetitions] | COUNT WIDTH HEIGHT [repetitions]\n", argv[0]);
    return 2;
  }
  const int repetitionsAt = argc >= 4 ? 4 : 2;
  const int repetitions = argc > repetitionsAt ? std::max(3, atoi(argv[repetitionsAt])) : 5;
  int status = 0;
  std::string scratch;
  InitializePictureFormats();
  try {
    scratch = MakeScratchFolder("orvanta-bench-jpeg");
    const std::vector<std::string> files = Files(argc, argv, scratch);
    if (files.empty()) throw std::runtime_error("no JPEG files");

    TPlainJpegDecoder floor;
    TBitmap working;
    floor.Decode(files[0]);
    TJPEGImage picture;
    picture.LoadFromFile(files[0]);
    ExpectFloorPixels(floor, picture.GetBitmap(), "the JPEG class");
    if (!LoadPicture(working, files[0])) throw std::runtime_error("LoadPicture fails on " + files[0]);
    ExpectFloorPixels(floor, working, "LoadPicture");
    TMemoryStream fileBytes;
    TBandRows bands;
    bands.Keep = true;
    if (!DecodeInBands(files[0], fileBytes, bands)) throw std::runtime_error("no band road for " + files[0]);
    if (bands.Width != floor.Width || bands.Height != floor.Height || bands.Rows != floor.Pixels)
      throw std::runtime_error("the band road decodes differently from plain libjpeg-turbo");
    bands.Keep = false;
    std::printf("%zu JPEG files of %d x %d (%.1f MP), %d repetitions; %s\n", files.size(), floor.Width,
                floor.Height, floor.Width * double(floor.Height) / 1e6, repetitions, MachineLoad().c_str());

    const std::vector<std::pair<const char*, std::function<void()>>> ways = {
        {"plain libjpeg-turbo into one buffer (floor)",
         [&] {
           for (const std::string& file : files) floor.Decode(file);
         }},
        {"TJPEGImage: LoadFromFile, GetBitmap",
         [&] {
           for (const std::string& file : files) {
             TJPEGImage jpeg;
             jpeg.LoadFromFile(file);
             jpeg.GetBitmap();
           }
         }},
        {"LoadPicture into one working bitmap",
         [&] {
           for (const std::string& file : files)
             if (!LoadPicture(working, file)) throw std::runtime_error("LoadPicture fails on " + file);
         }},
        {"DecodeBands from the file's bytes in memory",
         [&] {
           for (const std::string& file : files)
             if (!DecodeInBands(file, fileBytes, bands)) throw std::runtime_error("no band road for " + file);
         }},
    };
    std::vector<std::vector<double>> times(ways.size());
    for (int repetition = 0; repetition < repetitions; ++repetition)
      for (size_t k = 0; k < ways.size(); ++k) {
        const size_t way = (k + static_cast<size_t>(repetition)) % ways.size();  // each goes first in turn
        times[way].push_back(Seconds(ways[way].second));
      }
    const double floorTime = Median(times[0]);
    for (size_t way = 0; way < ways.size(); ++way)
      std::printf("%-45s median %.3f s  %7.1f MP/s  ratio to the floor %.3f\n", ways[way].first,
                  Median(times[way]),
                  floor.Width * double(floor.Height) * double(files.size()) / 1e6 / Median(times[way]),
                  Median(times[way]) / floorTime);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_jpeg_decode FAILED: %s\n", e.what());
    status = 1;
  }
  FinalizePictureFormats();
  std::error_code ignored;
  if (!scratch.empty()) fs::remove_all(scratch, ignored);
  return status;
}
