// The tool windows' components under the names language files address, and their labels readable.
#include "tests/workbench/tool_windows_fixture.h"
#include "toolkit/ui/screen.h"
#include "workbench/uformparam.h"
#include "workbench/unumformat.h"

#include <QRect>

namespace {

std::string ComponentNames(const TComponent& form) {
  std::string names;
  for (int i = 0; i < form.ComponentCount(); ++i) names += form.Components(i)->Name() + " ";
  return names;
}

std::string ChildNames(const TControl& control) {
  std::string names;
  for (int i = 0; i < control.ControlCount(); ++i) names += control.Controls(i)->Name() + " ";
  return names;
}

TEST_F(ToolWindowsTest, EveryComponentHasItsNameInOrder) {
  EXPECT_EQ(
      ComponentNames(*Factor),
      "Label4 ComboBoxFunction Label1 EditFileName SpeedButtonBrowse SpeedButton1 Label2 EditFactor "
      "SpeedButtonFactor ScrollBarFactor Label3 EditOffset SpeedButtonOffset ScrollBarOffset BitBtnUndo "
      "Label5 BitBtnTestOne BitBtnOk BitBtnClose OpenPictureDialog1 ");
  EXPECT_EQ(ComponentNames(*Search),
            "Label1 EditMinLevel UpDownMinLevel Label2 EditMinPixels UpDownMinPixels Label7 Label3 EditLeft "
            "UpDownLeft Label4 EditRight UpDownRight Label5 EditTop UpDownTop Label6 EditBottom UpDownBottom "
            "Label8 Label9 EditCropW UpDownCropW Label10 EditCropH UpDownCropH CheckBoxSave EditName "
            "SpeedButton1 SpeedButton2 BitBtnOk BitBtnCancel SaveDialog1 ");
  EXPECT_EQ(
      ComponentNames(*Info),
      "Label1 EditW Label2 EditH Label3 EditPF Label5 EditPosX EditPosY EditVal Button1 GroupBox1 Label4 "
      "SpeedButton1 EditC BitBtnCreate BitBtnClose SavePictureDialog1 ColorDialog1 ");
  // The mask controls sit in their group: a language file reaches the edit and the button there not.
  EXPECT_EQ(ChildNames(*Info->GroupBox1), "Label4 SpeedButton1 EditC BitBtnCreate ");
  auto params = NewForm<TFormParams>(nullptr);
  EXPECT_EQ(ComponentNames(*params), "Label1 Edit1 SpeedButton1 BitBtn1 BitBtn2 OpenPictureDialog1 ");
  EXPECT_EQ(params->Caption(), "FormParams");
}

// Every label's whole text, as the window's font draws it, and no other control of its row over it.
void ExpectLabelsReadable(const TControl& parent) {
  for (int i = 0; i < parent.ControlCount(); ++i) {
    const TControl* control = parent.Controls(i);
    ExpectLabelsReadable(*control);
    const auto* label = dynamic_cast<const TLabel*>(control);
    if (!label) continue;
    EXPECT_GE(label->Width(), label->sizeHint().width()) << label->Name() << " cuts its text";
    const QRect text(label->Left(), label->Top(), label->sizeHint().width(), label->Height());
    for (int j = 0; j < parent.ControlCount(); ++j) {
      const TControl* other = parent.Controls(j);
      if (other == control || !other->Visible()) continue;
      const QRect bounds(other->Left(), other->Top(), other->Width(), other->Height());
      EXPECT_FALSE(text.intersects(bounds)) << label->Name() << " runs under " << other->Name();
    }
  }
}

TEST_F(ToolWindowsTest, EveryLabelShowsItsWholeText) {
  ExpectLabelsReadable(*Factor);
  ExpectLabelsReadable(*Search);
  ExpectLabelsReadable(*Info);
  ExpectLabelsReadable(*NewForm<TFormParams>(nullptr));
}

TEST_F(ToolWindowsTest, TheNumberFormatCheckBoxShowsItsWholeText) {
  auto numbers = NewForm<TFormNumFormat>(nullptr);
  const TCheckBox& box = *numbers->CheckBoxAutoNumFormat;
  EXPECT_GE(box.Width(), box.sizeHint().width());
  EXPECT_LE(box.Left() + box.Width(), numbers->width());
  ExpectLabelsReadable(*numbers);
}

// Every question opens over the window that would otherwise cover it. Asked from the main window
// while the batch window (which stays on top) is open, it opens over the batch window; the "Info
// Image" window that the batch window opens comes to the front, and the questions then open over it.
TEST_F(ToolWindowsTest, QuestionsOpenOverTheToolWindowsThatStayOnTop) {
  const std::string noPoint =
      "No point chosen: choose one in the \"Info Image\" window (\"Create Mask...\", then \"Apply\").";
  auto ownerOfAQuestion = [&] {
    Script().AnswerMessageBox(IDOK, noPoint);
    Form->MaximumSearch1->Click();
    return Script().Asked().back().Owner;
  };
  Form->Show();
  EXPECT_EQ(ownerOfAQuestion(), Form.get());
  Form->NewBatchOperations1->Click();
  EXPECT_EQ(ownerOfAQuestion(), Factor.get());
  Factor->SpeedButton1->Click();  // "Create an Image Mask.."
  EXPECT_EQ(Screen->FrontToBack().front(), Info.get());
  EXPECT_EQ(ownerOfAQuestion(), Info.get());
  Form->Show();  // the main window active again, still beneath the tool windows
  EXPECT_EQ(ownerOfAQuestion(), Info.get());
  Factor->Show();
  Form->CreateImage1->Click();  // the command brings the shown window to the front again
  EXPECT_EQ(Screen->FrontToBack().front(), Info.get());
  Info->BitBtnClose->Click();
  EXPECT_EQ(ownerOfAQuestion(), Factor.get());
  Factor->BitBtnClose->Click();
  Form->Show();
  EXPECT_EQ(ownerOfAQuestion(), Form.get());
}

}  // namespace
