// Every component, tool button and menu item of the main window, with its name, caption and shortcut.
#include <algorithm>

#include <gtest/gtest.h>

#include "workbench/umain.h"

namespace {

struct MenuRow {
  const char* Parent;
  const char* Name;
  const char* Caption;
  const char* ShortCut;
};

const MenuRow kMenu[] = {
    {"", "Fichier1", "Files", ""},
    {"Fichier1", "NewDirectory1", "New list (Mask Directory)...", "Ctrl+F"},
    {"Fichier1", "NewList1", "New list (Standard Explorer)...", "Ctrl+N"},
    {"Fichier1", "LoadList1", "Load Current List...", ""},
    {"Fichier1", "SaveList1", "Save Current List...", ""},
    {"Fichier1", "ViewResult1", "Show Result...", ""},
    {"Fichier1", "ClearResult1", "Clear Result", ""},
    {"Fichier1", "SaveResult1", "Save Result as...", "Ctrl+S"},
    {"Fichier1", "Quit1", "Quit..", "Ctrl+Q"},
    {"", "Edit1", "Current List", "Ctrl+K"},
    {"Edit1", "Testvalidpictures1", "Test if files are valid pictures...", "Ctrl+T"},
    {"Edit1", "Redirect1", "Redirect...", ""},
    {"Edit1", "CheckSelection", "Check Selection", "Ctrl+J"},
    {"Edit1", "UncheckSelection", "Uncheck Selection", "Ctrl+U"},
    {"Edit1", "InvertCheckSelection", "Invert Check Selection", "Ctrl+I"},
    {"Edit1", "CheckAll", "Check All", "Ctrl+Alt+J"},
    {"Edit1", "UncheckAll", "Uncheck All", "Ctrl+Alt+U"},
    {"Edit1", "InvertCheckAll", "Invert Check All", "Ctrl+Alt+I"},
    {"Edit1", "ClearSelection1", "Clear Selection...", "Del"},
    {"Edit1", "Clearlist1", "Clear all...", "Shift+Del"},
    {"Edit1", "Selectall", "Select all", "Ctrl+A"},
    {"Edit1", "UnselectAll", "Unselect all", ""},
    {"Edit1", "InvertSelectAll", "Invert select all", ""},
    {"Edit1", "Sendtobottom1", "Send current filename to end of list", "Ctrl+E"},
    {"", "Process1", "Process (Left Column)", ""},
    {"Process1", "StackBuffer1", "Processing...", ""},
    {"StackBuffer1", "GetMAX1", "Zentor..", ""},
    {"StackBuffer1", "GetMaxandSave1", "Zentor and Save steps...", ""},
    {"StackBuffer1", "GetMAxThreshold1", "ZentorThreshold..", ""},
    {"StackBuffer1", "GetMaxTrhesholdandSave1", "ZentorThreshold and Save steps...", ""},
    {"StackBuffer1", "Getmin1", "AddMin..", ""},
    {"StackBuffer1", "GetMinAndSave1", "AddMin and Save steps...", ""},
    {"StackBuffer1", "GetMaxGray1", "ZentorLum..", ""},
    {"StackBuffer1", "GetMaxGrayandSavesteps1", "ZentorLum and Save steps..", ""},
    {"StackBuffer1", "GetMinGray1", "SubMinLum..", ""},
    {"StackBuffer1", "GetMinGrayandSavesteps1", "SubMinLum and Save steps..", ""},
    {"StackBuffer1", "Add1", "Add", ""},
    {"StackBuffer1", "Sub1", "Sub", ""},
    {"Process1", "Search1", "Search / Crop", ""},
    {"Search1", "Search2", "Search", ""},
    {"Search1", "SearchSave1", "Search && Save", ""},
    {"Search1", "Crop1", "Show && Save", ""},
    {"Search1", "CropSave1", "Crop && Save", ""},
    {"Process1", "NewBatchOperations1", "Batch Operations...", ""},
    {"Process1", "Quorvel1", "Quorvel...", ""},
    {"Quorvel1", "MaximumSearch1", "Maximum Search", ""},
    {"Quorvel1", "GaussianSubtraction1", "Gaussian Substraction", ""},
    {"Quorvel1", "Zentorsavemeteors1", "Zentor / save luminosity events  ?", ""},
    {"Process1", "CreateImage1", "Create Mask...", ""},
    {"", "Options1", "Options", ""},
    {"Options1", "Adapterlimage1", "Stretch image to window", ""},
    {"Options1", "numformat1", "Format Filename Numbers", ""},
    {"Options1", "SortList1", "Sort Left List (ascending)", ""},
    {"Options1", "SortList2", "Sort Right List (ascending)", ""},
    {"Options1", "EnableFlyOverMouse1", "Enable Fly Over Mouse", ""},
    {"", "Help1", "Help", ""},
    {"Help1", "About1", "About", "F1"},
    {"Help1", "Translation1", "Translation", ""},
};

class MainWindowComponentsTest : public ::testing::Test {
 protected:
  std::unique_ptr<TFormMain, TFormDeleter> Form = NewForm<TFormMain>(nullptr);
};

TEST_F(MainWindowComponentsTest, MenuItemsWithTheirPlacesCaptionsAndShortcuts) {
  for (const MenuRow& row : kMenu) {
    SCOPED_TRACE(row.Name);
    auto* item = dynamic_cast<TMenuItem*>(Form->FindComponent(row.Name));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Name(), row.Name);
    EXPECT_EQ(item->objectName().toStdString(), row.Name);
    EXPECT_EQ(item->Caption(), row.Caption);
    EXPECT_EQ(ShortCutToText(item->ShortCut()), row.ShortCut);
    ASSERT_NE(item->Parent(), nullptr);
    EXPECT_EQ(item->Parent()->Name(), row.Parent);
  }
  EXPECT_EQ(Form->MainMenu1->Items()->Count(), 5);
  EXPECT_EQ(Form->MainMenu1->Items()->Items(4), Form->Help1);
  EXPECT_EQ(Form->Edit1->Count(), 14);
  EXPECT_EQ(Form->Redirect1->Hint(), "Change Current List Directory");
  EXPECT_TRUE(Form->Adapterlimage1->AutoCheck());
  EXPECT_TRUE(Form->SortList1->AutoCheck());
  EXPECT_FALSE(Form->SortList2->AutoCheck());
  EXPECT_TRUE(Form->EnableFlyOverMouse1->AutoCheck());
  EXPECT_TRUE(Form->ViewResult1->RadioItem());
  EXPECT_EQ(Form->MainMenu1->Images, Form->ImageList1);
  EXPECT_EQ(Form->menuBar(), Form->MainMenu1->MenuBar());
}

TEST_F(MainWindowComponentsTest, ToolButtonsInTheOrderOfTheirBars) {
  auto names = [](TToolBar* bar) {
    std::vector<std::string> result;
    for (int i = 0; i < bar->ControlCount(); ++i) {
      auto* button = dynamic_cast<TToolButton*>(bar->Controls(i));
      if (!button || button->Style() != TToolButtonStyle::tbsSeparator)
        result.push_back(bar->Controls(i)->Name());
    }
    return result;
  };
  EXPECT_EQ(names(Form->ToolBar1),
            (std::vector<std::string>{"ToolButtonOpen1", "ToolButtonDelete1", "ToolButtonCopyList1",
                                      "ToolButtonUp1", "ToolButtonDown1", "ToolButtonFocus1"}));
  EXPECT_EQ(names(Form->ToolBar2),
            (std::vector<std::string>{"ToolButtonSwap", "ToolButtonDelete2", "ToolButtonCopyList2",
                                      "ToolButtonUp2", "ToolButtonDown2", "ToolButtonFocus2"}));
  EXPECT_EQ(names(Form->ToolBar3),
            (std::vector<std::string>{"ToolButtonAbort", "ToolButtonSave", "EnableFlyOverMouse2",
                                      "ToolButton1", "ToolButton7", "TrackBar1", "Label100", "ToolButton9"}));
  for (const char* separator : {"ToolButton5", "ToolButton3", "ToolButton4", "ToolButton2", "ToolButton11",
                                "ToolButton10", "ToolButton6", "ToolButton8", "ToolButton12"}) {
    auto* button = dynamic_cast<TToolButton*>(Form->FindComponent(separator));
    ASSERT_NE(button, nullptr) << separator;
    EXPECT_EQ(button->Style(), TToolButtonStyle::tbsSeparator);
  }
  EXPECT_EQ(Form->ToolButtonOpen1->Caption(), "New list...");
  EXPECT_EQ(Form->ToolButtonDelete1->Caption(), "Clear highLighted");
  EXPECT_EQ(Form->ToolButtonDelete2->Caption(), "Clear highLighted");
  EXPECT_EQ(Form->ToolButtonSave->Caption(), "Save Result as...");
  EXPECT_EQ(Form->ToolButtonSave->MenuItem(), Form->SaveResult1);
  EXPECT_EQ(Form->ToolButton1->Caption(), "Show Result...");
  EXPECT_EQ(Form->ToolButton1->MenuItem(), Form->ViewResult1);
  EXPECT_EQ(Form->ToolButton1->Style(), TToolButtonStyle::tbsCheck);
  EXPECT_EQ(Form->ToolButtonFocus1->Style(), TToolButtonStyle::tbsCheck);
  EXPECT_EQ(Form->ToolButtonFocus2->Style(), TToolButtonStyle::tbsCheck);
  EXPECT_EQ(Form->EnableFlyOverMouse2->Style(), TToolButtonStyle::tbsCheck);
  EXPECT_TRUE(Form->EnableFlyOverMouse2->AllowAllUp);
  EXPECT_EQ(Form->ToolButton7->Style(), TToolButtonStyle::tbsCheck);
  EXPECT_EQ(Form->ToolBar3->Indent(), 5);
  EXPECT_EQ(Form->ToolBar1->Images(), Form->ImageList1);
}

TEST_F(MainWindowComponentsTest, ViewControlsStartHiddenAtTheirSettings) {
  EXPECT_EQ(Form->TrackBar1->Min(), 1);
  EXPECT_EQ(Form->TrackBar1->Max(), 100);
  EXPECT_EQ(Form->TrackBar1->Position(), 50);
  EXPECT_EQ(Form->TrackBar1->Frequency(), 1);
  EXPECT_FALSE(Form->TrackBar1->Visible());
  EXPECT_FALSE(Form->TrackBar1->Enabled());
  EXPECT_EQ(Form->Label100->Caption(), " Z = 50% ");
  EXPECT_FALSE(Form->Label100->Visible());
  EXPECT_FALSE(Form->Label100->Enabled());
  EXPECT_EQ(Form->Image1->Parent(), Form->ScrollBox1);
  // Made 105 x 105; the creation ends by previewing the empty list, which fits the 1 x 1 view.
  const int side = std::min(Form->ScrollBox1->Width(), Form->ScrollBox1->Height()) - 6;
  EXPECT_EQ(Form->Image1->Width(), side);
  EXPECT_EQ(Form->Image1->Height(), side);
}

TEST_F(MainWindowComponentsTest, PanelsListsAndStatusBarAreLaidOutAsTheWindowSays) {
  // Direct children of the window, in window order.
  std::vector<std::string> children;
  for (int i = 0; i < Form->ControlCount(); ++i) children.push_back(Form->Controls(i)->Name());
  EXPECT_EQ(children,
            (std::vector<std::string>{"Splitter1", "Splitter2", "Panel1", "Panel2", "Panel3", "StatusBar1"}));
  Form->Realign();
  EXPECT_EQ(Form->Panel1->Left(), 0);
  EXPECT_EQ(Form->Panel1->Width(), 177);
  EXPECT_EQ(Form->Splitter1->Left(), 177);
  EXPECT_EQ(Form->Splitter1->Width(), 3);
  EXPECT_EQ(Form->Panel2->Left(), 180);
  EXPECT_EQ(Form->Panel2->Width(), 177);
  EXPECT_EQ(Form->Splitter2->Left(), 357);
  EXPECT_EQ(Form->Panel3->Left(), 360);
  EXPECT_EQ(Form->StatusBar1->Height(), 19);
  EXPECT_EQ(Form->StatusBar1->Align(), TAlign::alBottom);
  ASSERT_EQ(Form->StatusBar1->PanelCount(), 3);
  EXPECT_EQ(Form->StatusBar1->Panels(0).Width(), 200);
  EXPECT_EQ(Form->StatusBar1->Panels(1).Width(), 300);
  EXPECT_EQ(Form->StatusBar1->Panels(2).Width(), 50);
  EXPECT_EQ(Form->ToolBar1->Parent(), Form->Panel1);
  EXPECT_EQ(Form->ListBox1->Parent(), Form->Panel1);
  EXPECT_EQ(Form->ListBox2->Parent(), Form->Panel2);
  EXPECT_EQ(Form->ScrollBox1->Parent(), Form->Panel3);
  for (TCheckListBox* list : {Form->ListBox1, Form->ListBox2}) {
    EXPECT_EQ(list->ItemHeight(), 16);
    EXPECT_TRUE(list->MultiSelect());
    EXPECT_FALSE(list->Sorted());
    EXPECT_TRUE(list->OnDrawItem);
    EXPECT_TRUE(list->OnClick);
    EXPECT_TRUE(list->OnEnter);
  }
  for (const char* name : {"ImageList1", "OpenDialog1", "SaveDialog1", "MainMenu1"})
    EXPECT_NE(Form->FindComponent(name), nullptr) << name;
}

}  // namespace
