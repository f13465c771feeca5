#pragma once
// The check list: one line per entry with a check box, owner-drawn at a fixed height. Every entry
// carries its text, an object, its check state, its enabled flag (the program's own: a disabled entry
// is drawn by the owner-draw handler as it likes and can still be selected and highlighted, only its
// check box does not react to the user) and its selection mark; Items is a string list over the entries
// whose Exchange and Move carry all of that along.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractScrollArea>

#include "toolkit/core/string_list.h"
#include "toolkit/ui/component.h"
#include "toolkit/ui/control_canvas.h"

class TCheckListBox;

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// Owner-draw state flags.
using TOwnerDrawState = uint16_t;
inline constexpr TOwnerDrawState odSelected = 0x0001;
inline constexpr TOwnerDrawState odDisabled = 0x0004;
inline constexpr TOwnerDrawState odChecked = 0x0008;
inline constexpr TOwnerDrawState odFocused = 0x0010;

using TDrawItemEvent =
    std::function<void(TCheckListBox* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;

class TCheckListItems : public TStrings {
 public:
  explicit TCheckListItems(TCheckListBox& list) : FList(list) {}
  int Count() const override;
  std::string Get(int index) const override;
  void Put(int index, const std::string& text) override;
  void* GetObject(int index) const override;
  void PutObject(int index, void* object) override;
  void Insert(int index, const std::string& text) override;
  void InsertObject(int index, const std::string& text, void* object) override;
  // In a sorted list the new entry goes to its place in the order.
  int Add(const std::string& text) override;
  int AddObject(const std::string& text, void* object) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;
  void Move(int curIndex, int newIndex) override;

 protected:
  void SetUpdateState(bool updating) override;

 private:
  TCheckListBox& FList;
};

class TCheckListBox : public TWidgetControl<QAbstractScrollArea> {
 public:
  TCheckListBox(TComponent* owner, TControl* parent);
  ~TCheckListBox() override;

  TStrings& Items() { return *FItems; }
  const TStrings& Items() const { return *FItems; }
  int Count() const { return static_cast<int>(FEntries.size()); }

  // Per entry; an index out of range raises EListError.
  TCheckBoxState State(int index) const;
  void SetState(int index, TCheckBoxState state);
  bool Checked(int index) const { return State(index) != cbUnchecked; }
  void SetChecked(int index, bool checked) { SetState(index, checked ? cbChecked : cbUnchecked); }
  bool ItemEnabled(int index) const;
  void SetItemEnabled(int index, bool enabled);
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);
  int SelCount() const;

  // The highlighted entry (-1 for none). Setting an index out of range (other than -1) changes nothing.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int index);
  int TopIndex() const;
  void SetTopIndex(int index);

  bool Sorted() const { return FSorted; }
  // Turning sorting on sorts the entries (ascending, letter case ignored, equal texts keep their
  // order); later additions go to their place.
  void SetSorted(bool sorted);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool multiSelect);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int height);

  void Clear();
  void SelectAll();
  void ClearSelection();
  // Deletes the selected entries, the last first.
  void DeleteSelected();
  // Appends every selected entry's text and object to the target, in list order (marks are not copied).
  void CopySelection(TCheckListBox& target) const;

  // The entry under a point of the client area; -1 when none (with existing false, Count below the
  // last entry).
  int ItemAtPos(const TPoint& point, bool existing) const;
  // The entry's rectangle in the client area (text part after the check box).
  TRect ItemRect(int index) const;
  // Width of the check box column at the left of every line.
  static constexpr int CheckWidth = 16;

  // The canvas handed to OnDrawItem during a paint.
  TControlCanvas& Canvas() { return FCanvas; }

  TDrawItemEvent OnDrawItem;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnEnter;
  TNotifyEvent OnClickCheck;
  TMouseEvent OnMouseDown;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class TCheckListItems;
  struct TEntry {
    std::string Text;
    void* Object = nullptr;
    TCheckBoxState State = cbUnchecked;
    bool Enabled = true;
    bool Selected = false;
  };

  static TEntry NewEntry(const std::string& text, void* object) {
    TEntry entry;
    entry.Text = text;
    entry.Object = object;
    return entry;
  }
  void CheckIndex(int index) const;
  void InsertEntry(int index, TEntry entry);
  int SortedPosition(const std::string& text) const;
  void SortEntries();
  void Changed();
  void UpdateScrollRange();
  void SelectOnly(int index);
  void SelectRange(int from, int to);
  void MakeVisible(int index);
  void ToggleCheck(int index);

  std::vector<TEntry> FEntries;
  std::unique_ptr<TCheckListItems> FItems;
  int FItemIndex = -1;
  int FAnchor = -1;
  bool FSorted = false;
  bool FMultiSelect = false;
  int FItemHeight = 16;
  int FUpdating = 0;
  TControlCanvas FCanvas;
};
