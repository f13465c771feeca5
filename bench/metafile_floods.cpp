// Metafile floods: for every record kind, a WMF and an EMF that repeat it thousands of times, loaded
// and drawn into a 24-bit bitmap as the program draws a picture. It prints the time of each flood and
// fails when one takes a second or more, the sign of a record whose cost grows with the records before it.
// Then the painting floods: 2000 records (1000 for the largest picture) each painting the whole of a
// large picture, each loaded and drawn in a process of its own: its time beyond that of the bare
// picture (white paper, no record) and its peak memory beyond the bare picture's; it fails when one
// takes a second or more beyond the picture.
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
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <numbers>
#include <string>
#include <vector>

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

struct TMeasured {
  double Seconds = 0;
  long PeakMB = 0;
  std::string Outcome;
};

// The file loaded and drawn in a child process: its outcome comes back through a pipe, its peak memory
// from the system.
TMeasured MeasureInChild(const metafile_bytes::TBytes& file) {
  TMeasured measured;
  int channel[2];
  if (pipe(channel) != 0) return measured;
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
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return measured;
  measured.Seconds = SecondsSince(start);
  if (WIFSIGNALED(status))
    outcome = WTERMSIG(status) == SIGALRM ? "stopped after " + std::to_string(kFileSeconds) + " s"
                                          : std::string("ended by ") + strsignal(WTERMSIG(status));
  measured.PeakMB = usage.ru_maxrss / 1024;
  measured.Outcome = outcome;
  return measured;
}

void MeasureFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  const metafile_bytes::TBytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const TMeasured m = MeasureInChild(file);
  std::printf("%-40s %9zu bytes %8.3f s %7ld MB  %s\n", path, file.size(), m.Seconds, m.PeakMB,
              m.Outcome.c_str());
  std::fflush(stdout);
}

// The painting floods of a side x side picture (placeable WMF, one unit a pixel), or an EMF's.
struct TPaintingFlood {
  std::string Name;
  int Side;
  metafile_bytes::TBytes File;
};

std::vector<TPaintingFlood> PaintingFloods() {
  using namespace metafile_bytes;
  constexpr int S = 4096, count = 2000;
  const TBytes select0 = WmfRecord(0x012D, {0}), select1 = WmfRecord(0x012D, {1});
  // A null pen and a red brush of the style (with the hatch) first, or a green pen alone.
  const auto filled = [&](std::vector<TBytes> records, int style = 0, int hatch = 0) {
    records.insert(records.begin(), {WmfRecord(0x02FA, {5, 0, 0}, {0, 0, 0, 0}), select0,
                                     WmfRecord(0x02FC, {style, 0x00FF, 0, hatch}), select1});
    return records;
  };
  const auto drawnWith = [&](int style, int width, std::vector<TBytes> records) {
    records.insert(records.begin(), {WmfRecord(0x02FA, {style, width, 0}, {0, 128, 0, 0}), select0});
    return records;
  };
  const auto rect = [](int function, int left, int top, int right, int bottom) {
    return WmfRecord(function, {bottom, right, top, left});
  };
  // A comb of 1024 teeth from top to bottom: 2048 edges on every row.
  TBytes teeth;
  for (int i = 0; i < 1024; ++i)
    for (int v : {i * 4, 0, i * 4 + 2, S}) Put16(teeth, v);
  // A clipping of 1000 columns, then small rectangles.
  std::vector<TBytes> clipped = Varied(1000, [&](int i) { return rect(0x0415, 2 + 4 * i, 0, 4 + 4 * i, S); });
  for (int i = 0; i < 10000; ++i)
    clipped.push_back(rect(0x041B, i % 3000, i % 4000, i % 3000 + 4, i % 4000 + 4));
  // Rows of text 200 pixels high.
  std::vector<TBytes> text = {WmfRecord(0x02FB, {-200, 0, 0, 0, 400, 0, 0, 0, 0}, {'S', 'a', 'n', 's', 0, 0}),
                              select0};
  const std::string words = "Orvanta merges stars";
  for (int i = 0; i < count; ++i) {
    TBytes line(words.begin(), words.end());
    Put16(line, 200 * (i % 20));
    Put16(line, 0);
    text.push_back(WmfRecord(0x0521, {static_cast<int>(words.size())}, line));
  }
  // An EMF turned 30 degrees about the picture's middle, then rectangles larger than the picture.
  const double c = std::cos(std::numbers::pi / 6), s = std::sin(std::numbers::pi / 6);
  TBytes turn;
  for (double v : {c, s, -s, c, S / 2 - S / 2 * c + S / 2 * s, S / 2 - S / 2 * s - S / 2 * c}) {
    const auto single = static_cast<float>(v);
    uint32_t bits;
    std::memcpy(&bits, &single, 4);
    Put32(turn, bits);
  }
  std::vector<TBytes> rotated = {EmfRecord(35, {}, turn), EmfRecord(39, {1, 0, 0xFF, 0}), EmfRecord(37, {1}),
                                 EmfRecord(37, {0x80000008})};
  for (int i = 0; i < count; ++i) rotated.push_back(EmfRecord(43, {-S / 4, -S / 4, S + S / 4, S + S / 4}));

  return {
      {"hatched ellipses", S, PlaceableWmf(filled(Repeat(count, rect(0x0418, 0, 0, S, S)), 2, 5), S)},
      {"PATBLT 16384 x 16384 x 1000", 16384,
       PlaceableWmf(filled(Repeat(1000, WmfRecord(0x061D, {0x0021, 0x00F0, 16384, 16384, 0, 0}))), 16384)},
      {"round rectangles", S,
       PlaceableWmf(filled(Repeat(count, WmfRecord(0x061C, {512, 512, S, S, 0, 0}))), S)},
      {"pies", S,
       PlaceableWmf(filled(Repeat(count, WmfRecord(0x081A, {S / 2, S, 0, S / 2, S, S, 0, 0}))), S)},
      {"polygons", S,
       PlaceableWmf(filled(Repeat(count, WmfRecord(0x0324, {4, S / 2, 0, S, S / 2, S / 2, S, 0, S / 2}))),
                    S)},
      {"rotated rectangles (EMF)", S, Emf(rotated, S)},
      {"stretched bitmaps", S,
       PlaceableWmf(Repeat(count, WmfRecord(0x0F43, {0x0020, 0x00CC, 0, 2, 2, 0, 0, S, S, 0, 0}, SmallDib())),
                    S)},
      {"wide pens", S,
       PlaceableWmf(drawnWith(0, 1000, Repeat(count, WmfRecord(0x0325, {2, 0, 0, S, S}))), S)},
      {"dashed lines", S,
       PlaceableWmf(drawnWith(1, 2,
                              Varied(count,
                                     [](int i) {
                                       return WmfRecord(0x0325, {2, 0, 10 + i % 4000, S, 10 + i % 4000});
                                     })),
                    S)},
      {"text", S, PlaceableWmf(text, S)},
      {"comb polygons x 16", S, PlaceableWmf(filled(Repeat(16, WmfRecord(0x0324, {2048}, teeth))), S)},
      {"columns x 20000", S,
       PlaceableWmf(filled(Varied(20000, [&](int i) { return rect(0x041B, i % S, 0, i % S + 1, S); })), S)},
      {"clipped shapes x 10000", S, PlaceableWmf(filled(clipped), S)},
  };
}

// Each painting flood in a process of its own, against the bare picture of its size; true when every
// one ended within a second beyond its picture.
bool MeasurePaintingFloods() {
  std::map<int, TMeasured> bare;
  bool quick = true;
  for (const TPaintingFlood& flood : PaintingFloods()) {
    if (!bare.contains(flood.Side)) {
      bare[flood.Side] = MeasureInChild(metafile_bytes::PlaceableWmf({}, flood.Side));
      std::printf("%-34s %d x %d  %8.3f s %7ld MB\n", "bare picture", flood.Side, flood.Side,
                  bare[flood.Side].Seconds, bare[flood.Side].PeakMB);
    }
    const TMeasured m = MeasureInChild(flood.File);
    const double beyond = m.Seconds - bare[flood.Side].Seconds;
    std::printf("%-34s %8zu bytes  %8.3f s (%+.3f s) %7ld MB (%+ld MB)  %s\n", flood.Name.c_str(),
                flood.File.size(), m.Seconds, beyond, m.PeakMB, m.PeakMB - bare[flood.Side].PeakMB,
                m.Outcome.c_str());
    std::fflush(stdout);
    quick = quick && beyond < 1;
  }
  return quick;
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
  std::fflush(stdout);
  const bool paintingQuick = MeasurePaintingFloods();
  return worst < 1 && paintingQuick ? 0 : 1;
}
