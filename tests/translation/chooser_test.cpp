// The language chooser: listing, applying, making a file the active one, creating and editing files,
// the close query after OK and Cancel, and current.lng surviving a failed copy or a second name.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/full_disk.h"
#include "tests/translation/translation_fixture.h"
#include "toolkit/core/string_list.h"
#include "toolkit/ui/screen.h"
#include "translation/uformedit.h"
#include "translation/ulngform.h"
#include "workbench/umain.h"

namespace {

class ChooserTest : public TranslationTest {
 protected:
  void SetUp() override {
    TranslationTest::SetUp();
    WriteLngFile(Lng("current.lng"));
    // A French file: the try window's caption and the chooser's "Créer..." translated.
    Write(Lng("fr.lng"),
          "[FormTry]\r\nCaption=Fenetre d'essai\r\n[LngForm]\r\nCaption=Traductions\r\n"
          "[LngForm.SpeedButtonSaveLng]\r\nCaption=Nouveau...\r\n");
  }
  std::string Entries() const {
    std::string entries;
    for (int i = 0; i < LngForm->ListBox1->Count(); ++i) {
      if (i == LngForm->ListBox1->ItemIndex()) entries += '*';
      entries.append(LngForm->ListBox1->Items()[i]).append(" ");
    }
    return entries;
  }
  void Choose(const std::string& entry) {
    LngForm->ListBox1->SetItemIndex(LngForm->ListBox1->Items().IndexOf(entry));
  }
};

TEST_F(ChooserTest, OkMakesTheChosenFileActiveAndTheNextShowingSelectsIt) {
  LngForm->Show();
  EXPECT_EQ(Entries(), "current.lng fr.lng ");  // nothing selected at the first showing
  Choose("fr.lng");
  LngForm->BitBtnLngOk->click();
  EXPECT_FALSE(LngForm->Visible());
  EXPECT_EQ(Read(Lng("current.lng")), Read(Lng("fr.lng")));
  EXPECT_EQ(LngForm->FRemembered, "fr.lng");
  EXPECT_EQ(Try->Caption(), "Fenetre d'essai");
  EXPECT_EQ(LngForm->SpeedButtonSaveLng->Caption(), "Nouveau...");
  LngForm->Show();
  EXPECT_EQ(Entries(), "current.lng *fr.lng ");

  // Closing by the close box repeats what OK did: current.lng itself chosen now, nothing copied.
  Try->SetCaption("changed");
  Choose("current.lng");
  LngForm->Close();
  EXPECT_EQ(Try->Caption(), "Fenetre d'essai");
  EXPECT_EQ(LngForm->FRemembered, "fr.lng");
}

TEST_F(ChooserTest, ApplyChangesTheScreenOnlyAndCancelBringsTheActiveFileBack) {
  LngForm->Show();
  LngForm->Close();  // no button pressed yet: closing applies nothing
  EXPECT_EQ(Try->Applied, 0);
  LngForm->Show();
  Choose("fr.lng");
  LngForm->SpeedButtonApplyLng->click();
  EXPECT_EQ(Try->Caption(), "Fenetre d'essai");
  EXPECT_EQ(LngForm->FRemembered, CurrentLngFile());
  LngForm->BitBtnLngCancel->click();
  EXPECT_EQ(Try->Caption(), "Try window");
  EXPECT_EQ(LngForm->FRemembered, "current.lng");
  EXPECT_FALSE(LngForm->Visible());
}

TEST_F(ChooserTest, WithoutCurrentLngOkAndCancelWriteItFromTheScreen) {
  std::filesystem::remove(Lng("current.lng"));
  LngForm->Show();
  EXPECT_EQ(Entries(), "fr.lng ");
  LngForm->BitBtnLngCancel->click();
  EXPECT_NE(Read(Lng("current.lng")).find("Caption=Fichiers de Traduction"), std::string::npos);
  std::filesystem::remove(Lng("current.lng"));
  LngForm->Show();
  LngForm->ListBox1->SetItemIndex(-1);
  LngForm->BitBtnLngOk->click();
  EXPECT_NE(Read(Lng("current.lng")).find("Caption=Try window"), std::string::npos);
}

// Cancel after "Appliquer" brings back the active language whole: texts the previewed file set and the
// active one does not hold go back to the program's own, and current.lng never takes the preview.
TEST_F(ChooserTest, CancelAfterApplyComesBackToTheActiveLanguageAndWritesNoPreview) {
  Write(Lng("fr.lng"),
        "[FormTry]\r\nCaption=Fenetre d'essai\r\n[LngForm]\r\nCaption=Traductions\r\n"
        "[LngForm.SpeedButtonSaveLng]\r\nCaption=Nouveau...\r\n[LngForm.ListBox1]\r\nHint=Les langues\r\n"
        "[Lng]\r\nlngSaveLng=Enregistrer une langue\r\n");
  const auto preview = [this] {
    LngForm->Show();
    Choose("fr.lng");
    LngForm->SpeedButtonApplyLng->click();
    ASSERT_EQ(LngForm->Caption(), "Traductions");
    ASSERT_EQ(LngForm->ListBox1->Hint(), "Les langues");
  };

  // With an active file that names only the try window.
  const std::string active = "[FormTry]\r\nCaption=Actif\r\n";
  Write(Lng("current.lng"), active);
  preview();
  LngForm->BitBtnLngCancel->click();
  EXPECT_EQ(Try->Caption(), "Actif");
  EXPECT_EQ(LngForm->Caption(), "Fichiers de Traduction");
  EXPECT_EQ(LngForm->SpeedButtonSaveLng->Caption(), "Créer...");
  EXPECT_EQ(LngForm->ListBox1->Hint(), "");  // a text the program leaves empty is empty again
  EXPECT_EQ(lngSaveLng, "Enregistrer un Fichier Langue");
  EXPECT_EQ(Read(Lng("current.lng")), active);

  // Without one: the program's own texts, and current.lng made from them.
  std::filesystem::remove(Lng("current.lng"));
  preview();
  LngForm->BitBtnLngCancel->click();
  EXPECT_EQ(Try->Caption(), "Try window");
  EXPECT_EQ(LngForm->Caption(), "Fichiers de Traduction");
  EXPECT_EQ(LngForm->ListBox1->Hint(), "");
  const std::string written = Read(Lng("current.lng"));
  EXPECT_NE(written.find("Caption=Fichiers de Traduction"), std::string::npos);
  for (const char* previewed : {"Traductions\r", "Nouveau...", "Fenetre", "Les langues", "une langue"})
    EXPECT_EQ(written.find(previewed), std::string::npos) << previewed;

  // Closing by the close box after that Cancel does the same.
  preview();
  LngForm->Close();
  EXPECT_EQ(LngForm->Caption(), "Fichiers de Traduction");
  EXPECT_EQ(Read(Lng("current.lng")), written);
}

TEST_F(ChooserTest, CreatingOpensItsDialogInTheLanguageFolderEvenBeforeItExists) {
  std::filesystem::remove_all(Folder);
  LngForm->Show();
  EXPECT_EQ(Entries(), "");
  Script().AnswerSaveFile("");
  LngForm->SpeedButtonSaveLng->click();
  EXPECT_TRUE(std::filesystem::is_directory(Folder));
  EXPECT_EQ(Script().LastFileRequest().InitialDir, Folder);
  EXPECT_EQ(Script().LastFileRequest().FileName, "current.lng");
  EXPECT_EQ(Entries(), "");
}

TEST_F(ChooserTest, AFailedCopyKeepsCurrentLngAndTheActiveName) {
  const std::string before = Read(Lng("current.lng"));
  LngForm->Show();
  Choose("fr.lng");
  Script().AnswerMessageBox(IDOK,
                            "Erreur d'écriture du fichier " + Lng("current.lng") + " : File too large.");
  {
    const TFullDisk full;
    LngForm->BitBtnLngOk->click();
  }
  EXPECT_EQ(Read(Lng("current.lng")), before);
  EXPECT_EQ(LngForm->FRemembered, CurrentLngFile());
  EXPECT_TRUE(LngForm->Visible());          // the failure keeps the chooser open
  EXPECT_EQ(Try->Caption(), "Try window");  // the active file was applied as it is
  if (geteuid() != 0) {                     // permissions do not stop the superuser
    ::chmod(Folder.c_str(), 0555);
    Script().AnswerMessageBox(IDOK);
    LngForm->BitBtnLngOk->click();
    ::chmod(Folder.c_str(), 0755);
    EXPECT_EQ(Read(Lng("current.lng")), before);
  }
}

TEST_F(ChooserTest, AnotherNameOfTheActiveFileIsNeverCopiedOntoIt) {
  const std::string before = Read(Lng("current.lng"));
  std::filesystem::create_symlink(Lng("current.lng"), Lng("alias.lng"));
  std::filesystem::create_directories(Lng("sub"));
  LngForm->Show();
  Choose("alias.lng");
  LngForm->BitBtnLngOk->click();
  EXPECT_EQ(Read(Lng("current.lng")), before);
  EXPECT_EQ(LngForm->FRemembered, CurrentLngFile());
  SetLngFolderOverride(Folder + "sub/../");
  LngForm->Show();
  Choose("current.lng");
  LngForm->BitBtnLngOk->click();
  EXPECT_EQ(Read(Lng("current.lng")), before);
}

TEST_F(ChooserTest, ACurrentLngLinkedToAUsersFileIsReplacedAndTheUsersFileKept) {
  const std::string mine = Temp.File("mine.lng");
  Write(mine, "[FormTry]\r\nCaption=Mine\r\n");
  const std::string mineBefore = Read(mine);
  std::filesystem::remove(Lng("current.lng"));
  std::filesystem::create_symlink(mine, Lng("current.lng"));
  LngForm->Show();
  Choose("fr.lng");
  LngForm->BitBtnLngOk->click();
  EXPECT_FALSE(std::filesystem::is_symlink(Lng("current.lng")));
  EXPECT_EQ(Read(Lng("current.lng")), Read(Lng("fr.lng")));
  EXPECT_EQ(Read(mine), mineBefore);
  EXPECT_EQ(Try->Caption(), "Fenetre d'essai");

  // "Créer..." under the name current.lng, linked again, replaces the link too.
  std::filesystem::remove(Lng("current.lng"));
  std::filesystem::create_symlink(mine, Lng("current.lng"));
  LngForm->Show();
  LngForm->ListBox1->SetItemIndex(-1);
  Script().AnswerSaveFile(Lng("current.lng"));
  LngForm->SpeedButtonSaveLng->click();
  EXPECT_FALSE(std::filesystem::is_symlink(Lng("current.lng")));
  EXPECT_NE(Read(Lng("current.lng")).find("[LngForm]"), std::string::npos);
  EXPECT_EQ(Read(mine), mineBefore);
}

// The folder beside the program cannot be written: the user's folder takes the files written, and the
// installed ones are offered and read too, the user's copy first where both have a name.
TEST_F(ChooserTest, InstalledFilesAreListedAndReadBesideTheUsersFolder) {
  const std::string installed = Temp.File("installed") + "/";
  Write(installed + "de.lng", "[FormTry]\r\nCaption=Probefenster\r\n");
  Write(installed + "fr.lng", "[FormTry]\r\nCaption=installed French\r\n");
  Write(installed + "current.lng", "[FormTry]\r\nCaption=installed active\r\n");
  SetLngFolderOverride(Folder, installed);
  std::filesystem::remove(Lng("current.lng"));
  LngForm->Show();
  EXPECT_EQ(Entries(), "current.lng de.lng fr.lng ");
  EXPECT_EQ(LngForm->FolderLabel->Caption(), "Dossier des langues : " + Folder);
  EXPECT_EQ(InstalledLngFolder(), installed);

  ReadLngFile("");  // the installed active language while the user has none
  EXPECT_EQ(Try->Caption(), "installed active");
  Choose("fr.lng");  // the user's own French
  LngForm->SpeedButtonApplyLng->click();
  EXPECT_EQ(Try->Caption(), "Fenetre d'essai");
  Choose("de.lng");  // only installed
  LngForm->SpeedButtonApplyLng->click();
  EXPECT_EQ(Try->Caption(), "Probefenster");

  // Cancel with no current.lng of the user's: the installed active language becomes theirs.
  LngForm->BitBtnLngCancel->click();
  EXPECT_EQ(Read(Lng("current.lng")), Read(installed + "current.lng"));
  EXPECT_EQ(Try->Caption(), "installed active");
  // OK copies an installed file into the user's folder; the installed folder is never written.
  LngForm->Show();
  Choose("de.lng");
  LngForm->BitBtnLngOk->click();
  EXPECT_EQ(Read(Lng("current.lng")), Read(installed + "de.lng"));
  EXPECT_EQ(LngForm->FRemembered, "de.lng");
  EXPECT_EQ(Try->Caption(), "Probefenster");
  EXPECT_FALSE(std::filesystem::exists(Lng("de.lng")));

  // The folder's words come from the message strings, as a language file gives them.
  Write(Lng("words.lng"), "[Lng]\r\nlngFolder=Language folder: %s\r\n");
  ReadLngFile(Lng("words.lng"));
  EXPECT_EQ(LngForm->FolderLabel->Caption(), "Language folder: " + Folder);
  Write(Lng("words.lng"), "[FormTry]\r\nCaption=Mots\r\n[Lng]\r\nlngFolder=Folder %d\r\n");
  ReadLngFile(Lng("words.lng"));
  EXPECT_EQ(LngForm->FolderLabel->Caption(), Folder);
  EXPECT_EQ(Try->Caption(), "Mots");
}

TEST_F(ChooserTest, MousePressesCreateAndEdit) {
  LngForm->Show();
  // A press below the last entry takes the first; a double click applies it; the right button edits.
  LngForm->ListBox1MouseDown(LngForm->ListBox1, TMouseButton::mbLeft, 0, 5, 190);
  EXPECT_EQ(Entries(), "*current.lng fr.lng ");
  Choose("fr.lng");
  LngForm->ListBox1MouseDown(LngForm->ListBox1, TMouseButton::mbLeft, ssDouble, 5, 190);
  EXPECT_EQ(Try->Caption(), "Try window");
  Choose("fr.lng");
  const QRect second = LngForm->ListBox1->visualItemRect(LngForm->ListBox1->item(1));
  LngForm->ListBox1MouseDown(LngForm->ListBox1, TMouseButton::mbRight, ssDouble, 5, second.center().y());
  EXPECT_EQ(Try->Caption(), "Fenetre d'essai");
  EXPECT_TRUE(FormEdit->Visible());
  EXPECT_EQ(FormEdit->FFileName, Lng("fr.lng"));
  FormEdit->BitBtnCancel->click();

  // "Créer..." applies the chosen file, then writes the windows' texts under the name given.
  Choose("fr.lng");
  Script().AnswerSaveFile(Lng("de.lng"));
  LngForm->SpeedButtonSaveLng->click();
  EXPECT_EQ(Script().LastFileRequest().FileName, "fr.lng");
  EXPECT_NE(Read(Lng("de.lng")).find("Caption=Fenetre d'essai"), std::string::npos);
  EXPECT_EQ(Entries(), "current.lng de.lng fr.lng ");
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

}  // namespace
