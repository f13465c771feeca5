#pragma once
// The dialogs seam with real Qt dialogs: message boxes, input, file, folder and colour dialogs, the
// default printer and the desktop's program for a file.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QMessageBox>

#include "toolkit/core/exceptions.h"
#include "toolkit/ui/dialogs.h"

ORVANTA_EXCEPTION(EPrinterError, Exception)

class QPrinter;

// A button of a message box: its caption, the toolkit's own in the toolkit's language, and what
// pressing it returns.
struct TDialogButton {
  const char* Caption;
  int Result;
};
// The buttons of MessageBox (MB_* flags) in their order, each with the ID* it returns.
std::vector<TDialogButton> MessageBoxButtons(int flags);
// The buttons of MessageDlg in the toolkit's order (Yes, No, OK, Cancel, Abort, Retry, Ignore, All,
// No to all, Yes to all), each with the mr* result it returns; OK alone when none is asked.
std::vector<TDialogButton> MessageDlgButtons(TMsgDlgButtons buttons);

// A message box as the dialogs seam runs it: opened over DialogOwner (and above it when that window
// stays on top), its buttons side by side in the order given, wide enough to show its whole caption.
class TMessageBoxWindow : public QMessageBox {
 public:
  // defaultResult and escapeResult name buttons by their results (escape: the close box too); an
  // escape result that no button gives leaves the close box to the single button, if there is one.
  TMessageBoxWindow(Icon icon, const std::string& caption, const std::string& text,
                    const std::vector<TDialogButton>& buttons, int defaultResult, int escapeResult);
  // What the button pressed returns; the escape result when none was (or noneResult without one).
  int Result(int noneResult) const;
  // The buttons in the order they were given.
  const std::vector<std::pair<QAbstractButton*, int>>& Buttons() const { return FButtons; }

 private:
  std::vector<std::pair<QAbstractButton*, int>> FButtons;
  std::optional<int> FEscapeResult;  // what the escape key and the close box give, when anything
};

// The width a message box needs to show the caption in its title bar (the title font's width of the
// text and room for the window manager's icon and buttons).
int CaptionWidth(const std::string& caption);

// Prints the lines as one job on the printer (the default printer, or a PDF file in tests): one text
// line each, a line wider than the page going on in the lines below, new pages as they fill. Raises
// EPrinterError when the job cannot start.
void PrintLinesOn(QPrinter& printer, const std::vector<std::string>& lines);

class TQtDialogs : public TDialogs {
 public:
  int MessageBox(const std::string& text, const std::string& caption, int flags) override;
  TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;
  bool OpenFile(TFileDialogRequest& request) override;
  bool SaveFile(TFileDialogRequest& request) override;
  bool SelectFolder(const std::string& caption, std::string& folder) override;
  bool ChooseColor(TColor& color) override;
  void PrintLines(const std::vector<std::string>& lines) override;
  int OpenDocument(const std::string& fileName, const std::string& workingFolder) override;
  TModalResult ShowModal(TCustomForm& form) override;
};
