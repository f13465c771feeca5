// The result buffer's commands and the numbering of step files.
#include <exception>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/format.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/dialogs.h"
#include "workbench/step_numbering.h"
#include "workbench/ulngstrings.h"
#include "workbench/umain.h"
#include "workbench/unumformat.h"
#include "workbench/working_bitmap.h"

namespace {

constexpr const char* kDefaultSaveName = "process.bmp";

// The overwrite question, asked for a file that exists unless a "to all" answer was given before; a
// file that does not exist is decided by the answer kept from before.
void AskOverwrite(const std::string& fileName, int& answer) {
  if (answer == mrNoToAll || answer == mrYesToAll || !FileExists(fileName)) return;
  answer = MessageDlg(Format(kstoverwrite, {fileName}), TMsgDlgType::mtWarning,
                      mbYes | mbNo | mbCancel | mbNoToAll | mbYesToAll);
}

// The name SavePicture will really write for the caller's name.
std::string WrittenName(const std::string& fileName) {
  return SavedPictureName(fileName.empty() ? kDefaultSaveName : fileName);
}

}  // namespace

void TFormMain::PreparePictureSaveDialog() {
  SaveDialog1->Filter = SavedPictureFilter();
  SaveDialog1->DefaultExt = "bmp";
  SaveDialog1->Options = ofHideReadOnly | ofAllowMultiSelect | ofEnableSizing;
}

void TFormMain::InitStepNumbering() {
  FStepPrefix.clear();
  FStepExt.clear();
  FStepCounter = 0;
  FPadNumbers = true;
  FNumFormat = "%s%4.4d%s";
  FAutoAdapt = true;
}

std::string TFormMain::StepFileName(int32_t Counter) {
  const std::string prefix = FStepPrefix.empty() ? "process" : FStepPrefix;
  const std::string extension = FStepExt.empty() ? ".bmp" : FStepExt;
  if (Counter < 0 || Counter >= StepCounterLimit) {
    FStepCounter = 0;
    Counter = 0;
  }
  const std::string format =
      FPadNumbers ? BuildNumFormat(FirstNumberIn(FNumFormat), DigitCount(ListBox1->Count()), FAutoAdapt)
                  : "%s%d%s";
  return Format(format, {prefix, Counter, extension});
}

void TFormMain::SaveStep(TBitmap* Bitmap, int& Answer) {
  if (!Bitmap) Abort();
  // The question names the file that will really be written (".bmp" for a name SavePicture does not
  // write as it is), and the right list receives that name.
  std::string name = WrittenName(StepFileName(FStepCounter));
  AskOverwrite(name, Answer);
  switch (Answer) {
    case mrCancel:
      FAbort = true;
      break;
    case mrYes:
    case mrYesToAll:
      // A step that cannot be written, as BMP or as JPEG, ends the run with the file error: a night
      // of steps must not be lost without a word.
      WritePicture(*Bitmap, name, kDefaultSaveName, pf24bit);
      FDirty = false;
      ListBox2->Items().Add(name);
      ++FStepCounter;
      break;
    default:
      // No, No to all: the same name is offered again at the next step.
      break;
  }
}

bool TFormMain::SaveAs(TBitmap* Bitmap, std::string& FileName, int& Answer) {
  if (!Bitmap) Abort();
  FileName = WrittenName(FileName);
  AskOverwrite(FileName, Answer);
  switch (Answer) {
    case mrCancel:
      FAbort = true;
      return false;
    case mrYes:
    case mrYesToAll:
      // A file that cannot be written raises its error, which names it and the system's reason.
      WritePicture(*Bitmap, FileName, kDefaultSaveName, pf32bit);
      FDirty = false;
      return true;
    default:
      return false;
  }
}

void TFormMain::SaveResult1Click(TObject*) {
  // Before any picture was merged (or after "Clear Result") the result is an empty pixel: saving it
  // would only put a black dot over a file of the user's. The result itself says whether it holds a
  // picture: counts that other commands reuse (the search's) do not.
  if (!FResult || !FResultMerged) {
    Application->MessageBox("There is no result to save: no picture has been merged into it.",
                            "Save Result as...", MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (SaveDialog1->FileName.empty()) SaveDialog1->FileName = kDefaultSaveName;
  PreparePictureSaveDialog();
  if (!SaveDialog1->Execute()) return;

  std::string name = SaveDialog1->FileName;
  const std::string written = WrittenName(name);
  if (FileExists(written) &&
      MessageDlg(Format(kstoverwrite, {written}), TMsgDlgType::mtWarning, mbYes | mbNo) != mrYes)
    return;

  // A failed save is said here with the file's error (which names the file and the system's reason),
  // whatever way it failed, so the work stays marked unsaved and the close question (which saves
  // through this command) keeps the window open.
  try {
    WritePicture(*FResult, name, kDefaultSaveName, pf24bit);
  } catch (const std::exception& error) {
    FDirty = true;
    Application->ShowException(error.what());
    return;
  }
  FDirty = false;
  ListBox2->Items().Add(name);
}

void TFormMain::ViewResult1Click(TObject*) {
  if (ViewResult1->Checked()) {
    ViewResult1->SetChecked(false);
    ToolButton1->SetDown(false);
    PreviewEntry(ListBox1->ItemIndex(), ListBox1);
  } else {
    ViewResult1->SetChecked(true);
    ToolButton1->SetDown(true);
    ShowBitmap(FResult.get());
  }
  ShowMergedCount(kstproc);
}

void TFormMain::ClearResult1Click(TObject*) {
  ResetBitmap(FResult.get());
  FResultCount = 0;
  // Nothing is left to save, so closing asks nothing.
  FResultMerged = false;
  FDirty = false;
  ShowBitmap(FResult.get());
  ShowMergedCount(kstproc);
}

void TFormMain::numformat1Click(TObject*) {
  if (!FormNumFormat) return;
  FormNumFormat->CheckBoxAutoNumFormat->SetChecked(FAutoAdapt);
  FormNumFormat->UpDown1->SetPosition(FirstNumberIn(FNumFormat));
  // Whichever button closed the dialog, its values are taken.
  FormNumFormat->ShowModal();
  const int width = FormNumFormat->UpDown1->Position();
  FAutoAdapt = FormNumFormat->CheckBoxAutoNumFormat->Checked();
  FNumFormat = BuildNumFormat(width, -1, false);
  FPadNumbers = width != 0;
  numformat1->SetChecked(FPadNumbers);
}
