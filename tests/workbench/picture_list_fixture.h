#pragma once
// The main window made for list, list-file and view tests: picture formats registered, scripted
// dialogs, the window active, and helpers that fill lists and write small pictures.

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "picture_formats/format_list.h"
#include "tests/support/scripted_dialogs_fixture.h"
#include "tests/support/test_files.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/ui/screen.h"
#include "workbench/umain.h"

class PictureListTest : public ScriptedDialogsTest {
 protected:
  void SetUp() override {
    InitializePictureFormats();
    Form = NewForm<TFormMain>(nullptr);
    Screen->SetActiveForm(Form.get());
  }
  void TearDown() override {
    ScriptedDialogsTest::TearDown();
    Form.reset();
    FinalizePictureFormats();
  }

  // Entries added checked and enabled, as the program adds them.
  static void Fill(TCheckListBox& list, std::initializer_list<std::string> paths) {
    for (const std::string& path : paths) list.SetChecked(list.Items().Add(path), true);
  }
  static std::vector<std::string> Paths(const TCheckListBox& list) {
    std::vector<std::string> paths;
    for (int i = 0; i < list.Items().Count(); ++i) paths.push_back(list.Items()[i]);
    return paths;
  }
  // One letter per entry: C checked, U unchecked, D disabled (always shown unchecked in the tests),
  // lower case when selected.
  static std::string Marks(const TCheckListBox& list) {
    std::string marks;
    for (int i = 0; i < list.Count(); ++i) {
      char mark = !list.ItemEnabled(i) ? 'D' : (list.Checked(i) ? 'C' : 'U');
      if (list.Selected(i)) mark = static_cast<char>(mark - 'A' + 'a');
      marks += mark;
    }
    return marks;
  }

  // A 24-bit BMP of one colour in the temporary folder; returns its path.
  std::string WritePicture(const std::string& name, int width, int height, TColor color = 0x336699) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(width, height);
    bitmap.Canvas().Brush.Color = color;
    bitmap.Canvas().FillRect(Rect(0, 0, width, height));
    const std::string path = Temp.File(name);
    bitmap.SaveToFile(path);
    return path;
  }
  // A file with a picture's extension that holds no picture.
  std::string WriteDamaged(const std::string& name) {
    const std::string path = Temp.File(name);
    WriteWholeFile(path, {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9});
    return path;
  }

  TempDir Temp;
  std::unique_ptr<TFormMain, TFormDeleter> Form;
};
