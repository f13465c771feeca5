// The exception display and the guard around every handler.
#include <stdexcept>

#include <QAction>
#include <QTimer>

#include "tests/support/scripted_dialogs_fixture.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/guarded.h"
#include "toolkit/ui/menus.h"
#include "toolkit/ui/stdctrls.h"

namespace {

class ApplicationTest : public ScriptedDialogsTest {
 protected:
  void SetUp() override { Application->SetTitle("Orvanta"); }
};

TEST(FullStopTest, IsAddedOnlyAfterCharactersAboveTheFullStop) {
  EXPECT_EQ(AddFullStop("abc"), "abc.");
  EXPECT_EQ(AddFullStop("abc."), "abc.");
  EXPECT_EQ(AddFullStop("abc!"), "abc!");   // '!' is 33
  EXPECT_EQ(AddFullStop("abc)"), "abc)");   // ')' is 41
  EXPECT_EQ(AddFullStop("abc-"), "abc-");   // '-' is 45
  EXPECT_EQ(AddFullStop("abc/"), "abc/.");  // '/' is 47
  EXPECT_EQ(AddFullStop("value 7"), "value 7.");
  EXPECT_EQ(AddFullStop(""), "");
  EXPECT_EQ(AddFullStop("abc "), "abc ");
  EXPECT_EQ(AddFullStop("d\xc3\xa9j\xc3\xa0"), "d\xc3\xa9j\xc3\xa0.");
}

TEST_F(ApplicationTest, ExceptionIsShownWithAStopIconUnderTheTitle) {
  Script().AnswerMessageBox(IDOK);
  Application->HandleException(std::make_exception_ptr(EInvalidGraphic("Cannot load image")));
  ASSERT_EQ(Script().Asked().size(), 1u);
  EXPECT_EQ(Script().Asked()[0].Kind, TDialogKind::MessageBox);
  EXPECT_EQ(Script().Asked()[0].Text, "Cannot load image.");
  EXPECT_EQ(Script().Asked()[0].Caption, "Orvanta");
  EXPECT_EQ(Script().Asked()[0].Flags, MB_OK | MB_ICONSTOP);
}

TEST_F(ApplicationTest, SilentAbortShowsNothing) {
  Application->HandleException(std::make_exception_ptr(EAbort()));
  Guarded([] { Abort(); });
  EXPECT_TRUE(Script().Asked().empty());
}

TEST_F(ApplicationTest, ExceptionInAMenuHandlerStaysInsideTheEventLoop) {
  TMenuItem item(nullptr);
  int runs = 0;
  item.OnClick = [&](TObject*) {
    ++runs;
    throw EConvertError("'x' n'est pas une valeur entière correcte");
  };
  Script().AnswerMessageBox(IDOK, "'x' n'est pas une valeur entière correcte.");
  EXPECT_NO_THROW(item.trigger());
  EXPECT_EQ(runs, 1);
}

TEST_F(ApplicationTest, ExceptionInAHandlerReachedThroughAQtEventStaysInside) {
  TButton button(nullptr, nullptr);
  button.OnClick = [](TObject*) { throw std::logic_error("broken"); };
  Script().AnswerMessageBox(IDOK, "broken.");
  // A queued click comes from the event loop itself.
  QTimer::singleShot(0, &button, [&] { button.click(); });
  EXPECT_NO_THROW(Application->ProcessMessages());
  EXPECT_EQ(Script().Asked().size(), 1u);
}

}  // namespace
