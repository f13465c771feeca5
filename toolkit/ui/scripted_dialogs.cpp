#include "toolkit/ui/scripted_dialogs.h"

#include "toolkit/ui/forms.h"
#include "toolkit/ui/qt_dialogs.h"
#include "toolkit/ui/ui_messages.h"

const char* DialogKindName(TDialogKind kind) {
  switch (kind) {
    case TDialogKind::MessageBox:
      return "MessageBox";
    case TDialogKind::MessageDlg:
      return "MessageDlg";
    case TDialogKind::InputQuery:
      return "InputQuery";
    case TDialogKind::OpenFile:
      return "OpenFile";
    case TDialogKind::SaveFile:
      return "SaveFile";
    case TDialogKind::SelectFolder:
      return "SelectFolder";
    case TDialogKind::ChooseColor:
      return "ChooseColor";
    case TDialogKind::PrintLines:
      return "PrintLines";
    case TDialogKind::OpenDocument:
      return "OpenDocument";
    case TDialogKind::ShowModal:
      return "ShowModal";
  }
  return "?";
}

namespace {

const char* MsgDlgTypeName(TMsgDlgType type) {
  switch (type) {
    case TMsgDlgType::mtWarning:
      return "mtWarning";
    case TMsgDlgType::mtError:
      return "mtError";
    case TMsgDlgType::mtInformation:
      return "mtInformation";
    case TMsgDlgType::mtConfirmation:
      return "mtConfirmation";
    case TMsgDlgType::mtCustom:
      return "mtCustom";
  }
  return "?";
}

}  // namespace

TScriptedDialogs& TScriptedDialogs::Answer(TScriptedAnswer answer) {
  FAnswers.push_back(std::move(answer));
  return *this;
}

TScriptedDialogs& TScriptedDialogs::AnswerMessageBox(int id, std::optional<std::string> expectedText) {
  TScriptedAnswer answer(TDialogKind::MessageBox, id);
  answer.ExpectedText = std::move(expectedText);
  return Answer(std::move(answer));
}

TScriptedDialogs& TScriptedDialogs::AnswerMessageDlg(TModalResult result,
                                                     std::optional<std::string> expectedText) {
  TScriptedAnswer answer(TDialogKind::MessageDlg, result);
  answer.ExpectedText = std::move(expectedText);
  return Answer(std::move(answer));
}

TScriptedDialogs& TScriptedDialogs::AnswerInputQuery(bool ok, const std::string& value) {
  TScriptedAnswer answer(TDialogKind::InputQuery, ok ? 1 : 0);
  answer.Value = value;
  return Answer(std::move(answer));
}

TScriptedDialogs& TScriptedDialogs::AnswerOpenFile(std::vector<std::string> files) {
  TScriptedAnswer answer(TDialogKind::OpenFile, files.empty() ? 0 : 1);
  answer.Files = std::move(files);
  return Answer(std::move(answer));
}

TScriptedDialogs& TScriptedDialogs::AnswerSaveFile(const std::string& fileName) {
  TScriptedAnswer answer(TDialogKind::SaveFile, fileName.empty() ? 0 : 1);
  if (!fileName.empty()) answer.Files.push_back(fileName);
  return Answer(std::move(answer));
}

TScriptedDialogs& TScriptedDialogs::AnswerSelectFolder(const std::string& folder) {
  TScriptedAnswer answer(TDialogKind::SelectFolder, folder.empty() ? 0 : 1);
  answer.Value = folder;
  return Answer(std::move(answer));
}

TScriptedDialogs& TScriptedDialogs::AnswerColor(std::optional<TColor> color) {
  TScriptedAnswer answer(TDialogKind::ChooseColor, color ? 1 : 0);
  answer.Color = color.value_or(0);
  return Answer(std::move(answer));
}

TScriptedDialogs& TScriptedDialogs::AnswerPrint(bool fail) {
  TScriptedAnswer answer(TDialogKind::PrintLines);
  answer.Fail = fail;
  return Answer(std::move(answer));
}

TScriptedDialogs& TScriptedDialogs::AnswerOpenDocument(int shellResult) {
  return Answer(TScriptedAnswer(TDialogKind::OpenDocument, shellResult));
}

TScriptedDialogs& TScriptedDialogs::AnswerShowModal(const std::string& formName, TModalResult result,
                                                    std::function<void(TCustomForm&)> onForm) {
  TScriptedAnswer answer(TDialogKind::ShowModal, result);
  answer.ExpectedText = formName;
  answer.OnForm = std::move(onForm);
  return Answer(std::move(answer));
}

std::optional<TScriptedAnswer> TScriptedDialogs::Take(TAskedQuestion question) {
  question.Owner = DialogOwner();
  FAsked.push_back(question);
  const std::string described =
      std::string(DialogKindName(question.Kind)) + " \"" + question.Text + "\" (" + question.Caption + ")";
  if (FAnswers.empty()) {
    FFailures.push_back("unexpected question: " + described);
    return std::nullopt;
  }
  if (FAnswers.front().Kind != question.Kind) {
    FFailures.push_back("question " + described + " where the next answer is for " +
                        DialogKindName(FAnswers.front().Kind));
    return std::nullopt;
  }
  TScriptedAnswer answer = std::move(FAnswers.front());
  FAnswers.pop_front();
  if (answer.ExpectedText && *answer.ExpectedText != question.Text)
    FFailures.push_back("question " + described + " where \"" + *answer.ExpectedText + "\" was expected");
  return answer;
}

int TScriptedDialogs::MessageBox(const std::string& text, const std::string& caption, int flags) {
  const auto answer = Take(TAskedQuestion(TDialogKind::MessageBox, text, caption, flags));
  return answer ? answer->Result : IDCANCEL;
}

TModalResult TScriptedDialogs::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  const auto answer = Take(TAskedQuestion(TDialogKind::MessageDlg, text, MsgDlgTypeName(type), buttons));
  return answer ? answer->Result : mrCancel;
}

bool TScriptedDialogs::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  const auto answer = Take(TAskedQuestion(TDialogKind::InputQuery, prompt, caption));
  if (!answer || !answer->Result) return false;
  value = answer->Value;
  return true;
}

bool TScriptedDialogs::TakeFile(TDialogKind kind, TFileDialogRequest& request) {
  FLastFileRequest = request;
  const auto answer = Take(TAskedQuestion(kind, request.Title, request.Filter));
  if (!answer || !answer->Result || answer->Files.empty()) return false;
  request.Files = answer->Files;
  request.FileName = answer->Files.front();
  return true;
}

bool TScriptedDialogs::OpenFile(TFileDialogRequest& request) {
  return TakeFile(TDialogKind::OpenFile, request);
}

bool TScriptedDialogs::SaveFile(TFileDialogRequest& request) {
  return TakeFile(TDialogKind::SaveFile, request);
}

bool TScriptedDialogs::SelectFolder(const std::string& caption, std::string& folder) {
  const auto answer = Take(TAskedQuestion(TDialogKind::SelectFolder, caption));
  if (!answer || !answer->Result) return false;
  folder = answer->Value;
  return true;
}

bool TScriptedDialogs::ChooseColor(TColor& color) {
  const auto answer = Take(TAskedQuestion(TDialogKind::ChooseColor));
  if (!answer || !answer->Result) return false;
  color = answer->Color;
  return true;
}

void TScriptedDialogs::PrintLines(const std::vector<std::string>& lines) {
  TAskedQuestion question(TDialogKind::PrintLines);
  question.Lines = lines;
  const auto answer = Take(std::move(question));
  if (!answer || answer->Fail) throw EPrinterError(SNoDefaultPrinter);
}

int TScriptedDialogs::OpenDocument(const std::string& fileName, const std::string& workingFolder) {
  const auto answer = Take(TAskedQuestion(TDialogKind::OpenDocument, fileName, workingFolder));
  return answer ? answer->Result : 2;
}

TModalResult TScriptedDialogs::ShowModal(TCustomForm& form) {
  auto answer = Take(TAskedQuestion(TDialogKind::ShowModal, form.Name(), form.Caption()));
  if (!answer) return mrCancel;
  if (answer->OnForm) answer->OnForm(form);
  const TModalResult result = answer->Result != mrNone ? answer->Result : form.ModalResult();
  form.SetModalResult(result);
  return result;
}
