#pragma once
// Runs through the real main window: small pictures written into a temporary folder, the left list
// filled with them, every question answered by the scripted dialogs.

#include <memory>
#include <string>
#include <vector>

#include "picture_formats/format_list.h"
#include "tests/support/scripted_dialogs_fixture.h"
#include "tests/support/test_files.h"
#include "tests/workbench/pixel_test_support.h"
#include "toolkit/ui/screen.h"
#include "workbench/stack_ops.h"
#include "workbench/umain.h"
#include "workbench/working_bitmap.h"

class RunTest : public ScriptedDialogsTest {
 protected:
  void SetUp() override {
    InitializePictureFormats();
    Form = NewForm<TFormMain>(nullptr);
    Screen->SetActiveForm(Form.get());
  }
  void TearDown() override {
    ScriptedDialogsTest::TearDown();
    Form.reset();
    StackThreshold = 0;
    FinalizePictureFormats();
  }

  // A noise picture saved under the name in the temporary folder (BMP or JPEG by the extension).
  std::string WritePicture(const std::string& name, uint32_t seed, int width = 5, int height = 3) {
    std::string path = Temp.File(name);
    auto picture = NoisePicture(width, height, seed);
    EXPECT_TRUE(SavePicture(*picture, path, "unused.bmp", pf24bit));
    return path;
  }
  // The picture as the run loads it.
  static std::unique_ptr<TBitmap> Loaded(const std::string& path) {
    auto bitmap = std::make_unique<TBitmap>();
    EXPECT_TRUE(LoadPicture(*bitmap, path));
    return bitmap;
  }
  // The per-channel maximum of the pictures.
  static std::unique_ptr<TBitmap> MaximumOf(const std::vector<std::string>& paths) {
    auto result = Loaded(paths.at(0));
    for (size_t i = 1; i < paths.size(); ++i) ReferenceBytes(*result, *Loaded(paths[i]), MaxByte);
    return result;
  }
  // Entries added checked and enabled.
  void AddEntries(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) Form->ListBox1->SetChecked(Form->ListBox1->Items().Add(path), true);
  }
  bool Usable(int index) const {
    return Form->ListBox1->ItemEnabled(index) && Form->ListBox1->Checked(index);
  }
  std::vector<std::string> RightList() const {
    std::vector<std::string> names;
    for (int i = 0; i < Form->ListBox2->Count(); ++i) names.push_back(Form->ListBox2->Items().Get(i));
    return names;
  }
  // The end of a run without steps: the save offer cancelled, then the report.
  void ExpectEndOfRun(int errors, bool saveOffer = true) {
    if (saveOffer) Script().AnswerSaveFile("");
    Script().AnswerMessageBox(IDOK, std::to_string(errors) + " File(s) in Error");
  }

  std::unique_ptr<TFormMain, TFormDeleter> Form;
  TempDir Temp;
};
