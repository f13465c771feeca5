// Metafile floods: for every record kind, a WMF and an EMF that repeat it thousands of times, loaded
// and drawn into a 24-bit bitmap as the program draws a picture. It prints the time of each flood and
// fails when one takes a second or more, the sign of a record whose cost grows with the records before it.
//
//   bench_metafile_floods [records]     10,000 records a flood by default
//   bench_metafile_floods FILE...       each file loaded and drawn in a process of its own, which is
//                                       ended after a minute: its time, its peak memory and what came of
//                                       it (drawn, refused and why, or the signal that ended it); for the
//                                       costly files of tests/data/metafile/costly
//
// Compare figures from a Release build.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "bench/support/timing.h"
#include "tests/support/metafile_floods.h"
#include "toolkit/core/exceptions.h"

namespace {

constexpr unsigned kFileSeconds = 60;

// Loads and draws the file; false when it is refused, with the reason.
bool LoadAndDraw(const metafile_bytes::TBytes& file, std::string* reason = nullptr) {
  try {
    metafile_bytes::Drawn(*metafile_bytes::LoadMetafile(file));
  } catch (const Exception& error) {
    if (reason) *reason = error.Message();
    return false;
  }
  return true;
}

// One file in a child process: its outcome comes back through a pipe, its peak memory from the system.
void MeasureFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  const metafile_bytes::TBytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  int channel[2];
  if (pipe(channel) != 0) return;
  const auto start = BenchClock::now();
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    alarm(kFileSeconds);
    std::string reason;
    const std::string outcome = LoadAndDraw(file, &reason) ? "drawn" : "refused: " + reason;
    if (write(channel[1], outcome.data(), outcome.size()) < 0) _exit(1);
    _exit(0);
  }
  close(channel[1]);
  std::string outcome;
  char buffer[512];
  for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;) outcome.append(buffer, got);
  close(channel[0]);
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return;
  const double seconds = SecondsSince(start);
  if (WIFSIGNALED(status))
    outcome = WTERMSIG(status) == SIGALRM ? "stopped after " + std::to_string(kFileSeconds) + " s"
                                          : std::string("ended by ") + strsignal(WTERMSIG(status));
  std::printf("%-40s %9zu bytes %8.3f s %7ld MB  %s\n", path, file.size(), seconds, usage.ru_maxrss / 1024,
              outcome.c_str());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);  // text records need fonts
  if (argc > 1 && std::atoi(argv[1]) == 0) {
    for (int i = 1; i < argc; ++i) MeasureFile(argv[i]);
    return 0;
  }
  const int records = argc > 1 ? std::atoi(argv[1]) : 10000;
  std::vector<metafile_bytes::TFlood> floods = metafile_bytes::WmfFloods(records);
  for (auto& flood : metafile_bytes::EmfFloods(records)) floods.push_back(std::move(flood));
  // Object creation beyond what 16-bit indices reach: every later creation finds the table full.
  floods.push_back(metafile_bytes::WmfFlood(
      "CREATEBRUSHINDIRECT x 1,000,000",
      metafile_bytes::Repeat(1000000, metafile_bytes::WmfRecord(0x02FC, {0, 0x00FF, 0, 0}))));
  double worst = 0;
  std::string slowest;
  for (const auto& flood : floods) {
    const auto start = BenchClock::now();
    const bool drawn = LoadAndDraw(flood.File);
    const double seconds = SecondsSince(start);
    std::printf("%-34s %8zu bytes  %8.3f s%s\n", flood.Name.c_str(), flood.File.size(), seconds,
                drawn ? "" : "  (refused)");
    if (seconds > worst) {
      worst = seconds;
      slowest = flood.Name;
    }
  }
  std::printf("%zu floods of %d records; the slowest, %s, took %.3f s\n", floods.size(), records,
              slowest.c_str(), worst);
  return worst < 1 ? 0 : 1;
}
