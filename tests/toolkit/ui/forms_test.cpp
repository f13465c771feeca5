// Windows: components and children in order, alignment, close query, modal results, messages, keys.
#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

#include "tests/support/scripted_dialogs_fixture.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/buttons.h"
#include "toolkit/ui/extctrls.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/menus.h"
#include "toolkit/ui/screen.h"
#include "toolkit/ui/statusbar.h"
#include "toolkit/ui/stdctrls.h"
#include "toolkit/ui/toolbar.h"

namespace {

class SampleForm : public TForm {
 public:
  explicit SampleForm(TComponent* owner) : TForm(owner) {
    SetName("FormSample");
    SetCaption("Sample");
    Panel = new TPanel(this, this);
    Panel->SetName("Panel1");
    Panel->SetAlign(TAlign::alLeft);
    Panel->SetWidth(177);
    Inner = new TButton(this, Panel);
    Inner->SetName("ButtonInside");
    Splitter = new TSplitter(this, this);
    Splitter->SetName("Splitter1");
    Splitter->SetAlign(TAlign::alLeft);
    Splitter->SetWidth(3);
    Status = new TStatusBar(this, this);
    Status->SetName("StatusBar1");
    Status->SetAlign(TAlign::alBottom);
    Status->SetHeight(19);
    Client = new TPanel(this, this);
    Client->SetName("Panel3");
    Client->SetAlign(TAlign::alClient);
    Ok = new TBitBtn(this, this);
    Ok->SetName("BitBtnOk");
    Ok->SetKind(TBitBtnKind::bkOK);
    OnCreate = [this](TObject*) { Created = true; };
    OnCloseQuery = [this](TObject*, bool& canClose) {
      ++Queries;
      canClose = AllowClose;
    };
  }
  TPanel* Panel;
  TButton* Inner;
  TSplitter* Splitter;
  TStatusBar* Status;
  TPanel* Client;
  TBitBtn* Ok;
  bool Created = false;
  bool AllowClose = true;
  int Queries = 0;
};

TEST(FormsTest, ComponentsAndChildrenAreKeptInCreationOrderWithTheirNames) {
  auto form = NewForm<SampleForm>(nullptr);
  EXPECT_TRUE(form->Created);
  EXPECT_EQ(form->objectName(), "FormSample");
  ASSERT_EQ(form->ComponentCount(), 6);
  EXPECT_EQ(form->Components(1)->Name(), "ButtonInside");
  EXPECT_EQ(form->Components(1)->Object()->objectName(), "ButtonInside");
  // The button inside the panel is owned by the window but is not one of its direct children.
  ASSERT_EQ(form->ControlCount(), 5);
  EXPECT_EQ(form->Controls(0), form->Panel);
  EXPECT_EQ(form->Controls(1), form->Splitter);
  EXPECT_EQ(form->Panel->ControlCount(), 1);
  EXPECT_EQ(form->Inner->Parent(), form->Panel);
  EXPECT_EQ(form->FindComponent("statusbar1"), form->Status);
  EXPECT_NE(dynamic_cast<TButton*>(form->Components(5)), nullptr);  // a TBitBtn is a TButton
}

TEST(FormsTest, AlignedControlsShareTheClientArea) {
  auto form = NewForm<SampleForm>(nullptr);
  form->resize(600, 400);
  form->Realign();
  const int clientHeight = form->ClientHeight();
  EXPECT_EQ(form->Panel->Left(), 0);
  EXPECT_EQ(form->Panel->Width(), 177);
  EXPECT_EQ(form->Panel->Height(), clientHeight - 19);
  EXPECT_EQ(form->Splitter->Left(), 177);
  EXPECT_EQ(form->Client->Left(), 180);
  EXPECT_EQ(form->Client->Width(), form->ClientWidth() - 180);
  EXPECT_EQ(form->Status->Top(), clientHeight - 19);
  // Dragging the splitter asks the panel, which may refuse a width below its limit.
  form->Panel->OnCanResize = [](TObject*, int& width, int&, bool&) { width = std::max(width, 175); };
  form->Splitter->DragBy(-50);
  EXPECT_EQ(form->Panel->Width(), 175);
  EXPECT_EQ(form->Splitter->Left(), 175);
  form->Splitter->DragBy(25);
  EXPECT_EQ(form->Panel->Width(), 200);
}

TEST(FormsTest, CloseAsksTheCloseQuery) {
  auto form = NewForm<SampleForm>(nullptr);
  form->Show();
  form->AllowClose = false;
  form->Close();
  EXPECT_TRUE(form->Visible());
  form->AllowClose = true;
  form->Close();
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(form->Queries, 2);
}

TEST(FormsTest, ModalLoopEndsWithTheButtonsModalResult) {
  auto form = NewForm<SampleForm>(nullptr);
  QTimer::singleShot(0, form.get(), [&] { form->Ok->click(); });
  EXPECT_EQ(form->ExecModal(), mrOk);
  EXPECT_FALSE(form->Visible());
  // Escape (closing) ends it with mrCancel.
  QTimer::singleShot(0, form.get(), [&] { form->Close(); });
  EXPECT_EQ(form->ExecModal(), mrCancel);
  // A close query that refuses keeps the modal window open.
  form->AllowClose = false;
  QTimer::singleShot(0, form.get(), [&] {
    form->SetModalResult(mrOk);
    EXPECT_EQ(form->ModalResult(), mrNone);
    form->AllowClose = true;
    form->SetModalResult(mrYes);
  });
  EXPECT_EQ(form->ExecModal(), mrYes);
}

// A modal window opened while a window that stays on top is shown stays on top itself while it is
// modal, or that window would cover the only one that answers.
TEST(FormsTest, AModalWindowOpensAboveTheWindowsThatStayOnTop) {
  auto tool = NewForm<SampleForm>(nullptr);
  tool->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  auto form = NewForm<SampleForm>(nullptr);
  bool onTopWhileModal = false;
  QTimer::singleShot(0, form.get(), [&] {
    onTopWhileModal = form->StaysOnTop();
    form->Ok->click();
  });
  EXPECT_EQ(form->ExecModal(), mrOk);
  EXPECT_FALSE(onTopWhileModal);  // nothing stays on top: nothing to open above
  tool->Show();
  QTimer::singleShot(0, form.get(), [&] {
    onTopWhileModal = form->StaysOnTop();
    form->Ok->click();
  });
  EXPECT_EQ(form->ExecModal(), mrOk);
  EXPECT_TRUE(onTopWhileModal);
  EXPECT_FALSE(form->StaysOnTop());
}

// Centred on the main window, or on the screen (also while there is no main window to centre on);
// placed anew each time the window is shown after being hidden.
TEST(FormsTest, WindowsAppearWhereTheirPositionPutsThem) {
  SampleForm* main = nullptr;
  Application->CreateForm(main);
  main->Widget()->setGeometry(40, 60, 600, 400);
  main->Show();
  auto centred = [](const TCustomForm& form, const QRect& area) {
    const QPoint offset = form.Widget()->frameGeometry().center() - area.center();
    return offset.manhattanLength() <= 2;
  };
  auto form = NewForm<SampleForm>(nullptr);
  form->Widget()->resize(200, 100);
  form->Position = TPosition::poMainFormCenter;
  form->Show();
  EXPECT_TRUE(centred(*form, main->Widget()->frameGeometry()));
  form->Widget()->move(0, 0);
  form->Show();  // already shown: stays where it is
  EXPECT_EQ(form->Widget()->pos(), QPoint(0, 0));
  form->Hide();
  main->Hide();
  form->Show();
  const QRect screen = form->Widget()->screen()->availableGeometry();
  EXPECT_TRUE(centred(*form, screen));
  form->Hide();
  form->Position = TPosition::poDesigned;
  form->Widget()->move(5, 7);
  form->Show();
  EXPECT_EQ(form->Widget()->pos(), QPoint(5, 7));
  form.reset();
  Application->DestroyForms();
}

TEST(FormsTest, MessagesReachTheirHandler) {
  auto form = NewForm<SampleForm>(nullptr);
  int received = 0;
  form->SetMessageHandler(WM_USER + 500, [&](intptr_t w, intptr_t l) {
    received += 1 + static_cast<int>(w + l);
    return intptr_t{1};
  });
  EXPECT_EQ(form->Perform(1524, 0, 0), 1);
  EXPECT_EQ(received, 1);
}

}  // namespace
