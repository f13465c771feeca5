#include "toolkit/ui/forms.h"

#include <QApplication>
#include <QEventLoop>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>

#include "toolkit/ui/application.h"
#include "toolkit/ui/dialogs.h"
#include "toolkit/ui/menus.h"
#include "toolkit/ui/screen.h"

namespace {

// The client area of a window: tells the window when its size changes, so it can align its controls.
class TClientArea : public QWidget {
 public:
  explicit TClientArea(TCustomForm* form) : FForm(form) {}

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    Guarded([this] {
      FForm->Realign();
      FForm->ClientChanged();
    });
  }

 private:
  TCustomForm* FForm;
};

}  // namespace

// ---- TCustomForm

TCustomForm::TCustomForm(TComponent* owner) : TControl(owner, nullptr) {
  Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  Screen->RemoveForm(this);
}

std::string TCustomForm::Caption() const {
  return Widget() ? Widget()->windowTitle().toStdString() : std::string();
}

void TCustomForm::SetCaption(const std::string& caption) {
  if (Widget()) Widget()->setWindowTitle(QString::fromStdString(caption));
}

bool TCustomForm::Visible() const {
  return Widget() && Widget()->isVisible();
}

void TCustomForm::SetVisible(bool visible) {
  if (visible)
    Show();
  else
    Hide();
}

void TCustomForm::SetModalResult(TModalResult result) {
  FModalResult = result;
  if (FModalLoop && result != mrNone) {
    if (CloseQuery())
      FModalLoop->quit();
    else
      FModalResult = mrNone;
  }
}

bool TCustomForm::StaysOnTop() const {
  return Widget() && Widget()->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void TCustomForm::PlaceByPosition() {
  QWidget* widget = Widget();
  QRect area;
  TCustomForm* main = Application->MainForm();
  if (Position == TPosition::poMainFormCenter && main && main != this && main->Visible())
    area = main->Widget()->frameGeometry();
  else if (Position != TPosition::poDesigned && widget->screen())
    area = widget->screen()->availableGeometry();
  if (area.isEmpty()) return;
  // Before its first showing a window has no frame yet: its own size stands for it.
  const QSize size = widget->frameGeometry().size().expandedTo(widget->size());
  widget->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

void TCustomForm::Show() {
  QWidget* widget = Widget();
  if (!widget->isVisible()) PlaceByPosition();
  widget->show();
  widget->raise();
  widget->activateWindow();
  Screen->BringToFront(this);
  Screen->SetActiveForm(this);
  if (FActiveControl) FActiveControl->SetFocus();
  if (OnShow) OnShow(this);
}

void TCustomForm::Hide() {
  if (Widget()) Widget()->hide();
}

TModalResult TCustomForm::ShowModal() {
  FModalResult = mrNone;
  return Dialogs().ShowModal(*this);
}

TModalResult TCustomForm::ExecModal() {
  QWidget* widget = Widget();
  TCustomForm* previousActive = Screen->ActiveForm();
  QEventLoop loop;
  FModalLoop = &loop;
  FModalResult = mrNone;
  widget->setWindowModality(Qt::ApplicationModal);
  // A window that stays on top would cover the modal one, which is the only one that answers.
  const bool lifted = !StaysOnTop() && Screen->TopmostStayOnTopForm() != nullptr;
  if (lifted) widget->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  Show();
  loop.exec();
  FModalLoop = nullptr;
  widget->hide();
  if (lifted) widget->setWindowFlag(Qt::WindowStaysOnTopHint, false);
  widget->setWindowModality(Qt::NonModal);
  Screen->SetActiveForm(previousActive);
  return FModalResult;
}

void TCustomForm::Close() {
  if (FModalLoop) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  Hide();
  if (Application->MainForm() == this) Application->Terminate();
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

bool TCustomForm::FrameClose() {
  if (FModalLoop) {
    SetModalResult(mrCancel);
    return false;  // the modal loop hides the window itself
  }
  if (!CloseQuery()) return false;
  if (Application->MainForm() == this) Application->Terminate();
  return true;
}

void TCustomForm::SetActiveControl(TControl* control) {
  FActiveControl = control;
  if (control && Visible()) control->SetFocus();
}

void TCustomForm::SetMenu(TMainMenu* menu) {
  FMenu = menu;
  if (menu) InstallMenuBar(menu->MenuBar());
}

void TCustomForm::SetMessageHandler(unsigned message, TMessageHandler handler) {
  FMessageHandlers[message] = std::move(handler);
}

intptr_t TCustomForm::Perform(unsigned message, intptr_t wParam, intptr_t lParam) {
  const auto found = FMessageHandlers.find(message);
  if (found == FMessageHandlers.end() || !found->second) return 0;
  return found->second(wParam, lParam);
}

void TCustomForm::DoCreate() {
  if (FCreated) return;
  FCreated = true;
  if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy() {
  if (FDestroyed) return;
  FDestroyed = true;
  if (OnDestroy) OnDestroy(this);
}

bool TCustomForm::DispatchKey(Word key, TShiftState shift) {
  if (FMenu && FMenu->DispatchShortCut(ShortCut(key, shift))) return true;
  if (KeyPreview && OnKeyDown) {
    Word previewed = key;
    OnKeyDown(this, previewed, shift);
    if (previewed == 0) return true;
  }
  return false;
}

void TCustomForm::WindowActivated() {
  Screen->BringToFront(this);
  Screen->SetActiveForm(this);
  if (OnActivate) OnActivate(this);
}

void TCustomForm::WindowHidden() {
  if (Screen->ActiveForm() == this) {
    TCustomForm* main = Application->MainForm();
    Screen->SetActiveForm(main && main != this && main->Visible() ? main : nullptr);
  }
  if (OnHide) OnHide(this);
}

void TFormDeleter::operator()(TCustomForm* form) const {
  if (!form) return;
  form->DoDestroy();
  delete form;
}

// ---- TForm

TForm::TForm(TComponent* owner) : TFormBase<QDialog>(owner) {
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  auto* client = new TClientArea(this);
  FFrameLayout = new QVBoxLayout(this);
  FFrameLayout->setContentsMargins(0, 0, 0, 0);
  FFrameLayout->setSpacing(0);
  FFrameLayout->addWidget(client);
  SetClientArea(client);
  resize(400, 300);
}

void TForm::reject() {
  Guarded([this] { Close(); });
}

void TForm::InstallMenuBar(QMenuBar* menuBar) {
  FFrameLayout->setMenuBar(menuBar);
}

// ---- TMainWindowForm

TMainWindowForm::TMainWindowForm(TComponent* owner) : TFormBase<QMainWindow>(owner) {
  auto* client = new TClientArea(this);
  setCentralWidget(client);
  SetClientArea(client);
  resize(640, 480);
}

void TMainWindowForm::InstallMenuBar(QMenuBar* menuBar) {
  setMenuBar(menuBar);
}
