#include "toolkit/ui/dialogs.h"

#include "toolkit/ui/application.h"
#include "toolkit/ui/qt_dialogs.h"
#include "toolkit/ui/screen.h"

namespace {

std::unique_ptr<TDialogs>& Installed() {
  static std::unique_ptr<TDialogs> installed;
  return installed;
}

TDialogs& BuiltIn() {
  static TQtDialogs qtDialogs;
  return qtDialogs;
}

}  // namespace

TCustomForm* DialogOwner() {
  if (TCustomForm* topmost = Screen->TopmostStayOnTopForm()) return topmost;
  TCustomForm* active = Screen->ActiveForm();
  if (active && active->Visible()) return active;
  TCustomForm* main = Application->MainForm();
  return main && main->Visible() ? main : nullptr;
}

TDialogs& Dialogs() {
  return Installed() ? *Installed() : BuiltIn();
}

std::unique_ptr<TDialogs> InstallDialogs(std::unique_ptr<TDialogs> dialogs) {
  std::unique_ptr<TDialogs> previous = std::move(Installed());
  Installed() = std::move(dialogs);
  return previous;
}

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
  return Dialogs().MessageDlg(text, type, buttons);
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  return Dialogs().InputQuery(caption, prompt, value);
}

bool SelectDirectory(const std::string& caption, std::string& folder) {
  return Dialogs().SelectFolder(caption, folder);
}

void ShowMessage(const std::string& text) {
  Dialogs().MessageBox(text, Application->Title(), MB_OK);
}
