#pragma once
// Building a window's components: each is made, named and placed in one call, in the order of the
// window's component list (language files address components by name).

#include <string>

#include "toolkit/ui/component.h"
#include "toolkit/ui/menus.h"

// A control of the window at (left, top) with the given size; the caption is set when one is given,
// after the size, so that a label fits its whole text as it does when a language file sets it.
template <class T>
T* PlaceControl(TComponent* owner, TControl* parent, const std::string& name, int left, int top, int width,
                int height, const std::string& caption = {}) {
  auto* control = new T(owner, parent);
  control->SetName(name);
  control->SetBounds(left, top, width, height);
  if (!caption.empty()) control->SetCaption(caption);
  return control;
}

// A component without a window of its own (a dialog).
template <class T>
T* AddComponent(TComponent* owner, const char* name) {
  auto* component = new T(owner);
  component->SetName(name);
  return component;
}

// A menu item of the window, added at the end of its parent item (a menu's Items() for a top entry).
inline TMenuItem* AddMenuItem(TComponent* owner, TMenuItem* parent, const char* name, const char* caption,
                              TShortCut shortCut = 0) {
  auto* item = AddComponent<TMenuItem>(owner, name);
  item->SetCaption(caption);
  item->SetShortCut(shortCut);
  parent->Add(item);
  return item;
}
