// The rich edit's lines, selection and search, the plain list box, and the find dialog (the replace
// dialog is driven by the editor's tests).
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/string_list.h"
#include "toolkit/ui/find_dialogs.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/listbox.h"
#include "toolkit/ui/richedit.h"

namespace {

class TextForm : public TForm {
 public:
  explicit TextForm(TComponent* owner) : TForm(owner) {}
};

class TextControlsTest : public ::testing::Test {
 protected:
  std::unique_ptr<TextForm, TFormDeleter> Form = NewForm<TextForm>(nullptr);
};

TEST_F(TextControlsTest, RichEditLinesAreParagraphsAndALastBreakEndsTheLastLine) {
  auto* edit = new TRichEdit(Form.get(), Form.get());
  TStrings& lines = edit->Lines();
  EXPECT_EQ(lines.Count(), 0);
  lines.Add("b");
  lines.Insert(0, "a");
  lines.Add("");
  lines.Add("d");
  EXPECT_EQ(edit->Text(), "a\nb\n\nd\n");
  lines.Delete(3);
  lines.Delete(0);
  EXPECT_EQ(edit->Text(), "b\n\n");
  EXPECT_EQ(lines.Count(), 2);
  edit->SetText("x\ny");  // no last break
  EXPECT_EQ(lines.Count(), 2);
  lines.Add("z");
  lines.Delete(2);
  EXPECT_EQ(edit->Text(), "x\ny");
  lines.Delete(1);
  lines.Delete(0);
  EXPECT_EQ(lines.Count(), 0);
  EXPECT_THROW(lines.Delete(0), EListError);
  EXPECT_THROW(lines.Insert(2, "no"), EListError);

  // Text that is not UTF-8 is read as Latin-1; an indent survives a line's new text.
  lines.SetText("caf\xE9\r\nsecond\r\n");
  EXPECT_EQ(lines[0], "caf\xC3\xA9");
  edit->SetSelStart(edit->LineStart(1));
  edit->SetFirstIndent(20);
  lines.Put(1, "other");
  EXPECT_EQ(edit->FirstIndent(), 20);
  EXPECT_EQ(lines.Text(), "caf\xC3\xA9\r\nother\r\n");
  EXPECT_EQ(edit->LineStart(2), 11);  // the empty paragraph after the last break
  EXPECT_EQ(edit->LineStart(3), -1);
}

TEST_F(TextControlsTest, RichEditSelectionAndSearch) {
  auto* edit = new TRichEdit(Form.get(), Form.get());
  edit->SetText("Créer un créneau\ncréer");
  EXPECT_EQ(CharCount("Créer"), 5);
  EXPECT_EQ(edit->FindText("créer", 0, edit->TextLength(), 0), 0);
  EXPECT_EQ(edit->FindText("créer", 0, edit->TextLength(), stMatchCase), 17);
  EXPECT_EQ(edit->FindText("cré", 1, edit->TextLength() - 1, stWholeWord), -1);
  EXPECT_EQ(edit->FindText("cré", 1, edit->TextLength() - 1, 0), 9);
  EXPECT_EQ(edit->FindText("créer", 1, 20, 0), -1);  // the match would end past the range
  EXPECT_EQ(edit->FindText("", 0, edit->TextLength(), 0), -1);
  edit->SetSelStart(13);
  edit->SetSelLength(10);
  EXPECT_EQ(edit->SelText(), "eau\ncréer");
  edit->SetSelText("X");
  EXPECT_EQ(edit->Text(), "Créer un crénX");
  EXPECT_EQ(edit->SelStart(), 14);
  EXPECT_EQ(edit->SelLength(), 0);
  EXPECT_TRUE(edit->Modified());
  edit->SetModified(false);
  EXPECT_FALSE(edit->Modified());
  edit->SetSelStart(99);
  EXPECT_EQ(edit->SelStart(), edit->TextLength());
}

TEST_F(TextControlsTest, ListBoxEntriesIndexAndMousePresses) {
  auto* list = new TListBox(Form.get(), Form.get());
  list->SetBounds(0, 0, 120, 200);
  for (const char* name : {"a.lng", "b.lng", "c.lng"}) list->Items().Add(name);
  EXPECT_EQ(list->ItemIndex(), -1);
  list->SetItemIndex(1);
  EXPECT_EQ(list->ItemIndex(), 1);
  list->SetItemIndex(7);
  EXPECT_EQ(list->ItemIndex(), -1);
  Form->Show();
  const QRect second = list->visualItemRect(list->item(1));
  EXPECT_EQ(list->ItemAtPos({second.center().x(), second.center().y()}, true), 1);
  EXPECT_EQ(list->ItemAtPos({5, 190}, true), -1);
  EXPECT_EQ(list->ItemAtPos({5, 190}, false), 3);

  std::vector<std::string> presses;
  list->OnMouseDown = [&](TObject*, TMouseButton button, TShiftState shift, int, int y) {
    presses.push_back(std::string(button == TMouseButton::mbRight ? "right" : "left") +
                      ((shift & ssDouble) ? " double" : "") + " " +
                      std::to_string(list->ItemAtPos({2, y}, true)));
  };
  const QPointF at = second.center();
  QMouseEvent press(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &press);
  QMouseEvent twice(QEvent::MouseButtonDblClick, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &twice);
  QMouseEvent right(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at), Qt::RightButton,
                    Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(list->viewport(), &right);
  EXPECT_EQ(presses, (std::vector<std::string>{"left 1", "left double 1", "right 1"}));
  EXPECT_EQ(list->ItemIndex(), 1);
  Form->Hide();
}

TEST_F(TextControlsTest, TheFindDialogHandsItsStateToItsEvent) {
  auto* find = new TFindDialog(Form.get());
  find->SetName("Find");
  find->FindText = "start";
  find->Options = frDown | frHideMatchCase | frHideWholeWord;
  std::vector<std::string> events;
  find->OnFind = [&](TObject*) { events.push_back("find " + find->FindText); };
  EXPECT_FALSE(find->Showing());
  find->SetPosition(40, 50);
  find->Execute();
  ASSERT_TRUE(find->Showing());
  auto* dialog = Form->findChild<QDialog*>("Find");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->findChild<QLineEdit*>("FindText")->text(), "start");
  EXPECT_FALSE(dialog->findChild<QCheckBox*>("MatchCase")->isVisibleTo(dialog));
  EXPECT_EQ(dialog->findChild<QPushButton*>("Replace"), nullptr);
  dialog->findChild<QLineEdit*>("FindText")->setText("next");
  dialog->findChild<QPushButton*>("FindNext")->click();
  EXPECT_EQ(find->Options, frDown | frHideMatchCase | frHideWholeWord | frFindNext);
  find->CloseDialog();
  EXPECT_FALSE(find->Showing());

  EXPECT_EQ(events, (std::vector<std::string>{"find next"}));
}

}  // namespace
