#include "toolkit/core/list.h"

#include <algorithm>

#include "toolkit/core/list_errors.h"

void TList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) list_errors::IndexError(index);
}

int TList::Add(void* item) {
  FItems.push_back(item);
  return Count() - 1;
}

void TList::Insert(int index, void* item) {
  if (index < 0 || index > Count()) list_errors::IndexError(index);
  FItems.insert(FItems.begin() + index, item);
}

void TList::Delete(int index) {
  CheckIndex(index);
  FItems.erase(FItems.begin() + index);
}

int TList::Remove(void* item) {
  const int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

int TList::IndexOf(void* item) const {
  const auto at = std::find(FItems.begin(), FItems.end(), item);
  return at == FItems.end() ? -1 : static_cast<int>(at - FItems.begin());
}

void* TList::Get(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)];
}

void TList::Put(int index, void* item) {
  CheckIndex(index);
  FItems[static_cast<size_t>(index)] = item;
}

void TList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(FItems[static_cast<size_t>(index1)], FItems[static_cast<size_t>(index2)]);
}

void TList::Move(int curIndex, int newIndex) {
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  void* item = FItems[static_cast<size_t>(curIndex)];
  FItems.erase(FItems.begin() + curIndex);
  FItems.insert(FItems.begin() + newIndex, item);
}

void TList::Sort(const TListSortCompare& compare) {
  std::stable_sort(FItems.begin(), FItems.end(), [&compare](void* a, void* b) { return compare(a, b) < 0; });
}
