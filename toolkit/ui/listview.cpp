#include "toolkit/ui/listview.h"

#include <algorithm>

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QStackedLayout>
#include <QTreeView>

#include "toolkit/core/exceptions.h"
#include "toolkit/core/format.h"
#include "toolkit/core/messages.h"
#include "toolkit/ui/guarded.h"
#include "toolkit/ui/imglist.h"
#include "toolkit/ui/keys.h"

namespace {

// Items announced at a time when the view reaches one it has not announced yet.
constexpr int kHintBlock = 64;

Qt::Alignment QtAlignment(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify:
      return Qt::AlignRight | Qt::AlignVCenter;
    case TAlignment::taCenter:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    case TAlignment::taLeftJustify:
      break;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

// The items as Qt's views read them, asked of the list view row by row.
class TListViewModel : public QAbstractTableModel {
 public:
  explicit TListViewModel(TListView& view) : QAbstractTableModel(&view), FView(view) {}

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : FView.ItemCount(); }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : std::max(1, FView.ColumnCount());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= FView.ItemCount()) return {};
    const int column = index.column();
    if (role == Qt::TextAlignmentRole)
      return column < FView.ColumnCount() ? QVariant(QtAlignment(FView.Columns(column).Alignment))
                                          : QVariant();
    if (role != Qt::DisplayRole && role != Qt::DecorationRole) return {};
    QVariant value;
    Guarded([&] {
      const TListItem& item = FView.ShownItem(index.row());
      if (role == Qt::DisplayRole) {
        if (column == 0)
          value = QString::fromStdString(item.Caption);
        else if (column - 1 < static_cast<int>(item.SubItems.size()))
          value = QString::fromStdString(item.SubItems[static_cast<size_t>(column - 1)]);
      } else if (column == 0) {
        if (TImageList* images = FView.StyleImages()) value = images->Icon(item.ImageIndex);
      }
    });
    return value;
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || section >= FView.ColumnCount()) return {};
    if (role == Qt::DisplayRole) return QString::fromStdString(FView.Columns(section).Caption);
    if (role == Qt::TextAlignmentRole) return QVariant(QtAlignment(FView.Columns(section).Alignment));
    return {};
  }

  void Reset() {
    beginResetModel();
    endResetModel();
  }
  void AllChanged() {
    if (rowCount({}) > 0) emit dataChanged(index(0, 0), index(rowCount({}) - 1, columnCount({}) - 1));
  }
  void ColumnsChanged() {
    beginResetModel();
    endResetModel();
  }

 private:
  TListView& FView;
};

// One of the two Qt views that show the items: keys, typing and double clicks go to the list view.
template <class Base>
class TListViewPane : public Base {
 public:
  explicit TListViewPane(TListView& owner) : Base(&owner), FOwner(owner) {
    Base::setEditTriggers(QAbstractItemView::NoEditTriggers);
    Base::setSelectionMode(QAbstractItemView::SingleSelection);
  }
  void keyboardSearch(const QString& text) override {
    Guarded([&] { FOwner.TypeAhead(text); });
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (!FOwner.KeyDown(event)) Base::keyPressEvent(event);
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    Base::mouseDoubleClickEvent(event);
    Guarded([this] { FOwner.DoubleClicked(); });
  }

 private:
  TListView& FOwner;
};

TListView::TListView(TComponent* owner, TControl* parent)
    : TWidgetControl<QWidget>(owner, parent),
      FModel(new TListViewModel(*this)),
      FStack(new QStackedLayout(this)) {
  FStack->setContentsMargins(0, 0, 0, 0);
  FIconPane = new TListViewPane<QListView>(*this);
  FIconPane->setModel(FModel);
  FIconPane->setUniformItemSizes(true);
  FIconPane->setMovement(QListView::Static);
  FIconPane->setResizeMode(QListView::Adjust);
  FReportPane = new TListViewPane<QTreeView>(*this);
  FReportPane->setModel(FModel);
  FReportPane->setRootIsDecorated(false);
  FReportPane->setItemsExpandable(false);
  FReportPane->setUniformRowHeights(true);
  FReportPane->setAllColumnsShowFocus(true);
  FReportPane->setSelectionBehavior(QAbstractItemView::SelectRows);
  FReportPane->header()->setStretchLastSection(false);
  // One selection for both views, so a change of style keeps it.
  QItemSelectionModel* own = FReportPane->selectionModel();
  FReportPane->setSelectionModel(FIconPane->selectionModel());
  delete own;
  FStack->addWidget(FIconPane);
  FStack->addWidget(FReportPane);
  resize(250, 150);
  SetViewStyle(TViewStyle::vsIcon);
}

TListView::~TListView() = default;

void TListView::SetViewStyle(TViewStyle style) {
  FViewStyle = style;
  if (style == TViewStyle::vsReport) {
    FStack->setCurrentWidget(FReportPane);
  } else {
    const bool large = style == TViewStyle::vsIcon;
    FIconPane->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    FIconPane->setIconSize(large ? QSize(32, 32) : QSize(16, 16));
    FIconPane->setGridSize(large ? QSize(80, 64) : QSize());
    FIconPane->setWordWrap(large);
    FIconPane->setFlow(style == TViewStyle::vsList ? QListView::TopToBottom : QListView::LeftToRight);
    FIconPane->setWrapping(true);
    FIconPane->setMovement(QListView::Static);
    FStack->setCurrentWidget(FIconPane);
  }
  const bool hadFocus = hasFocus() || (focusProxy() && focusProxy()->hasFocus());
  setFocusProxy(CurrentPane());
  if (hadFocus) CurrentPane()->setFocus();
  Invalidate();
}

QAbstractItemView* TListView::CurrentPane() const {
  if (FViewStyle == TViewStyle::vsReport) return FReportPane;
  return FIconPane;
}

void TListView::AddColumn(const std::string& caption, int width, TAlignment alignment) {
  FColumns.push_back({caption, width, alignment});
  FModel->ColumnsChanged();
  for (int i = 0; i < ColumnCount(); ++i)
    FReportPane->header()->resizeSection(i, FColumns[static_cast<size_t>(i)].Width);
}

const TListColumn& TListView::Columns(int index) const {
  if (index < 0 || index >= ColumnCount()) throw EListError(Format(SListIndexError, {index}));
  return FColumns[static_cast<size_t>(index)];
}

void TListView::SetLargeImages(TImageList* images) {
  FLargeImages = images;
  Invalidate();
}

void TListView::SetSmallImages(TImageList* images) {
  FSmallImages = images;
  Invalidate();
}

TImageList* TListView::StyleImages() const {
  return FViewStyle == TViewStyle::vsIcon ? FLargeImages.data() : FSmallImages.data();
}

void TListView::SetItemCount(int count) {
  FItemCount = std::max(0, count);
  FAnnounced.assign(static_cast<size_t>(FItemCount), false);
  FCachedIndex = -1;
  FModel->Reset();
}

void TListView::Announce(int index) {
  if (FAnnounced[static_cast<size_t>(index)]) return;
  const int end = std::min(FItemCount - 1, index + kHintBlock - 1);
  std::fill(FAnnounced.begin() + index, FAnnounced.begin() + end + 1, true);
  FCachedIndex = -1;
  if (OnDataHint) OnDataHint(this, index, end);
}

const TListItem& TListView::ShownItem(int index) {
  if (index == FCachedIndex) return FCached;
  Announce(index);
  FCached = TListItem();
  FCached.Index = index;
  FCachedIndex = index;
  if (OnData) OnData(this, FCached);
  return FCached;
}

TListItem TListView::Items(int index) {
  if (index < 0 || index >= FItemCount) throw EListError(Format(SListIndexError, {index}));
  return ShownItem(index);
}

int TListView::ItemIndex() const {
  int selected = -1;
  for (const QModelIndex& index : FIconPane->selectionModel()->selectedIndexes())
    if (selected < 0 || index.row() < selected) selected = index.row();
  return selected;
}

void TListView::SetItemIndex(int index) {
  QItemSelectionModel* selection = FIconPane->selectionModel();
  if (index < 0 || index >= FItemCount) {
    selection->clearSelection();
    return;
  }
  selection->setCurrentIndex(FModel->index(index, 0),
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TListView::MakeVisible(int index) {
  if (index >= 0 && index < FItemCount) CurrentPane()->scrollTo(FModel->index(index, 0));
}

void TListView::BeginUpdate() {
  if (FUpdating++ == 0) setUpdatesEnabled(false);
}

void TListView::EndUpdate() {
  if (FUpdating > 0 && --FUpdating == 0) setUpdatesEnabled(true);
}

void TListView::Invalidate() {
  FCachedIndex = -1;
  FModel->AllChanged();
  CurrentPane()->viewport()->update();
}

int TListView::FindCaption(int startIndex, const std::string& text, bool partial, bool wrap) {
  int index = -1;
  if (OnDataFind)
    OnDataFind(this, partial ? TItemFind::ifPartialString : TItemFind::ifExactString, text, startIndex,
               TSearchDirection::sdAll, wrap, index);
  return index >= 0 && index < FItemCount ? index : -1;
}

bool TListView::KeyDown(QKeyEvent* event) {
  Word key = VirtualKeyFromQt(event->key());
  if (!OnKeyDown || key == 0) return false;
  Guarded([&] { OnKeyDown(this, key, ShiftFromQt(event->modifiers())); });
  if (key != 0) return false;
  event->accept();
  return true;
}

void TListView::TypeAhead(const QString& text) {
  if (FItemCount == 0 || text.isEmpty()) return;
  // Letters typed in quick succession make one search text; a pause starts a new one.
  if (!FTypedTimer.isValid() || FTypedTimer.elapsed() > QApplication::keyboardInputInterval()) FTyped.clear();
  FTypedTimer.start();
  const bool fresh = FTyped.empty();
  FTyped += text.toStdString();
  const int current = CurrentPane()->currentIndex().isValid() ? CurrentPane()->currentIndex().row() : -1;
  // A new search starts after the focused item, a longer one at it.
  int start = fresh ? current + 1 : std::max(current, 0);
  if (start >= FItemCount) start = 0;
  const int found = FindCaption(start, FTyped, true, true);
  if (found < 0) return;
  SetItemIndex(found);
  MakeVisible(found);
}

void TListView::DoubleClicked() {
  if (OnDblClick) OnDblClick(this);
}
