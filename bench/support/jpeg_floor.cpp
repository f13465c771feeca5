#include "bench/support/jpeg_floor.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include <jpeglib.h>

namespace {

struct TErrorManager {
  jpeg_error_mgr Public;
  std::jmp_buf Landing;
};

[[noreturn]] void LeaveOnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<TErrorManager*>(info->err)->Landing, 1);
}

}  // namespace

void TJpegFloor::Decode(const std::string& fileName) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(fileName.c_str(), "rb"), std::fclose);
  if (!file) throw std::runtime_error("cannot open " + fileName);
  jpeg_decompress_struct info{};
  TErrorManager errors{};
  info.err = jpeg_std_error(&errors.Public);
  errors.Public.error_exit = LeaveOnError;
  if (setjmp(errors.Landing) != 0) {
    jpeg_destroy_decompress(&info);
    throw std::runtime_error("libjpeg cannot read " + fileName);
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file.get());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_BGR;
  info.dct_method = JDCT_ISLOW;
  jpeg_start_decompress(&info);
  FWidth = static_cast<int>(info.output_width);
  FHeight = static_cast<int>(info.output_height);
  const size_t bytes = static_cast<size_t>(FWidth) * 3 * static_cast<size_t>(FHeight);
  if (FPixels.size() < bytes) FPixels.resize(bytes);  // kept from file to file
  FRows.resize(static_cast<size_t>(FHeight));
  for (int y = 0; y < FHeight; ++y)
    FRows[static_cast<size_t>(y)] = FPixels.data() + static_cast<size_t>(y) * FWidth * 3;
  while (info.output_scanline < info.output_height)
    jpeg_read_scanlines(&info, FRows.data() + info.output_scanline,
                        info.output_height - info.output_scanline);
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
}
