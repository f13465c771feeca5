#pragma once
// Components without a window of their own (dialogs, image lists, menus): QObjects whose Qt parent is
// their owner's object, so the owner's window frees them.

#include <QObject>

#include "toolkit/ui/component.h"

class TNonVisualComponent : public QObject, public TComponent {
 public:
  explicit TNonVisualComponent(TComponent* owner)
      : QObject(owner ? owner->Object() : nullptr), TComponent(owner) {
    AttachObject(this);
  }
};
