// The "Mask Directory" browser through the real windows, on a folder tree made here: walking folders,
// the path box and its history, masks and filters, checking by menu, keys and mouse, OK into the left
// list and a run over it, the main window's list commands on the browser's files, folders that cannot
// be entered, the report details, typing to find, opening a file and closing.
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <filesystem>
#include <fstream>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "tests/support/opened_urls.h"
#include "tests/workbench/main_window_fixture.h"
#include "toolkit/core/file_names.h"
#include "toolkit/core/file_system.h"
#include "toolkit/ui/qt_dialogs.h"
#include "toolkit/ui/system_services.h"
#include "workbench/ulngstrings.h"
#include "workbench/uselectdir.h"

namespace {

namespace fs = std::filesystem;

class BrowserTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Previous = GetCurrentDir();
    Root = Temp.Path().string();
    Night = Root + "/night 1";
    for (const char* folder : {"night 1", "Été", ".hidden", "sub2", "sub10"})
      fs::create_directory(Temp.Path() / folder);
    Picture(Night + "/IMG_0001.bmp", 1);
    Picture(Night + "/IMG_0002.bmp", 2);
    Picture(Night + "/IMG_0003.jpg", 3);
    Picture(Night + "/dark.bmp", 4);
    Picture(Root + "/Été/photo.bmp", 5);
    for (const std::string& other : {Night + "/notes.txt", Night + "/README", Night + "/frame.xyz",
                                     Root + "/a.BMP", Root + "/b.jpeg", Root + "/c.txt", Root + "/d"})
      std::ofstream(other) << "not a picture";
    // The browser starts in the process's current folder.
    SetCurrentDir(Root);
    FormMain = Form.get();
    Browser = NewForm<TFormSelDir>(nullptr);
    FormSelDir = Browser.get();
  }
  void TearDown() override {
    Browser.reset();
    FormSelDir = nullptr;
    FormMain = nullptr;
    SetCurrentDir(Previous);
    MainWindowTest::TearDown();
  }

  static void Picture(std::string path, uint32_t seed) {
    EXPECT_TRUE(SavePicture(*NoisePicture(5, 3, seed), path, "unused.bmp", pf24bit));
  }
  Strings Folders() const {
    Strings captions;
    for (int i = 0; i < Browser->ListView->ItemCount(); ++i)
      captions.push_back(Browser->ListView->Items(i).Caption);
    return captions;
  }
  // The listed files by name.
  Strings Listed() const {
    Strings names;
    for (const std::string& path : Paths(*Browser->CheckListBox1)) names.push_back(ExtractFileName(path));
    return names;
  }
  static void Press(QWidget* widget, int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                    const QString& text = {}) {
    QKeyEvent event(QEvent::KeyPress, qtKey, modifiers, text);
    QApplication::sendEvent(widget, &event);
  }
  void PressInList(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Press(Browser->CheckListBox1, qtKey, modifiers);
  }
  void Click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int x = 40,
             QEvent::Type type = QEvent::MouseButtonPress) {
    TCheckListBox& list = *Browser->CheckListBox1;
    const QPointF pos(x, list.ItemHeight() * row + 4);
    QMouseEvent event(type, pos, list.viewport()->mapToGlobal(pos), Qt::LeftButton, Qt::LeftButton,
                      modifiers);
    QApplication::sendEvent(list.viewport(), &event);
  }
  // Selects the folder by its caption in the folder view and presses Enter there.
  void Enter(const std::string& caption) {
    const Strings folders = Folders();
    const auto found = std::find(folders.begin(), folders.end(), caption);
    ASSERT_NE(found, folders.end()) << caption;
    Browser->ListView->SetItemIndex(static_cast<int>(found - folders.begin()));
    Press(Browser->ListView->focusProxy(), Qt::Key_Return);
  }
  void Choose(TComboBox* box, int index) {
    box->SetItemIndex(index);
    emit box->activated(index);
  }

  std::string Previous;
  std::string Root;
  std::string Night;
  std::unique_ptr<TFormSelDir, TFormDeleter> Browser;
};

TEST_F(BrowserTest, WalksDownUpByTypedPathsByTheHistoryAndByBrowsing) {
  EXPECT_EQ(Browser->FPath, Root);
  EXPECT_EQ(Folders(), (Strings{".hidden", "Été", "night 1", "sub2", "sub10"}));
  EXPECT_EQ(Listed(), (Strings{"a.BMP", "b.jpeg"}));  // the first filter entry and the mask "*"

  Enter("night 1");
  EXPECT_EQ(GetCurrentDir(), Night);
  EXPECT_TRUE(Folders().empty());
  EXPECT_EQ(Listed(), (Strings{"dark.bmp", "IMG_0001.bmp", "IMG_0002.bmp", "IMG_0003.jpg"}));
  Press(Browser->ListView->focusProxy(), Qt::Key_Backspace);
  EXPECT_EQ(Browser->FPath, Root);

  // Typed paths: relative to the folder being shown, "." and ".." resolved.
  Browser->cbPath->SetText("Été/../sub2");
  Press(Browser->cbPath, Qt::Key_Return);
  EXPECT_EQ(Browser->FPath, Root + "/sub2");
  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(Browser->cbPath->Text(), Root + "/sub2");
  // One history entry per folder, the newest on top; coming back to the root added none.
  Strings history;
  for (int i = 0; i < Browser->cbPath->Items().Count(); ++i) history.push_back(Browser->cbPath->Items()[i]);
  EXPECT_EQ(history, (Strings{Root + "/sub2", Night, Root}));
  Choose(Browser->cbPath, 1);
  EXPECT_EQ(Browser->FPath, Night);

  Script().AnswerSelectFolder(Root + "/sub10").AnswerSelectFolder("");
  Browser->btnBrowse->Click();
  Browser->btnBrowse->Click();  // cancelled
  EXPECT_EQ(Browser->FPath, Root + "/sub10");

  // Up to the top, where going up beeps and stays.
  Browser->SetPath(Root);
  const int beeps = BeepCount();
  while (Browser->FPath != "/") Browser->btnBack->Click();
  Browser->btnBack->Click();
  EXPECT_EQ(BeepCount(), beeps + 1);
  EXPECT_EQ(Browser->FPath, "/");

  // An empty path box is an error, and the folder stays.
  Browser->cbPath->SetText("");
  Script().AnswerMessageBox(IDOK, "Paramètre incorrect.");
  Press(Browser->cbPath, Qt::Key_Return);
  EXPECT_EQ(Browser->FPath, "/");
}

// Another window (the language chooser, listing its folder) may have made another folder the current
// one: a typed relative path still starts in the folder shown.
TEST_F(BrowserTest, TypedRelativePathsStartInTheFolderShown) {
  SetCurrentDir(Night);
  Browser->cbPath->SetText("sub2");
  Press(Browser->cbPath, Qt::Key_Return);
  EXPECT_EQ(Browser->FPath, Root + "/sub2");
  SetCurrentDir("/");
  Browser->cbPath->SetText("../night 1/.");
  Press(Browser->cbPath, Qt::Key_Return);
  EXPECT_EQ(Browser->FPath, Night);
  EXPECT_EQ(Listed().size(), 4u);
  // Typed text that is no history entry is a path too, from the folder shown.
  Browser->cbPath->SetText("..");
  Browser->cbPathClick(Browser->cbPath);
  EXPECT_EQ(Browser->FPath, Root);
}

// A folder whose name is not UTF-8 (copied from an old camera card, say) is known by its bytes: shown
// escaped, entered by Enter or by its escaped path, remembered once, with the icon of any folder.
TEST_F(BrowserTest, AFolderWhoseNameIsNotUtf8BehavesAsAnyFolder) {
  const std::string odd = Root + "/caf\xE9";
  const std::string shown = Root + "/caf\\xE9";
  fs::create_directory(odd);
  Picture(odd + "/frame.bmp", 7);
  Browser->SetPath(Root);
  EXPECT_EQ(Folders(), (Strings{".hidden", "caf\\xE9", "\xC3\x89t\xC3\xA9", "night 1", "sub2", "sub10"}));
  Browser->btnLargeIconsClick(Browser->btnReport);
  const TListItem item = Browser->ListView->Items(1);
  EXPECT_EQ(item.ImageIndex, ShellIconIndex(Night));
  EXPECT_EQ(item.SubItems.at(1), ShellTypeName(Night));

  Enter("caf\\xE9");
  EXPECT_EQ(Browser->FPath, odd);
  EXPECT_EQ(Browser->cbPath->Text(), shown);
  EXPECT_EQ(Listed(), Strings{"frame.bmp"});
  Press(Browser->ListView->focusProxy(), Qt::Key_Backspace);
  Enter("caf\\xE9");
  // The path box's text, as shown, takes Enter back to the same folder.
  Browser->SetPath(Night);
  Browser->cbPath->SetText(shown);
  Press(Browser->cbPath, Qt::Key_Return);
  EXPECT_EQ(Browser->FPath, odd);
  Strings history;
  for (int i = 0; i < Browser->cbPath->Items().Count(); ++i) history.push_back(Browser->cbPath->Items()[i]);
  EXPECT_EQ(history, (Strings{Night, shown, Root}));
  Choose(Browser->cbPath, 0);
  Choose(Browser->cbPath, 1);
  EXPECT_EQ(Browser->FPath, odd);

  // Its name reaches the folder message escaped, in the words of the message strings.
  const std::string words = kstFolderError;
  kstFolderError = "Dossier %s illisible : %s";
  fs::remove_all(odd);
  Script().AnswerMessageBox(IDOK, "Dossier " + shown + " illisible : No such file or directory.");
  Browser->EditName->SetText("fr*");
  kstFolderError = words;
  EXPECT_EQ(Browser->CheckListBox1->Count(), 0);
}

TEST_F(BrowserTest, EachViewButtonHasItsOwnGlyph) {
  std::vector<QImage> glyphs;
  for (TToolButton* button :
       {Browser->btnLargeIcons, Browser->btnSmallIcons, Browser->btnList, Browser->btnReport}) {
    glyphs.push_back(Browser->ToolbarImages->Icon(button->ImageIndex()).pixmap(21, 21).toImage());
    EXPECT_FALSE(glyphs.back().isNull()) << button->Name();
  }
  for (size_t a = 0; a < glyphs.size(); ++a)
    for (size_t b = a + 1; b < glyphs.size(); ++b) EXPECT_NE(glyphs[a], glyphs[b]) << a << " and " << b;
}

TEST_F(BrowserTest, MaskAndFilterChooseTheFiles) {
  Browser->SetPath(Night);
  Browser->EditName->SetText("img*");
  EXPECT_EQ(Listed(), (Strings{"IMG_0001.bmp", "IMG_0002.bmp", "IMG_0003.jpg"}));
  Browser->EditName->SetText("*.*");
  EXPECT_EQ(Listed(), (Strings{"dark.bmp", "frame.xyz", "IMG_0001.bmp", "IMG_0002.bmp", "IMG_0003.jpg",
                               "notes.txt", "README"}));

  // The filters: the usual ones, every registered extension at once, each alone, everything.
  TStrings& filters = Browser->FilterComboBox1->Items();
  EXPECT_EQ(filters[filters.Count() - 1], "*.*");
  EXPECT_NE(filters[1].find("*.tga;"), std::string::npos);
  Browser->EditName->SetText("*");
  Choose(Browser->FilterComboBox1, filters.Count() - 1);
  EXPECT_EQ(Listed().size(), 7u);
  Choose(Browser->FilterComboBox1, 1);
  EXPECT_EQ(Listed(), (Strings{"dark.bmp", "IMG_0001.bmp", "IMG_0002.bmp", "IMG_0003.jpg"}));
  // A new folder is listed with the mask and filter as they stand.
  Browser->EditName->SetText("ph*");
  Browser->SetPath(Root + "/Été");
  EXPECT_EQ(Listed(), Strings{"photo.bmp"});
}

TEST_F(BrowserTest, ChecksByMenuKeysMouseAndTheMainWindowsKeys) {
  Browser->Show();
  Browser->SetPath(Night);
  Browser->EditName->SetText("*.*");
  TCheckListBox& list = *Browser->CheckListBox1;
  ASSERT_EQ(list.Count(), 7);
  EXPECT_EQ(Marks(list), "CCCCCCC");
  PressInList(Qt::Key_U, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(Marks(list), "UUUUUUU");
  Click(1);
  Click(3, Qt::ControlModifier);
  PressInList(Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(Marks(list), "UcUcUUU");
  Browser->InvertCheckSelection->trigger();
  EXPECT_EQ(Marks(list), "UuUuUUU");
  Click(0, Qt::NoModifier, 4);  // on the check box
  EXPECT_EQ(Marks(list), "cUUUUUU");
  PressInList(Qt::Key_A, Qt::ControlModifier);
  PressInList(Qt::Key_U, Qt::ControlModifier);
  EXPECT_EQ(Marks(list), "uuuuuuu");
  // Ctrl+J is no key of this window: the main window's "Check Selection" takes it, on this list.
  Fill(*Form->ListBox1, {"/elsewhere/left.bmp"});
  Form->ListBox1->SetChecked(0, false);
  Form->ListBox1->SetSelected(0, true);
  PressInList(Qt::Key_J, Qt::ControlModifier);
  EXPECT_EQ(Marks(list), "ccccccc");
  EXPECT_EQ(Marks(*Form->ListBox1), "u");
  PressInList(Qt::Key_I, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(Marks(list), "uuuuuuu");
  Browser->CheckAll->trigger();
  Browser->UnselectAll->trigger();
  Click(2);
  Browser->ToolButtonCheck->Click();  // the check marks become the selection
  EXPECT_EQ(Marks(list), "UUcUUUU");
}

TEST_F(BrowserTest, OkAppendsTheCheckedFilesToTheLeftListAndTheyStack) {
  Form->Show();
  Fill(*Form->ListBox1, {"/old/one.bmp"});
  Form->ToolButtonOpen1->Click();
  EXPECT_TRUE(Browser->Visible());
  EXPECT_EQ(Screen->ActiveForm(), Browser.get());
  Browser->SetPath(Night);
  Browser->EditName->SetText("img*");
  Browser->CheckListBox1->SetChecked(1, false);
  // A cancelled "Clear List?" keeps the old entries and appends the new ones.
  Script().AnswerMessageBox(IDCANCEL, "Clear List?");
  Browser->BitBtnOk->Click();
  const Strings frames = {Night + "/IMG_0001.bmp", Night + "/IMG_0003.jpg"};
  EXPECT_EQ(Paths(*Form->ListBox1), (Strings{"/old/one.bmp", frames[0], frames[1]}));
  EXPECT_EQ(Script().Asked().back().Caption, "Left List");
  EXPECT_EQ(Screen->ActiveForm(), Form.get());
  EXPECT_EQ(Form->GetCurrentList(), Form->ListBox1);
  EXPECT_TRUE(Browser->Visible());

  Script().AnswerMessageBox(IDOK, "Clear List?");
  Browser->BitBtnOk->Click();
  TCheckListBox& left = *Form->ListBox1;
  EXPECT_EQ(Paths(left), frames);
  EXPECT_EQ(Marks(left), "cC");
  EXPECT_EQ(left.ItemIndex(), 0);
  ExpectEndOfRun(0);
  Form->GetMAX1->Click();
  EXPECT_TRUE(SamePixels(*Form->FResult, *MaximumOf(frames)));
  EXPECT_EQ(Form->FResultCount, 2);

  // Nothing checked: OK still offers to clear the list (kept here); nothing installed: nothing at all.
  Browser->UnCheckAll->trigger();
  Script().AnswerMessageBox(IDCANCEL, "Clear List?");
  Browser->BitBtnOk->Click();
  Browser->FOnOk = nullptr;
  Browser->CheckAll->trigger();
  Browser->BitBtnOk->Click();
  EXPECT_EQ(Paths(left), frames);
}

TEST_F(BrowserTest, ListCommandsAndListFilesActOnTheBrowserWhileItIsActive) {
  Fill(*Form->ListBox1, {"/elsewhere/left.bmp"});
  Form->ToolBar1Click(nullptr);
  Form->NewDirectory1->Click();
  Browser->SetPath(Night);
  EXPECT_EQ(Form->GetCurrentList(), Browser->CheckListBox1);
  Form->UncheckAllClick(nullptr);
  Form->SelectallClick(nullptr);
  EXPECT_EQ(Marks(*Browser->CheckListBox1), "uuuu");
  EXPECT_EQ(Marks(*Form->ListBox1), "C");
  const std::string listFile = Temp.File("browser.lst");
  Form->SaveListFile(listFile);

  Screen->SetActiveForm(Form.get());
  EXPECT_EQ(Form->GetCurrentList(), Form->ListBox1);
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->LoadListFile(listFile);
  EXPECT_EQ(Paths(*Form->ListBox1), Paths(*Browser->CheckListBox1));
  EXPECT_EQ(Marks(*Form->ListBox1), "uuuu");
}

TEST_F(BrowserTest, AFolderThatCannotBeEnteredListsNothing) {
  Form->NewDirectory1->Click();
  const std::string gone = Root + "/gone";
  fs::create_directory(gone);
  Picture(gone + "/frame.bmp", 6);
  Browser->SetPath(gone);
  EXPECT_EQ(Listed(), Strings{"frame.bmp"});
  fs::remove_all(gone);
  // Refilling the list of a folder removed meanwhile: its message, and no file that is not there.
  Script().AnswerMessageBox(IDOK, "Cannot open the folder " + gone + ": No such file or directory.");
  Browser->EditName->SetText("fr*");
  EXPECT_EQ(Browser->CheckListBox1->Count(), 0);
  Browser->BitBtnOk->Click();
  EXPECT_EQ(Form->ListBox1->Count(), 0);
  // Going there again fails, and the window keeps the folder it shows.
  Browser->SetPath(Night);
  Browser->EditName->SetText("*");
  Script().AnswerMessageBox(IDOK, "Le chemin d'accès spécifié est introuvable : " + gone + ".");
  Browser->cbPath->SetText(gone);
  Press(Browser->cbPath, Qt::Key_Return);
  EXPECT_EQ(Browser->FPath, Night);
  EXPECT_EQ(Listed().size(), 4u);

  if (geteuid() == 0) return;  // permissions do not hold the superuser back
  const std::string locked = Root + "/sub2";
  chmod(locked.c_str(), 0);
  EXPECT_THROW(Browser->SetPath(locked), EOleSysError);
  EXPECT_EQ(Browser->FPath, Night);
  // Readable but not enterable: its names can be read, its files not opened.
  chmod(locked.c_str(), 0444);
  EXPECT_THROW(Browser->SetPath(locked), Exception);
  EXPECT_EQ(Browser->CheckListBox1->Count(), 0);
  chmod(locked.c_str(), 0755);
}

TEST_F(BrowserTest, ACurrentFolderRemovedBeforeCreationGivesWayToTheHomeFolder) {
  const std::string gone = Root + "/gone";
  fs::create_directory(gone);
  ASSERT_TRUE(SetCurrentDir(gone));
  fs::remove(gone);
  const char* home = std::getenv("HOME");
  const std::string previousHome = home ? home : "";
  setenv("HOME", Night.c_str(), 1);
  const auto fresh = NewForm<TFormSelDir>(nullptr);  // and no message about the folder it lost
  if (home)
    setenv("HOME", previousHome.c_str(), 1);
  else
    unsetenv("HOME");
  EXPECT_EQ(fresh->FPath, Night);
  EXPECT_EQ(fresh->CheckListBox1->Count(), 4);
}

TEST_F(BrowserTest, ReportShowsTypesDatesAndAttributesOfTheFolders) {
  const std::time_t when = 1600000000;
  const utimbuf times{when, when};
  for (const char* folder : {"/.hidden", "/night 1"}) utime((Root + folder).c_str(), &times);
  Browser->SetPath(Root);  // details are read anew on every visit
  Browser->btnLargeIconsClick(Browser->btnReport);
  EXPECT_EQ(Browser->ListView->ViewStyle(), TViewStyle::vsReport);
  const std::string type = ShellTypeName(Night);
  EXPECT_FALSE(type.empty());
  const TListItem hidden = Browser->ListView->Items(0);
  EXPECT_EQ(hidden.Caption, ".hidden");
  EXPECT_EQ(hidden.SubItems, (Strings{"", type, ShortDateTimeText(when), "H"}));
  EXPECT_EQ(Browser->ListView->Items(2).SubItems, (Strings{"", type, ShortDateTimeText(when), ""}));
  EXPECT_EQ(Browser->ListView->Columns(4).Caption, "Attributes");
  Browser->btnSmallIcons->Click();
  EXPECT_EQ(Browser->ListView->ViewStyle(), TViewStyle::vsSmallIcon);
  EXPECT_TRUE(Browser->btnSmallIcons->Down());
  EXPECT_FALSE(Browser->btnList->Down());
  EXPECT_TRUE(Browser->ListView->Items(2).SubItems.empty());
  EXPECT_EQ(Browser->ListView->Items(2).ImageIndex, ShellIconIndex(Night));
}

TEST_F(BrowserTest, TypingFindsAFolderAndDoubleClickEntersIt) {
  QWidget* view = Browser->ListView->focusProxy();
  Press(view, Qt::Key_S, Qt::NoModifier, "s");
  Press(view, Qt::Key_U, Qt::NoModifier, "u");
  EXPECT_EQ(Browser->ListView->ItemIndex(), 3);
  int index = -1;
  const auto find = [&](TItemFind kind, const std::string& text, int start, bool wrap) {
    Browser->ListViewDataFind(nullptr, kind, text, start, TSearchDirection::sdAll, wrap, index);
    return index;
  };
  EXPECT_EQ(find(TItemFind::ifPartialString, "sub1", 0, true), 4);  // the last folder too
  EXPECT_EQ(find(TItemFind::ifPartialString, "ét", 4, true), -1);   // letters beyond ASCII keep their case
  EXPECT_EQ(find(TItemFind::ifPartialString, "Ét", 4, true), 1);
  EXPECT_EQ(find(TItemFind::ifExactString, "NIGHT", 3, true), 2);

  Browser->ListViewDblClick(nullptr);
  EXPECT_EQ(Browser->FPath, Root + "/sub2");
}

TEST_F(BrowserTest, DoubleClickOpensAFileWithItsProgram) {
  Browser->SetPath(Night);
  Script().AnswerOpenDocument(42).AnswerOpenDocument(2).AnswerMessageBox(IDOK, "2");
  Click(1, Qt::NoModifier, 40, QEvent::MouseButtonDblClick);
  EXPECT_EQ(Script().Asked().back().Text, Night + "/IMG_0001.bmp");
  EXPECT_EQ(Script().Asked().back().Caption, Night + "/");
  Click(0, Qt::NoModifier, 40, QEvent::MouseButtonDblClick);
  EXPECT_EQ(Script().Asked().back().Caption, "Fail to Open");
  Click(9, Qt::NoModifier, 40, QEvent::MouseButtonDblClick);  // below the entries: nothing
}

// The desktop's program is asked for the file by its bytes, a name that is not UTF-8 included, through
// the real dialogs seam; any other question is the script's.
class TDesktopDialogs : public TScriptedDialogs {
 public:
  int OpenDocument(const std::string& fileName, const std::string& workingFolder) override {
    return TQtDialogs().OpenDocument(fileName, workingFolder);
  }
};

TEST_F(BrowserTest, AFileWhoseNameIsNotUtf8OpensWithItsProgram) {
  const std::string photo = Night + "/caf\xE9.bmp";
  Picture(photo, 6);
  Browser->SetPath(Night);
  const int row = Browser->CheckListBox1->Items().IndexOf(photo);
  ASSERT_GE(row, 0);
  TOpenedUrls desktop;
  auto script = InstallDialogs(std::make_unique<TDesktopDialogs>());
  Click(row, Qt::NoModifier, 40, QEvent::MouseButtonDblClick);
  const auto seam = InstallDialogs(std::move(script));
  EXPECT_TRUE(static_cast<TDesktopDialogs&>(*seam).Asked().empty());  // no "Fail to Open"
  ASSERT_EQ(desktop.Urls.size(), 1u);
  EXPECT_EQ(QByteArray::fromPercentEncoding(desktop.Urls[0].toEncoded()).toStdString(), "file://" + photo);
}

TEST_F(BrowserTest, CloseHidesShowingRebuildsAndTheCloseBoxEmpties) {
  Browser->Show();
  Browser->SetPath(Night);
  Browser->UnCheckAll->trigger();
  Browser->BitBtnClose->Click();
  EXPECT_FALSE(Browser->Visible());
  EXPECT_EQ(Marks(*Browser->CheckListBox1), "UUUU");
  Browser->Show();
  EXPECT_EQ(Marks(*Browser->CheckListBox1), "CCCC");
  PressInList(Qt::Key_Escape);  // works the Close button
  EXPECT_FALSE(Browser->Visible());
  EXPECT_EQ(Browser->CheckListBox1->Count(), 4);
  Browser->Show();
  Browser->close();
  EXPECT_FALSE(Browser->Visible());
  EXPECT_EQ(Browser->CheckListBox1->Count(), 0);
}

}  // namespace
