#pragma once
// An image list: the glyphs of tool buttons and menu items, by index.

#include <vector>

#include <QIcon>

#include "toolkit/ui/nonvisual.h"

class TImageList : public TNonVisualComponent {
 public:
  explicit TImageList(TComponent* owner) : TNonVisualComponent(owner) {}

  // Adds a glyph and returns its index.
  int Add(const QIcon& icon);
  int Count() const { return static_cast<int>(FIcons.size()); }
  // The glyph at the index; an empty icon for an index out of range.
  QIcon Icon(int index) const;
  int Width = 16;
  int Height = 16;

 private:
  std::vector<QIcon> FIcons;
};
