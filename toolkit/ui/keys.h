#pragma once
// Qt key events in the program's terms: virtual-key codes and shift states.

#include <QKeyEvent>

#include "toolkit/ui/ui_types.h"

// The virtual-key code of a Qt key (0 for keys without one).
Word VirtualKeyFromQt(int qtKey);
TShiftState ShiftFromQt(Qt::KeyboardModifiers modifiers);
// The Qt key sequence of a shortcut (for display), and back.
int QtKeyFromVirtualKey(Word key);
