#include "tests/support/peak_memory.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

int64_t ProcessStatusKiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.starts_with(field + ":")) return std::stoll(line.substr(field.size() + 1));
  return 0;
}

int64_t PeakMemoryGrowthKiB(const std::function<void()>& work) {
  const int64_t before = ProcessStatusKiB("VmRSS");
  const pid_t child = fork();
  if (child == 0) {
    try {
      work();
    } catch (...) {
    }
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return -1;
  return int64_t{usage.ru_maxrss} - before;
}
