#pragma once
// The real main window for the workbench tests: picture formats registered, scripted dialogs, the
// window active, small pictures in a temporary folder, and readers of the lists' entries and marks.

#include <cctype>
#include <initializer_list>
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

using Strings = std::vector<std::string>;

class MainWindowTest : public ScriptedDialogsTest {
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

  // Entries added checked and enabled, as the program adds them.
  static void Fill(TCheckListBox& list, const Strings& paths) {
    for (const std::string& path : paths) list.SetChecked(list.Items().Add(path), true);
  }
  static Strings Paths(const TCheckListBox& list) {
    Strings paths;
    for (int i = 0; i < list.Count(); ++i) paths.push_back(list.Items()[i]);
    return paths;
  }
  // One letter per entry: C checked, U unchecked, D disabled (and unchecked), lower case when selected.
  static std::string Marks(const TCheckListBox& list) {
    std::string marks;
    for (int i = 0; i < list.Count(); ++i) {
      const char mark = !list.ItemEnabled(i) ? 'D' : (list.Checked(i) ? 'C' : 'U');
      marks += list.Selected(i) ? static_cast<char>(mark - 'A' + 'a') : mark;
    }
    return marks;
  }
  // Puts the marks of the same letters on the first entries.
  static void SetMarks(TCheckListBox& list, const std::string& marks) {
    for (int i = 0; i < static_cast<int>(marks.size()); ++i) {
      const char mark = static_cast<char>(std::toupper(marks[i]));
      list.SetChecked(i, mark == 'C');
      list.SetItemEnabled(i, mark != 'D');
      list.SetSelected(i, mark != marks[i]);
    }
  }

  // A noise picture saved under the name in the temporary folder (BMP or JPEG by the extension).
  std::string WritePicture(const std::string& name, uint32_t seed, int width = 5, int height = 3) {
    std::string path = Temp.File(name);
    EXPECT_TRUE(SavePicture(*NoisePicture(width, height, seed), path, "unused.bmp", pf24bit));
    return path;
  }
  // A file with a picture's extension that holds no picture.
  std::string WriteDamaged(const std::string& name) {
    const std::string path = Temp.File(name);
    WriteWholeFile(path, {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9});
    return path;
  }
  // The reader's reason for the file WriteDamaged writes.
  static std::string DamagedReason() { return "L'image bitmap n'est pas valide : fichier tronqué"; }
  Strings Files(std::initializer_list<const char*> names) {
    Strings files;
    for (const char* name : names) files.push_back(Temp.File(name));
    return files;
  }
  // The picture as a run loads it.
  static std::unique_ptr<TBitmap> Loaded(const std::string& path) {
    auto bitmap = std::make_unique<TBitmap>();
    EXPECT_TRUE(LoadPicture(*bitmap, path));
    return bitmap;
  }
  // The per-channel maximum of the pictures.
  static std::unique_ptr<TBitmap> MaximumOf(const Strings& paths) {
    auto result = Loaded(paths.at(0));
    for (size_t i = 1; i < paths.size(); ++i) ReferenceBytes(*result, *Loaded(paths[i]), MaxByte);
    return result;
  }
  // The end of a run without steps: the save offer cancelled (a run that merged nothing has none),
  // then the report, which names the first failure with its reason.
  void ExpectEndOfRun(int errors, bool saveOffer = true, const std::string& firstFailure = {}) {
    if (saveOffer) Script().AnswerSaveFile("");
    Script().AnswerMessageBox(IDOK, Report(errors, firstFailure));
  }
  static std::string Report(int errors, const std::string& firstFailure) {
    const std::string count = std::to_string(errors) + " File(s) in Error";
    return firstFailure.empty() ? count : count + "\nFirst: " + firstFailure;
  }
  // What the status line says of a picture that does not load.
  static std::string LoadError(const std::string& path, const std::string& reason) {
    return "Loading Error: " + path + ": " + reason;
  }
  // A picture of another size than the run's first.
  static std::string SizeError(const std::string& path, int width, int height, int firstWidth,
                               int firstHeight) {
    return path + ": the picture is " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels, not " + std::to_string(firstWidth) + " x " + std::to_string(firstHeight) +
           " like the first one";
  }

  TempDir Temp;
  std::unique_ptr<TFormMain, TFormDeleter> Form;
};
