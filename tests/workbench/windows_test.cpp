// The program's twelve windows and the file-name number format dialog.
#include <gtest/gtest.h>

#include "tests/support/scripted_dialogs_fixture.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/screen.h"
#include "translation/program_forms.h"
#include "translation/uformedit.h"
#include "translation/ulngform.h"
#include "workbench/umain.h"
#include "workbench/unumformat.h"

namespace {

TEST(ProgramWindowsTest, TwelveWindowsAreCreatedInOrderWithTheirNamesAndCaptions) {
  const int before = Screen->FormCount();
  CreateProgramForms();
  struct Expected {
    const char* Name;
    const char* Caption;
  };
  const Expected expected[] = {{"FormMain", nullptr},
                               {"FormAbout", "About.."},
                               {"FormParams", "FormParams"},
                               {"FormCreateImg", "Info Image"},
                               {"Form2", "Process Finished - Error Report"},
                               {"FormFactor", "Batch Operations:"},
                               {"Lut", "Look Up Tables"},
                               {"FormSelDir", "Mask Directory"},
                               {"FormSearch", "Search Parameters:"},
                               {"FormNumFormat", "FileName Num Format"},
                               {"LngForm", "Fichiers de Traduction"},
                               {"FormEdit", "Editer"}};
  ASSERT_EQ(Screen->FormCount(), before + 12);
  for (int i = 0; i < 12; ++i) {
    TCustomForm* form = Screen->Forms(before + i);
    EXPECT_EQ(form->Name(), expected[i].Name);
    EXPECT_EQ(form->Widget()->objectName().toStdString(), expected[i].Name);
    if (expected[i].Caption) {
      EXPECT_EQ(form->Caption(), expected[i].Caption);
    }
    EXPECT_FALSE(form->Visible());
  }
  EXPECT_EQ(Application->MainForm(), FormMain);
  EXPECT_EQ(Screen->Forms(before), FormMain);
  EXPECT_EQ(Screen->Forms(before + 9), FormNumFormat);
  EXPECT_EQ(Screen->Forms(before + 10), LngForm);
  // The chooser and the editor accept the message sent after a language file was applied.
  EXPECT_EQ(LngForm->Perform(1524, 0, 0), 0);
  EXPECT_EQ(FormEdit->Perform(1524, 0, 0), 0);
  // The main window's "Translation" shows the chooser, modeless.
  Screen->SetActiveForm(FormMain);
  FormMain->Translation1->trigger();
  EXPECT_TRUE(LngForm->Visible());
  LngForm->Hide();
  Application->DestroyForms();
  EXPECT_EQ(Screen->FormCount(), before);
  EXPECT_EQ(Application->MainForm(), nullptr);
}

class NumFormatTest : public ScriptedDialogsTest {
 protected:
  std::unique_ptr<TFormNumFormat, TFormDeleter> Form = NewForm<TFormNumFormat>(nullptr);
};

TEST_F(NumFormatTest, ComponentsAndDefaults) {
  EXPECT_EQ(Form->Label1->Caption(), "Count of Digits Number:");
  EXPECT_EQ(Form->Edit1->Text(), "4");
  EXPECT_EQ(Form->UpDown1->Min(), -1);
  EXPECT_EQ(Form->UpDown1->Max(), 10);
  EXPECT_EQ(Form->UpDown1->Position(), 4);
  EXPECT_FALSE(Form->UpDown1->Wrap);
  EXPECT_EQ(Form->UpDown1->Associate(), Form->Edit1);
  EXPECT_EQ(Form->CheckBoxAutoNumFormat->Caption(), "AutoAdapt  Number Format to File Count");
  EXPECT_TRUE(Form->CheckBoxAutoNumFormat->Checked());
  EXPECT_EQ(Form->BitBtnOk->Kind(), TBitBtnKind::bkOK);
  EXPECT_EQ(Form->BitBtnOk->ModalResult, mrOk);
  EXPECT_EQ(Form->BitBtnCancel->Caption(), "Cancel");
  EXPECT_EQ(Form->BitBtnCancel->ModalResult, mrCancel);
  EXPECT_EQ(Form->BitBtnDefault->Caption(), "Default");
  // Every component is a direct child, named.
  std::vector<std::string> names;
  for (int i = 0; i < Form->ControlCount(); ++i) names.push_back(Form->Controls(i)->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Label1", "Edit1", "UpDown1", "CheckBoxAutoNumFormat",
                                             "BitBtnOk", "BitBtnCancel", "BitBtnDefault"}));
}

TEST_F(NumFormatTest, DefaultButtonRestoresWidthFourAndAutoAdapt) {
  Form->UpDown1->SetPosition(-1);
  Form->CheckBoxAutoNumFormat->SetChecked(false);
  Form->BitBtnDefault->click();
  EXPECT_EQ(Form->UpDown1->Position(), 4);
  EXPECT_EQ(Form->Edit1->Text(), "4");
  EXPECT_TRUE(Form->CheckBoxAutoNumFormat->Checked());
}

TEST_F(NumFormatTest, ShownModallyThroughTheSeam) {
  Script().AnswerShowModal("FormNumFormat", mrNone, [](TCustomForm& form) {
    auto& dialog = static_cast<TFormNumFormat&>(form);
    dialog.UpDown1->SetPosition(0);
    dialog.BitBtnCancel->Click();
  });
  EXPECT_EQ(Form->ShowModal(), mrCancel);
  EXPECT_EQ(Form->UpDown1->Position(), 0);
}

}  // namespace
