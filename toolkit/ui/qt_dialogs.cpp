#include "toolkit/ui/qt_dialogs.h"

#include <algorithm>
#include <array>
#include <climits>
#include <utility>

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QUrl>

#include "toolkit/ui/application.h"
#include "toolkit/ui/file_filter.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/screen.h"
#include "toolkit/ui/ui_messages.h"

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QWidget* DialogParent() {
  TCustomForm* active = Screen->ActiveForm();
  return active ? active->Widget() : nullptr;
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

// The buttons of a message box: Qt's button, the ID it returns; the first is the default.
std::vector<std::pair<QMessageBox::StandardButton, int>> ButtonsOfFlags(int flags) {
  switch (flags & MB_BUTTONS_MASK) {
    case MB_OKCANCEL:
      return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
      return {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
      return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO:
      return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL:
      return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default:
      return {{QMessageBox::Ok, IDOK}};
  }
}

}  // namespace

int TQtDialogs::MessageBox(const std::string& text, const std::string& caption, int flags) {
  QMessageBox box(IconOfFlags(flags), Q(caption), Q(text), QMessageBox::NoButton, DialogParent());
  const auto buttons = ButtonsOfFlags(flags);
  for (const auto& [button, id] : buttons) box.addButton(button);
  box.setDefaultButton(buttons.front().first);
  const int pressed = box.exec();
  for (const auto& [button, id] : buttons)
    if (pressed == button) return id;
  // The close box: Cancel where there is one, else the only button.
  for (const auto& [button, id] : buttons)
    if (id == IDCANCEL) return id;
  return buttons.size() == 1 ? buttons.front().second : IDCANCEL;
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
  QMessageBox box(icon, Q(caption), Q(text), QMessageBox::NoButton, DialogParent());
  struct TButtonDef {
    TMsgDlgButtons Flag;
    QMessageBox::StandardButton Standard;
    const char* Custom;
    TModalResult Result;
  };
  const std::array<TButtonDef, 10> defs{{{mbYes, QMessageBox::Yes, nullptr, mrYes},
                                         {mbNo, QMessageBox::No, nullptr, mrNo},
                                         {mbOK, QMessageBox::Ok, nullptr, mrOk},
                                         {mbCancel, QMessageBox::Cancel, nullptr, mrCancel},
                                         {mbAbort, QMessageBox::Abort, nullptr, mrAbort},
                                         {mbRetry, QMessageBox::Retry, nullptr, mrRetry},
                                         {mbIgnore, QMessageBox::Ignore, nullptr, mrIgnore},
                                         {mbAll, QMessageBox::NoButton, SMsgDlgAll, mrAll},
                                         {mbNoToAll, QMessageBox::NoButton, SMsgDlgNoToAll, mrNoToAll},
                                         {mbYesToAll, QMessageBox::NoButton, SMsgDlgYesToAll, mrYesToAll}}};
  std::vector<std::pair<QAbstractButton*, TModalResult>> made;
  for (const TButtonDef& def : defs) {
    if (!(buttons & def.Flag)) continue;
    QAbstractButton* button = def.Custom
                                  ? box.addButton(QString::fromUtf8(def.Custom), QMessageBox::AcceptRole)
                                  : box.addButton(def.Standard);
    made.emplace_back(button, def.Result);
  }
  if (made.empty()) made.emplace_back(box.addButton(QMessageBox::Ok), mrOk);
  box.exec();
  for (const auto& [button, result] : made)
    if (box.clickedButton() == button) return result;
  return mrCancel;
}

bool TQtDialogs::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(DialogParent(), Q(caption), Q(prompt), QLineEdit::Normal, Q(value), &ok);
  if (ok) value = text.toStdString();
  return ok;
}

namespace {

void PrepareFileDialog(QFileDialog& dialog, const TFileDialogRequest& request) {
  dialog.setWindowTitle(Q(request.Title));
  if (!request.InitialDir.empty()) dialog.setDirectory(Q(request.InitialDir));
  if (!request.FileName.empty()) {
    const QFileInfo info(Q(request.FileName));
    if (info.isAbsolute()) dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
  }
  QStringList filters;
  for (const std::string& filter : QtNameFilters(request.Filter)) filters << Q(filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int index =
        request.FilterIndex >= 1 && request.FilterIndex <= filters.size() ? request.FilterIndex - 1 : 0;
    dialog.selectNameFilter(filters[index]);
  }
}

void TakeFileDialogAnswer(const QFileDialog& dialog, TFileDialogRequest& request) {
  request.Files.clear();
  for (const QString& file : dialog.selectedFiles()) request.Files.push_back(file.toStdString());
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
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(request.MultiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  PrepareFileDialog(dialog, request);
  if (dialog.exec() != QDialog::Accepted) return false;
  TakeFileDialogAnswer(dialog, request);
  return !request.Files.empty();
}

bool TQtDialogs::SaveFile(TFileDialogRequest& request) {
  QFileDialog dialog(DialogParent());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.OverwritePrompt);
  PrepareFileDialog(dialog, request);
  if (dialog.exec() != QDialog::Accepted) return false;
  TakeFileDialogAnswer(dialog, request);
  return !request.Files.empty();
}

bool TQtDialogs::SelectFolder(const std::string& caption, std::string& folder) {
  const QString chosen = QFileDialog::getExistingDirectory(DialogParent(), Q(caption), Q(folder));
  if (chosen.isEmpty()) return false;
  folder = chosen.toStdString();
  return true;
}

bool TQtDialogs::ChooseColor(TColor& color) {
  const QColor initial(GetRValue(color), GetGValue(color), GetBValue(color));
  const QColor chosen = QColorDialog::getColor(initial, DialogParent());
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
  if (!QFileInfo::exists(Q(fileName))) return kFileNotFound;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(Q(fileName))) ? kOpened : kFileNotFound;
}

TModalResult TQtDialogs::ShowModal(TCustomForm& form) {
  return form.ExecModal();
}
