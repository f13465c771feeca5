#include "toolkit/ui/listbox.h"

#include <QMouseEvent>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"
#include "toolkit/ui/guarded.h"
#include "toolkit/ui/keys.h"

namespace {

// The entries of a list widget as a string list (no objects).
class TListBoxItems : public TStrings {
 public:
  explicit TListBoxItems(QListWidget& list) : FList(list) {}

  int Count() const override { return FList.count(); }
  std::string Get(int index) const override {
    Check(index);
    return FList.item(index)->text().toStdString();
  }
  void Put(int index, const std::string& text) override {
    Check(index);
    FList.item(index)->setText(QString::fromStdString(text));
  }
  void Insert(int index, const std::string& text) override {
    if (index < 0 || index > Count()) throw EListError(Format(SListIndexError, {index}));
    FList.insertItem(index, QString::fromStdString(text));
  }
  void Delete(int index) override {
    Check(index);
    delete FList.takeItem(index);
  }
  void Clear() override { FList.clear(); }

 private:
  void Check(int index) const {
    if (index < 0 || index >= Count()) throw EListError(Format(SListIndexError, {index}));
  }
  QListWidget& FList;
};

}  // namespace

TListBox::TListBox(TComponent* owner, TControl* parent)
    : TWidgetControl<QListWidget>(owner, parent), FItems(std::make_unique<TListBoxItems>(*this)) {
  resize(121, 97);
  setSelectionMode(QAbstractItemView::SingleSelection);
}

TListBox::~TListBox() = default;

void TListBox::SetItemIndex(int index) {
  setCurrentRow(index >= 0 && index < count() ? index : -1);
}

int TListBox::ItemAtPos(const TPoint& point, bool existing) const {
  const QListWidgetItem* item = itemAt(point.X, point.Y);
  if (item) return row(item);
  return existing ? -1 : count();
}

void TListBox::MouseDown(QMouseEvent* event, TShiftState extra) {
  const QPoint pos = event->position().toPoint();
  const TMouseButton button = event->button() == Qt::RightButton    ? TMouseButton::mbRight
                              : event->button() == Qt::MiddleButton ? TMouseButton::mbMiddle
                                                                    : TMouseButton::mbLeft;
  Guarded([&] {
    if (OnMouseDown) OnMouseDown(this, button, ShiftFromQt(event->modifiers()) | extra, pos.x(), pos.y());
  });
}

void TListBox::mousePressEvent(QMouseEvent* event) {
  QListWidget::mousePressEvent(event);
  MouseDown(event, 0);
}

void TListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  QListWidget::mouseDoubleClickEvent(event);
  MouseDown(event, ssDouble);
}
