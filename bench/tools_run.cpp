// The astronomer's tools at the speed of decoding: a dark subtraction ("Batch Operations:", "Apply to
// List") and a bright-object search ("Crop && Save") over camera-like JPEGs, each through the real main
// window, against plain libjpeg-turbo decoding of the same files into one reused buffer, in the same
// process, interleaved, medians of the rounds.
//
//   bench_tools_run [count [width height [rounds]]]   default 8 pictures of 6000 x 4000, 3 rounds
//
// Writing the outputs is timed apart and not counted: each command runs twice per round, once writing
// its step files or crops, then again over the files it wrote, where the first overwrite question is
// answered "No to all" and nothing is written. The outputs of the writing run are checked pixel by
// pixel against a straightforward computation over the libjpeg-decoded frames.

#include <stdlib.h>

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
#include "bench/support/plain_jpeg.h"
#include "bench/support/timing.h"
#include "picture_formats/format_list.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/scripted_dialogs.h"
#include "translation/program_forms.h"
#include "workbench/uformfactor.h"
#include "workbench/umain.h"
#include "workbench/usearch.h"
#include "workbench/working_bitmap.h"

namespace {

namespace fs = std::filesystem;

// The search's parameters: a level the brighter part of the sky and every star exceed, margins of 1,
// more than 10 pixels, a 200 x 200 crop.
constexpr int kLevel = 40;
constexpr int kMinPixels = 10;
constexpr int kMargin = 1;
constexpr int kCrop = 200;

// A dark frame: the sensor's noise alone.
void PaintDark(TBitmap& bitmap, int width, int height) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(width, height);
  TNoise noise{0xDA4Cu};
  for (int y = 0; y < height; ++y) {
    uint8_t* p = bitmap.ScanLine(y);
    for (int i = 0; i < width * 3; ++i) p[i] = static_cast<uint8_t>(4 + (noise.Next() & 7));
  }
}

void Check(bool condition, const std::string& what) {
  if (!condition) throw std::runtime_error(what);
}

// ---- The straightforward results the outputs are checked against.

// Step k of the dark subtraction at factor 0 and offset 0: max(0, frame - dark), byte by byte.
void CheckStep(const std::string& stepFile, const std::string& frame, const std::string& dark,
               TPlainJpegDecoder& a, TPlainJpegDecoder& b) {
  TBitmap step;
  Check(LoadPicture(step, stepFile), "cannot load the step " + stepFile);
  a.Decode(frame);
  b.Decode(dark);
  Check(step.Width() == a.Width && step.Height() == a.Height, "step of another size: " + stepFile);
  for (int y = 0; y < a.Height; ++y) {
    const uint8_t* p = a.Row(y);
    const uint8_t* d = b.Row(y);
    const uint8_t* s = step.ScanLine(y);
    for (int i = 0; i < a.Width * 3; ++i)
      if (s[i] != std::max(0, p[i] - d[i]))
        throw std::runtime_error("step " + stepFile + " differs at row " + std::to_string(y));
  }
}

// The crop of a frame, or none when the search finds nothing there.
bool ReferenceCrop(TPlainJpegDecoder& frame, std::vector<uint8_t>& crop) {
  int64_t count = 0, sumX = 0, sumY = 0;
  for (int y = kMargin; y < frame.Height - kMargin; ++y) {
    const uint8_t* row = frame.Row(y);
    for (int x = kMargin; x < frame.Width - kMargin; ++x) {
      const uint8_t* p = row + 3 * x;
      if ((p[0] + p[1] + p[2]) / 3 > kLevel) {
        ++count;
        sumX += x;
        sumY += y;
      }
    }
  }
  if (count <= kMinPixels) return false;
  const int left = static_cast<int>(sumX / count) - kCrop / 2;
  const int top = static_cast<int>(sumY / count) - kCrop / 2 - 1;
  crop.assign(static_cast<size_t>(kCrop) * kCrop * 3, 0);
  for (int y = 0; y < kCrop; ++y)
    for (int x = 0; x < kCrop; ++x) {
      const int sx = left + x, sy = top + y;
      if (sx < 0 || sy < 0 || sx >= frame.Width || sy >= frame.Height) continue;
      std::copy_n(frame.Row(sy) + 3 * sx, 3, crop.data() + (static_cast<size_t>(y) * kCrop + x) * 3);
    }
  return true;
}

// ---- The runs.

class TToolsBench {
 public:
  TToolsBench(std::vector<std::string> frames, std::string dark, const std::string& folder)
      : FFrames(std::move(frames)),
        FDark(std::move(dark)),
        FSteps(folder + "/steps"),
        FCrops(folder + "/crops") {
    fs::create_directory(FSteps);
    fs::create_directory(FCrops);
    auto dialogs = std::make_unique<TScriptedDialogs>();
    FScript = dialogs.get();
    InstallDialogs(std::move(dialogs));
    CreateProgramForms();
    FormMain->Show();
    for (const std::string& file : FFrames)
      FormMain->ListBox1->SetChecked(FormMain->ListBox1->Items().Add(file), true);
    FormFactor->EditFileName->SetText(FDark);
    FormFactor->ScrollBarFactor->Scroll(scTrack, 0);  // factor 0: the whole dark is subtracted
    Application->ProcessMessages();
  }
  ~TToolsBench() {
    InstallDialogs(nullptr);
    Application->DestroyForms();
  }

  // The floor of a list of files: each decoded once.
  double Floor(const std::vector<std::string>& files) {
    const auto start = BenchClock::now();
    for (const std::string& file : files) FFloor.Decode(file);
    return SecondsSince(start);
  }

  // The program's own loading of the same files into one working bitmap, nothing else: the part of a
  // run's cost that is the loading's, not the tool's.
  double LoadAlone(const std::vector<std::string>& files) {
    TBitmap working;
    const auto start = BenchClock::now();
    for (const std::string& file : files) Check(LoadPicture(working, file), "cannot load " + file);
    return SecondsSince(start);
  }

  // "Apply to List" of the dark subtraction; with writing, the step files are made anew.
  double DarkSubtraction(bool writing) {
    if (writing) RemoveFiles(FSteps);
    FScript->AnswerSaveFile(FSteps + "/dark0000.bmp");
    if (!writing) FScript->AnswerMessageDlg(mrNoToAll);
    FScript->AnswerMessageBox(IDOK, "0 File(s) in Error");
    const auto start = BenchClock::now();
    FormFactor->BitBtnOk->Click();
    const double seconds = SecondsSince(start);
    ExpectAnswered("the dark subtraction");
    Check(FormMain->FResultCount == static_cast<int>(FFrames.size()), "not every frame was processed");
    return seconds;
  }

  // "Crop && Save"; with writing, the crops are made anew.
  double Search(bool writing) {
    if (writing) RemoveFiles(FCrops);
    FormMain->ListBox2->Clear();
    FScript->AnswerSaveFile(FCrops + "/crop.bmp");
    FScript->AnswerShowModal("FormSearch", mrOk, [](TCustomForm& form) {
      auto& search = static_cast<TFormSearch&>(form);
      search.UpDownMinLevel->SetPosition(kLevel);
      search.UpDownMinPixels->SetPosition(kMinPixels);
      for (TUpDown* margin : {search.UpDownLeft, search.UpDownRight, search.UpDownTop, search.UpDownBottom})
        margin->SetPosition(kMargin);
      search.UpDownCropW->SetPosition(kCrop);
      search.UpDownCropH->SetPosition(kCrop);
      search.CheckBoxSave->SetChecked(true);
    });
    if (!writing && !fs::is_empty(FCrops)) FScript->AnswerMessageDlg(mrNoToAll);
    const auto start = BenchClock::now();
    FormMain->CropSave1->Click();
    const double seconds = SecondsSince(start);
    ExpectAnswered("the search");
    return seconds;
  }

  void CheckSteps() {
    TPlainJpegDecoder a, b;
    for (size_t k = 0; k < FFrames.size(); ++k) {
      char name[32];
      std::snprintf(name, sizeof name, "/dark%04zu.bmp", k);
      CheckStep(FSteps + name, FFrames[k], FDark, a, b);
    }
  }

  // Every frame the straightforward search finds has its crop, pixel for pixel, and no other does.
  int CheckCrops() {
    TPlainJpegDecoder frame;
    std::vector<uint8_t> expected;
    int found = 0;
    for (const std::string& file : FFrames) {
      frame.Decode(file);
      const std::string crop = FCrops + "/" + fs::path(file).stem().string() + ".bmp";
      if (!ReferenceCrop(frame, expected)) {
        Check(!fs::exists(crop), "a crop of a frame without a bright object: " + crop);
        continue;
      }
      ++found;
      TBitmap written;
      Check(LoadPicture(written, crop), "missing crop " + crop);
      Check(written.Width() == kCrop && written.Height() == kCrop, "crop of another size: " + crop);
      for (int y = 0; y < kCrop; ++y)
        Check(std::equal(written.ScanLine(y), written.ScanLine(y) + kCrop * 3,
                         expected.data() + static_cast<size_t>(y) * kCrop * 3),
              "crop " + crop + " differs at row " + std::to_string(y));
    }
    Check(FormMain->ListBox2->Count() == found, "the right list does not hold the frames found");
    return found;
  }

 private:
  static void RemoveFiles(const std::string& folder) {
    for (const auto& entry : fs::directory_iterator(folder)) fs::remove(entry.path());
  }
  void ExpectAnswered(const std::string& what) {
    if (!FScript->Failures().empty() || FScript->PendingAnswers() != 0)
      throw std::runtime_error(what + " did not end as expected: " +
                               (FScript->Failures().empty() ? "answers left" : FScript->Failures().front()));
  }

  std::vector<std::string> FFrames;
  std::string FDark;
  std::string FSteps;
  std::string FCrops;
  TScriptedDialogs* FScript = nullptr;
  TPlainJpegDecoder FFloor;
};

void Report(const char* what, double run, double floor, double load, double writing) {
  std::printf("%s\n  run %.3f s, floor %.3f s: ratio %.3f (budget 1.20: %s)\n", what, run, floor, run / floor,
              run / floor <= 1.20 ? "within" : "OVER");
  std::printf("  of which the program's loading of the same files alone: %.3f s (%.3f x the floor)\n", load,
              load / floor);
  std::printf("  output writing, timed apart and not counted: %.3f s\n", writing);
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 8;
  const int width = argc > 3 ? std::max(1, atoi(argv[2])) : 6000;
  const int height = argc > 3 ? std::max(1, atoi(argv[3])) : 4000;
  const int rounds = argc > 4 ? std::max(1, atoi(argv[4])) : 3;
  std::string folder;
  try {
    folder = MakeScratchFolder("orvanta-bench-tools");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }

  int status = 0;
  {
    QApplication qtApplication(argc, argv);
    try {
      InitializePictureFormats();
      Application->Initialize(argc, argv);
      Application->SetTitle("Orvanta");
      std::vector<std::string> frames;
      TBitmap bitmap;
      for (int i = 0; i < count; ++i) {
        frames.push_back(folder + "/night" + std::to_string(i) + ".jpg");
        PaintExposure(bitmap, width, height, i);
        SaveAsJpeg(bitmap, frames.back());
      }
      const std::string dark = folder + "/dark.jpg";
      PaintDark(bitmap, width, height);
      SaveAsJpeg(bitmap, dark);
      std::vector<std::string> darkFiles = frames;
      darkFiles.push_back(dark);  // the run decodes the dark once, as the reference
      std::printf("%d JPEGs of %d x %d (%.1f MP) and a dark frame, %d rounds, medians\n", count, width,
                  height, width * static_cast<double>(height) / 1e6, rounds);

      TToolsBench bench(frames, dark, folder);
      bench.Floor(darkFiles);  // warm-up: the floor's buffer and the files in the page cache
      std::vector<double> darkFloor, darkLoad, darkRun, darkWriting, searchFloor, searchLoad, searchRun,
          searchWriting;
      int found = 0;
      for (int round = 0; round < rounds; ++round) {
        // Odd rounds time the command before the floor, so neither always runs on a warmer machine.
        const bool floorFirst = round % 2 == 0;
        if (floorFirst) darkFloor.push_back(bench.Floor(darkFiles));
        darkLoad.push_back(bench.LoadAlone(darkFiles));
        const double withSteps = bench.DarkSubtraction(true);
        if (round == 0) bench.CheckSteps();
        darkRun.push_back(bench.DarkSubtraction(false));
        darkWriting.push_back(withSteps - darkRun.back());
        if (!floorFirst) darkFloor.push_back(bench.Floor(darkFiles));
        if (floorFirst) searchFloor.push_back(bench.Floor(frames));
        searchLoad.push_back(bench.LoadAlone(frames));
        const double withCrops = bench.Search(true);
        if (round == 0) found = bench.CheckCrops();
        searchRun.push_back(bench.Search(false));
        searchWriting.push_back(withCrops - searchRun.back());
        if (!floorFirst) searchFloor.push_back(bench.Floor(frames));
      }
      std::printf("outputs checked: %d steps, %d crops (of %d frames) equal to the straightforward results\n",
                  count, found, count);
      Report("dark subtraction (\"Apply to List\")", Median(darkRun), Median(darkFloor), Median(darkLoad),
             Median(darkWriting));
      Report("bright-object search (\"Crop && Save\")", Median(searchRun), Median(searchFloor),
             Median(searchLoad), Median(searchWriting));
    } catch (const std::exception& e) {
      std::fprintf(stderr, "bench_tools_run: %s\n", e.what());
      status = 1;
    }
    FinalizePictureFormats();
  }
  std::error_code ignored;
  if (!getenv("ORVANTA_BENCH_KEEP")) fs::remove_all(folder, ignored);
  return status;
}
