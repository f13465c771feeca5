#include "toolkit/core/date_time.h"

#include <chrono>

#include "toolkit/core/format.h"

uint32_t GetTickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

std::string DateTimeToStr(std::time_t time) {
  std::tm local{};
  if (!::localtime_r(&time, &local)) return {};
  std::string text = Format("%.2d/%.2d/%.4d", {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900});
  if (local.tm_hour != 0 || local.tm_min != 0 || local.tm_sec != 0)
    text += Format(" %.2d:%.2d:%.2d", {local.tm_hour, local.tm_min, local.tm_sec});
  return text;
}
