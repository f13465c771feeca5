#pragma once
// TList: an ordered list of non-owning pointers. A bad index raises EListError with SListIndexError.

#include <functional>
#include <vector>

class TList {
 public:
  // Compares two items: < 0 when the first goes before the second.
  using TListSortCompare = std::function<int(void* item1, void* item2)>;

  int Count() const { return static_cast<int>(FItems.size()); }
  // Appends; returns the new item's index.
  int Add(void* item);
  // index 0..Count (Count appends).
  void Insert(int index, void* item);
  void Delete(int index);
  // Removes the first occurrence; returns its former index, or -1.
  int Remove(void* item);
  void Clear() { FItems.clear(); }
  int IndexOf(void* item) const;
  void* Get(int index) const;
  void Put(int index, void* item);
  void* Items(int index) const { return Get(index); }
  void* operator[](int index) const { return Get(index); }
  void Exchange(int index1, int index2);
  // Moves the item at curIndex so that it ends at newIndex; both must be valid indices.
  void Move(int curIndex, int newIndex);
  // Stable sort by compare.
  void Sort(const TListSortCompare& compare);

  // Item cast to the type the caller stored.
  template <class T>
  T* As(int index) const {
    return static_cast<T*>(Get(index));
  }

 private:
  void CheckIndex(int index) const;

  std::vector<void*> FItems;
};
