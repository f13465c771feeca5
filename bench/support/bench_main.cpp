#include "bench/support/bench_main.h"

#include <stdlib.h>

#include <cstdio>
#include <exception>
#include <filesystem>

#include <QApplication>

#include "bench/support/timing.h"
#include "toolkit/ui/application.h"

int RunWindowBenchmark(const std::string& prefix, int argc, char** argv,
                       const std::function<void(const std::string& folder)>& body) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication qtApplication(argc, argv);
  std::string folder;
  int status = 0;
  try {
    folder = MakeScratchFolder(prefix);
    Application->Initialize(argc, argv);
    body(folder);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    status = 1;
  }
  if (!folder.empty()) std::filesystem::remove_all(folder);
  return status;
}
