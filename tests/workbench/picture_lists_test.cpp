// The two picture lists through the real main window: current list, status line, marks, owner drawing,
// the check and selection family, clearing, moving, sorting, copying and swapping.
#include <climits>

#include <QImage>
#include <QPainter>

#include "tests/workbench/picture_list_fixture.h"
#include "toolkit/graphics/picture.h"
#include "toolkit/ui/system_services.h"

namespace {

using Strings = std::vector<std::string>;

constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;

// ---- Current list, captions, focus buttons

TEST_F(PictureListTest, EnteringAListMakesItCurrentWithItsCaptionsAndColours) {
  Form->ToolBar2Click(Form.get());
  EXPECT_EQ(Form->GetCurrentList(), Form->ListBox2);
  EXPECT_EQ(Form->LoadList1->Caption(), "Load RIGHT list");
  EXPECT_EQ(Form->SaveList1->Caption(), "Save RIGHT list");
  EXPECT_EQ(Form->FListCaption, "Right List");
  EXPECT_EQ(Form->ListBox1->Color(), 0xCFCFCF);
  EXPECT_EQ(Form->ListBox2->Color(), 0xFFFFFF);
  EXPECT_FALSE(Form->ToolButtonFocus1->Down());
  EXPECT_TRUE(Form->ToolButtonFocus2->Down());
  EXPECT_EQ(Form->ActiveControl(), Form->ListBox2);

  // The focus button of the left bar is a check button: a press still leaves it down.
  Form->ToolButtonFocus1->Click();
  EXPECT_EQ(Form->GetCurrentList(), Form->ListBox1);
  EXPECT_EQ(Form->LoadList1->Caption(), "Load LEFT list");
  EXPECT_EQ(Form->SaveList1->Caption(), "Save LEFT list");
  EXPECT_EQ(Form->FListCaption, "Left List");
  EXPECT_EQ(Form->ListBox1->Color(), 0xFFFFFF);
  EXPECT_EQ(Form->ListBox2->Color(), 0xCFCFCF);
  EXPECT_TRUE(Form->ToolButtonFocus1->Down());
  EXPECT_FALSE(Form->ToolButtonFocus2->Down());

  // While another window is active the current list stays.
  Screen->SetActiveForm(nullptr);
  Form->ToolBar2Click(Form.get());
  EXPECT_EQ(Form->GetCurrentList(), Form->ListBox1);
}

TEST_F(PictureListTest, EnteringAListOfTheShownWindowFocusesIt) {
  Form->Show();
  Screen->SetActiveForm(Form.get());
  Form->ToolBar2Click(Form.get());
  EXPECT_EQ(Form->GetCurrentList(), Form->ListBox2);
  EXPECT_EQ(Form->ActiveControl(), Form->ListBox2);
  // The focus reaching the other list enters it as well.
  Form->ListBox1->SetFocus();
  Form->ListBoxEnter(Form->ListBox1);
  EXPECT_EQ(Form->GetCurrentList(), Form->ListBox1);
  EXPECT_EQ(Form->FListCaption, "Left List");
  EXPECT_TRUE(Form->ToolButtonFocus1->Down());
}

// ---- Status line

TEST_F(PictureListTest, StatusLineCountsTheLeftListAndTurnsRedOnFailure) {
  for (int i = 0; i < 10; ++i) Fill(*Form->ListBox1, {"/p/l" + std::to_string(i) + ".bmp"});
  for (int i = 0; i < 6; ++i) Fill(*Form->ListBox2, {"/p/r" + std::to_string(i) + ".bmp"});
  TStatusBar& bar = *Form->StatusBar1;

  Form->ShowProgress(4, "/p/r4.bmp", Form->ListBox2, true);
  EXPECT_EQ(bar.Panels(0).Text(), "5/10");
  EXPECT_EQ(bar.Panels(1).Text(), "");
  EXPECT_EQ(bar.Panels(2).Text(), "/p/r4.bmp");
  EXPECT_EQ(bar.Font.Color, clBlack);
  EXPECT_FALSE(bar.Font.Italic);

  Form->ShowProgress(-3, "Loading Error: /p/l3.bmp", Form->ListBox1, false);
  EXPECT_EQ(bar.Panels(0).Text(), "3");
  EXPECT_EQ(bar.Panels(2).Text(), "Loading Error: /p/l3.bmp");
  EXPECT_EQ(bar.Font.Color, kRed);
  EXPECT_TRUE(bar.Font.Italic);

  // Back to black and regular.
  Form->ShowProgress(0, "/p/l0.bmp", Form->ListBox1, true);
  EXPECT_EQ(bar.Panels(0).Text(), "1/10");
  EXPECT_EQ(bar.Font.Color, clBlack);
  EXPECT_FALSE(bar.Font.Italic);

  // An index past the entry's list is a failure even when called as a success; the counter shows
  // only while the left list is longer than the index.
  Form->ShowProgress(6, "x", Form->ListBox2, true);
  EXPECT_EQ(bar.Panels(0).Text(), "6");
  EXPECT_TRUE(bar.Font.Italic);
  Form->ShowProgress(10, "y", Form->ListBox1, true);
  EXPECT_EQ(bar.Panels(0).Text(), "");
  EXPECT_EQ(bar.Panels(2).Text(), "y");
  Form->ShowProgress(INT_MIN, "z", Form->ListBox1, false);
  EXPECT_EQ(bar.Panels(0).Text(), "");
}

// ---- Marks and owner drawing

TEST_F(PictureListTest, MarkingAndOwnerDrawingFollowTheEntryState) {
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {"/night/one.bmp", "/night/two.bmp", "/night/three.bmp"});
  Form->MarkEntryFailed(0, &list);
  list.SetChecked(1, false);
  EXPECT_EQ(Marks(list), "DUC");
  Form->MarkEntryGood(0, &list);
  EXPECT_EQ(Marks(list), "CUC");
  Form->MarkEntryFailed(2, &list);

  QImage image(160, 16, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  TControlCanvas& canvas = list.Canvas();
  canvas.SetPainter(&painter);
  canvas.Brush.Color = clWhite;
  const TRect rect = Rect(0, 0, 160, 16);

  Form->ListBoxDrawItem(&list, 2, rect, 0);
  EXPECT_EQ(canvas.Font.Color, kRed);
  EXPECT_TRUE(canvas.Font.Italic);
  Form->ListBoxDrawItem(&list, 1, rect, 0);
  EXPECT_EQ(canvas.Font.Color, kBlue);
  EXPECT_TRUE(canvas.Font.Italic);
  canvas.Font.Bold = true;
  Form->ListBoxDrawItem(&list, 0, rect, 0);
  EXPECT_EQ(canvas.Font.Color, clBlack);
  EXPECT_FALSE(canvas.Font.Italic);
  EXPECT_FALSE(canvas.Font.Bold);
  canvas.SetPainter(nullptr);
  painter.end();

  // The last line drawn (the checked one) is black text on the brush, starting past the 2-pixel inset.
  bool dark = false;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 100) dark = true;
  EXPECT_TRUE(dark);
  for (int y = 0; y < image.height(); ++y) EXPECT_EQ(image.pixel(0, y), qRgb(255, 255, 255));
}

// ---- The check and selection family

struct FamilyCase {
  const char* Name;
  void (TFormMain::*Command)(TObject*);
  const char* After;
};

TEST_F(PictureListTest, CheckAndSelectionFamilyActOnTheCurrentList) {
  // Entries: enabled/disabled x selected/not x checked/not (a disabled entry may carry a check mark
  // set by hand here, to show what each command does with it).
  const FamilyCase cases[] = {
      {"CheckAll", &TFormMain::CheckAllClick, "CCUUCCUU|ssss----"},
      {"UncheckAll", &TFormMain::UncheckAllClick, "UUUUUUUU|ssss----"},
      {"InvertCheckAll", &TFormMain::InvertCheckAllClick, "UCCUUCCU|ssss----"},
      {"CheckSelection", &TFormMain::CheckSelectionClick, "CCCUCUCU|ssss----"},
      {"UncheckSelection", &TFormMain::UncheckSelectionClick, "UUUUCUCU|ssss----"},
      {"InvertCheckSelection", &TFormMain::InvertCheckSelectionClick, "UCCUCUCU|ssss----"},
      {"Selectall", &TFormMain::SelectallClick, "CUCUCUCU|ssssssss"},
      {"UnselectAll", &TFormMain::UnselectAllClick, "CUCUCUCU|--------"},
      {"InvertSelectAll", &TFormMain::InvertSelectAllClick, "CUCUCUCU|----ssss"},
  };
  for (const FamilyCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Form->ToolBar2Click(Form.get());
    TCheckListBox& list = *Form->ListBox2;
    list.Clear();
    for (int i = 0; i < 8; ++i) {
      list.Items().Add("/p/" + std::to_string(i) + ".bmp");
      list.SetChecked(i, i % 2 == 0);
      list.SetSelected(i, i < 4);
    }
    list.SetItemEnabled(2, false);
    list.SetItemEnabled(3, false);
    list.SetItemEnabled(6, false);
    list.SetItemEnabled(7, false);
    list.SetItemIndex(5);
    (Form.get()->*c.Command)(Form.get());
    std::string after;
    for (int i = 0; i < 8; ++i) after += list.Checked(i) ? 'C' : 'U';
    after += '|';
    for (int i = 0; i < 8; ++i) after += list.Selected(i) ? 's' : '-';
    EXPECT_EQ(after, c.After);
    EXPECT_EQ(list.ItemIndex(), 5);
    // The left list is never touched.
    EXPECT_EQ(Form->ListBox1->Count(), 0);
  }
}

TEST_F(PictureListTest, FamilyWithoutACurrentListDoesNothing) {
  Form->FCurrentList = nullptr;
  Form->CheckAllClick(Form.get());
  Form->InvertSelectAllClick(Form.get());
  Form->Sendtobottom1Click(Form.get());
  Form->ClearList1Click(Form.get());
  EXPECT_EQ(Form->GetCurrentList(), nullptr);
}

// ---- Clearing and its confirmations

TEST_F(PictureListTest, ClearAllAsksUnderTheCurrentListsCaption) {
  Form->ToolBar1Click(Form.get());
  // An empty list is cleared without a question.
  Form->Clearlist1->Click();
  EXPECT_TRUE(Script().Asked().empty());

  Fill(*Form->ListBox1, {"/p/a.bmp", "/p/b.bmp"});
  Script().AnswerMessageBox(IDCANCEL, "Clear List?");
  Form->ClearList1Click(Form.get());
  EXPECT_EQ(Form->ListBox1->Count(), 2);
  ASSERT_EQ(Script().Asked().size(), 1u);
  EXPECT_EQ(Script().Asked()[0].Caption, "Left List");
  EXPECT_EQ(Script().Asked()[0].Flags & MB_BUTTONS_MASK, MB_OKCANCEL);

  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->ClearList1Click(Form.get());
  EXPECT_EQ(Form->ListBox1->Count(), 0);
  EXPECT_TRUE(Form->ListBox1->MultiSelect());
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), "Empty List");

  Form->ToolBar2Click(Form.get());
  Fill(*Form->ListBox2, {"/p/c.bmp"});
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->ClearList1Click(Form.get());
  EXPECT_EQ(Form->ListBox2->Count(), 0);
  EXPECT_EQ(Script().Asked().back().Caption, "Right List");

  // Only while the main window is active.
  Fill(*Form->ListBox2, {"/p/c.bmp"});
  Screen->SetActiveForm(nullptr);
  Form->ClearList1Click(Form.get());
  EXPECT_EQ(Form->ListBox2->Count(), 1);
}

TEST_F(PictureListTest, ClearingTheRightListAlwaysUsesTheRightCaption) {
  Form->ToolBar1Click(Form.get());
  Form->ClearRightList();  // empty: no question
  Fill(*Form->ListBox2, {"/p/a.bmp"});
  Script().AnswerMessageBox(IDCANCEL, "Clear List?");
  Form->ClearRightList();
  EXPECT_EQ(Form->ListBox2->Count(), 1);
  // Asked from another window (the search window's button) it still works.
  Screen->SetActiveForm(nullptr);
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->ClearRightList();
  EXPECT_EQ(Form->ListBox2->Count(), 0);
  for (const TAskedQuestion& asked : Script().Asked()) EXPECT_EQ(asked.Caption, "Right List");
}

TEST_F(PictureListTest, ClearSelectionDeletesTheSelectedEntriesOnOk) {
  Form->ToolBar1Click(Form.get());
  // Nothing to ask about in an empty list.
  Form->ClearSelection1Click(Form.get());
  EXPECT_TRUE(Script().Asked().empty());

  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {"/p/c.bmp", "/p/a.bmp", "/p/d.bmp", "/p/b.bmp"});
  list.SetSorted(true);  // a, b, c, d
  list.SetSelected(1, true);
  list.SetSelected(3, true);
  Script().AnswerMessageBox(IDCANCEL, "Clear Selection");
  Form->ClearSelection1Click(Form.get());
  EXPECT_EQ(list.Count(), 4);
  EXPECT_TRUE(list.Sorted());

  Script().AnswerMessageBox(IDOK, "Clear Selection");
  Form->ToolButtonDelete1->Click();
  EXPECT_EQ(Paths(list), (Strings{"/p/a.bmp", "/p/c.bmp"}));
  EXPECT_FALSE(list.Sorted());
  EXPECT_EQ(Script().Asked().back().Caption, "Left List");

  // The right bar's button works on the right list.
  Fill(*Form->ListBox2, {"/p/x.bmp", "/p/y.bmp"});
  Form->ListBox2->SetSelected(0, true);
  Script().AnswerMessageBox(IDOK, "Clear Selection");
  Form->ToolButtonDelete2->Click();
  EXPECT_EQ(Paths(*Form->ListBox2), (Strings{"/p/y.bmp"}));
  EXPECT_EQ(Script().Asked().back().Caption, "Right List");
  EXPECT_EQ(list.Count(), 2);
}

// ---- Moving

TEST_F(PictureListTest, UpAndDownWrapAroundAndCarryTheMarks) {
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {"A", "B", "C"});
  list.SetChecked(0, false);  // A unchecked
  list.SetItemEnabled(2, false);
  list.SetChecked(2, false);  // C failed
  list.SetSelected(0, true);
  list.SetSorted(true);

  list.SetItemIndex(0);
  Form->ToolButtonUp1->Click();
  EXPECT_EQ(Paths(list), (Strings{"B", "C", "A"}));
  EXPECT_EQ(Marks(list), "CDu");
  EXPECT_EQ(list.ItemIndex(), 2);
  EXPECT_FALSE(list.Sorted());
  EXPECT_EQ(Form->GetCurrentList(), &list);

  Form->ToolButtonUp1->Click();  // A and C exchange
  EXPECT_EQ(Paths(list), (Strings{"B", "A", "C"}));
  EXPECT_EQ(Marks(list), "CuD");
  EXPECT_EQ(list.ItemIndex(), 1);

  Form->ToolButtonDown1->Click();
  EXPECT_EQ(Paths(list), (Strings{"B", "C", "A"}));
  EXPECT_EQ(list.ItemIndex(), 2);
  Form->ToolButtonDown1->Click();  // from the bottom to the top
  EXPECT_EQ(Paths(list), (Strings{"A", "B", "C"}));
  EXPECT_EQ(Marks(list), "uCD");
  EXPECT_EQ(list.ItemIndex(), 0);

  // Down with nothing highlighted moves nothing; Up then sends the first entry to the end.
  list.SetItemIndex(-1);
  Form->ToolButtonDown1->Click();
  EXPECT_EQ(Paths(list), (Strings{"A", "B", "C"}));
  Form->ToolButtonUp1->Click();
  EXPECT_EQ(Paths(list), (Strings{"B", "C", "A"}));
  EXPECT_EQ(list.ItemIndex(), 2);
}

TEST_F(PictureListTest, DownOnTheLastEntryAndSendToBottom) {
  TCheckListBox& right = *Form->ListBox2;
  Fill(right, {"A", "B", "C"});
  right.SetItemIndex(2);
  Form->ToolButtonDown2->Click();
  EXPECT_EQ(Paths(right), (Strings{"C", "A", "B"}));
  EXPECT_EQ(right.ItemIndex(), 0);
  EXPECT_EQ(Form->GetCurrentList(), &right);
  Form->ToolButtonUp2->Click();
  EXPECT_EQ(Paths(right), (Strings{"A", "B", "C"}));
  EXPECT_EQ(right.ItemIndex(), 2);

  right.SetItemIndex(0);
  right.SetChecked(0, false);
  Form->Sendtobottom1Click(Form.get());
  EXPECT_EQ(Paths(right), (Strings{"B", "C", "A"}));
  EXPECT_EQ(Marks(right), "CCU");
  EXPECT_EQ(right.ItemIndex(), 2);

  // A single entry, or nothing highlighted, stays where it is.
  right.SetItemIndex(-1);
  Form->Sendtobottom1Click(Form.get());
  EXPECT_EQ(Paths(right), (Strings{"B", "C", "A"}));
  TCheckListBox& left = *Form->ListBox1;
  Fill(left, {"Z"});
  left.SetItemIndex(0);
  Form->ToolButtonUp1->Click();
  Form->ToolButtonDown1->Click();
  EXPECT_EQ(Paths(left), (Strings{"Z"}));
  EXPECT_EQ(left.ItemIndex(), 0);
}

// ---- Sorting

TEST_F(PictureListTest, SortItemsSwitchTheirListsSorting) {
  Fill(*Form->ListBox1, {"/p/c", "/p/a", "/p/b"});
  Fill(*Form->ListBox2, {"/p/z", "/p/y"});
  Form->SortList1->Click();
  EXPECT_TRUE(Form->ListBox1->Sorted());
  EXPECT_EQ(Paths(*Form->ListBox1), (Strings{"/p/a", "/p/b", "/p/c"}));
  Form->SortList1->Click();
  EXPECT_FALSE(Form->ListBox1->Sorted());

  Form->SortList2->Click();
  EXPECT_TRUE(Form->ListBox2->Sorted());
  EXPECT_TRUE(Form->SortList2->Checked());
  EXPECT_EQ(Paths(*Form->ListBox2), (Strings{"/p/y", "/p/z"}));
  // Opening the Options menu reads the marks back from the lists; the next choice switches it off.
  Form->Options1Click(Form.get());
  EXPECT_TRUE(Form->SortList2->Checked());
  Form->SortList2->Click();
  EXPECT_FALSE(Form->ListBox2->Sorted());
  EXPECT_FALSE(Form->SortList2->Checked());
}

// ---- Copying and swapping

TEST_F(PictureListTest, CopyFromTheRightListAppendsTheSelectionWithItsMarks) {
  TCheckListBox& left = *Form->ListBox1;
  TCheckListBox& right = *Form->ListBox2;
  Fill(left, {"/l/0.bmp"});
  Fill(right, {"/r/0.bmp", "/r/1.bmp", "/r/2.bmp", "/r/3.bmp", "/r/4.bmp"});
  right.SetSelected(2, true);
  right.SetSelected(4, true);
  right.SetItemEnabled(4, false);
  right.SetChecked(4, false);
  right.SetChecked(3, false);
  Form->ToolButtonCopyList1->Click();
  EXPECT_EQ(Paths(left), (Strings{"/l/0.bmp", "/r/2.bmp", "/r/4.bmp"}));
  EXPECT_EQ(Marks(left), "CCD");
  EXPECT_EQ(Form->GetCurrentList(), &left);
  EXPECT_EQ(right.Count(), 5);
}

TEST_F(PictureListTest, CopyIntoASortedListMarksTheCopiedEntries) {
  TCheckListBox& left = *Form->ListBox1;
  TCheckListBox& right = *Form->ListBox2;
  Fill(left, {"/p/b.bmp", "/p/d.bmp"});
  Fill(right, {"/p/d.bmp", "/p/z.bmp"});
  Form->SortList2->Click();
  ASSERT_TRUE(right.Sorted());
  left.SetSelected(0, true);
  left.SetSelected(1, true);
  left.SetItemEnabled(0, false);
  left.SetChecked(0, false);
  Form->ToolButtonCopyList2->Click();
  // Sorted, the copies would have gone between the old entries and the marks onto /p/z.bmp.
  EXPECT_EQ(Paths(right), (Strings{"/p/d.bmp", "/p/z.bmp", "/p/b.bmp", "/p/d.bmp"}));
  EXPECT_EQ(Marks(right), "CCDC");
  EXPECT_FALSE(right.Sorted());
  EXPECT_EQ(Form->GetCurrentList(), &right);
}

TEST_F(PictureListTest, SwapExchangesTheListsWithTheirMarks) {
  TCheckListBox& left = *Form->ListBox1;
  TCheckListBox& right = *Form->ListBox2;
  Fill(left, {"/l/0.bmp", "/l/1.bmp", "/l/2.bmp"});
  left.SetChecked(1, false);
  left.SetItemEnabled(2, false);
  left.SetChecked(2, false);
  Fill(right, {"/r/0.bmp"});
  right.SetItemEnabled(0, false);
  right.SetChecked(0, false);
  left.SetSorted(true);
  Form->ToolBar1Click(Form.get());
  Form->ToolButtonSwap->Click();
  EXPECT_EQ(Paths(left), (Strings{"/r/0.bmp"}));
  EXPECT_EQ(Marks(left), "D");
  EXPECT_EQ(Paths(right), (Strings{"/l/0.bmp", "/l/1.bmp", "/l/2.bmp"}));
  EXPECT_EQ(Marks(right), "CUD");
  EXPECT_EQ(Form->GetCurrentList(), &right);

  Form->ToolButtonSwap->Click();
  EXPECT_EQ(Marks(left), "CUD");
  EXPECT_EQ(Marks(right), "D");
  EXPECT_EQ(Form->GetCurrentList(), &left);
}

// ---- Adding files

TEST_F(PictureListTest, NewListAddsTheChosenFilesCheckedAndShowsTheFirst) {
  const std::string a = WritePicture("a.bmp", 8, 6);
  const std::string b = WritePicture("b.bmp", 8, 6);
  Form->ToolBar2Click(Form.get());
  Form->ListBox1->SetSorted(true);
  Script().AnswerOpenFile({b, a});
  Form->NewList1->Click();
  const TAskedQuestion& asked = Script().Asked().at(0);
  EXPECT_EQ(asked.Kind, TDialogKind::OpenFile);
  EXPECT_EQ(asked.Caption, TPicture::GraphicFilter(TGraphic::StaticClass()));
  EXPECT_NE(asked.Caption.find("*.bmp"), std::string::npos);
  EXPECT_NE(asked.Caption.find("*.jpg"), std::string::npos);
  EXPECT_TRUE(Script().LastFileRequest().MultiSelect);
  EXPECT_EQ(Form->OpenDialog1->DefaultExt, "bmp");

  TCheckListBox& list = *Form->ListBox1;
  EXPECT_EQ(Form->GetCurrentList(), &list);
  EXPECT_FALSE(list.Sorted());
  EXPECT_EQ(Paths(list), (Strings{b, a}));  // in the dialog's order
  EXPECT_EQ(Marks(list), "cC");
  EXPECT_EQ(list.ItemIndex(), 0);
  // The first entry was previewed before it was highlighted: the status shows the empty highlight.
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), "Empty List");

  // A second list: Cancel on "Clear List?" keeps the old entries and appends the new ones.
  Script().AnswerOpenFile({a});
  Script().AnswerMessageBox(IDCANCEL, "Clear List?");
  Form->NewList1Click(Form.get());
  EXPECT_EQ(Paths(list), (Strings{b, a, a}));
  EXPECT_EQ(Form->StatusBar1->Panels(0).Text(), "1/3");
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), b);

  // OK replaces them.
  Script().AnswerOpenFile({a});
  Script().AnswerMessageBox(IDOK, "Clear List?");
  Form->NewList1Click(Form.get());
  EXPECT_EQ(Paths(list), (Strings{a}));

  // A cancelled dialog changes nothing.
  Script().AnswerOpenFile({});
  Form->NewList1Click(Form.get());
  EXPECT_EQ(Paths(list), (Strings{a}));
}

TEST_F(PictureListTest, RedirectKeepsTheNamesAndTestsTheNewFolder) {
  const std::string moved = (Temp.Path() / "moved").string();
  std::filesystem::create_directory(moved);
  const std::string first = WritePicture("moved/one.bmp", 5, 4);
  WritePicture("moved/two.bmp", 5, 4);
  Form->ToolBar1Click(Form.get());
  TCheckListBox& list = *Form->ListBox1;
  Fill(list, {"/old/place/one.bmp", "/elsewhere/two.bmp", "/old/three.bmp"});
  list.SetItemIndex(0);
  list.SetSelected(1, true);
  list.SetChecked(1, false);

  // A cancelled folder dialog changes nothing.
  Script().AnswerSelectFolder("");
  Form->Redirect1->Click();
  EXPECT_EQ(list.Items()[0], "/old/place/one.bmp");

  Script().AnswerSelectFolder(moved);
  Script().AnswerMessageBox(IDOK, "1 Files in Error");
  Form->Redirect1Click(Form.get());
  EXPECT_EQ(Paths(list), (Strings{moved + "/one.bmp", moved + "/two.bmp", moved + "/three.bmp"}));
  // Tested: the two pictures that are there are checked again, the missing one failed.
  EXPECT_EQ(Marks(list), "CcD");
  EXPECT_EQ(Script().Asked().back().Caption, "Test Pictures");
  // Then the highlighted entry is shown.
  EXPECT_EQ(Form->StatusBar1->Panels(2).Text(), first);
  EXPECT_EQ(Form->Image1->ShownBitmap()->Width(), 5);
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

}  // namespace
