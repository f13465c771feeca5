#pragma once
// The list view in owner-data mode: the program keeps the items, and the view asks for each one as it
// shows it (OnData), tells the program which range of items it is about to show (OnDataHint) and asks
// it to find an item when the user types the first letters of a caption (OnDataFind). Four view
// styles: large icons, small icons, list (columns of small icons) and report (one row per item, its
// sub-items under column headers).

#include <functional>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include "toolkit/ui/component.h"
#include "toolkit/ui/imglist.h"

class QAbstractItemView;
class QKeyEvent;
class QListView;
class QStackedLayout;
class QTreeView;
class TListViewModel;
template <class Base>
class TListViewPane;

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum class TItemFind { ifData, ifPartialString, ifExactString, ifNearest };
enum class TSearchDirection { sdLeft, sdRight, sdAbove, sdBelow, sdAll };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// One item as OnData describes it.
struct TListItem {
  int Index = -1;
  std::string Caption;
  int ImageIndex = -1;
  std::vector<std::string> SubItems;
};

struct TListColumn {
  std::string Caption;
  int Width = 50;
  TAlignment Alignment = TAlignment::taLeftJustify;
};

using TLVOwnerDataEvent = std::function<void(TObject* Sender, TListItem& Item)>;
using TLVOwnerDataHintEvent = std::function<void(TObject* Sender, int StartIndex, int EndIndex)>;
// Index comes in as -1 and is set to the item found.
using TLVOwnerDataFindEvent =
    std::function<void(TObject* Sender, TItemFind Find, const std::string& FindString, int StartIndex,
                       TSearchDirection Direction, bool Wrap, int& Index)>;

class TListView : public TWidgetControl<QWidget> {
 public:
  TListView(TComponent* owner, TControl* parent);
  ~TListView() override;

  TViewStyle ViewStyle() const { return FViewStyle; }
  void SetViewStyle(TViewStyle style);
  // Report columns, left to right.
  void AddColumn(const std::string& caption, int width, TAlignment alignment = TAlignment::taLeftJustify);
  int ColumnCount() const { return static_cast<int>(FColumns.size()); }
  const TListColumn& Columns(int index) const;

  // The icons of the large-icon style, and of the other styles.
  void SetLargeImages(TImageList* images);
  void SetSmallImages(TImageList* images);

  int ItemCount() const { return FItemCount; }
  // A new count: the view forgets what it was told of the items, and the selection goes.
  void SetItemCount(int count);
  // The item as the view shows it (its range announced first when it was not yet). Raises EListError
  // for an index out of range.
  TListItem Items(int index);

  // The selected item (-1 for none); selecting an item also makes it the focused one.
  int ItemIndex() const;
  void SetItemIndex(int index);
  // Scrolls the item into view.
  void MakeVisible(int index);
  // Painting waits until the outer EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  // The items are asked for again when next shown.
  void Invalidate() override;

  // The item OnDataFind finds from startIndex on for a caption that begins with the text (partial) or
  // is the text; -1 when none.
  int FindCaption(int startIndex, const std::string& text, bool partial, bool wrap);

  TLVOwnerDataEvent OnData;
  TLVOwnerDataHintEvent OnDataHint;
  TLVOwnerDataFindEvent OnDataFind;
  TNotifyEvent OnDblClick;
  // Sees a key pressed in the view first; a key set to 0 goes no further.
  TKeyEvent OnKeyDown;

 private:
  friend class TListViewModel;
  template <class Base>
  friend class TListViewPane;

  QAbstractItemView* CurrentPane() const;
  // The item for the model: asked once per change of row, its range announced first.
  const TListItem& ShownItem(int index);
  void Announce(int index);
  TImageList* StyleImages() const;
  // From the panes: true when OnKeyDown used the key up.
  bool KeyDown(QKeyEvent* event);
  void TypeAhead(const QString& text);
  void DoubleClicked();

  TViewStyle FViewStyle = TViewStyle::vsIcon;
  std::vector<TListColumn> FColumns;
  QPointer<TImageList> FLargeImages;
  QPointer<TImageList> FSmallImages;
  int FItemCount = 0;
  std::vector<bool> FAnnounced;  // per item: its range was announced
  int FCachedIndex = -1;
  TListItem FCached;
  int FUpdating = 0;
  std::string FTyped;
  QElapsedTimer FTypedTimer;
  TListViewModel* FModel;
  QStackedLayout* FStack;
  QListView* FIconPane;
  QTreeView* FReportPane;
};
