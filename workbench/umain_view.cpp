// The image view: showing a bitmap or a list entry, the layout (fit or zoom), the zoom controls, the
// fly-over switch and the list panels' resize limits.
#include "workbench/umain.h"

void TFormMain::ShowBitmap(TBitmap*) {}

void TFormMain::PreviewEntry(int, TCheckListBox*) {}

void TFormMain::LayoutView() {}

void TFormMain::Panel1CanResize(TObject*, int&, int&, bool&) {}

void TFormMain::Panel2CanResize(TObject*, int&, int&, bool&) {}

void TFormMain::ToolButton7Click(TObject*) {}

void TFormMain::Adapterlimage1Click(TObject*) {}

void TFormMain::TrackBar1Change(TObject*) {}

void TFormMain::Label100Click(TObject*) {}

void TFormMain::EnableFlyOverMouse1Click(TObject*) {}

void TFormMain::EnableFlyOverMouse2Click(TObject*) {}

void TFormMain::Image1Click(TObject*) {}
