#include "bench/support/picture_loads.h"

#include <algorithm>
#include <cstdio>

#include "bench/support/timing.h"
#include "toolkit/core/exceptions.h"

void PrintBestLoad(const std::string& name, size_t fileBytes, int repetitions,
                   const std::function<const TGraphic&()>& load) {
  double best = 1e9;
  std::string outcome;
  for (int i = 0; i < std::max(1, repetitions); ++i) {
    const auto start = BenchClock::now();
    try {
      const TGraphic& picture = load();
      outcome = "loaded " + std::to_string(picture.Width()) + " x " + std::to_string(picture.Height()) +
                (picture.DataEndedEarly() ? ", data ended early" : "");
    } catch (const Exception& error) {
      outcome = "refused: " + error.Message();
    }
    best = std::min(best, SecondsSince(start));
  }
  std::printf("%-34s %9zu bytes %10.3f ms  %s\n", name.c_str(), fileBytes, best * 1000, outcome.c_str());
}
