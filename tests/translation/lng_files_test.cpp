// Language files: what the writer puts in them for every window, round trips, a second language,
// hand-written damaged files, failed writes, the folder listing and the file names.
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <map>

#include "tests/support/full_disk.h"
#include "tests/support/raised_message.h"
#include "tests/translation/translation_fixture.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/file_system.h"
#include "toolkit/core/string_list.h"
#include "toolkit/ui/screen.h"
#include "translation/ulngform.h"
#include "workbench/about_text.h"
#include "workbench/uabout.h"
#include "workbench/ulut.h"
#include "workbench/umain.h"
#include "workbench/uselectdir.h"

namespace {

using TValues = std::map<std::string, std::string>;

// Every value of an ini file as "Section/name", without the file's own name.
TValues ValuesOf(const std::string& fileName) {
  const TMemIniFile ini(fileName);
  TStringList sections, lines;
  ini.ReadSections(sections);
  TValues values;
  for (int s = 0; s < sections.Count(); ++s) {
    ini.ReadSection(sections[s], lines);
    for (int i = 0; i < lines.Count(); ++i)
      values[sections[s] + "/" + lines[i]] = ini.ReadString(sections[s], lines[i], "");
  }
  values.erase("File/Name");
  return values;
}

// The keys whose values differ, or that only one side has.
std::string Differences(const TValues& a, const TValues& b) {
  std::string out;
  for (const auto& [key, value] : a)
    if (!b.count(key) || b.at(key) != value) out += key + "=" + value + "; ";
  for (const auto& [key, value] : b)
    if (!a.count(key)) out += "missing " + key + "; ";
  return out;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

class LanguageFilesTest : public TranslationTest {
 protected:
  TValues WriteAndRead(const std::string& name) {
    WriteLngFile(Lng(name));
    return ValuesOf(Lng(name));
  }
};

TEST_F(LanguageFilesTest, TheWriterTakesEachKindOfComponentWithItsKeys) {
  WriteLngFile("");  // current.lng, in a folder made for it
  const TValues v = ValuesOf(Lng("current.lng"));
  EXPECT_EQ(TMemIniFile(Lng("current.lng")).ReadString("File", "Name", ""), Lng("current.lng"));
  EXPECT_EQ(v.at("Strings/kstleft"), "LEFT");
  EXPECT_EQ(v.at("Messages/lngquit"), "Quitter?");
  EXPECT_EQ(v.at("Lng/lngSaveEdit"), "Voulez-vous enregistrer les  modifications ?");
  for (int i = 0; i < Screen->FormCount(); ++i)
    EXPECT_EQ(v.at(Screen->Forms(i)->Name() + "/Caption"), Screen->Forms(i)->Caption());

  const TValues expected = {
      {"FormTry/Caption", "Try window"},
      {"FormTry.Edit1/Hint", "Edit1 hint"},
      {"FormTry.Edit1/Text", "edit text"},
      {"FormTry.Button1/Hint", "Button1 hint"},
      {"FormTry.Button1/Caption", "&Go"},
      {"FormTry.Memo1/Hint", "Memo1 hint"},
      {"FormTry.Memo1/ItemsCount", "3"},
      {"FormTry.Memo1/lines000", "first line"},
      {"FormTry.Memo1/lines001", ""},
      {"FormTry.Memo1/lines002", "third = line"},
      {"FormTry.RichEdit1/Hint", "RichEdit1 hint"},
      {"FormTry.Radio1/Hint", "Radio1 hint"},
      {"FormTry.Panel1/Hint", "Panel1 hint"},
      {"FormTry.Combo1/Hint", "Combo1 hint"},
      {"FormTry.Combo1/ItemsCount", "11"},
      {"FormTry.Combo1/ItemIndex", "10"},
      {"FormTry.Group1/Caption", "group caption"},
      {"FormTry.Check1/Caption", "check caption"},
      {"FormTry.Check1/Hint", "Check1 hint"},
      {"FormTry.Label1/Caption", "padded label"},
      {"FormTry.Label1/Hint", "Label1 hint"},
      {"FormTry.Speed1/Caption", "speed"},
      {"FormTry.Speed1/Hint", "Speed1 hint"},
      {"FormTry.Tool1/Caption", "tool"},
      {"FormTry.Tool1/Hint", "Tool1 hint"},
      {"FormTry.Separator1/Caption", ""},
      {"FormTry.Separator1/Hint", "Separator1 hint"},
      {"FormTry.Item1/Caption", "&File"},
      {"FormTry.Item1/Hint", "Item1 hint"},
  };
  TValues written;
  for (const auto& [key, value] : v)
    if (key.starts_with("FormTry")) written[key] = value;
  for (int i = 0; i < 11; ++i) written.erase("FormTry.Combo1/ItemsString" + std::to_string(i));
  EXPECT_EQ(written, expected);  // no status bar, no nested button, no rich-edit lines, no "-" item
  EXPECT_EQ(v.at("FormTry.Combo1/ItemsString0"), "zero");
  EXPECT_EQ(v.at("FormTry.Combo1/ItemsString10"), "ten");

  // The program's windows, as their descriptions define them.
  EXPECT_EQ(v.at("FormMain.Label100/Caption"), "Z = 50%");
  EXPECT_EQ(v.count("FormMain.ToolButton5/Caption"), 1u);  // separators are written
  EXPECT_EQ(v.count("FormMain.StatusBar1/Hint"), 0u);
  EXPECT_EQ(v.count("FormMain.ListBox1/Hint"), 0u);  // inside a panel
  EXPECT_EQ(v.at("FormAbout.Memo1/ItemsCount"), std::to_string(AboutText().size()));
  EXPECT_EQ(v.at("FormAbout.Memo1/lines000"), AboutText()[0]);
  EXPECT_EQ(v.at("Form2.memo1/ItemsCount"), "0");
  EXPECT_EQ(v.count("Lut.RLUT/Hint"), 1u);
  EXPECT_EQ(v.count("Lut.RLUT/Caption"), 0u);
}

TEST_F(LanguageFilesTest, ASecondLanguageChangesEveryWindowAndTheFirstComesBack) {
  const TValues english = WriteAndRead("english.lng");
  // The second language: every text upper-cased.
  TMemIniFile upper(Lng("upper.lng"));
  for (const auto& [key, value] : english) {
    const std::string section = key.substr(0, key.find('/'));
    const std::string name = key.substr(key.find('/') + 1);
    upper.WriteString(section, name, name == "ItemsCount" || name == "ItemIndex" ? value : Upper(value));
  }
  upper.UpdateFile();
  ReadLngFile(Lng("upper.lng"));

  EXPECT_EQ(Try->Applied, 1);
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    if (form->Name() == "FormMain")
      EXPECT_EQ(form->Caption(), english.at("FormMain/Caption"));  // the product and its version stay
    else
      EXPECT_EQ(form->Caption(), Upper(english.at(form->Name() + "/Caption")));
  }
  EXPECT_EQ(Try->Button1->Caption(), "&GO");
  EXPECT_EQ(Try->Combo1->Items()[10], "TEN");
  EXPECT_EQ(Try->Memo1->Lines()[2], "THIRD = LINE");
  EXPECT_EQ(Try->Item1->Hint(), "ITEM1 HINT");
  EXPECT_EQ(FormMain->Quit1->Caption(), "QUIT..");
  // Every message string has its key: each one comes from the file.
  for (const std::string* text :
       {&kstClearList,   &kstClearSelection, &kstcaption1,  &kstcaption2,   &kstproc,     &kstNoPicture,
        &kstEmptyList,   &kstUnknownFormat,  &kstoverwrite, &kstfileexists, &kstOpenDark, &kstOpenFlat,
        &kstLoadCaption, &kstSaveCaption,    &lngquit,      &lngListFilter, &lngFilter,   &lngSaveLng,
        &lngOpenLng,     &lngEdit,           &lngSaveEdit})
    EXPECT_EQ(*text, Upper(*text));
  // Every key was applied: writing the windows now gives the second language back, key by key, but
  // for the main window's caption and the separator tool button, which are never read.
  TValues now = WriteAndRead("now.lng");
  EXPECT_EQ(now.at("FormMain/Caption"), english.at("FormMain/Caption"));
  EXPECT_EQ(now.at("FormTry.Separator1/Hint"), "Separator1 hint");
  TValues wanted = ValuesOf(Lng("upper.lng"));
  // The browser's path box takes the file's history, with the folder it shows put back on top.
  EXPECT_EQ(now.at("FormSelDir.cbPath/ItemsString0"), FormSelDir->FPath);
  EXPECT_EQ(now.at("FormSelDir.cbPath/ItemsString1"), wanted.at("FormSelDir.cbPath/ItemsString0"));
  for (const char* kept :
       {"FormMain/Caption", "FormTry.Separator1/Hint", "FormSelDir.cbPath/ItemsCount",
        "FormSelDir.cbPath/ItemsString0", "FormSelDir.cbPath/ItemsString1", "FormSelDir.cbPath/ItemIndex"}) {
    now.erase(kept);
    wanted.erase(kept);
  }
  EXPECT_EQ(Differences(now, wanted), "");

  ReadLngFile(Lng("english.lng"));
  EXPECT_EQ(Differences(WriteAndRead("again.lng"), english), "");
  EXPECT_EQ(Try->Label1->Caption(), "padded label");  // blanks round a text do not survive
  EXPECT_EQ(Try->Applied, 2);
}

TEST_F(LanguageFilesTest, HandWrittenFilesWithBlanksMissingKeysAndWrongCounts) {
  Write(Lng("damaged.lng"),
        "stray line before any section\r\n"
        "[FormTry]\n Caption =  Essai  \n"
        "[FormTry.Edit1]\nText=\nHint=   \n"
        "[FormTry.Memo1]\nItemsCount=5\nlines000=un\nlines002=trois\nlines1=not a line key\n"
        "[FormTry.Combo1]\nItemsCount=2147483647\nItemsString0=z\xC3\xA9ro\nItemsString2=deux\nItemIndex=7\n"
        "[FormTry.Button1]\nCaption=Aller\nExtra=ignored\n"
        "[FormTry.Check1]\nBogus=1\n"
        "[FormTry.Nothing]\nCaption=no such component\n"
        "[FormTry.Label1]\nCaption\n"
        "[Strings]\nkstleft=\nkstright=DROITE\n[Strings]\nlngquit=wrong section\n");
  ReadLngFile(Lng("damaged.lng"));
  EXPECT_EQ(Try->Caption(), "Essai");
  EXPECT_EQ(Try->Edit1->Text(), "edit text");
  EXPECT_EQ(Try->Edit1->Hint(), "Edit1 hint");
  EXPECT_EQ(Try->Memo1->Text(), "un\n\ntrois\n");  // a missing line is empty; none made up after the last
  ASSERT_EQ(Try->Combo1->Items().Count(), 3);
  EXPECT_EQ(Try->Combo1->Items()[0], "z\xC3\xA9ro");
  EXPECT_EQ(Try->Combo1->Items()[1], "");
  EXPECT_EQ(Try->Combo1->ItemIndex(), 0);  // index 7 is not there
  EXPECT_EQ(Try->Button1->Caption(), "Aller");
  EXPECT_EQ(Try->Check1->Caption(), "check caption");
  EXPECT_EQ(Try->Label1->Caption(), " padded label ");
  EXPECT_EQ(kstleft, "LEFT");
  EXPECT_EQ(kstright, "DROITE");
  EXPECT_EQ(lngquit, "Quitter?");

  Write(Lng("negative.lng"),
        "[FormTry]\nCaption=Essai\n[FormTry.Memo1]\nItemsCount=-3\nlines000=x\n"
        "[FormTry.Combo1]\nItemsCount=0x2\nItemsString0=a\nItemsString1=b\nItemIndex=-1\n");
  ReadLngFile(Lng("negative.lng"));
  EXPECT_EQ(Try->Memo1->Lines().Count(), 0);
  EXPECT_EQ(Try->Combo1->Items().Text(), "a\r\nb\r\n");
  EXPECT_EQ(Try->Combo1->ItemIndex(), -1);
  Write(Lng("nonumber.lng"), "[FormTry]\nCaption=Essai\n[FormTry.Combo1]\nItemsCount=many\nItemIndex=-9\n");
  ReadLngFile(Lng("nonumber.lng"));
  EXPECT_EQ(Try->Combo1->Items().Count(), 2);
  EXPECT_EQ(Try->Combo1->ItemIndex(), -1);

  // A window section without a caption leaves the whole window alone; one without its combo box's
  // section selects the first item.
  Write(Lng("nocaption.lng"), "[FormTry]\nCaption=\n[FormTry.Button1]\nCaption=Non\n");
  ReadLngFile(Lng("nocaption.lng"));
  EXPECT_EQ(Try->Button1->Caption(), "Aller");
  EXPECT_EQ(Try->Combo1->ItemIndex(), -1);
  Write(Lng("nocombo.lng"),
        "[FormTry]\nCaption=Essai 2\n[FormMain]\nCaption=ignored\n[FormMain.Quit1]\nCaption=Fin");
  ReadLngFile(Lng("nocombo.lng"));
  EXPECT_EQ(Try->Combo1->ItemIndex(), 0);
  EXPECT_EQ(FormMain->Quit1->Caption(), "Fin");
  EXPECT_NE(FormMain->Caption(), "ignored");

  // A missing file changes no text, and every window still hears that a file was applied.
  const int applied = Try->Applied;
  ReadLngFile(Lng("missing.lng"));
  EXPECT_EQ(Try->Caption(), "Essai 2");
  EXPECT_EQ(Try->Applied, applied + 1);
}

// Files from older Windows installs are 8-bit: read as Windows-1252, never as replacement characters.
TEST_F(LanguageFilesTest, AnEightBitFileIsReadAsWindows1252) {
  Write(Lng("old.lng"),
        "[FormTry]\r\nCaption=Cr\xE9"
        "er\r\n[FormTry.Button1]\r\nCaption=\x80 \x93"
        "a\xEFve\x94\r\n"
        "[Lng]\r\nlngEdit=\xC9"
        "diter\r\n");
  ReadLngFile(Lng("old.lng"));
  EXPECT_EQ(Try->Caption(),
            "Cr\xC3\xA9"
            "er");
  EXPECT_EQ(Try->Button1->Caption(),
            "\xE2\x82\xAC \xE2\x80\x9C"
            "a\xC3\xAFve\xE2\x80\x9D");
  EXPECT_EQ(lngEdit,
            "\xC3\x89"
            "diter");
  // What is written again is UTF-8, and reads back the same.
  WriteLngFile(Lng("again.lng"));
  EXPECT_NE(Read(Lng("again.lng"))
                .find("Caption=Cr\xC3\xA9"
                      "er\r\n"),
            std::string::npos);
  Try->SetCaption("other");
  ReadLngFile(Lng("again.lng"));
  EXPECT_EQ(Try->Caption(),
            "Cr\xC3\xA9"
            "er");
}

// Windows editors start a UTF-8 file with a byte-order mark; its first section is read all the same.
TEST_F(LanguageFilesTest, AByteOrderMarkIsNoPartOfTheFirstSection) {
  Write(Lng("marked.lng"),
        "\xEF\xBB\xBF[FormTry]\r\nCaption=Cr\xC3\xA9"
        "er\r\n[FormTry.Button1]\r\nCaption=Aller\r\n");
  ReadLngFile(Lng("marked.lng"));
  EXPECT_EQ(Try->Caption(),
            "Cr\xC3\xA9"
            "er");
  EXPECT_EQ(Try->Button1->Caption(), "Aller");
  // The mark followed by bytes that are no UTF-8 is no mark: the whole is Windows-1252.
  Write(Lng("marked.lng"), "\xEF\xBB\xBF[FormTry]\r\nCaption=\xE9t\xE9\r\n");
  ReadLngFile(Lng("marked.lng"));
  EXPECT_EQ(Try->Caption(),
            "Cr\xC3\xA9"
            "er");
}

// Start-up applies the active language as the chooser would; a damaged one changes no text and stops
// nothing. One that cannot be read (a pipe under its name, never opened, included) changes no text
// either, and says why for start-up to report it.
TEST_F(LanguageFilesTest, TheActiveLanguageIsAppliedAtStartUpAndADamagedOneSurvived) {
  ApplyActiveLanguage();  // no current.lng: the program's own words
  EXPECT_EQ(Try->Applied, 0);
  EXPECT_EQ(LngForm->Caption(), "Fichiers de Traduction");

  Write(Lng("current.lng"),
        "\xEF\xBB\xBF[LngForm]\r\nCaption=Traductions\r\n[FormMain]\r\nCaption=x\r\n"
        "[FormMain.Quit1]\r\nCaption=Quitter\r\n");
  ApplyActiveLanguage();
  EXPECT_EQ(LngForm->Caption(), "Traductions");
  EXPECT_EQ(FormMain->Quit1->Caption(), "Quitter");
  EXPECT_EQ(Try->Applied, 1);

  RestoreBuiltInTexts();
  EXPECT_EQ(LngForm->Caption(), "Fichiers de Traduction");
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 151 + 7) % 256);
  const auto survives = [&](const char* what, const std::string& reason = {}) {
    EXPECT_EQ(
        RaisedMessage<EFOpenError>(ApplyActiveLanguage),
        reason.empty() ? reason : "Cannot read the language file " + Lng("current.lng") + ": " + reason + ".")
        << what;
    EXPECT_EQ(LngForm->Caption(), "Fichiers de Traduction") << what;
    EXPECT_EQ(FormMain->Quit1->Caption(), "Quit..") << what;
  };
  Write(Lng("current.lng"), garbage);
  survives("bytes of no language file");
  Write(Lng("current.lng"), "[LngForm]\r\nCapt");
  survives("a file cut short");
  std::filesystem::remove(Lng("current.lng"));
  ASSERT_EQ(::mkfifo(Lng("current.lng").c_str(), 0644), 0);
  survives("a named pipe, never opened", "not a regular file (a pipe or a device)");
  std::filesystem::remove(Lng("current.lng"));
  std::filesystem::create_directories(Lng("current.lng"));
  survives("a folder", "Is a directory");
  std::filesystem::remove(Lng("current.lng"));
  if (geteuid() != 0) {  // permissions do not stop the superuser
    Write(Lng("current.lng"), "[LngForm]\r\nCaption=Traductions\r\n");
    ::chmod(Lng("current.lng").c_str(), 0);
    survives("a file that cannot be read", "Permission denied");
  }
}

TEST_F(LanguageFilesTest, AFailedWriteLeavesTheFileAsItWas) {
  WriteLngFile("");
  const std::string before = Read(Lng("current.lng"));
  Try->SetCaption("changed");
  // A full disk.
  {
    const TFullDisk full;
    EXPECT_THROW(WriteLngFile(""), EWriteError);
  }
  EXPECT_EQ(Read(Lng("current.lng")), before);
  if (geteuid() != 0) {  // permissions do not stop the superuser
    ::chmod(Folder.c_str(), 0555);
    EXPECT_THROW(WriteLngFile(""), EFCreateError);
    ::chmod(Folder.c_str(), 0755);
    EXPECT_EQ(Read(Lng("current.lng")), before);
  }
  // A folder that cannot be made.
  Write(Temp.File("plain"), "a file");
  EXPECT_THROW(WriteLngFile(Temp.File("plain") + "/lng/x.lng"), EFCreateError);
  // A file of the user's own named as the old temporary file stays as it is, and the write leaves no
  // file of its own behind.
  Write(Lng("current.lng.tmp"), "mine");
  WriteLngFile("");
  EXPECT_NE(Read(Lng("current.lng")).find("Caption=changed"), std::string::npos);
  EXPECT_EQ(Read(Lng("current.lng.tmp")), "mine");
  for (const auto& entry : std::filesystem::directory_iterator(Folder))
    EXPECT_TRUE(entry.path().filename() == "current.lng" || entry.path().filename() == "current.lng.tmp")
        << entry.path();
}

TEST_F(LanguageFilesTest, ListingAndFileNames) {
  TStringList list;
  EXPECT_FALSE(ListLngFiles(Folder, list));  // no folder yet
  std::filesystem::create_directories(Lng("folder.lng"));
  for (const char* name : {"b.lng", "a.LnG", "c.l", "D.LN", "e.lngx", "readme", "f.txt"})
    Write(Lng(name), "");
  ASSERT_TRUE(ListLngFiles(Folder, list));
  EXPECT_EQ(list.Text(), "a.LnG\r\nb.lng\r\nc.l\r\nD.LN\r\n");
  EXPECT_EQ(GetCurrentDir() + "/", Folder);

  EXPECT_EQ(ResolveLngFile(""), Lng("current.lng"));
  EXPECT_EQ(ResolveLngFile("/x/french"), Lng("french.lng"));
  EXPECT_EQ(ResolveLngFile("german.txt"), Lng("german.lng"));
  EXPECT_EQ(ResolveLngFile("/x/dir/"), Lng("current.lng"));
  EXPECT_EQ(NewLngFile(), Lng("new.lng"));
  SetLngFolderOverride("");
  EXPECT_EQ(LngFolder(),
            ExtractFilePath(Application->ExeName()) + "lng/");  // the program's folder is writable
}

}  // namespace

// The path box's history entries carry their folder; a language file rewrites the box's items without
// it, and choosing such an entry afterwards must still go to the folder its text names.
TEST_F(LanguageFilesTest, ThePathHistoryStillLeadsToItsFoldersAfterALanguageFile) {
  const std::string first = Temp.File("first night"), second = Temp.File("second night");
  std::filesystem::create_directories(first);
  std::filesystem::create_directories(second);
  FormSelDir->SetPath(first);
  FormSelDir->SetPath(second);
  TComboBox* box = FormSelDir->cbPath;
  ASSERT_EQ(box->Items()[1], first);  // the newest entry on top

  WriteLngFile(Lng("paths.lng"));
  ReadLngFile(Lng("paths.lng"));
  ASSERT_EQ(box->Items()[1], first);
  EXPECT_EQ(box->Items().Objects(1), nullptr);

  box->SetItemIndex(1);
  emit box->activated(1);
  EXPECT_EQ(FormSelDir->FPath, first);
}

// A language file holding the path history rewrites the path box, never the folder the browser shows:
// the box names that folder again, and the file list stays that folder's.
TEST_F(LanguageFilesTest, ALanguageFileNeverMovesTheBrowsersFolder) {
  const std::string shown = Temp.File(
                        "nuit d\xE9"
                        "c"),
                    other = Temp.File("other night");
  for (const std::string& folder : {shown, other}) {
    std::filesystem::create_directories(folder);
    Write(folder + "/a.jpg", "");
  }
  FormSelDir->SetPath(shown);
  TComboBox* box = FormSelDir->cbPath;
  Write(Lng("history.lng"),
        "[FormSelDir]\r\nCaption=Dossiers\r\n[FormSelDir.cbPath]\r\nItemsCount=2\r\n"
        "ItemsString0=" +
            other + "\r\nItemsString1=/nowhere\r\nItemIndex=0\r\n");
  ReadLngFile(Lng("history.lng"));
  EXPECT_EQ(FormSelDir->Caption(), "Dossiers");
  EXPECT_EQ(FormSelDir->FPath, shown);
  EXPECT_EQ(box->Text(), Temp.File("nuit d\\xE9c"));  // as the browser writes a name that is no UTF-8
  ASSERT_EQ(box->Items().Count(), 3);
  EXPECT_EQ(box->Items()[box->ItemIndex()], box->Text());
  EXPECT_EQ(box->Items()[1], other);
  ASSERT_EQ(FormSelDir->CheckListBox1->Count(), 1);
  EXPECT_EQ(FormSelDir->CheckListBox1->Items()[0], shown + "/a.jpg");

  // Applied again, the file finds the folder's entry by its text and adds none.
  ReadLngFile(Lng("history.lng"));
  EXPECT_EQ(box->Items().Count(), 3);
  EXPECT_EQ(box->Text(), Temp.File("nuit d\\xE9c"));
  // The file's entries still lead to their folders.
  box->SetItemIndex(1);
  emit box->activated(1);
  EXPECT_EQ(FormSelDir->FPath, other);
  EXPECT_EQ(box->Text(), other);
}
