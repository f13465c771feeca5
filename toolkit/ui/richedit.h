#pragma once
// The rich-text edit, used as a plain-text editor: its lines are paragraphs that may carry a first-line
// indent. Positions and lengths count characters, a line break counting one.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <QTextEdit>

#include "toolkit/ui/component.h"

class TStrings;

// Search options of FindText.
using TSearchTypes = uint8_t;
inline constexpr TSearchTypes stWholeWord = 0x01;
inline constexpr TSearchTypes stMatchCase = 0x02;

class TRichEdit : public TWidgetControl<QTextEdit> {
 public:
  TRichEdit(TComponent* owner, TControl* parent);
  ~TRichEdit() override;

  // The paragraphs as a string list; a last line break ends the last line rather than starting an
  // empty one. Text read as UTF-8, or as Windows-1252 where it is not valid UTF-8.
  TStrings& Lines() { return *FLines; }
  std::string Text() const override;
  void SetText(const std::string& text) override;
  void Clear() { clear(); }
  // Replaces the text by the lines of a file's text (ended by CR, LF or CR LF), as Lines().SetText
  // does, but in one step whatever the length, with the caret at the top and nothing to undo.
  void LoadLines(std::string_view text);
  int TextLength() const;

  bool Modified() const;
  void SetModified(bool modified);

  // Setting the start puts the caret there with nothing selected; setting the length selects from the
  // start on. Both are clamped to the text.
  int SelStart() const;
  void SetSelStart(int start);
  int SelLength() const;
  void SetSelLength(int length);
  std::string SelText() const;
  // Replaces the selection; the caret ends after the inserted text.
  void SetSelText(const std::string& text);

  // The position of the first character of a line, -1 when there is no such line.
  int LineStart(int line) const;
  // Position of the first match of text within [start, start + length), or -1 (also for an empty text).
  int FindText(const std::string& text, int start, int length, TSearchTypes options) const;
  // First-line indent, in points, of the paragraph holding the selection's start / of every paragraph
  // the selection touches.
  int FirstIndent() const;
  void SetFirstIndent(int points);
  // Gives every paragraph holding one of the characters a first-line indent, in one pass over the
  // text whatever its length; not an edit that undo takes back.
  void IndentLinesHolding(std::string_view characters, int points);

  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();

 private:
  std::unique_ptr<TStrings> FLines;
};

// The length of a text in the edit's characters.
int CharCount(std::string_view text);
