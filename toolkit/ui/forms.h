#pragma once
// Windows. TCustomForm is the behaviour every window shares (name, caption, key preview, modal
// result, show, modal show, close with its close query, creation and destruction events, window
// messages); TFormBase<W> puts it on a Qt window class: TForm (QDialog) for the program's dialogs and
// tool windows, TMainWindowForm (QMainWindow) for the main window.
//
// A window is made in two steps: the constructor builds the components and binds the handlers, then
// DoCreate runs the creation event. TApplication::CreateForm and NewForm do both; a window is freed
// through TFormDeleter, which runs the destruction event first.

#include <functional>
#include <map>
#include <memory>
#include <string>

#include <QCloseEvent>
#include <QDialog>
#include <QEvent>
#include <QMainWindow>

#include "toolkit/ui/component.h"
#include "toolkit/ui/guarded.h"

class QEventLoop;
class QMenuBar;
class QVBoxLayout;
class TMainMenu;

using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TMessageHandler = std::function<intptr_t(intptr_t wParam, intptr_t lParam)>;

class TCustomForm : public TControl {
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;

  bool Visible() const override;
  void SetVisible(bool visible) override;

  // The window stays above the windows that do not (a tool window such as the batch window).
  bool StaysOnTop() const;
  // Where the window appears each time it is shown after being hidden.
  TPosition Position = TPosition::poDesigned;

  // The window sees key presses before the focused control does (OnKeyDown).
  bool KeyPreview = false;

  TModalResult ModalResult() const { return FModalResult; }
  // Inside a modal show, a result other than mrNone closes the window (after its close query).
  void SetModalResult(TModalResult result);
  bool Modal() const { return FModalLoop != nullptr; }

  // Shows the window and brings it to the front, active.
  void Show();
  void Hide();
  // Shows the window modally through the dialogs seam and returns its modal result.
  TModalResult ShowModal();
  // Modal: ends the modal show with mrCancel. Otherwise asks the close query and hides the window;
  // closing the main window ends the application.
  void Close();
  // Runs OnCloseQuery; true when the window may close.
  bool CloseQuery();

  // The control that gets the focus (when the window is shown or at once when it is visible).
  TControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TControl* control);

  // The window's main menu (set by the menu when it is made with the window as owner).
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* menu);

  QWidget* ClientWidget() const override { return FClient; }

  // Window messages: a handler per message number; Perform returns its result (0 without one).
  void SetMessageHandler(unsigned message, TMessageHandler handler);
  intptr_t Perform(unsigned message, intptr_t wParam, intptr_t lParam) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TCloseQueryEvent OnCloseQuery;
  TKeyEvent OnKeyDown;

  // The creation and destruction events (run once each).
  void DoCreate();
  void DoDestroy();

  // The modal loop itself, as the Qt dialogs seam runs it: shows the window application-modal (above
  // the windows that stay on top) and waits until a modal result is set or the window closes.
  TModalResult ExecModal();

  // Key dispatch for a key press inside the window (menu shortcuts, then the key preview); true when
  // the key was used up. Called by the application's key filter.
  bool DispatchKey(Word key, TShiftState shift);

 protected:
  // For the Qt side: the user closed the window with its frame; true when it may go.
  bool FrameClose();
  void WindowActivated();
  void WindowHidden();
  // The Qt side: the client area that holds the child controls, and where a menu bar goes.
  void SetClientArea(QWidget* client) { FClient = client; }
  virtual void InstallMenuBar(QMenuBar* menuBar) = 0;

 private:
  // Moves the hidden window where Position puts it.
  void PlaceByPosition();

  TMainMenu* FMenu = nullptr;
  QWidget* FClient = nullptr;
  TModalResult FModalResult = mrNone;
  QEventLoop* FModalLoop = nullptr;
  TControl* FActiveControl = nullptr;
  std::map<unsigned, TMessageHandler> FMessageHandlers;
  bool FCreated = false;
  bool FDestroyed = false;
};

struct TFormDeleter {
  void operator()(TCustomForm* form) const;
};

template <class W>
class TFormBase : public W, public TCustomForm {
 public:
  explicit TFormBase(TComponent* owner) : W(nullptr), TCustomForm(owner) { AttachWidget(this); }

 protected:
  void closeEvent(QCloseEvent* event) override {
    bool mayClose = false;
    Guarded([&] { mayClose = FrameClose(); });
    if (mayClose)
      event->accept();
    else
      event->ignore();
  }
  void changeEvent(QEvent* event) override {
    W::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && W::isActiveWindow())
      Guarded([this] { WindowActivated(); });
  }
  void hideEvent(QHideEvent* event) override {
    W::hideEvent(event);
    Guarded([this] { WindowHidden(); });
  }
  void resizeEvent(QResizeEvent* event) override {
    W::resizeEvent(event);
    Guarded([this] {
      if (OnResize) OnResize(this);
    });
  }
};

// A dialog or tool window: a menu bar (when it has a main menu) above its client area.
class TForm : public TFormBase<QDialog> {
 public:
  explicit TForm(TComponent* owner);

 protected:
  // Escape: closes the window like its close box.
  void reject() override;
  void InstallMenuBar(QMenuBar* menuBar) override;

 private:
  QVBoxLayout* FFrameLayout;
};

// The main window: the child controls live in its central widget, the menu in its menu bar.
class TMainWindowForm : public TFormBase<QMainWindow> {
 public:
  explicit TMainWindowForm(TComponent* owner);

 protected:
  void InstallMenuBar(QMenuBar* menuBar) override;
};

// A window made outside the application's list (tests, windows made on demand): built, created, and
// freed with its destruction event.
template <class T, class... Args>
std::unique_ptr<T, TFormDeleter> NewForm(Args&&... args) {
  std::unique_ptr<T, TFormDeleter> form(new T(std::forward<Args>(args)...));
  form->DoCreate();
  return form;
}
