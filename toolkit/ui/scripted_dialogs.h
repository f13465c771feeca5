#pragma once
// The dialogs seam for tests: every question is recorded (kind, text, caption), and answered by the
// next queued answer. An answer names the kind of question it answers and may name the text it
// expects; a question with no answer left, or of another kind, or with another text, is recorded as a
// failure (tests/support/scripted_dialogs_fixture.h turns failures into test failures) and gets the
// "cancel" answer of its kind.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/ui/dialogs.h"

enum class TDialogKind {
  MessageBox,
  MessageDlg,
  InputQuery,
  OpenFile,
  SaveFile,
  SelectFolder,
  ChooseColor,
  PrintLines,
  OpenDocument,
  ShowModal
};

const char* DialogKindName(TDialogKind kind);

struct TAskedQuestion {
  TAskedQuestion(TDialogKind kind, std::string text = {}, std::string caption = {}, int flags = 0)
      : Kind(kind), Text(std::move(text)), Caption(std::move(caption)), Flags(flags) {}
  TDialogKind Kind;
  // MessageBox, MessageDlg: the message; InputQuery: the prompt; file dialogs: the title; folder: the
  // caption; OpenDocument: the file name; ShowModal: the window's name.
  std::string Text;
  // MessageBox, InputQuery, ShowModal: the caption; MessageDlg: the type's name; file dialogs: the
  // filter; OpenDocument: the working folder.
  std::string Caption;
  // MessageBox: the MB_* flags; MessageDlg: the buttons.
  int Flags = 0;
  // PrintLines: the printed lines.
  std::vector<std::string> Lines;
  // The window the question would have opened over (DialogOwner when it was asked).
  TCustomForm* Owner = nullptr;
};

struct TScriptedAnswer {
  explicit TScriptedAnswer(TDialogKind kind, int result = 0) : Kind(kind), Result(result) {}
  TDialogKind Kind;
  // MessageBox: an ID*; MessageDlg and ShowModal: an mr* result; OpenDocument: the shell's result;
  // InputQuery, file, folder and colour dialogs: non-zero for OK.
  int Result = 0;
  std::string Value;               // InputQuery text, folder
  std::vector<std::string> Files;  // file dialogs (the first is FileName)
  TColor Color = 0;
  std::optional<std::string> ExpectedText;
  // ShowModal: runs on the window before the result is returned (to set its controls, as a person
  // would); its modal result is used when Result is mrNone.
  std::function<void(TCustomForm&)> OnForm;
  // PrintLines: raise the printer error.
  bool Fail = false;
};

class TScriptedDialogs : public TDialogs {
 public:
  TScriptedDialogs& Answer(TScriptedAnswer answer);
  TScriptedDialogs& AnswerMessageBox(int id, std::optional<std::string> expectedText = {});
  TScriptedDialogs& AnswerMessageDlg(TModalResult result, std::optional<std::string> expectedText = {});
  TScriptedDialogs& AnswerInputQuery(bool ok, const std::string& value = {});
  TScriptedDialogs& AnswerOpenFile(std::vector<std::string> files);  // empty: cancelled
  TScriptedDialogs& AnswerSaveFile(const std::string& fileName);     // empty: cancelled
  TScriptedDialogs& AnswerSelectFolder(const std::string& folder);   // empty: cancelled
  TScriptedDialogs& AnswerColor(std::optional<TColor> color);
  TScriptedDialogs& AnswerPrint(bool fail = false);
  TScriptedDialogs& AnswerOpenDocument(int shellResult);
  TScriptedDialogs& AnswerShowModal(const std::string& formName, TModalResult result,
                                    std::function<void(TCustomForm&)> onForm = {});

  const std::vector<TAskedQuestion>& Asked() const { return FAsked; }
  const std::vector<std::string>& Failures() const { return FFailures; }
  size_t PendingAnswers() const { return FAnswers.size(); }
  // The last file-dialog request seen (filter, title, options), for tests of the callers.
  const TFileDialogRequest& LastFileRequest() const { return FLastFileRequest; }

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

 private:
  // Records the question and takes its answer; none when it was not expected.
  std::optional<TScriptedAnswer> Take(TAskedQuestion question);
  bool TakeFile(TDialogKind kind, TFileDialogRequest& request);

  std::deque<TScriptedAnswer> FAnswers;
  std::vector<TAskedQuestion> FAsked;
  std::vector<std::string> FFailures;
  TFileDialogRequest FLastFileRequest;
};
