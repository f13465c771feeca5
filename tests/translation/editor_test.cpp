// The language-file editor: opening, marking, saving, find and replace, and the save question on every
// path that could drop edits.
#include <QLineEdit>
#include <QPushButton>

#include "tests/translation/translation_fixture.h"
#include "toolkit/core/string_list.h"
#include "translation/uformedit.h"

namespace {

const std::string kSaveQuestion = "Voulez-vous enregistrer les  modifications ?";

class EditorTest : public ScriptedDialogsTest {
 protected:
  std::string WriteFile(const std::string& name, const std::string& text) {
    const std::string path = Temp.File(name);
    WriteWholeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
    return path;
  }
  static std::string Contents(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    return {bytes.begin(), bytes.end()};
  }
  std::string Selected() const { return Edit->RichEdit1->SelText(); }
  void Type(const std::string& text) {
    Edit->RichEdit1->SetSelStart(0);
    Edit->RichEdit1->SetSelText(text);
  }
  void Find(const std::string& text) {
    Edit->FindDialog1->FindText = text;
    Edit->FindDialog1Find(Edit->FindDialog1);
  }

  TempDir Temp;
  std::unique_ptr<TFormEdit, TFormDeleter> Edit = NewForm<TFormEdit>(nullptr);
  const std::string Sample = WriteFile(
      "fr.lng", "[FormMain]\r\nCaption=Principal\r\n\r\nstray\r\n[FormMain.Quit1]\r\nCaption=Quitter\r\n");
};

TEST_F(EditorTest, OpeningMarksSectionAndKeyLinesAndSavingWritesPlainText) {
  Edit->OpenEditor(Sample, Temp.Path().string(), "Langues *.lng|*.lng");
  EXPECT_TRUE(Edit->Visible());
  EXPECT_EQ(Edit->Caption(), "Editer : " + Sample);
  EXPECT_EQ(Edit->RichEdit1->Lines().Count(), 6);
  EXPECT_FALSE(Edit->RichEdit1->Modified());
  std::string indents;
  for (int i = 0; i < 6; ++i) {
    Edit->RichEdit1->SetSelStart(Edit->RichEdit1->LineStart(i));
    indents += std::to_string(Edit->RichEdit1->FirstIndent()) + " ";
  }
  EXPECT_EQ(indents, "20 20 0 0 20 20 ");

  Edit->RichEdit1->Lines().Put(3, "; comment");
  EXPECT_TRUE(Edit->RichEdit1->Modified());
  const std::string copy = Temp.File("copy.lng");
  Script().AnswerSaveFile(copy);
  Edit->BitBtnSave->click();
  EXPECT_EQ(Script().LastFileRequest().Filter, "Langues *.lng|*.lng");
  EXPECT_EQ(Script().LastFileRequest().FileName, "fr.lng");
  EXPECT_EQ(Contents(copy),
            "[FormMain]\r\nCaption=Principal\r\n\r\n; comment\r\n[FormMain.Quit1]\r\nCaption=Quitter\r\n");
  EXPECT_EQ(Edit->FFileName, copy);
  EXPECT_EQ(Edit->Caption(), "Editer : " + copy);
  EXPECT_FALSE(Edit->RichEdit1->Modified());
}

TEST_F(EditorTest, AnEightBitFileIsShownRightAndSavedInItsOwnEncoding) {
  const std::string old =
      "[FormMain]\r\nCaption=Cr\xE9"
      "er \x80\r\n\r\n";
  const std::string path = WriteFile("old.lng", old);
  Edit->OpenEditor(path, "", "");
  EXPECT_EQ(Edit->RichEdit1->Lines()[1],
            "Caption=Cr\xC3\xA9"
            "er \xE2\x82\xAC");
  EXPECT_EQ(Edit->FEncoding, TTextEncoding::teWindows1252);
  Script().AnswerSaveFile("");
  Edit->MenuEdit_SaveClick(Edit.get());  // cancelled: nothing written
  const auto saved = [&] {
    Script().AnswerSaveFile(path);
    Edit->BitBtnSave->click();
    return Contents(path);
  };
  EXPECT_EQ(saved(), old);  // unchanged text, unchanged bytes
  Edit->RichEdit1->Lines().Put(2, "Hint=d\xC3\xA9j\xC3\xA0");
  EXPECT_EQ(saved(),
            "[FormMain]\r\nCaption=Cr\xE9"
            "er \x80\r\nHint=d\xE9j\xE0\r\n");
  // A text that code page cannot carry is saved as UTF-8 rather than lose it.
  Edit->RichEdit1->Lines().Put(2, "Hint=\xD0\x9F\xD1\x83\xD1\x81\xD0\xBA");
  EXPECT_EQ(saved(),
            "[FormMain]\r\nCaption=Cr\xC3\xA9"
            "er \xE2\x82\xAC\r\nHint=\xD0\x9F\xD1\x83\xD1\x81\xD0\xBA\r\n");
  EXPECT_EQ(Edit->FEncoding, TTextEncoding::teUtf8);
  // A UTF-8 file opened afterwards is UTF-8 again whatever the one before was.
  Edit->OpenEditor(Sample, "", "");
  EXPECT_EQ(Edit->FEncoding, TTextEncoding::teUtf8);
}

// A file saved by a Windows editor starts with a byte-order mark: the editor shows no trace of it, its
// first section is marked like the others, and it saves the mark again.
TEST_F(EditorTest, AByteOrderMarkIsHiddenAndKeptOnSaving) {
  const std::string marked = "\xEF\xBB\xBF[FormMain]\r\nCaption=Principal\r\n";
  const std::string path = WriteFile("marked.lng", marked);
  Edit->OpenEditor(path, "", "");
  EXPECT_EQ(Edit->RichEdit1->Lines()[0], "[FormMain]");
  EXPECT_EQ(Edit->FEncoding, TTextEncoding::teUtf8Bom);
  Script().AnswerSaveFile(path);
  Edit->BitBtnSave->click();
  EXPECT_EQ(Contents(path), marked);
  Edit->RichEdit1->Lines().Put(1, "Caption=Fen\xC3\xAAtre");
  Script().AnswerSaveFile(path);
  Edit->BitBtnSave->click();
  EXPECT_EQ(Contents(path), "\xEF\xBB\xBF[FormMain]\r\nCaption=Fen\xC3\xAAtre\r\n");
  // A file without the mark gets none.
  Edit->OpenEditor(Sample, "", "");
  EXPECT_EQ(Edit->FEncoding, TTextEncoding::teUtf8);
  Script().AnswerSaveFile(Sample);
  Edit->BitBtnSave->click();
  EXPECT_EQ(Contents(Sample).substr(0, 10), "[FormMain]");
}

// A list file of some 20,000 pictures opened from the chooser is about 100,000 lines.
TEST_F(EditorTest, ALargeFileOpensWithEveryLineMarked) {
  constexpr int kSections = 20000;
  std::string text;
  for (int i = 0; i < kSections; ++i)
    text +=
        "[L" + std::to_string(i) + "]\r\nname=/n/" + std::to_string(i) + ".jpg\r\nslct=0\r\nchck=1\r\n\r\n";
  Edit->OpenEditor(WriteFile("large.lng", text), "", "");
  ASSERT_EQ(Edit->RichEdit1->Lines().Count(), kSections * 5);
  int marked = 0, wrong = 0;
  for (int i = 0; i < kSections * 5; i += 997) {
    Edit->RichEdit1->SetSelStart(Edit->RichEdit1->LineStart(i));
    const bool mark = Edit->RichEdit1->FirstIndent() == 20;
    marked += mark ? 1 : 0;
    if (mark != (i % 5 != 4)) ++wrong;
  }
  EXPECT_GT(marked, 0);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(Edit->RichEdit1->Lines()[kSections * 5 - 2], "chck=1");
  EXPECT_FALSE(Edit->RichEdit1->Modified());
}

TEST_F(EditorTest, AMissingFileIsAskedForAndCancellingLeavesAnEmptyEditor) {
  Script().AnswerOpenFile({});
  Edit->OpenEditor(Temp.File("none.lng"), Temp.Path().string(), "");
  EXPECT_EQ(Script().LastFileRequest().InitialDir, Temp.Path().string());
  EXPECT_EQ(Script().LastFileRequest().FileName, Temp.File("none.lng"));
  EXPECT_EQ(Script().LastFileRequest().Filter, "*.*|*.*");
  EXPECT_EQ(Edit->Caption(), "Editer : ");
  EXPECT_EQ(Edit->RichEdit1->Lines().Count(), 0);
  Script().AnswerOpenFile({Sample});
  Edit->OpenEditor("", "", "x|*.x");
  EXPECT_EQ(Script().LastFileRequest().FileName, "*.*");
  EXPECT_EQ(Edit->FFileName, Sample);
}

TEST_F(EditorTest, FindGoesFromMatchToMatchAndStartsAgainAfterNotFind) {
  Edit->OpenEditor(Sample, "", "");
  Find("Caption");
  EXPECT_EQ(Edit->RichEdit1->SelStart(), 11);
  EXPECT_EQ(Selected(), "Caption");
  Find("Caption");
  EXPECT_EQ(Edit->RichEdit1->SelStart(), Edit->RichEdit1->LineStart(5));
  Script().AnswerMessageBox(IDOK, "Caption");
  Find("Caption");
  EXPECT_EQ(Script().Asked().back().Caption, "Not find!");
  EXPECT_EQ(Edit->RichEdit1->SelStart(), 0);
  EXPECT_EQ(Edit->RichEdit1->SelLength(), 0);
  Find("caption");  // the find dialog never matches case
  EXPECT_EQ(Edit->RichEdit1->SelStart(), 11);

  // F3 opens the dialog at the edit's corner; once it is open F3 searches again.
  Edit->MenuEdit_SearchClick(Edit.get());
  ASSERT_TRUE(Edit->FindDialog1->Showing());
  Edit->MenuEdit_SearchClick(Edit.get());
  EXPECT_EQ(Edit->RichEdit1->SelStart(), Edit->RichEdit1->LineStart(5));
  // Closing the editor closes the find dialog (not the replace dialog).
  Edit->Remplacer1Click(Edit.get());
  Edit->BitBtnCancel->click();
  EXPECT_FALSE(Edit->FindDialog1->Showing());
  EXPECT_TRUE(Edit->ReplaceDialog1->Showing());
}

TEST_F(EditorTest, ReplaceTakesOneMatchAtATimeAndReplaceAllTakesEvery) {
  Edit->OpenEditor(Sample, "", "");
  Edit->Remplacer1Click(Edit.get());
  auto* dialog = Edit->findChild<QDialog*>("ReplaceDialog1");
  ASSERT_NE(dialog, nullptr);
  dialog->findChild<QLineEdit*>("FindText")->setText("Caption");
  dialog->findChild<QLineEdit*>("ReplaceText")->setText("Titre");
  auto press = [dialog](const char* button) { dialog->findChild<QPushButton*>(button)->click(); };
  Edit->RichEdit1->SetSelStart(30);
  press("Replace");  // nothing selected: nothing replaced, the first match from the top selected
  EXPECT_EQ(Edit->RichEdit1->SelStart(), 11);
  EXPECT_FALSE(Edit->RichEdit1->Modified());
  press("Replace");
  EXPECT_EQ(Edit->RichEdit1->Lines()[1], "Titre=Principal");
  // The search starts at the top again and finds the next.
  EXPECT_EQ(Edit->RichEdit1->SelStart(), Edit->RichEdit1->LineStart(5));
  EXPECT_EQ(Selected(), "Caption");
  EXPECT_EQ(Edit->RichEdit1->Lines()[5], "Caption=Quitter");

  dialog->findChild<QLineEdit*>("FindText")->setText("i");
  dialog->findChild<QLineEdit*>("ReplaceText")->setText("ii");
  press("ReplaceAll");  // the replacement holds the text: each search goes on after it
  EXPECT_EQ(Edit->RichEdit1->Lines()[0], "[FormMaiin]");
  EXPECT_EQ(Edit->RichEdit1->Lines()[1], "Tiitre=Priinciipal");
  EXPECT_EQ(Edit->ReplaceDialog1->Options & frReplaceAll, frReplaceAll);

  // Whole words and case when the replace dialog asks for them.
  Edit->RichEdit1->SetText("Quit quit Quitter\n");
  Edit->ReplaceDialog1->FindText = "quit";
  Edit->ReplaceDialog1->ReplaceText = "Q";
  Edit->ReplaceDialog1->Options = frReplaceAll | frWholeWord | frMatchCase;
  Edit->ReplaceDialog1Replace(Edit->ReplaceDialog1);
  EXPECT_EQ(Edit->RichEdit1->Lines()[0], "Quit Q Quitter");
  Edit->ReplaceDialog1->FindText = "absent";
  Script().AnswerMessageBox(IDOK, "absent");
  Edit->ReplaceDialog1Replace(Edit->ReplaceDialog1);
}

TEST_F(EditorTest, CutCopyAndPasteGoThroughTheClipboard) {
  Edit->OpenEditor(Sample, "", "");
  const auto select = [&](int start, int length) {
    Edit->RichEdit1->SetSelStart(start);
    Edit->RichEdit1->SetSelLength(length);
  };
  select(1, 8);
  Edit->MenuEdit_CopyClick(Edit.get());
  select(Edit->RichEdit1->LineStart(3), 5);
  Edit->MenuEdit_PasteClick(Edit.get());
  EXPECT_EQ(Edit->RichEdit1->Lines()[0] + "|" + Edit->RichEdit1->Lines()[3], "[FormMain]|FormMain");
  select(1, 8);
  Edit->MenuEdit_CutClick(Edit.get());
  EXPECT_EQ(Edit->RichEdit1->Lines()[0], "[]");
}

TEST_F(EditorTest, TheSaveQuestionGuardsEveryPathThatDropsEdits) {
  Edit->OpenEditor(Sample, "", "");
  Type("x");
  // OK: asked; Cancel keeps the window, No closes.
  Script().AnswerMessageBox(IDCANCEL, kSaveQuestion);
  Edit->BitBtnOk->click();
  EXPECT_TRUE(Edit->Visible());
  EXPECT_EQ(Script().Asked().back().Caption, Sample);
  EXPECT_EQ(Script().Asked().back().Flags, MB_YESNOCANCEL);
  Script().AnswerMessageBox(IDNO, kSaveQuestion);
  Edit->MenuEdit_CloseClick(Edit.get());
  EXPECT_FALSE(Edit->Visible());

  // Cancel drops edits without a question, but only for that showing.
  // The edits are still there when it opens again: asked before loading over them.
  Script().AnswerMessageBox(IDNO, kSaveQuestion);
  Edit->OpenEditor(Sample, "", "");
  EXPECT_EQ(Edit->RichEdit1->Lines()[0], "[FormMain]");
  Type("y");
  Edit->BitBtnCancel->click();
  EXPECT_FALSE(Edit->Visible());
  Edit->Show();
  Script().AnswerMessageBox(IDCANCEL, kSaveQuestion);
  Edit->Close();  // the close box
  EXPECT_TRUE(Edit->Visible());

  // Opening another file over edits: Cancel keeps text and name, Yes saves first.
  const std::string other = WriteFile("de.lng", "[FormMain]\r\nCaption=Haupt\r\n");
  Script().AnswerMessageBox(IDCANCEL, kSaveQuestion);
  Edit->OpenEditor(other, "", "");
  EXPECT_EQ(Edit->FFileName, Sample);
  EXPECT_EQ(Edit->Caption(), "Editer : " + Sample);
  EXPECT_EQ(Edit->RichEdit1->Lines()[0], "y[FormMain]");
  Script().AnswerMessageBox(IDYES, kSaveQuestion);
  Edit->OpenEditor(other, "", "");
  EXPECT_EQ(Contents(Sample).substr(0, 13), "y[FormMain]\r\n");
  EXPECT_EQ(Edit->RichEdit1->Lines()[1], "Caption=Haupt");

  // "Lire..." asks once a file is chosen.
  Type("z");
  Script().AnswerOpenFile({Sample}).AnswerMessageBox(IDNO, kSaveQuestion);
  Edit->BitBtnLoad->click();
  EXPECT_EQ(Edit->FFileName, Sample);
  EXPECT_EQ(Contents(other), "[FormMain]\r\nCaption=Haupt\r\n");

  // Yes for a text without a name asks for one; cancelling that keeps the window open.
  Script().AnswerOpenFile({});
  Edit->OpenEditor(Temp.File("none.lng"), "", "");
  Type("new text");
  Script().AnswerMessageBox(IDYES, kSaveQuestion).AnswerSaveFile("");
  Edit->BitBtnOk->click();
  EXPECT_TRUE(Edit->Visible());
  Script().AnswerMessageBox(IDYES, kSaveQuestion).AnswerSaveFile(Temp.File("named.lng"));
  Edit->BitBtnOk->click();
  EXPECT_FALSE(Edit->Visible());
  EXPECT_EQ(Contents(Temp.File("named.lng")), "new text\r\n");
}

}  // namespace
