#include "toolkit/ui/richedit.h"

#include <algorithm>
#include <cmath>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"
#include "toolkit/core/string_list.h"
#include "toolkit/core/text_encoding.h"
#include "toolkit/ui/clipbrd.h"

namespace {

QString FromText(std::string_view text) {
  TTextEncoding encoding;
  const std::string utf8 = TextToUtf8(text, encoding);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToText(QString text) {
  text.replace(QChar::ParagraphSeparator, '\n');
  return text.toStdString();
}

// The paragraphs of the document as a string list (no objects).
class TRichEditLines : public TStrings {
 public:
  explicit TRichEditLines(QTextEdit& edit) : FEdit(edit) {}

  int Count() const override {
    const QTextDocument& document = *FEdit.document();
    const int blocks = document.blockCount();
    return document.lastBlock().length() <= 1 ? blocks - 1 : blocks;
  }
  std::string Get(int index) const override { return ToText(Block(index).text()); }
  void Put(int index, const std::string& text) override {
    const QTextBlock block = Block(index);
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(FromText(text));
  }
  void Insert(int index, const std::string& text) override {
    if (index < 0 || index > Count()) RaiseIndex(index);
    QTextDocument& document = *FEdit.document();
    QTextCursor cursor(&document);
    if (index < document.blockCount()) {
      cursor.setPosition(document.findBlockByNumber(index).position());
      cursor.insertText(FromText(text));
      cursor.insertBlock();
    } else {
      cursor.movePosition(QTextCursor::End);
      cursor.insertBlock();
      cursor.insertText(FromText(text));
    }
  }
  void Delete(int index) override {
    const QTextBlock block = Block(index);
    // The line with its line break: the one after it, or for the last line the one before it.
    QTextCursor cursor(FEdit.document());
    if (block.next().isValid()) {
      cursor.setPosition(block.position());
      cursor.setPosition(block.next().position(), QTextCursor::KeepAnchor);
    } else {
      cursor.setPosition(block.previous().isValid() ? block.position() - 1 : block.position());
      cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
  }
  void Clear() override { FEdit.clear(); }

 protected:
  // A whole load is one edit, laid out once at its end.
  void SetUpdateState(bool updating) override {
    if (updating)
      FBatch.beginEditBlock();
    else
      FBatch.endEditBlock();
  }

 private:
  [[noreturn]] static void RaiseIndex(int index) { throw EListError(Format(SListIndexError, {index})); }
  QTextBlock Block(int index) const {
    if (index < 0 || index >= Count()) RaiseIndex(index);
    return FEdit.document()->findBlockByNumber(index);
  }

  QTextEdit& FEdit;
  QTextCursor FBatch{FEdit.document()};
};

}  // namespace

int CharCount(std::string_view text) {
  return static_cast<int>(FromText(text).size());
}

TRichEdit::TRichEdit(TComponent* owner, TControl* parent)
    : TWidgetControl<QTextEdit>(owner, parent), FLines(std::make_unique<TRichEditLines>(*this)) {
  setAcceptRichText(false);
  setLineWrapMode(QTextEdit::NoWrap);
  resize(185, 89);
}

TRichEdit::~TRichEdit() = default;

std::string TRichEdit::Text() const {
  return toPlainText().toStdString();
}

void TRichEdit::SetText(const std::string& text) {
  setPlainText(FromText(text));
}

void TRichEdit::LoadLines(std::string_view text) {
  // Line ends as the document's own paragraph breaks; a last one ends the last line, as the lines'
  // count has it.
  std::string plain;
  plain.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      plain += text[i];
      continue;
    }
    plain += '\n';
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  setPlainText(FromText(plain));
}

int TRichEdit::TextLength() const {
  return document()->characterCount() - 1;
}

bool TRichEdit::Modified() const {
  return document()->isModified();
}

void TRichEdit::SetModified(bool modified) {
  document()->setModified(modified);
}

int TRichEdit::SelStart() const {
  return textCursor().selectionStart();
}

void TRichEdit::SetSelStart(int start) {
  QTextCursor cursor = textCursor();
  cursor.setPosition(std::clamp(start, 0, TextLength()));
  setTextCursor(cursor);
}

int TRichEdit::SelLength() const {
  const QTextCursor cursor = textCursor();
  return cursor.selectionEnd() - cursor.selectionStart();
}

void TRichEdit::SetSelLength(int length) {
  QTextCursor cursor = textCursor();
  const int start = cursor.selectionStart();
  cursor.setPosition(start);
  cursor.setPosition(std::clamp(start + length, 0, TextLength()), QTextCursor::KeepAnchor);
  setTextCursor(cursor);
}

std::string TRichEdit::SelText() const {
  return ToText(textCursor().selectedText());
}

void TRichEdit::SetSelText(const std::string& text) {
  QTextCursor cursor = textCursor();
  cursor.insertText(FromText(text));
  setTextCursor(cursor);
}

int TRichEdit::LineStart(int line) const {
  if (line < 0 || line >= document()->blockCount()) return -1;
  return document()->findBlockByNumber(line).position();
}

int TRichEdit::FindText(const std::string& text, int start, int length, TSearchTypes options) const {
  const QString pattern = FromText(text);
  if (pattern.isEmpty() || start < 0 || length <= 0) return -1;
  QTextDocument::FindFlags flags;
  if (options & stMatchCase) flags |= QTextDocument::FindCaseSensitively;
  if (options & stWholeWord) flags |= QTextDocument::FindWholeWords;
  const QTextCursor found = document()->find(pattern, start, flags);
  if (found.isNull() || found.selectionEnd() > start + length) return -1;
  return found.selectionStart();
}

int TRichEdit::FirstIndent() const {
  const double pixels = document()->findBlock(SelStart()).blockFormat().textIndent();
  return static_cast<int>(std::lround(pixels * 72.0 / logicalDpiX()));
}

void TRichEdit::SetFirstIndent(int points) {
  const QTextCursor selection = textCursor();
  QTextBlockFormat format;
  format.setTextIndent(points * logicalDpiX() / 72.0);
  QTextCursor cursor(document());
  cursor.setPosition(selection.selectionStart());
  cursor.setPosition(selection.selectionEnd(), QTextCursor::KeepAnchor);
  cursor.mergeBlockFormat(format);
}

void TRichEdit::IndentLinesHolding(std::string_view characters, int points) {
  const QString wanted = QString::fromUtf8(characters.data(), static_cast<qsizetype>(characters.size()));
  QTextBlockFormat format;
  format.setTextIndent(points * logicalDpiX() / 72.0);
  QTextDocument& text = *document();
  // One edit, laid out once, that undo does not take apart: the marks belong to the loaded text.
  const bool undo = text.isUndoRedoEnabled();
  text.setUndoRedoEnabled(false);
  QTextCursor cursor(&text);
  cursor.beginEditBlock();
  for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
    const QString line = block.text();
    if (std::none_of(wanted.begin(), wanted.end(), [&line](QChar c) { return line.contains(c); })) continue;
    cursor.setPosition(block.position());
    cursor.mergeBlockFormat(format);
  }
  cursor.endEditBlock();
  text.setUndoRedoEnabled(undo);
}

void TRichEdit::CutToClipboard() {
  if (!textCursor().hasSelection()) return;
  Clipboard().SetAsText(SelText());
  SetSelText("");
}

void TRichEdit::CopyToClipboard() {
  if (textCursor().hasSelection()) Clipboard().SetAsText(SelText());
}

void TRichEdit::PasteFromClipboard() {
  SetSelText(Clipboard().AsText());
}
