// JPEG decoding speed: the picture-registry road the workbench loads by (TPicture::LoadFromFile, the
// JPEG picture class, its bitmap taken over as the 24-bit working bitmap) against plain libjpeg-turbo
// decoding the same files into a buffer with the same settings (accurate integer DCT, B, G, R rows).
//
//   bench_jpeg_decode [count]    count camera-like 24-megapixel JPEGs (default 4)

#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "bench/support/night_sky.h"
#include "bench/support/timing.h"
#include "picture_formats/jpeg_image.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/picture.h"

namespace {

constexpr int PictureWidth = 6000;
constexpr int PictureHeight = 4000;
constexpr int Rounds = 5;

std::vector<uint8_t> ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::vector<uint8_t> bytes(std::filesystem::file_size(name));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!in) throw std::runtime_error("cannot read " + name);
  return bytes;
}

// The workbench's road: registry, picture class, bitmap taken over as the working bitmap.
void LoadThroughRegistry(const std::string& name, TBitmap& working) {
  TPicture picture;
  picture.LoadFromFile(name);
  auto* jpeg = dynamic_cast<TJPEGImage*>(picture.Graphic());
  if (jpeg == nullptr) throw std::runtime_error("jpg is not registered to TJPEGImage");
  std::unique_ptr<TBitmap> decoded = jpeg->ReleaseBitmap();
  decoded->SetPixelFormat(pf24bit);
  working.TakeOver(*decoded);
}

// Plain libjpeg-turbo: the file read into memory, decoded into one buffer.
std::vector<uint8_t> DecodePlain(const std::string& name, int& width, int& height) {
  const std::vector<uint8_t> file = ReadFile(name);
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);  // the generated files are sound; an error ends the run
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_BGR;
  info.dct_method = JDCT_ISLOW;
  jpeg_start_decompress(&info);
  width = static_cast<int>(info.output_width);
  height = static_cast<int>(info.output_height);
  const size_t stride = static_cast<size_t>(width) * 3;
  std::vector<uint8_t> pixels(stride * static_cast<size_t>(height));
  std::vector<JSAMPROW> rows(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    rows[static_cast<size_t>(y)] = pixels.data() + stride * static_cast<size_t>(y);
  while (info.output_scanline < info.output_height)
    jpeg_read_scanlines(&info, rows.data() + info.output_scanline, info.output_height - info.output_scanline);
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return pixels;
}

bool JpgRegistered() {
  for (const TFileFormatEntry& entry : TPicture::RegisteredFormats())
    if (entry.Extension == "jpg" && entry.GraphicClass == TJPEGImage::StaticClass()) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 4;
  std::filesystem::path folder;
  try {
    folder = MakeScratchFolder("orvanta-bench-jpeg");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  if (!JpgRegistered()) TPicture::RegisterFileFormat("jpg", "JPG images", TJPEGImage::StaticClass());

  int status = 0;
  try {
    std::vector<std::string> files;
    double compressSeconds = 0;
    uintmax_t totalBytes = 0;
    for (int i = 0; i < count; ++i) {
      TBitmap bitmap;
      PaintNightSky(bitmap, PictureWidth, PictureHeight, 0x9E3779B9u * static_cast<uint32_t>(i + 1));
      const std::string name = (folder / ("night" + std::to_string(i) + ".jpg")).string();
      const auto start = BenchClock::now();
      SaveAsJpeg(bitmap, name);
      compressSeconds += SecondsSince(start);
      totalBytes += std::filesystem::file_size(name);
      files.push_back(name);
    }
    const double megapixels = static_cast<double>(PictureWidth) * PictureHeight / 1e6;
    std::printf("%d files of %d x %d, %.1f MB each on average; compression %.1f MP/s\n", count, PictureWidth,
                PictureHeight, static_cast<double>(totalBytes) / count / 1e6,
                megapixels * count / compressSeconds);

    // Warm both roads up and check they agree.
    TBitmap working;
    int width = 0, height = 0;
    LoadThroughRegistry(files[0], working);
    const std::vector<uint8_t> plain = DecodePlain(files[0], width, height);
    for (int y = 0; y < height; ++y)
      if (!std::equal(plain.begin() + static_cast<ptrdiff_t>(y) * width * 3,
                      plain.begin() + static_cast<ptrdiff_t>(y + 1) * width * 3, working.ScanLine(y)))
        throw std::runtime_error("the two roads decode differently");

    // Per file, the best of several alternating runs: steady against other load on the machine.
    double bestClass = 0, bestPlain = 0;
    for (const std::string& name : files) {
      double classTime = 1e30, plainTime = 1e30;
      for (int round = 0; round < Rounds; ++round) {
        auto start = BenchClock::now();
        LoadThroughRegistry(name, working);
        classTime = std::min(classTime, SecondsSince(start));
        start = BenchClock::now();
        DecodePlain(name, width, height);
        plainTime = std::min(plainTime, SecondsSince(start));
      }
      bestClass += classTime;
      bestPlain += plainTime;
    }
    const double classRate = megapixels * count / bestClass;
    const double plainRate = megapixels * count / bestPlain;
    const double cost = bestClass / bestPlain - 1;
    std::printf("TPicture + TJPEGImage -> working bitmap: %8.1f MP/s\n", classRate);
    std::printf("plain libjpeg-turbo -> buffer:           %8.1f MP/s\n", plainRate);
    std::printf("ratio (class / plain time): %.3f  (%+.1f %%, budget +10 %%: %s)\n", bestClass / bestPlain,
                cost * 100, cost <= 0.10 ? "within" : "OVER");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_jpeg_decode: %s\n", e.what());
    status = 1;
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return status;
}
