// The main window: its components, its own handlers, the close question and the key table.
#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

#include "tests/support/scripted_dialogs_fixture.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/screen.h"
#include "toolkit/ui/system_services.h"
#include "workbench/uabout.h"
#include "workbench/umain.h"

namespace {

class MainWindowTest : public ScriptedDialogsTest {
 protected:
  void SetUp() override {
    Form = NewForm<TFormMain>(nullptr);
    Screen->SetActiveForm(Form.get());
  }
  void TearDown() override {
    ScriptedDialogsTest::TearDown();
    Form.reset();
  }
  // The left list made current, with entries added checked and enabled.
  TCheckListBox& LeftList(std::initializer_list<const char*> paths) {
    Form->SetCurrentList(Form->ListBox1);
    for (const char* path : paths) Form->ListBox1->SetChecked(Form->ListBox1->Items().Add(path), true);
    return *Form->ListBox1;
  }
  void Press(int qtKey, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(QEvent::KeyPress, qtKey, modifiers);
    QApplication::sendEvent(Form->ListBox1, &event);
  }

  std::unique_ptr<TFormMain, TFormDeleter> Form;
};

TEST_F(MainWindowTest, CreationSetsTheDefaults) {
  EXPECT_EQ(Form->Caption().rfind("Orvanta - version 2.1g - 2014/02/18", 0), 0u);
  EXPECT_EQ(Form->FPointX, -1);
  EXPECT_EQ(Form->FPointY, -1);
  // The creation ends by previewing the empty list, which fits the 1 x 1 view into the scroll box.
  EXPECT_EQ(Form->FZoom, std::min(Form->ScrollBox1->Width(), Form->ScrollBox1->Height()) - 6.0);
  EXPECT_TRUE(Form->KeyPreview);
  EXPECT_EQ(Form->FListCaption, "Left List");
  EXPECT_FALSE(Form->FDirty);
  ASSERT_NE(Form->FResult, nullptr);
  EXPECT_EQ(Form->FResult->Width(), 1);
  EXPECT_EQ(Form->FResult->Height(), 1);
  EXPECT_EQ(Form->FResult->PixelFormat(), pf24bit);
  EXPECT_TRUE(Form->FFirstIsStep);
  EXPECT_EQ(Form->FResultCount, 0);
  EXPECT_EQ(Form->FStepPrefix, "");
  EXPECT_EQ(Form->FStepExt, "");
  EXPECT_EQ(Form->FStepCounter, 0);
  EXPECT_TRUE(Form->FPadNumbers);
  EXPECT_EQ(Form->FNumFormat, "%s%4.4d%s");
  EXPECT_TRUE(Form->FAutoAdapt);
  EXPECT_TRUE(Form->Image1->Stretch());
  EXPECT_TRUE(Form->ToolButton7->Down());
  EXPECT_TRUE(Form->ScrollBox1->DoubleBuffered);
  EXPECT_TRUE(TOpenDialog::OpenInCurrentFolder);
  // The window was not active while it was made, so no list became current.
  EXPECT_EQ(Form->GetCurrentList(), nullptr);
  EXPECT_EQ(Form->Width(), 781);
  EXPECT_EQ(Form->Height(), 387);
}

TEST_F(MainWindowTest, DestructionFreesTheResult) {
  Form->FDirty = true;
  Form->FormDestroy(Form.get());
  EXPECT_FALSE(Form->FDirty);
  EXPECT_EQ(Form->FResult, nullptr);
}

TEST_F(MainWindowTest, ClosingWithoutUnsavedWorkAsksNothing) {
  Form->Show();
  Form->Quit1->trigger();
  EXPECT_FALSE(Form->Visible());
  EXPECT_TRUE(Script().Asked().empty());
}

TEST_F(MainWindowTest, CloseQuestionCancelKeepsTheWindow) {
  Form->Show();
  Form->FDirty = true;
  Script().AnswerMessageBox(IDCANCEL, "Save Processed Image?");
  Form->Close();
  EXPECT_TRUE(Form->Visible());
  EXPECT_TRUE(Form->FDirty);
  ASSERT_EQ(Script().Asked().size(), 1u);
  EXPECT_EQ(Script().Asked()[0].Caption, "Quit!!");
  EXPECT_EQ(Script().Asked()[0].Flags & MB_BUTTONS_MASK, MB_YESNOCANCEL);
}

TEST_F(MainWindowTest, CloseQuestionYesSavesAndKeepsTheWindow) {
  Form->Show();
  Form->FDirty = true;
  Script().AnswerMessageBox(IDYES, "Save Processed Image?");
  Script().AnswerSaveFile("");  // the save dialog of "Save Result as...", cancelled
  bool canClose = true;
  Form->FormCloseQuery(Form.get(), canClose);
  EXPECT_FALSE(canClose);
  EXPECT_TRUE(Form->FDirty);
  Script().AnswerMessageBox(IDYES, "Save Processed Image?");
  Script().AnswerSaveFile("");
  Form->Close();
  EXPECT_TRUE(Form->Visible());
}

TEST_F(MainWindowTest, CloseQuestionNoCloses) {
  Form->Show();
  Form->FDirty = true;
  Script().AnswerMessageBox(IDNO, "Save Processed Image?");
  Form->Quit1->Click();
  EXPECT_FALSE(Form->Visible());
}

TEST_F(MainWindowTest, InvertingKeysRunTheirCommandOncePerPress) {
  TCheckListBox& list = LeftList({"/p/a.bmp", "/p/b.bmp", "/p/c.bmp"});
  list.SetSelected(0, true);
  list.SetSelected(1, true);
  // Ctrl+I is both a menu shortcut and in the key table: one inversion.
  Press(Qt::Key_I, Qt::ControlModifier);
  EXPECT_FALSE(list.Checked(0));
  EXPECT_FALSE(list.Checked(1));
  EXPECT_TRUE(list.Checked(2));
  // Ctrl+Alt+I inverts every enabled entry, once.
  list.SetItemEnabled(2, false);
  Press(Qt::Key_I, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_TRUE(list.Checked(0));
  EXPECT_TRUE(list.Checked(1));
  EXPECT_TRUE(list.Checked(2));  // disabled: left alone
}

TEST_F(MainWindowTest, CheckingKeysOfTheKeyTable) {
  TCheckListBox& list = LeftList({"/p/a.bmp", "/p/b.bmp", "/p/c.bmp"});
  // Ctrl+U unchecks the selection, disabled entries too.
  list.SetSelected(1, true);
  list.SetItemEnabled(1, false);
  Press(Qt::Key_U, Qt::ControlModifier);
  EXPECT_FALSE(list.Checked(1));
  // Ctrl+Alt+U unchecks everything.
  Press(Qt::Key_U, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_FALSE(list.Checked(0));
  EXPECT_FALSE(list.Checked(2));
  // Ctrl+K (the key table's; the submenu's own shortcut does nothing) checks the enabled selection.
  list.SetSelected(0, true);
  Press(Qt::Key_K, Qt::ControlModifier);
  EXPECT_TRUE(list.Checked(0));
  EXPECT_FALSE(list.Checked(1));
  EXPECT_FALSE(list.Checked(2));
  // Ctrl+Alt+K (no menu item has it) checks every enabled entry and unchecks the disabled ones.
  list.SetChecked(1, true);
  Press(Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_TRUE(list.Checked(0));
  EXPECT_FALSE(list.Checked(1));
  EXPECT_TRUE(list.Checked(2));
  // Ctrl+A selects every entry.
  Press(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(list.SelCount(), 3);
}

TEST_F(MainWindowTest, KeysWithoutControlDoNothing) {
  TCheckListBox& list = LeftList({"/p/a.bmp", "/p/b.bmp"});
  list.SetSelected(0, true);
  for (Qt::KeyboardModifiers modifiers :
       {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::AltModifier),
        Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
    for (int key : {Qt::Key_A, Qt::Key_I, Qt::Key_K, Qt::Key_U}) Press(key, modifiers);
  }
  EXPECT_TRUE(list.Checked(0));
  EXPECT_TRUE(list.Checked(1));
  EXPECT_EQ(list.SelCount(), 1);
  // The key code is handed back unchanged.
  Word key = 'I';
  Form->FormKeyDown(Form.get(), key, ssCtrl);
  EXPECT_EQ(key, 'I');
  EXPECT_FALSE(list.Checked(0));
}

TEST_F(MainWindowTest, OptionsMenuRefreshesItsCheckMarks) {
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
  Form->Options1Click(Form.get());
  EXPECT_TRUE(Form->numformat1->Checked());
  EXPECT_FALSE(Form->SortList1->Checked());
}

TEST_F(MainWindowTest, PauseButtonSetsBothFlags) {
  Form->ToolButtonAbort->click();
  EXPECT_TRUE(Form->FPause);
  EXPECT_TRUE(Form->FAbort);
}

TEST_F(MainWindowTest, ComputerNameGoesToTheThirdPanel) {
  Form->ToolButton9->click();
  char name[256] = {};
  uint32_t size = sizeof(name);
  ASSERT_TRUE(GetComputerNameA(name, &size));
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), std::string(name));
  EXPECT_FALSE(Form->StatusBar1->Panels(2).Text().empty());
}

TEST_F(MainWindowTest, AboutIsShownModally) {
  auto about = NewForm<TFormAbout>(nullptr);
  FormAbout = about.get();
  Script().AnswerShowModal("FormAbout", mrOk);
  Form->About1->trigger();
  FormAbout = nullptr;
  EXPECT_EQ(Script().Asked().size(), 1u);
}

TEST_F(MainWindowTest, ItemsWithoutHandlersDoNothing) {
  Form->GaussianSubtraction1->trigger();
  Form->Zentorsavemeteors1->trigger();
  Form->Edit1->Click();
  EXPECT_TRUE(Script().Asked().empty());
}

}  // namespace
