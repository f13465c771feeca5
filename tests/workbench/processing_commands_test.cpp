// The twelve processing commands through the real window over the same three frames, each against a
// per-pixel reference written here; and the driver's other mode, every picture through the operation.
#include <algorithm>

#include "picture_formats/jpeg_image.h"
#include "tests/workbench/main_window_fixture.h"

namespace {

// acc := the command's merge of acc and pic, for one pixel (bytes blue, green, red).
using TPixelMerge = std::function<void(uint8_t* acc, const uint8_t* pic)>;

constexpr int kThreshold = 100;

TPixelMerge PerChannel(uint8_t (*merge)(int acc, int pic)) {
  return [merge](uint8_t* acc, const uint8_t* pic) {
    for (int c = 0; c < 3; ++c) acc[c] = merge(acc[c], pic[c]);
  };
}

TPixelMerge ByLuminance(bool brighter) {
  return [brighter](uint8_t* acc, const uint8_t* pic) {
    const int lumAcc = (acc[0] + acc[1] + acc[2]) / 3, lumPic = (pic[0] + pic[1] + pic[2]) / 3;
    if (brighter ? lumPic > lumAcc : lumPic < lumAcc) std::copy(pic, pic + 3, acc);
  };
}

struct TCommand {
  TMenuItem* TFormMain::*Item;
  TPixelMerge Merge;
  bool Steps = false;
  bool Threshold = false;
};

const TCommand kCommands[] = {
    {&TFormMain::GetMAX1, PerChannel([](int a, int p) { return uint8_t(std::max(a, p)); })},
    {&TFormMain::GetMaxandSave1, PerChannel([](int a, int p) { return uint8_t(std::max(a, p)); }), true},
    {&TFormMain::GetMAxThreshold1,
     PerChannel([](int a, int p) { return uint8_t(a < kThreshold ? p : std::max(a, p)); }), false, true},
    {&TFormMain::GetMaxTrhesholdandSave1,
     PerChannel([](int a, int p) { return uint8_t(a < kThreshold ? p : std::max(a, p)); }), true, true},
    {&TFormMain::Getmin1, PerChannel([](int a, int p) { return uint8_t(std::min(a, p)); })},
    {&TFormMain::GetMinAndSave1, PerChannel([](int a, int p) { return uint8_t(std::min(a, p)); }), true},
    {&TFormMain::GetMaxGray1, ByLuminance(true)},
    {&TFormMain::GetMaxGrayandSavesteps1, ByLuminance(true), true},
    {&TFormMain::GetMinGray1, ByLuminance(false)},
    {&TFormMain::GetMinGrayandSavesteps1, ByLuminance(false), true},
    {&TFormMain::Add1, PerChannel([](int a, int p) { return uint8_t(std::min(a + p, 255)); })},
    {&TFormMain::Sub1, PerChannel([](int a, int p) { return uint8_t(std::max(a - p, 0)); })},
};

class ProcessingCommandsTest : public MainWindowTest {
 protected:
  // The reference of the first count frames, merged pixel by pixel.
  std::unique_ptr<TBitmap> Reference(const Strings& frames, size_t count, const TPixelMerge& merge) {
    auto acc = Loaded(frames[0]);
    for (size_t i = 1; i < count; ++i) {
      auto pic = Loaded(frames[i]);
      for (int y = 0; y < acc->Height(); ++y)
        for (int x = 0; x < acc->Width(); ++x) merge(acc->ScanLine(y) + 3 * x, pic->ScanLine(y) + 3 * x);
    }
    return acc;
  }
};

// BMP frames, and JPEG frames (merged band by band as they are decoded; the second one progressive).
TEST_F(ProcessingCommandsTest, EveryCommandMergesAsItsReference) {
  TJPEGImage progressive;
  progressive.ProgressiveEncoding = true;
  progressive.Assign(*NoisePicture(40, 33, 15));
  progressive.SaveToFile(Temp.File("j1.jpg"));
  const Strings bmpFrames = {WritePicture("f0.bmp", 11, 7, 4), WritePicture("f1.bmp", 12, 7, 4),
                             WritePicture("f2.bmp", 13, 7, 4)};
  const Strings jpegFrames = {WritePicture("j0.jpg", 14, 40, 33), Temp.File("j1.jpg"),
                              WritePicture("j2.jpg", 16, 40, 33)};
  int run = 0;
  for (const Strings& frames : {bmpFrames, jpegFrames})
    for (const TCommand& command : kCommands) {
      Form->ListBox1->Clear();
      Fill(*Form->ListBox1, frames);
      TMenuItem* item = Form.get()->*command.Item;
      SCOPED_TRACE(item->Name());
      const std::string stepName = "run" + std::to_string(run++) + "-";
      if (command.Threshold) Script().AnswerInputQuery(true, std::to_string(kThreshold));
      if (command.Steps) Script().AnswerSaveFile(Temp.File(stepName + ".bmp"));
      ExpectEndOfRun(0, !command.Steps);
      item->Click();
      EXPECT_TRUE(SamePixels(*Form->FResult, *Reference(frames, 3, command.Merge)));
      EXPECT_EQ(Form->FResultCount, 3);
      for (size_t k = 0; command.Steps && k < 3; ++k)
        EXPECT_TRUE(SamePixels(*Loaded(Temp.File(stepName + "000" + std::to_string(k) + ".bmp")),
                               *Reference(frames, k + 1, command.Merge)))
            << "step " << k;
    }
}

// A batch-like operation: the result becomes the picture's negative; every picture it saw is noted.
struct TNegativeRecord {
  std::vector<uint8_t> FirstBytes;
};

bool Negative(TBitmap& picture, TBitmap& result, intptr_t param) {
  reinterpret_cast<TNegativeRecord*>(param)->FirstBytes.push_back(picture.ScanLine(0)[0]);
  if (picture.Width() != result.Width() || picture.Height() != result.Height()) return false;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width() * 3; ++x)
      result.ScanLine(y)[x] = uint8_t(255 - picture.ScanLine(y)[x]);
  return true;
}

TEST_F(ProcessingCommandsTest, EveryPictureModePutsTheFirstPictureThroughTheOperationToo) {
  const Strings frames = {WritePicture("a.bmp", 1), WritePicture("b.bmp", 2), WritePicture("skipped.bmp", 3),
                          WritePicture("c.bmp", 4)};
  Fill(*Form->ListBox1, frames);
  SetMarks(*Form->ListBox1, "CCUC");
  auto negativeOf = [this](const std::string& frame) {
    auto negative = Loaded(frame);
    ReferenceBytes(*negative, *negative, [](uint8_t, uint8_t p) { return uint8_t(255 - p); });
    return negative;
  };
  TNegativeRecord seen;
  // With steps: every output is saved, the first picture's included, and no save offer comes.
  Script().AnswerSaveFile(Temp.File("out.bmp"));
  ExpectEndOfRun(0, false);
  Form->RunWithSteps(Negative, reinterpret_cast<intptr_t>(&seen), false);
  const std::vector<uint8_t> expectedSeen = {Loaded(frames[0])->ScanLine(0)[0],
                                             Loaded(frames[1])->ScanLine(0)[0],
                                             Loaded(frames[3])->ScanLine(0)[0]};
  EXPECT_EQ(seen.FirstBytes, expectedSeen);
  EXPECT_EQ(Form->FResultCount, 3);
  EXPECT_FALSE(Form->FFirstIsStep);
  EXPECT_EQ(Paths(*Form->ListBox2), Files({"out0000.bmp", "out0001.bmp", "out0002.bmp"}));
  for (size_t k : {0, 1, 2})
    EXPECT_TRUE(SamePixels(*Loaded(Temp.File("out000" + std::to_string(k) + ".bmp")),
                           *negativeOf(frames[k < 2 ? k : 3])));

  // Without steps: the last output is the result, then the save offer and the report.
  seen.FirstBytes.clear();
  ExpectEndOfRun(0);
  Form->RunOnList(false, Negative, reinterpret_cast<intptr_t>(&seen), false);
  EXPECT_EQ(seen.FirstBytes.size(), 3u);
  EXPECT_TRUE(SamePixels(*Form->FResult, *negativeOf(frames[3])));
}

}  // namespace
