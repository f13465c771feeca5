// The browser's components, menus and the binding of every handler.
#include "workbench/uselectdir.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QStyle>

#include "workbench/form_layout.h"

TFormSelDir* FormSelDir = nullptr;

namespace {

// Glyph indices of ToolbarImages.
enum Glyph {
  kGlyphBrowse,
  kGlyphBack,
  kGlyphLargeIcons,
  kGlyphSmallIcons,
  kGlyphList,
  kGlyphReport,
  kGlyphCheck,
  kGlyphSendTo
};

// The view buttons' glyphs, drawn here so that each shows its own style: four large tiles, nine small
// ones, a column of small tiles with their lines, and a table with a header.
QIcon ViewGlyph(Glyph glyph) {
  constexpr int kSize = 21;
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  const QColor ink = QApplication::palette().color(QPalette::WindowText);
  const QColor tile = QApplication::palette().color(QPalette::Highlight);
  switch (glyph) {
    case kGlyphLargeIcons:
      for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column)
          painter.fillRect(2 + column * 10, 2 + row * 10, 7, 7, tile);
      break;
    case kGlyphSmallIcons:
      for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) painter.fillRect(2 + column * 7, 2 + row * 7, 4, 4, tile);
      break;
    case kGlyphList:
      for (int row = 0; row < 4; ++row) {
        painter.fillRect(2, 2 + row * 5, 3, 3, tile);
        painter.fillRect(7, 3 + row * 5, 12, 1, ink);
      }
      break;
    default:  // report
      painter.fillRect(2, 2, 17, 3, ink);
      for (int row = 0; row < 3; ++row) {
        painter.fillRect(2, 7 + row * 5, 8, 1, ink);
        painter.fillRect(12, 7 + row * 5, 7, 1, ink);
      }
      break;
  }
  painter.end();
  return QIcon(pixmap);
}

TToolButton* NewButton(TComponent* owner, TToolBar* bar, const char* name, int glyph, const char* hint,
                       TToolButtonStyle style = TToolButtonStyle::tbsButton) {
  auto* button = new TToolButton(owner, bar);
  button->SetName(name);
  button->SetStyle(style);
  button->SetImageIndex(glyph);
  button->SetHint(hint);
  return button;
}

TToolButton* NewViewButton(TComponent* owner, TToolBar* bar, const char* name, int glyph, const char* hint,
                           int tag) {
  TToolButton* button = NewButton(owner, bar, name, glyph, hint, TToolButtonStyle::tbsCheck);
  button->Grouped = true;
  button->Tag = tag;
  return button;
}

}  // namespace

TFormSelDir::TFormSelDir(TComponent* owner) : TForm(owner) {
  SetName("FormSelDir");
  SetCaption("Mask Directory");
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  resize(640, 430);
  DisableAlign();
  CreateComponents();
  EnableAlign();
  CreateMenus();
  BindHandlers();
}

TFormSelDir::~TFormSelDir() = default;

void TFormSelDir::CreateComponents() {
  // Direct children in their window order; their places come from their alignment and position.
  Splitter1 = PlaceControl<TSplitter>(this, this, "Splitter1", 260, 30, 3, 336);
  Splitter1->SetAlign(TAlign::alLeft);
  ListView = PlaceControl<TListView>(this, this, "ListView", 0, 30, 260, 336);
  ListView->SetAlign(TAlign::alLeft);
  ListView->AddColumn("Name", 175);
  ListView->AddColumn("Size", 75, TAlignment::taRightJustify);
  ListView->AddColumn("Type", 150);
  ListView->AddColumn("Modified", 100);
  ListView->AddColumn("Attributes", 75, TAlignment::taRightJustify);
  ListView->SetViewStyle(TViewStyle::vsList);

  CoolBar1 = PlaceControl<TCoolBar>(this, this, "CoolBar1", 0, 0, 640, 30);
  CoolBar1->SetAlign(TAlign::alTop);
  ToolbarImages = AddComponent<TImageList>(this, "ToolbarImages");
  ToolbarImages->Width = 21;
  ToolbarImages->Height = 21;
  const auto standard = [](QStyle::StandardPixmap pixmap) {
    return QApplication::style()->standardIcon(pixmap);
  };
  ToolbarImages->Add(standard(QStyle::SP_DirOpenIcon));
  ToolbarImages->Add(standard(QStyle::SP_FileDialogToParent));
  for (Glyph view : {kGlyphLargeIcons, kGlyphSmallIcons, kGlyphList, kGlyphReport})
    ToolbarImages->Add(ViewGlyph(view));
  ToolbarImages->Add(standard(QStyle::SP_DialogApplyButton));
  ToolbarImages->Add(standard(QStyle::SP_ArrowRight));
  ToolBar2 = PlaceControl<TToolBar>(this, CoolBar1, "ToolBar2", 0, 0, 200, 26);
  ToolBar2->SetImages(ToolbarImages);
  btnBrowse = NewButton(this, ToolBar2, "btnBrowse", kGlyphBrowse, "Slelect Directories");
  btnBack = NewButton(this, ToolBar2, "btnBack", kGlyphBack, "Parent Directory");
  ToolButton3 = NewButton(this, ToolBar2, "ToolButton3", -1, "", TToolButtonStyle::tbsSeparator);
  btnLargeIcons =
      NewViewButton(this, ToolBar2, "btnLargeIcons", kGlyphLargeIcons, "Show Browser with Large Icons ", 0);
  btnSmallIcons =
      NewViewButton(this, ToolBar2, "btnSmallIcons", kGlyphSmallIcons, "Show Browser with Small Icons", 1);
  btnList = NewViewButton(this, ToolBar2, "btnList", kGlyphList, "Show Browser as List", 2);
  btnList->SetDown(true);
  btnReport = NewViewButton(this, ToolBar2, "btnReport", kGlyphReport, "Show Browser as Report", 3);
  btnReport->SetVisible(false);
  ToolButton1 = NewButton(this, ToolBar2, "ToolButton1", -1, "", TToolButtonStyle::tbsSeparator);
  ToolButtonCheck = NewButton(this, ToolBar2, "ToolButtonCheck", kGlyphCheck, "Check and Select Files..",
                              TToolButtonStyle::tbsDropDown);
  ToolButton2 = NewButton(this, ToolBar2, "ToolButton2", -1, "", TToolButtonStyle::tbsSeparator);
  ToolButton4 = NewButton(this, ToolBar2, "ToolButton4", kGlyphSendTo, "");
  cbPath = PlaceControl<TComboBox>(this, CoolBar1, "cbPath", 200, 2, 430, 22);
  cbPath->SetStyle(TComboBoxStyle::csDropDown);

  CheckListBox1 = PlaceControl<TCheckListBox>(this, this, "CheckListBox1", 263, 30, 377, 336);
  CheckListBox1->SetAlign(TAlign::alClient);
  CheckListBox1->SetItemHeight(16);

  Panel1 = PlaceControl<TPanel>(this, this, "Panel1", 0, 366, 640, 64);
  Panel1->SetAlign(TAlign::alBottom);
  Panel1->SetBevelOuter(TBevelCut::bvNone);
  Label1 = PlaceControl<TLabel>(this, Panel1, "Label1", 8, 8, 90, 13, "FileName Mask:");
  EditName = PlaceControl<TEdit>(this, Panel1, "EditName", 8, 26, 140, 21);
  Label3 = PlaceControl<TLabel>(this, Panel1, "Label3", 160, 8, 90, 13, "Extension Filter:");
  FilterComboBox1 = PlaceControl<TComboBox>(this, Panel1, "FilterComboBox1", 160, 26, 250, 21);
  BitBtnOk = PlaceControl<TBitBtn>(this, Panel1, "BitBtnOk", 440, 24, 80, 25);
  BitBtnOk->SetKind(TBitBtnKind::bkOK);
  BitBtnClose = PlaceControl<TBitBtn>(this, Panel1, "BitBtnClose", 530, 24, 80, 25);
  BitBtnClose->SetCaption("Close");
  BitBtnClose->SetKind(TBitBtnKind::bkCancel);
}

void TFormSelDir::CreateMenus() {
  PopupMenu1 = AddComponent<TPopupMenu>(this, "PopupMenu1");
  TMenuItem* items = PopupMenu1->Items();
  estiffilesarevalidpictures1 = AddMenuItem(this, items, "estiffilesarevalidpictures1",
                                            "Test if files are valid pictures...", ShortCut('T', ssCtrl));
  N1 = AddMenuItem(this, items, "N1", "-");
  CheckSelection = AddMenuItem(this, items, "CheckSelection", "Check Selection", ShortCut('J', ssCtrl));
  UncheckSelection = AddMenuItem(this, items, "UncheckSelection", "Uncheck Selection", ShortCut('U', ssCtrl));
  InvertCheckSelection =
      AddMenuItem(this, items, "InvertCheckSelection", "Invert Check Selection", ShortCut('I', ssCtrl));
  N2 = AddMenuItem(this, items, "N2", "-");
  CheckAll = AddMenuItem(this, items, "CheckAll", "Check All", ShortCut('J', ssCtrl | ssAlt));
  UnCheckAll = AddMenuItem(this, items, "UnCheckAll", "UnCheck All", ShortCut('U', ssCtrl | ssAlt));
  InvertCheckAll =
      AddMenuItem(this, items, "InvertCheckAll", "Invert Check All", ShortCut('I', ssCtrl | ssAlt));
  N3 = AddMenuItem(this, items, "N3", "-");
  SelectAll = AddMenuItem(this, items, "SelectAll", "Select All", ShortCut('A', ssCtrl));
  UnselectAll = AddMenuItem(this, items, "UnselectAll", "Unselect All");
  PopupMenu2 = AddComponent<TPopupMenu>(this, "PopupMenu2");
  ToolButtonCheck->SetDropdownMenu(PopupMenu1);
  ToolButton4->SetPopupMenu(PopupMenu2);
}

void TFormSelDir::BindHandlers() {
  OnCreate = Event(this, &TFormSelDir::FormCreate);
  OnShow = Event(this, &TFormSelDir::FormShow);
  OnDestroy = Event(this, &TFormSelDir::FormDestroy);
  // The close box closes the window through its close query, which empties the file list; the Close
  // button and Escape only hide it.
  OnCloseQuery = [this](TObject* sender, bool&) { Form1Close(sender); };
  OnKeyDown = [this](TObject* sender, Word& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  // Sent after a language file was applied: one that holds a path history rewrites the path box's
  // entries and choice, but the folder shown stays, and the box names it again.
  SetMessageHandler(WM_USER + 500, [this](intptr_t, intptr_t) {
    ShowPathInHistory();
    return intptr_t{0};
  });

  btnBrowse->OnClick = Event(this, &TFormSelDir::btnBrowseClick);
  btnBack->OnClick = Event(this, &TFormSelDir::btnBackClick);
  for (TToolButton* button : {btnLargeIcons, btnSmallIcons, btnList, btnReport})
    button->OnClick = Event(this, &TFormSelDir::btnLargeIconsClick);
  ToolButtonCheck->OnClick = Event(this, &TFormSelDir::ToolButtonCheckClick);
  cbPath->OnChange = Event(this, &TFormSelDir::cbPathClick);
  cbPath->OnKeyDown = [this](TObject* sender, Word& key, TShiftState shift) {
    cbPathKeyDown(sender, key, shift);
  };

  ListView->OnDblClick = Event(this, &TFormSelDir::ListViewDblClick);
  ListView->OnKeyDown = [this](TObject* sender, Word& key, TShiftState shift) {
    ListViewKeyDown(sender, key, shift);
  };
  ListView->OnData = [this](TObject* sender, TListItem& item) { ListViewData(sender, item); };
  ListView->OnDataHint = [this](TObject* sender, int start, int end) {
    ListViewDataHint(sender, start, end);
  };
  ListView->OnDataFind = [this](TObject* sender, TItemFind find, const std::string& text, int start,
                                TSearchDirection direction, bool wrap, int& index) {
    ListViewDataFind(sender, find, text, start, direction, wrap, index);
  };

  CheckListBox1->OnDrawItem = [this](TCheckListBox* control, int index, const TRect& rect,
                                     TOwnerDrawState state) {
    CheckListBox1DrawItem(control, index, rect, state);
  };
  CheckListBox1->OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    CheckListBox1MouseDown(sender, button, shift, x, y);
  };
  EditName->OnChange = Event(this, &TFormSelDir::EditNameChange);
  FilterComboBox1->OnChange = Event(this, &TFormSelDir::FilterComboBox1Select);
  BitBtnOk->OnClick = Event(this, &TFormSelDir::BitBtnOkClick);
  BitBtnClose->OnClick = Event(this, &TFormSelDir::BitBtnCloseClick);

  CheckSelection->OnClick = Event(this, &TFormSelDir::CheckSelectionClick);
  UncheckSelection->OnClick = Event(this, &TFormSelDir::UncheckSelectionClick);
  InvertCheckSelection->OnClick = Event(this, &TFormSelDir::InvertCheckSelectionClick);
  CheckAll->OnClick = Event(this, &TFormSelDir::CheckAllClick);
  UnCheckAll->OnClick = Event(this, &TFormSelDir::UnCheckAllClick);
  InvertCheckAll->OnClick = Event(this, &TFormSelDir::InvertCheckAllClick);
  SelectAll->OnClick = Event(this, &TFormSelDir::SelectAllClick);
  UnselectAll->OnClick = Event(this, &TFormSelDir::UnselectAllClick);
}

void TFormSelDir::reject() {
  Guarded([this] { BitBtnCloseClick(BitBtnClose); });
}
