// The main window's own handlers (close question, key table, shortcuts, list entering, message strings,
// hints, the stretch mark) and the program's twelve windows.
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include "tests/workbench/main_window_fixture.h"
#include "toolkit/core/inifiles.h"
#include "toolkit/ui/application.h"
#include "translation/program_forms.h"
#include "translation/uformedit.h"
#include "translation/ulngform.h"
#include "workbench/uabout.h"
#include "workbench/ucreateimg.h"
#include "workbench/uformerror.h"
#include "workbench/uformfactor.h"
#include "workbench/uformparam.h"
#include "workbench/ulngstrings.h"
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
  Form->FResultMerged = true;
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

TEST_F(MainWindowHandlersTest, ShortcutsOutsideTheKeyTableRunTheirMenuCommands) {
  std::unique_ptr<TFormAbout, TFormDeleter> about = NewForm<TFormAbout>(nullptr);
  FormAbout = about.get();
  Form->Show();
  Form->ToolBar1Click(Form.get());
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {"/p/a.bmp", "/p/b.bmp", "/p/c.bmp"});
  list.SetItemIndex(0);
  Press(Qt::Key_E, Qt::ControlModifier);  // the highlighted entry to the end
  EXPECT_EQ(Paths(list), (Strings{"/p/b.bmp", "/p/c.bmp", "/p/a.bmp"}));
  list.SetSelected(0, true);
  Script().AnswerMessageBox(IDOK, "Clear Selection");
  Press(Qt::Key_Delete, Qt::NoModifier);
  EXPECT_EQ(Paths(list), (Strings{"/p/c.bmp", "/p/a.bmp"}));
  // Neither file exists.
  Script().AnswerMessageBox(IDOK,
                            "2 Files in Error\nFirst: " + LoadError("/p/c.bmp", "No such file or directory"));
  Press(Qt::Key_T, Qt::ControlModifier);
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Press(Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(list.Count(), 0);
  // No picture was merged: there is no result to save.
  Script().AnswerMessageBox(IDOK, "There is no result to save: no picture has been merged into it.");
  Press(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(Script().Asked().back().Caption, "Save Result as...");
  Script().AnswerShowModal("FormAbout", mrOk);
  Press(Qt::Key_F1, Qt::NoModifier);
  Press(Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(Form->Visible());
  FormAbout = nullptr;
}

TEST_F(MainWindowHandlersTest, EnteringAListSetsCaptionsColoursAndFocusButtons) {
  Form->ListBoxEnter(Form->ListBox2);
  EXPECT_EQ(Form->GetCurrentList(), Form->ListBox2);
  EXPECT_EQ(Form->LoadList1->Caption(), "Load RIGHT list");
  EXPECT_EQ(Form->SaveList1->Caption(), "Save RIGHT list");
  EXPECT_EQ(Form->ListBox1->Color(), TColor(0xCFCFCF));
  EXPECT_EQ(Form->ListBox2->Color(), clWhite);
  EXPECT_EQ(Form->FListCaption, "Right List");
  EXPECT_FALSE(Form->ToolButtonFocus1->Down());
  EXPECT_TRUE(Form->ToolButtonFocus2->Down());
  Form->ToolButtonFocus1->Click();
  EXPECT_EQ(Form->GetCurrentList(), Form->ListBox1);
  EXPECT_EQ(Form->SaveList1->Caption() + "|" + Form->FListCaption, "Save LEFT list|Left List");
  EXPECT_EQ(Form->ListBox1->Color(), clWhite);
  EXPECT_FALSE(Form->ToolButtonFocus2->Down());
}

// What a language file changes, each text read by its key when it is needed.
TEST_F(MainWindowHandlersTest, MessageStringsAreReadByTheirKeysWhenUsed) {
  const std::string defaults = Temp.File("defaults.lng"), translated = Temp.File("fr.lng");
  TMemIniFile snapshot(defaults);
  WriteLngStrings(snapshot);
  snapshot.UpdateFile();
  const std::string text =
      "[Strings]\nkstClearList=Vider ?\nkstClearSelection=Effacer\nkstcaption1=Gauche\nkstcaption2=Droite\n"
      "kstproc=Resultat\nkstEmptyList=Vide\nkstUnknownFormat=Illisible %s\nkstoverwrite=Remplacer %s ?\n"
      "kstLoadCaption=Lire %s\nkstSaveCaption=Ecrire %s\nkstleft=G\nkstright=D\n";
  WriteWholeFile(translated, std::vector<uint8_t>(text.begin(), text.end()));
  TMemIniFile language(translated);
  ReadLngStrings(language);

  Form->ToolBar2Click(Form.get());
  EXPECT_EQ(Form->LoadList1->Caption(), "Lire D");
  EXPECT_EQ(Form->SaveList1->Caption(), "Ecrire D");
  Fill(*Form->ListBox2, {"/p/x.bmp", Temp.File("gone.bmp")});
  Form->ListBox2->SetSelected(0, true);
  Script().AnswerMessageBox(IDCANCEL, "Effacer");
  Form->ClearSelection1Click(Form.get());
  Script().AnswerMessageBox(IDCANCEL, "Vider ?");
  Form->ClearList1Click(Form.get());
  EXPECT_EQ(Script().Asked().back().Caption, "Droite");
  Form->PreviewEntry(1, Form->ListBox2);
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(),
            "Illisible " + Temp.File("gone.bmp") + ": No such file or directory");
  Form->PreviewEntry(7, Form->ListBox2);
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), "Vide");
  Form->ToolBar1Click(Form.get());
  EXPECT_EQ(Form->SaveList1->Caption(), "Ecrire G");
  EXPECT_EQ(Form->FListCaption, "Gauche");
  Form->ClearResult1->Click();
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), "Resultat");
  WritePicture("process0000.bmp", 1);
  Form->FStepPrefix = Temp.File("process");
  int answer = mrYes;
  Script().AnswerMessageDlg(mrNo, "Remplacer " + Temp.File("process0000.bmp") + " ?");
  Form->SaveStep(Form->FResult.get(), answer);

  TMemIniFile back(defaults);
  ReadLngStrings(back);
}

TEST_F(MainWindowHandlersTest, HintsShowAsTooltipsAlsoOnButtonsBoundToMenuItems) {
  EXPECT_EQ(Form->ToolButtonSave->toolTip().toStdString(), "Save Result as...");
  EXPECT_EQ(Form->ToolButton1->toolTip().toStdString(), "Show Result...");
  EXPECT_EQ(Form->ToolButtonOpen1->toolTip().toStdString(), "New list...");
  // A language file sets hints of buttons and menu items alike; a menu shows its items' hints.
  Form->ToolButtonSave->SetHint("Enregistrer");
  EXPECT_EQ(Form->ToolButtonSave->toolTip().toStdString(), "Enregistrer");
  EXPECT_EQ(Form->Redirect1->toolTip().toStdString(), "Change Current List Directory");
  EXPECT_TRUE(Form->Redirect1->Parent()->SubMenu()->toolTipsVisible());
}

// The stretch item checks itself when chosen and its handler follows the new mark; opening the menu
// sets the mark from the view's stretch switch, which every handler leaves on.
TEST_F(MainWindowHandlersTest, StretchItemTogglesWhenChosenInTheMenu) {
  Form->Show();
  QMenu* menu = Form->Options1->SubMenu();
  auto choose = [&] {
    menu->popup(QPoint(10, 10));
    QApplication::processEvents();
    const QPoint at = menu->actionGeometry(Form->Adapterlimage1).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, menu->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, menu->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(menu, &press);
    QApplication::sendEvent(menu, &release);
    QApplication::processEvents();
  };
  choose();
  EXPECT_FALSE(Form->Adapterlimage1->Checked());
  EXPECT_FALSE(Form->Adapterlimage1->isChecked());
  EXPECT_FALSE(Form->ToolButton7->Down());
  EXPECT_TRUE(Form->ScrollBox1->AutoScroll());
  choose();  // the menu opened checked again
  EXPECT_FALSE(Form->Adapterlimage1->Checked());
  EXPECT_FALSE(Form->ToolButton7->Down());
}

TEST(ProgramWindowsTest, TwelveWindowsAreCreatedInOrderUnderTheirNamesAndFreedWithTheirVariables) {
  const int before = Screen->FormCount();
  CreateProgramForms();
  ASSERT_EQ(Screen->FormCount(), before + 12);
  std::string names;
  for (int i = 0; i < 12; ++i) {
    names += Screen->Forms(before + i)->Name() + " ";
    EXPECT_FALSE(Screen->Forms(before + i)->Visible());
  }
  EXPECT_EQ(names,
            "FormMain FormAbout FormParams FormCreateImg Form2 FormFactor Lut FormSelDir FormSearch "
            "FormNumFormat LngForm FormEdit ");
  EXPECT_EQ(Application->MainForm(), FormMain);
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
