#include "toolkit/ui/qt_dialogs.h"

#include <algorithm>
#include <climits>
#include <utility>

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpacerItem>
#include <QUrl>

#include "toolkit/core/file_names.h"
#include "toolkit/core/file_system.h"
#include "toolkit/ui/application.h"
#include "toolkit/ui/file_filter.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/local_file_names.h"
#include "toolkit/ui/screen.h"
#include "toolkit/ui/ui_messages.h"

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QWidget* DialogParent() {
  TCustomForm* owner = DialogOwner();
  return owner ? owner->Widget() : nullptr;
}

// A dialog opened over a window that stays on top must stay on top as well, or that window and the
// other ones that stay on top would cover it.
void KeepAboveParent(QWidget& dialog) {
  QWidget* parent = dialog.parentWidget();
  if (parent && parent->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

QMessageBox::Icon IconOfFlags(int flags) {
  switch (flags & MB_ICON_MASK) {
    case MB_ICONSTOP:
      return QMessageBox::Critical;
    case MB_ICONQUESTION:
      return QMessageBox::Question;
    case MB_ICONWARNING:
      return QMessageBox::Warning;
    case MB_ICONINFORMATION:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// Runs the dialog with the normal cursor over it, also in the middle of work that shows the busy one.
int RunWithNormalCursor(QDialog& dialog) {
  const bool busy = QGuiApplication::overrideCursor() != nullptr;
  if (busy) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  const int result = dialog.exec();
  if (busy) QGuiApplication::restoreOverrideCursor();
  return result;
}

// The room a window manager's title bar takes beside the caption: the window's icon, its buttons and
// the margins.
constexpr int kTitleBarExtras = 160;

}  // namespace

std::vector<TDialogButton> MessageBoxButtons(int flags) {
  switch (flags & MB_BUTTONS_MASK) {
    case MB_OKCANCEL:
      return {{SMsgDlgOK, IDOK}, {SMsgDlgCancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
      return {{SMsgDlgAbort, IDABORT}, {SMsgDlgRetry, IDRETRY}, {SMsgDlgIgnore, IDIGNORE}};
    case MB_YESNOCANCEL:
      return {{SMsgDlgYes, IDYES}, {SMsgDlgNo, IDNO}, {SMsgDlgCancel, IDCANCEL}};
    case MB_YESNO:
      return {{SMsgDlgYes, IDYES}, {SMsgDlgNo, IDNO}};
    case MB_RETRYCANCEL:
      return {{SMsgDlgRetry, IDRETRY}, {SMsgDlgCancel, IDCANCEL}};
    default:
      return {{SMsgDlgOK, IDOK}};
  }
}

std::vector<TDialogButton> MessageDlgButtons(TMsgDlgButtons buttons) {
  struct TButtonDef {
    TMsgDlgButtons Flag;
    TDialogButton Button;
  };
  static constexpr TButtonDef kOrder[] = {{mbYes, {SMsgDlgYes, mrYes}},
                                          {mbNo, {SMsgDlgNo, mrNo}},
                                          {mbOK, {SMsgDlgOK, mrOk}},
                                          {mbCancel, {SMsgDlgCancel, mrCancel}},
                                          {mbAbort, {SMsgDlgAbort, mrAbort}},
                                          {mbRetry, {SMsgDlgRetry, mrRetry}},
                                          {mbIgnore, {SMsgDlgIgnore, mrIgnore}},
                                          {mbAll, {SMsgDlgAll, mrAll}},
                                          {mbNoToAll, {SMsgDlgNoToAll, mrNoToAll}},
                                          {mbYesToAll, {SMsgDlgYesToAll, mrYesToAll}}};
  std::vector<TDialogButton> made;
  for (const TButtonDef& def : kOrder)
    if (buttons & def.Flag) made.push_back(def.Button);
  if (made.empty()) made.push_back({SMsgDlgOK, mrOk});
  return made;
}

int CaptionWidth(const std::string& caption) {
  QFont font = QApplication::font();
  font.setBold(true);  // title bars mostly write their caption in bold
  return QFontMetrics(font).horizontalAdvance(Q(caption)) + kTitleBarExtras;
}

TMessageBoxWindow::TMessageBoxWindow(Icon icon, const std::string& caption, const std::string& text,
                                     const std::vector<TDialogButton>& buttons, int defaultResult,
                                     int escapeResult)
    : QMessageBox(icon, Q(caption), Q(text), QMessageBox::NoButton, DialogParent()) {
  KeepAboveParent(*this);
  // One role for every button: the button box then keeps them in the order given, whatever order the
  // platform's style gives the roles.
  for (const TDialogButton& button : buttons)
    FButtons.emplace_back(addButton(QString::fromUtf8(button.Caption), QMessageBox::ActionRole),
                          button.Result);
  for (const auto& [button, result] : FButtons) {
    if (result == defaultResult) setDefaultButton(static_cast<QPushButton*>(button));
    if (result == escapeResult && !FEscapeResult) {
      setEscapeButton(button);
      FEscapeResult = result;
    }
  }
  if (!FEscapeResult && FButtons.size() == 1) {
    setEscapeButton(FButtons.front().first);
    FEscapeResult = FButtons.front().second;
  }
  // Qt sizes a message box to its text alone, cutting a longer caption short in the title bar.
  if (auto* grid = qobject_cast<QGridLayout*>(layout()))
    grid->addItem(new QSpacerItem(CaptionWidth(caption), 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

int TMessageBoxWindow::Result(int noneResult) const {
  for (const auto& [button, result] : FButtons)
    if (clickedButton() == button) return result;
  return FEscapeResult.value_or(noneResult);
}

int TQtDialogs::MessageBox(const std::string& text, const std::string& caption, int flags) {
  const std::vector<TDialogButton> buttons = MessageBoxButtons(flags);
  TMessageBoxWindow box(IconOfFlags(flags), caption, text, buttons, buttons.front().Result, IDCANCEL);
  RunWithNormalCursor(box);
  return box.Result(IDCANCEL);
}

TModalResult TQtDialogs::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  std::string caption = Application->Title();
  switch (type) {
    case TMsgDlgType::mtWarning:
      icon = QMessageBox::Warning;
      caption = SMsgDlgWarning;
      break;
    case TMsgDlgType::mtError:
      icon = QMessageBox::Critical;
      caption = SMsgDlgError;
      break;
    case TMsgDlgType::mtInformation:
      icon = QMessageBox::Information;
      caption = SMsgDlgInformation;
      break;
    case TMsgDlgType::mtConfirmation:
      icon = QMessageBox::Question;
      caption = SMsgDlgConfirm;
      break;
    case TMsgDlgType::mtCustom:
      break;
  }
  const std::vector<TDialogButton> made = MessageDlgButtons(buttons);
  auto offers = [&](TModalResult result) {
    return std::any_of(made.begin(), made.end(),
                       [result](const TDialogButton& b) { return b.Result == result; });
  };
  const TModalResult defaultResult = offers(mrOk) ? mrOk : offers(mrYes) ? mrYes : made.front().Result;
  const TModalResult escapeResult = offers(mrCancel) ? mrCancel : offers(mrNo) ? mrNo : mrOk;
  TMessageBoxWindow box(icon, caption, text, made, defaultResult, escapeResult);
  RunWithNormalCursor(box);
  return box.Result(mrCancel);
}

bool TQtDialogs::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  QInputDialog dialog(DialogParent());
  KeepAboveParent(dialog);
  dialog.setWindowTitle(Q(caption));
  dialog.setLabelText(Q(prompt));
  dialog.setTextValue(Q(value));
  if (RunWithNormalCursor(dialog) != QDialog::Accepted) return false;
  value = dialog.textValue().toStdString();
  return true;
}

namespace {

// The folder the dialog opens in: the given file's, or the initial one.
std::string DialogFolder(const TFileDialogRequest& request) {
  if (!request.FileName.empty() && request.FileName.front() == '/') return ExtractFilePath(request.FileName);
  return request.InitialDir;
}

void PrepareFileDialog(QFileDialog& dialog, const TFileDialogRequest& request, const TDialogFolder& folder) {
  dialog.setWindowTitle(Q(request.Title));
  if (!folder.Shown().isEmpty()) dialog.setDirectory(folder.Shown());
  if (!request.FileName.empty())
    dialog.selectFile(QFile::decodeName(ExtractFileName(request.FileName).c_str()));
  QStringList filters;
  for (const std::string& filter : QtNameFilters(request.Filter)) filters << Q(filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int index =
        request.FilterIndex >= 1 && request.FilterIndex <= filters.size() ? request.FilterIndex - 1 : 0;
    dialog.selectNameFilter(filters[index]);
  }
}

void TakeFileDialogAnswer(const QFileDialog& dialog, TFileDialogRequest& request,
                          const TDialogFolder& folder) {
  request.Files.clear();
  // Names that are not UTF-8 come back as the folder holds them, not as Qt shows them.
  for (const QString& file : dialog.selectedFiles()) request.Files.push_back(folder.LocalFileName(file));
  request.FileName = request.Files.empty() ? std::string() : request.Files.front();
  const QStringList filters = dialog.nameFilters();
  const int index = filters.indexOf(dialog.selectedNameFilter());
  if (index >= 0) request.FilterIndex = index + 1;
}

// Qt's open dialog refuses a typed name that names no file; the program's open dialogs take one unless
// they ask for existing files (a list file to be loaded may be named before it exists).
class TOpenFileDialog : public QFileDialog {
 public:
  TOpenFileDialog(QWidget* parent, bool mustExist) : QFileDialog(parent), FMustExist(mustExist) {
    // Only Qt's own dialog lets accept() decide.
    if (!mustExist) setOption(QFileDialog::DontUseNativeDialog);
  }

  void accept() override {
    const QStringList files = selectedFiles();
    const bool anyMissing =
        std::any_of(files.begin(), files.end(), [](const QString& file) { return !QFileInfo::exists(file); });
    const bool anyFolder =
        std::any_of(files.begin(), files.end(), [](const QString& file) { return QFileInfo(file).isDir(); });
    if (!FMustExist && anyMissing && !anyFolder) {
      QDialog::accept();
      return;
    }
    QFileDialog::accept();
  }

 private:
  bool FMustExist;
};

}  // namespace

bool TQtDialogs::OpenFile(TFileDialogRequest& request) {
  TOpenFileDialog dialog(DialogParent(), request.MustExist);
  KeepAboveParent(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(request.MultiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  const TDialogFolder folder(DialogFolder(request));
  PrepareFileDialog(dialog, request, folder);
  if (RunWithNormalCursor(dialog) != QDialog::Accepted) return false;
  TakeFileDialogAnswer(dialog, request, folder);
  return !request.Files.empty();
}

bool TQtDialogs::SaveFile(TFileDialogRequest& request) {
  QFileDialog dialog(DialogParent());
  KeepAboveParent(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.OverwritePrompt);
  const TDialogFolder folder(DialogFolder(request));
  PrepareFileDialog(dialog, request, folder);
  if (RunWithNormalCursor(dialog) != QDialog::Accepted) return false;
  TakeFileDialogAnswer(dialog, request, folder);
  return !request.Files.empty();
}

bool TQtDialogs::SelectFolder(const std::string& caption, std::string& folder) {
  const TDialogFolder start(folder);
  QFileDialog dialog(DialogParent(), Q(caption), start.Shown());
  KeepAboveParent(dialog);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (RunWithNormalCursor(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  folder = start.LocalFileName(dialog.selectedFiles().front());
  return true;
}

bool TQtDialogs::ChooseColor(TColor& color) {
  const QColor initial(GetRValue(color), GetGValue(color), GetBValue(color));
  QColorDialog dialog(initial, DialogParent());
  KeepAboveParent(dialog);
  if (RunWithNormalCursor(dialog) != QDialog::Accepted) return false;
  const QColor chosen = dialog.selectedColor();
  if (!chosen.isValid()) return false;
  color = RGB(static_cast<uint8_t>(chosen.red()), static_cast<uint8_t>(chosen.green()),
              static_cast<uint8_t>(chosen.blue()));
  return true;
}

void PrintLinesOn(QPrinter& printer, const std::vector<std::string>& lines) {
  printer.setDocName(QString::fromUtf8(SPrinting));
  QPainter painter;
  if (!painter.begin(&printer)) throw EPrinterError(SNoDefaultPrinter);
  const QRect page = painter.viewport();
  const int lineHeight = painter.fontMetrics().lineSpacing();
  int y = 0;
  for (const std::string& line : lines) {
    const QRect needed = painter.boundingRect(QRect(0, 0, page.width(), INT_MAX / 2),
                                              Qt::TextWordWrap | Qt::TextExpandTabs, Q(line));
    const int height = std::max(needed.height(), lineHeight);
    if (y > 0 && y + height > page.height()) {
      printer.newPage();
      y = 0;
    }
    painter.drawText(QRect(0, y, page.width(), height), Qt::TextWordWrap | Qt::TextExpandTabs, Q(line));
    y += height;
  }
  painter.end();
}

void TQtDialogs::PrintLines(const std::vector<std::string>& lines) {
  if (QPrinterInfo::defaultPrinter().isNull()) throw EPrinterError(SNoDefaultPrinter);
  QPrinter printer(QPrinterInfo::defaultPrinter());
  PrintLinesOn(printer, lines);
}

int TQtDialogs::OpenDocument(const std::string& fileName, const std::string&) {
  constexpr int kFileNotFound = 2;
  constexpr int kOpened = 42;
  // Looked for and handed on by its bytes: a name that is not UTF-8 is still this file.
  if (!FileExists(fileName) && !DirectoryExists(fileName)) return kFileNotFound;
  return QDesktopServices::openUrl(LocalFileUrl(fileName)) ? kOpened : kFileNotFound;
}

TModalResult TQtDialogs::ShowModal(TCustomForm& form) {
  return form.ExecModal();
}
