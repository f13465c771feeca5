#pragma once
// The application object: title, the windows it creates and owns, the message loop, message boxes and
// the display of exceptions that reach the loop.

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/ui/forms.h"

class QApplication;

class TApplication {
 public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Creates the Qt application unless one exists already (tests make their own).
  void Initialize(int& argc, char** argv);

  // The title shown on message boxes; the program file's name without extension until one is set.
  std::string Title() const;
  void SetTitle(const std::string& title);
  // Full path of the program file.
  std::string ExeName() const;

  // Creates a window, stores it in `variable` before its creation event runs, and keeps it until
  // DestroyForms, which sets the variable back to none. The first window created becomes the main
  // window.
  template <class T>
  void CreateForm(T*& variable) {
    auto form = std::unique_ptr<T, TFormDeleter>(new T(nullptr));
    variable = form.get();
    TCustomForm* base = form.get();
    FForms.push_back(
        {std::unique_ptr<TCustomForm, TFormDeleter>(form.release()), [&variable] { variable = nullptr; }});
    if (!FMainForm) FMainForm = base;
    base->DoCreate();
  }
  TCustomForm* MainForm() const { return FMainForm; }
  // Frees the windows the application created, the last created first.
  void DestroyForms();
  // Frees every window, then the Qt application that Initialize made.
  void Finalize();

  // Shows the main window and runs the event loop until it closes.
  void Run();
  // Ends the event loop.
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Handles the events that are waiting.
  void ProcessMessages();

  // A message box under the given caption through the dialogs seam (MB_* flags; returns the ID* of
  // the button pressed).
  int MessageBox(const std::string& text, const std::string& caption, int flags);

  // Shows the exception under the title with a stop icon; a silent abort shows nothing. Never throws.
  void HandleException(std::exception_ptr exception) noexcept;
  // Shows the message, with a full stop added when its last character's code is above that of ".".
  void ShowException(const std::string& message) noexcept;

 private:
  std::string FTitle;
  std::unique_ptr<QApplication> FQtApplication;
  struct TOwnedForm {
    std::unique_ptr<TCustomForm, TFormDeleter> Form;
    std::function<void()> ClearVariable;  // the program's variable must not outlive its window
  };
  std::vector<TOwnedForm> FForms;
  TCustomForm* FMainForm = nullptr;
  bool FTerminated = false;
};

extern TApplication* const Application;

// The message as the exception display writes it: a full stop added when the last character's code
// is above that of ".".
std::string AddFullStop(const std::string& message);
