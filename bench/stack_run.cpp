// The stacking run against the true floor. In one process and over the same files it times, in turn,
// plain libjpeg-turbo decoding every file into one reused buffer (the floor) and "Zentor.." through the
// real main window, and prints the medians and the ratio run / floor; then the peak resident memory of
// the window, of the floor beside it, and of runs over a quarter of the files and over all of them.
// After every run the result, saved through the program's own save command, must equal pixel for pixel
// a straightforward maximum over the libjpeg-decoded frames, or the benchmark fails.
//
//   bench_stack_run FOLDER [repetitions]                 the folder's JPEG files, in name order
//   bench_stack_run COUNT WIDTH HEIGHT [repetitions]     COUNT camera-like frames generated first
//
// Repetitions (at least 3, default 5) alternate which of the two goes first. Wall-clock and processor
// times are both given: on a busy machine the processor time is the steadier.

#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QApplication>

#include "bench/support/night_sky.h"
#include "bench/support/plain_jpeg.h"
#include "bench/support/timing.h"
#include "picture_formats/format_list.h"
#include "toolkit/core/string_utils.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/scripted_dialogs.h"
#include "translation/program_forms.h"
#include "workbench/umain.h"

namespace {

namespace fs = std::filesystem;

struct TTimes {
  double Wall = 0;
  double Processor = 0;
};

double ProcessorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

TTimes Timed(const std::function<void()>& work) {
  const auto start = BenchClock::now();
  const double processorStart = ProcessorSeconds();
  work();
  return {SecondsSince(start), ProcessorSeconds() - processorStart};
}

std::vector<std::string> JpegFilesOf(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string extension = AnsiUpperCase(entry.path().extension().string());
    if (entry.is_regular_file() && (extension == ".JPG" || extension == ".JPEG"))
      files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> Generate(const std::string& folder, int count, int width, int height) {
  std::vector<std::string> files;
  TBitmap bitmap;
  for (int i = 0; i < count; ++i) {
    PaintExposure(bitmap, width, height, i);
    char name[32];
    std::snprintf(name, sizeof name, "/night%04d.jpg", i);
    files.push_back(folder + name);
    SaveAsJpeg(bitmap, files.back());
  }
  return files;
}

// Answers the questions the work asks (the scripted ones only) and checks that it asked no other.
void Answering(const std::function<void(TScriptedDialogs&)>& answers, const std::function<void()>& work) {
  auto dialogs = std::make_unique<TScriptedDialogs>();
  TScriptedDialogs& script = *dialogs;
  InstallDialogs(std::move(dialogs));
  answers(script);
  work();
  const bool asExpected = script.Failures().empty() && script.PendingAnswers() == 0;
  InstallDialogs(nullptr);
  if (!asExpected) throw std::runtime_error("the program asked other questions than expected");
}

// "Zentor.." over the files through the real main window, the save offer at its end declined.
void RunThroughTheWindow(const std::vector<std::string>& files) {
  TCheckListBox& list = *FormMain->ListBox1;
  list.Clear();
  for (const std::string& file : files) list.SetChecked(list.Items().Add(file), true);
  Answering(
      [](TScriptedDialogs& script) {
        script.AnswerSaveFile("");
        script.AnswerMessageBox(IDOK, "0 File(s) in Error");
      },
      [] { FormMain->GetMAX1->Click(); });
  if (FormMain->FResultCount != static_cast<int>(files.size()))
    throw std::runtime_error("the run merged " + std::to_string(FormMain->FResultCount) + " of " +
                             std::to_string(files.size()) + " pictures");
}

// The result through "Save Result as...".
void SaveTheResult(const std::string& resultName) {
  std::filesystem::remove(resultName);
  Answering([&](TScriptedDialogs& script) { script.AnswerSaveFile(resultName); },
            [] { FormMain->SaveResult1->Click(); });
}

// The saved 24-bit BMP's pixels, rows top first without padding.
std::vector<uint8_t> ReadBmp24(const std::string& fileName, int& width, int& height) {
  FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) throw std::runtime_error("the result was not saved as " + fileName);
  std::vector<uint8_t> bytes(fs::file_size(fileName));
  const size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  auto at = [&](size_t offset, int size) {
    int64_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes.at(offset + static_cast<size_t>(i));
    return value;
  };
  if (got != bytes.size() || bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || at(28, 2) != 24)
    throw std::runtime_error(fileName + " is no 24-bit BMP file");
  width = static_cast<int>(at(18, 4));
  height = static_cast<int>(static_cast<int32_t>(at(22, 4)));
  const bool bottomUp = height > 0;
  height = std::abs(height);
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4, offset = static_cast<size_t>(at(10, 4));
  if (offset + stride * static_cast<size_t>(height) > bytes.size())
    throw std::runtime_error(fileName + " is short");
  std::vector<uint8_t> pixels;
  pixels.reserve(static_cast<size_t>(width) * 3 * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = bytes.data() + offset + stride * static_cast<size_t>(bottomUp ? height - 1 - y : y);
    pixels.insert(pixels.end(), row, row + static_cast<size_t>(width) * 3);
  }
  return pixels;
}

// The straightforward maximum over the frames, each decoded by libjpeg; the saved result must equal it.
void CheckAgainstAPlainMaximum(const std::vector<std::string>& files, const std::string& resultName) {
  TPlainJpegDecoder decoder;
  std::vector<uint8_t> maximum;
  int width = 0, height = 0;
  for (const std::string& file : files) {
    decoder.Decode(file);
    if (maximum.empty()) {
      maximum = decoder.Pixels;
      width = decoder.Width;
      height = decoder.Height;
    } else {
      if (decoder.Width != width || decoder.Height != height)
        throw std::runtime_error(file + " has another size");
      for (size_t i = 0; i < maximum.size(); ++i) maximum[i] = std::max(maximum[i], decoder.Pixels[i]);
    }
  }
  int savedWidth = 0, savedHeight = 0;
  const std::vector<uint8_t> saved = ReadBmp24(resultName, savedWidth, savedHeight);
  if (savedWidth != width || savedHeight != height)
    throw std::runtime_error("the saved result is " + std::to_string(savedWidth) + " x " +
                             std::to_string(savedHeight) + ", the pictures " + std::to_string(width) + " x " +
                             std::to_string(height));
  const auto differs = std::mismatch(saved.begin(), saved.end(), maximum.begin());
  if (differs.first != saved.end()) {
    const size_t at = static_cast<size_t>(differs.first - saved.begin()) / 3;
    throw std::runtime_error("the saved result differs from the plain maximum at pixel (" +
                             std::to_string(at % static_cast<size_t>(width)) + ", " +
                             std::to_string(at / static_cast<size_t>(width)) + ")");
  }
}

int Benchmark(const std::vector<std::string>& files, int repetitions, const std::string& scratch) {
  if (files.empty()) throw std::runtime_error("no JPEG files to stack");
  TPlainJpegDecoder floorDecoder;
  auto floor = [&] {
    for (const std::string& file : files) floorDecoder.Decode(file);
  };
  // The files into the page cache, the floor's buffer made and kept: it is reused from repetition to
  // repetition as from file to file.
  floor();
  std::printf("%zu JPEG files of %d x %d (%.1f MP), %d repetitions; %s\n", files.size(), floorDecoder.Width,
              floorDecoder.Height, floorDecoder.Width * double(floorDecoder.Height) / 1e6, repetitions,
              MachineLoad().c_str());

  std::vector<double> floorWall, floorProcessor, runWall, runProcessor, ratios;
  const std::string resultName = scratch + "/result.bmp";
  for (int repetition = 0; repetition < repetitions; ++repetition) {
    TTimes floorTimes, runTimes;
    auto measureFloor = [&] { floorTimes = Timed(floor); };
    auto measureRun = [&] {
      runTimes = Timed([&] { RunThroughTheWindow(files); });
      SaveTheResult(resultName);
      CheckAgainstAPlainMaximum(files, resultName);
    };
    if (repetition % 2 == 0) {
      measureFloor();
      measureRun();
    } else {
      measureRun();
      measureFloor();
    }
    floorWall.push_back(floorTimes.Wall);
    floorProcessor.push_back(floorTimes.Processor);
    runWall.push_back(runTimes.Wall);
    runProcessor.push_back(runTimes.Processor);
    ratios.push_back(runTimes.Wall / floorTimes.Wall);
    std::printf(
        "  repetition %d: floor %.3f s (processor %.3f s), run %.3f s (processor %.3f s), ratio %.3f\n",
        repetition + 1, floorTimes.Wall, floorTimes.Processor, runTimes.Wall, runTimes.Processor,
        ratios.back());
  }
  std::printf("median floor (libjpeg-turbo into one buffer): %.3f s wall, %.3f s processor\n",
              Median(floorWall), Median(floorProcessor));
  std::printf("median \"Zentor..\" run (main window):         %.3f s wall, %.3f s processor\n",
              Median(runWall), Median(runProcessor));
  std::printf("ratio run / floor: %.3f wall (median of the repetitions' ratios %.3f), %.3f processor\n",
              Median(runWall) / Median(floorWall), Median(ratios),
              Median(runProcessor) / Median(floorProcessor));
  std::printf("result checked against a plain maximum over libjpeg-decoded frames: identical\n");

  // Memory against the number of pictures: peaks of the floor alone, of the window holding an empty
  // result, and of the run over a quarter of the files and over all of them.
  FormMain->ClearResult1->Click();
  std::vector<uint8_t>().swap(floorDecoder.Pixels);
  ResetPeakResident();
  const double idle = PeakResidentMiB();
  floor();
  const double floorPeak = PeakResidentMiB();
  std::vector<uint8_t>().swap(floorDecoder.Pixels);
  ResetPeakResident();
  const std::vector<std::string> quarter(files.begin(),
                                         files.begin() + std::max<size_t>(1, files.size() / 4));
  RunThroughTheWindow(quarter);
  const double quarterPeak = PeakResidentMiB();
  FormMain->ClearResult1->Click();
  ResetPeakResident();
  RunThroughTheWindow(files);
  const double allPeak = PeakResidentMiB();
  std::printf(
      "peak resident memory: window with an empty result %.0f MiB; the floor beside it %.0f MiB; "
      "run over %zu pictures %.0f MiB, over %zu pictures %.0f MiB\n",
      idle, floorPeak, quarter.size(), quarterPeak, files.size(), allPeak);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const bool generated = argc >= 4;
  if (argc < 2 || argc > 5 || (!generated && argc > 3)) {
    std::fprintf(stderr, "usage: %s FOLDER [repetitions] | COUNT WIDTH HEIGHT [repetitions]\n", argv[0]);
    return 2;
  }
  const int repetitionsAt = generated ? 4 : 2;
  const int repetitions = argc > repetitionsAt ? std::max(3, atoi(argv[repetitionsAt])) : 5;
  int status = 0;
  std::string scratch;
  QApplication qtApplication(argc, argv);
  try {
    scratch = MakeScratchFolder("orvanta-bench-stack");
    InitializePictureFormats();
    Application->Initialize(argc, argv);
    Application->SetTitle("Orvanta");
    CreateProgramForms();
    FormMain->Show();
    Application->ProcessMessages();
    const std::vector<std::string> files =
        generated ? Generate(scratch, atoi(argv[1]), atoi(argv[2]), atoi(argv[3])) : JpegFilesOf(argv[1]);
    status = Benchmark(files, repetitions, scratch);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_stack_run FAILED: %s\n", e.what());
    status = 1;
  }
  if (FormMain) FormMain->FDirty = false;
  Application->DestroyForms();
  FinalizePictureFormats();
  std::error_code ignored;
  if (!scratch.empty() && !getenv("ORVANTA_BENCH_KEEP")) fs::remove_all(scratch, ignored);
  return status;
}
