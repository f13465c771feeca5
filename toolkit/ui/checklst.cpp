#include "toolkit/ui/checklst.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionButton>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"
#include "toolkit/core/string_utils.h"
#include "toolkit/ui/guarded.h"
#include "toolkit/ui/keys.h"

namespace {

TColor FromQColor(const QColor& color) {
  return RGB(static_cast<uint8_t>(color.red()), static_cast<uint8_t>(color.green()),
             static_cast<uint8_t>(color.blue()));
}

}  // namespace

// ---- TCheckListItems

int TCheckListItems::Count() const {
  return FList.Count();
}

std::string TCheckListItems::Get(int index) const {
  FList.CheckIndex(index);
  return FList.FEntries[static_cast<size_t>(index)].Text;
}

void TCheckListItems::Put(int index, const std::string& text) {
  FList.CheckIndex(index);
  FList.FEntries[static_cast<size_t>(index)].Text = text;
  FList.Changed();
}

void* TCheckListItems::GetObject(int index) const {
  FList.CheckIndex(index);
  return FList.FEntries[static_cast<size_t>(index)].Object;
}

void TCheckListItems::PutObject(int index, void* object) {
  FList.CheckIndex(index);
  FList.FEntries[static_cast<size_t>(index)].Object = object;
}

void TCheckListItems::Insert(int index, const std::string& text) {
  InsertObject(index, text, nullptr);
}

void TCheckListItems::InsertObject(int index, const std::string& text, void* object) {
  if (index < 0 || index > Count()) throw EListError(Format(SListIndexError, {index}));
  FList.InsertEntry(index, TCheckListBox::NewEntry(text, object));
}

int TCheckListItems::Add(const std::string& text) {
  return AddObject(text, nullptr);
}

int TCheckListItems::AddObject(const std::string& text, void* object) {
  const int index = FList.FSorted ? FList.SortedPosition(text) : Count();
  FList.InsertEntry(index, TCheckListBox::NewEntry(text, object));
  return index;
}

void TCheckListItems::Delete(int index) {
  FList.CheckIndex(index);
  FList.FEntries.erase(FList.FEntries.begin() + index);
  if (FList.FItemIndex == index)
    FList.FItemIndex = -1;
  else if (FList.FItemIndex > index)
    --FList.FItemIndex;
  if (FList.FAnchor >= FList.Count()) FList.FAnchor = -1;
  FList.Changed();
}

void TCheckListItems::Clear() {
  FList.Clear();
}

void TCheckListItems::Exchange(int index1, int index2) {
  FList.CheckIndex(index1);
  FList.CheckIndex(index2);
  std::swap(FList.FEntries[static_cast<size_t>(index1)], FList.FEntries[static_cast<size_t>(index2)]);
  if (FList.FItemIndex == index1)
    FList.FItemIndex = index2;
  else if (FList.FItemIndex == index2)
    FList.FItemIndex = index1;
  FList.Changed();
}

void TCheckListItems::Move(int curIndex, int newIndex) {
  FList.CheckIndex(curIndex);
  FList.CheckIndex(newIndex);
  if (curIndex == newIndex) return;
  auto& entries = FList.FEntries;
  const auto from = entries.begin() + curIndex;
  const auto to = entries.begin() + newIndex;
  if (curIndex < newIndex)
    std::rotate(from, from + 1, to + 1);
  else
    std::rotate(to, from, from + 1);
  // The highlight stays on the entry it was on.
  int& highlighted = FList.FItemIndex;
  if (highlighted == curIndex)
    highlighted = newIndex;
  else if (curIndex < newIndex && highlighted > curIndex && highlighted <= newIndex)
    --highlighted;
  else if (newIndex < curIndex && highlighted >= newIndex && highlighted < curIndex)
    ++highlighted;
  FList.Changed();
}

void TCheckListItems::SetUpdateState(bool updating) {
  FList.FUpdating = updating ? 1 : 0;
  if (!updating) FList.Changed();
}

// ---- TCheckListBox

TCheckListBox::TCheckListBox(TComponent* owner, TControl* parent)
    : TWidgetControl<QAbstractScrollArea>(owner, parent), FItems(std::make_unique<TCheckListItems>(*this)) {
  setFocusPolicy(Qt::StrongFocus);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QObject::connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
                   [this] { viewport()->update(); });
  resize(120, 97);
}

TCheckListBox::~TCheckListBox() = default;

void TCheckListBox::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format(SListIndexError, {index}));
}

TCheckBoxState TCheckListBox::State(int index) const {
  CheckIndex(index);
  return FEntries[static_cast<size_t>(index)].State;
}

void TCheckListBox::SetState(int index, TCheckBoxState state) {
  CheckIndex(index);
  FEntries[static_cast<size_t>(index)].State = state;
  Changed();
}

bool TCheckListBox::ItemEnabled(int index) const {
  CheckIndex(index);
  return FEntries[static_cast<size_t>(index)].Enabled;
}

void TCheckListBox::SetItemEnabled(int index, bool enabled) {
  CheckIndex(index);
  FEntries[static_cast<size_t>(index)].Enabled = enabled;
  Changed();
}

bool TCheckListBox::Selected(int index) const {
  CheckIndex(index);
  return FEntries[static_cast<size_t>(index)].Selected;
}

void TCheckListBox::SetSelected(int index, bool selected) {
  CheckIndex(index);
  if (selected && !FMultiSelect)
    for (TEntry& entry : FEntries) entry.Selected = false;
  FEntries[static_cast<size_t>(index)].Selected = selected;
  if (selected && !FMultiSelect) FItemIndex = index;
  Changed();
}

int TCheckListBox::SelCount() const {
  return static_cast<int>(
      std::count_if(FEntries.begin(), FEntries.end(), [](const TEntry& e) { return e.Selected; }));
}

void TCheckListBox::SetItemIndex(int index) {
  if (index < -1 || index >= Count()) return;
  FItemIndex = index;
  if (!FMultiSelect) {
    for (TEntry& entry : FEntries) entry.Selected = false;
    if (index >= 0) FEntries[static_cast<size_t>(index)].Selected = true;
  }
  if (index >= 0) FAnchor = index;
  MakeVisible(index);
  Changed();
}

int TCheckListBox::TopIndex() const {
  return verticalScrollBar()->value();
}

void TCheckListBox::SetTopIndex(int index) {
  verticalScrollBar()->setValue(index);
}

void TCheckListBox::SetSorted(bool sorted) {
  if (FSorted == sorted) return;
  FSorted = sorted;
  if (sorted) SortEntries();
}

void TCheckListBox::SetMultiSelect(bool multiSelect) {
  FMultiSelect = multiSelect;
  if (!multiSelect) {
    for (size_t i = 0; i < FEntries.size(); ++i) FEntries[i].Selected = static_cast<int>(i) == FItemIndex;
    Changed();
  }
}

void TCheckListBox::SetItemHeight(int height) {
  FItemHeight = std::max(1, height);
  UpdateScrollRange();
  viewport()->update();
}

void TCheckListBox::Clear() {
  FEntries.clear();
  FItemIndex = -1;
  FAnchor = -1;
  Changed();
}

void TCheckListBox::SelectAll() {
  if (!FMultiSelect) return;
  for (TEntry& entry : FEntries) entry.Selected = true;
  Changed();
}

void TCheckListBox::ClearSelection() {
  for (TEntry& entry : FEntries) entry.Selected = false;
  Changed();
}

void TCheckListBox::DeleteSelected() {
  for (int i = Count() - 1; i >= 0; --i)
    if (FEntries[static_cast<size_t>(i)].Selected) FItems->Delete(i);
}

void TCheckListBox::CopySelection(TCheckListBox& target) const {
  // Copy first: the target may be this list.
  std::vector<TEntry> chosen;
  for (const TEntry& entry : FEntries)
    if (entry.Selected) chosen.push_back(entry);
  for (const TEntry& entry : chosen) target.Items().AddObject(entry.Text, entry.Object);
}

void TCheckListBox::InsertEntry(int index, TEntry entry) {
  FEntries.insert(FEntries.begin() + index, std::move(entry));
  if (FItemIndex >= index) ++FItemIndex;
  if (FAnchor >= index) ++FAnchor;
  Changed();
}

int TCheckListBox::SortedPosition(const std::string& text) const {
  const auto place =
      std::upper_bound(FEntries.begin(), FEntries.end(), text,
                       [](const std::string& t, const TEntry& e) { return CompareText(t, e.Text) < 0; });
  return static_cast<int>(place - FEntries.begin());
}

void TCheckListBox::SortEntries() {
  const int previous = FItemIndex;
  std::vector<size_t> order(FEntries.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
    return CompareText(FEntries[a].Text, FEntries[b].Text) < 0;
  });
  std::vector<TEntry> sorted;
  sorted.reserve(FEntries.size());
  int newIndex = -1;
  for (size_t i = 0; i < order.size(); ++i) {
    if (static_cast<int>(order[i]) == previous) newIndex = static_cast<int>(i);
    sorted.push_back(std::move(FEntries[order[i]]));
  }
  FEntries = std::move(sorted);
  FItemIndex = newIndex;
  FAnchor = newIndex;
  Changed();
}

void TCheckListBox::Changed() {
  if (FUpdating) return;
  UpdateScrollRange();
  viewport()->update();
}

void TCheckListBox::UpdateScrollRange() {
  const int visibleRows = std::max(1, viewport()->height() / FItemHeight);
  QScrollBar* bar = verticalScrollBar();
  bar->setPageStep(visibleRows);
  bar->setSingleStep(1);
  bar->setRange(0, std::max(0, Count() - visibleRows));
}

void TCheckListBox::MakeVisible(int index) {
  if (index < 0) return;
  UpdateScrollRange();
  const int visibleRows = std::max(1, viewport()->height() / FItemHeight);
  if (index < TopIndex())
    SetTopIndex(index);
  else if (index >= TopIndex() + visibleRows)
    SetTopIndex(index - visibleRows + 1);
}

int TCheckListBox::ItemAtPos(const TPoint& point, bool existing) const {
  if (point.X < 0 || point.Y < 0 || point.X >= viewport()->width()) return -1;
  const int index = TopIndex() + point.Y / FItemHeight;
  if (index < Count()) return index;
  return existing ? -1 : Count();
}

TRect TCheckListBox::ItemRect(int index) const {
  const int top = (index - TopIndex()) * FItemHeight;
  return Rect(CheckWidth, top, viewport()->width(), top + FItemHeight);
}

void TCheckListBox::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QPalette& pal = viewport()->palette();
  const QColor background = Color() >= 0 ? QColor(GetRValue(Color()), GetGValue(Color()), GetBValue(Color()))
                                         : pal.color(QPalette::Base);
  painter.fillRect(viewport()->rect(), background);
  FCanvas.SetPainter(&painter);
  const int rows = viewport()->height() / FItemHeight + 1;
  for (int row = 0; row < rows; ++row) {
    const int index = TopIndex() + row;
    if (index >= Count()) break;
    const TEntry& entry = FEntries[static_cast<size_t>(index)];
    const int top = row * FItemHeight;

    QStyleOptionButton box;
    box.rect = QRect(2, top + (FItemHeight - 13) / 2, 13, 13);
    box.state = QStyle::State_Enabled;
    if (!entry.Enabled) box.state = QStyle::State_None;
    box.state |= entry.State == cbChecked
                     ? QStyle::State_On
                     : (entry.State == cbGrayed ? QStyle::State_NoChange : QStyle::State_Off);
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, &painter, this);

    TOwnerDrawState state = 0;
    if (entry.Selected) state |= odSelected;
    if (entry.State == cbChecked) state |= odChecked;
    if (!Enabled()) state |= odDisabled;
    if (index == FItemIndex && hasFocus()) state |= odFocused;
    const TRect rect = ItemRect(index);
    FCanvas.Brush.Color =
        entry.Selected ? FromQColor(pal.color(QPalette::Highlight)) : FromQColor(background);
    FCanvas.Brush.Clear = false;
    FCanvas.Font.Color = entry.Selected ? FromQColor(pal.color(QPalette::HighlightedText)) : clBlack;
    FCanvas.Font.Italic = false;
    FCanvas.Font.Bold = false;
    if (OnDrawItem) {
      Guarded([&] { OnDrawItem(this, index, rect, state); });
    } else {
      FCanvas.FillRect(rect);
      FCanvas.TextOut(rect.Left + 2, rect.Top, entry.Text);
    }
    if (index == FItemIndex) {
      painter.setPen(QPen(pal.color(QPalette::Text), 1, Qt::DotLine));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(QRect(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1));
    }
  }
  FCanvas.SetPainter(nullptr);
}

void TCheckListBox::SelectOnly(int index) {
  for (TEntry& entry : FEntries) entry.Selected = false;
  if (index >= 0) FEntries[static_cast<size_t>(index)].Selected = true;
}

void TCheckListBox::SelectRange(int from, int to) {
  if (from < 0) from = to;
  const int low = std::min(from, to);
  const int high = std::max(from, to);
  for (int i = 0; i < Count(); ++i) FEntries[static_cast<size_t>(i)].Selected = i >= low && i <= high;
}

void TCheckListBox::ToggleCheck(int index) {
  if (index < 0 || index >= Count() || !Enabled()) return;
  TEntry& entry = FEntries[static_cast<size_t>(index)];
  if (!entry.Enabled) return;
  entry.State = entry.State == cbChecked ? cbUnchecked : cbChecked;
  Changed();
  if (OnClickCheck) OnClickCheck(this);
}

void TCheckListBox::mousePressEvent(QMouseEvent* event) {
  Guarded([&] {
    const QPoint pos = event->position().toPoint();
    const TShiftState shift = ShiftFromQt(event->modifiers());
    const TMouseButton button = event->button() == Qt::RightButton    ? TMouseButton::mbRight
                                : event->button() == Qt::MiddleButton ? TMouseButton::mbMiddle
                                                                      : TMouseButton::mbLeft;
    setFocus(Qt::MouseFocusReason);
    const int index = ItemAtPos({pos.x(), pos.y()}, true);
    if (index >= 0 && event->button() == Qt::LeftButton) {
      if (pos.x() < CheckWidth) {
        ToggleCheck(index);
      }
      if (FMultiSelect && (shift & ssCtrl)) {
        FEntries[static_cast<size_t>(index)].Selected = !FEntries[static_cast<size_t>(index)].Selected;
        FAnchor = index;
      } else if (FMultiSelect && (shift & ssShift)) {
        SelectRange(FAnchor, index);
      } else {
        SelectOnly(index);
        FAnchor = index;
      }
      FItemIndex = index;
      Changed();
      if (OnClick) OnClick(this);
    }
    if (OnMouseDown) OnMouseDown(this, button, shift, pos.x(), pos.y());
  });
}

void TCheckListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  Guarded([&] {
    if (OnMouseDown)
      OnMouseDown(this, TMouseButton::mbLeft, ShiftFromQt(event->modifiers()) | ssDouble, pos.x(), pos.y());
    if (OnDblClick) OnDblClick(this);
  });
}

void TCheckListBox::keyPressEvent(QKeyEvent* event) {
  const Word key = VirtualKeyFromQt(event->key());
  const TShiftState shift = ShiftFromQt(event->modifiers());
  int target = -1;
  const int page = std::max(1, viewport()->height() / FItemHeight);
  switch (key) {
    case VK_UP:
      target = FItemIndex - 1;
      break;
    case VK_DOWN:
      target = FItemIndex + 1;
      break;
    case VK_HOME:
      target = 0;
      break;
    case VK_END:
      target = Count() - 1;
      break;
    case VK_PRIOR:
      target = FItemIndex - page;
      break;
    case VK_NEXT:
      target = FItemIndex + page;
      break;
    case VK_SPACE:
      Guarded([this] { ToggleCheck(FItemIndex); });
      return;
    default:
      QAbstractScrollArea::keyPressEvent(event);
      return;
  }
  if (Count() == 0) return;
  target = std::clamp(target, 0, Count() - 1);
  Guarded([&] {
    if (FMultiSelect && (shift & ssShift)) {
      SelectRange(FAnchor, target);
    } else if (!(FMultiSelect && (shift & ssCtrl))) {
      SelectOnly(target);
      FAnchor = target;
    }
    FItemIndex = target;
    MakeVisible(target);
    Changed();
    if (OnClick) OnClick(this);
  });
}

void TCheckListBox::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
  Guarded([this] {
    if (OnEnter) OnEnter(this);
  });
}

void TCheckListBox::resizeEvent(QResizeEvent* event) {
  TWidgetControl<QAbstractScrollArea>::resizeEvent(event);
  UpdateScrollRange();
}
