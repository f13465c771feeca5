#pragma once
// The dialogs seam: everything that waits for a person goes through one interface. The program uses
// the Qt implementation (the default); tests install a scripted one (scripted_dialogs.h) that answers
// from a queue.

#include <memory>
#include <string>
#include <vector>

#include "toolkit/graphics/types.h"
#include "toolkit/ui/ui_types.h"

class TCustomForm;

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// A set of message-dialog buttons.
using TMsgDlgButtons = uint16_t;
inline constexpr TMsgDlgButtons mbYes = 0x0001;
inline constexpr TMsgDlgButtons mbNo = 0x0002;
inline constexpr TMsgDlgButtons mbOK = 0x0004;
inline constexpr TMsgDlgButtons mbCancel = 0x0008;
inline constexpr TMsgDlgButtons mbAbort = 0x0010;
inline constexpr TMsgDlgButtons mbRetry = 0x0020;
inline constexpr TMsgDlgButtons mbIgnore = 0x0040;
inline constexpr TMsgDlgButtons mbAll = 0x0080;
inline constexpr TMsgDlgButtons mbNoToAll = 0x0100;
inline constexpr TMsgDlgButtons mbYesToAll = 0x0200;
inline constexpr TMsgDlgButtons mbHelp = 0x0400;
inline constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
inline constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;

// What a file dialog is asked, and what it answers (Files, FileName, FilterIndex).
struct TFileDialogRequest {
  std::string Title;
  std::string InitialDir;
  std::string FileName;
  std::string Filter;   // "Description|*.a;*.b|Description 2|*.c"
  int FilterIndex = 1;  // 1-based
  bool MultiSelect = false;
  bool OverwritePrompt = false;
  // Open dialogs: only names of existing files are accepted (otherwise a typed name that names no
  // file is taken as it is, for the caller to deal with).
  bool MustExist = false;
  std::vector<std::string> Files;
};

class TDialogs {
 public:
  virtual ~TDialogs() = default;

  // MB_* flags; returns IDOK, IDCANCEL, IDYES, IDNO...
  virtual int MessageBox(const std::string& text, const std::string& caption, int flags) = 0;
  // Returns the mr* result of the button pressed.
  virtual TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
  // value in and out; false when cancelled.
  virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) = 0;
  // On success the request holds the chosen file(s) in FileName and Files, and the filter index.
  virtual bool OpenFile(TFileDialogRequest& request) = 0;
  virtual bool SaveFile(TFileDialogRequest& request) = 0;
  // folder in and out.
  virtual bool SelectFolder(const std::string& caption, std::string& folder) = 0;
  // color in and out.
  virtual bool ChooseColor(TColor& color) = 0;
  // Prints the lines on the default printer; raises EPrinterError when it cannot.
  virtual void PrintLines(const std::vector<std::string>& lines) = 0;
  // Opens the file with its associated program; returns a value above 32 on success (as the shell
  // does) and an error code of 32 or less otherwise.
  virtual int OpenDocument(const std::string& fileName, const std::string& workingFolder) = 0;
  // Shows the window modally and returns its modal result.
  virtual TModalResult ShowModal(TCustomForm& form) = 0;
};

// The window a dialog opens over, as its parent, so that it opens above it: the visible window that
// stays on top and was shown or activated last (it would cover any other), else the active window,
// else the main window; none while no window is shown.
TCustomForm* DialogOwner();

// The installed implementation (the Qt one unless another was installed).
TDialogs& Dialogs();
// Installs an implementation and returns the one it replaces (null for the built-in Qt one); null
// brings the Qt implementation back.
std::unique_ptr<TDialogs> InstallDialogs(std::unique_ptr<TDialogs> dialogs);

// Shortcuts through the seam, named as the program calls them.
TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                        int helpContext = 0);
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
bool SelectDirectory(const std::string& caption, std::string& folder);
void ShowMessage(const std::string& text);
