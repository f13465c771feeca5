// The scripted dialogs seam, the file-dialog components and filter conversion.
#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "tests/support/scripted_dialogs_fixture.h"
#include "tests/support/test_files.h"
#include "toolkit/ui/file_dialogs.h"
#include "toolkit/ui/file_filter.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/qt_dialogs.h"
#include "toolkit/ui/stdctrls.h"

namespace {

TEST(ScriptedDialogs, AnswersComeInOrderAndEveryQuestionIsRecorded) {
  TScriptedDialogs script;
  script.AnswerMessageBox(IDYES).AnswerMessageDlg(mrNoToAll).AnswerInputQuery(true, "12");
  EXPECT_EQ(script.MessageBox("first", "c1", MB_YESNO), IDYES);
  EXPECT_EQ(script.MessageDlg("OverWrite? x.bmp", TMsgDlgType::mtWarning, mbYes | mbNo | mbNoToAll),
            mrNoToAll);
  std::string value = "5";
  EXPECT_TRUE(script.InputQuery("Zentor", "Threshold", value));
  EXPECT_EQ(value, "12");
  ASSERT_EQ(script.Asked().size(), 3u);
  EXPECT_EQ(script.Asked()[1].Text, "OverWrite? x.bmp");
  EXPECT_EQ(script.Asked()[1].Caption, "mtWarning");
  EXPECT_EQ(script.Asked()[1].Flags, mbYes | mbNo | mbNoToAll);
  EXPECT_EQ(script.Asked()[2].Caption, "Zentor");
  EXPECT_TRUE(script.Failures().empty());
  EXPECT_EQ(script.PendingAnswers(), 0u);
}

TEST(ScriptedDialogs, UnexpectedWrongKindAndWrongTextAreReported) {
  TScriptedDialogs script;
  // Nothing queued: the question fails and gets the cancel answer of its kind.
  EXPECT_EQ(script.MessageBox("surprise", "x", MB_OKCANCEL), IDCANCEL);
  ASSERT_EQ(script.Failures().size(), 1u);
  EXPECT_NE(script.Failures()[0].find("surprise"), std::string::npos);

  // The next answer is for another kind of question: reported, and the answer stays queued.
  script.AnswerMessageDlg(mrYes);
  std::string value = "keep";
  EXPECT_FALSE(script.InputQuery("c", "p", value));
  EXPECT_EQ(value, "keep");
  EXPECT_EQ(script.Failures().size(), 2u);
  EXPECT_EQ(script.PendingAnswers(), 1u);

  // The right kind with another text: answered, and reported.
  script.Answer([] {
    TScriptedAnswer answer(TDialogKind::MessageDlg, mrYes);
    answer.ExpectedText = "expected";
    return answer;
  }());
  EXPECT_EQ(script.MessageDlg("first", TMsgDlgType::mtWarning, mbYes), mrYes);  // the queued mrYes
  EXPECT_EQ(script.MessageDlg("other", TMsgDlgType::mtWarning, mbYes), mrYes);
  EXPECT_EQ(script.Failures().size(), 3u);
  EXPECT_NE(script.Failures()[2].find("expected"), std::string::npos);
}

class ModalForm : public TForm {
 public:
  explicit ModalForm(TComponent* owner) : TForm(owner), Box(new TCheckBox(this, this)) {
    SetName("FormTry");
    SetCaption("Try");
    Box->SetName("CheckBox1");
  }
  TCheckBox* Box;
};

class DialogComponentsTest : public ScriptedDialogsTest {};

TEST_F(DialogComponentsTest, ShowModalIsAnsweredWithoutAPerson) {
  auto form = NewForm<ModalForm>(nullptr);
  Script().AnswerShowModal("FormTry", mrNone, [](TCustomForm& shown) {
    static_cast<ModalForm&>(shown).Box->SetChecked(true);
    shown.SetModalResult(mrOk);
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_TRUE(form->Box->Checked());
  EXPECT_EQ(Script().Asked()[0].Caption, "Try");
}

TEST_F(DialogComponentsTest, OpenDialogHandsTheRequestAndTakesEveryFile) {
  TOpenDialog dialog(nullptr);
  dialog.Filter = "Bitmaps (*.bmp)|*.bmp|JPEG|*.jpg;*.jpeg";
  dialog.FilterIndex = 2;
  dialog.Options = ofHideReadOnly | ofAllowMultiSelect | ofEnableSizing;
  dialog.DefaultExt = "bmp";
  dialog.Title = "Open";
  Script().AnswerOpenFile({"/tmp/a.jpg", "/tmp/b"});
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.Files, (std::vector<std::string>{"/tmp/a.jpg", "/tmp/b.bmp"}));
  EXPECT_EQ(dialog.FileName, "/tmp/a.jpg");
  EXPECT_TRUE(Script().LastFileRequest().MultiSelect);
  EXPECT_EQ(Script().LastFileRequest().FilterIndex, 2);
  EXPECT_EQ(Script().LastFileRequest().Filter, dialog.Filter);
}

// The real Qt dialog, answered by typing a name: an open dialog takes a name that names no file (a list
// file to be loaded, say) unless it asks for existing files, and then Qt refuses it with a warning.
TEST(QtOpenDialog, TakesATypedNameOfNoFileUnlessItMustExist) {
  TempDir folder;
  TQtDialogs dialogs;
  for (const bool mustExist : {false, true}) {
    TFileDialogRequest request;
    request.InitialDir = folder.Path().string();
    request.MultiSelect = true;
    request.MustExist = mustExist;
    QTimer::singleShot(0, [] {
      QPointer<QFileDialog> dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      dialog->findChild<QLineEdit*>("fileNameEdit")->setText("new-list.txt");
      // Whatever stays open after the answer (Qt's warning, the dialog itself) is closed unanswered.
      QTimer::singleShot(0, [dialog] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->reject();
        if (dialog) dialog->reject();
      });
      static_cast<QDialog*>(dialog)->accept();  // as the dialog's Open button does
    });
    EXPECT_EQ(dialogs.OpenFile(request), !mustExist) << mustExist;
    if (!mustExist) {
      EXPECT_EQ(request.FileName, folder.File("new-list.txt"));
    }
  }
}

// A plain window, optionally one that stays on top.
class PlainForm : public TForm {
 public:
  PlainForm(const char* name, bool onTop) : TForm(nullptr) {
    SetName(name);
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  }
};

// The real Qt boxes, answered by a click: opened over the window that stays on top (and on top
// themselves), their buttons side by side in the toolkit's order, wide enough for their caption.
TEST(QtMessageBoxes, OpenAboveTheTopmostWindowInOrderAndAsWideAsTheirCaption) {
  auto plain = NewForm<PlainForm>("FormPlain", false);
  auto tool = NewForm<PlainForm>("FormTool", true);
  plain->Show();
  tool->Show();
  TQtDialogs dialogs;
  std::vector<std::string> shown;
  bool onTop = false;
  QWidget* parent = nullptr;
  int width = 0;
  auto answer = [&](const QString& caption) {
    QTimer::singleShot(0, [&, caption] {
      auto* box = dynamic_cast<TMessageBoxWindow*>(QApplication::activeModalWidget());
      if (!box) return;
      box->adjustSize();
      parent = box->parentWidget();
      onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
      width = box->width();
      std::vector<std::pair<int, std::string>> byPlace;
      for (const auto& [button, result] : box->Buttons())
        byPlace.emplace_back(button->mapTo(box, QPoint(0, 0)).x(), button->text().toStdString());
      std::sort(byPlace.begin(), byPlace.end());
      shown.clear();
      for (const auto& [x, text] : byPlace) shown.push_back(text);
      for (const auto& [button, result] : box->Buttons())
        if (button->text() == caption) button->click();
    });
  };
  answer("Non pour tout");
  EXPECT_EQ(dialogs.MessageDlg("OverWrite? /n/a.bmp", TMsgDlgType::mtWarning,
                               mbYes | mbNo | mbCancel | mbNoToAll | mbYesToAll),
            mrNoToAll);
  EXPECT_EQ(shown, (std::vector<std::string>{"Oui", "Non", "Annuler", "Non pour tout", "Oui pour tout"}));
  EXPECT_EQ(parent, tool->Widget());
  EXPECT_TRUE(onTop);

  answer("OK");
  EXPECT_EQ(dialogs.MessageBox("3 File(s) in Error", "Process Pictures", MB_OK), IDOK);
  EXPECT_EQ(shown, std::vector<std::string>{"OK"});
  EXPECT_GE(width, CaptionWidth("Process Pictures"));

  tool->Hide();
  plain->Show();
  answer("Non");
  EXPECT_EQ(dialogs.MessageBox("Stop?", "STOP by User", MB_YESNO), IDNO);
  EXPECT_EQ(parent, plain->Widget());
  EXPECT_FALSE(onTop);
}

TEST(FileFilter, PascalFiltersBecomeQtFilters) {
  EXPECT_EQ(QtNameFilters("Bitmaps|*.bmp;*.dib|All|*.*"),
            (std::vector<std::string>{"Bitmaps (*.bmp *.dib)", "All (*.*)"}));
  // A description that lists its patterns keeps them once.
  EXPECT_EQ(QtNameFilters("All (*.bmp;*.jpg)|*.bmp;*.jpg|JPEG Image File (*.jpg)|*.jpg"),
            (std::vector<std::string>{"All (*.bmp *.jpg)", "JPEG Image File (*.jpg)"}));
  // Odd pieces: a description without patterns is dropped; blanks around patterns go.
  EXPECT_EQ(QtNameFilters("Lang| *.lng ;|Orphan"), (std::vector<std::string>{"Lang (*.lng)"}));
  EXPECT_TRUE(QtNameFilters("").empty());
  EXPECT_EQ(FilterPatterns("A|*.a|B|*.b;*.c", 2), (std::vector<std::string>{"*.b", "*.c"}));
  EXPECT_EQ(FilterPatterns("A|*.a|B|*.b", 7), (std::vector<std::string>{"*.a"}));
}

}  // namespace
