// The two picture lists through the real main window: current list, status line, marks, owner drawing,
// the check and selection family, clearing, moving, sorting, copying, swapping and adding files.
#include <QImage>
#include <QPainter>

#include "tests/workbench/main_window_fixture.h"
#include "toolkit/graphics/picture.h"
#include "toolkit/ui/system_services.h"

namespace {

using PictureListTest = MainWindowTest;

constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;

TEST_F(PictureListTest, StatusLineCountsTheEntrysListAndTurnsRedOnFailure) {
  for (int i = 0; i < 10; ++i) Fill(*Form->ListBox1, {"/p/l" + std::to_string(i) + ".bmp"});
  Fill(*Form->ListBox2, {"/p/r0.bmp"});
  TStatusBar& bar = *Form->StatusBar1;
  const auto shown = [&] {
    return bar.Panels(0).Text() + " " + bar.Panels(2).Text() + (bar.Font.Italic ? " italic" : "") +
           (bar.Font.Color == kRed ? " red" : "");
  };
  Form->ShowProgress(4, "/p/l4.bmp", Form->ListBox1, true);
  EXPECT_EQ(shown(), "5/10 /p/l4.bmp");
  Form->ShowProgress(-3, "Loading Error: /p/l3.bmp", Form->ListBox1, false);
  EXPECT_EQ(shown(), "4/10 Loading Error: /p/l3.bmp italic red");
  // An entry of the right list is counted in the right list.
  Form->ShowProgress(0, "/p/r0.bmp", Form->ListBox2, true);
  EXPECT_EQ(shown(), "1/1 /p/r0.bmp");
  // Past the entry's own list it is a failure even when called as a success, with no counter.
  Form->ShowProgress(6, "x", Form->ListBox2, true);
  EXPECT_EQ(shown(), " x italic red");
  Form->ShowProgress(10, "y", Form->ListBox1, true);
  EXPECT_EQ(bar.Panels(0).Text(), "");
  // The run's counter: the pictures merged so far over the left list's count.
  Form->FResultCount = 2;
  Form->ShowMergedCount("/p/l1.bmp");
  EXPECT_EQ(shown(), "2/10 /p/l1.bmp");
}

// Failed entries are drawn red, unchecked ones blue, both in italics (the toolkit's check list test
// covers the painting itself).
TEST_F(PictureListTest, MarkingAndOwnerDrawingFollowTheEntryState) {
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {"/night/one.bmp", "/night/two.bmp", "/night/three.bmp"});
  Form->MarkEntryFailed(0, &list);
  list.SetChecked(1, false);
  EXPECT_EQ(Marks(list), "DUC");
  Form->MarkEntryGood(0, &list);
  Form->MarkEntryFailed(2, &list);
  EXPECT_EQ(Marks(list), "CUD");

  QImage image(160, 16, QImage::Format_RGB32);
  QPainter painter(&image);
  TControlCanvas& canvas = list.Canvas();
  canvas.SetPainter(&painter);
  canvas.Font.Bold = true;
  const std::tuple<int, TColor, bool> lines[] = {{2, kRed, true}, {1, kBlue, true}, {0, clBlack, false}};
  for (auto [index, color, italic] : lines) {
    Form->ListBoxDrawItem(&list, index, Rect(0, 0, 160, 16), 0);
    EXPECT_EQ(canvas.Font.Color, color) << index;
    EXPECT_EQ(canvas.Font.Italic, italic) << index;
    EXPECT_FALSE(canvas.Font.Bold);
  }
  canvas.SetPainter(nullptr);
}

TEST_F(PictureListTest, CheckAndSelectionFamilyActOnTheCurrentList) {
  // Entries: enabled/disabled x selected/not x checked/not (a disabled entry may carry a check mark
  // set by hand here, to show what each command does with it).
  const std::pair<void (TFormMain::*)(TObject*), const char*> cases[] = {
      {&TFormMain::CheckAllClick, "CCUUCCUU|ssss----"},
      {&TFormMain::UncheckAllClick, "UUUUUUUU|ssss----"},
      {&TFormMain::InvertCheckAllClick, "UCCUUCCU|ssss----"},
      {&TFormMain::CheckSelectionClick, "CCCUCUCU|ssss----"},
      {&TFormMain::UncheckSelectionClick, "UUUUCUCU|ssss----"},
      {&TFormMain::InvertCheckSelectionClick, "UCCUCUCU|ssss----"},
      {&TFormMain::SelectallClick, "CUCUCUCU|ssssssss"},
      {&TFormMain::UnselectAllClick, "CUCUCUCU|--------"},
      {&TFormMain::InvertSelectAllClick, "CUCUCUCU|----ssss"},
  };
  TCheckListBox& list = *Form->ListBox2;
  for (auto [command, expected] : cases) {
    SCOPED_TRACE(expected);
    Form->ToolBar2Click(Form.get());
    list.Clear();
    for (int i = 0; i < 8; ++i) {
      list.Items().Add("/p/" + std::to_string(i) + ".bmp");
      list.SetChecked(i, i % 2 == 0);
      list.SetSelected(i, i < 4);
      list.SetItemEnabled(i, i % 4 < 2);
    }
    list.SetItemIndex(5);
    (Form.get()->*command)(Form.get());
    std::string after;
    for (int i = 0; i < 8; ++i) after += list.Checked(i) ? 'C' : 'U';
    after += '|';
    for (int i = 0; i < 8; ++i) after += list.Selected(i) ? 's' : '-';
    EXPECT_EQ(after, expected);
    EXPECT_EQ(list.ItemIndex(), 5);
    EXPECT_EQ(Form->ListBox1->Count(), 0);  // the other list is never touched
  }
  Form->FCurrentList = nullptr;  // without a current list nothing happens
  Form->CheckAllClick(Form.get());
  Form->Sendtobottom1Click(Form.get());
  EXPECT_EQ(list.Count(), 8);
}

TEST_F(PictureListTest, ClearingAsksUnderTheListsCaption) {
  Form->ToolBar1Click(Form.get());
  Form->Clearlist1->Click();  // an empty list: no question
  TCheckListBox& left = *Form->ListBox1;
  Fill(left, {"/p/c.bmp", "/p/a.bmp", "/p/d.bmp", "/p/b.bmp"});
  left.SetSorted(true);  // a, b, c, d
  SetMarks(left, "CcCc");
  Script().AnswerMessageBox(IDCANCEL, "Clear List?");
  Script().AnswerMessageBox(IDCANCEL, "Clear Selection");
  Script().AnswerMessageBox(IDOK, "Clear Selection");
  Form->ClearList1Click(Form.get());
  Form->ClearSelection1Click(Form.get());
  EXPECT_EQ(left.Count(), 4);
  Form->ToolButtonDelete1->Click();
  EXPECT_EQ(Paths(left), (Strings{"/p/a.bmp", "/p/c.bmp"}));
  EXPECT_FALSE(left.Sorted());
  EXPECT_EQ(Script().Asked()[0].Caption, "Left List");
  EXPECT_EQ(Script().Asked()[0].Flags & MB_BUTTONS_MASK, MB_OKCANCEL);

  // The right bar's button and "Clear all..." work on the right list under its caption.
  Fill(*Form->ListBox2, {"/p/x.bmp", "/p/y.bmp"});
  Form->ListBox2->SetSelected(0, true);
  Script().AnswerMessageBox(IDOK, "Clear Selection");
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->ToolButtonDelete2->Click();
  EXPECT_EQ(Paths(*Form->ListBox2), (Strings{"/p/y.bmp"}));
  Form->ClearList1Click(Form.get());
  EXPECT_EQ(Form->ListBox2->Count(), 0);
  EXPECT_EQ(Script().Asked().back().Caption, "Right List");
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), "Empty List");

  // From another window the current-list command does nothing, while the right list's own clearing
  // (the search window's button) still asks.
  Fill(*Form->ListBox2, {"/p/x.bmp"});
  Screen->SetActiveForm(nullptr);
  Form->ClearList1Click(Form.get());
  EXPECT_EQ(Form->ListBox2->Count(), 1);
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->ClearRightList();
  EXPECT_EQ(Form->ListBox2->Count(), 0);
}

TEST_F(PictureListTest, MovingWrapsAroundAndCarriesTheMarks) {
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {"A", "B", "C"});
  SetMarks(list, "uCD");
  list.SetSorted(true);
  list.SetItemIndex(0);
  Form->ToolButtonUp1->Click();  // from the top to the end
  EXPECT_EQ(Paths(list), (Strings{"B", "C", "A"}));
  EXPECT_EQ(Marks(list), "CDu");
  EXPECT_EQ(list.ItemIndex(), 2);
  EXPECT_FALSE(list.Sorted());
  Form->ToolButtonUp1->Click();
  EXPECT_EQ(Marks(list), "CuD");
  Form->ToolButtonDown1->Click();
  Form->ToolButtonDown1->Click();  // from the bottom to the top
  EXPECT_EQ(Paths(list), (Strings{"A", "B", "C"}));
  EXPECT_EQ(Marks(list), "uCD");
  EXPECT_EQ(list.ItemIndex(), 0);
  list.SetItemIndex(-1);  // nothing highlighted: Down moves nothing, Up sends the first to the end
  Form->ToolButtonDown1->Click();
  EXPECT_EQ(Paths(list), (Strings{"A", "B", "C"}));
  Form->ToolButtonUp1->Click();
  EXPECT_EQ(Paths(list), (Strings{"B", "C", "A"}));

  // "Send current filename to end of list" carries the marks too.
  list.SetItemIndex(0);
  Form->Sendtobottom1Click(Form.get());
  EXPECT_EQ(Paths(list), (Strings{"C", "A", "B"}));
  EXPECT_EQ(Marks(list), "DuC");
  EXPECT_EQ(list.ItemIndex(), 2);
}

TEST_F(PictureListTest, SortItemsSwitchTheirListsSorting) {
  Fill(*Form->ListBox1, {"/p/c", "/p/a", "/p/b"});
  Fill(*Form->ListBox2, {"/p/z", "/p/y"});
  Form->SortList1->Click();  // the item checks itself
  EXPECT_EQ(Paths(*Form->ListBox1), (Strings{"/p/a", "/p/b", "/p/c"}));
  Form->SortList2->Click();  // this one does not: the handler toggles it
  EXPECT_EQ(Paths(*Form->ListBox2), (Strings{"/p/y", "/p/z"}));
  Form->Options1Click(Form.get());  // the mark read back from the list; the next choice switches off
  Form->SortList2->Click();
  EXPECT_FALSE(Form->ListBox2->Sorted());
  EXPECT_FALSE(Form->SortList2->Checked());
}

TEST_F(PictureListTest, CopyAndSwapCarryTheMarksEvenIntoASortedList) {
  TCheckListBox& left = *Form->ListBox1;
  TCheckListBox& right = *Form->ListBox2;
  Fill(left, {"/p/b.bmp", "/p/d.bmp"});
  Fill(right, {"/p/d.bmp", "/p/z.bmp", "/p/a.bmp"});
  SetMarks(right, "CCu");
  Form->ToolButtonCopyList1->Click();
  EXPECT_EQ(Paths(left), (Strings{"/p/b.bmp", "/p/d.bmp", "/p/a.bmp"}));
  EXPECT_EQ(Marks(left), "CCU");
  EXPECT_EQ(Form->GetCurrentList(), &left);

  // Sorted, the copies would go between the old entries and the marks onto the wrong ones.
  right.Clear();
  Fill(right, {"/p/d.bmp", "/p/z.bmp"});
  Form->SortList2->Click();
  ASSERT_TRUE(right.Sorted());
  SetMarks(left, "dcU");
  Form->ToolButtonCopyList2->Click();
  EXPECT_EQ(Paths(right), (Strings{"/p/d.bmp", "/p/z.bmp", "/p/b.bmp", "/p/d.bmp"}));
  EXPECT_EQ(Marks(right), "CCDC");
  EXPECT_FALSE(right.Sorted());
  EXPECT_EQ(Form->GetCurrentList(), &right);

  // Swapping exchanges the lists with their marks; a sorted list must not file the entries it receives.
  left.SetSorted(true);  // a, b, d
  Form->ToolButtonSwap->Click();
  EXPECT_EQ(Paths(left), (Strings{"/p/d.bmp", "/p/z.bmp", "/p/b.bmp", "/p/d.bmp"}));
  EXPECT_EQ(Marks(left), "CCDC");
  EXPECT_EQ(Paths(right), (Strings{"/p/a.bmp", "/p/b.bmp", "/p/d.bmp"}));
  EXPECT_EQ(Marks(right), "UDC");
  EXPECT_EQ(Form->GetCurrentList(), &left);
}

TEST_F(PictureListTest, NewListAddsTheChosenFilesCheckedAndRedirectMovesThem) {
  const std::string moved = Temp.File("moved");
  std::filesystem::create_directory(moved);
  const std::string a = WritePicture("moved/a.bmp", 1), b = WritePicture("moved/b.bmp", 2);
  Form->ToolBar2Click(Form.get());
  Form->ListBox1->SetSorted(true);
  Script().AnswerOpenFile({b, a});
  Form->NewList1->Click();
  EXPECT_NE(Script().LastFileRequest().Filter.find("*.jpg"), std::string::npos);
  EXPECT_TRUE(Script().LastFileRequest().MultiSelect);
  TCheckListBox& list = *Form->ListBox1;
  EXPECT_EQ(Form->GetCurrentList(), &list);
  EXPECT_FALSE(list.Sorted());
  EXPECT_EQ(Paths(list), (Strings{b, a}));  // in the dialog's order
  EXPECT_EQ(Marks(list), "cC");
  // A second list: Cancel on "Clear List?" keeps the old entries and appends; OK replaces them.
  Script().AnswerOpenFile({a});
  Script().AnswerMessageBox(IDCANCEL, "Clear List?");
  Form->NewList1Click(Form.get());
  EXPECT_EQ(Paths(list), (Strings{b, a, a}));
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), b);
  Script().AnswerOpenFile({"/elsewhere/a.bmp", "/old/b.bmp", "/old/gone.bmp"});
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->NewList1Click(Form.get());
  EXPECT_EQ(Paths(list), (Strings{"/elsewhere/a.bmp", "/old/b.bmp", "/old/gone.bmp"}));

  // "Redirect..." keeps the names in the new folder and tests them; then the highlighted entry shows.
  SetMarks(list, "cUC");
  Script().AnswerSelectFolder("");  // cancelled: nothing changes
  Script().AnswerSelectFolder(moved);
  Script().AnswerMessageBox(
      IDOK, "1 Files in Error\nFirst: " + LoadError(moved + "/gone.bmp", "No such file or directory"));
  Form->Redirect1->Click();
  EXPECT_EQ(list.Items()[0], "/elsewhere/a.bmp");
  Form->Redirect1Click(Form.get());
  EXPECT_EQ(Paths(list), (Strings{a, b, moved + "/gone.bmp"}));
  EXPECT_EQ(Marks(list), "cCD");
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), a);
  EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 5);
}

}  // namespace
