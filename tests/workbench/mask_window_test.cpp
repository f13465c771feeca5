// The "Info Image" window: the view's picture facts and point, "Apply", and masks created, saved and
// used as a batch reference, through the real main window.
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "tests/support/raised_message.h"
#include "tests/workbench/tool_windows_fixture.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"
#include "toolkit/graphics/canvas.h"
#include "workbench/reference_ops.h"

namespace {

class MaskWindowTest : public ToolWindowsTest {
 protected:
  // "Create.." of a mask of the given size and colour, saved under the name.
  void CreateMask(const std::string& width, const std::string& height, TColor color,
                  const std::string& name) {
    Script().AnswerColor(color);
    Info->SpeedButton1->Click();
    Info->EditW->SetText(width);
    Info->EditH->SetText(height);
    Script().AnswerSaveFile(name);
    Info->BitBtnCreate->Click();
  }
};

TEST_F(MaskWindowTest, TheWindowShowsTheViewsPictureAndHandsItsPointToTheMainWindow) {
  EXPECT_EQ(Info->EditW->Text() + Info->EditH->Text() + Info->EditPF->Text() + " " + Info->EditC->Text() +
                " " + Info->EditPosX->Text() + Info->EditPosY->Text() + Info->EditVal->Text(),
            "1124 00000000 -1-1-1");
  EXPECT_FALSE(Info->EditPF->Enabled());

  auto frame = NoisePicture(7, 5, 1);
  frame->Canvas().SetPixel(3, 2, RGB(30, 60, 91));
  std::string path = Temp.File("frame.bmp");
  ASSERT_TRUE(SavePicture(*frame, path, "unused.bmp", pf24bit));
  Fill(*Form->ListBox1, {path});
  Form->FPointX = 3;
  Form->FPointY = 2;
  Form->CreateImage1->Click();  // without a picture in the view: 1 x 1, the point outside reads white
  EXPECT_TRUE(Info->Visible());
  EXPECT_EQ(Info->EditW->Text() + "x" + Info->EditVal->Text(), "1x255");
  Form->PreviewEntry(0, Form->ListBox1);  // a preview while the window is shown refreshes it
  EXPECT_EQ(Info->EditW->Text() + "x" + Info->EditH->Text(), "7x5");
  EXPECT_EQ(Info->EditPosX->Text() + "," + Info->EditPosY->Text() + " " + Info->EditVal->Text(), "3,2 60");

  // "Apply": the point goes to the main window, text that is no number counts 0.
  Info->EditPosX->SetText("120");
  Info->EditPosY->SetText("80");
  Info->EditVal->SetText("x");
  Info->Button1->Click();
  EXPECT_EQ(Form->FPointX, 120);
  EXPECT_EQ(Form->FPointY, 80);
  EXPECT_EQ(Info->FValue, 0);
  EXPECT_TRUE(Info->Visible());
  EXPECT_EQ(Form->ListBox2->Count(), 0);
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), "Empty List");  // the right list's (missing) entry
}

TEST_F(MaskWindowTest, MasksAreCreatedInTheChosenSizeFormatAndColour) {
  CreateMask("640", "480", clRed, Temp.File("red.bmp"));
  EXPECT_FALSE(Info->Visible());
  EXPECT_EQ(Info->FFileName, Temp.File("red.bmp"));
  TBitmap mask;
  TPixelFormat format = pfCustom;
  ASSERT_TRUE(LoadPicture(mask, Temp.File("red.bmp"), format));
  EXPECT_EQ(format, pf24bit);
  TBitmap red;
  red.SetPixelFormat(pf24bit);
  red.SetSize(640, 480);
  FillBitmap(red, clRed);
  EXPECT_TRUE(SamePixels(mask, red));
  EXPECT_EQ(Info->EditC->Text(), "000000FF");

  CreateMask("2", "3", clWhite, Temp.File("white.png"));  // written as BMP under ".bmp"
  EXPECT_EQ(Info->FFileName, Temp.File("white.bmp"));

  // A cancelled dialog creates nothing; the window still closes.
  Info->Show();
  Script().AnswerSaveFile("");
  Info->BitBtnCreate->Click();
  EXPECT_FALSE(Info->Visible());
  EXPECT_EQ(Info->FFileName, Temp.File("white.bmp"));
}

TEST_F(MaskWindowTest, SizesThatCannotBeAllocatedAndDepthsWithoutAFormatAreRefused) {
  Info->Show();
  Info->EditW->SetText("0");
  Script().AnswerMessageBox(IDOK);
  Info->BitBtnCreate->Click();
  EXPECT_EQ(Script().Asked().back().Text.rfind("Cannot create a mask of 0 x 1 pixels", 0), 0u);
  Info->EditW->SetText("100000");
  Info->EditH->SetText("100000");
  Script().AnswerMessageBox(IDOK);
  Info->BitBtnCreate->Click();
  EXPECT_TRUE(Info->Visible());

  // A pixel size of no format fails after the name was chosen: nothing written, the window open.
  Info->EditW->SetText("4");
  Info->EditH->SetText("4");
  Info->EditPF->SetText("-1");
  Script().AnswerSaveFile(Temp.File("odd.bmp"));
  EXPECT_THROW(Info->BitBtnCreate->Click(), EInvalidGraphic);
  EXPECT_FALSE(std::filesystem::exists(Temp.File("odd.bmp")));
  EXPECT_TRUE(Info->Visible());
}

// A mask that cannot be written, as JPEG or BMP, into a folder that does not exist or over a name that
// stands for a device (a link to /dev/full): the file's error names the file and the reason, the
// window stays open and the batch window keeps the reference name the user typed.
TEST_F(MaskWindowTest, AMaskThatCannotBeWrittenIsSaidAndChangesNothing) {
  Factor->EditFileName->SetText("/night/dark.bmp");
  Factor->SpeedButton1->Click();
  for (const char* extension : {".jpg", ".bmp"}) {
    SCOPED_TRACE(extension);
    const std::string unwritable = Temp.File(std::string("no-folder/mask") + extension);
    Script().AnswerSaveFile(unwritable);
    EXPECT_EQ(RaisedMessage<EFCreateError>([&] { Info->BitBtnCreate->Click(); }),
              Format(SFCreateErrorEx, {unwritable, std::string(std::strerror(ENOENT))}));
    EXPECT_TRUE(Info->Visible());

    const std::string full = Temp.File(std::string("full") + extension);
    std::filesystem::create_symlink("/dev/full", full);
    Script().AnswerSaveFile(full);
    EXPECT_EQ(RaisedMessage<EFCreateError>([&] { Info->BitBtnCreate->Click(); }),
              Format(SFCreateErrorEx, {full, std::string(SNotRegularFile)}));
    EXPECT_TRUE(Info->Visible());
    EXPECT_EQ(Factor->EditFileName->Text(), "/night/dark.bmp");
    EXPECT_EQ(Info->FFileName, "");
  }
}

TEST_F(MaskWindowTest, AMaskFromTheBatchWindowBecomesItsReference) {
  const Strings frames = {WritePicture("a.bmp", 1), WritePicture("b.bmp", 2)};
  Fill(*Form->ListBox1, frames);
  Form->PreviewEntry(1, Form->ListBox1);
  Factor->SpeedButton1->Click();
  EXPECT_TRUE(Info->Visible());
  EXPECT_EQ(Info->EditW->Text() + "x" + Info->EditH->Text(), "5x3");
  Info->Button1->Click();  // "Apply" here hands over the last saved name: none yet
  EXPECT_EQ(Factor->EditFileName->Text(), "");
  CreateMask("5", "3", RGB(10, 20, 30), Temp.File("mask.bmp"));
  EXPECT_EQ(Factor->EditFileName->Text(), Temp.File("mask.bmp"));

  Factor->ComboBoxFunction->SetItemIndex(TFormFactor::kAdd);
  Factor->ComboBoxFunction->OnChange(Factor->ComboBoxFunction);
  Factor->ScrollBarFactor->Scroll(scTrack, 0);
  Script().AnswerSaveFile(Temp.File("masked.bmp"));
  ExpectEndOfRun(0, false);
  Factor->BitBtnOk->Click();
  for (int k = 0; k < 2; ++k)
    EXPECT_TRUE(SamePixels(*Loaded(Temp.File("masked000" + std::to_string(k) + ".bmp")),
                           *Combined(frames[k], Temp.File("mask.bmp"),
                                     [](uint8_t a, uint8_t b) { return AddByte(a, b, 0, 0); })));
}

}  // namespace
