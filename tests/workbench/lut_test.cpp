// The look-up tables window: built-in tables, ".LUT" files with good and bad lines, and the strips.
#include <QRadioButton>

#include "tests/support/scripted_dialogs_fixture.h"
#include "tests/support/test_files.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/graphics/canvas.h"
#include "workbench/ulut.h"

namespace {

class LutTest : public ScriptedDialogsTest {
 protected:
  struct TRgb {
    int R, G, B;
    friend bool operator==(const TRgb&, const TRgb&) = default;
  };
  TRgb At(int level) const { return {Lut->FRed[level], Lut->FGreen[level], Lut->FBlue[level]}; }
  std::string WriteLut(const std::string& text) {
    const std::string path = Temp.File("table.LUT");
    WriteWholeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
    return path;
  }
  static TColor StripPixel(TImage* image, int x) { return image->Bitmap().Canvas().Pixel(x, 12); }

  TempDir Temp;
  std::unique_ptr<TLut, TFormDeleter> Lut = NewForm<TLut>(nullptr);
};

TEST_F(LutTest, BuiltInTablesHoldTheirKnownLevels) {
  EXPECT_EQ(At(0), (TRgb{255, 255, 255}));  // the inverted ramp of creation
  EXPECT_EQ(At(255), (TRgb{0, 0, 0}));
  Lut->SetLut(4);
  EXPECT_EQ(At(128), (TRgb{212, 0, 212}));
  Lut->SetLut(6);
  EXPECT_EQ(At(0), (TRgb{0, 36, 255}));
  Lut->SetLut(12);
  EXPECT_EQ(At(128), (TRgb{120, 85, 254}));
  EXPECT_EQ(Lut->FColors[128], RGB(120, 85, 254));
  Lut->SetLut(8);
  const TRgb black{0, 0, 0};
  EXPECT_EQ((std::vector<TRgb>{At(0), At(1), At(2), At(3), At(4), At(5)}),
            (std::vector<TRgb>{black, {0, 0, 255}, black, {0, 255, 0}, black, {255, 0, 0}}));
  Lut->SetLut(1);
  EXPECT_EQ(At(10), (TRgb{245, 10, 10}));
  // An index outside the tables keeps the channels and rebuilds the colours from them.
  Lut->FColors.fill(0);
  Lut->SetLut(99);
  EXPECT_EQ(At(10), (TRgb{245, 10, 10}));
  EXPECT_EQ(Lut->FColors[10], RGB(245, 10, 10));
}

TEST_F(LutTest, LutFileLinesAreClampedAndABadLineEndsTheReading) {
  std::string text = "300 -5 128\r\n";
  for (int i = 1; i < 256; ++i) text += std::to_string(i) + " " + std::to_string(255 - i) + " 7\n";
  Lut->LoadLutFile(WriteLut(text + "9 9 9\n"));  // lines after the 256th are ignored
  EXPECT_EQ(At(0), (TRgb{255, 0, 128}));
  EXPECT_EQ(At(255), (TRgb{255, 0, 7}));
  EXPECT_EQ(Lut->FColors[0], RGB(255, 0, 128));

  // 255 lines: the missing last line is empty, which is no number; levels 0 to 254 are kept.
  Lut->SetLut(0);
  text.resize(text.rfind("255 0 7\n"));
  EXPECT_THROW(Lut->LoadLutFile(WriteLut(text)), EConvertError);
  EXPECT_EQ(At(254), (TRgb{254, 1, 7}));
  EXPECT_EQ(At(255), (TRgb{255, 255, 255}));

  for (const char* bad : {"1  2 3", "1 2 3 ", "1 2", "a 2 3", "1;2;3"}) {
    Lut->SetLut(0);
    EXPECT_THROW(Lut->LoadLutFile(WriteLut("4 5 6\n" + std::string(bad) + "\n")), EConvertError) << bad;
    EXPECT_EQ(At(0), (TRgb{4, 5, 6})) << bad;
    EXPECT_EQ(At(1), (TRgb{1, 1, 1})) << bad;
  }
  // A file that cannot be opened changes nothing and says nothing.
  Lut->LoadLutFile(Temp.File("missing.LUT"));
  EXPECT_EQ(At(0), (TRgb{4, 5, 6}));
}

TEST_F(LutTest, TheCheckBoxAndTheTableChoiceDrawTheStrips) {
  Lut->FormActivate(Lut.get());  // unchecked: nothing chosen, the grey ramp
  EXPECT_FALSE(Lut->RLUT->Enabled());
  Lut->CheckBox1->click();
  EXPECT_TRUE(Lut->RLUT->Enabled());
  // A click on "Cold-Warm" by the user: each channel's strip in its colour.
  Lut->RLUT->findChildren<QRadioButton*>().at(6)->click();
  EXPECT_EQ(Lut->RLUT->ItemIndex(), 6);
  EXPECT_EQ(StripPixel(Lut->ImageSum, 0), RGB(0, 36, 255));
  EXPECT_EQ(StripPixel(Lut->ImageG, 0), RGB(0, 36, 0));
  EXPECT_EQ(StripPixel(Lut->ImageB, 0), RGB(0, 0, 255));

  // "Custom" reads the chosen file; cancelling the dialog keeps the table.
  Script().AnswerOpenFile({WriteLut("10 20 30\n")});
  Lut->RLUT->SetItemIndex(14);
  EXPECT_THROW(Lut->RLUTClick(Lut.get()), EConvertError);  // the file ends after one line
  EXPECT_EQ(StripPixel(Lut->ImageSum, 0), RGB(10, 20, 30));
  EXPECT_EQ(Script().LastFileRequest().Filter, "LookUp Tables|*.LUT");
  Script().AnswerOpenFile({});
  Lut->RLUTClick(Lut.get());
  EXPECT_EQ(StripPixel(Lut->ImageSum, 0), RGB(10, 20, 30));

  // Unchecking goes back to the grey ramp.
  Lut->CheckBox1->click();
  EXPECT_EQ(StripPixel(Lut->ImageSum, 200), RGB(200, 200, 200));
  EXPECT_EQ(StripPixel(Lut->ImageR, 77), RGB(77, 0, 0));
}

// The fifteen table names and the check box whole in the window's font, the buttons and strips clear
// of the group.
TEST_F(LutTest, EveryTableNameShowsWhole) {
  Lut->Show();
  const QList<QRadioButton*> buttons = Lut->RLUT->findChildren<QRadioButton*>();
  ASSERT_EQ(buttons.size(), 15);
  for (const QRadioButton* button : buttons) {
    EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
    EXPECT_TRUE(Lut->RLUT->rect().contains(button->geometry())) << button->text().toStdString();
  }
  EXPECT_GE(Lut->CheckBox1->Width(), Lut->CheckBox1->sizeHint().width());
  const QRect group = Lut->RLUT->geometry();
  for (const TControl* other : std::initializer_list<const TControl*>{Lut->Button1, Lut->Button2, Lut->ImageR,
                                                                      Lut->Label1, Lut->CheckBox1}) {
    const QRect bounds(other->Left(), other->Top(), other->Width(), other->Height());
    EXPECT_FALSE(group.intersects(bounds)) << other->Name();
    EXPECT_TRUE(Lut->rect().contains(bounds)) << other->Name();
  }
  EXPECT_TRUE(Lut->rect().contains(Lut->ImageSum->geometry()));
  Lut->Close();
}

}  // namespace
