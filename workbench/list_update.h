#pragma once
// Scoped helpers of the list commands: one list update (the list repaints once at its end) and the
// busy cursor, both undone when the scope ends, an exception included.

#include "toolkit/ui/checklst.h"
#include "toolkit/ui/screen.h"

class TListUpdate {
 public:
  explicit TListUpdate(TCheckListBox& list) : FItems(list.Items()) { FItems.BeginUpdate(); }
  ~TListUpdate() { FItems.EndUpdate(); }
  TListUpdate(const TListUpdate&) = delete;
  TListUpdate& operator=(const TListUpdate&) = delete;

 private:
  TStrings& FItems;
};

class TBusyCursor {
 public:
  TBusyCursor() { Screen->SetCursor(crHourGlass); }
  ~TBusyCursor() { Screen->SetCursor(crDefault); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;
};
