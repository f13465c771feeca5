#pragma once
// A plain list of texts with one highlighted entry.

#include <memory>
#include <string>

#include <QListWidget>

#include "toolkit/ui/checklst.h"

class TListBox : public TWidgetControl<QListWidget> {
 public:
  TListBox(TComponent* owner, TControl* parent);
  ~TListBox() override;

  TStrings& Items() { return *FItems; }
  int Count() const { return count(); }
  // The highlighted entry (-1 for none); an index out of range highlights none.
  int ItemIndex() const { return currentRow(); }
  void SetItemIndex(int index);
  // The entry under a point of the client area; -1 when none (with existing false, Count below the
  // last entry).
  int ItemAtPos(const TPoint& point, bool existing) const;
  void Clear() { clear(); }

  // Every press of a mouse button; the second press of a double click carries ssDouble.
  TMouseEvent OnMouseDown;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void MouseDown(QMouseEvent* event, TShiftState extra);
  std::unique_ptr<TStrings> FItems;
};
