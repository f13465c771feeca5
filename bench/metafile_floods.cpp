// Metafile floods: for every record kind, a WMF and an EMF that repeat it thousands of times, loaded
// and drawn into a 24-bit bitmap as the program draws a picture. It prints the time of each flood and
// fails when one takes a second or more, the sign of a record whose cost grows with the records before it.
//
//   bench_metafile_floods [records]     10,000 records a flood by default

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "bench/support/timing.h"
#include "tests/support/metafile_floods.h"
#include "toolkit/core/exceptions.h"

namespace {

// Loads and draws the file; false when it is refused.
bool LoadAndDraw(const metafile_bytes::TBytes& file) {
  try {
    metafile_bytes::Drawn(*metafile_bytes::LoadMetafile(file));
  } catch (const EInvalidGraphic&) {
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);  // text records need fonts
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
