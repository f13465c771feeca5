#pragma once
// The dialogs seam with real Qt dialogs: message boxes, input, file, folder and colour dialogs, the
// default printer and the desktop's program for a file.

#include "toolkit/core/exceptions.h"
#include "toolkit/ui/dialogs.h"

ORVANTA_EXCEPTION(EPrinterError, Exception)

class QPrinter;

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
