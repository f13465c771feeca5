// The main window's own handlers (close question, key table, Options marks, computer name) and the
// program's twelve windows.
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

#include "tests/workbench/main_window_fixture.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/system_services.h"
#include "translation/program_forms.h"
#include "translation/uformedit.h"
#include "translation/ulngform.h"
#include "workbench/uabout.h"
#include "workbench/ucreateimg.h"
#include "workbench/uformerror.h"
#include "workbench/uformfactor.h"
#include "workbench/uformparam.h"
#include "workbench/ulut.h"
#include "workbench/unumformat.h"
#include "workbench/usearch.h"
#include "workbench/uselectdir.h"

namespace {

class MainWindowHandlersTest : public MainWindowTest {
 protected:
  void Press(int qtKey, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(QEvent::KeyPress, qtKey, modifiers);
    QApplication::sendEvent(Form->ListBox1, &event);
  }
};

TEST_F(MainWindowHandlersTest, CloseQuestionCancelYesAndNo) {
  Form->Show();
  Form->Quit1->trigger();  // nothing unsaved: closed without a question
  EXPECT_FALSE(Form->Visible());
  EXPECT_TRUE(Script().Asked().empty());

  Form->Show();
  Form->FDirty = true;
  Script().AnswerMessageBox(IDCANCEL, "Save Processed Image?");
  Form->Close();
  EXPECT_TRUE(Form->Visible());
  EXPECT_TRUE(Form->FDirty);
  ASSERT_EQ(Script().Asked().size(), 1u);
  EXPECT_EQ(Script().Asked()[0].Caption, "Quit!!");
  EXPECT_EQ(Script().Asked()[0].Flags & MB_BUTTONS_MASK, MB_YESNOCANCEL);

  // Yes saves through "Save Result as..." (its dialog cancelled here) and keeps the window.
  Script().AnswerMessageBox(IDYES, "Save Processed Image?");
  Script().AnswerSaveFile("");
  Form->Close();
  EXPECT_TRUE(Form->Visible());
  EXPECT_TRUE(Form->FDirty);

  Script().AnswerMessageBox(IDNO, "Save Processed Image?");
  Form->Quit1->Click();
  EXPECT_FALSE(Form->Visible());
}

TEST_F(MainWindowHandlersTest, KeyTableRunsEachCommandOncePerPress) {
  Form->SetCurrentList(Form->ListBox1);
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {"/p/a.bmp", "/p/b.bmp", "/p/c.bmp"});
  list.SetSelected(0, true);
  for (Qt::KeyboardModifier modifier : {Qt::NoModifier, Qt::AltModifier, Qt::ShiftModifier})
    for (int key : {Qt::Key_A, Qt::Key_I, Qt::Key_K, Qt::Key_U}) Press(key, modifier);
  EXPECT_EQ(Marks(list), "cCC");  // without Ctrl nothing happens
  // Ctrl+I and Ctrl+Alt+I are menu shortcuts and in the key table: one inversion each.
  Press(Qt::Key_I, Qt::ControlModifier);
  EXPECT_EQ(Marks(list), "uCC");
  Press(Qt::Key_I, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(Marks(list), "cUU");
  Press(Qt::Key_U, Qt::ControlModifier);
  EXPECT_EQ(Marks(list), "uUU");
  Press(Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);  // no menu item has it
  EXPECT_EQ(Marks(list), "cCC");
  Press(Qt::Key_U, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(Marks(list), "uUU");
  Press(Qt::Key_K, Qt::ControlModifier);  // the key table's; the submenu's own Ctrl+K does nothing
  EXPECT_EQ(Marks(list), "cUU");
  Press(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Marks(list), "cuu");
}

TEST_F(MainWindowHandlersTest, OptionsMenuRefreshesItsCheckMarks) {
  Form->FNumFormat = "%s%d%s";
  Form->ListBox1->SetSorted(true);
  Form->ToolButton7->SetDown(false);
  emit Form->Options1->SubMenu()->aboutToShow();
  EXPECT_FALSE(Form->FPadNumbers);
  EXPECT_FALSE(Form->numformat1->Checked());
  EXPECT_TRUE(Form->Adapterlimage1->Checked());
  EXPECT_TRUE(Form->ToolButton7->Down());
  EXPECT_TRUE(Form->SortList1->Checked());
  EXPECT_FALSE(Form->SortList2->Checked());
  Form->FNumFormat = "%s%10.10d%s";
  Form->ListBox1->SetSorted(false);
  Form->ListBox2->SetSorted(true);
  Form->Options1Click(Form.get());
  EXPECT_TRUE(Form->numformat1->Checked());
  EXPECT_FALSE(Form->SortList1->Checked());
  EXPECT_TRUE(Form->SortList2->Checked());
}

TEST_F(MainWindowHandlersTest, ComputerNameGoesToTheThirdPanel) {
  Form->ToolButton9->click();
  char name[256] = {};
  uint32_t size = sizeof(name);
  ASSERT_TRUE(GetComputerNameA(name, &size));
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), std::string(name));
}

TEST(ProgramWindowsTest, TwelveWindowsAreCreatedInOrderWithTheirNamesAndCaptions) {
  const int before = Screen->FormCount();
  CreateProgramForms();
  ASSERT_EQ(Screen->FormCount(), before + 12);
  std::string names, captions;
  for (int i = 0; i < 12; ++i) {
    TCustomForm* form = Screen->Forms(before + i);
    names += form->Name() + " ";
    // The main window's caption: the product and its version, then a credit.
    captions += (i == 0 ? form->Caption().substr(0, 35) : form->Caption()) + "|";
    EXPECT_FALSE(form->Visible());
  }
  EXPECT_EQ(names,
            "FormMain FormAbout FormParams FormCreateImg Form2 FormFactor Lut FormSelDir FormSearch "
            "FormNumFormat LngForm FormEdit ");
  EXPECT_EQ(captions,
            "Orvanta - version 2.1g - 2014/02/18|About..|FormParams|Info Image|Process Finished - Error "
            "Report|Batch Operations:|Look Up Tables|"
            "Mask Directory|Search Parameters:|FileName Num Format|Fichiers de Traduction|Editer|");
  EXPECT_EQ(Application->MainForm(), FormMain);
  EXPECT_EQ(Screen->Forms(before), FormMain);
  // The chooser and the editor accept the message sent after a language file was applied.
  EXPECT_EQ(LngForm->Perform(1524, 0, 0), 0);
  EXPECT_EQ(FormEdit->Perform(1524, 0, 0), 0);
  // "Translation" shows the chooser, modeless.
  Screen->SetActiveForm(FormMain);
  FormMain->Translation1->trigger();
  EXPECT_TRUE(LngForm->Visible());
  LngForm->Hide();
  Application->DestroyForms();
  EXPECT_EQ(Screen->FormCount(), before);
  EXPECT_EQ(Application->MainForm(), nullptr);
  // No window variable may point at a freed window (the main window reads FormCreateImg when it
  // previews).
  for (TCustomForm* form :
       std::initializer_list<TCustomForm*>{FormMain, FormAbout, FormParams, FormCreateImg, Form2, FormFactor,
                                           Lut, FormSelDir, FormSearch, FormNumFormat, LngForm, FormEdit})
    EXPECT_EQ(form, nullptr);
}

}  // namespace
