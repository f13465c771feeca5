#include "toolkit/ui/imglist.h"

int TImageList::Add(const QIcon& icon) {
  FIcons.push_back(icon);
  return Count() - 1;
}

QIcon TImageList::Icon(int index) const {
  if (index < 0 || index >= Count()) return {};
  return FIcons[static_cast<size_t>(index)];
}
