#include "bench/support/plain_jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <thread>

#include <jpeglib.h>

namespace {

struct TErrorExit {
  jpeg_error_mgr Pub;
  std::jmp_buf Landing;
};

void LeaveLibrary(j_common_ptr info) {
  std::longjmp(reinterpret_cast<TErrorExit*>(info->err)->Landing, 1);
}

std::string ReadLine(const char* fileName, const std::string& prefix) {
  std::ifstream in(fileName);
  std::string line;
  while (std::getline(in, line))
    if (prefix.empty() || line.rfind(prefix, 0) == 0) return line;
  return {};
}

}  // namespace

void TPlainJpegDecoder::Decode(const std::string& fileName) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(fileName.c_str(), "rb"), &std::fclose);
  if (!file) throw std::runtime_error("cannot open " + fileName);
  jpeg_decompress_struct info{};
  TErrorExit errors{};
  info.err = jpeg_std_error(&errors.Pub);
  errors.Pub.error_exit = LeaveLibrary;
  if (setjmp(errors.Landing) != 0) {
    jpeg_destroy_decompress(&info);
    throw std::runtime_error("libjpeg cannot decode " + fileName);
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file.get());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&info);
  Width = static_cast<int>(info.output_width);
  Height = static_cast<int>(info.output_height);
  const size_t stride = static_cast<size_t>(Width) * 3;
  if (Pixels.size() != stride * static_cast<size_t>(Height))
    Pixels.resize(stride * static_cast<size_t>(Height));
  JSAMPROW rows[16];
  while (info.output_scanline < info.output_height) {
    JDIMENSION count = 0;
    for (; count < 16 && info.output_scanline + count < info.output_height; ++count)
      rows[count] = Pixels.data() + stride * (info.output_scanline + count);
    jpeg_read_scanlines(&info, rows, count);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
}

double PeakResidentMiB() {
  const std::string line = ReadLine("/proc/self/status", "VmHWM:");
  return line.empty() ? 0.0 : std::stod(line.substr(6)) / 1024.0;
}

void ResetPeakResident() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

std::string MachineLoad() {
  std::string load = ReadLine("/proc/loadavg", "");
  size_t end = 0;
  for (int field = 0; field < 3 && end != std::string::npos; ++field) end = load.find(' ', end + (field > 0));
  return std::to_string(std::thread::hardware_concurrency()) + " processors, load average " +
         load.substr(0, end);
}
