// The image view: showing a bitmap or a list entry, the layout (fit or zoom), the zoom controls, the
// fly-over switch and the list panels' resize limits.
#include <algorithm>

#include "toolkit/core/checked.h"
#include "toolkit/core/format.h"
#include "toolkit/core/numbers.h"
#include "workbench/failure_texts.h"
#include "workbench/ucreateimg.h"
#include "workbench/ulngstrings.h"
#include "workbench/umain.h"
#include "workbench/working_bitmap.h"

namespace {

constexpr int kMinListPanelWidth = 175;

// Rounded to the nearest integer (halves to even); a value beyond 32 bits is a range error.
int RoundToInt(double value) {
  return RangeChecked<int>(Round(value));
}

// Dragging a splitter never makes a list panel narrower than the minimum.
void KeepListPanelWidth(int& newWidth, bool& resize) {
  newWidth = std::max(newWidth, kMinListPanelWidth);
  resize = true;
}

}  // namespace

void TFormMain::ShowBitmap(TBitmap* Bitmap) {
  const bool result = Bitmap && Bitmap == FResult.get();
  if (result) {
    // The result buffer is shown where it lives: a run shows it after every picture, and copying
    // tens of megapixels each time would cost about as much as the merge itself.
    Image1->ShowShared(&FResult);
  } else if (Bitmap) {
    CopyToBitmap(Bitmap, &Image1->OwnBitmap(), Bitmap->PixelFormat());
  } else {
    ResetBitmap(&Image1->OwnBitmap());
  }
  // The bounds of the last layout fit a picture of that layout's size: a picture of another size (the
  // first result of a run after an empty view, say) would be drawn squashed into them.
  const TBitmap* shown = Image1->ShownBitmap();
  if (shown && (shown->Width() != FLayoutWidth || shown->Height() != FLayoutHeight)) LayoutView();
  // A run shows its result after every picture; the screen follows a few times a second.
  if (result)
    Image1->InvalidateSoon();
  else
    Image1->Invalidate();
}

void TFormMain::PreviewEntry(int Index, TCheckListBox* List) {
  const int count = List ? List->Count() : 0;
  bool ok = Index >= 0 && count > 0 && Index < count;
  if (ok) {
    const std::string path = List->Items()[Index];
    std::string reason;
    if (!List->ItemEnabled(Index)) {
      // A disabled entry failed before and is not read again; the user clicking it is told why it
      // failed then.
      ok = false;
      MarkEntryFailed(Index, List);
      ShowProgress(-Index, FailureTextOf(path), List, false);
    } else if (LoadPicture(Image1->OwnBitmap(), path, reason)) {
      if (FormCreateImg && FormCreateImg->Visible()) Image1Click(this);
      ShowProgress(Index, path, List, true);
    } else {
      ok = false;
      const std::string text = LoadFailureText(path, reason);
      MarkEntryFailed(Index, List, text);
      ShowProgress(-Index, text, List, false);
    }
  } else {
    ShowProgress(-count, kstEmptyList, List, false);
  }
  if (!ok) ResetBitmap(&Image1->OwnBitmap());
  LayoutView();
}

void TFormMain::LayoutView() {
  const TBitmap* picture = Image1->ShownBitmap();
  const int pictureWidth = picture ? picture->Width() : 0;
  const int pictureHeight = picture ? picture->Height() : 0;
  FLayoutWidth = pictureWidth;
  FLayoutHeight = pictureHeight;
  if (ToolButton7->Down()) {
    ScrollBox1->SetAutoScroll(false);
    const int spaceWidth = ScrollBox1->Width() - 6;
    const int spaceHeight = ScrollBox1->Height() - 6;
    const double sx = pictureWidth != 0 ? static_cast<double>(spaceWidth) / pictureWidth : 1.0;
    const double sy = pictureHeight != 0 ? static_cast<double>(spaceHeight) / pictureHeight : 1.0;
    FZoom = sx > sy ? sy : sx;
    if (FZoom == 0) FZoom = 1.0;
    const int w = RoundToInt(pictureWidth * FZoom);
    const int h = RoundToInt(pictureHeight * FZoom);
    const int left = RoundToInt((spaceWidth - w) / 2.0) + 2;
    const int top = RoundToInt((spaceHeight - h) / 2.0) + 2;
    // A scroll box smaller than its inset gives a negative scale: nothing is shown then.
    Image1->SetBounds(left, top, std::max(0, w), std::max(0, h));
  } else {
    ScrollBox1->SetAutoScroll(true);
    FZoom = TrackBar1->Position() / 100.0;
    if (FZoom == 0) FZoom = 1.0;
    Image1->SetBounds(0, 0, RoundToInt(pictureWidth * FZoom), RoundToInt(pictureHeight * FZoom));
  }
}

void TFormMain::Panel1CanResize(TObject*, int& NewWidth, int&, bool& Resize) {
  KeepListPanelWidth(NewWidth, Resize);
}

void TFormMain::Panel2CanResize(TObject*, int& NewWidth, int&, bool& Resize) {
  KeepListPanelWidth(NewWidth, Resize);
}

void TFormMain::ToolButton7Click(TObject*) {
  const bool stretched = ToolButton7->Down();
  Adapterlimage1->SetChecked(stretched);
  ScrollBox1->SetAutoScroll(stretched);
  TrackBar1->SetEnabled(!stretched);
  TrackBar1->SetVisible(!stretched);
  Label100->SetEnabled(!stretched);
  Label100->SetVisible(!stretched);
  Image1->SetStretch(true);
  LayoutView();
}

void TFormMain::Adapterlimage1Click(TObject*) {
  const bool wasStretched = ToolButton7->Down();
  Image1->SetStretch(true);
  ScrollBox1->SetAutoScroll(wasStretched);
  TrackBar1->SetEnabled(!wasStretched);
  ToolButton7->SetDown(Adapterlimage1->Checked());
  LayoutView();
}

void TFormMain::TrackBar1Change(TObject*) {
  Label100->SetCaption(Format(" Z = %d%s ", {TrackBar1->Position(), "%"}));
  LayoutView();
}

void TFormMain::Label100Click(TObject*) {
  TrackBar1->SetPosition(100);
}

void TFormMain::EnableFlyOverMouse1Click(TObject*) {
  EnableFlyOverMouse2->SetDown(EnableFlyOverMouse1->Checked());
}

void TFormMain::EnableFlyOverMouse2Click(TObject*) {
  EnableFlyOverMouse1->SetChecked(EnableFlyOverMouse2->Down());
}

void TFormMain::Image1Click(TObject*) {
  // Replays the choice of the stored point: the information window is filled from the view again.
  Image1MouseDown(Image1, TMouseButton::mbLeft, ssLeft, FPointX, FPointY);
}
