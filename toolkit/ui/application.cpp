#include "toolkit/ui/application.h"

#include <unistd.h>

#include <QApplication>

#include "toolkit/core/exceptions.h"
#include "toolkit/ui/dialogs.h"
#include "toolkit/ui/ui_messages.h"

namespace {

TApplication gApplication;

std::string ReadExeName() {
  std::string buffer(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return {};
  buffer.resize(static_cast<size_t>(length));
  return buffer;
}

}  // namespace

TApplication* const Application = &gApplication;

void HandleHandlerException(std::exception_ptr exception) noexcept {
  Application->HandleException(exception);
}

std::string AddFullStop(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
    return message + '.';
  return message;
}

TApplication::TApplication() = default;

TApplication::~TApplication() {
  // Windows left by a program that did not free them go before the Qt application does.
  DestroyForms();
}

void TApplication::Initialize(int& argc, char** argv) {
  if (!QApplication::instance()) FQtApplication = std::make_unique<QApplication>(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
}

std::string TApplication::Title() const {
  if (!FTitle.empty()) return FTitle;
  std::string name = ExeName();
  const auto slash = name.rfind('/');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

void TApplication::SetTitle(const std::string& title) {
  FTitle = title;
  if (QApplication::instance()) QApplication::setApplicationName(QString::fromStdString(title));
}

std::string TApplication::ExeName() const {
  return ReadExeName();
}

void TApplication::Finalize() {
  DestroyForms();
  // The Qt application must go while the program's other objects still exist, not among the
  // static destructors after main has returned.
  FQtApplication.reset();
}

void TApplication::DestroyForms() {
  while (!FForms.empty()) {
    TOwnedForm owned = std::move(FForms.back());
    FForms.pop_back();
    if (owned.Form.get() == FMainForm) FMainForm = nullptr;
    owned.ClearVariable();
    owned.Form.reset();
  }
  FMainForm = nullptr;
}

void TApplication::Run() {
  FTerminated = false;
  if (!QApplication::instance()) return;
  QApplication::setQuitOnLastWindowClosed(false);
  if (FMainForm) {
    Guarded([this] { FMainForm->Show(); });
    if (!FMainForm->Visible()) return;
  }
  while (!FTerminated) {
    QApplication::exec();
    if (!FMainForm || !FMainForm->Visible()) break;
  }
}

void TApplication::Terminate() {
  FTerminated = true;
  if (QApplication::instance()) QApplication::quit();
}

void TApplication::ProcessMessages() {
  if (QApplication::instance()) QApplication::processEvents();
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, int flags) {
  return Dialogs().MessageBox(text, caption, flags);
}

void TApplication::HandleException(std::exception_ptr exception) noexcept {
  try {
    std::rethrow_exception(exception);
  } catch (const EAbort&) {
    // A user's cancel: nothing to show.
  } catch (const Exception& error) {
    ShowException(error.Message());
  } catch (const std::exception& error) {
    ShowException(error.what());
  } catch (...) {
    ShowException(SUnknownException);
  }
}

void TApplication::ShowException(const std::string& message) noexcept {
  try {
    MessageBox(AddFullStop(message), Title(), MB_OK | MB_ICONSTOP);
  } catch (...) {
    // The error box itself failed; there is nowhere left to report it.
  }
}
