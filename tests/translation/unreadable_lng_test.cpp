// Language files that cannot be read, applied or made active in the chooser and found at start-up:
// each is said, naming the file and the reason, and no text changes.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "tests/translation/translation_fixture.h"
#include "toolkit/ui/guarded.h"
#include "translation/ulngform.h"

namespace {

// Lowers the effective user for its lifetime when the tests run as the superuser, whom permissions do
// not stop.
class TWithoutPrivileges {
 public:
  TWithoutPrivileges() : FLowered(::geteuid() == 0) {
    if (FLowered) {
      EXPECT_EQ(::seteuid(kNobody), 0);
    }
  }
  ~TWithoutPrivileges() {
    if (FLowered) {
      EXPECT_EQ(::seteuid(0), 0);
    }
  }
  TWithoutPrivileges(const TWithoutPrivileges&) = delete;
  TWithoutPrivileges& operator=(const TWithoutPrivileges&) = delete;

 private:
  static constexpr uid_t kNobody = 65534;
  bool FLowered;
};

// Something under a name of the language folder that is no language file one can read.
struct TUnreadable {
  const char* What;
  std::function<void(const std::string& path)> Make;
  const char* Reason;
  bool Listed;  // the chooser lists it (folders it does not)
};

const TUnreadable kUnreadables[] = {
    {"a named pipe", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); },
     "not a regular file (a pipe or a device)", true},
    {"a device", [](const std::string& path) { std::filesystem::create_symlink("/dev/zero", path); },
     "not a regular file (a pipe or a device)", true},
    {"a link whose file is gone",
     [](const std::string& path) { std::filesystem::create_symlink(path + ".gone", path); },
     "a symbolic link to a file that does not exist", true},
    {"a folder", [](const std::string& path) { std::filesystem::create_directories(path); }, "Is a directory",
     false},
    {"a file the user may not read",
     [](const std::string& path) {
       std::filesystem::create_directories(std::filesystem::path(path).parent_path());
       WriteWholeFile(path, {'[', 'L', ']'});
       ::chmod(path.c_str(), 0);
     },
     "Permission denied", true},
};

class UnreadableLngTest : public TranslationTest {
 protected:
  void SetUp() override {
    TranslationTest::SetUp();
    Write(Lng("current.lng"), kActive);
    // Everyone reaches the language folder, so that only the file's own permissions stop a user.
    using std::filesystem::perms;
    for (const std::filesystem::path& folder : {Temp.Path(), Temp.Path() / "lng"})
      std::filesystem::permissions(
          folder, perms::group_read | perms::group_exec | perms::others_read | perms::others_exec,
          std::filesystem::perm_options::add);
  }
  static std::string Refusal(const std::string& path, const std::string& reason) {
    return "Cannot read the language file " + path + ": " + reason + ".";
  }
  void Choose(const std::string& entry) {
    LngForm->ListBox1->SetItemIndex(LngForm->ListBox1->Items().IndexOf(entry));
  }
  // The texts the active file gives, and no language file applied since.
  void ExpectActiveTexts(const char* what, int applied) {
    EXPECT_EQ(Try->Caption(), "Active") << what;
    EXPECT_EQ(LngForm->Caption(), "Fichiers de Traduction") << what;
    EXPECT_EQ(Try->Applied, applied) << what;
  }

  static constexpr const char* kActive = "[FormTry]\r\nCaption=Active\r\n";
};

// "Appliquer" on each: the chosen file when the chooser lists it, else current.lng itself (nothing
// selected).
TEST_F(UnreadableLngTest, ApplyingOneSaysWhyAndChangesNoText) {
  ReadLngFile("");
  for (const TUnreadable& bad : kUnreadables) {
    const std::string name = bad.Listed ? "bad.lng" : "current.lng";
    std::filesystem::remove(Lng(name));
    bad.Make(Lng(name));
    LngForm->Show();
    if (bad.Listed)
      Choose(name);
    else
      LngForm->ListBox1->SetItemIndex(-1);
    ASSERT_EQ(LngForm->ListBox1->ItemIndex() >= 0, bad.Listed) << bad.What;
    Script().AnswerMessageBox(IDOK, Refusal(Lng(name), bad.Reason));
    {
      TWithoutPrivileges user;
      LngForm->SpeedButtonApplyLng->click();
    }
    ExpectActiveTexts(bad.What, 1);
    EXPECT_EQ(Script().Asked().back().Caption, Application->Title()) << bad.What;
    std::filesystem::remove(Lng(name));
    if (!bad.Listed) Write(Lng("current.lng"), kActive);
  }
}

// OK on each: current.lng stays as it was and is applied, the chooser stays open and the active name
// is kept.
TEST_F(UnreadableLngTest, MakingOneActiveSaysWhyAndKeepsTheActiveFile) {
  for (const TUnreadable& bad : kUnreadables) {
    if (!bad.Listed) continue;
    std::filesystem::remove(Lng("bad.lng"));
    bad.Make(Lng("bad.lng"));
    LngForm->Show();
    Choose("bad.lng");
    const int applied = Try->Applied;
    Script().AnswerMessageBox(IDOK, Refusal(Lng("bad.lng"), bad.Reason));
    {
      TWithoutPrivileges user;
      LngForm->BitBtnLngOk->click();
    }
    EXPECT_EQ(Read(Lng("current.lng")), kActive) << bad.What;
    EXPECT_EQ(Try->Caption(), "Active") << bad.What;
    EXPECT_GT(Try->Applied, applied) << bad.What;
    EXPECT_TRUE(LngForm->Visible()) << bad.What;
    EXPECT_EQ(LngForm->FRemembered, CurrentLngFile()) << bad.What;
    std::filesystem::remove(Lng("bad.lng"));
  }
}

// Cancel, or the close box, is always a way out: an active file that cannot be read is said, and the
// chooser closes all the same.
TEST_F(UnreadableLngTest, CancelSaysWhyTheActiveFileCannotBeReadAndCloses) {
  const std::function<void()> leaves[] = {[] { LngForm->BitBtnLngCancel->click(); },
                                          [] {
                                            LngForm->SetModalResult(mrCancel);
                                            LngForm->Close();
                                          }};
  for (const TUnreadable& bad : kUnreadables) {
    for (const auto& leave : leaves) {
      std::filesystem::remove(Lng("current.lng"));
      bad.Make(Lng("current.lng"));
      LngForm->Show();
      // Reading it or, when it stands for no file, making it anew fails: either says the name and why.
      Script().AnswerMessageBox(IDOK);
      const size_t asked = Script().Asked().size();
      {
        TWithoutPrivileges user;
        leave();
      }
      ASSERT_EQ(Script().Asked().size(), asked + 1) << bad.What;
      EXPECT_NE(Script().Asked().back().Text.find(Lng("current.lng")), std::string::npos) << bad.What;
      EXPECT_EQ(Script().Asked().back().Flags & MB_ICONSTOP, MB_ICONSTOP) << bad.What;
      EXPECT_FALSE(LngForm->Visible()) << bad.What;
      EXPECT_EQ(Try->Caption(), "Try window") << bad.What;
      EXPECT_EQ(LngForm->FRemembered, "current.lng") << bad.What;
      std::filesystem::remove(Lng("current.lng"));
    }
  }
}

// Start-up reports an active file that cannot be read, through the door every handler goes through,
// and the program keeps its own words.
TEST_F(UnreadableLngTest, AnActiveFileThatCannotBeReadIsReportedAtStartUp) {
  for (const TUnreadable& bad : kUnreadables) {
    std::filesystem::remove(Lng("current.lng"));
    bad.Make(Lng("current.lng"));
    Script().AnswerMessageBox(IDOK, Refusal(Lng("current.lng"), bad.Reason));
    {
      TWithoutPrivileges user;
      Guarded(ApplyActiveLanguage);
    }
    EXPECT_EQ(Try->Caption(), "Try window") << bad.What;
    EXPECT_EQ(Try->Applied, 0) << bad.What;
    EXPECT_EQ(Script().Asked().back().Flags & MB_ICONSTOP, MB_ICONSTOP) << bad.What;
    std::filesystem::remove(Lng("current.lng"));
  }
  // No current.lng at all is a fresh installation: nothing to say.
  Guarded(ApplyActiveLanguage);
  EXPECT_EQ(Try->Applied, 0);
}

}  // namespace
