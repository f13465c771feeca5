#pragma once
// Labels, edits, check boxes, buttons, group boxes, memos and combo boxes.

#include <memory>
#include <string>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "toolkit/ui/component.h"

class TStrings;

class TLabel : public TWidgetControl<QLabel> {
 public:
  TLabel(TComponent* owner, TControl* parent);
  std::string Caption() const override { return FCaption; }
  // The label fits its text while AutoSize is on.
  void SetCaption(const std::string& caption) override;
  bool AutoSize = true;
  TNotifyEvent OnClick;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::string FCaption;
};

class TEdit : public TWidgetControl<QLineEdit> {
 public:
  TEdit(TComponent* owner, TControl* parent);
  std::string Text() const override { return text().toStdString(); }
  void SetText(const std::string& text) override { setText(QString::fromStdString(text)); }
  std::string Caption() const override { return Text(); }
  void SetCaption(const std::string& caption) override { SetText(caption); }
  void Clear() { clear(); }
  bool ReadOnly() const { return isReadOnly(); }
  void SetReadOnly(bool readOnly) { setReadOnly(readOnly); }

  TNotifyEvent OnChange;
  TKeyEvent OnKeyUp;

 protected:
  void keyReleaseEvent(QKeyEvent* event) override;
};

class TCheckBox : public TWidgetControl<QCheckBox> {
 public:
  TCheckBox(TComponent* owner, TControl* parent);
  std::string Caption() const override { return FCaption; }
  void SetCaption(const std::string& caption) override;
  bool Checked() const { return isChecked(); }
  void SetChecked(bool checked) { setChecked(checked); }
  TNotifyEvent OnClick;

 private:
  std::string FCaption;
};

// A push button; a non-zero ModalResult closes a modal window with that result.
class TButton : public TWidgetControl<QPushButton> {
 public:
  TButton(TComponent* owner, TControl* parent);
  std::string Caption() const override { return FCaption; }
  void SetCaption(const std::string& caption) override;
  TModalResult ModalResult = mrNone;
  bool Default = false;
  bool Cancel = false;
  TNotifyEvent OnClick;
  // Runs OnClick, then hands ModalResult to the window.
  virtual void Click();

 private:
  std::string FCaption;
};

class TGroupBox : public TWidgetControl<QGroupBox> {
 public:
  TGroupBox(TComponent* owner, TControl* parent);
  std::string Caption() const override { return FCaption; }
  void SetCaption(const std::string& caption) override;

 private:
  std::string FCaption;
};

// A multi-line plain text; Lines is a string list over its lines.
class TMemo : public TWidgetControl<QPlainTextEdit> {
 public:
  TMemo(TComponent* owner, TControl* parent);
  ~TMemo() override;
  TStrings& Lines() { return *FLines; }
  std::string Text() const override { return toPlainText().toStdString(); }
  void SetText(const std::string& text) override { setPlainText(QString::fromStdString(text)); }
  void Clear() { clear(); }
  bool ReadOnly() const { return isReadOnly(); }
  void SetReadOnly(bool readOnly) { setReadOnly(readOnly); }

 private:
  std::unique_ptr<TStrings> FLines;
};

// csDropDownList: a drop-down list (the default); csDropDown: an edit with a drop-down list of entries.
enum class TComboBoxStyle { csDropDown, csDropDownList };

// A drop-down list; Items is a string list over its entries.
class TComboBox : public TWidgetControl<QComboBox> {
 public:
  TComboBox(TComponent* owner, TControl* parent);
  ~TComboBox() override;
  TStrings& Items() { return *FItems; }
  int ItemIndex() const { return currentIndex(); }
  // -1 clears the selection; an index out of range selects nothing.
  void SetItemIndex(int index);
  void SetStyle(TComboBoxStyle style);
  std::string Text() const override { return currentText().toStdString(); }
  // An edit's text; in a drop-down list, the entry with that text is selected (none when none has it).
  void SetText(const std::string& text) override;
  // Selects the whole text of the edit.
  void SelectAll();
  // The user chose an entry from the list.
  TNotifyEvent OnChange;
  // Sees a key pressed in the control first; a key set to 0 goes no further.
  TKeyEvent OnKeyDown;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::unique_ptr<TStrings> FItems;
};

// Ends the modal show of the window that holds the control with the result (nothing outside one).
void SetFormModalResult(TControl* control, TModalResult result);
