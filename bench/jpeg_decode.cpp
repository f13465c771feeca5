// JPEG decoding speed: the picture-registry road the workbench loads by (TPicture::LoadFromFile, the
// JPEG picture class, its bitmap taken over as the 24-bit working bitmap) against plain libjpeg-turbo
// decoding the same files into a buffer with the same settings (accurate integer DCT, B, G, R rows).
//
//   bench_jpeg_decode [count]    count camera-like 24-megapixel JPEGs (default 4)

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "picture_formats/jpeg_image.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/picture.h"

namespace {

constexpr int PictureWidth = 6000;
constexpr int PictureHeight = 4000;
constexpr int Rounds = 5;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// xorshift32: fast, reproducible noise.
struct TNoise {
  uint32_t State;
  uint32_t Next() {
    State ^= State << 13;
    State ^= State >> 17;
    State ^= State << 5;
    return State;
  }
};

// A night shot: a dark sky brightening towards the horizon, a darker ground, sensor noise (mostly in
// luminance), and a few hundred stars of one to three pixels.
void PaintNightSky(TBitmap& bitmap, uint32_t seed) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(PictureWidth, PictureHeight);
  TNoise noise{seed | 1u};
  uint8_t* const row0 = bitmap.ScanLine(0);
  const ptrdiff_t step = bitmap.ScanLine(1) - row0;
  const int horizon = PictureHeight * 4 / 5;
  for (int y = 0; y < PictureHeight; ++y) {
    uint8_t* p = row0 + step * y;
    const int sky = y < horizon ? 8 + 30 * y / horizon : 6;
    for (int x = 0; x < PictureWidth; ++x, p += 3) {
      const uint32_t r = noise.Next();
      const int grain = static_cast<int>(r & 15) - 7;
      const int tint = static_cast<int>((r >> 8) & 7) - 3;
      p[0] = static_cast<uint8_t>(std::clamp(sky + 10 + grain + tint, 0, 255));
      p[1] = static_cast<uint8_t>(std::clamp(sky + 4 + grain, 0, 255));
      p[2] = static_cast<uint8_t>(std::clamp(sky + grain - tint, 0, 255));
    }
  }
  for (int star = 0; star < 400; ++star) {
    const int cx = 3 + static_cast<int>(noise.Next() % (PictureWidth - 6));
    const int cy = 3 + static_cast<int>(noise.Next() % (horizon - 6));
    const int radius = 1 + static_cast<int>(noise.Next() % 3);
    const int level = 150 + static_cast<int>(noise.Next() % 106);
    for (int dy = -radius; dy <= radius; ++dy)
      for (int dx = -radius; dx <= radius; ++dx) {
        if (dx * dx + dy * dy > radius * radius) continue;
        uint8_t* p = row0 + step * (cy + dy) + (cx + dx) * 3;
        p[0] = p[1] = p[2] = static_cast<uint8_t>(level);
      }
  }
}

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
  std::string folderPattern = (std::filesystem::temp_directory_path() / "orvanta-bench-jpeg-XXXXXX").string();
  if (mkdtemp(folderPattern.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::filesystem::path folder = folderPattern;
  if (!JpgRegistered()) TPicture::RegisterFileFormat("jpg", "JPG images", TJPEGImage::StaticClass());

  int status = 0;
  try {
    std::vector<std::string> files;
    double compressSeconds = 0;
    uintmax_t totalBytes = 0;
    for (int i = 0; i < count; ++i) {
      TBitmap bitmap;
      PaintNightSky(bitmap, 0x9E3779B9u * static_cast<uint32_t>(i + 1));
      const std::string name = (folder / ("night" + std::to_string(i) + ".jpg")).string();
      const auto start = Clock::now();
      TJPEGImage jpeg;  // quality 90, 4:2:0
      jpeg.Assign(bitmap);
      jpeg.Compress();
      jpeg.SaveToFile(name);
      compressSeconds += Seconds(start);
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
        auto start = Clock::now();
        LoadThroughRegistry(name, working);
        classTime = std::min(classTime, Seconds(start));
        start = Clock::now();
        DecodePlain(name, width, height);
        plainTime = std::min(plainTime, Seconds(start));
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
