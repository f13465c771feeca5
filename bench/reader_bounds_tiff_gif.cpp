// What lying and cut TIFF, EPS and GIF files cost: headers claiming 65535 x 65535 pixels over a few
// hundred bytes of data, in every compression the TIFF reader decodes, and the growth of a load's time
// with the file's size for files built to be slow (one-row strips whose byte counts all cover one
// shared block of data that decodes to nothing; a 65535 x 65535 header over a growing block of PackBits
// data, which could unpack to a sixteenth of that at most) next to honest files. Each case loads from
// memory as the program loads a picture (through the failure net), best of three; peak memory is the
// process's, so run one case at a time under /usr/bin/time -v to see a case's own.
//
//   bench_reader_bounds_tiff_gif             every case
//   bench_reader_bounds_tiff_gif NAME...     the cases whose names start with one of the NAMEs

#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/picture_loads.h"
#include "picture_formats/gif_graphic.h"
#include "picture_formats/tiff_graphic.h"
#include "tests/support/gray_jpeg.h"
#include "toolkit/core/streams.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& out, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A little-endian TIFF file: the data block at offset 8, then one directory of LONG entries whose lists
// of more than one value follow it.
Bytes Tiff(const Bytes& data, std::vector<std::pair<uint16_t, std::vector<uint32_t>>> entries) {
  std::sort(entries.begin(), entries.end());
  Bytes file{'I', 'I', 42, 0};
  const auto directory = static_cast<uint32_t>(8 + data.size());
  Put(file, directory, 4);
  file.insert(file.end(), data.begin(), data.end());
  auto lists = static_cast<uint32_t>(directory + 2 + 12 * entries.size() + 4);
  Put(file, static_cast<uint32_t>(entries.size()), 2);
  for (const auto& [tag, values] : entries) {
    Put(file, tag, 2);
    Put(file, 4, 2);
    Put(file, static_cast<uint32_t>(values.size()), 4);
    Put(file, values.size() == 1 ? values[0] : lists, 4);
    if (values.size() > 1) lists += static_cast<uint32_t>(4 * values.size());
  }
  Put(file, 0, 4);
  for (const auto& [tag, values] : entries)
    if (values.size() > 1)
      for (uint32_t value : values) Put(file, value, 4);
  return file;
}

// One picture in `strips` strips of `rows` rows that all point at the block.
Bytes SharedBlockTiff(uint32_t width, uint32_t height, uint32_t bits, uint32_t photometric,
                      uint32_t compression, const Bytes& block, uint32_t rows) {
  const uint32_t strips = (height + rows - 1) / rows;
  return Tiff(block, {{256, {width}},
                      {257, {height}},
                      {258, {bits}},
                      {259, {compression}},
                      {262, {photometric}},
                      {273, std::vector<uint32_t>(strips, 8)},
                      {278, {rows}},
                      {279, std::vector<uint32_t>(strips, static_cast<uint32_t>(block.size()))}});
}

// A GIF of one image whose indices are coded as 9-bit literals with a clear code before every 254 of
// them (so the table never grows: no LZW encoder needed), `indices` of them whatever the header says.
Bytes Gif(uint16_t width, uint16_t height, const Bytes& indices) {
  Bytes file{'G', 'I', 'F', '8', '9', 'a'};
  Put(file, width, 2);
  Put(file, height, 2);
  file.insert(file.end(), {0x80, 0, 0, 0, 0, 0, 255, 255, 255, 0x2C, 0, 0, 0, 0});
  Put(file, width, 2);
  Put(file, height, 2);
  file.insert(file.end(), {0, 8});
  Bytes packed;
  uint32_t buffer = 0, count = 0;
  const auto code = [&](uint32_t value) {
    buffer |= value << count;
    for (count += 9; count >= 8; count -= 8, buffer >>= 8) packed.push_back(static_cast<uint8_t>(buffer));
  };
  for (size_t i = 0; i < indices.size(); ++i) {
    if (i % 254 == 0) code(256);
    code(indices[i]);
  }
  code(257);
  if (count > 0) packed.push_back(static_cast<uint8_t>(buffer));
  for (size_t at = 0; at < packed.size(); at += 255) {
    const size_t size = std::min<size_t>(255, packed.size() - at);
    file.push_back(static_cast<uint8_t>(size));
    file.insert(file.end(), packed.begin() + static_cast<long>(at),
                packed.begin() + static_cast<long>(at + size));
  }
  file.insert(file.end(), {0, 0x3B});
  return file;
}

// A baseline JPEG of one gray row of `width` pixels, as a JPEG-compressed TIFF strip holds it.
Bytes Noise(size_t size, uint32_t seed) {
  Bytes bytes(size);
  for (uint8_t& byte : bytes) {
    seed = seed * 1103515245u + 12345u;
    byte = static_cast<uint8_t>(seed >> 16);
  }
  return bytes;
}

// Loads the bytes with reader G as the program loads a picture, through the failure net, best of three.
template <class G>
void MeasureLoad(const std::string& name, const Bytes& file) {
  std::unique_ptr<G> picture;
  PrintBestLoad(name, file.size(), 3, [&]() -> const TGraphic& {
    TMemoryStream stream;
    stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
    stream.SetPosition(0);
    picture = std::make_unique<G>();
    picture->LoadChecked(stream);
    return *picture;
  });
}

struct TCase {
  std::string Name;
  std::function<Bytes()> Make;
  std::function<void(const std::string&, const Bytes&)> Measure;
};

std::vector<TCase> Cases() {
  std::vector<TCase> cases;
  const auto tiff = &MeasureLoad<TTIFFGraphic>;
  const auto eps = &MeasureLoad<TEPSGraphic>;
  const auto gif = &MeasureLoad<TGIFGraphic>;

  // Huge headers over 128 bytes of data.
  const struct {
    const char* Name;
    uint32_t Compression, Bits, Photometric;
  } huge[] = {{"none", 1, 8, 1},
              {"packbits", 32773, 8, 1},
              {"lzw", 5, 8, 1},
              {"deflate", 8, 8, 1},
              {"group3", 3, 1, 0},
              {"huffman", 2, 1, 0},
              {"thunderscan", 32809, 4, 1},
              {"jpeg", 7, 8, 1}};
  for (const auto& h : huge) {
    const auto make = [h] {
      return Tiff(Bytes(128, 0x55), {{256, {65535}},
                                     {257, {65535}},
                                     {258, {h.Bits}},
                                     {259, {h.Compression}},
                                     {262, {h.Photometric}},
                                     {273, {8}},
                                     {278, {65535}},
                                     {279, {128}}});
    };
    cases.push_back({std::string("huge-tiff-") + h.Name, make, tiff});
    if (h.Compression == 5)
      cases.push_back({"huge-eps-lzw",
                       [make] {
                         const Bytes preview = make();
                         Bytes file{0xC5, 0xD0, 0xD3, 0xC6};
                         for (uint32_t value : {30u, 0u, 0u, 0u, 32u, static_cast<uint32_t>(preview.size())})
                           Put(file, value, 4);
                         file.insert(file.end(), {0xFF, 0xFF, '%', '!'});
                         file.insert(file.end(), preview.begin(), preview.end());
                         return file;
                       },
                       eps});
  }
  cases.push_back({"huge-gif-65535", [] { return Gif(65535, 65535, Noise(500, 1)); }, gif});
  cases.push_back({"huge-gif-40000", [] { return Gif(40000, 40000, Noise(500, 1)); }, gif});

  // Growth with the file's size.
  for (const size_t size :
       {size_t(256) << 10, size_t(512) << 10, size_t(1) << 20, size_t(2) << 20, size_t(4) << 20}) {
    const std::string kb = std::to_string(size >> 10) + "k";
    // Half the file one shared block, the other half the strip lists (8 bytes a strip, a row each).
    const auto strips = static_cast<uint32_t>(size / 2 / 8);
    cases.push_back({"shared-packbits-" + kb,
                     [=] {
                       Bytes block{63};
                       const Bytes row = Noise(64, 2);
                       block.insert(block.end(), row.begin(), row.end());
                       block.resize(size / 2, 0x80);
                       return SharedBlockTiff(64, strips, 8, 1, 32773, block, 1);
                     },
                     tiff});
    cases.push_back({"shared-group3-" + kb,
                     [=] {
                       Bytes block{0x00, 0x1D, 0x9A, 0x80};  // end of line, a white row of 64
                       block.resize(size / 2, 0);
                       return SharedBlockTiff(64, strips, 1, 0, 3, block, 1);
                     },
                     tiff});
    cases.push_back({"shared-jpeg-" + kb,
                     [=] {
                       Bytes block = GrayJpeg(64, 1);
                       block.resize(size / 2, 0);
                       return SharedBlockTiff(64, strips, 8, 1, 7, block, 1);
                     },
                     tiff});
    cases.push_back(
        {"shared-jpeg-markers-" + kb,
         [=] { return SharedBlockTiff(64, strips, 8, 1, 7, WithCommentMarkers(GrayJpeg(64, 1), 4096), 1); },
         tiff});
    cases.push_back({"lying-packbits-" + kb,
                     [=] { return SharedBlockTiff(65535, 65535, 8, 1, 32773, Noise(size, 3), 256); }, tiff});
    cases.push_back({"honest-none-" + kb,
                     [=] {
                       return SharedBlockTiff(1024, static_cast<uint32_t>(size / 1024), 8, 1, 1,
                                              Noise(size, 4), static_cast<uint32_t>(size / 1024));
                     },
                     tiff});
    cases.push_back({"honest-gif-" + kb,
                     [=] {
                       const auto height = static_cast<uint16_t>(size / 1024);
                       return Gif(1024, height, Noise(size_t{1024} * height, 5));
                     },
                     gif});
    cases.push_back({"cut-gif-" + kb,
                     [=] {
                       const auto height = static_cast<uint16_t>(size / 1024);
                       Bytes file = Gif(1024, height, Noise(size_t{1024} * height, 6));
                       file.resize(file.size() / 2);
                       return file;
                     },
                     gif});
  }
  return cases;
}

}  // namespace

int main(int argc, char** argv) {
  for (const TCase& c : Cases()) {
    bool wanted = argc < 2;
    for (int i = 1; i < argc; ++i) wanted = wanted || c.Name.starts_with(argv[i]);
    if (wanted) c.Measure(c.Name, c.Make());
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak resident memory of the run: %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024);
  return 0;
}
