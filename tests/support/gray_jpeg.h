#pragma once
// Real JPEG data made with plain libjpeg, for tests and benchmarks that need it without a sample file.

#include <jpeglib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

// A JPEG file made by plain libjpeg from rows of `components` samples in `colorSpace`: `configure`
// sets what it will after the defaults (sampling factors, scans), `fillRow(y, row)` gives each row.
template <class Configure, class FillRow>
std::vector<uint8_t> PlainJpeg(uint32_t width, uint32_t rows, int components, J_COLOR_SPACE colorSpace,
                               Configure configure, FillRow fillRow) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = width;
  info.image_height = rows;
  info.input_components = components;
  info.in_color_space = colorSpace;
  jpeg_set_defaults(&info);
  configure(info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(width) * static_cast<size_t>(components));
  JSAMPROW rowPointer[1] = {row.data()};
  for (uint32_t y = 0; y < rows; ++y) {
    fillRow(y, row);
    jpeg_write_scanlines(&info, rowPointer, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> jpeg(buffer, buffer + size);
  free(buffer);
  return jpeg;
}

// A gray JPEG file of `rows` rows of `width` pixels, each row a ramp from black to white.
inline std::vector<uint8_t> GrayJpeg(uint32_t width, uint32_t rows) {
  return PlainJpeg(
      width, rows, 1, JCS_GRAYSCALE, [](jpeg_compress_struct&) {},
      [width](uint32_t, std::vector<JSAMPLE>& row) {
        for (uint32_t x = 0; x < width; ++x) row[x] = static_cast<JSAMPLE>(x * 255 / width);
      });
}

// The same file with `count` empty comment markers after its start-of-image marker: data a JPEG
// decoder walks before any pixel.
inline std::vector<uint8_t> WithCommentMarkers(const std::vector<uint8_t>& jpeg, size_t count) {
  std::vector<uint8_t> marked(jpeg.begin(), jpeg.begin() + 2);
  for (size_t i = 0; i < count; ++i) marked.insert(marked.end(), {0xFF, 0xFE, 0x00, 0x02});
  marked.insert(marked.end(), jpeg.begin() + 2, jpeg.end());
  return marked;
}
