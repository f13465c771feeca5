#pragma once
// How the picture lists and the browser's file list draw an entry: black and upright when it is
// enabled and checked, blue italic when unchecked, red italic when disabled, by its file name only.

#include "toolkit/graphics/canvas.h"
#include "toolkit/ui/checklst.h"

// Windows colour values (blue in the high byte).
inline constexpr TColor kFailedColor = 0x0000FF;     // red
inline constexpr TColor kUncheckedColor = 0xFF0000;  // blue

void SetFontStyle(TFont& font, TColor color, bool italic);
void DrawPictureEntry(TCheckListBox& list, int index, const TRect& rect);
