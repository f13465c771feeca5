// The main window's components, tool buttons, menu and the binding of every handler.
#include <QApplication>
#include <QStyle>

#include "workbench/form_layout.h"
#include "workbench/umain.h"

TFormMain* FormMain = nullptr;

namespace {

QIcon StandardIcon(QStyle::StandardPixmap pixmap) {
  return QApplication::style()->standardIcon(pixmap);
}

// Glyph indices of ImageList1.
enum Glyph {
  kGlyphOpen,
  kGlyphDelete,
  kGlyphCopy,
  kGlyphUp,
  kGlyphDown,
  kGlyphFocus,
  kGlyphSwap,
  kGlyphAbort,
  kGlyphSave,
  kGlyphFlyOver,
  kGlyphResult,
  kGlyphStretch,
  kGlyphComputer,
  kGlyphFolder,
  kGlyphQuit,
  kGlyphAbout,
};

TToolButton* NewButton(TComponent* owner, TToolBar* bar, const char* name, int glyph,
                       TToolButtonStyle style = TToolButtonStyle::tbsButton) {
  auto* button = new TToolButton(owner, bar);
  button->SetName(name);
  button->SetStyle(style);
  button->SetImageIndex(glyph);
  return button;
}

TToolButton* NewSeparator(TComponent* owner, TToolBar* bar, const char* name) {
  return NewButton(owner, bar, name, -1, TToolButtonStyle::tbsSeparator);
}

TPanel* NewPanel(TComponent* owner, TControl* parent, const char* name, TAlign align, int left, int width) {
  auto* panel = new TPanel(owner, parent);
  panel->SetName(name);
  panel->SetBevelOuter(TBevelCut::bvNone);
  panel->SetBounds(left, 0, width, 300);
  panel->SetAlign(align);
  return panel;
}

TCheckListBox* NewList(TComponent* owner, TControl* parent, const char* name) {
  auto* list = new TCheckListBox(owner, parent);
  list->SetName(name);
  list->SetAlign(TAlign::alClient);
  list->SetItemHeight(16);
  list->SetMultiSelect(true);
  return list;
}

}  // namespace

TFormMain::TFormMain(TComponent* owner) : TMainWindowForm(owner) {
  SetName("FormMain");
  resize(781, 387);
  DisableAlign();
  CreateComponents();
  CreateToolBars();
  EnableAlign();
  CreateMenu();
  BindHandlers();
}

TFormMain::~TFormMain() = default;

void TFormMain::CreateComponents() {
  // Direct children in their window order; their places on screen come from their alignment and left.
  Splitter1 = new TSplitter(this, this);
  Splitter1->SetName("Splitter1");
  Splitter1->SetBounds(177, 0, 3, 300);
  Splitter1->SetAlign(TAlign::alLeft);
  Splitter2 = new TSplitter(this, this);
  Splitter2->SetName("Splitter2");
  Splitter2->SetBounds(357, 0, 3, 300);
  Splitter2->SetAlign(TAlign::alLeft);
  Panel1 = NewPanel(this, this, "Panel1", TAlign::alLeft, 0, 177);
  Panel2 = NewPanel(this, this, "Panel2", TAlign::alLeft, 180, 177);
  Panel3 = NewPanel(this, this, "Panel3", TAlign::alClient, 360, 400);
  StatusBar1 = new TStatusBar(this, this);
  StatusBar1->SetName("StatusBar1");
  StatusBar1->SetHeight(19);
  StatusBar1->SetAlign(TAlign::alBottom);
  StatusBar1->AddPanel().SetWidth(200);
  StatusBar1->AddPanel().SetWidth(300);
  StatusBar1->AddPanel().SetWidth(50);

  ImageList1 = new TImageList(this);
  ImageList1->SetName("ImageList1");
  for (QStyle::StandardPixmap pixmap :
       {QStyle::SP_DialogOpenButton, QStyle::SP_TrashIcon, QStyle::SP_FileLinkIcon, QStyle::SP_ArrowUp,
        QStyle::SP_ArrowDown, QStyle::SP_DialogApplyButton, QStyle::SP_BrowserReload, QStyle::SP_MediaPause,
        QStyle::SP_DialogSaveButton, QStyle::SP_ArrowRight, QStyle::SP_FileDialogContentsView,
        QStyle::SP_TitleBarMaxButton, QStyle::SP_ComputerIcon, QStyle::SP_DirOpenIcon,
        QStyle::SP_DialogCloseButton, QStyle::SP_MessageBoxInformation})
    ImageList1->Add(StandardIcon(pixmap));

  OpenDialog1 = new TOpenDialog(this);
  OpenDialog1->SetName("OpenDialog1");
  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->SetName("SaveDialog1");
}

void TFormMain::CreateToolBars() {
  // The left list.
  ToolBar1 = new TToolBar(this, Panel1);
  ToolBar1->SetName("ToolBar1");
  ToolBar1->SetAlign(TAlign::alTop);
  ToolBar1->SetImages(ImageList1);
  ToolButtonOpen1 = NewButton(this, ToolBar1, "ToolButtonOpen1", kGlyphOpen);
  ToolButtonOpen1->SetCaption("New list...");
  ToolButtonOpen1->SetHint("New list...");
  ToolButton5 = NewSeparator(this, ToolBar1, "ToolButton5");
  ToolButtonDelete1 = NewButton(this, ToolBar1, "ToolButtonDelete1", kGlyphDelete);
  ToolButtonDelete1->SetCaption("Clear highLighted");
  ToolButtonDelete1->SetHint("Clear highLighted");
  ToolButton3 = NewSeparator(this, ToolBar1, "ToolButton3");
  ToolButtonCopyList1 = NewButton(this, ToolBar1, "ToolButtonCopyList1", kGlyphCopy);
  ToolButton4 = NewSeparator(this, ToolBar1, "ToolButton4");
  ToolButtonUp1 = NewButton(this, ToolBar1, "ToolButtonUp1", kGlyphUp);
  ToolButtonDown1 = NewButton(this, ToolBar1, "ToolButtonDown1", kGlyphDown);
  ToolButton2 = NewSeparator(this, ToolBar1, "ToolButton2");
  ToolButtonFocus1 = NewButton(this, ToolBar1, "ToolButtonFocus1", kGlyphFocus, TToolButtonStyle::tbsCheck);
  ListBox1 = NewList(this, Panel1, "ListBox1");

  // The right list.
  ToolBar2 = new TToolBar(this, Panel2);
  ToolBar2->SetName("ToolBar2");
  ToolBar2->SetAlign(TAlign::alTop);
  ToolBar2->SetImages(ImageList1);
  ToolButtonSwap = NewButton(this, ToolBar2, "ToolButtonSwap", kGlyphSwap);
  ToolButton11 = NewSeparator(this, ToolBar2, "ToolButton11");
  ToolButtonDelete2 = NewButton(this, ToolBar2, "ToolButtonDelete2", kGlyphDelete);
  ToolButtonDelete2->SetCaption("Clear highLighted");
  ToolButtonDelete2->SetHint("Clear highLighted");
  ToolButton10 = NewSeparator(this, ToolBar2, "ToolButton10");
  ToolButtonCopyList2 = NewButton(this, ToolBar2, "ToolButtonCopyList2", kGlyphCopy);
  ToolButton6 = NewSeparator(this, ToolBar2, "ToolButton6");
  ToolButtonUp2 = NewButton(this, ToolBar2, "ToolButtonUp2", kGlyphUp);
  ToolButtonDown2 = NewButton(this, ToolBar2, "ToolButtonDown2", kGlyphDown);
  ToolButton8 = NewSeparator(this, ToolBar2, "ToolButton8");
  ToolButtonFocus2 = NewButton(this, ToolBar2, "ToolButtonFocus2", kGlyphFocus, TToolButtonStyle::tbsCheck);
  ListBox2 = NewList(this, Panel2, "ListBox2");

  // Runs and the view.
  ToolBar3 = new TToolBar(this, Panel3);
  ToolBar3->SetName("ToolBar3");
  ToolBar3->SetAlign(TAlign::alTop);
  ToolBar3->SetImages(ImageList1);
  ToolBar3->SetIndent(5);
  ToolButtonAbort = NewButton(this, ToolBar3, "ToolButtonAbort", kGlyphAbort);
  ToolButton12 = NewSeparator(this, ToolBar3, "ToolButton12");
  ToolButtonSave = NewButton(this, ToolBar3, "ToolButtonSave", kGlyphSave);
  ToolButtonSave->SetHint("Save Result as...");
  EnableFlyOverMouse2 =
      NewButton(this, ToolBar3, "EnableFlyOverMouse2", kGlyphFlyOver, TToolButtonStyle::tbsCheck);
  EnableFlyOverMouse2->AllowAllUp = true;
  ToolButton1 = NewButton(this, ToolBar3, "ToolButton1", kGlyphResult, TToolButtonStyle::tbsCheck);
  ToolButton1->SetHint("Show Result...");
  ToolButton7 = NewButton(this, ToolBar3, "ToolButton7", kGlyphStretch, TToolButtonStyle::tbsCheck);
  ToolButton7->SetDown(true);
  TrackBar1 = new TTrackBar(this, ToolBar3);
  TrackBar1->SetName("TrackBar1");
  TrackBar1->SetBounds(0, 0, 150, 22);
  TrackBar1->SetRange(1, 100);
  TrackBar1->SetPosition(50);
  TrackBar1->SetFrequency(1);
  TrackBar1->SetVisible(false);
  TrackBar1->SetEnabled(false);
  Label100 = new TLabel(this, ToolBar3);
  Label100->SetName("Label100");
  Label100->SetCaption(" Z = 50% ");
  Label100->SetVisible(false);
  Label100->SetEnabled(false);
  ToolButton9 = NewButton(this, ToolBar3, "ToolButton9", kGlyphComputer);

  ScrollBox1 = new TScrollBox(this, Panel3);
  ScrollBox1->SetName("ScrollBox1");
  ScrollBox1->SetAlign(TAlign::alClient);
  Image1 = new tFlyImage(this, ScrollBox1);
  Image1->SetName("Image1");
  Image1->SetBounds(0, 0, 105, 105);
}

void TFormMain::CreateMenu() {
  MainMenu1 = new TMainMenu(this);
  MainMenu1->SetName("MainMenu1");
  MainMenu1->Images = ImageList1;
  TMenuItem* bar = MainMenu1->Items();

  Fichier1 = AddMenuItem(this, bar, "Fichier1", "Files");
  NewDirectory1 =
      AddMenuItem(this, Fichier1, "NewDirectory1", "New list (Mask Directory)...", ShortCut('F', ssCtrl));
  NewDirectory1->SetImageIndex(kGlyphFolder);
  NewList1 =
      AddMenuItem(this, Fichier1, "NewList1", "New list (Standard Explorer)...", ShortCut('N', ssCtrl));
  NewList1->SetImageIndex(kGlyphOpen);
  LoadList1 = AddMenuItem(this, Fichier1, "LoadList1", "Load Current List...");
  SaveList1 = AddMenuItem(this, Fichier1, "SaveList1", "Save Current List...");
  ViewResult1 = AddMenuItem(this, Fichier1, "ViewResult1", "Show Result...");
  ViewResult1->SetRadioItem(true);
  ViewResult1->SetImageIndex(kGlyphResult);
  ClearResult1 = AddMenuItem(this, Fichier1, "ClearResult1", "Clear Result");
  SaveResult1 = AddMenuItem(this, Fichier1, "SaveResult1", "Save Result as...", ShortCut('S', ssCtrl));
  SaveResult1->SetImageIndex(kGlyphSave);
  Quit1 = AddMenuItem(this, Fichier1, "Quit1", "Quit..", ShortCut('Q', ssCtrl));
  Quit1->SetImageIndex(kGlyphQuit);

  Edit1 = AddMenuItem(this, bar, "Edit1", "Current List", ShortCut('K', ssCtrl));
  Testvalidpictures1 = AddMenuItem(this, Edit1, "Testvalidpictures1", "Test if files are valid pictures...",
                                   ShortCut('T', ssCtrl));
  Redirect1 = AddMenuItem(this, Edit1, "Redirect1", "Redirect...");
  Redirect1->SetHint("Change Current List Directory");
  CheckSelection = AddMenuItem(this, Edit1, "CheckSelection", "Check Selection", ShortCut('J', ssCtrl));
  UncheckSelection = AddMenuItem(this, Edit1, "UncheckSelection", "Uncheck Selection", ShortCut('U', ssCtrl));
  InvertCheckSelection =
      AddMenuItem(this, Edit1, "InvertCheckSelection", "Invert Check Selection", ShortCut('I', ssCtrl));
  CheckAll = AddMenuItem(this, Edit1, "CheckAll", "Check All", ShortCut('J', ssCtrl | ssAlt));
  UncheckAll = AddMenuItem(this, Edit1, "UncheckAll", "Uncheck All", ShortCut('U', ssCtrl | ssAlt));
  InvertCheckAll =
      AddMenuItem(this, Edit1, "InvertCheckAll", "Invert Check All", ShortCut('I', ssCtrl | ssAlt));
  ClearSelection1 = AddMenuItem(this, Edit1, "ClearSelection1", "Clear Selection...", ShortCut(VK_DELETE, 0));
  Clearlist1 = AddMenuItem(this, Edit1, "Clearlist1", "Clear all...", ShortCut(VK_DELETE, ssShift));
  Selectall = AddMenuItem(this, Edit1, "Selectall", "Select all", ShortCut('A', ssCtrl));
  UnselectAll = AddMenuItem(this, Edit1, "UnselectAll", "Unselect all");
  InvertSelectAll = AddMenuItem(this, Edit1, "InvertSelectAll", "Invert select all");
  Sendtobottom1 = AddMenuItem(this, Edit1, "Sendtobottom1", "Send current filename to end of list",
                              ShortCut('E', ssCtrl));

  Process1 = AddMenuItem(this, bar, "Process1", "Process (Left Column)");
  StackBuffer1 = AddMenuItem(this, Process1, "StackBuffer1", "Processing...");
  GetMAX1 = AddMenuItem(this, StackBuffer1, "GetMAX1", "Zentor..");
  GetMaxandSave1 = AddMenuItem(this, StackBuffer1, "GetMaxandSave1", "Zentor and Save steps...");
  GetMAxThreshold1 = AddMenuItem(this, StackBuffer1, "GetMAxThreshold1", "ZentorThreshold..");
  GetMaxTrhesholdandSave1 =
      AddMenuItem(this, StackBuffer1, "GetMaxTrhesholdandSave1", "ZentorThreshold and Save steps...");
  Getmin1 = AddMenuItem(this, StackBuffer1, "Getmin1", "AddMin..");
  GetMinAndSave1 = AddMenuItem(this, StackBuffer1, "GetMinAndSave1", "AddMin and Save steps...");
  GetMaxGray1 = AddMenuItem(this, StackBuffer1, "GetMaxGray1", "ZentorLum..");
  GetMaxGrayandSavesteps1 =
      AddMenuItem(this, StackBuffer1, "GetMaxGrayandSavesteps1", "ZentorLum and Save steps..");
  GetMinGray1 = AddMenuItem(this, StackBuffer1, "GetMinGray1", "SubMinLum..");
  GetMinGrayandSavesteps1 =
      AddMenuItem(this, StackBuffer1, "GetMinGrayandSavesteps1", "SubMinLum and Save steps..");
  Add1 = AddMenuItem(this, StackBuffer1, "Add1", "Add");
  Sub1 = AddMenuItem(this, StackBuffer1, "Sub1", "Sub");
  Search1 = AddMenuItem(this, Process1, "Search1", "Search / Crop");
  Search2 = AddMenuItem(this, Search1, "Search2", "Search");
  SearchSave1 = AddMenuItem(this, Search1, "SearchSave1", "Search && Save");
  Crop1 = AddMenuItem(this, Search1, "Crop1", "Show && Save");
  CropSave1 = AddMenuItem(this, Search1, "CropSave1", "Crop && Save");
  NewBatchOperations1 = AddMenuItem(this, Process1, "NewBatchOperations1", "Batch Operations...");
  Quorvel1 = AddMenuItem(this, Process1, "Quorvel1", "Quorvel...");
  MaximumSearch1 = AddMenuItem(this, Quorvel1, "MaximumSearch1", "Maximum Search");
  GaussianSubtraction1 = AddMenuItem(this, Quorvel1, "GaussianSubtraction1", "Gaussian Substraction");
  Zentorsavemeteors1 =
      AddMenuItem(this, Quorvel1, "Zentorsavemeteors1", "Zentor / save luminosity events  ?");
  CreateImage1 = AddMenuItem(this, Process1, "CreateImage1", "Create Mask...");

  Options1 = AddMenuItem(this, bar, "Options1", "Options");
  Adapterlimage1 = AddMenuItem(this, Options1, "Adapterlimage1", "Stretch image to window");
  Adapterlimage1->SetAutoCheck(true);
  numformat1 = AddMenuItem(this, Options1, "numformat1", "Format Filename Numbers");
  SortList1 = AddMenuItem(this, Options1, "SortList1", "Sort Left List (ascending)");
  SortList1->SetAutoCheck(true);
  SortList2 = AddMenuItem(this, Options1, "SortList2", "Sort Right List (ascending)");
  EnableFlyOverMouse1 = AddMenuItem(this, Options1, "EnableFlyOverMouse1", "Enable Fly Over Mouse");
  EnableFlyOverMouse1->SetAutoCheck(true);

  Help1 = AddMenuItem(this, bar, "Help1", "Help");
  About1 = AddMenuItem(this, Help1, "About1", "About", ShortCut(VK_F1, 0));
  About1->SetImageIndex(kGlyphAbout);
  Translation1 = AddMenuItem(this, Help1, "Translation1", "Translation");
}

void TFormMain::BindHandlers() {
  OnCreate = Event(this, &TFormMain::FormCreate);
  OnDestroy = Event(this, &TFormMain::FormDestroy);
  OnResize = Event(this, &TFormMain::FormResize);
  // The view fits the scroll box, which also changes size when a list splitter moves or the window's
  // layout settles after the window's own resize event.
  ScrollBox1->OnResize = Event(this, &TFormMain::FormResize);
  OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  OnKeyDown = [this](TObject* sender, Word& key, TShiftState shift) { FormKeyDown(sender, key, shift); };

  Panel1->OnCanResize = [this](TObject* s, int& w, int& h, bool& r) { Panel1CanResize(s, w, h, r); };
  Panel2->OnCanResize = [this](TObject* s, int& w, int& h, bool& r) { Panel2CanResize(s, w, h, r); };
  for (TCheckListBox* list : {ListBox1, ListBox2}) {
    list->OnClick = Event(this, &TFormMain::ListBoxClick);
    list->OnEnter = Event(this, &TFormMain::ListBoxEnter);
    list->OnDrawItem = [this](TCheckListBox* control, int index, const TRect& rect, TOwnerDrawState state) {
      ListBoxDrawItem(control, index, rect, state);
    };
  }

  ToolBar1->OnClick = Event(this, &TFormMain::ToolBar1Click);
  ToolBar2->OnClick = Event(this, &TFormMain::ToolBar2Click);
  ToolButtonOpen1->OnClick = Event(this, &TFormMain::ToolButtonOpen1Click);
  ToolButtonDelete1->OnClick = Event(this, &TFormMain::ClearSelected1Click);
  ToolButtonCopyList1->OnClick = Event(this, &TFormMain::ToolButtonCopyList1Click);
  ToolButtonUp1->OnClick = Event(this, &TFormMain::ToolButtonUp1Click);
  ToolButtonDown1->OnClick = Event(this, &TFormMain::ToolButtonDown1Click);
  ToolButtonFocus1->OnClick = Event(this, &TFormMain::ToolBar1Click);
  ToolButtonSwap->OnClick = Event(this, &TFormMain::ToolButtonSwapClick);
  ToolButtonDelete2->OnClick = Event(this, &TFormMain::ToolButtonDelete2Click);
  ToolButtonCopyList2->OnClick = Event(this, &TFormMain::ToolButtonCopyList2Click);
  ToolButtonUp2->OnClick = Event(this, &TFormMain::ToolButtonUp2Click);
  ToolButtonDown2->OnClick = Event(this, &TFormMain::ToolButtonDown2Click);
  ToolButtonFocus2->OnClick = Event(this, &TFormMain::ToolBar2Click);
  ToolButtonAbort->OnClick = Event(this, &TFormMain::ToolButtonAbortClick);
  ToolButtonSave->SetMenuItem(SaveResult1);
  EnableFlyOverMouse2->OnClick = Event(this, &TFormMain::EnableFlyOverMouse2Click);
  ToolButton1->SetMenuItem(ViewResult1);
  ToolButton7->OnClick = Event(this, &TFormMain::ToolButton7Click);
  TrackBar1->OnChange = Event(this, &TFormMain::TrackBar1Change);
  Label100->OnClick = Event(this, &TFormMain::Label100Click);
  ToolButton9->OnClick = Event(this, &TFormMain::ToolButton9Click);

  NewDirectory1->OnClick = Event(this, &TFormMain::NewDirectory1Click);
  NewList1->OnClick = Event(this, &TFormMain::NewList1Click);
  LoadList1->OnClick = Event(this, &TFormMain::LoadList1Click);
  SaveList1->OnClick = Event(this, &TFormMain::SaveList1Click);
  ViewResult1->OnClick = Event(this, &TFormMain::ViewResult1Click);
  ClearResult1->OnClick = Event(this, &TFormMain::ClearResult1Click);
  SaveResult1->OnClick = Event(this, &TFormMain::SaveResult1Click);
  Quit1->OnClick = Event(this, &TFormMain::Quit1Click);
  Testvalidpictures1->OnClick = Event(this, &TFormMain::Testvalidpictures1Click);
  Redirect1->OnClick = Event(this, &TFormMain::Redirect1Click);
  CheckSelection->OnClick = Event(this, &TFormMain::CheckSelectionClick);
  UncheckSelection->OnClick = Event(this, &TFormMain::UncheckSelectionClick);
  InvertCheckSelection->OnClick = Event(this, &TFormMain::InvertCheckSelectionClick);
  CheckAll->OnClick = Event(this, &TFormMain::CheckAllClick);
  UncheckAll->OnClick = Event(this, &TFormMain::UncheckAllClick);
  InvertCheckAll->OnClick = Event(this, &TFormMain::InvertCheckAllClick);
  ClearSelection1->OnClick = Event(this, &TFormMain::ClearSelection1Click);
  Clearlist1->OnClick = Event(this, &TFormMain::ClearList1Click);
  Selectall->OnClick = Event(this, &TFormMain::SelectallClick);
  UnselectAll->OnClick = Event(this, &TFormMain::UnselectAllClick);
  InvertSelectAll->OnClick = Event(this, &TFormMain::InvertSelectAllClick);
  Sendtobottom1->OnClick = Event(this, &TFormMain::Sendtobottom1Click);
  GetMAX1->OnClick = Event(this, &TFormMain::GetMAX1Click);
  GetMaxandSave1->OnClick = Event(this, &TFormMain::GetMaxandSave1Click);
  GetMAxThreshold1->OnClick = Event(this, &TFormMain::GetMAxThreshold1Click);
  GetMaxTrhesholdandSave1->OnClick = Event(this, &TFormMain::GetMaxTrhesholdandSave1Click);
  Getmin1->OnClick = Event(this, &TFormMain::Getmin1Click);
  GetMinAndSave1->OnClick = Event(this, &TFormMain::GetMinAndSave1Click);
  GetMaxGray1->OnClick = Event(this, &TFormMain::GetMaxGray1Click);
  GetMaxGrayandSavesteps1->OnClick = Event(this, &TFormMain::GetMaxGrayandSavesteps1Click);
  GetMinGray1->OnClick = Event(this, &TFormMain::GetMinGray1Click);
  GetMinGrayandSavesteps1->OnClick = Event(this, &TFormMain::GetMinGrayandSavesteps1Click);
  Add1->OnClick = Event(this, &TFormMain::Add1Click);
  Sub1->OnClick = Event(this, &TFormMain::Sub1Click);
  Search2->OnClick = Event(this, &TFormMain::Search1Click);
  SearchSave1->OnClick = Event(this, &TFormMain::SearchSave1Click);
  Crop1->OnClick = Event(this, &TFormMain::Crop1Click);
  CropSave1->OnClick = Event(this, &TFormMain::CropSave1Click);
  NewBatchOperations1->OnClick = Event(this, &TFormMain::NewBatchOperations1Click);
  MaximumSearch1->OnClick = Event(this, &TFormMain::MaximumSearch1Click);
  CreateImage1->OnClick = Event(this, &TFormMain::CreateImage1Click);
  Options1->OnClick = Event(this, &TFormMain::Options1Click);
  Adapterlimage1->OnClick = Event(this, &TFormMain::Adapterlimage1Click);
  numformat1->OnClick = Event(this, &TFormMain::numformat1Click);
  SortList1->OnClick = Event(this, &TFormMain::SortList1Click);
  SortList2->OnClick = Event(this, &TFormMain::SortList2Click);
  EnableFlyOverMouse1->OnClick = Event(this, &TFormMain::EnableFlyOverMouse1Click);
  About1->OnClick = Event(this, &TFormMain::About1Click);
  Translation1->OnClick = Event(this, &TFormMain::Translation1Click);
}
