// Stacking run cost: "Zentor.." over N camera-like JPEGs through the real main window, against loading
// the same files with LoadPicture alone; and the peak resident memory of the run for N and 2N pictures.
//
//   bench_stack_run [count [width height [rounds]]]   default 8 pictures of 6000 x 4000, 3 rounds
//
// Every measurement runs in a child process of its own (this program started again with "--child"),
// so each peak resident size (getrusage's ru_maxrss of that child) belongs to one measurement alone.
// The run and the load alternate for the given number of rounds; the best time of each is kept.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QApplication>

#include "bench/support/night_sky.h"
#include "bench/support/timing.h"
#include "picture_formats/format_list.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/screen.h"
#include "toolkit/ui/scripted_dialogs.h"
#include "translation/program_forms.h"
#include "workbench/umain.h"
#include "workbench/working_bitmap.h"

namespace {

std::vector<std::string> FileNames(const std::string& folder, int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(folder + "/night" + std::to_string(i) + ".jpg");
  return names;
}

// ---- Child side: one measurement, its time printed on stdout.

// "Zentor.." through the real main window, shown, with the end questions answered.
double TimeStackRun(int argc, char** argv, const std::vector<std::string>& files) {
  // The Qt application lives on this stack, as in the tests: taken down before the process exits.
  QApplication qtApplication(argc, argv);
  InitializePictureFormats();
  Application->Initialize(argc, argv);
  Application->SetTitle("Orvanta");
  CreateProgramForms();
  FormMain->Show();
  auto dialogs = std::make_unique<TScriptedDialogs>();
  TScriptedDialogs& script = *dialogs;
  InstallDialogs(std::move(dialogs));
  script.AnswerSaveFile("");  // the save offer at the end: cancelled
  script.AnswerMessageBox(IDOK, "0 File(s) in Error");
  for (const std::string& file : files)
    FormMain->ListBox1->SetChecked(FormMain->ListBox1->Items().Add(file), true);
  Application->ProcessMessages();

  const auto start = BenchClock::now();
  FormMain->GetMAX1Click(nullptr);
  const double seconds = SecondsSince(start);

  if (!script.Failures().empty() || script.PendingAnswers() != 0)
    throw std::runtime_error("the run did not end as expected (errors or other questions)");
  if (!files.empty() && FormMain->FResultCount != static_cast<int>(files.size()))
    throw std::runtime_error("not every picture was merged: " + std::to_string(FormMain->FResultCount) +
                             " of " + std::to_string(FormMain->ListBox1->Count()));
  InstallDialogs(nullptr);
  Application->DestroyForms();
  FinalizePictureFormats();
  return seconds;
}

// The same files loaded one after the other into one working bitmap, nothing else.
double TimeLoadAlone(const std::vector<std::string>& files) {
  InitializePictureFormats();
  TBitmap working;
  const auto start = BenchClock::now();
  for (const std::string& file : files)
    if (!LoadPicture(working, file)) throw std::runtime_error("cannot load " + file);
  const double seconds = SecondsSince(start);
  FinalizePictureFormats();
  return seconds;
}

int RunChild(int argc, char** argv) {
  // argv: program --child stack|load folder count
  const std::string mode = argv[2];
  const std::vector<std::string> files = FileNames(argv[3], atoi(argv[4]));
  const double seconds = mode == "stack" ? TimeStackRun(argc, argv, files) : TimeLoadAlone(files);
  std::printf("%.6f\n", seconds);
  return 0;
}

// ---- Parent side.

struct TMeasurement {
  double Seconds = 0;
  double PeakMegabytes = 0;
};

TMeasurement Measure(const char* mode, const std::string& folder, int count) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) throw std::runtime_error("pipe");
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork");
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    const std::string countText = std::to_string(count);
    execl("/proc/self/exe", "bench_stack_run", "--child", mode, folder.c_str(), countText.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[1]);
  std::string output;
  char buffer[256];
  ssize_t got;
  while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
    output.append(buffer, static_cast<size_t>(got));
  close(pipeEnds[0]);
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error(std::string("the ") + mode + " child failed (" +
                             (WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status))
                                                  : "exit " + std::to_string(WEXITSTATUS(status))) +
                             ")");
  return {std::stod(output), static_cast<double>(usage.ru_maxrss) / 1024.0};
}

void Generate(const std::vector<std::string>& files, int width, int height) {
  TBitmap bitmap;
  for (size_t i = 0; i < files.size(); ++i) {
    PaintExposure(bitmap, width, height, static_cast<int>(i));
    SaveAsJpeg(bitmap, files[i]);
  }
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (argc == 5 && std::string(argv[1]) == "--child") {
    try {
      return RunChild(argc, argv);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "bench_stack_run child: %s\n", e.what());
      return 1;
    }
  }

  const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 8;
  const int width = argc > 3 ? std::max(1, atoi(argv[2])) : 6000;
  const int height = argc > 3 ? std::max(1, atoi(argv[3])) : 4000;
  const int rounds = argc > 4 ? std::max(1, atoi(argv[4])) : 3;
  std::string folder;
  try {
    folder = MakeScratchFolder("orvanta-bench-stack");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }

  int status = 0;
  try {
    InitializePictureFormats();
    Generate(FileNames(folder, 2 * count), width, height);
    FinalizePictureFormats();
    const double megapixels = static_cast<double>(width) * height / 1e6;
    const double pictureMegabytes = static_cast<double>(width) * height * 3 / (1024.0 * 1024.0);
    std::printf("%d (and %d) JPEGs of %d x %d (%.1f MP, %.1f MB as a working bitmap), %d rounds\n", count,
                2 * count, width, height, megapixels, pictureMegabytes, rounds);

    double bestStack = 1e30, bestLoad = 1e30;
    for (int round = 0; round < rounds; ++round) {
      bestLoad = std::min(bestLoad, Measure("load", folder, count).Seconds);
      bestStack = std::min(bestStack, Measure("stack", folder, count).Seconds);
    }
    const double cost = bestStack / bestLoad - 1;
    std::printf("LoadPicture alone:      %7.3f s  %7.1f MP/s\n", bestLoad, megapixels * count / bestLoad);
    std::printf("\"Zentor..\" run:         %7.3f s  %7.1f MP/s\n", bestStack, megapixels * count / bestStack);
    std::printf("ratio (run / load): %.3f  (%+.1f %%, budget +15 %%: %s)\n", bestStack / bestLoad, cost * 100,
                cost <= 0.15 ? "within" : "OVER");

    const TMeasurement idle = Measure("stack", folder, 0);
    const TMeasurement load = Measure("load", folder, count);
    const TMeasurement stackN = Measure("stack", folder, count);
    const TMeasurement stack2N = Measure("stack", folder, 2 * count);
    auto pictures = [&](const TMeasurement& m) {
      return (m.PeakMegabytes - idle.PeakMegabytes) / pictureMegabytes;
    };
    std::printf("peak resident memory: window with an empty list %.0f MB\n", idle.PeakMegabytes);
    std::printf("  LoadPicture alone, %2d pictures: %7.0f MB\n", count, load.PeakMegabytes);
    std::printf("  \"Zentor..\" run,    %2d pictures: %7.0f MB  (%.2f pictures above the empty window)\n",
                count, stackN.PeakMegabytes, pictures(stackN));
    std::printf("  \"Zentor..\" run,    %2d pictures: %7.0f MB  (%.2f pictures above the empty window)\n",
                2 * count, stack2N.PeakMegabytes, pictures(stack2N));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_stack_run: %s\n", e.what());
    status = 1;
  }
  std::error_code ignored;
  if (!getenv("ORVANTA_BENCH_KEEP")) std::filesystem::remove_all(folder, ignored);
  return status;
}
