#include "toolkit/ui/stdctrls.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"
#include "toolkit/core/string_list.h"
#include "toolkit/ui/forms.h"
#include "toolkit/ui/guarded.h"
#include "toolkit/ui/keys.h"

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

[[noreturn]] void RaiseIndex(int index) {
  throw EListError(Format(SListIndexError, {index}));
}

// The lines of a memo as a string list (no objects).
class TMemoLines : public TStrings {
 public:
  explicit TMemoLines(QPlainTextEdit& edit) : FEdit(edit) {}

  // Every line written here ends with a line break; an empty last line (after the final break, or in
  // an empty memo) is not counted.
  int Count() const override { return static_cast<int>(Lines().size()); }
  std::string Get(int index) const override {
    const QStringList lines = Lines();
    if (index < 0 || index >= lines.size()) RaiseIndex(index);
    return lines[index].toStdString();
  }
  void Put(int index, const std::string& text) override {
    QStringList lines = Lines();
    if (index < 0 || index >= lines.size()) RaiseIndex(index);
    lines[index] = Q(text);
    SetLines(lines);
  }
  void Insert(int index, const std::string& text) override {
    QStringList lines = Lines();
    if (index < 0 || index > lines.size()) RaiseIndex(index);
    lines.insert(index, Q(text));
    SetLines(lines);
  }
  void Delete(int index) override {
    QStringList lines = Lines();
    if (index < 0 || index >= lines.size()) RaiseIndex(index);
    lines.removeAt(index);
    SetLines(lines);
  }
  void Clear() override { FEdit.clear(); }

 private:
  QStringList Lines() const {
    const QString text = FEdit.toPlainText();
    if (text.isEmpty()) return {};
    QStringList lines = text.split('\n');
    if (lines.back().isEmpty()) lines.removeLast();
    return lines;
  }
  void SetLines(const QStringList& lines) {
    FEdit.setPlainText(lines.isEmpty() ? QString() : lines.join('\n') + '\n');
  }

  QPlainTextEdit& FEdit;
};

// The entries of a combo box as a string list with objects.
class TComboItems : public TStrings {
 public:
  explicit TComboItems(QComboBox& combo) : FCombo(combo) {}

  int Count() const override { return FCombo.count(); }
  std::string Get(int index) const override {
    Check(index);
    return FCombo.itemText(index).toStdString();
  }
  void Put(int index, const std::string& text) override {
    Check(index);
    FCombo.setItemText(index, Q(text));
  }
  void* GetObject(int index) const override {
    Check(index);
    return FCombo.itemData(index).value<void*>();
  }
  void PutObject(int index, void* object) override {
    Check(index);
    FCombo.setItemData(index, QVariant::fromValue(object));
  }
  void Insert(int index, const std::string& text) override {
    if (index < 0 || index > Count()) RaiseIndex(index);
    FCombo.insertItem(index, Q(text));
  }
  void Delete(int index) override {
    Check(index);
    FCombo.removeItem(index);
  }
  void Clear() override { FCombo.clear(); }

 private:
  void Check(int index) const {
    if (index < 0 || index >= Count()) RaiseIndex(index);
  }
  QComboBox& FCombo;
};

}  // namespace

// ---- TLabel

TLabel::TLabel(TComponent* owner, TControl* parent) : TWidgetControl<QLabel>(owner, parent) {
  setTextFormat(Qt::PlainText);
}

void TLabel::SetCaption(const std::string& caption) {
  FCaption = caption;
  setText(Q(caption));
  if (AutoSize) resize(sizeHint());
}

void TLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton)
    Guarded([this] {
      if (OnClick) OnClick(this);
    });
}

// ---- TEdit

TEdit::TEdit(TComponent* owner, TControl* parent) : TWidgetControl<QLineEdit>(owner, parent) {
  resize(121, 21);
  QObject::connect(this, &QLineEdit::textChanged, this, [this] {
    Guarded([this] {
      if (OnChange) OnChange(this);
    });
  });
}

void TEdit::keyReleaseEvent(QKeyEvent* event) {
  QLineEdit::keyReleaseEvent(event);
  Guarded([&] {
    if (!OnKeyUp) return;
    Word key = VirtualKeyFromQt(event->key());
    OnKeyUp(this, key, ShiftFromQt(event->modifiers()));
  });
}

// ---- TCheckBox

TCheckBox::TCheckBox(TComponent* owner, TControl* parent) : TWidgetControl<QCheckBox>(owner, parent) {
  resize(97, 17);
  QObject::connect(this, &QCheckBox::clicked, this, [this] {
    Guarded([this] {
      if (OnClick) OnClick(this);
    });
  });
}

void TCheckBox::SetCaption(const std::string& caption) {
  FCaption = caption;
  setText(Q(caption));
}

// ---- TButton

void SetFormModalResult(TControl* control, TModalResult result) {
  TControl* top = control;
  while (top && top->Parent()) top = top->Parent();
  if (auto* form = dynamic_cast<TCustomForm*>(top)) form->SetModalResult(result);
}

TButton::TButton(TComponent* owner, TControl* parent) : TWidgetControl<QPushButton>(owner, parent) {
  resize(75, 25);
  setAutoDefault(false);
  QObject::connect(this, &QPushButton::clicked, this, [this] { Guarded([this] { Click(); }); });
}

void TButton::SetCaption(const std::string& caption) {
  FCaption = caption;
  setText(Q(caption));
}

void TButton::Click() {
  if (OnClick) OnClick(this);
  if (ModalResult != mrNone) SetFormModalResult(this, ModalResult);
}

// ---- TGroupBox

TGroupBox::TGroupBox(TComponent* owner, TControl* parent) : TWidgetControl<QGroupBox>(owner, parent) {
  resize(185, 105);
}

void TGroupBox::SetCaption(const std::string& caption) {
  FCaption = caption;
  setTitle(Q(caption));
}

// ---- TMemo

TMemo::TMemo(TComponent* owner, TControl* parent)
    : TWidgetControl<QPlainTextEdit>(owner, parent), FLines(std::make_unique<TMemoLines>(*this)) {
  resize(185, 89);
}

TMemo::~TMemo() = default;

// ---- TComboBox

TComboBox::TComboBox(TComponent* owner, TControl* parent)
    : TWidgetControl<QComboBox>(owner, parent), FItems(std::make_unique<TComboItems>(*this)) {
  resize(145, 21);
  QObject::connect(this, &QComboBox::activated, this, [this] {
    Guarded([this] {
      if (OnChange) OnChange(this);
    });
  });
}

TComboBox::~TComboBox() = default;

void TComboBox::SetItemIndex(int index) {
  setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

void TComboBox::SetStyle(TComboBoxStyle style) {
  const bool editable = style == TComboBoxStyle::csDropDown;
  setEditable(editable);
  if (!editable) return;
  // Typed text is the program's to take: no entry is added and nothing is completed behind the user.
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
}

void TComboBox::SetText(const std::string& text) {
  if (isEditable())
    setEditText(Q(text));
  else
    setCurrentIndex(findText(Q(text), Qt::MatchFixedString));
}

void TComboBox::SelectAll() {
  if (QLineEdit* edit = lineEdit()) edit->selectAll();
}

void TComboBox::keyPressEvent(QKeyEvent* event) {
  Word key = VirtualKeyFromQt(event->key());
  if (OnKeyDown && key != 0) {
    Guarded([&] { OnKeyDown(this, key, ShiftFromQt(event->modifiers())); });
    if (key == 0) {
      event->accept();
      return;
    }
  }
  QComboBox::keyPressEvent(event);
}
