#include "workbench/entry_drawing.h"

#include "toolkit/core/file_names.h"

void SetFontStyle(TFont& font, TColor color, bool italic) {
  font.Color = color;
  font.Italic = italic;
  font.Bold = false;
}

void DrawPictureEntry(TCheckListBox& list, int index, const TRect& rect) {
  TControlCanvas& canvas = list.Canvas();
  canvas.FillRect(rect);
  if (!list.ItemEnabled(index))
    SetFontStyle(canvas.Font, kFailedColor, true);
  else if (!list.Checked(index))
    SetFontStyle(canvas.Font, kUncheckedColor, true);
  else
    SetFontStyle(canvas.Font, clBlack, false);
  canvas.TextOut(rect.Left + 2, rect.Top, ExtractFileName(list.Items()[index]));
}
