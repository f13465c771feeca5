#include "tests/picture_formats/jpeg_test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

#include <jpeglib.h>

#include "picture_formats/jpeg_error.h"
#include "picture_formats/jpeg_image.h"
#include "picture_formats/jpeg_progress.h"
#include "tests/support/test_files.h"
#include "toolkit/core/streams.h"
#include "toolkit/graphics/bitmap.h"

namespace {

int ReadPnmNumber(std::istream& in) {
  int value = 0;
  char c = 0;
  in >> std::ws;
  while (in.peek() == '#') {
    std::string comment;
    std::getline(in, comment);
    in >> std::ws;
  }
  if (!(in >> value)) throw std::runtime_error("bad PNM header");
  in.get(c);  // the single whitespace after the number
  return value;
}

// A plain decompressor over bytes in memory; fatal errors leave the library through the error
// manager's landing point and come out as EJPEG.
struct TPlainDecoder {
  TJPEGErrorManager Errors;
  jpeg_decompress_struct Info{};
  TPlainDecoder() {
    Info.err = JPEGErrorManager(Errors);
    JPEGProtected(Errors, [&] { jpeg_create_decompress(&Info); });
  }
  ~TPlainDecoder() { jpeg_destroy_decompress(&Info); }
  void ReadHeader(const std::vector<uint8_t>& jpeg) {
    JPEGProtected(Errors, [&] {
      jpeg_mem_src(&Info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
      jpeg_read_header(&Info, TRUE);
    });
  }
};

}  // namespace

TRgbPicture ReadPnm(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + fileName);
  std::string magic(2, ' ');
  in.read(magic.data(), 2);
  const bool gray = magic == "P5";
  if (!gray && magic != "P6") throw std::runtime_error("not a binary PPM/PGM: " + fileName);
  TRgbPicture picture;
  picture.Width = ReadPnmNumber(in);
  picture.Height = ReadPnmNumber(in);
  if (ReadPnmNumber(in) != 255) throw std::runtime_error("not 8-bit: " + fileName);
  const size_t count = static_cast<size_t>(picture.Width) * picture.Height;
  std::vector<uint8_t> raw(count * (gray ? 1 : 3));
  in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
  if (!in) throw std::runtime_error("short PNM: " + fileName);
  if (!gray) {
    picture.Pixels = std::move(raw);
  } else {
    picture.Pixels.resize(count * 3);
    for (size_t i = 0; i < count; ++i)
      picture.Pixels[i * 3] = picture.Pixels[i * 3 + 1] = picture.Pixels[i * 3 + 2] = raw[i];
  }
  return picture;
}

TRgbPicture BitmapPixels(const TBitmap& bitmap) {
  TRgbPicture picture;
  picture.Width = bitmap.Width();
  picture.Height = bitmap.Height();
  picture.Pixels.resize(static_cast<size_t>(picture.Width) * picture.Height * 3);
  const auto table = bitmap.ColorTable();
  for (int y = 0; y < picture.Height; ++y) {
    const uint8_t* row = bitmap.ScanLine(y);
    uint8_t* out = &picture.Pixels[static_cast<size_t>(y) * picture.Width * 3];
    for (int x = 0; x < picture.Width; ++x, out += 3) {
      if (bitmap.PixelFormat() == pf24bit) {
        out[0] = row[x * 3 + 2];
        out[1] = row[x * 3 + 1];
        out[2] = row[x * 3];
      } else if (bitmap.PixelFormat() == pf8bit) {
        if (row[x] >= table.size()) throw std::runtime_error("index outside the colour table");
        const TPaletteEntry& entry = table[row[x]];
        out[0] = entry.peRed;
        out[1] = entry.peGreen;
        out[2] = entry.peBlue;
      } else {
        throw std::runtime_error("unexpected pixel format");
      }
    }
  }
  return picture;
}

void FillBitmap(TBitmap& bitmap, const TRgbPicture& picture) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(picture.Width, picture.Height);
  for (int y = 0; y < picture.Height; ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < picture.Width; ++x) {
      const uint8_t* p = picture.At(x, y);
      row[x * 3] = p[2];
      row[x * 3 + 1] = p[1];
      row[x * 3 + 2] = p[0];
    }
  }
}

int MaxDifference(const TRgbPicture& a, const TRgbPicture& b) {
  if (a.Width != b.Width || a.Height != b.Height) return 256;
  int worst = 0;
  for (size_t i = 0; i < a.Pixels.size(); ++i) worst = std::max(worst, std::abs(a.Pixels[i] - b.Pixels[i]));
  return worst;
}

double MeanDifference(const TRgbPicture& a, const TRgbPicture& b) {
  if (a.Width != b.Width || a.Height != b.Height || a.Pixels.empty()) return 256;
  double sum = 0;
  for (size_t i = 0; i < a.Pixels.size(); ++i) sum += std::abs(a.Pixels[i] - b.Pixels[i]);
  return sum / static_cast<double>(a.Pixels.size());
}

TRgbPicture DecodeWithLibjpeg(const std::vector<uint8_t>& jpeg) {
  TPlainDecoder decoder;
  decoder.ReadHeader(jpeg);
  jpeg_decompress_struct& info = decoder.Info;
  info.out_color_space = JCS_RGB;
  JPEGProtected(decoder.Errors, [&] { jpeg_start_decompress(&info); });
  TRgbPicture picture;
  picture.Width = static_cast<int>(info.output_width);
  picture.Height = static_cast<int>(info.output_height);
  picture.Pixels.resize(static_cast<size_t>(picture.Width) * picture.Height * 3);
  uint8_t* const pixels = picture.Pixels.data();
  const size_t stride = static_cast<size_t>(picture.Width) * 3;
  JPEGProtected(decoder.Errors, [&] {
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = pixels + info.output_scanline * stride;
      jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
  });
  return picture;
}

TJpegFacts ReadJpegFacts(const std::vector<uint8_t>& jpeg) {
  TPlainDecoder decoder;
  decoder.ReadHeader(jpeg);
  const jpeg_decompress_struct& info = decoder.Info;
  TJpegFacts facts;
  facts.Width = static_cast<int>(info.image_width);
  facts.Height = static_cast<int>(info.image_height);
  facts.Components = info.num_components;
  facts.Progressive = info.progressive_mode != FALSE;
  facts.ColorSpace = info.jpeg_color_space;
  facts.MaxHorizontalSampling = info.max_h_samp_factor;
  facts.MaxVerticalSampling = info.max_v_samp_factor;
  if (info.quant_tbl_ptrs[0] != nullptr) facts.LuminanceQuantDC = info.quant_tbl_ptrs[0]->quantval[0];
  return facts;
}

long FindMarker(const std::vector<uint8_t>& jpeg, uint8_t marker) {
  for (size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) return static_cast<long>(i);
  return -1;
}

long SegmentEnd(const std::vector<uint8_t>& jpeg, uint8_t marker) {
  const long at = FindMarker(jpeg, marker);
  if (at < 0 || static_cast<size_t>(at) + 4 > jpeg.size()) return -1;
  const long length = (jpeg[at + 2] << 8) | jpeg[at + 3];
  return at + 2 + length;
}

TRgbPicture SyntheticPicture(int width, int height, unsigned seed) {
  TRgbPicture picture;
  picture.Width = width;
  picture.Height = height;
  picture.Pixels.resize(static_cast<size_t>(width) * height * 3);
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> noise(-6, 6);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &picture.Pixels[(static_cast<size_t>(y) * width + x) * 3];
      const int base = 20 + 60 * y / std::max(1, height - 1);
      p[0] = static_cast<uint8_t>(std::clamp(base + 40 * x / std::max(1, width - 1) + noise(random), 0, 255));
      p[1] = static_cast<uint8_t>(std::clamp(base + noise(random), 0, 255));
      p[2] = static_cast<uint8_t>(
          std::clamp(base + 90 - 40 * x / std::max(1, width - 1) + noise(random), 0, 255));
    }
  std::uniform_int_distribution<int> px(1, std::max(1, width - 2)), py(1, std::max(1, height - 2));
  for (int i = 0; i < width * height / 400 + 1; ++i) {
    const int cx = px(random), cy = py(random);
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const int x = std::clamp(cx + dx, 0, width - 1), y = std::clamp(cy + dy, 0, height - 1);
        uint8_t* p = &picture.Pixels[(static_cast<size_t>(y) * width + x) * 3];
        p[0] = p[1] = p[2] = 250;
      }
  }
  return picture;
}

std::vector<uint8_t> DecodeInksWithLibjpeg(const std::vector<uint8_t>& jpeg, int& width, int& height) {
  TPlainDecoder decoder;
  decoder.ReadHeader(jpeg);
  jpeg_decompress_struct& info = decoder.Info;
  info.out_color_space = JCS_CMYK;
  JPEGProtected(decoder.Errors, [&] { jpeg_start_decompress(&info); });
  width = static_cast<int>(info.output_width);
  height = static_cast<int>(info.output_height);
  std::vector<uint8_t> inks(static_cast<size_t>(width) * height * 4);
  uint8_t* const samples = inks.data();
  const size_t stride = static_cast<size_t>(width) * 4;
  JPEGProtected(decoder.Errors, [&] {
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = samples + info.output_scanline * stride;
      jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
  });
  return inks;
}

std::string JpegSample(const std::string& name) {
  return TestData("jpeg/" + name);
}

std::unique_ptr<TJPEGImage> LoadJpegSample(const std::string& name) {
  auto picture = std::make_unique<TJPEGImage>();
  picture->LoadFromFile(JpegSample(name));
  return picture;
}

std::unique_ptr<TJPEGImage> LoadJpegBytes(const std::vector<uint8_t>& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  auto picture = std::make_unique<TJPEGImage>();
  picture->LoadFromStream(stream);
  return picture;
}

uint32_t TFakeClock::FNow = 0;
uint32_t TFakeClock::FStep = 0;

TFakeClock::TFakeClock(uint32_t step) {
  FNow = 1000;
  FStep = step;
  FPrevious = SetJPEGTickSource(&TFakeClock::Tick);
}

TFakeClock::~TFakeClock() {
  SetJPEGTickSource(FPrevious);
}

uint32_t TFakeClock::Tick() {
  return FNow += FStep;
}
